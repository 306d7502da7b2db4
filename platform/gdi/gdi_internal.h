// What the drawing primitives need of contexts and objects kept by gdi.cpp.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "wingdi.h"

namespace win::detail {

struct PenInfo {
  bool null = false;
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct BrushInfo {
  bool null = false;
  int hatch = -1;  // -1 solid, else HS_*
  COLORREF color = 0;
};

struct DcColors {
  COLORREF text = 0, bk = 0xFFFFFF;
  int bkMode = OPAQUE;
  int stretch = BLACKONWHITE;
};

// The image a context draws into, with pending scrolls applied; null when
// the context or its window is gone.
QImage* DrawSurface(HDC hdc);
// Tells a window that an area of its surface was drawn.
void DrawChanged(HDC hdc, const QRect& area);
bool CurrentPen(HDC hdc, PenInfo* out);
bool CurrentBrush(HDC hdc, BrushInfo* out);
bool ContextColors(HDC hdc, DcColors* out);
// The context's current position (MoveToEx/LineTo); null without context.
POINT* CurrentPosition(HDC hdc);
HGDIOBJ NewBrush(const BrushInfo& brush);
// Sets what a font made by FontObject draws beyond its Qt font.
void SetFontExtras(HGDIOBJ font, int escapement, bool oem, int charSet);

// The mapping mode of a context: logical units to device pixels. Only the
// extents are kept; the origins stay at 0, 0.
struct Mapping {
  int mode = MM_TEXT;
  SIZE window{1, 1}, viewport{1, 1};
  static int Scale(long long v, long ext, long base) {
    const double d = std::round(static_cast<double>(v) * ext / base);
    return static_cast<int>(std::clamp(d, double{INT_MIN / 2}, double{INT_MAX / 2}));
  }
  int X(long long x) const { return Scale(x, viewport.cx, window.cx); }
  int Y(long long y) const { return Scale(y, viewport.cy, window.cy); }
};
// The mapping of a context that scales, or null (MM_TEXT, or no context):
// the drawing functions call it first and stay in device units on null.
const Mapping* ScaledMapping(HDC hdc);
inline void ToDevice(const Mapping* m, int& x, int& y) {
  if (m) x = m->X(x), y = m->Y(y);
}
// A box given by two corners or by a corner and a size, in device units.
inline void BoxToDevice(const Mapping* m, int& x, int& y, int& w, int& h) {
  if (!m) return;
  const int x2 = m->X(static_cast<long long>(x) + w), y2 = m->Y(static_cast<long long>(y) + h);
  x = m->X(x), y = m->Y(y);
  w = x2 - x, h = y2 - y;
}
// Device units for the calls made in its scope: the blits of pictures
// already scaled to the device.
class DeviceUnits {
 public:
  explicit DeviceUnits(HDC hdc);
  ~DeviceUnits();
  DeviceUnits(const DeviceUnits&) = delete;
  DeviceUnits& operator=(const DeviceUnits&) = delete;

 private:
  HDC hdc_;
  int mode_ = MM_TEXT;
};

// A printer behind a printer context (printer.cpp): each page is drawn
// into an image and handed to the printer when it ends.
class Printer;
std::shared_ptr<Printer> OpenPrinter(const char* driver, const char* device, const char* port);
// The page being drawn; null outside StartPage/EndPage.
QImage* PrinterPage(Printer& printer);
int PrinterDpi(const Printer& printer);
// The size of a page in device pixels.
QSize PrinterPageSize(const Printer& printer);
// The printer of a printer context, or null.
Printer* PrinterOf(HDC hdc);

// Fills a rectangle (clipped to the image) with a brush: solid, or its
// hatch aligned to the context origin over the background when opaque.
void FillWithBrush(QImage& img, const QRect& r, const BrushInfo& brush, const DcColors& colors);

}  // namespace win::detail
