// Pixel rules of lines, rectangles, ellipses, arcs, brushes and flood fill.
#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <climits>
#include <string>
#include <tuple>

#include "gdi_fixture.h"

namespace {

using namespace gditest;

TEST_F(Gdi, LineLeavesOutItsEndPointAndMovesThePosition) {
  Canvas c(40, 40);
  POINT old{-1, -1};
  ASSERT_TRUE(MoveToEx(c.dc(), 2, 5, &old));
  EXPECT_EQ(old.x, 0);
  EXPECT_EQ(old.y, 0);
  ASSERT_TRUE(LineTo(c.dc(), 10, 5));
  EXPECT_EQ(c.Row(5, kBlack, 0, 12), "..########...");
  // The next line starts where the last one ended.
  LineTo(c.dc(), 10, 12);
  EXPECT_EQ(c.Column(10, kBlack, 4, 13), ".#######..");
  MoveToEx(c.dc(), 0, 0, &old);
  EXPECT_EQ(old.x, 10);
  EXPECT_EQ(old.y, 12);
}

TEST_F(Gdi, DiagonalAndSteepLinesHaveOnePixelPerStep) {
  Canvas c(40, 40);
  MoveToEx(c.dc(), 20, 20, nullptr);
  LineTo(c.dc(), 25, 15);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c.At(20 + i, 20 - i), kBlack) << i;
  EXPECT_EQ(c.At(25, 15), kWhite);
  EXPECT_EQ(c.Count(kBlack), 5);
  c.Clear(kWhite);
  MoveToEx(c.dc(), 3, 0, nullptr);
  LineTo(c.dc(), 6, 30);
  EXPECT_EQ(c.Count(kBlack), 30);
  for (int y = 0; y < 30; ++y) EXPECT_EQ(c.Count(kBlack, 0, y, 39, y), 1) << y;
  EXPECT_EQ(c.At(3, 0), kBlack);
  EXPECT_EQ(c.Count(kBlack, 0, 30, 39, 30), 0);
}

TEST_F(Gdi, RectangleOutlineIsInsideRightAndBottomEdges) {
  Canvas c(40, 40);
  c.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(Rectangle(c.dc(), 10, 10, 20, 15));
  EXPECT_EQ(c.Row(10, kBlack, 9, 20), ".##########.");
  EXPECT_EQ(c.Row(14, kBlack, 9, 20), ".##########.");
  EXPECT_EQ(c.Row(12, kBlack, 9, 20), ".#........#.");
  EXPECT_EQ(c.Row(12, kRed, 9, 20), "..########..");
  EXPECT_EQ(c.Column(15, kBlack, 9, 15), ".#...#.");
  EXPECT_EQ(c.Count(kRed), 8 * 3);
  // Corners swapped draw the same.
  Canvas d(40, 40);
  d.Brush(BS_SOLID, kRed);
  Rectangle(d.dc(), 20, 15, 10, 10);
  EXPECT_EQ(d.Count(kBlack), c.Count(kBlack));
  EXPECT_EQ(d.Count(kRed), c.Count(kRed));
}

TEST_F(Gdi, WidePensAreCentredAndInsideFramePensStayInside) {
  Canvas c(50, 50);
  c.Pen(PS_SOLID, 3, kBlue);
  c.Brush(BS_SOLID, kRed);
  Rectangle(c.dc(), 10, 10, 30, 30);
  // Centred on the left edge (x 10) and on the right edge (x 29).
  EXPECT_EQ(c.Row(20, kBlue, 8, 31), ".###" + std::string(16, '.') + "###.");
  EXPECT_EQ(c.Row(20, kRed, 8, 31), "...." + std::string(16, '#') + "....");
  Canvas d(50, 50);
  d.Pen(PS_INSIDEFRAME, 3, kBlue);
  d.Brush(BS_SOLID, kRed);
  Rectangle(d.dc(), 10, 10, 30, 30);
  EXPECT_EQ(d.Row(20, kBlue, 9, 30), ".###" + std::string(14, '.') + "###.");
  EXPECT_EQ(d.Column(20, kBlue, 9, 30), ".###" + std::string(14, '.') + "###.");
  EXPECT_EQ(d.Count(kRed), 14 * 14);
}

