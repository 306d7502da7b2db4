// The text window for real on Qt's offscreen platform: the cell grid after
// output, wrapping and scrolling, colours in the pixels, the shadow bitmap.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cstdio>

#include "app.h"
#include "qt_app.h"
#include "batch.h"
#include "builtins.h"
#include "mainloop.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

class TextWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    win::SetBatchMode(true);
    RegisterBuiltins();
    MW() = MainWindowState{};
    BindInterp(&in);
    RegisterWindowClasses();
  }
  void TearDown() override {
    TeardownWindow(in);
    win::ResetWindowSystem();
    win::SetBatchMode(false);
  }

  // Runs program lines; output also goes to standard output, which the
  // tests capture so it does not clutter the report.
  std::string Run(std::vector<std::string> program) {
    in.lines.slots = {""};
    for (auto& l : program) in.lines.slots.push_back(l);
    in.lastLine = in.lines.count();
    in.cur = 0;
    in.scan.Attach(&in.lines);
    in.ForgetPrepared();
    testing::internal::CaptureStdout();
    RunMainLoop(in);
    return testing::internal::GetCapturedStdout();
  }

  char Cell(int col, int row) {
    const MainWindowState& m = MW();
    int ring = (row + m.firstLine) % m.rows;
    return m.chars[static_cast<size_t>(ring * m.cols + col)];
  }
  std::string Row(int row, int n) {
    std::string s;
    for (int c = 0; c < n; ++c) s += Cell(c, row);
    return s;
  }
  QColor Pixel(int x, int y) { return QColor(win::WindowImage(MW().hwnd).pixel(x, y)); }
  // Any pixel of the cell in this colour?
  bool CellHas(int col, int row, QColor c) {
    QImage img = win::WindowImage(MW().hwnd);
    const MainWindowState& m = MW();
    for (int y = row * m.lineH; y < (row + 1) * m.lineH; ++y)
      for (int x = col * m.cellW; x < (col + 1) * m.cellW; ++x)
        if (QColor(img.pixel(x, y)) == c) return true;
    return false;
  }

  Interp in;
};

TEST_F(TextWindow, OutputFillsCellsAndMovesTheCursor) {
  // \a is a backspace: it erases the x in the window; standard output
  // shows what was written
  EXPECT_EQ(Run({"PRINT \"AB\"", "PRINT \"C\";", "PRINT \"\\.x\\a\""}), "AB\nC\\x\n");
  EXPECT_EQ(Row(0, 3), "AB ");
  EXPECT_EQ(Row(1, 4), "C\\  ") << "the backspace of \\a erased the x";
  EXPECT_EQ(MW().curRow, 2);
  EXPECT_EQ(MW().curCol, 0);
  // cells: 8 pixels wide, 14 high (the tallest fixed font, 16, less 2)
  EXPECT_EQ(MW().cellW, 8);
  EXPECT_EQ(MW().lineH, 14);
}

TEST_F(TextWindow, LongLinesWrapAndTheLastRowScrolls) {
  std::string line81(81, 'w');
  line81[80] = 'X';
  Run({"PRINT \"" + line81 + "\""});
  EXPECT_EQ(Cell(79, 0), 'w');
  EXPECT_EQ(Cell(0, 1), 'X');
  EXPECT_EQ(MW().curRow, 2);

  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) many.push_back("PRINT \"Zeile " + std::to_string(i) + "\"");
  Run(many);
  // 2 rows used before; the line end after the 30th line scrolls first,
  // so 11 rows scrolled out of the 32
  EXPECT_EQ(Row(0, 8), "Zeile 9 ");
  EXPECT_EQ(Row(30, 8), "Zeile 39");
  EXPECT_EQ(Row(31, 8), "        ") << "the new last row is empty";
  EXPECT_EQ(MW().curRow, 31);
  // the window shows the scrolled text: row 0 holds dark glyph pixels
  EXPECT_TRUE(CellHas(0, 0, Qt::black));
  EXPECT_FALSE(CellHas(0, 31, Qt::black));
}

TEST_F(TextWindow, TheCursorStaysInsideTheGridAtTheLastCell) {
  Run({"LOCATE 999,999", "PRINT \"AB\";"});
  // A fills the last cell; B goes to a new last row scrolled in for it
  EXPECT_EQ(Cell(79, 30), 'A');
  EXPECT_EQ(Cell(0, 31), 'B');
  Run({"LOCATE 0,0", "PRINT \"Q\";"});
  EXPECT_EQ(Cell(0, 0), 'Q');
}

