// Device-independent bitmaps, BMP files and icon images (.ico files and
// icons and cursors in module resources), read without the window system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../wintypes.h"

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: rows top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

// As in Win32, the colour table runs on past the one entry declared here:
// callers allocate room for it.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 4;

namespace win {

// Bitmaps beyond this many pixels are refused before anything is allocated.
constexpr long long kMaxDibPixels = 64LL * 1024 * 1024;

// A picture as 0xAARRGGBB values, the top row first.
struct DibPixels {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
};

// Bytes of one row: bits rounded up to whole 32-bit words.
long long DibRowBytes(long long width, int bitCount);
// Entries of the colour table a header asks for (0 above 8 bits); -1 when
// biClrUsed is more than the bit count can index.
int DibColorCount(const BITMAPINFOHEADER& h);
// Whether the header describes a bitmap this layer reads: uncompressed,
// 1, 4, 8, 16, 24 or 32 bits, a size within kMaxDibPixels.
bool DibHeaderUsable(const BITMAPINFOHEADER& h);
// The pixels of a DIB. Colour indices beyond the table give black; 32-bit
// pixels keep their fourth byte as alpha, the others are opaque. False when
// the header is not usable or the bits are fewer than its rows need.
bool DecodeDib(const BITMAPINFOHEADER& h, const RGBQUAD* colors, size_t colorCount, const unsigned char* bits,
               size_t bitsSize, DibPixels* out);

// The 40-byte BITMAPINFOHEADER at p, read from its little-endian bytes.
BITMAPINFOHEADER InfoHeaderAt(const unsigned char* p);

// A BMP file: "BM", the 14-byte file header, a 40-byte BITMAPINFOHEADER
// (older and newer header kinds are refused), the colour table and the bits.
struct BmpImage {
  BITMAPINFOHEADER header;
  std::vector<RGBQUAD> colors;
  std::vector<unsigned char> bits;  // exactly the rows the header needs
};
bool ParseBmp(const unsigned char* data, size_t size, BmpImage* out);
bool ReadBmpFile(const std::string& path, BmpImage* out);

// One image of an icon or cursor: a DIB of twice the height (colour rows
// and the AND mask), or a PNG, which only the window system decodes.
struct IconImage {
  int width = 0, height = 0;
  int bitCount = 0;
  int hotX = 0, hotY = 0;  // cursors
  std::vector<unsigned char> png;
  DibPixels pixels;  // transparent where the mask or the alpha say so
};
bool ParseIconImage(const unsigned char* data, size_t size, IconImage* out);
// The images of an .ico (or .cur) file, in the file's order.
bool ParseIcoFile(const unsigned char* data, size_t size, std::vector<IconImage>* out);
bool ReadIcoFile(const std::string& path, std::vector<IconImage>* out);

// Icons and cursors of a module loaded with LoadModuleResources: the group
// resource names the images, of which the one nearest 32 x 32 with the most
// colours is taken.
int ModuleIconCount(HINSTANCE instance);
bool ModuleIconAt(HINSTANCE instance, int index, IconImage* out);
bool ModuleIcon(HINSTANCE instance, const std::string& name, IconImage* out);
bool ModuleCursor(HINSTANCE instance, const std::string& name, IconImage* out);

// A file's bytes, refused above `limit` bytes.
bool ReadWholeFile(const std::string& path, size_t limit, std::vector<unsigned char>* out);

}  // namespace win
