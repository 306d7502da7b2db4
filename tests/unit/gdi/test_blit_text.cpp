// Stretched copies with raster operations, and text in fonts made by
// CreateFontA.
#include <gtest/gtest.h>

#include <QImage>

#include <set>
#include <string>

#include "gdi_fixture.h"

namespace {

using namespace gditest;

// A 2 x 2 source: red, green / blue, black.
void FourColours(Canvas& s) {
  SetPixel(s.dc(), 0, 0, kRed);
  SetPixel(s.dc(), 1, 0, kGreen);
  SetPixel(s.dc(), 0, 1, kBlue);
  SetPixel(s.dc(), 1, 1, kBlack);
}

TEST_F(Gdi, StretchBltScalesToTheNearestPixel) {
  Canvas src(2, 2), dst(10, 10);
  FourColours(src);
  SetStretchBltMode(dst.dc(), COLORONCOLOR);
  ASSERT_TRUE(StretchBlt(dst.dc(), 1, 1, 4, 6, src.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dst.Count(kRed, 1, 1, 2, 3), 6);
  EXPECT_EQ(dst.Count(kGreen, 3, 1, 4, 3), 6);
  EXPECT_EQ(dst.Count(kBlue, 1, 4, 2, 6), 6);
  EXPECT_EQ(dst.Count(kBlack, 3, 4, 4, 6), 6);
  EXPECT_EQ(dst.Count(kWhite), 100 - 24);
  // Shrinking picks one pixel of each 2 x 2 block.
  Canvas small(2, 2);
  ASSERT_TRUE(StretchBlt(small.dc(), 0, 0, 2, 2, dst.dc(), 1, 1, 4, 4, SRCCOPY));
  EXPECT_EQ(small.At(0, 0), kRed);
  EXPECT_EQ(small.At(1, 0), kGreen);
  EXPECT_EQ(small.At(1, 1), kBlack);
}

TEST_F(Gdi, StretchBltMirrorsOnNegativeWidth) {
  Canvas src(2, 2), dst(4, 4);
  FourColours(src);
  ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -4, 2, src.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(dst.Row(0, kRed, 0, 3), "..##");
  EXPECT_EQ(dst.Row(0, kGreen, 0, 3), "##..");
}

TEST_F(Gdi, StretchBltRasterOperations) {
  const COLORREF s = RGB(0xF0, 0x0F, 0x55), d = RGB(0x3C, 0x3C, 0xAA);
  struct Case {
    DWORD rop;
    COLORREF want;
  };
  const Case cases[] = {
      {SRCCOPY, s},
      {SRCAND, RGB(0x30, 0x0C, 0x00)},
      {SRCPAINT, RGB(0xFC, 0x3F, 0xFF)},
      {SRCINVERT, RGB(0xCC, 0x33, 0xFF)},
      {DSTINVERT, RGB(0xC3, 0xC3, 0x55)},
  };
  for (const Case& k : cases) {
    Canvas src(3, 3), dst(6, 6);
    src.Clear(s);
    dst.Clear(d);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 0, 0, 3, 3, k.rop)) << k.rop;
    EXPECT_EQ(dst.Count(k.want), 36) << std::hex << k.rop;
  }
}

TEST_F(Gdi, StretchBltWithinOneImageReadsTheOldPixels) {
  Canvas c(8, 2);
  SetPixel(c.dc(), 0, 0, kRed);
  SetPixel(c.dc(), 1, 0, kBlue);
  // Doubling in place to the right would smear red if it read written pixels.
  ASSERT_TRUE(StretchBlt(c.dc(), 0, 0, 4, 1, c.dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(c.Row(0, kRed, 0, 3), "##..");
  EXPECT_EQ(c.Row(0, kBlue, 0, 3), "..##");
}

class Font {
 public:
  Font(int height, int escapement = 0, int weight = FW_NORMAL, DWORD underline = 0, const char* face = "Arial",
       DWORD charSet = ANSI_CHARSET, DWORD italic = 0, DWORD strike = 0)
      : h_(CreateFontA(height, 0, escapement, escapement, weight, italic, underline, strike, charSet, 0, 0, 0, 0,
                       face)) {}
  ~Font() { DeleteObject(h_); }
  HGDIOBJ h() const { return h_; }

 private:
  HGDIOBJ h_;
};

// Text on a white canvas; the colours it leaves.
std::set<COLORREF> Colours(const Canvas& c) {
  std::set<COLORREF> out;
  for (int y = 0; y < c.h(); ++y)
    for (int x = 0; x < c.w(); ++x) out.insert(c.At(x, y));
  return out;
}

TEST_F(Gdi, TextInAMadeFontUsesTheTextColoursWithoutAntialiasing) {
  Font f(-20);
  ASSERT_NE(f.h(), 0);
  Canvas c(120, 40);
  HGDIOBJ old = SelectObject(c.dc(), f.h());
  SetTextColor(c.dc(), kRed);
  SetBkColor(c.dc(), kBlue);
  ASSERT_TRUE(TextOutA(c.dc(), 5, 5, "Hallo Welt", 10));
  EXPECT_EQ(Colours(c), (std::set<COLORREF>{kRed, kBlue, kWhite}));
  SIZE ext;
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), "Hallo Welt", 10, &ext));
  // The opaque background covers exactly the extent.
  EXPECT_EQ(c.Count(kRed) + c.Count(kBlue), ext.cx * ext.cy);
  EXPECT_GT(c.Count(kRed), 40);
  c.Clear(kWhite);
  SetBkMode(c.dc(), TRANSPARENT);
  TextOutA(c.dc(), 5, 5, "Hallo Welt", 10);
  EXPECT_EQ(Colours(c), (std::set<COLORREF>{kRed, kWhite}));
  SelectObject(c.dc(), old);
}

