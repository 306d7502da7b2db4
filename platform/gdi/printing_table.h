// The print job functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#include "printing.h"

#define TILMOR_GUI_PRINTING_FUNCTIONS(X)                           \
  X(int, StartDocA, (HDC a, const DOCINFOA* b), (a, b))            \
  X(int, StartPage, (HDC a), (a))                                  \
  X(int, EndPage, (HDC a), (a))                                    \
  X(int, EndDoc, (HDC a), (a))                                     \
  X(int, AbortDoc, (HDC a), (a))                                   \
  X(BOOL, GetDefaultPrinterA, (LPSTR a, DWORD* b), (a, b))         \
  X(int, SetMapMode, (HDC a, int b), (a, b))                       \
  X(int, GetMapMode, (HDC a), (a))                                 \
  X(BOOL, SetWindowExtEx, (HDC a, int b, int c, SIZE* d), (a, b, c, d)) \
  X(BOOL, SetViewportExtEx, (HDC a, int b, int c, SIZE* d), (a, b, c, d)) \
  X(HDC, GetWindowDC, (HWND a), (a))
