// Device-independent bitmaps over the contexts' bitmap objects: making
// bitmaps from DIBs, reading them back, drawing DIBs, and the palettes a
// true-colour display has.
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <vector>

#include "../resources/resources.h"
#include "bitmaps.h"
#include "gdi_internal.h"

using namespace win::detail;

namespace {

// The depth GetDIBits and GetObjectA report for bitmaps: the display's true
// colour, as a 24-bit display.
constexpr int kBitmapBits = 24;

QImage ToImage(const win::DibPixels& p) {
  QImage img(p.width, p.height, QImage::Format_ARGB32);
  for (int y = 0; y < p.height; ++y)
    std::memcpy(img.scanLine(y), p.argb.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width),
                static_cast<size_t>(p.width) * 4);
  return img;
}

// A DIB given to the drawing functions: the caller's buffer holds the rows
// its header describes, as in Win32.
bool Decode(const BITMAPINFOHEADER& h, const RGBQUAD* colors, const void* bits, UINT usage, QImage* out) {
  if (usage != DIB_RGB_COLORS || !bits || !win::DibHeaderUsable(h)) return false;
  const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  const size_t size = static_cast<size_t>(win::DibRowBytes(h.biWidth, h.biBitCount) * height);
  win::DibPixels p;
  if (!win::DecodeDib(h, colors, static_cast<size_t>(win::DibColorCount(h)), static_cast<const unsigned char*>(bits),
                      size, &p))
    return false;
  *out = ToImage(p);
  return true;
}

// Copies an image into a context with a raster operation, through a memory
// context as programs do.
bool Blit(HDC hdc, int x, int y, const QImage& img, DWORD rop) {
  if (img.isNull()) return true;
  HGDIOBJ bmp = BitmapFromImage(img);
  if (!bmp) return false;
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, bmp);
  BOOL ok = BitBlt(hdc, x, y, img.width(), img.height(), mem, 0, 0, rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  return ok;
}

// The 16 colours of the VGA, and for 8 bits a colour cube and a grey ramp:
// what indexed DIBs get when a bitmap has more colours than they can hold.
std::vector<QRgb> StandardTable(int bits) {
  std::vector<QRgb> t;
  if (bits == 1) return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
  if (bits == 4) {
    for (int i = 0; i < 16; ++i) {
      const int v = i & 8 ? 255 : 128;
      t.push_back(i == 7 ? qRgb(192, 192, 192) : i == 8 ? qRgb(128, 128, 128)
                                                        : qRgb(i & 1 ? v : 0, i & 2 ? v : 0, i & 4 ? v : 0));
    }
    return t;
  }
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.push_back(qRgb(r * 51, g * 51, b * 51));
  for (int i = 0; i < 40; ++i) t.push_back(qRgb(i * 255 / 39, i * 255 / 39, i * 255 / 39));
  return t;
}

// The colour table for an indexed copy: the bitmap's own colours when they
// fit, so that a picture read from such a DIB comes back unchanged.
std::vector<QRgb> TableFor(const QImage& img, int bits) {
  const size_t room = size_t{1} << bits;
  std::vector<QRgb> own;
  for (int y = 0; y < img.height() && own.size() <= room; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = line[x] | 0xFF000000u;
      if (std::find(own.begin(), own.end(), c) == own.end()) {
        own.push_back(c);
        if (own.size() > room) break;
      }
    }
  }
  if (own.size() > room) return StandardTable(bits);
  std::sort(own.begin(), own.end());
  return own;
}

int Nearest(const std::vector<QRgb>& table, QRgb c, std::map<QRgb, int>* cache) {
  auto it = cache->find(c);
  if (it != cache->end()) return it->second;
  int best = 0;
  long long bestDist = -1;
  for (size_t i = 0; i < table.size(); ++i) {
    const long long dr = qRed(table[i]) - qRed(c), dg = qGreen(table[i]) - qGreen(c), db = qBlue(table[i]) - qBlue(c);
    const long long d = dr * dr + dg * dg + db * db;
    if (bestDist < 0 || d < bestDist) best = static_cast<int>(i), bestDist = d;
  }
  (*cache)[c] = best;
  return best;
}

struct Palette {
  std::vector<PALETTEENTRY> entries;
};
constexpr HGDIOBJ kDefaultPalette = 0x50000000;
HGDIOBJ g_nextPalette = kDefaultPalette + 1;
std::map<HGDIOBJ, Palette> g_palettes;
std::map<HDC, HGDIOBJ> g_selectedPalette;

}  // namespace

HGDIOBJ CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header) return 0;
  const long long w = header->biWidth;
  const long long h = header->biHeight < 0 ? -static_cast<long long>(header->biHeight) : header->biHeight;
  if (w <= 0 || h <= 0 || w * h > win::kMaxDibPixels) return 0;
  if (!(init & CBM_INIT)) return CreateCompatibleBitmap(hdc, static_cast<int>(w), static_cast<int>(h));
  if (!info) return 0;
  QImage img;
  if (!Decode(info->bmiHeader, info->bmiColors, bits, usage, &img)) return 0;
  if (img.width() != w || img.height() != h) {
    QImage sized(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32);
    sized.fill(Qt::black);
    for (int y = 0; y < std::min<int>(img.height(), sized.height()); ++y)
      std::memcpy(sized.scanLine(y), img.constScanLine(y), static_cast<size_t>(std::min(img.width(), sized.width())) * 4);
    img = sized;
  }
  return BitmapFromImage(img);
}

