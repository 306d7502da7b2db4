// Pixel masks of fixed-font characters, and the made box characters.
#include "glyphs.h"

#include <QPainter>

#include <bit>

#include "codepage.h"
#include "oem.h"

namespace win::detail {
namespace {

constexpr int kMaxMaskWidth = 64;

// Arms of a box character: 0 none, 1 single, 2 double line.
struct Arms {
  uint8_t up, down, left, right;
};

// Code page 437 bytes 179..218.
constexpr Arms kBoxArms[] = {
    {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 2, 0}, {2, 2, 1, 0}, {0, 2, 1, 0},  // │ ┤ ╡ ╢ ╖
    {0, 1, 2, 0}, {2, 2, 2, 0}, {2, 2, 0, 0}, {0, 2, 2, 0}, {2, 0, 2, 0},  // ╕ ╣ ║ ╗ ╝
    {2, 0, 1, 0}, {1, 0, 2, 0}, {0, 1, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 1},  // ╜ ╛ ┐ └ ┴
    {0, 1, 1, 1}, {1, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 1}, {1, 1, 0, 2},  // ┬ ├ ─ ┼ ╞
    {2, 2, 0, 1}, {2, 0, 0, 2}, {0, 2, 0, 2}, {2, 0, 2, 2}, {0, 2, 2, 2},  // ╟ ╚ ╔ ╩ ╦
    {2, 2, 0, 2}, {0, 0, 2, 2}, {2, 2, 2, 2}, {1, 0, 2, 2}, {2, 0, 1, 1},  // ╠ ═ ╬ ╧ ╨
    {0, 1, 2, 2}, {0, 2, 1, 1}, {2, 0, 0, 1}, {1, 0, 0, 2}, {0, 1, 0, 2},  // ╤ ╥ ╙ ╘ ╒
    {0, 2, 0, 1}, {2, 2, 1, 1}, {1, 1, 2, 2}, {1, 0, 1, 0}, {0, 1, 0, 1},  // ╓ ╫ ╪ ┘ ┌
};

class Cell {
 public:
  Cell(int w, int h) : w_(w), h_(h), rows_(static_cast<size_t>(h)) {}
  void Set(int x, int y) {
    if (x >= 0 && x < w_ && y >= 0 && y < h_) rows_[static_cast<size_t>(y)] |= uint64_t{1} << x;
  }
  void HLine(int y, int x0, int x1) {
    for (int x = x0; x <= x1; ++x) Set(x, y);
  }
  void VLine(int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) Set(x, y);
  }
  GlyphMask Mask() const {
    GlyphMask g;
    g.height = h_;
    g.rows.assign(rows_.begin(), rows_.end());
    return g;
  }

 private:
  int w_, h_;
  std::vector<uint64_t> rows_;
};

// Lines through the cell's centre, doubles one pixel either side of it; the
// arms reach the cell's edges, so neighbours join.
void DrawBox(Cell& cell, Arms a, int w, int h) {
  const int cx = w / 2 - 1, cy = h / 2, right = w - 1, bottom = h - 1;
  const int hs = std::max(a.left, a.right), vs = std::max(a.up, a.down);
  if (hs <= 1 && vs <= 1) {
    if (hs) cell.HLine(cy, a.left ? 0 : cx, a.right ? right : cx);
    if (vs) cell.VLine(cx, a.up ? 0 : cy, a.down ? bottom : cy);
    return;
  }
  if (hs == 2 && vs == 1) {
    // The single line meets the nearer double line, or both at a corner.
    bool through = a.left && a.right;
    int y0 = a.up ? 0 : (through ? cy + 1 : cy - 1);
    int y1 = a.down ? bottom : (through ? cy - 1 : cy + 1);
    for (int y : {cy - 1, cy + 1}) cell.HLine(y, a.left ? 0 : cx, a.right ? right : cx);
    cell.VLine(cx, y0, y1);
    return;
  }
  if (hs == 1 && vs == 2) {
    bool through = a.up && a.down;
    int x0 = a.left ? 0 : (through ? cx + 1 : cx - 1);
    int x1 = a.right ? right : (through ? cx - 1 : cx + 1);
    for (int x : {cx - 1, cx + 1}) cell.VLine(x, a.up ? 0 : cy, a.down ? bottom : cy);
    cell.HLine(cy, x0, x1);
    return;
  }
  if (vs == 0) {
    for (int y : {cy - 1, cy + 1}) cell.HLine(y, a.left ? 0 : cx, a.right ? right : cx);
    return;
  }
  if (hs == 0) {
    for (int x : {cx - 1, cx + 1}) cell.VLine(x, a.up ? 0 : cy, a.down ? bottom : cy);
    return;
  }
  // Double both ways: a side without an arm has one straight outer line;
  // between two arms the inner lines turn the corner.
  if (!a.up) cell.HLine(cy - 1, a.left ? 0 : cx - 1, a.right ? right : cx + 1);
  if (!a.down) cell.HLine(cy + 1, a.left ? 0 : cx - 1, a.right ? right : cx + 1);
  if (!a.left) cell.VLine(cx - 1, a.up ? 0 : cy - 1, a.down ? bottom : cy + 1);
  if (!a.right) cell.VLine(cx + 1, a.up ? 0 : cy - 1, a.down ? bottom : cy + 1);
  if (a.up && a.left) cell.HLine(cy - 1, 0, cx - 1), cell.VLine(cx - 1, 0, cy - 1);
  if (a.up && a.right) cell.HLine(cy - 1, cx + 1, right), cell.VLine(cx + 1, 0, cy - 1);
  if (a.down && a.left) cell.HLine(cy + 1, 0, cx - 1), cell.VLine(cx - 1, cy + 1, bottom);
  if (a.down && a.right) cell.HLine(cy + 1, cx + 1, right), cell.VLine(cx + 1, cy + 1, bottom);
}

bool Shade(unsigned char c, int x, int y) {
  bool light = (x % 4 == 0 && y % 2 == 0) || (x % 4 == 2 && y % 2 == 1);
  switch (c) {
    case 176: return light;
    case 177: return (x + y) % 2 == 0;
    default: return !light;
  }
}

}  // namespace

