// Builds DIBs, BMP files and icon images byte by byte for the tests.
#pragma once

#include <cstdint>
#include <vector>

#include "../resources/res_builder.h"

namespace dibbuild {

using resbuild::Bytes;
using resbuild::U16;
using resbuild::U32;

// A picture: for up to 8 bits `pixels` are indices into `table`, else
// 0xAARRGGBB values; always the top row first.
struct Dib {
  int width = 0, height = 0, bits = 24;
  bool topDown = false;
  std::vector<uint32_t> table;  // 0x00RRGGBB
  std::vector<uint32_t> pixels;
};

inline Bytes Header(int32_t width, int32_t height, int bits, uint32_t clrUsed = 0, uint32_t compression = 0,
                    uint32_t size = 40) {
  Bytes b;
  U32(b, size), U32(b, static_cast<uint32_t>(width)), U32(b, static_cast<uint32_t>(height)), U16(b, 1), U16(b, bits);
  U32(b, compression), U32(b, 0), U32(b, 0), U32(b, 0), U32(b, clrUsed), U32(b, 0);
  b.resize(size, 0);
  return b;
}

inline size_t RowBytes(int width, int bits) { return static_cast<size_t>((width * bits + 31) / 32 * 4); }

inline Bytes Rows(const Dib& d) {
  const size_t row = RowBytes(d.width, d.bits);
  Bytes out(row * static_cast<size_t>(d.height), 0);
  for (int y = 0; y < d.height; ++y) {
    uint8_t* o = out.data() + row * static_cast<size_t>(d.topDown ? y : d.height - 1 - y);
    for (int x = 0; x < d.width; ++x) {
      const uint32_t v = d.pixels[static_cast<size_t>(y * d.width + x)];
      switch (d.bits) {
        case 1: o[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
        case 4: o[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
        case 8: o[x] = static_cast<uint8_t>(v); break;
        case 16: {
          const uint32_t c = (((v >> 19) & 31) << 10) | (((v >> 11) & 31) << 5) | ((v >> 3) & 31);
          o[2 * x] = static_cast<uint8_t>(c), o[2 * x + 1] = static_cast<uint8_t>(c >> 8);
          break;
        }
        case 24: o[3 * x] = v & 0xFF, o[3 * x + 1] = (v >> 8) & 0xFF, o[3 * x + 2] = (v >> 16) & 0xFF; break;
        case 32:
          for (int i = 0; i < 4; ++i) o[4 * x + i] = static_cast<uint8_t>(v >> (8 * i));
          break;
      }
    }
  }
  return out;
}

inline void Table(Bytes& b, const std::vector<uint32_t>& table) {
  for (uint32_t c : table) U32(b, c & 0xFFFFFF);
}

// Header, colour table and rows: a BITMAPINFO followed by its bits, as a
// bitmap resource holds it.
inline Bytes Packed(const Dib& d) {
  Bytes b = Header(d.width, d.topDown ? -d.height : d.height, d.bits, static_cast<uint32_t>(d.table.size()));
  Table(b, d.table);
  Bytes rows = Rows(d);
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

inline Bytes BmpFile(const Dib& d) {
  Bytes packed = Packed(d);
  Bytes f;
  f.push_back('B'), f.push_back('M');
  U32(f, static_cast<uint32_t>(14 + packed.size())), U32(f, 0);
  U32(f, static_cast<uint32_t>(14 + 40 + 4 * d.table.size()));
  f.insert(f.end(), packed.begin(), packed.end());
  return f;
}

// An icon image: the colour rows and an AND mask (1 = transparent, given
// top row first) under a header of twice the height.
inline Bytes IconImage(const Dib& d, const std::vector<int>& mask) {
  Dib colours = d;
  colours.topDown = false;
  Bytes b = Header(d.width, 2 * d.height, d.bits, static_cast<uint32_t>(d.table.size()));
  Table(b, d.table);
  Bytes rows = Rows(colours);
  b.insert(b.end(), rows.begin(), rows.end());
  Dib m{d.width, d.height, 1, false, {}, {}};
  for (int v : mask) m.pixels.push_back(static_cast<uint32_t>(v));
  Bytes maskRows = Rows(m);
  b.insert(b.end(), maskRows.begin(), maskRows.end());
  return b;
}

// An .ico file (type 1) or .cur file (type 2, hot spots in the entries).
inline Bytes IcoFile(const std::vector<Bytes>& images, int type = 1, int hotX = 0, int hotY = 0) {
  Bytes f;
  U16(f, 0), U16(f, static_cast<uint32_t>(type)), U16(f, static_cast<uint32_t>(images.size()));
  uint32_t at = static_cast<uint32_t>(6 + 16 * images.size());
  for (const Bytes& img : images) {
    const uint32_t w = img[4], h = img[8] / 2;
    f.push_back(static_cast<uint8_t>(w)), f.push_back(static_cast<uint8_t>(h)), f.push_back(0), f.push_back(0);
    if (type == 2)
      U16(f, static_cast<uint32_t>(hotX)), U16(f, static_cast<uint32_t>(hotY));
    else
      U16(f, 1), U16(f, img[14]);
    U32(f, static_cast<uint32_t>(img.size())), U32(f, at);
    at += static_cast<uint32_t>(img.size());
  }
  for (const Bytes& img : images) f.insert(f.end(), img.begin(), img.end());
  return f;
}

// A group resource (RT_GROUP_ICON) naming icon resources by id.
inline Bytes IconGroup(const std::vector<std::pair<Bytes, int>>& images) {
  Bytes g;
  U16(g, 0), U16(g, 1), U16(g, static_cast<uint32_t>(images.size()));
  for (const auto& [img, id] : images) {
    g.push_back(img[4]), g.push_back(static_cast<uint8_t>(img[8] / 2)), g.push_back(0), g.push_back(0);
    U16(g, 1), U16(g, img[14]), U32(g, static_cast<uint32_t>(img.size())), U16(g, static_cast<uint32_t>(id));
  }
  return g;
}

}  // namespace dibbuild
