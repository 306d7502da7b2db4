// Device-independent bitmaps, palettes, icons and cursors, Win32-shaped.
#pragma once

#include <cstdint>
#include <string>

#include "../resources/imagefiles.h"
#include "../wingdi.h"

class QImage;

struct BITMAP {
  LONG bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
  WORD bmPlanes = 1, bmBitsPixel = 0;
  void* bmBits = nullptr;
};

struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
// The entries run on past the one declared, as in Win32.
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

using HICON = HANDLE;
using HCURSOR = HANDLE;

inline LPCSTR MAKEINTRESOURCEA(int id) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(id & 0xFFFF)); }

// system icons
constexpr int IDI_APPLICATION = 32512, IDI_HAND = 32513, IDI_QUESTION = 32514, IDI_EXCLAMATION = 32515,
              IDI_ASTERISK = 32516, IDI_WINLOGO = 32517;
// system cursors
constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
              IDC_SIZE = 32640, IDC_ICON = 32641, IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643,
              IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649,
              IDC_APPSTARTING = 32650, IDC_HELP = 32651;
// class values
constexpr int GCL_HCURSOR = -12, GCL_HICON = -14;
constexpr int OBJ_BITMAP = 7, OBJ_PAL = 5;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

HGDIOBJ CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage);
int GetDIBits(HDC hdc, HGDIOBJ bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage);
int GetObjectA(HGDIOBJ obj, int size, void* out);
HGDIOBJ LoadBitmapA(HINSTANCE instance, LPCSTR name);
// Palettes only as far as a true-colour display has them: kept, selected,
// never changing a colour.
HGDIOBJ CreatePalette(const LOGPALETTE* palette);
HGDIOBJ SelectPalette(HDC hdc, HGDIOBJ palette, BOOL background);
UINT RealizePalette(HDC hdc);

HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HICON ExtractIconA(HINSTANCE instance, LPCSTR file, UINT index);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DestroyIcon(HICON icon);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);
DWORD SetClassLongA(HWND hwnd, int index, LONG value);
DWORD GetClassLongA(HWND hwnd, int index);

namespace win {
// An icon's or cursor's picture with its transparency (for tests and
// window icons); a null image for a system cursor.
QImage IconImageOf(HICON icon);
// The Qt cursor shape of a cursor (Qt::BitmapCursor for drawn ones), or -1.
int CursorShapeOf(HCURSOR cursor);
// The cursor a window shows: the last SetCursor over it, else its class's.
HCURSOR WindowCursor(HWND hwnd);
}  // namespace win

namespace win::detail {
// Bitmap objects of the device contexts (gdi.cpp).
HGDIOBJ BitmapFromImage(const QImage& image);
bool BitmapImage(HGDIOBJ bitmap, QImage* out);
// Palettes live here; DeleteObject hands them over.
bool DeletePaletteObject(HGDIOBJ palette);
}  // namespace win::detail
