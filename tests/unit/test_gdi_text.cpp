// Text and scrolling in memory device contexts: fixed-font glyphs drawn
// from masks give Qt's own pixels, the OEM font's box characters join their
// neighbours, and a band scrolled a strip at a time ends where plain copies
// put it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <random>
#include <tuple>
#include <string>

#include "deferred_scroll.h"
#include "glyphs.h"
#include "qt_app.h"
#include "wingdi.h"

namespace {

using win::detail::DescribeStockFont;
using win::detail::GlyphSet;
using win::detail::StockFontInfo;

constexpr QRgb kGrey = 0xFF808080;

// A memory context with its own bitmap, freed at the end.
class MemoryDc {
 public:
  MemoryDc(int w, int h) : dc_(CreateCompatibleDC(0)), bmp_(CreateCompatibleBitmap(0, w, h)) {
    old_ = SelectObject(dc_, bmp_);
  }
  ~MemoryDc() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  HDC dc() const { return dc_; }
  QImage Image() const { return win::ContextImage(dc_); }
  void Fill(COLORREF c) {
    HGDIOBJ b = CreateSolidBrush(c);
    HGDIOBJ old = SelectObject(dc_, b);
    PatBlt(dc_, 0, 0, 4096, 4096, PATCOPY);
    SelectObject(dc_, old);
    DeleteObject(b);
  }
  void Rect(int x, int y, int w, int h, COLORREF c) {
    HGDIOBJ b = CreateSolidBrush(c);
    HGDIOBJ old = SelectObject(dc_, b);
    PatBlt(dc_, x, y, w, h, PATCOPY);
    SelectObject(dc_, old);
    DeleteObject(b);
  }

 private:
  HDC dc_;
  HGDIOBJ bmp_, old_;
};

class GdiText : public ::testing::Test {
 protected:
  void SetUp() override { EnsureTestApplication(true); }
};

// Text drawn with QPainter one character a cell, the way fixed fonts were
// drawn before the masks.
QImage PainterText(const StockFontInfo& f, QSize size, int x, int y, const std::string& text, QRgb fg, QRgb bk,
                   bool opaque) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(kGrey);
  QPainter p(&img);
  if (opaque) p.fillRect(QRect(x, y, f.cellW * static_cast<int>(text.size()), f.height), QColor(bk));
  p.setFont(f.font);
  p.setPen(QColor(fg));
  for (size_t i = 0; i < text.size(); ++i)
    p.drawText(x + static_cast<int>(i) * f.cellW, y + f.ascent,
               QString(GlyphSet::CharOf(f.oem, static_cast<unsigned char>(text[i]))));
  return img;
}

TEST_F(GdiText, FixedFontsDrawTheSamePixelsAsQt) {
  struct Case {
    int x, y;
    COLORREF fg, bk;
    int mode;
  };
  // inside, cut off at the top left and at the bottom right; opaque and
  // transparent
  const Case cases[] = {{10, 20, RGB(255, 0, 0), RGB(0, 0, 136), OPAQUE},
                        {-3, -5, RGB(0, 136, 0), RGB(255, 255, 0), OPAQUE},
                        {26, 25, RGB(0, 0, 0), RGB(255, 255, 255), TRANSPARENT}};
  for (int font : {OEM_FIXED_FONT, ANSI_FIXED_FONT, SYSTEM_FIXED_FONT}) {
    StockFontInfo f;
    ASSERT_TRUE(DescribeStockFont(font, &f));
    ASSERT_TRUE(f.fixed);
    MemoryDc mem(32, 32);
    SelectObject(mem.dc(), GetStockObject(font));
    for (int c = 0; c < 256; ++c) {
      if (f.oem && GlyphSet::IsBlockGraphic(static_cast<unsigned char>(c))) continue;
      std::string text(1, static_cast<char>(c));
      for (const Case& k : cases) {
        mem.Fill(RGB(128, 128, 128));
        SetTextColor(mem.dc(), k.fg);
        SetBkColor(mem.dc(), k.bk);
        SetBkMode(mem.dc(), k.mode);
        TextOutA(mem.dc(), k.x, k.y, text.data(), 1);
        QRgb fg = qRgb(GetRValue(k.fg), GetGValue(k.fg), GetBValue(k.fg));
        QRgb bk = qRgb(GetRValue(k.bk), GetGValue(k.bk), GetBValue(k.bk));
        ASSERT_TRUE(mem.Image() == PainterText(f, QSize(32, 32), k.x, k.y, text, fg, bk, k.mode == OPAQUE))
            << "font " << font << " character " << c << " at " << k.x << "," << k.y;
      }
    }
    // a whole string, neighbours overlapping
    const std::string line = "Wg|\x82j_\xE1\x84 Mw";
    mem.Fill(RGB(128, 128, 128));
    SetTextColor(mem.dc(), RGB(0, 0, 255));
    SetBkColor(mem.dc(), RGB(255, 255, 255));
    SetBkMode(mem.dc(), OPAQUE);
    MemoryDc wide(120, 30);
    SelectObject(wide.dc(), GetStockObject(font));
    wide.Fill(RGB(128, 128, 128));
    SetTextColor(wide.dc(), RGB(0, 0, 255));
    SetBkColor(wide.dc(), RGB(255, 255, 255));
    TextOutA(wide.dc(), 3, 6, line.data(), static_cast<int>(line.size()));
    EXPECT_TRUE(wide.Image() == PainterText(f, QSize(120, 30), 3, 6, line, qRgb(0, 0, 255), qRgb(255, 255, 255), true))
        << "font " << font;
  }
}

