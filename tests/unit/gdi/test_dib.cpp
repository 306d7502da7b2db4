// DIBs and the contexts: bitmaps made from DIBs and read back at every
// depth, DIBs drawn stretched and in bands, palettes, bitmap resources.
#include <gtest/gtest.h>

#include <QImage>

#include <cstddef>
#include <cstring>

#include "app.h"
#include "dib_builder.h"
#include "gdi/bitmaps.h"
#include "../qt_app.h"
#include "resources/resources.h"
#include "../resources/res_builder.h"

namespace {

using dibbuild::Bytes;
using dibbuild::Dib;

// A BITMAPINFO with room for 256 colours.
struct Info {
  BITMAPINFO bmi;
  RGBQUAD more[255];
  RGBQUAD* colors() { return reinterpret_cast<RGBQUAD*>(reinterpret_cast<char*>(this) + offsetof(BITMAPINFO, bmiColors)); }
};

Info InfoOf(const Dib& d) {
  Info i{};
  i.bmi.bmiHeader.biWidth = d.width;
  i.bmi.bmiHeader.biHeight = d.topDown ? -d.height : d.height;
  i.bmi.bmiHeader.biBitCount = static_cast<WORD>(d.bits);
  i.bmi.bmiHeader.biClrUsed = static_cast<DWORD>(d.table.size());
  for (size_t k = 0; k < d.table.size(); ++k) {
    const uint32_t c = d.table[k];
    i.colors()[k] = RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
  }
  return i;
}

// Colours as a 6 x 4 bitmap shows them (0x00RRGGBB).
std::vector<uint32_t> Colours(const Dib& d) {
  std::vector<uint32_t> out;
  // 16-bit pixels widen each 5-bit part c to c << 3 | c >> 2.
  auto widen = [](uint32_t v) {
    uint32_t r = 0;
    for (int shift : {0, 8, 16}) {
      const uint32_t c = (v >> (shift + 3)) & 31;
      r |= ((c << 3) | (c >> 2)) << shift;
    }
    return r;
  };
  for (uint32_t v : d.pixels)
    out.push_back(d.bits <= 8 ? d.table[v] & 0xFFFFFF : d.bits == 16 ? widen(v) : v & 0xFFFFFF);
  return out;
}

Dib Picture(int bits, bool topDown) {
  Dib d;
  d.width = 6, d.height = 4, d.bits = bits, d.topDown = topDown;
  const std::vector<uint32_t> colours = {0x000000, 0xFFFFFF, 0xC00000, 0x00A000, 0x0000F8, 0x808080,
                                         0x400000, 0x004040, 0xF8F8F8, 0x102030};
  if (bits <= 8) d.table.assign(colours.begin(), colours.begin() + std::min<long>(10, 1L << bits));
  for (int i = 0; i < 24; ++i) {
    if (bits <= 8)
      d.pixels.push_back(static_cast<uint32_t>((i * 3 + i / 6) % d.table.size()));
    else
      d.pixels.push_back(colours[static_cast<size_t>(i * 7 % 10)]);
  }
  return d;
}

std::vector<uint32_t> Pixels(const QImage& img) {
  std::vector<uint32_t> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) out.push_back(img.pixel(x, y) & 0xFFFFFF);
  return out;
}

class DibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    live_ = win::LiveGdiObjects();
  }
  void TearDown() override { EXPECT_EQ(win::LiveGdiObjects(), live_) << "objects left behind"; }
  // A memory context on a w x h bitmap filled with `fill`.
  HDC Canvas(int w, int h, COLORREF fill) {
    HDC dc = CreateCompatibleDC(0);
    bitmap_ = CreateCompatibleBitmap(dc, w, h);
    old_ = SelectObject(dc, bitmap_);
    HGDIOBJ brush = CreateSolidBrush(fill);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    return dc;
  }
  void Done(HDC dc) {
    SelectObject(dc, old_);
    DeleteDC(dc);
    DeleteObject(bitmap_);
  }
  int live_ = 0;
  HGDIOBJ bitmap_ = 0, old_ = 0;
};

class DibRoundTrip : public DibTest, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(DibRoundTrip, ABitmapGivesBackThePixelsItWasMadeFrom) {
  const auto [bits, topDown] = GetParam();
  Dib d = Picture(bits, topDown);
  Info in = InfoOf(d);
  Bytes rows = dibbuild::Rows(d);
  HGDIOBJ bmp = CreateDIBitmap(0, &in.bmi.bmiHeader, CBM_INIT, rows.data(), &in.bmi, DIB_RGB_COLORS);
  ASSERT_NE(bmp, 0);
  QImage shown;
  HDC dc = CreateCompatibleDC(0);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_EQ(Pixels(win::ContextImage(dc)), Colours(d));
  SelectObject(dc, old);
  DeleteDC(dc);