int GetDIBits(HDC, HGDIOBJ bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  QImage img;
  if (!info || usage != DIB_RGB_COLORS || !BitmapImage(bitmap, &img)) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < 40) return 0;
  const bool topDown = h.biHeight < 0;
  if (!bits) {
    // Only the format: the bitmap's size and depth and the image size.
    if (h.biBitCount == 0) h.biBitCount = kBitmapBits;
  }
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return 0;
  }
  const int width = img.width(), height = img.height();
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biPlanes = 1;
  h.biCompression = BI_RGB;
  h.biClrUsed = 0;
  h.biClrImportant = 0;
  const int bitCount = h.biBitCount;
  const size_t row = static_cast<size_t>(win::DibRowBytes(width, bitCount));
  h.biSizeImage = static_cast<DWORD>(row * static_cast<size_t>(height));
  std::vector<QRgb> table;
  std::map<QRgb, int> cache;
  if (bitCount <= 8) {
    table = TableFor(img, bitCount);
    // The caller's table runs past the one entry BITMAPINFO declares.
    auto* entries = reinterpret_cast<RGBQUAD*>(reinterpret_cast<unsigned char*>(info) + offsetof(BITMAPINFO, bmiColors));
    for (size_t i = 0; i < (size_t{1} << bitCount); ++i) {
      const QRgb c = i < table.size() ? table[i] : 0;
      entries[i] = RGBQUAD{static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)),
                                   static_cast<BYTE>(qRed(c)), 0};
    }
  }
  if (!bits) return height;
  if (start >= static_cast<UINT>(height)) return 0;
  const UINT count = std::min<UINT>(lines, static_cast<UINT>(height) - start);
  auto* out = static_cast<unsigned char*>(bits);
  for (UINT i = 0; i < count; ++i) {
    const UINT scan = start + i;
    const int y = topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
    const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    unsigned char* o = out + row * i;
    std::memset(o, 0, row);
    for (int x = 0; x < width; ++x) {
      const QRgb c = in[x] | 0xFF000000u;
      switch (bitCount) {
        case 1: o[x >> 3] |= static_cast<unsigned char>(Nearest(table, c, &cache) << (7 - (x & 7))); break;
        case 4: o[x >> 1] |= static_cast<unsigned char>(Nearest(table, c, &cache) << ((x & 1) ? 0 : 4)); break;
        case 8: o[x] = static_cast<unsigned char>(Nearest(table, c, &cache)); break;
        case 16: {
          const unsigned v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
          o[2 * x] = static_cast<unsigned char>(v);
          o[2 * x + 1] = static_cast<unsigned char>(v >> 8);
          break;
        }
        case 24:
        case 32: {
          unsigned char* p = o + x * (bitCount / 8);
          p[0] = static_cast<unsigned char>(qBlue(c));
          p[1] = static_cast<unsigned char>(qGreen(c));
          p[2] = static_cast<unsigned char>(qRed(c));
          break;
        }
      }
    }
  }
  return static_cast<int>(count);
}

int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop) {
  if (!info || w == 0 || h == 0 || sw == 0 || sh == 0) return 0;
  BoxToDevice(ScaledMapping(hdc), x, y, w, h);
  if (w == 0 || h == 0) return 0;
  QImage src;
  if (!Decode(info->bmiHeader, info->bmiColors, bits, usage, &src)) return 0;
  // A negative extent on one side only mirrors the picture.
  const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
  if (w < 0) x += w, w = -w;
  if (h < 0) y += h, h = -h;
  if (sw < 0) sx += sw, sw = -sw;
  if (sh < 0) sy += sh, sh = -sh;
  // Bottom-up DIBs count the source's y from their lower edge.
  const int top = info->bmiHeader.biHeight > 0 ? src.height() - sy - sh : sy;
  QImage part = src.copy(sx, top, sw, sh).convertToFormat(QImage::Format_RGB32);
  if (flipX || flipY) part = part.mirrored(flipX, flipY);
  DeviceUnits device(hdc);
  if (part.width() == w && part.height() == h) return Blit(hdc, x, y, part, rop) ? sh : 0;
  // COLORONCOLOR: whole pixels dropped or repeated, only where the target
  // has pixels.
  HGDIOBJ bmp = BitmapFromImage(part);
  if (!bmp) return 0;
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, bmp);
  const BOOL ok = StretchBlt(hdc, x, y, w, h, mem, 0, 0, part.width(), part.height(), rop);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bmp);
  return ok ? sh : 0;
}

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage) {
  if (!info || lines == 0) return 0;
  BITMAPINFOHEADER band = info->bmiHeader;
  const bool bottomUp = band.biHeight > 0;
  const long long full = bottomUp ? band.biHeight : -static_cast<long long>(band.biHeight);
  if (start >= full) return 0;
  const int count = static_cast<int>(std::min<long long>(lines, full - start));
  // The buffer holds `lines` scan lines from `start`: decoded as a DIB of
  // their own and placed where they lie in the whole picture.
  band.biHeight = bottomUp ? count : -count;
  QImage img;
  if (!Decode(band, info->bmiColors, bits, usage, &img)) return 0;
  const int bandTop = bottomUp ? static_cast<int>(full) - static_cast<int>(start) - count : static_cast<int>(start);
  const int top = bottomUp ? static_cast<int>(full) - sy - static_cast<int>(h) : sy;
  QRect want(sx, top, static_cast<int>(w), static_cast<int>(h));
  QRect have(0, bandTop, img.width(), count);
  QRect part = want & have;
  // The origin is a logical point, the picture keeps its pixels.
  ToDevice(ScaledMapping(hdc), x, y);
  DeviceUnits device(hdc);
  if (!part.isEmpty() &&
      !Blit(hdc, x + part.left() - sx, y + part.top() - top,
            img.copy(part.translated(0, -bandTop)).convertToFormat(QImage::Format_RGB32), SRCCOPY))
    return 0;
  return count;
}