GlyphSet::GlyphSet(const QFont& font, bool oem, int cellW, int cellH, int ascent)
    : font_(font), oem_(oem), cellW_(cellW), cellH_(cellH), ascent_(ascent) {}

QChar GlyphSet::CharOf(bool oem, unsigned char c) {
  char32_t u = oem ? win::Cp437ToUnicode(c) : win::Cp1252ToUnicode(c);
  if (u < 32 && !oem) u = ' ';
  return QChar(static_cast<char16_t>(u));
}

bool GlyphSet::IsBlockGraphic(unsigned char c) { return c >= 176 && c <= 223; }

const GlyphMask& GlyphSet::Make(unsigned char c) {
  GlyphMask& g = masks_[c];
  g = oem_ && IsBlockGraphic(c) ? Construct(c) : Render(c);
  for (int r = 0; r < g.height; ++r)
    for (uint64_t bits = g.rows[static_cast<size_t>(r)]; bits; bits &= bits - 1) {
      int x = g.left + std::countr_zero(bits);
      g.pixels.push_back({static_cast<int16_t>(x), static_cast<int16_t>(g.top + r)});
      g.minX = g.pixels.size() == 1 ? x : std::min(g.minX, x);
      g.maxX = std::max(g.maxX, x);
    }
  ready_[c] = true;
  return g;
}

GlyphMask GlyphSet::Render(unsigned char c) const {
  // The character in black on white, with a margin for what reaches
  // beyond its cell; a pixel at the border means the margin was too small.
  const int mx = 2 * cellW_, my = cellH_;
  const int w = cellW_ + 2 * mx, h = cellH_ + 2 * my;
  GlyphMask g;
  if (w > kMaxMaskWidth) {
    g.painter = true;
    return g;
  }
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setFont(font_);
  p.setPen(Qt::black);
  p.drawText(mx, my + ascent_, QString(CharOf(oem_, c)));
  p.end();
  int first = h, last = -1;
  std::vector<uint64_t> rows(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      if (line[x] == 0xFFFFFFFF) continue;
      if (line[x] != 0xFF000000 || x == 0 || y == 0 || x == w - 1 || y == h - 1) {
        g.painter = true;
        return g;
      }
      rows[static_cast<size_t>(y)] |= uint64_t{1} << x;
      first = std::min(first, y);
      last = y;
    }
  }
  g.left = -mx;
  if (last < first) return g;
  g.top = first - my;
  g.height = last - first + 1;
  g.rows.assign(rows.begin() + first, rows.begin() + last + 1);
  return g;
}

GlyphMask GlyphSet::Construct(unsigned char c) const {
  // One row taller than the font: TBOX draws each character a second time
  // one pixel lower, and the two then fill the text line.
  const int w = cellW_, h = cellH_ + 1;
  Cell cell(w, h);
  if (c >= 179 && c <= 218) {
    DrawBox(cell, kBoxArms[c - 179], w, h);
  } else {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        bool on = false;
        switch (c) {
          case 219: on = true; break;
          case 220: on = y >= (h + 1) / 2; break;
          case 221: on = x < w / 2; break;
          case 222: on = x >= w / 2; break;
          case 223: on = y < (h + 1) / 2; break;
          default: on = Shade(c, x, y); break;
        }
        if (on) cell.Set(x, y);
      }
  }
  return cell.Mask();
}

void DrawGlyph(QImage& img, const GlyphMask& g, int x, int y, QRgb color) {
  if (g.pixels.empty()) return;
  const int width = img.width(), height = img.height();
  uchar* base = img.bits();
  const qsizetype stride = img.bytesPerLine();
  auto at = [&](int px, int py) { return reinterpret_cast<QRgb*>(base + py * stride) + px; };
  if (x + g.minX >= 0 && x + g.maxX < width && y + g.top >= 0 && y + g.top + g.height <= height) {
    for (GlyphMask::Pixel p : g.pixels) *at(x + p.x, y + p.y) = color;
    return;
  }
  for (GlyphMask::Pixel p : g.pixels) {
    int px = x + p.x, py = y + p.y;
    if (px >= 0 && px < width && py >= 0 && py < height) *at(px, py) = color;
  }
}

}  // namespace win::detail