TEST_F(TextWindow, ColoursReachThePixelsAndTheShadow) {
  Run({"COLOR 14, 1", "PRINT \"XXXX\""});
  QColor blue(0, 0, 0x88);  // palette entry 1 is 0x880000 in COLORREF order
  QColor yellow(0xFF, 0xFF, 0);
  EXPECT_EQ(Pixel(0, 0), blue);
  EXPECT_TRUE(CellHas(1, 0, yellow));
  EXPECT_EQ(Pixel(40, 0), QColor(Qt::white)) << "beyond the text the window stays white";
  // The shadow bitmap holds the same pixels, so a repaint restores them.
  QImage shadow = win::ContextImage(MW().memDc);
  EXPECT_EQ(QColor(shadow.pixel(0, 0)), blue);
  Run({"FONT 7", "COLOR 0, 15"});
  EXPECT_EQ(MW().font, 2) << "FONT 7 changes nothing";
}

TEST_F(TextWindow, RepaintComesFromTheShadowBitmap) {
  Run({"PRINT \"A\""});
  // Draw into the shadow only, then have the window repaint itself.
  HGDIOBJ red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(MW().memDc, red);
  PatBlt(MW().memDc, 100, 100, 10, 10, PATCOPY);
  SelectObject(MW().memDc, old);
  DeleteObject(red);
  EXPECT_EQ(Pixel(105, 105), QColor(Qt::white));
  Run({"REPAINT"});
  PumpMessages(in);
  EXPECT_EQ(Pixel(105, 105), QColor(255, 0, 0));
}

TEST_F(TextWindow, TboxDrawsButStoresNothingAndPlacesTheCursorInside) {
  Run({"TBOX 2,3 - 5,10; 1"});
  EXPECT_EQ(MW().curRow, 2);
  EXPECT_EQ(MW().curCol, 3);
  EXPECT_EQ(Row(1, 12), std::string(12, ' ')) << "the box is not in the cell buffers";
  EXPECT_TRUE(CellHas(2, 1, Qt::black)) << "top left corner";
  EXPECT_TRUE(CellHas(5, 1, Qt::black)) << "top line";
  EXPECT_TRUE(CellHas(2, 3, Qt::black)) << "left line";
  EXPECT_FALSE(CellHas(5, 3, Qt::black)) << "inside is blank";
}

TEST_F(TextWindow, TboxLinesHaveNoGaps) {
  // Box from cell (2,1) to (11,5): between the corners' middles (x 20 to
  // 90, y 22 to 76) single lines are one unbroken row along the top and
  // the bottom and one unbroken column down each side; double lines two.
  struct Style {
    int style, rows, cols;
  };
  for (Style s : {Style{0, 1, 1}, Style{1, 2, 2}, Style{2, 2, 1}}) {
    Run({"CLS", "TBOX 2,3 - 6,12; " + std::to_string(s.style)});
    QImage img = win::WindowImage(MW().hwnd);
    auto black = [&](int x, int y) { return QColor(img.pixel(x, y)) == QColor(Qt::black); };
    int top = 0, bottom = 0, left = 0, right = 0;
    for (int y = 14; y < 28; ++y) {
      bool t = true, b = true;
      for (int x = 20; x <= 90; ++x) t = t && black(x, y), b = b && black(x, y + 56);
      top += t, bottom += b;
    }
    for (int x = 16; x < 24; ++x) {
      bool l = true, r = true;
      for (int y = 22; y <= 76; ++y) l = l && black(x, y), r = r && black(x + 72, y);
      left += l, right += r;
    }
    EXPECT_EQ(top, s.rows) << "style " << s.style;
    EXPECT_EQ(bottom, s.rows) << "style " << s.style;
    EXPECT_EQ(left, s.cols) << "style " << s.style;
    EXPECT_EQ(right, s.cols) << "style " << s.style;
  }
}

TEST_F(TextWindow, WindowSetsTheGridFromItsSize) {
  Run({"WINDOW 0,0 - 320,150", "PRINT \"x\""});
  EXPECT_EQ(MW().cols, 40);
  EXPECT_EQ(MW().rows, 10);
  RECT r;
  GetClientRect(MW().hwnd, &r);
  EXPECT_EQ(r.right, 320);
  EXPECT_EQ(r.bottom, 150);
}

}  // namespace
}  // namespace tilmor