TEST_F(Gdi, NullPenAndNullBrush) {
  Canvas c(40, 40);
  c.Use(GetStockObject(NULL_PEN));
  c.Brush(BS_SOLID, kRed);
  Rectangle(c.dc(), 10, 10, 20, 20);
  // Without a pen the filled figure is a pixel smaller.
  EXPECT_EQ(c.Count(kRed), 9 * 9);
  EXPECT_EQ(c.At(10, 10), kRed);
  EXPECT_EQ(c.At(19, 15), kWhite);
  EXPECT_EQ(c.At(15, 19), kWhite);
  EXPECT_EQ(c.Count(kBlack), 0);
  Canvas d(40, 40);
  d.Brush(BS_NULL, kRed);
  Ellipse(d.dc(), 5, 5, 30, 30);
  EXPECT_EQ(d.Count(kRed), 0);
  EXPECT_GT(d.Count(kBlack), 60);
  EXPECT_EQ(d.At(17, 17), kWhite);
  // A null pen made by CreatePen draws nothing either.
  Canvas e(20, 20);
  e.Pen(PS_NULL, 1, kBlue);
  MoveToEx(e.dc(), 0, 5, nullptr);
  LineTo(e.dc(), 19, 5);
  EXPECT_EQ(e.Count(kBlue), 0);
}

// Each hatch as 8 rows of 8 pixels, aligned to the context origin.
TEST_F(Gdi, HatchPatternsRepeatEveryEightPixelsFromTheOrigin) {
  const char* patterns[6][8] = {
      {"........", "........", "........", "........", "........", "........", "........", "########"},
      {"....#...", "....#...", "....#...", "....#...", "....#...", "....#...", "....#...", "....#..."},
      {"#.......", ".#......", "..#.....", "...#....", "....#...", ".....#..", "......#.", ".......#"},
      {".......#", "......#.", ".....#..", "....#...", "...#....", "..#.....", ".#......", "#......."},
      {"....#...", "....#...", "....#...", "....#...", "....#...", "....#...", "....#...", "########"},
      {"#......#", ".#....#.", "..#..#..", "...##...", "...##...", "..#..#..", ".#....#.", "#......#"},
  };
  for (int hs = HS_HORIZONTAL; hs <= HS_DIAGCROSS; ++hs) {
    Canvas c(24, 24);
    c.Brush(BS_HATCHED, kBlue, hs);
    SetBkColor(c.dc(), kGreen);
    // A figure that does not start on the pattern grid.
    c.Use(GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 3, 5, 22, 22);
    for (int y = 8; y < 16; ++y) {
      std::string want;
      for (int x = 8; x < 16; ++x) want += patterns[hs][y % 8][x % 8];
      EXPECT_EQ(c.Row(y, kBlue, 8, 15), want) << "style " << hs << " row " << y;
      // The gaps are the background colour, as the mode is opaque.
      for (int x = 8; x < 16; ++x) EXPECT_NE(c.At(x, y), kWhite) << hs;
    }
  }
}

TEST_F(Gdi, HatchGapsStayUntouchedWhenTransparent) {
  Canvas c(16, 16);
  c.Brush(BS_HATCHED, kBlue, HS_CROSS);
  SetBkMode(c.dc(), TRANSPARENT);
  SetBkColor(c.dc(), kGreen);
  RECT r{0, 0, 16, 16};
  FillRect(c.dc(), &r, GetCurrentObject(c.dc(), 2));
  EXPECT_EQ(c.Count(kGreen), 0);
  // A column and a row in each 8 x 8 cell, crossing in one pixel.
  EXPECT_EQ(c.Count(kBlue), 4 * 15);
  EXPECT_EQ(c.Count(kBlue) + c.Count(kWhite), 256);
}

TEST_F(Gdi, CosmeticDashPatterns) {
  struct Case {
    int style;
    const char* row;
  };
  const Case cases[] = {
      {PS_DASH, "##################......##################......##"},
      {PS_DOT, "###...###...###...###...###...###...###...###...##"},
      {PS_DASHDOT, "#########......###......#########......###......##"},
      {PS_DASHDOTDOT, "#########...###...###...#########...###...###...##"},
  };
  for (const Case& k : cases) {
    Canvas c(60, 10);
    c.Pen(k.style, 1, kBlue);
    SetBkColor(c.dc(), kGreen);
    MoveToEx(c.dc(), 0, 5, nullptr);
    LineTo(c.dc(), 55, 5);
    EXPECT_EQ(c.Row(5, kBlue, 0, 49), k.row) << k.style;
    // Opaque gaps take the background colour.
    EXPECT_EQ(c.Count(kBlue, 0, 5, 54, 5) + c.Count(kGreen, 0, 5, 54, 5), 55) << k.style;
    SetBkMode(c.dc(), TRANSPARENT);
    c.Clear(kWhite);
    MoveToEx(c.dc(), 0, 5, nullptr);
    LineTo(c.dc(), 55, 5);
    EXPECT_EQ(c.Count(kGreen), 0) << k.style;
    EXPECT_EQ(c.Row(5, kBlue, 0, 49), k.row) << k.style;
  }
  // Wider pens are solid whatever their style.
  Canvas w(60, 10);
  w.Pen(PS_DASH, 2, kBlue);
  MoveToEx(w.dc(), 0, 5, nullptr);
  LineTo(w.dc(), 50, 5);
  EXPECT_EQ(w.Row(5, kBlue, 0, 50), std::string(51, '#'));
}