int GetObjectA(HGDIOBJ obj, int size, void* out) {
  QImage img;
  if (BitmapImage(obj, &img)) {
    if (!out) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP b;
    b.bmWidth = img.width();
    b.bmHeight = img.height();
    b.bmBitsPixel = kBitmapBits;
    b.bmWidthBytes = (img.width() * kBitmapBits + 15) / 16 * 2;
    std::memcpy(out, &b, sizeof b);
    return sizeof(BITMAP);
  }
  if (obj == kDefaultPalette || g_palettes.count(obj)) {
    if (!out) return sizeof(WORD);
    if (size < static_cast<int>(sizeof(WORD))) return 0;
    const WORD n = obj == kDefaultPalette ? 20 : static_cast<WORD>(g_palettes[obj].entries.size());
    std::memcpy(out, &n, sizeof n);
    return sizeof(WORD);
  }
  return 0;
}

HGDIOBJ LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  if (!name) return 0;
  const auto raw = reinterpret_cast<uintptr_t>(name);
  const std::string n = raw < 0x10000 ? "#" + std::to_string(raw) : std::string(name);
  std::vector<unsigned char> data;
  if (!win::FindModuleResource(instance, RT_BITMAP, n, &data) || data.size() < 40) return 0;
  // A bitmap resource is a BMP file without its file header.
  BITMAPINFOHEADER h;
  std::memcpy(&h.biBitCount, data.data() + 14, 2);
  std::memcpy(&h.biClrUsed, data.data() + 32, 4);
  const int colors = win::DibColorCount(h);
  if (colors < 0) return 0;
  std::vector<unsigned char> file(14, 0);
  file[0] = 'B', file[1] = 'M';
  const uint32_t off = 14 + 40 + 4 * static_cast<uint32_t>(colors);
  for (int i = 0; i < 4; ++i) file[10 + i] = static_cast<unsigned char>(off >> (8 * i));
  file.insert(file.end(), data.begin(), data.end());
  win::BmpImage bmp;
  if (!win::ParseBmp(file.data(), file.size(), &bmp)) return 0;
  BITMAPINFOHEADER header = bmp.header;
  QImage img;
  if (!Decode(header, bmp.colors.data(), bmp.bits.data(), DIB_RGB_COLORS, &img)) return 0;
  return BitmapFromImage(img);
}

HGDIOBJ CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palNumEntries == 0) return 0;
  Palette p;
  p.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  HGDIOBJ h = g_nextPalette++;
  g_palettes[h] = std::move(p);
  return h;
}

HGDIOBJ SelectPalette(HDC hdc, HGDIOBJ palette, BOOL) {
  if (palette != kDefaultPalette && !g_palettes.count(palette)) return 0;
  if (GetCurrentObject(hdc, 1) == 0) return 0;  // not a context
  auto it = g_selectedPalette.find(hdc);
  const HGDIOBJ old = it == g_selectedPalette.end() ? kDefaultPalette : it->second;
  g_selectedPalette[hdc] = palette;
  return old;
}

// A true-colour display has no palette to change: nothing is mapped.
UINT RealizePalette(HDC hdc) { return GetCurrentObject(hdc, 1) == 0 ? GDI_ERROR : 0; }

namespace win::detail {

bool DeletePaletteObject(HGDIOBJ palette) {
  if (!g_palettes.count(palette)) return false;
  for (auto it = g_selectedPalette.begin(); it != g_selectedPalette.end();) {
    if (it->second == palette && GetCurrentObject(it->first, 1) != 0) return false;
    it = it->second == palette ? g_selectedPalette.erase(it) : std::next(it);
  }
  g_palettes.erase(palette);
  return true;
}

}  // namespace win::detail
