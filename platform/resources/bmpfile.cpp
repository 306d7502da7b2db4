// DIB decoding and the BMP file reader; every size and offset comes from
// the file and is checked before use.
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "imagefiles.h"
#include "le_bytes.h"

namespace win {
namespace {

constexpr size_t kFileHeader = 14, kInfoHeader = 40;
// Files larger than the largest bitmap we take (with its colour table) are
// not read at all.
constexpr size_t kMaxBmpFile = static_cast<size_t>(kMaxDibPixels) * 4 + 4096;

}  // namespace

long long DibRowBytes(long long width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

int DibColorCount(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return 0;
  const int full = 1 << h.biBitCount;
  if (h.biClrUsed == 0) return full;
  return h.biClrUsed > static_cast<DWORD>(full) ? -1 : static_cast<int>(h.biClrUsed);
}

bool DibHeaderUsable(const BITMAPINFOHEADER& h) {
  switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  if (h.biCompression != BI_RGB || h.biPlanes != 1) return false;
  if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
  const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  return static_cast<long long>(h.biWidth) * height <= kMaxDibPixels && DibColorCount(h) >= 0;
}

bool DecodeDib(const BITMAPINFOHEADER& h, const RGBQUAD* colors, size_t colorCount, const unsigned char* bits,
               size_t bitsSize, DibPixels* out) {
  if (!DibHeaderUsable(h) || !bits) return false;
  const int width = h.biWidth;
  const bool topDown = h.biHeight < 0;
  const int height = topDown ? -h.biHeight : h.biHeight;
  const long long row = DibRowBytes(width, h.biBitCount);
  if (static_cast<unsigned long long>(row) * static_cast<unsigned long long>(height) > bitsSize) return false;
  if (!colors) colorCount = 0;
  out->width = width;
  out->height = height;
  out->argb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  auto indexed = [&](unsigned i) -> uint32_t {
    if (i >= colorCount) return 0xFF000000u;
    const RGBQUAD& q = colors[i];
    return 0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
  };
  for (int y = 0; y < height; ++y) {
    const unsigned char* in = bits + static_cast<size_t>(row) * static_cast<size_t>(topDown ? y : height - 1 - y);
    uint32_t* o = out->argb.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int x = 0; x < width; ++x) {
      switch (h.biBitCount) {
        case 1: o[x] = indexed((in[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: o[x] = indexed((x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4); break;
        case 8: o[x] = indexed(in[x]); break;
        case 16: {
          const unsigned v = Le16(in + 2 * x);
          auto five = [](unsigned c) { return (c << 3) | (c >> 2); };
          o[x] = 0xFF000000u | (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
          break;
        }
        case 24: {
          const unsigned char* p = in + 3 * x;
          o[x] = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
          break;
        }
        case 32: o[x] = Le32(in + 4 * x); break;
      }
    }
  }
  return true;
}

BITMAPINFOHEADER InfoHeaderAt(const unsigned char* p) {
  BITMAPINFOHEADER h;
  h.biSize = Le32(p);
  h.biWidth = static_cast<LONG>(Le32(p + 4));
  h.biHeight = static_cast<LONG>(Le32(p + 8));
  h.biPlanes = Le16(p + 12);
  h.biBitCount = Le16(p + 14);
  h.biCompression = Le32(p + 16);
  h.biSizeImage = Le32(p + 20);
  h.biXPelsPerMeter = static_cast<LONG>(Le32(p + 24));
  h.biYPelsPerMeter = static_cast<LONG>(Le32(p + 28));
  h.biClrUsed = Le32(p + 32);
  h.biClrImportant = Le32(p + 36);
  return h;
}

bool ParseBmp(const unsigned char* data, size_t size, BmpImage* out) {
  if (!data || size < kFileHeader + 4 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t offBits = Le32(data + 10);
  const uint32_t headerSize = Le32(data + kFileHeader);
  if (headerSize != kInfoHeader || size < kFileHeader + kInfoHeader) return false;
  const BITMAPINFOHEADER h = InfoHeaderAt(data + kFileHeader);
  if (!DibHeaderUsable(h)) return false;
  const size_t colors = static_cast<size_t>(DibColorCount(h));
  const size_t tableAt = kFileHeader + kInfoHeader;
  if (colors * 4 > size - tableAt) return false;
  if (offBits < tableAt || offBits > size) return false;
  const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  const unsigned long long need = static_cast<unsigned long long>(DibRowBytes(h.biWidth, h.biBitCount)) *
                                  static_cast<unsigned long long>(height);
  if (need > size - offBits) return false;
  out->header = h;
  out->colors.resize(colors);
  for (size_t i = 0; i < colors; ++i) {
    const unsigned char* q = data + tableAt + 4 * i;
    out->colors[i] = RGBQUAD{q[0], q[1], q[2], q[3]};
  }
  out->bits.assign(data + offBits, data + offBits + need);
  return true;
}

bool ReadWholeFile(const std::string& path, size_t limit, std::vector<unsigned char>* out) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > limit) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->resize(static_cast<size_t>(size));
  if (size && !in.read(reinterpret_cast<char*>(out->data()), static_cast<std::streamsize>(size))) return false;
  return true;
}

bool ReadBmpFile(const std::string& path, BmpImage* out) {
  std::vector<unsigned char> data;
  return ReadWholeFile(path, kMaxBmpFile, &data) && ParseBmp(data.data(), data.size(), out);
}

}  // namespace win