TEST_F(Gdi, ThreePixelLineIsThreeRowsThick) {
  Canvas c(40, 20);
  c.Pen(PS_SOLID, 3, kBlue);
  MoveToEx(c.dc(), 5, 10, nullptr);
  LineTo(c.dc(), 30, 10);
  EXPECT_EQ(c.Column(15, kBlue, 7, 13), "..###..");
  EXPECT_EQ(c.Row(10, kBlue, 5, 30), std::string(26, '#'));
  EXPECT_EQ(c.Count(kBlue, 0, 0, 39, 8), 0);
}

TEST_F(Gdi, EllipseIsSymmetricAndFillsItsBox) {
  for (auto [l, t, r, b] : {std::tuple{10, 10, 41, 31}, std::tuple{4, 6, 40, 22}, std::tuple{5, 5, 25, 25}}) {
    Canvas c(50, 40);
    c.Brush(BS_SOLID, kRed);
    ASSERT_TRUE(Ellipse(c.dc(), l, t, r, b));
    // Extent: the outline touches the box's left, top, right - 1, bottom - 1.
    EXPECT_GT(c.Count(kBlack, l, t, l, b - 1), 0);
    EXPECT_GT(c.Count(kBlack, r - 1, t, r - 1, b - 1), 0);
    EXPECT_GT(c.Count(kBlack, l, t, r - 1, t), 0);
    EXPECT_GT(c.Count(kBlack, l, b - 1, r - 1, b - 1), 0);
    EXPECT_EQ(c.Count(kBlack) + c.Count(kRed), c.Count(kBlack, l, t, r - 1, b - 1) + c.Count(kRed, l, t, r - 1, b - 1));
    // Corners of the box stay empty.
    EXPECT_EQ(c.At(l, t), kWhite);
    EXPECT_EQ(c.At(r - 1, b - 1), kWhite);
    EXPECT_EQ(c.At((l + r) / 2, (t + b) / 2), kRed);
    // Mirror symmetry in both directions.
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) {
        ASSERT_EQ(c.At(x, y), c.At(l + r - 1 - x, y)) << x << "," << y;
        ASSERT_EQ(c.At(x, y), c.At(x, t + b - 1 - y)) << x << "," << y;
      }
    // The outline is closed: the brush never touches the white outside.
    for (int y = t; y < b; ++y)
      for (int x = l + 1; x < r; ++x)
        if (c.At(x, y) == kRed) {
          EXPECT_NE(c.At(x - 1, y), kWhite);
          EXPECT_NE(c.At(x, y - 1), kWhite);
        }
  }
}

TEST_F(Gdi, RoundRectCutsItsCorners) {
  Canvas c(50, 50);
  c.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(RoundRect(c.dc(), 10, 10, 40, 30, 10, 8));
  EXPECT_EQ(c.At(10, 10), kWhite);
  EXPECT_EQ(c.At(39, 29), kWhite);
  EXPECT_EQ(c.Row(20, kBlack, 9, 40), ".#" + std::string(28, '.') + "#.");
  EXPECT_EQ(c.At(10, 20), kBlack);
  EXPECT_EQ(c.At(25, 10), kBlack);
  EXPECT_EQ(c.At(25, 29), kBlack);
  EXPECT_EQ(c.At(25, 20), kRed);
  // Straight edges between the corners.
  EXPECT_EQ(c.Row(10, kBlack, 16, 33), std::string(18, '#'));
}