// The OEM font's box characters drawn into a white context in black.
class BoxGlyphs : public GdiText {
 protected:
  void SetUp() override {
    GdiText::SetUp();
    ASSERT_TRUE(DescribeStockFont(OEM_FIXED_FONT, &f));
  }
  // Draws rows of OEM text, one every `pitch` pixels, each drawn a second
  // time one pixel lower when `twice` (as TBOX does).
  QImage Draw(const std::vector<std::string>& rows, int pitch, bool twice) {
    MemoryDc mem(200, 120);
    mem.Fill(RGB(255, 255, 255));
    SelectObject(mem.dc(), GetStockObject(OEM_FIXED_FONT));
    SetTextColor(mem.dc(), RGB(0, 0, 0));
    SetBkColor(mem.dc(), RGB(255, 255, 255));
    SetBkMode(mem.dc(), OPAQUE);
    for (size_t r = 0; r < rows.size(); ++r) {
      int y = static_cast<int>(r) * pitch;
      TextOutA(mem.dc(), 0, y, rows[r].data(), static_cast<int>(rows[r].size()));
      if (twice) TextOutA(mem.dc(), 0, y + 1, rows[r].data(), static_cast<int>(rows[r].size()));
    }
    return mem.Image();
  }
  static bool Black(const QImage& img, int x, int y) { return img.pixel(x, y) == 0xFF000000; }
  // Rows with black pixels across [x0, x1].
  static std::vector<int> FullRows(const QImage& img, int x0, int x1) {
    std::vector<int> out;
    for (int y = 0; y < img.height(); ++y) {
      bool all = true;
      for (int x = x0; x <= x1 && all; ++x) all = Black(img, x, y);
      if (all) out.push_back(y);
    }
    return out;
  }
  // Columns with black pixels down [y0, y1].
  static std::vector<int> FullColumns(const QImage& img, int y0, int y1) {
    std::vector<int> out;
    for (int x = 0; x < img.width(); ++x) {
      bool all = true;
      for (int y = y0; y <= y1 && all; ++y) all = Black(img, x, y);
      if (all) out.push_back(x);
    }
    return out;
  }
  static int Count(const QImage& img, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) n += Black(img, x, y);
    return n;
  }
  StockFontInfo f;
};

TEST_F(BoxGlyphs, HorizontalLinesRunThroughEveryCell) {
  // ┌─┬─┐ ╔═╦═╗ ╒═╤═╕ ╓─╥─╖ ├─┼─┤ ╠═╬═╣ └─┴─┘ ╚═╩═╝ ───── ═════
  struct Run {
    const char* text;
    size_t lines;
  };
  const Run runs[] = {{"\xDA\xC4\xC2\xC4\xBF", 1}, {"\xC9\xCD\xCB\xCD\xBB", 2}, {"\xD5\xCD\xD1\xCD\xB8", 2},
                      {"\xD6\xC4\xD2\xC4\xB7", 1}, {"\xC3\xC4\xC5\xC4\xB4", 1}, {"\xCC\xCD\xCE\xCD\xB9", 2},
                      {"\xC0\xC4\xC1\xC4\xD9", 1}, {"\xC8\xCD\xCA\xCD\xBC", 2}, {"\xC4\xC4\xC4\xC4\xC4", 1},
                      {"\xCD\xCD\xCD\xCD\xCD", 2}};
  for (const Run& run : runs) {
    QImage img = Draw({run.text}, 20, false);
    // where two cells meet, the line's pixels touch
    for (int b = f.cellW; b < 5 * f.cellW; b += f.cellW) {
      size_t joined = 0;
      for (int y = 0; y < img.height(); ++y) joined += Black(img, b - 1, y) && Black(img, b, y);
      EXPECT_EQ(joined, run.lines) << run.text << " at x " << b;
    }
    if (run.text[0] == '\xC4' || run.text[0] == '\xCD') {
      EXPECT_EQ(FullRows(img, 0, 5 * f.cellW - 1).size(), run.lines) << "the full width of every cell";
    }
  }
}

