// The characters of a fixed font as pixel masks: each drawn once with
// QPainter, then set straight into images in any colour. The code page 437
// box, shade and block characters of the OEM font are made here instead, to
// fill their cell so that neighbours join.
#pragma once

#include <QFont>
#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

namespace win::detail {

struct GlyphMask {
  int left = 0, top = 0;  // of rows[0] bit 0, relative to the cell's top left
  int height = 0;
  std::vector<uint64_t> rows;  // bit x of rows[y]: pixel (left + x, top + y)
  bool painter = false;        // too large for a mask: draw it with QPainter
  // The same pixels as a list relative to the cell, and their bounds.
  struct Pixel {
    int16_t x, y;
  };
  std::vector<Pixel> pixels;
  int minX = 0, maxX = -1;
};

class GlyphSet {
 public:
  // cellW and cellH are the font's character cell; ascent its baseline.
  GlyphSet(const QFont& font, bool oem, int cellW, int cellH, int ascent);
  const GlyphMask& Get(unsigned char c) { return ready_[c] ? masks_[c] : Make(c); }
  // The character a byte shows: code page 437 in the OEM font, else
  // Windows-1252 with the control characters blank.
  static QChar CharOf(bool oem, unsigned char c);
  // Box, shade and block characters of code page 437.
  static bool IsBlockGraphic(unsigned char c);

 private:
  const GlyphMask& Make(unsigned char c);
  GlyphMask Render(unsigned char c) const;
  GlyphMask Construct(unsigned char c) const;

  QFont font_;
  bool oem_;
  int cellW_, cellH_, ascent_;
  std::array<GlyphMask, 256> masks_;
  std::array<bool, 256> ready_{};
};

// A stock font as the device contexts draw it (gdi.cpp).
struct StockFontInfo {
  QFont font;
  bool oem = false, fixed = false;
  int cellW = 0, height = 0, ascent = 0;
};
bool DescribeStockFont(int index, StockFontInfo* out);

// Sets the mask's pixels with the cell at x, y; pixels outside the image
// are left out.
void DrawGlyph(QImage& img, const GlyphMask& g, int x, int y, QRgb color);

}  // namespace win::detail