// Black pixels in the quadrants right-above, left-above, left-below and
// right-below the centre 30, 30 of a circle in (10,10)-(51,51).
std::string Quadrants(const Canvas& c, COLORREF col) {
  std::string s;
  s += c.Count(col, 32, 8, 53, 28) ? 'x' : '-';
  s += c.Count(col, 8, 8, 28, 28) ? 'x' : '-';
  s += c.Count(col, 8, 32, 28, 53) ? 'x' : '-';
  s += c.Count(col, 32, 32, 53, 53) ? 'x' : '-';
  return s;
}

TEST_F(Gdi, ArcsRunCounterClockwiseFromStartToEnd) {
  Canvas c(60, 60);
  // From east to north: the upper right quarter only.
  ASSERT_TRUE(Arc(c.dc(), 10, 10, 51, 51, 60, 30, 30, 0));
  EXPECT_EQ(Quadrants(c, kBlack), "x---");
  EXPECT_EQ(c.At(50, 28), kBlack);
  EXPECT_EQ(c.At(31, 10), kBlack);
  c.Clear(kWhite);
  // From north to east: the other three quarters.
  Arc(c.dc(), 10, 10, 51, 51, 30, 0, 60, 30);
  EXPECT_EQ(Quadrants(c, kBlack), "-xxx");
  c.Clear(kWhite);
  // Start and end on the same radial: the whole ellipse.
  Arc(c.dc(), 10, 10, 51, 51, 60, 30, 60, 30);
  EXPECT_EQ(Quadrants(c, kBlack), "xxxx");
  // An arc fills nothing.
  EXPECT_EQ(c.At(30, 30), kWhite);
}

TEST_F(Gdi, PieAndChordFillTheirSectors) {
  Canvas p(60, 60);
  p.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(Pie(p.dc(), 10, 10, 51, 51, 60, 30, 30, 0));
  EXPECT_EQ(Quadrants(p, kRed), "x---");
  EXPECT_EQ(p.At(40, 20), kRed);
  // The radial lines from the centre to the ends of the arc.
  EXPECT_EQ(p.At(40, 30), kBlack);
  EXPECT_EQ(p.At(30, 20), kBlack);
  Canvas q(60, 60);
  q.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(Chord(q.dc(), 10, 10, 51, 51, 60, 30, 30, 0));
  // The chord cuts the quarter from (50,30) to (30,10): the brush is on
  // the arc's side only.
  EXPECT_EQ(q.At(42, 18), kRed);
  EXPECT_EQ(q.At(34, 26), kWhite);
  EXPECT_EQ(q.At(40, 20), kBlack);  // on the chord
  EXPECT_EQ(Quadrants(q, kBlack), "x---");
  EXPECT_LT(q.Count(kRed), p.Count(kRed));
}

TEST_F(Gdi, FloodFillStopsAtTheBorderColour) {
  Canvas c(40, 40);
  c.Brush(BS_NULL, 0);
  Rectangle(c.dc(), 5, 5, 20, 20);
  c.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(FloodFill(c.dc(), 10, 10, kBlack));
  EXPECT_EQ(c.Count(kRed), 13 * 13);
  EXPECT_EQ(c.At(25, 25), kWhite);
  // Starting on the border fills nothing.
  EXPECT_FALSE(FloodFill(c.dc(), 5, 5, kBlack));
  // Fills are 4-connected: a diagonal line of border pixels holds.
  Canvas d(20, 20);
  MoveToEx(d.dc(), 0, 19, nullptr);
  LineTo(d.dc(), 20, -1);
  d.Brush(BS_SOLID, kBlue);
  FloodFill(d.dc(), 0, 0, kBlack);
  EXPECT_EQ(d.Count(kBlue), 19 * 20 / 2);
  EXPECT_EQ(d.At(19, 19), kWhite);
}

TEST_F(Gdi, SurfaceFillReplacesOneColourOnly) {
  Canvas c(30, 30);
  c.Use(GetStockObject(NULL_PEN));
  c.Brush(BS_SOLID, kGreen);
  Rectangle(c.dc(), 0, 0, 16, 31);  // the left half green
  c.Brush(BS_SOLID, kBlue);
  ASSERT_TRUE(ExtFloodFill(c.dc(), 20, 5, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Count(kGreen), 15 * 30);
  EXPECT_EQ(c.Count(kBlue), 15 * 30);
  // A point not of the surface colour fills nothing.
  EXPECT_FALSE(ExtFloodFill(c.dc(), 2, 2, kWhite, FLOODFILLSURFACE));
  // The brush's own colour does not stop a border fill.
  c.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(FloodFill(c.dc(), 20, 5, kGreen));
  EXPECT_EQ(c.Count(kRed), 15 * 30);
}

TEST_F(Gdi, PixelsOutsideTheImageAreRefused) {
  Canvas c(10, 10);
  EXPECT_EQ(SetPixel(c.dc(), 3, 4, kRed), kRed);
  EXPECT_EQ(GetPixel(c.dc(), 3, 4), kRed);
  EXPECT_EQ(SetPixel(c.dc(), 10, 4, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), -1, 0), CLR_INVALID);
  EXPECT_EQ(c.Count(kRed), 1);
}