TEST_F(BoxGlyphs, VerticalLinesJoinWhenDrawnTwiceAsTboxDoes) {
  // │ ├ ┼ ┤ ╞ ╪ ╡ ║ ╟ ╫ ╢, each in its own column, three text lines high;
  // the text window's line is the tallest fixed font's height less 2
  StockFontInfo tallest;
  ASSERT_TRUE(DescribeStockFont(SYSTEM_FIXED_FONT, &tallest));
  const int pitch = tallest.height - 2;
  const std::string column = "\xB3\xC3\xC5\xB4\xC6\xD8\xB5\xBA\xC7\xD7\xB6";
  QImage img = Draw({column, column, column}, pitch, true);
  // seven single lines, four double ones
  EXPECT_EQ(FullColumns(img, 0, 3 * pitch - 1).size(), 7u + 2u * 4u);
  // drawn once, a line ends one pixel short of the next text line
  QImage once = Draw({column, column}, pitch, false);
  EXPECT_TRUE(FullColumns(once, 0, 2 * pitch - 1).empty());
  EXPECT_EQ(FullColumns(once, 0, f.height).size(), 7u + 2u * 4u) << "one pixel taller than the font";
}

// White pixels reachable from (x, y) without crossing black ones; -1 when
// the fill reaches the image's edge.
int Enclosed(const QImage& img, int x, int y) {
  std::vector<bool> seen(static_cast<size_t>(img.width() * img.height()));
  std::vector<QPoint> todo{QPoint(x, y)};
  int n = 0;
  while (!todo.empty()) {
    QPoint p = todo.back();
    todo.pop_back();
    if (!img.rect().contains(p)) return -1;
    size_t i = static_cast<size_t>(p.y() * img.width() + p.x());
    if (seen[i] || img.pixel(p) == 0xFF000000) continue;
    seen[i] = true;
    ++n;
    if (p.x() == 0 || p.y() == 0 || p.x() == img.width() - 1 || p.y() == img.height() - 1) return -1;
    for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) todo.push_back(p + d);
  }
  return n;
}

TEST_F(BoxGlyphs, CornersCloseTheirFrames) {
  // ┌┬┐ ├┼┤ └┴┘ and ╔╦╗ ╠╬╣ ╚╩╝ as TBOX draws them: every compartment
  // closed, and between the two lines of the double frame too
  QImage single = Draw({"\xDA\xC2\xBF", "\xC3\xC5\xB4", "\xC0\xC1\xD9"}, 14, true);
  QImage twice = Draw({"\xC9\xCB\xBB", "\xCC\xCE\xB9", "\xC8\xCA\xBC"}, 14, true);
  for (const QImage* img : {&single, &twice})
    for (QPoint inside : {QPoint(7, 14), QPoint(15, 14), QPoint(7, 28), QPoint(15, 28)})
      EXPECT_GT(Enclosed(*img, inside.x(), inside.y()), 20) << (img == &single ? "single " : "double ")
                                                            << inside.x() << "," << inside.y();
  EXPECT_GT(Enclosed(twice, 3, 14), 20) << "between the lines of the double frame";
  // and the frames are closed by lines, not filled
  EXPECT_EQ(Enclosed(single, 0, 0), -1);
}

TEST_F(BoxGlyphs, BlocksAndShadesFillTheCell) {
  const int w = f.cellW, h = f.height + 1;
  // █ ▀ ▄ ▌ ▐ ░ ▒ ▓ side by side
  QImage img = Draw({"\xDB\xDF\xDC\xDD\xDE\xB0\xB1\xB2"}, 20, false);
  auto cell = [&](int i) { return Count(img, i * w, 0, w, h); };
  EXPECT_EQ(cell(0), w * h) << "full block";
  EXPECT_EQ(Count(img, 0, h, 8 * w, 20 - h), 0) << "nothing below the cell";
  EXPECT_EQ(cell(1) + cell(2), w * h) << "upper and lower half";
  EXPECT_EQ(Count(img, w, 0, w, 1), w) << "upper half at the top";
  EXPECT_EQ(Count(img, 2 * w, h - 1, w, 1), w) << "lower half at the bottom";
  EXPECT_EQ(cell(3), w * h / 2);
  EXPECT_EQ(cell(4), w * h / 2);
  EXPECT_EQ(Count(img, 3 * w, 0, w / 2, h), w * h / 2) << "left half on the left";
  EXPECT_LT(cell(5), cell(6));
  EXPECT_LT(cell(6), cell(7));
  // every row of a shade has pixels in both halves of the cell
  for (int i = 5; i < 8; ++i)
    for (int y = 0; y < h; ++y) {
      EXPECT_GT(Count(img, i * w, y, w / 2, 1), 0) << i << " row " << y;
      EXPECT_GT(Count(img, i * w + w / 2, y, w / 2, 1), 0) << i << " row " << y;
    }
}

