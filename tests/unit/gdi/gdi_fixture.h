// A white memory context with its own bitmap for the drawing tests, and
// ways to read its pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../qt_app.h"
#include "wingdi.h"

namespace gditest {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), dc_(CreateCompatibleDC(0)), bmp_(CreateCompatibleBitmap(0, w, h)) {
    old_ = SelectObject(dc_, bmp_);
    Clear(kWhite);
  }
  ~Canvas() {
    Use(GetStockObject(BLACK_PEN));
    Use(GetStockObject(WHITE_BRUSH));
    Use(GetStockObject(SYSTEM_FONT));
    for (HGDIOBJ o : made_) DeleteObject(o);
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  HDC dc() const { return dc_; }
  int w() const { return w_; }
  int h() const { return h_; }
  void Clear(COLORREF c) {
    HGDIOBJ b = CreateSolidBrush(c);
    RECT r{0, 0, w_, h_};
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }
  // Selects an object made by the test; deleted with the canvas.
  HGDIOBJ Select(HGDIOBJ o) {
    made_.push_back(o);
    return SelectObject(dc_, o);
  }
  void Use(HGDIOBJ stock) { SelectObject(dc_, stock); }
  void Pen(int style, int width, COLORREF c) { Select(CreatePen(style, width, c)); }
  void Brush(UINT style, COLORREF c, int hatch = 0) {
    LOGBRUSH lb{style, c, hatch};
    Select(CreateBrushIndirect(&lb));
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int Count(COLORREF c, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
    if (x1 < 0) x1 = w_ - 1;
    if (y1 < 0) y1 = h_ - 1;
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += At(x, y) == c;
    return n;
  }
  // One row as characters: '#' for c, '.' for anything else.
  std::string Row(int y, COLORREF c, int x0, int x1) const {
    std::string s;
    for (int x = x0; x <= x1; ++x) s += At(x, y) == c ? '#' : '.';
    return s;
  }
  std::string Column(int x, COLORREF c, int y0, int y1) const {
    std::string s;
    for (int y = y0; y <= y1; ++y) s += At(x, y) == c ? '#' : '.';
    return s;
  }

 private:
  int w_, h_;
  HDC dc_;
  HGDIOBJ bmp_, old_;
  std::vector<HGDIOBJ> made_;
};

class Gdi : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    live_ = win::LiveGdiObjects();
  }
  void TearDown() override { EXPECT_EQ(win::LiveGdiObjects(), live_) << "objects leaked"; }
  int live_ = 0;
};

}  // namespace gditest