namespace tilmor {
namespace {

TEST_F(TextWindow, ScrollMessagesMoveTheScrollBarAndCountAsInput) {
  Run({"PRINT \"x\""});
  HWND bar = CreateWindowExA(0, "DIALOG", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 16, MW().hwnd, 5, 0, nullptr);
  ASSERT_NE(bar, 0);
  SetScrollRange(bar, SB_CTL, 0, 5, FALSE);
  auto send = [&](int code, int thumb = 0) {
    SendMessageA(MW().hwnd, WM_HSCROLL, MAKEWPARAM(code, thumb), static_cast<LPARAM>(bar));
    return GetScrollPos(bar, SB_CTL);
  };
  EXPECT_EQ(send(SB_PAGEDOWN), 1) << "a range of 0..5 pages by one";
  EXPECT_EQ(send(SB_LINEDOWN), 2);
  EXPECT_EQ(send(SB_BOTTOM), 5);
  EXPECT_EQ(send(SB_LINEDOWN), 5) << "never past the end";
  EXPECT_EQ(send(SB_THUMBTRACK, 3), 3);
  EXPECT_EQ(send(SB_TOP), 0);
  EXPECT_EQ(send(SB_LINEUP), 0);
  SetScrollRange(bar, SB_CTL, 0, 100, FALSE);
  EXPECT_EQ(send(SB_PAGEDOWN), 10) << "a range of 0..100 pages by ten";
  EXPECT_EQ(send(SB_ENDSCROLL), 10);
  EXPECT_EQ(in.events.lastChar, 255) << "every scroll message records character 255";
}

}  // namespace
}  // namespace tilmor

