// The GDI's drawing functions in the window-system table (gui_table.h):
// X(return type, name, (parameters), (arguments)).
#pragma once

#define TILMOR_GUI_GDI_FUNCTIONS(X)                                                                \
  X(HGDIOBJ, CreateBrushIndirect, (const LOGBRUSH* a), (a))                                        \
  X(HGDIOBJ, CreateFontA,                                                                          \
    (int a, int b, int c, int d, int e, DWORD f, DWORD g, DWORD h, DWORD i, DWORD j, DWORD k,      \
     DWORD l, DWORD m, LPCSTR n),                                                                  \
    (a, b, c, d, e, f, g, h, i, j, k, l, m, n))                                                    \
  X(BOOL, MoveToEx, (HDC a, int b, int c, POINT* d), (a, b, c, d))                                 \
  X(BOOL, LineTo, (HDC a, int b, int c), (a, b, c))                                                \
  X(BOOL, Rectangle, (HDC a, int b, int c, int d, int e), (a, b, c, d, e))                         \
  X(BOOL, Ellipse, (HDC a, int b, int c, int d, int e), (a, b, c, d, e))                           \
  X(BOOL, RoundRect, (HDC a, int b, int c, int d, int e, int f, int g), (a, b, c, d, e, f, g))     \
  X(BOOL, Arc, (HDC a, int b, int c, int d, int e, int f, int g, int h, int i),                    \
    (a, b, c, d, e, f, g, h, i))                                                                   \
  X(BOOL, Pie, (HDC a, int b, int c, int d, int e, int f, int g, int h, int i),                    \
    (a, b, c, d, e, f, g, h, i))                                                                   \
  X(BOOL, Chord, (HDC a, int b, int c, int d, int e, int f, int g, int h, int i),                  \
    (a, b, c, d, e, f, g, h, i))                                                                   \
  X(BOOL, FloodFill, (HDC a, int b, int c, COLORREF d), (a, b, c, d))                              \
  X(BOOL, ExtFloodFill, (HDC a, int b, int c, COLORREF d, UINT e), (a, b, c, d, e))                \
  X(BOOL, StretchBlt, (HDC a, int b, int c, int d, int e, HDC f, int g, int h, int i, int j, DWORD k), \
    (a, b, c, d, e, f, g, h, i, j, k))
#define TILMOR_GUI_GDI_WIN_FUNCTIONS(X)
