// Device contexts and GDI objects with integer handles, Win32-shaped. A
// window's context draws onto the window's own client image, shown at the
// next paint; memory contexts draw into their selected bitmap.
#pragma once

#include <string>

#include "winuser.h"

struct PAINTSTRUCT {
  HDC hdc = 0;
  BOOL fErase = FALSE;
  RECT rcPaint;
};

struct TEXTMETRICA {
  LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0,
       tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 400;
  BYTE tmPitchAndFamily = 0, tmCharSet = 0;
};

struct SIZE {
  LONG cx = 0, cy = 0;
};

constexpr inline COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr inline int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr inline int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr inline int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// stock objects
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3,
              BLACK_BRUSH = 4, NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16;

// background modes
constexpr int TRANSPARENT = 1, OPAQUE = 2;

// raster operations
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                SRCINVERT = 0x00660046, NOTSRCCOPY = 0x00330008, PATCOPY = 0x00F00021,
                PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042,
                WHITENESS = 0x00FF0062;

// stretch modes
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3;

// pen styles
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
              PS_NULL = 5;

// device capabilities
constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14,
              NUMCOLORS = 24, LOGPIXELSX = 88, LOGPIXELSY = 90;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC CreateCompatibleDC(HDC hdc);
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init);
BOOL DeleteDC(HDC hdc);
HGDIOBJ CreateCompatibleBitmap(HDC hdc, int width, int height);
HGDIOBJ GetStockObject(int index);
HGDIOBJ CreateSolidBrush(COLORREF color);
HGDIOBJ CreatePen(int style, int width, COLORREF color);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int SetStretchBltMode(HDC hdc, int mode);
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int len, SIZE* size);
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
COLORREF GetPixel(HDC hdc, int x, int y);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
int GetDeviceCaps(HDC hdc, int index);
BOOL FillRect(HDC hdc, const RECT* rect, HGDIOBJ brush);

// pens beyond the styles above
constexpr int PS_INSIDEFRAME = 6;
// brushes
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;
struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  LONG lbHatch = 0;
};
// fonts
constexpr int FW_NORMAL = 400, FW_BOLD = 700;
constexpr DWORD ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;
// flood fill
constexpr UINT FLOODFILLBORDER = 0, FLOODFILLSURFACE = 1;
// mapping modes
constexpr int MM_TEXT = 1, MM_ANISOTROPIC = 8;

HGDIOBJ CreateBrushIndirect(const LOGBRUSH* brush);
HGDIOBJ CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                    DWORD quality, DWORD pitchAndFamily, LPCSTR face);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
BOOL FloodFill(HDC hdc, int x, int y, COLORREF border);
BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type);
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop);
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old);
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old);
// The whole window, frame included, as a picture to copy from.
HDC GetWindowDC(HWND hwnd);

namespace win {
// The pixels a context draws into (a copy), for tests and bitmap saving.
class QImage ContextImage(HDC hdc);
// The number of live GDI objects and contexts (leak checks in tests).
int LiveGdiObjects();
}  // namespace win
