// The dialog manager's functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#include "../batch.h"
#include "dialogbox.h"

#define TILMOR_GUI_DIALOG_FUNCTIONS(X)                                                              \
  X(int, DialogBoxParamA, (HINSTANCE a, LPCSTR b, HWND c, DLGPROC d, LPARAM e), (a, b, c, d, e))   \
  X(HWND, CreateDialogParamA, (HINSTANCE a, LPCSTR b, HWND c, DLGPROC d, LPARAM e), (a, b, c, d, e)) \
  X(BOOL, EndDialog, (HWND a, int b), (a, b))                                                      \
  X(BOOL, IsDialogMessageA, (HWND a, MSG* b), (a, b))                                              \
  X(LRESULT, DefDlgProcA, (HWND a, UINT b, WPARAM c, LPARAM d), (a, b, c, d))                      \
  X(BOOL, SetDlgItemTextA, (HWND a, int b, LPCSTR c), (a, b, c))                                   \
  X(UINT, GetDlgItemTextA, (HWND a, int b, LPSTR c, int d), (a, b, c, d))                          \
  X(LRESULT, SendDlgItemMessageA, (HWND a, int b, UINT c, WPARAM d, LPARAM e), (a, b, c, d, e))    \
  X(BOOL, MapDialogRect, (HWND a, RECT* b), (a, b))                                                \
  X(HWND, GetNextDlgTabItem, (HWND a, HWND b, BOOL c), (a, b, c))                                  \
  X(LONG, GetDialogBaseUnits, (), ())

#define TILMOR_GUI_DIALOG_WIN_FUNCTIONS(X)                                                         \
  X(bool, FindDialogTemplate, (HINSTANCE a, const std::string& b, win::DialogTemplate* c), (a, b, c))   \
  X(bool, ParseDialogTemplate, (const unsigned char* a, size_t b, win::DialogTemplate* c), (a, b, c))   \
  X(std::vector<std::string>, BuiltInDialogNames, (), ())                                          \
  X(HWND, CreateDialogFromTemplate, (const win::DialogTemplate& a, HWND b, DLGPROC c, LPARAM d),        \
    (a, b, c, d))                                                                                  \
  X(int, DialogBoxFromTemplate, (const win::DialogTemplate& a, HWND b, DLGPROC c, LPARAM d), (a, b, c, d)) \
  X(HWND, CurrentModalDialog, (), ())                                                              \
  X(std::string, BrowseForFolder, (HWND a, const std::string& b), (a, b))                          \
  X(std::string, FolderAsWindowsPath, (const std::string& a), (a))                                 \
  X(void, DeliverInputAction, (const win::BatchAction& a, HWND b), (a, b))