TEST_F(Gdi, HugeCoordinatesAreClippedQuickly) {
  const auto start = std::chrono::steady_clock::now();
  Canvas c(64, 48);
  c.Brush(BS_SOLID, kRed);
  ASSERT_TRUE(Rectangle(c.dc(), -100000000, -100000000, 100000000, 100000000));
  EXPECT_EQ(c.Count(kRed), 64 * 48);
  c.Clear(kWhite);
  ASSERT_TRUE(Ellipse(c.dc(), -100000000, -50000000, 100000000, 50000000));
  EXPECT_EQ(c.Count(kRed), 64 * 48);
  c.Clear(kWhite);
  MoveToEx(c.dc(), -100000000, 20, nullptr);
  ASSERT_TRUE(LineTo(c.dc(), 100000000, 20));
  EXPECT_EQ(c.Count(kBlack), 64);
  Pie(c.dc(), -100000000, -100000000, 100000000, 100000000, 1, 0, 0, 1);
  Chord(c.dc(), -100000000, -100000000, 100000000, 100000000, 1, 0, 0, 1);
  RoundRect(c.dc(), -100000000, -100000000, 100000000, 100000000, 5000000, 5000000);
  // Beyond what the GDI takes: refused without drawing.
  c.Clear(kWhite);
  MoveToEx(c.dc(), INT_MIN, INT_MIN, nullptr);
  EXPECT_FALSE(LineTo(c.dc(), INT_MAX, INT_MAX));
  EXPECT_FALSE(Ellipse(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
  EXPECT_FALSE(StretchBlt(c.dc(), 0, 0, INT_MAX, INT_MAX, c.dc(), 0, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(c.Count(kWhite), 64 * 48);
  ASSERT_TRUE(StretchBlt(c.dc(), -50000000, -50000000, 100000000, 100000000, c.dc(), 0, 0, 64, 48, SRCCOPY));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

namespace {

using namespace gditest;

TEST_F(Gdi, DashedOutlinesOfFiguresHaveGapsInTheBackground) {
  Canvas c(60, 60);
  c.Pen(PS_DOT, 1, kBlue);
  c.Brush(BS_NULL, 0);
  SetBkColor(c.dc(), kGreen);
  Rectangle(c.dc(), 10, 10, 40, 40);
  const int outline = 4 * 29;
  EXPECT_EQ(c.Count(kBlue) + c.Count(kGreen), outline);
  EXPECT_NEAR(c.Count(kBlue), outline / 2, 6);
  // No run of one colour along the top edge is longer than the dots.
  const std::string top = c.Row(10, kBlue, 14, 35);
  EXPECT_EQ(top.find("####"), std::string::npos) << top;
  EXPECT_EQ(top.find("...."), std::string::npos) << top;
}

LRESULT Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST_F(Gdi, FiguresDrawOntoAWindowsSurface) {
  WNDCLASSA wc;
  wc.lpfnWndProc = Plain;
  wc.hbrBackground = GetStockObject(WHITE_BRUSH);
  wc.lpszClassName = "GDIDRAW";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "GDIDRAW", "g", WS_OVERLAPPED, 0, 0, 200, 150, 0, 0, 0, nullptr);
  ASSERT_NE(w, 0);
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(Ellipse(dc, 10, 10, 50, 50));
  ASSERT_TRUE(Rectangle(dc, 60, 10, 70, 20));
  MoveToEx(dc, 0, 100, nullptr);
  ASSERT_TRUE(LineTo(dc, 5000, 100));
  const QImage img = win::ContextImage(dc);
  EXPECT_EQ(img.pixel(30, 30) & 0xFFFFFF, 0u);
  EXPECT_EQ(img.pixel(65, 15) & 0xFFFFFF, 0u);
  EXPECT_EQ(img.pixel(img.width() - 1, 100) & 0xFFFFFF, 0u);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  DestroyWindow(w);
}

}  // namespace
