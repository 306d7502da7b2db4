// The dialog manager's functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#define TILMOR_GUI_DIALOG_FUNCTIONS(X)
#define TILMOR_GUI_DIALOG_WIN_FUNCTIONS(X)
