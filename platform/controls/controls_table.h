// The controls' functions (BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX, SCROLLBAR) in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#include "controls.h"

#define TILMOR_GUI_CONTROL_FUNCTIONS(X)                                                   \
  X(void, keybd_event, (BYTE a, BYTE b, DWORD c, DWORD d), (a, b, c, d))                  \
  X(int, EnumFontFamiliesA, (HDC a, LPCSTR b, FONTENUMPROCA c, LPARAM d), (a, b, c, d))
#define TILMOR_GUI_CONTROL_WIN_FUNCTIONS(X)                                               \
  X(bool, DeliverControlAction, (const win::BatchAction& a, HWND b), (a, b))                   \
  X(std::vector<std::string>, FontFamilies, (), ())