  Info out{};
  out.bmi.bmiHeader.biHeight = topDown ? -1 : 1;
  out.bmi.bmiHeader.biBitCount = static_cast<WORD>(bits);
  std::vector<uint8_t> back(rows.size() + 16, 0xEE);
  EXPECT_EQ(GetDIBits(0, bmp, 0, 4, back.data(), &out.bmi, DIB_RGB_COLORS), 4);
  EXPECT_EQ(out.bmi.bmiHeader.biWidth, 6);
  EXPECT_EQ(out.bmi.bmiHeader.biHeight, topDown ? -4 : 4);
  EXPECT_EQ(out.bmi.bmiHeader.biSizeImage, rows.size());
  EXPECT_EQ(back[rows.size()], 0xEE) << "wrote past the rows";
  win::DibPixels p;
  ASSERT_TRUE(win::DecodeDib(out.bmi.bmiHeader, out.colors(), bits <= 8 ? 1u << bits : 0, back.data(),
                             rows.size(), &p));
  std::vector<uint32_t> got;
  for (uint32_t v : p.argb) got.push_back(v & 0xFFFFFF);
  EXPECT_EQ(got, Colours(d));
  DeleteObject(bmp);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, DibRoundTrip,
                         ::testing::Combine(::testing::Values(1, 4, 8, 16, 24, 32), ::testing::Bool()));