// Scrolling a band by copies within the bitmap (deferred) and by copies
// through a second bitmap (never deferred), with drawing and reading in
// between, leaves the same pixels.
TEST_F(GdiText, ScrollingABandKeepsPixelsExact) {
  const int w = 48, h = 90;
  std::mt19937 rng(11);
  MemoryDc tmp(w, h), paint(8, 16), outA(w, 20), outB(w, 20);
  for (int round = 0; round < 40; ++round) {
    MemoryDc a(w, h), b(w, h);
    a.Fill(RGB(255, 255, 255));
    b.Fill(RGB(255, 255, 255));
    for (HDC dc : {a.dc(), b.dc()}) SelectObject(dc, GetStockObject(OEM_FIXED_FONT));
    // a band of the bitmap, maybe cut off at the top, scrolled `by` rows
    int top = static_cast<int>(rng() % 30) - 10;
    int band = 20 + static_cast<int>(rng() % static_cast<unsigned>(h - 20 - std::max(top, 0) + 1));
    int by = 1 + static_cast<int>(rng() % 12);
    int strip = top + band - by;
    auto colour = [&] { return RGB(rng() % 256, rng() % 256, rng() % 256); };
    for (int step = 0; step < 60; ++step) {
      switch (rng() % 7) {
        case 0:
        case 1:
        case 2:
          BitBlt(a.dc(), 0, top, w, band - by, a.dc(), 0, top + by, SRCCOPY);
          BitBlt(tmp.dc(), 0, top, w, band - by, b.dc(), 0, top + by, SRCCOPY);
          BitBlt(b.dc(), 0, top, w, band - by, tmp.dc(), 0, top, SRCCOPY);
          break;
        case 3: {  // text into the last strip and below it, as PRINT does
          COLORREF fg = colour(), bk = colour();
          int x = static_cast<int>(rng() % w) - 4;
          for (HDC dc : {a.dc(), b.dc()}) {
            SetTextColor(dc, fg);
            SetBkColor(dc, bk);
            SetBkMode(dc, OPAQUE);
            TextOutA(dc, x, strip, "Zg\xDB", 3);
          }
          break;
        }
        case 4: {  // a copy into the strip, or anywhere
          paint.Fill(colour());
          int x = static_cast<int>(rng() % w), y = rng() % 2 ? strip : static_cast<int>(rng() % h);
          BitBlt(a.dc(), x, y, 8, by, paint.dc(), 0, 0, SRCCOPY);
          BitBlt(b.dc(), x, y, 8, by, paint.dc(), 0, 0, SRCCOPY);
          break;
        }
        case 5: {  // drawing anywhere
          COLORREF c = colour();
          int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
          a.Rect(x, y, 5, 4, c);
          b.Rect(x, y, 5, 4, c);
          break;
        }
        default: {  // reading a pixel, or copying rows out
          int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
          if (rng() % 2) {
            ASSERT_EQ(GetPixel(a.dc(), x, y), GetPixel(b.dc(), x, y)) << "round " << round << " step " << step;
          } else {
            BitBlt(outA.dc(), 0, 0, w, 20, a.dc(), 0, y, SRCCOPY);
            BitBlt(outB.dc(), 0, 0, w, 20, b.dc(), 0, y, SRCCOPY);
            ASSERT_TRUE(outA.Image() == outB.Image()) << "round " << round << " step " << step;
          }
        }
      }
    }
    ASSERT_TRUE(a.Image() == b.Image()) << "round " << round << ": top " << top << ", band " << band << ", by " << by;
  }
}

TEST_F(GdiText, ScrolledBandCopiedOutOfItsLastStripOnly) {
  // Copying the last strip elsewhere reads it as it is; the rows above
  // arrive where the scrolls put them.
  MemoryDc a(16, 40), out(16, 40);
  a.Fill(RGB(255, 255, 255));
  out.Fill(RGB(0, 0, 0));
  for (int i = 0; i < 8; ++i) {
    a.Rect(0, 30, 16, 10, RGB(i * 30, 0, 0));  // the strip, then scroll it up
    BitBlt(out.dc(), 0, 30, 16, 10, a.dc(), 0, 30, SRCCOPY);
    EXPECT_EQ(GetPixel(out.dc(), 5, 35), RGB(i * 30, 0, 0));
    BitBlt(a.dc(), 0, 0, 16, 30, a.dc(), 0, 10, SRCCOPY);
  }
  // the strips of the last three scrolls, the oldest at the top
  for (int r = 0; r < 3; ++r) EXPECT_EQ(GetPixel(a.dc(), 3, r * 10 + 4), RGB((5 + r) * 30, 0, 0)) << r;
}

}  // namespace