TEST_F(Gdi, FontHeightsAreCharacterOrCellHeights) {
  Canvas c(10, 10);
  Font cell(30), character(-30);
  TEXTMETRICA a, b;
  HGDIOBJ old = SelectObject(c.dc(), cell.h());
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &a));
  SelectObject(c.dc(), character.h());
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &b));
  SelectObject(c.dc(), old);
  EXPECT_LE(a.tmHeight, 30);
  EXPECT_GE(a.tmHeight, 26);
  EXPECT_GT(b.tmHeight, a.tmHeight);
  EXPECT_EQ(a.tmHeight, a.tmAscent + a.tmDescent);
  Font bold(-30, 0, FW_BOLD);
  SelectObject(c.dc(), bold.h());
  GetTextMetricsA(c.dc(), &a);
  SelectObject(c.dc(), old);
  EXPECT_EQ(a.tmWeight, FW_BOLD);
}

// Red pixels of a text drawn at 60, 60 on a 120 x 120 canvas, and the box
// around them.
QRect Inked(Font& f, int* count = nullptr) {
  Canvas c(120, 120);
  HGDIOBJ old = SelectObject(c.dc(), f.h());
  SetTextColor(c.dc(), kRed);
  SetBkMode(c.dc(), TRANSPARENT);
  TextOutA(c.dc(), 60, 60, "Drehung", 7);
  SelectObject(c.dc(), old);
  QRect box;
  int n = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 120; ++x)
      if (c.At(x, y) == kRed) box |= QRect(x, y, 1, 1), ++n;
  if (count) *count = n;
  return box;
}

TEST_F(Gdi, EscapementRotatesTheText) {
  Font flat(-16), up(-16, 900), down(-16, -900);
  const QRect a = Inked(flat), b = Inked(up), c = Inked(down);
  ASSERT_FALSE(a.isEmpty());
  EXPECT_GT(a.width(), a.height());
  // Ninety degrees counter-clockwise: the text runs upwards from 60, 60.
  EXPECT_GT(b.height(), b.width());
  EXPECT_LE(b.bottom(), 61);
  EXPECT_GE(a.left(), 60);
  // Clockwise: downwards and left of the reference point.
  EXPECT_GT(c.height(), c.width());
  EXPECT_GE(c.top(), 59);
  EXPECT_LE(c.right(), 61);
}

TEST_F(Gdi, UnderlineStrikeOutAndWeightAddInk) {
  int plain = 0, under = 0, bold = 0, strike = 0;
  Font p(-16), u(-16, 0, FW_NORMAL, 1), b(-16, 0, FW_BOLD), s(-16, 0, FW_NORMAL, 0, "Arial", ANSI_CHARSET, 0, 1);
  const QRect pr = Inked(p, &plain), ur = Inked(u, &under);
  Inked(b, &bold);
  Inked(s, &strike);
  EXPECT_GT(under, plain);
  EXPECT_GE(ur.bottom(), pr.bottom());
  EXPECT_GT(bold, plain);
  EXPECT_GT(strike, plain);
}

TEST_F(Gdi, OemCharacterSetDrawsCodePage437) {
  Canvas a(40, 30), b(40, 30);
  Font ansi(-16, 0, FW_NORMAL, 0, "Courier New", ANSI_CHARSET), oem(-16, 0, FW_NORMAL, 0, "Courier New", OEM_CHARSET);
  HGDIOBJ old = SelectObject(a.dc(), ansi.h());
  TEXTMETRICA tm;
  GetTextMetricsA(a.dc(), &tm);
  EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
  TextOutA(a.dc(), 2, 2, "\x84", 1);  // ANSI low double quote, OEM a umlaut
  SelectObject(a.dc(), old);
  old = SelectObject(b.dc(), oem.h());
  GetTextMetricsA(b.dc(), &tm);
  EXPECT_EQ(tm.tmCharSet, OEM_CHARSET);
  TextOutA(b.dc(), 2, 2, "\x84", 1);
  SelectObject(b.dc(), old);
  EXPECT_NE(a.Count(kBlack), b.Count(kBlack));
}

TEST_F(Gdi, StockFontsStillDrawTheirGlyphs) {
  Canvas c(40, 20);
  SelectObject(c.dc(), GetStockObject(ANSI_FIXED_FONT));
  TextOutA(c.dc(), 0, 0, "AB", 2);
  SIZE ext;
  GetTextExtentPoint32A(c.dc(), "AB", 2, &ext);
  EXPECT_EQ(ext.cx, 16);
  EXPECT_GT(c.Count(kBlack), 10);
  EXPECT_EQ(c.Count(kBlack, 16, 0, 39, 19), 0);
}

}  // namespace

namespace {

using namespace gditest;

TEST_F(Gdi, FontWidthStretchesTheCharacters) {
  Canvas c(10, 10);
  HGDIOBJ narrow = CreateFontA(-20, 6, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ wide = CreateFontA(-20, 18, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  SIZE a, b;
  HGDIOBJ old = SelectObject(c.dc(), narrow);
  GetTextExtentPoint32A(c.dc(), "Breite", 6, &a);
  SelectObject(c.dc(), wide);
  GetTextExtentPoint32A(c.dc(), "Breite", 6, &b);
  SelectObject(c.dc(), old);
  EXPECT_GT(b.cx, a.cx * 2);
  EXPECT_EQ(a.cy, b.cy);
  DeleteObject(narrow);
  DeleteObject(wide);
}

}  // namespace