namespace tilmor {
namespace {

// Scrolling moves the pixels of the window and of the shadow bitmap: after
// it, both show what printing the last rows into a fresh window shows.
class Scrolling : public TextWindow {
 protected:
  struct Picture {
    QImage window, shadow;
  };
  // Runs a program in a fresh main window.
  Picture Draw(const std::vector<std::string>& program) {
    TearDown();
    SetUp();
    Run(program);
    return {win::WindowImage(MW().hwnd), win::ContextImage(MW().memDc)};
  }
  static std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
  // Line i in three colours (descenders and backgrounds reach into the
  // row below), the line end in the default colours.
  static void Line(std::vector<std::string>& p, int i) {
    char num[8];
    std::snprintf(num, sizeof num, "%03d", i);
    p.push_back("COLOR 14, 1");
    p.push_back("PRINT " + Quoted(num) + ";");
    p.push_back("COLOR 2, 15");
    p.push_back("PRINT \" gyp|Q\";");
    p.push_back("COLOR 0, 15");
    p.push_back("PRINT \" Zeile_jg\"");
  }
  // A short last line; a direct run first blanks its row, as scrolling it
  // in does, which covers the descenders of the row above.
  static void PartialLast(std::vector<std::string>& p, bool direct, int cols = 80) {
    if (direct) {
      p.push_back("PRINT " + Quoted(std::string(cols, ' ')) + ";");
      p.push_back("LOCATE 999,1");
    }
    p.push_back("COLOR 12, 3");
    p.push_back("PRINT \"Ende gy\";");
  }
  static int Count(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += QColor(img.pixel(x, y)) == c;
    return n;
  }
};

TEST_F(Scrolling, ThePictureIsTheOneOfTheLastRowsPrintedDirectly) {
  std::vector<std::string> scrolled, direct;
  for (int i = 0; i < 77; ++i) Line(scrolled, i);
  PartialLast(scrolled, false);
  for (int i = 46; i < 77; ++i) Line(direct, i);
  PartialLast(direct, true);

  Picture a = Draw(scrolled);
  EXPECT_EQ(Row(0, 4), "046 ");
  EXPECT_EQ(Row(31, 8), "Ende gy ");
  Picture b = Draw(direct);
  EXPECT_EQ(Row(0, 4), "046 ");
  EXPECT_EQ(MW().curRow, 31) << "the direct run did not scroll";

  ASSERT_EQ(a.window.size(), b.window.size());
  EXPECT_TRUE(a.window == b.window) << "window pixels differ";
  EXPECT_TRUE(a.shadow == b.shadow) << "shadow pixels differ";
  // and the pictures hold the coloured text of every row
  EXPECT_GT(Count(a.window, QColor(0, 0, 0x88)), 31 * 3 * 8 * 10) << "blue backgrounds of the numbers";
  EXPECT_GT(Count(a.window, QColor(0x88, 0, 0x88)), 7 * 8 * 10) << "purple background of the last row";
  EXPECT_TRUE(a.window == a.shadow.copy(QRect(QPoint(0, 0), a.window.size())))
      << "the window shows the shadow's pixels";
}

TEST_F(Scrolling, ANewRowTakesTheColoursInForceAtTheLineEnd) {
  // Scrolled in blue, every row is blue to its end; printed directly, the
  // same rows are padded with blue blanks.
  std::vector<std::string> scrolled = {"COLOR 15, 1"}, direct = {"COLOR 15, 1"};
  auto text = [](int i) { return "Zeile " + std::to_string(i) + " gy"; };
  for (int i = 0; i < 80; ++i) scrolled.push_back("PRINT " + Quoted(text(i)));
  scrolled.push_back("PRINT \"Ende\";");
  for (int r = 0; r < 32; ++r) {
    std::string s = r < 31 ? text(49 + r) : "Ende";
    s.resize(80, ' ');
    direct.push_back("LOCATE " + std::to_string(r + 1) + ",1");
    direct.push_back("PRINT " + Quoted(s) + ";");
  }
  Picture a = Draw(scrolled);
  EXPECT_EQ(Row(0, 9), "Zeile 49 ");
  Picture b = Draw(direct);
  EXPECT_TRUE(a.window == b.window) << "window pixels differ";
  EXPECT_TRUE(a.shadow == b.shadow) << "shadow pixels differ";
  EXPECT_EQ(QColor(a.window.pixel(639, 13 * 14)), QColor(0, 0, 0x88)) << "the end of a scrolled-in row";
}

TEST_F(Scrolling, WithoutAutoPaintTheWindowScrollsTooAndIsToldToRepaint) {
  // The window's first paint (which erases it) happens before the lines.
  std::vector<std::string> lines;
  for (int i = 0; i < 40; ++i) Line(lines, i);
  auto draw = [&](const char* mode) {
    Draw({mode, "PRINT"});
    PumpMessages(in);
    in.events.paint = false;
    Run(lines);
    return Picture{win::WindowImage(MW().hwnd), win::ContextImage(MW().memDc)};
  };
  Picture a = draw("SETAUTOPAINT 0");
  EXPECT_TRUE(in.events.paint) << "a scroll asks the program to repaint";
  Picture b = draw("SETAUTOPAINT 2");
  EXPECT_FALSE(in.events.paint);
  EXPECT_TRUE(a.window == b.window);
  EXPECT_TRUE(a.shadow == b.shadow);
}

TEST_F(Scrolling, GraphicsBetweenLinesMoveWithTheText) {
  // A red square drawn right of the text, then ten more lines: the square
  // is 10 lines higher, as if drawn there after the text.
  auto square = [](int y) {
    HGDIOBJ red = CreateSolidBrush(RGB(255, 0, 0));
    for (HDC dc : {MW().dc, MW().memDc}) {
      HGDIOBJ old = SelectObject(dc, red);
      PatBlt(dc, 600, y, 20, 20, PATCOPY);
      SelectObject(dc, old);
    }
    DeleteObject(red);
  };
  std::vector<std::string> first, second, direct;
  for (int i = 0; i < 40; ++i) Line(first, i);
  for (int i = 40; i < 50; ++i) Line(second, i);
  for (int i = 18; i < 50; ++i) Line(direct, i);
  Draw(first);
  square(300);
  Run(second);
  Picture a{win::WindowImage(MW().hwnd), win::ContextImage(MW().memDc)};
  EXPECT_EQ(QColor(a.window.pixel(610, 300 - 10 * 14)), QColor(255, 0, 0));
  Picture b = Draw(direct);
  square(300 - 10 * 14);
  b = {win::WindowImage(MW().hwnd), win::ContextImage(MW().memDc)};
  EXPECT_TRUE(a.window == b.window);
  EXPECT_TRUE(a.shadow == b.shadow);
}

TEST_F(Scrolling, ASmallWindowScrollsItsOwnGrid) {
  std::vector<std::string> scrolled = {"WINDOW 0,0 - 200,100"}, direct = {"WINDOW 0,0 - 200,100"};
  for (int i = 0; i < 30; ++i) Line(scrolled, i);
  PartialLast(scrolled, false);
  for (int i = 24; i < 30; ++i) Line(direct, i);
  PartialLast(direct, true, 25);
  Picture a = Draw(scrolled);
  EXPECT_EQ(MW().rows, 6);
  EXPECT_EQ(MW().cols, 25);
  Picture b = Draw(direct);
  EXPECT_TRUE(a.window == b.window) << "window pixels differ";
  EXPECT_TRUE(a.shadow == b.shadow) << "shadow pixels differ";
}

}  // namespace
}  // namespace tilmor
