// The controls' functions (BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX, SCROLLBAR) in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#define TILMOR_GUI_CONTROL_FUNCTIONS(X)
#define TILMOR_GUI_CONTROL_WIN_FUNCTIONS(X)