TEST_F(DibTest, WithoutBitsGetDIBitsTellsTheFormatOfTheDisplay) {
  HDC dc = Canvas(10, 7, RGB(1, 2, 3));
  Info out{};
  EXPECT_NE(GetDIBits(dc, bitmap_, 0, 7, nullptr, &out.bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(out.bmi.bmiHeader.biBitCount, 24);
  EXPECT_EQ(out.bmi.bmiHeader.biWidth, 10);
  EXPECT_EQ(out.bmi.bmiHeader.biHeight, 7);
  EXPECT_EQ(out.bmi.bmiHeader.biSizeImage, 32u * 7);
  BITMAP b;
  EXPECT_EQ(GetObjectA(bitmap_, sizeof b, &b), static_cast<int>(sizeof b));
  EXPECT_EQ(b.bmWidth, 10);
  EXPECT_EQ(b.bmHeight, 7);
  EXPECT_EQ(b.bmPlanes * b.bmBitsPixel, 24);
  EXPECT_EQ(GetObjectA(bitmap_, 4, &b), 0) << "too small a buffer";
  Done(dc);
}

TEST_F(DibTest, PartOfTheRowsCountsScanLinesFromTheBottom) {
  Dib d = Picture(24, false);
  Info in = InfoOf(d);
  Bytes rows = dibbuild::Rows(d);
  HGDIOBJ bmp = CreateDIBitmap(0, &in.bmi.bmiHeader, CBM_INIT, rows.data(), &in.bmi, DIB_RGB_COLORS);
  Info out{};
  out.bmi.bmiHeader.biBitCount = 24;
  const size_t row = 20;  // 18 bytes rounded up
  std::vector<uint8_t> back(row * 4, 0);
  // Scan lines 1 and 2 from the bottom; asking for more gives what there is.
  EXPECT_EQ(GetDIBits(0, bmp, 1, 2, back.data(), &out.bmi, DIB_RGB_COLORS), 2);
  EXPECT_TRUE(std::equal(back.begin(), back.begin() + 2 * row, rows.begin() + row));
  EXPECT_EQ(GetDIBits(0, bmp, 3, 9, back.data(), &out.bmi, DIB_RGB_COLORS), 1);
  EXPECT_EQ(GetDIBits(0, bmp, 4, 1, back.data(), &out.bmi, DIB_RGB_COLORS), 0);
  DeleteObject(bmp);
}

TEST_F(DibTest, ManyColoursInFewBitsTakeTheNearestStandardColour) {
  HDC dc = Canvas(20, 20, RGB(250, 5, 5));
  for (int i = 0; i < 20; ++i)
    for (int j = 0; j < 20; ++j)
      if (i < 18) SetPixel(dc, i, j, RGB(i * 13, j * 13, 100));
  Info out{};
  out.bmi.bmiHeader.biBitCount = 4;
  out.bmi.bmiHeader.biHeight = -20;
  std::vector<uint8_t> back(12 * 20, 0);
  ASSERT_EQ(GetDIBits(dc, bitmap_, 0, 20, back.data(), &out.bmi, DIB_RGB_COLORS), 20);
  // Column 19 of row 0: the near-red background, its index in the high half of byte 9.
  const RGBQUAD q = out.colors()[back[9] & 0x0F];
  EXPECT_EQ(q.rgbRed, 255);
  EXPECT_EQ(q.rgbGreen, 0);
  EXPECT_EQ(q.rgbBlue, 0);
  Done(dc);
}

TEST_F(DibTest, StretchDIBitsPlacesAndScalesThePicture) {
  // 2 x 2, bottom-up: the top row red, green; the bottom row blue, white.
  Dib d{2, 2, 24, false, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}};
  Info in = InfoOf(d);
  Bytes rows = dibbuild::Rows(d);
  HDC dc = Canvas(12, 12, RGB(0, 0, 0));
  SetStretchBltMode(dc, COLORONCOLOR);
  EXPECT_EQ(StretchDIBits(dc, 3, 4, 4, 6, 0, 0, 2, 2, rows.data(), &in.bmi, DIB_RGB_COLORS, SRCCOPY), 2);
  QImage img = win::ContextImage(dc);
  auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
  EXPECT_EQ(at(3, 4), 0xFF0000u);
  EXPECT_EQ(at(4, 6), 0xFF0000u);
  EXPECT_EQ(at(5, 4), 0x00FF00u);
  EXPECT_EQ(at(6, 6), 0x00FF00u);
  EXPECT_EQ(at(3, 7), 0x0000FFu);
  EXPECT_EQ(at(6, 9), 0xFFFFFFu);
  EXPECT_EQ(at(2, 4), 0u) << "left of it";
  EXPECT_EQ(at(7, 4), 0u) << "right of it";
  EXPECT_EQ(at(3, 3), 0u) << "above it";
  EXPECT_EQ(at(3, 10), 0u) << "below it";

  // One source pixel: bottom-up DIBs count y from the lower edge, so (1, 0)
  // is the white one.
  EXPECT_EQ(StretchDIBits(dc, 0, 0, 2, 2, 1, 0, 1, 1, rows.data(), &in.bmi, DIB_RGB_COLORS, SRCCOPY), 1);
  img = win::ContextImage(dc);
  EXPECT_EQ(at(0, 0), 0xFFFFFFu);
  EXPECT_EQ(at(1, 1), 0xFFFFFFu);
  EXPECT_EQ(at(2, 2), 0u);
  // A negative width mirrors.
  EXPECT_NE(StretchDIBits(dc, 10, 0, -2, 1, 0, 1, 2, 1, rows.data(), &in.bmi, DIB_RGB_COLORS, SRCCOPY), 0);
  img = win::ContextImage(dc);
  EXPECT_EQ(at(9, 0), 0xFF0000u);
  EXPECT_EQ(at(8, 0), 0x00FF00u);
  Done(dc);
}

TEST_F(DibTest, StretchDIBitsCombinesWithTheRasterOperations) {
  Dib d{1, 1, 24, false, {}, {0x0F0F00}};
  Info in = InfoOf(d);
  Bytes rows = dibbuild::Rows(d);
  struct Case {
    DWORD rop;
    uint32_t expect;
  };
  for (Case c : {Case{SRCCOPY, 0x0F0F00}, Case{SRCAND, 0x0F0000}, Case{SRCPAINT, 0xFF0F0F}, Case{SRCINVERT, 0xF00F0F}}) {
    HDC dc = Canvas(2, 2, RGB(0xFF, 0x00, 0x0F));  // 0xFF000F in image order: red FF, blue 0F
    StretchDIBits(dc, 0, 0, 1, 1, 0, 0, 1, 1, rows.data(), &in.bmi, DIB_RGB_COLORS, c.rop);
    EXPECT_EQ(win::ContextImage(dc).pixel(0, 0) & 0xFFFFFF, c.expect) << std::hex << c.rop;
    Done(dc);
  }
}

TEST_F(DibTest, SetDIBitsToDevicePutsABandWhereItsScanLinesLie) {
  // 3 x 4 bottom-up, each row one colour; the buffer holds scan lines 1 and
  // 2 (from the bottom), which are picture rows 2 and 1.
  Dib full{3, 4, 24, false, {}, {}};
  const uint32_t rowColour[4] = {0x110000, 0x002200, 0x000033, 0x444444};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x) full.pixels.push_back(rowColour[y]);
  Bytes rows = dibbuild::Rows(full);
  Bytes band(rows.begin() + 12, rows.begin() + 36);
  Info in = InfoOf(full);
  HDC dc = Canvas(8, 8, RGB(255, 255, 255));
  EXPECT_EQ(SetDIBitsToDevice(dc, 2, 2, 3, 4, 0, 0, 1, 2, band.data(), &in.bmi, DIB_RGB_COLORS), 2);
  QImage img = win::ContextImage(dc);
  EXPECT_EQ(img.pixel(2, 3) & 0xFFFFFF, 0x002200u);
  EXPECT_EQ(img.pixel(4, 4) & 0xFFFFFF, 0x000033u);
  EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu) << "row 0 was not in the band";
  EXPECT_EQ(img.pixel(2, 5) & 0xFFFFFF, 0xFFFFFFu) << "row 3 was not in the band";
  Done(dc);
}

