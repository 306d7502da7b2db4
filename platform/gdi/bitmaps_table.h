// The DIB, palette, icon and cursor functions in the window-system table
// (gui_table.h): X(return type, name, (parameters), (arguments)).
#pragma once

#include "bitmaps.h"

#define TILMOR_GUI_BITMAP_FUNCTIONS(X)                                                                  \
  X(HGDIOBJ, CreateDIBitmap,                                                                            \
    (HDC a, const BITMAPINFOHEADER* b, DWORD c, const void* d, const BITMAPINFO* e, UINT f),            \
    (a, b, c, d, e, f))                                                                                 \
  X(int, GetDIBits, (HDC a, HGDIOBJ b, UINT c, UINT d, void* e, BITMAPINFO* f, UINT g),                 \
    (a, b, c, d, e, f, g))                                                                              \
  X(int, StretchDIBits,                                                                                 \
    (HDC a, int b, int c, int d, int e, int f, int g, int h, int i, const void* j, const BITMAPINFO* k, \
     UINT l, DWORD m),                                                                                  \
    (a, b, c, d, e, f, g, h, i, j, k, l, m))                                                            \
  X(int, SetDIBitsToDevice,                                                                             \
    (HDC a, int b, int c, DWORD d, DWORD e, int f, int g, UINT h, UINT i, const void* j,                \
     const BITMAPINFO* k, UINT l),                                                                      \
    (a, b, c, d, e, f, g, h, i, j, k, l))                                                               \
  X(int, GetObjectA, (HGDIOBJ a, int b, void* c), (a, b, c))                                            \
  X(HGDIOBJ, LoadBitmapA, (HINSTANCE a, LPCSTR b), (a, b))                                              \
  X(HGDIOBJ, CreatePalette, (const LOGPALETTE* a), (a))                                                 \
  X(HGDIOBJ, SelectPalette, (HDC a, HGDIOBJ b, BOOL c), (a, b, c))                                      \
  X(UINT, RealizePalette, (HDC a), (a))                                                                 \
  X(HICON, LoadIconA, (HINSTANCE a, LPCSTR b), (a, b))                                                  \
  X(HICON, ExtractIconA, (HINSTANCE a, LPCSTR b, UINT c), (a, b, c))                                    \
  X(BOOL, DrawIcon, (HDC a, int b, int c, HICON d), (a, b, c, d))                                       \
  X(BOOL, DestroyIcon, (HICON a), (a))                                                                  \
  X(HCURSOR, LoadCursorA, (HINSTANCE a, LPCSTR b), (a, b))                                              \
  X(HCURSOR, SetCursor, (HCURSOR a), (a))                                                               \
  X(BOOL, DestroyCursor, (HCURSOR a), (a))                                                              \
  X(DWORD, SetClassLongA, (HWND a, int b, LONG c), (a, b, c))                                           \
  X(DWORD, GetClassLongA, (HWND a, int b), (a, b))

// IconImageOf is for tests, which link the layer in.
#define TILMOR_GUI_BITMAP_WIN_FUNCTIONS(X)              \
  X(int, CursorShapeOf, (HCURSOR a), (a))               \
  X(HCURSOR, WindowCursor, (HWND a), (a))
