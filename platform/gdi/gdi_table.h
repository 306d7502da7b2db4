// The GDI's drawing functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#define TILMOR_GUI_GDI_FUNCTIONS(X)
#define TILMOR_GUI_GDI_WIN_FUNCTIONS(X)
