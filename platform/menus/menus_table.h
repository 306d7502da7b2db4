// The menus' functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#include "menus.h"

#define TILMOR_GUI_MENU_FUNCTIONS(X)                                                          \
  X(HMENU, CreateMenu, (), ())                                                                \
  X(HMENU, CreatePopupMenu, (), ())                                                           \
  X(BOOL, DestroyMenu, (HMENU a), (a))                                                        \
  X(BOOL, IsMenu, (HMENU a), (a))                                                             \
  X(BOOL, AppendMenuA, (HMENU a, UINT b, UINT c, LPCSTR d), (a, b, c, d))                     \
  X(BOOL, InsertMenuA, (HMENU a, UINT b, UINT c, UINT d, LPCSTR e), (a, b, c, d, e))          \
  X(BOOL, RemoveMenu, (HMENU a, UINT b, UINT c), (a, b, c))                                   \
  X(BOOL, DeleteMenu, (HMENU a, UINT b, UINT c), (a, b, c))                                   \
  X(DWORD, CheckMenuItem, (HMENU a, UINT b, UINT c), (a, b, c))                               \
  X(BOOL, EnableMenuItem, (HMENU a, UINT b, UINT c), (a, b, c))                               \
  X(UINT, GetMenuState, (HMENU a, UINT b, UINT c), (a, b, c))                                 \
  X(int, GetMenuItemCount, (HMENU a), (a))                                                    \
  X(UINT, GetMenuItemID, (HMENU a, int b), (a, b))                                            \
  X(HMENU, GetSubMenu, (HMENU a, int b), (a, b))                                              \
  X(int, GetMenuStringA, (HMENU a, UINT b, LPSTR c, int d, UINT e), (a, b, c, d, e))          \
  X(BOOL, SetMenu, (HWND a, HMENU b), (a, b))                                                 \
  X(HMENU, GetMenu, (HWND a), (a))                                                            \
  X(BOOL, DrawMenuBar, (HWND a), (a))                                                         \
  X(BOOL, TrackPopupMenu, (HMENU a, UINT b, int c, int d, int e, HWND f, const RECT* g),      \
    (a, b, c, d, e, f, g))                                                                    \
  X(HMENU, LoadMenuA, (HINSTANCE a, LPCSTR b), (a, b))                                        \
  X(HMENU, LoadMenuIndirectA, (const void* a, size_t b), (a, b))

#define TILMOR_GUI_MENU_WIN_FUNCTIONS(X) \
  X(bool, DeliverMenuAction, (const win::BatchAction& a, HWND b), (a, b))