TEST_F(DibTest, BadDibsMakeNoBitmap) {
  Dib d = Picture(8, false);
  Info in = InfoOf(d);
  Bytes rows = dibbuild::Rows(d);
  Info bad = in;
  bad.bmi.bmiHeader.biCompression = BI_RLE8;
  EXPECT_EQ(CreateDIBitmap(0, &bad.bmi.bmiHeader, CBM_INIT, rows.data(), &bad.bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(CreateDIBitmap(0, &in.bmi.bmiHeader, CBM_INIT, rows.data(), &in.bmi, DIB_PAL_COLORS), 0);
  EXPECT_EQ(CreateDIBitmap(0, &in.bmi.bmiHeader, CBM_INIT, nullptr, &in.bmi, DIB_RGB_COLORS), 0);
  bad = in;
  bad.bmi.bmiHeader.biWidth = 1 << 20;
  bad.bmi.bmiHeader.biHeight = 1 << 20;
  EXPECT_EQ(CreateDIBitmap(0, &bad.bmi.bmiHeader, 0, nullptr, nullptr, DIB_RGB_COLORS), 0);
  // Without CBM_INIT: a bitmap of the size, nothing read.
  HGDIOBJ blank = CreateDIBitmap(0, &in.bmi.bmiHeader, 0, nullptr, nullptr, DIB_RGB_COLORS);
  BITMAP b;
  ASSERT_EQ(GetObjectA(blank, sizeof b, &b), static_cast<int>(sizeof b));
  EXPECT_EQ(b.bmWidth, 6);
  EXPECT_EQ(b.bmHeight, 4);
  DeleteObject(blank);
}

TEST_F(DibTest, PalettesAnswerAsOnATrueColourDisplay) {
  struct {
    LOGPALETTE pal;
    PALETTEENTRY more[2];
  } lp{};
  lp.pal.palNumEntries = 3;
  lp.pal.palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};
  HGDIOBJ pal = CreatePalette(&lp.pal);
  ASSERT_NE(pal, 0);
  HDC dc = Canvas(4, 4, RGB(9, 9, 9));
  HGDIOBJ first = SelectPalette(dc, pal, FALSE);
  EXPECT_NE(first, 0) << "the default palette";
  EXPECT_EQ(RealizePalette(dc), 0u) << "no colour changed";
  EXPECT_EQ(win::ContextImage(dc).pixel(0, 0) & 0xFFFFFF, 0x090909u);
  WORD entries = 0;
  EXPECT_EQ(GetObjectA(pal, sizeof entries, &entries), 2);
  EXPECT_EQ(entries, 3);
  EXPECT_FALSE(DeleteObject(pal)) << "still selected";
  EXPECT_EQ(SelectPalette(dc, first, FALSE), pal);
  EXPECT_TRUE(DeleteObject(pal));
  EXPECT_EQ(SelectPalette(dc, pal, FALSE), 0) << "deleted";
  EXPECT_EQ(RealizePalette(0), GDI_ERROR);
  Done(dc);
}

TEST_F(DibTest, LoadBitmapReadsAModulesBitmapResource) {
  Dib d = Picture(4, false);
  const std::string path = ::testing::TempDir() + "/dib_bitmaps.res";
  resbuild::Write(path, resbuild::ResFile({{RT_BITMAP, u"BILD", 0, dibbuild::Packed(d)},
                                           {RT_BITMAP, u"", 7, dibbuild::Packed(Picture(24, true))},
                                           {RT_BITMAP, u"KAPUTT", 0, Bytes(30, 0)}}));
  HINSTANCE module = win::LoadModuleResources(path);
  ASSERT_NE(module, 0);
  HGDIOBJ bmp = LoadBitmapA(module, "bild");
  ASSERT_NE(bmp, 0);
  HDC dc = CreateCompatibleDC(0);
  HGDIOBJ old = SelectObject(dc, bmp);
  EXPECT_EQ(Pixels(win::ContextImage(dc)), Colours(d));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bmp);
  HGDIOBJ numbered = LoadBitmapA(module, MAKEINTRESOURCEA(7));
  EXPECT_NE(numbered, 0);
  DeleteObject(numbered);
  EXPECT_EQ(LoadBitmapA(module, "KAPUTT"), 0);
  EXPECT_EQ(LoadBitmapA(module, "FEHLT"), 0);
  win::FreeModuleResources(module);
}

}  // namespace
