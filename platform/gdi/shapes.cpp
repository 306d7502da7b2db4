// Lines, rectangles, ellipses, arcs, flood fill and stretched copies drawn
// pixel by pixel with the GDI's rules, clipped to the context's image.
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "gdi/gdi_internal.h"
#include "wingdi.h"

using namespace win::detail;

namespace {

using i64 = long long;
using i128 = __int128;

// Coordinates beyond 27 bits are refused, as the GDI does, so that the
// arithmetic below cannot overflow.
constexpr i64 kLimit = 1LL << 27;
bool InRange(std::initializer_list<i64> v) {
  for (i64 x : v)
    if (x < -kLimit || x > kLimit) return false;
  return true;
}

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

void Put(QImage& img, int x, int y, QRgb v) {
  if (x >= 0 && y >= 0 && x < img.width() && y < img.height())
    reinterpret_cast<QRgb*>(img.scanLine(y))[x] = v;
}

bool HatchBit(int hatch, int x, int y) {
  const int px = x & 7, py = y & 7;
  switch (hatch) {
    case HS_HORIZONTAL: return py == 7;
    case HS_VERTICAL: return px == 4;
    case HS_FDIAGONAL: return px == py;
    case HS_BDIAGONAL: return px == 7 - py;
    case HS_CROSS: return px == 4 || py == 7;
    case HS_DIAGCROSS: return px == py || px == 7 - py;
    default: return true;
  }
}

// Brush pixel at x, y; nothing when the brush leaves it as it is.
std::optional<QRgb> BrushPixel(const BrushInfo& b, const DcColors& c, int x, int y) {
  if (b.null) return std::nullopt;
  if (b.hatch < 0 || HatchBit(b.hatch, x, y)) return Rgb(b.color);
  if (c.bkMode == OPAQUE) return Rgb(c.bk);
  return std::nullopt;
}

void BrushSpan(QImage& img, int y, int x0, int x1, const BrushInfo& b, const DcColors& c) {
  if (b.null || y < 0 || y >= img.height()) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, img.width() - 1);
  QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
  for (int x = x0; x <= x1; ++x)
    if (auto v = BrushPixel(b, c, x, y)) line[x] = *v;
}

// Cosmetic dash patterns in pixels, on and off alternately.
std::vector<int> DashPattern(const PenInfo& pen) {
  if (pen.width > 1) return {};  // wide pens are solid
  switch (pen.style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

// Draws the n-th pixel of a pen's path: on, or a gap in the background.
class PenPainter {
 public:
  PenPainter(QImage& img, const PenInfo& pen, const DcColors& c)
      : img_(img), pen_(pen), dash_(DashPattern(pen)), color_(Rgb(pen.color)), bk_(Rgb(c.bk)),
        opaque_(c.bkMode == OPAQUE) {
    for (int d : dash_) period_ += d;
  }
  void Pixel(int x, int y, i64 index) {
    if (dash_.empty()) {
      if (pen_.width <= 1) {
        Put(img_, x, y, color_);
      } else {
        Dot(x, y);
      }
      return;
    }
    i64 pos = ((index % period_) + period_) % period_;
    for (size_t i = 0; i < dash_.size(); ++i) {
      if (pos < dash_[i]) {
        if (i % 2 == 0)
          Put(img_, x, y, color_);
        else if (opaque_)
          Put(img_, x, y, bk_);
        return;
      }
      pos -= dash_[i];
    }
  }
  // A round dot of the pen's width centred on x, y.
  void Dot(int x, int y) {
    const int w = pen_.width, lo = -(w - 1) / 2, hi = w / 2;
    const double c = (lo + hi) / 2.0, r2 = (w / 2.0) * (w / 2.0);
    for (int dy = lo; dy <= hi; ++dy)
      for (int dx = lo; dx <= hi; ++dx)
        if ((dx - c) * (dx - c) + (dy - c) * (dy - c) <= r2 + 0.01) Put(img_, x + dx, y + dy, color_);
  }
  int width() const { return pen_.width; }

 private:
  QImage& img_;
  PenInfo pen_;
  std::vector<int> dash_;
  int period_ = 0;
  QRgb color_, bk_;
  bool opaque_;
};

// The pixels of a line from a to b, the end point excluded unless asked
// for; only the steps that can reach the image are walked.
void WalkLine(const QImage& img, i64 x0, i64 y0, i64 x1, i64 y1, bool last, int margin,
              const std::function<void(int, int, i64)>& put) {
  const i64 dx = x1 - x0, dy = y1 - y0;
  const i64 adx = std::llabs(dx), ady = std::llabs(dy);
  const bool xMajor = adx >= ady;
  const i64 n = xMajor ? adx : ady;  // steps; pixel n is the end point
  const i64 count = last ? n + 1 : n;
  if (count <= 0) return;
  const i64 sMajor = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1);
  const i64 sMinor = xMajor ? (dy < 0 ? -1 : 1) : (dx < 0 ? -1 : 1);
  const i64 minorLen = xMajor ? ady : adx;
  const i64 major0 = xMajor ? x0 : y0;
  const i64 lo = -margin, hi = (xMajor ? img.width() : img.height()) - 1 + margin;
  // Steps whose major coordinate lies within [lo, hi].
  i64 a = sMajor > 0 ? lo - major0 : major0 - hi;
  i64 b = sMajor > 0 ? hi - major0 : major0 - lo;
  a = std::max<i64>(a, 0);
  b = std::min<i64>(b, count - 1);
  for (i64 i = a; i <= b; ++i) {
    // Rounded minor offset, symmetric about the midpoint.
    i64 m = n == 0 ? 0 : static_cast<i64>((static_cast<i128>(2) * i * minorLen + n) / (2 * n));
    i64 maj = major0 + sMajor * i;
    i64 min = (xMajor ? y0 : x0) + sMinor * m;
    i64 x = xMajor ? maj : min, y = xMajor ? min : maj;
    if (x < -margin || y < -margin || x >= img.width() + margin || y >= img.height() + margin) continue;
    put(static_cast<int>(x), static_cast<int>(y), i);
  }
}

void PenLine(QImage& img, PenPainter& pen, i64 x0, i64 y0, i64 x1, i64 y1, bool last) {
  const int margin = pen.width();
  WalkLine(img, x0, y0, x1, y1, last, margin, [&](int x, int y, i64 i) { pen.Pixel(x, y, i); });
}

// A shape given by its pixel row spans: pixel centres strictly inside an
// ellipse (or rounded rectangle, or rectangle) that touches the edges of
// the box [l, r) x [t, b).
struct Box {
  i64 l, t, r, b;
  bool Empty() const { return r <= l || b <= t; }
  Box Shrunk(i64 n) const { return Box{l + n, t + n, r - n, b - n}; }
};

enum class Form { Rect, Ellipse, Round };

struct Shape {
  Form form;
  Box box;
  i64 cw = 0, ch = 0;  // corner ellipse of a rounded rectangle

  // Half the span of an ellipse of size w x h in its row `row` (0-based),
  // as the offset of its first pixel from the box's left edge; -1 if empty.
  static i64 EllipseInset(i64 w, i64 h, i64 row) {
    if (w <= 0 || h <= 0 || row < 0 || row >= h) return -1;
    // Doubled coordinates about the centre: dx2 = 2x + 1 - w for x in [0, w).
    const i128 dy2 = 2 * row + 1 - h;
    const i128 W = w, H = h;
    const i128 lim = W * W * (H * H - dy2 * dy2);  // dx2^2 * H^2 < lim
    if (lim <= 0) return -1;
    double guess = std::sqrt(static_cast<double>(lim)) / static_cast<double>(h);
    i64 dx2 = static_cast<i64>(guess) + 2;
    if ((dx2 - (w - 1)) % 2 != 0) ++dx2;  // parity of 2x + 1 - w
    while (dx2 >= 0 && static_cast<i128>(dx2) * dx2 * H * H >= lim) dx2 -= 2;
    if (dx2 < 0) return -1;
    return (w - 1 - dx2) / 2;
  }

  // Span of row y: first and last pixel; false when the row is empty.
  bool Span(i64 y, i64* x0, i64* x1) const {
    if (box.Empty() || y < box.t || y >= box.b) return false;
    i64 inset = 0;
    const i64 w = box.r - box.l, h = box.b - box.t, row = y - box.t;
    switch (form) {
      case Form::Rect: break;
      case Form::Ellipse:
        inset = EllipseInset(w, h, row);
        if (inset < 0) return false;
        break;
      case Form::Round: {
        const i64 ew = std::min(cw, w), eh = std::min(ch, h);
        const i64 half = eh / 2;
        i64 r = row < half ? row : (h - 1 - row < half ? eh - 1 - (h - 1 - row) : -1);
        if (r >= 0) {
          inset = EllipseInset(ew, eh, r);
          if (inset < 0) return false;
        }
        break;
      }
    }
    *x0 = box.l + inset;
    *x1 = box.r - 1 - inset;
    return *x0 <= *x1;
  }
};

constexpr double kPi = 3.14159265358979323846;

// The angle range of an arc, counter-clockwise from the start radial.
struct Sweep {
  bool full = true;
  double cx = 0, cy = 0, start = 0, span = 0;

  static double Angle(double x, double y, double cx, double cy) {
    return std::atan2(-(y - cy), x - cx);  // y grows downwards
  }
  bool Contains(double x, double y) const {
    if (full) return true;
    if (x == cx && y == cy) return true;
    double d = std::fmod(Angle(x, y, cx, cy) - start, 2 * kPi);
    if (d < 0) d += 2 * kPi;
    return d <= span + 1e-9;
  }
};

struct Figure {
  Shape outer;        // what the pen and brush cover
  std::optional<Shape> inner;  // wide pens: what the pen leaves to the brush
};

// The spans of a row and of the rows above and below it, for telling the
// pixels of a one-pixel outline: in the shape with a 4-neighbour out.
struct RowSpans {
  i64 x0, x1;
  bool hasAbove, hasBelow;
  i64 a0 = 0, a1 = -1, b0 = 0, b1 = -1;
  RowSpans(const Shape& s, i64 y, i64 rowX0, i64 rowX1) : x0(rowX0), x1(rowX1) {
    hasAbove = s.Span(y - 1, &a0, &a1);
    hasBelow = s.Span(y + 1, &b0, &b1);
  }
  bool OnOutline(i64 x) const {
    return x == x0 || x == x1 || !hasAbove || x < a0 || x > a1 || !hasBelow || x < b0 || x > b1;
  }
};

enum class Closure { None, Pie, Chord };

// Draws a closed figure: the brush inside, the pen on its outline; an arc
// sweep limits both (pie and chord) or only the pen (arc).
void DrawFigure(HDC hdc, Form form, Box box, i64 cw, i64 ch, bool fill, const Sweep* sweep, Closure closure,
                POINT ps = {}, POINT pe = {}) {
  QImage* img = DrawSurface(hdc);
  PenInfo pen;
  BrushInfo brush;
  DcColors colors;
  if (!img || !CurrentPen(hdc, &pen) || !CurrentBrush(hdc, &brush) || !ContextColors(hdc, &colors)) return;
  if (box.r < box.l) std::swap(box.l, box.r);
  if (box.b < box.t) std::swap(box.t, box.b);
  const int w = pen.null ? 0 : pen.width;
  Shape outer{form, box, cw, ch};
  Shape inner = outer;
  if (pen.null) {
    // Without a pen the figure is a pixel smaller to the right and below.
    outer.box.r -= 1, outer.box.b -= 1;
    inner = outer;
  } else if (w > 1) {
    if (pen.style != PS_INSIDEFRAME) outer.box = Box{box.l - (w - 1) / 2, box.t - (w - 1) / 2, box.r + w / 2, box.b + w / 2};
    inner.box = outer.box.Shrunk(w);
    inner.cw = std::max<i64>(0, cw - 2 * w), inner.ch = std::max<i64>(0, ch - 2 * w);
  }
  // Chord side: the side of the line start-end where the arc's middle is.
  double sx = ps.x, sy = ps.y, ex = pe.x, ey = pe.y, side = 0;
  if (closure == Closure::Chord && sweep && !sweep->full) {
    const double mid = sweep->start + sweep->span / 2;
    const double rx = (box.r - box.l) / 2.0, ry = (box.b - box.t) / 2.0;
    const double mx = sweep->cx + rx * std::cos(mid), my = sweep->cy - ry * std::sin(mid);
    side = (ex - sx) * (my - sy) - (ey - sy) * (mx - sx);
  }
  auto inFill = [&](i64 x, i64 y) {
    if (!sweep || sweep->full) return true;
    if (closure == Closure::Pie) return sweep->Contains(x, y);
    if (closure == Closure::Chord) {
      double c = (ex - sx) * (y - sy) - (ey - sy) * (x - sx);
      return c == 0 || (c > 0) == (side > 0);
    }
    return false;
  };
  PenPainter painter(*img, pen, colors);
  const i64 y0 = std::max<i64>(outer.box.t, 0), y1 = std::min<i64>(outer.box.b - 1, img->height() - 1);
  std::vector<std::pair<double, QPoint>> styled;  // outline pixels of a dashed pen, by angle
  const bool dashed = !pen.null && !DashPattern(pen).empty();
  const double ccx = (box.l + box.r - 1) / 2.0, ccy = (box.t + box.b - 1) / 2.0;
  for (i64 y = y0; y <= y1; ++y) {
    i64 x0, x1;
    if (!outer.Span(y, &x0, &x1)) continue;
    i64 i0 = 1, i1 = 0;
    const bool hasInner = w > 1 && inner.Span(y, &i0, &i1);
    const i64 cx0 = std::max<i64>(x0, 0), cx1 = std::min<i64>(x1, img->width() - 1);
    QRgb* line = reinterpret_cast<QRgb*>(img->scanLine(static_cast<int>(y)));
    const RowSpans spans(outer, y, x0, x1);
    for (i64 x = cx0; x <= cx1; ++x) {
      bool penPixel;
      if (pen.null)
        penPixel = false;
      else if (w > 1)
        penPixel = !hasInner || x < i0 || x > i1;
      else
        penPixel = spans.OnOutline(x);
      if (penPixel) {
        if (sweep && !sweep->Contains(x, y)) {
          if (closure != Closure::None && fill && inFill(x, y)) {
            if (auto v = BrushPixel(brush, colors, static_cast<int>(x), static_cast<int>(y))) line[x] = *v;
          }
          continue;
        }
        if (dashed)
          styled.push_back({Sweep::Angle(x, y, ccx, ccy), QPoint(static_cast<int>(x), static_cast<int>(y))});
        else
          line[x] = Rgb(pen.color);
      } else if (fill && inFill(x, y)) {
        if (auto v = BrushPixel(brush, colors, static_cast<int>(x), static_cast<int>(y))) line[x] = *v;
      }
    }
  }
  if (dashed) {
    // Along the outline counter-clockwise from the start of the sweep.
    const double from = sweep && !sweep->full ? sweep->start : 0;
    for (auto& [a, p] : styled) {
      a = std::fmod(a - from, 2 * kPi);
      if (a < 0) a += 2 * kPi;
    }
    std::stable_sort(styled.begin(), styled.end(), [](auto& a, auto& b) { return a.first < b.first; });
    i64 n = 0;
    for (auto& [a, p] : styled) painter.Pixel(p.x(), p.y(), n++);
  }
  if (sweep && !sweep->full && !pen.null) {
    const i64 cx = static_cast<i64>(std::lround(sweep->cx)), cy = static_cast<i64>(std::lround(sweep->cy));
    if (closure == Closure::Pie) {
      PenLine(*img, painter, cx, cy, ps.x, ps.y, true);
      PenLine(*img, painter, cx, cy, pe.x, pe.y, true);
    } else if (closure == Closure::Chord) {
      PenLine(*img, painter, ps.x, ps.y, pe.x, pe.y, true);
    }
  }
  DrawChanged(hdc, QRect(QPoint(0, static_cast<int>(y0)), QPoint(img->width() - 1, static_cast<int>(std::max(y0, y1)))) &
                        img->rect());
}

// The point where the radial through (x, y) meets the ellipse of box,
// rounded to a pixel, and the radial's angle.
POINT RadialPoint(const Box& box, double x, double y, double* angle) {
  const double cx = (box.l + box.r - 1) / 2.0, cy = (box.t + box.b - 1) / 2.0;
  const double a = (box.r - box.l - 1) / 2.0, b = (box.b - box.t - 1) / 2.0;
  double t = Sweep::Angle(x, y, cx, cy);
  if (x == cx && y == cy) t = 0;
  *angle = t;
  const double c = std::cos(t), s = std::sin(t);
  const double k = (a <= 0 || b <= 0) ? 0 : 1 / std::sqrt(c * c / (a * a) + s * s / (b * b));
  return POINT{static_cast<LONG>(std::lround(cx + k * c)), static_cast<LONG>(std::lround(cy - k * s))};
}

BOOL ArcLike(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, Closure closure) {
  if (!DrawSurface(hdc)) return FALSE;
  const Mapping* m = ScaledMapping(hdc);
  ToDevice(m, l, t), ToDevice(m, r, b), ToDevice(m, xs, ys), ToDevice(m, xe, ye);
  if (!InRange({l, t, r, b, xs, ys, xe, ye})) return FALSE;
  Box box{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  Sweep sw;
  sw.cx = (box.l + box.r - 1) / 2.0, sw.cy = (box.t + box.b - 1) / 2.0;
  double a0, a1;
  POINT ps = RadialPoint(box, xs, ys, &a0);
  POINT pe = RadialPoint(box, xe, ye, &a1);
  double span = std::fmod(a1 - a0, 2 * kPi);
  if (span < 0) span += 2 * kPi;
  sw.full = span == 0;
  sw.start = a0;
  sw.span = span;
  DrawFigure(hdc, Form::Ellipse, box, 0, 0, closure != Closure::None, &sw, closure, ps, pe);
  return TRUE;
}

QRgb RasterOp(DWORD rop, QRgb s, QRgb d) {
  switch (rop) {
    case SRCAND: return (s & d) | 0xFF000000;
    case SRCPAINT: return (s | d) | 0xFF000000;
    case SRCINVERT: return (s ^ d) | 0xFF000000;
    case DSTINVERT: return (~d) | 0xFF000000;
    case NOTSRCCOPY: return (~s) | 0xFF000000;
    default: return s | 0xFF000000;
  }
}

}  // namespace

namespace win::detail {

void FillWithBrush(QImage& img, const QRect& r, const BrushInfo& brush, const DcColors& colors) {
  const QRect q = r & img.rect();
  for (int y = q.top(); y <= q.bottom(); ++y) BrushSpan(img, y, q.left(), q.right(), brush, colors);
}

}  // namespace win::detail

HGDIOBJ CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return 0;
  switch (lb->lbStyle) {
    case BS_SOLID: return NewBrush(BrushInfo{false, -1, lb->lbColor});
    case BS_NULL: return NewBrush(BrushInfo{true, -1, 0});
    case BS_HATCHED:
      if (lb->lbHatch < HS_HORIZONTAL || lb->lbHatch > HS_DIAGCROSS) return 0;
      return NewBrush(BrushInfo{false, static_cast<int>(lb->lbHatch), lb->lbColor});
    default: return 0;
  }
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  POINT* pos = CurrentPosition(hdc);
  if (!pos) return FALSE;
  if (old) *old = *pos;
  ToDevice(ScaledMapping(hdc), x, y);
  *pos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  POINT* pos = CurrentPosition(hdc);
  QImage* img = DrawSurface(hdc);
  PenInfo pen;
  DcColors colors;
  if (!pos || !img || !CurrentPen(hdc, &pen) || !ContextColors(hdc, &colors)) return FALSE;
  ToDevice(ScaledMapping(hdc), x, y);
  const POINT from = *pos;
  *pos = POINT{x, y};
  if (!InRange({from.x, from.y, x, y})) return FALSE;
  if (pen.null) return TRUE;
  PenPainter painter(*img, pen, colors);
  // Wide pens have round ends on both points; thin ones leave out the last.
  PenLine(*img, painter, from.x, from.y, x, y, pen.width > 1);
  const int m = pen.width;
  QRect touched = QRect(QPoint(std::clamp<int>(std::min<int>(from.x, x) - m, -1, img->width()),
                               std::clamp<int>(std::min<int>(from.y, y) - m, -1, img->height())),
                        QPoint(std::clamp<int>(std::max<int>(from.x, x) + m, -1, img->width()),
                               std::clamp<int>(std::max<int>(from.y, y) + m, -1, img->height()))) &
                  img->rect();
  DrawChanged(hdc, touched);
  return TRUE;
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
  const Mapping* m = ScaledMapping(hdc);
  ToDevice(m, l, t), ToDevice(m, r, b);
  if (!DrawSurface(hdc) || !InRange({l, t, r, b})) return FALSE;
  DrawFigure(hdc, Form::Rect, Box{l, t, r, b}, 0, 0, true, nullptr, Closure::None);
  return TRUE;
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
  const Mapping* m = ScaledMapping(hdc);
  ToDevice(m, l, t), ToDevice(m, r, b);
  if (!DrawSurface(hdc) || !InRange({l, t, r, b})) return FALSE;
  DrawFigure(hdc, Form::Ellipse, Box{l, t, r, b}, 0, 0, true, nullptr, Closure::None);
  return TRUE;
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int w, int h) {
  const Mapping* m = ScaledMapping(hdc);
  ToDevice(m, l, t), ToDevice(m, r, b), ToDevice(m, w, h);
  if (!DrawSurface(hdc) || !InRange({l, t, r, b, w, h})) return FALSE;
  DrawFigure(hdc, Form::Round, Box{l, t, r, b}, std::abs(w), std::abs(h), true, nullptr, Closure::None);
  return TRUE;
}

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcLike(hdc, l, t, r, b, xs, ys, xe, ye, Closure::None);
}

BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcLike(hdc, l, t, r, b, xs, ys, xe, ye, Closure::Pie);
}

BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcLike(hdc, l, t, r, b, xs, ys, xe, ye, Closure::Chord);
}

BOOL ExtFloodFill(HDC hdc, int x, int y, COLORREF color, UINT type) {
  QImage* img = DrawSurface(hdc);
  BrushInfo brush;
  DcColors colors;
  if (!img || !CurrentBrush(hdc, &brush) || !ContextColors(hdc, &colors)) return FALSE;
  ToDevice(ScaledMapping(hdc), x, y);
  if (!img->rect().contains(x, y)) return FALSE;
  const QRgb key = Rgb(color) & 0xFFFFFF;
  auto fillable = [&](int px, int py) {
    const QRgb v = reinterpret_cast<const QRgb*>(img->constScanLine(py))[px] & 0xFFFFFF;
    return type == FLOODFILLSURFACE ? v == key : v != key;
  };
  if (!fillable(x, y)) return FALSE;
  const int W = img->width(), H = img->height();
  std::vector<uint8_t> seen(static_cast<size_t>(W) * H, 0);
  // Scanline fill: each run is marked, then the rows above and below are
  // searched for fillable pixels not yet seen.
  std::vector<QPoint> stack{QPoint(x, y)};
  QRect touched;
  while (!stack.empty()) {
    QPoint p = stack.back();
    stack.pop_back();
    int py = p.y();
    if (seen[static_cast<size_t>(py) * W + p.x()] || !fillable(p.x(), py)) continue;
    int x0 = p.x(), x1 = p.x();
    while (x0 > 0 && !seen[static_cast<size_t>(py) * W + x0 - 1] && fillable(x0 - 1, py)) --x0;
    while (x1 < W - 1 && !seen[static_cast<size_t>(py) * W + x1 + 1] && fillable(x1 + 1, py)) ++x1;
    for (int i = x0; i <= x1; ++i) seen[static_cast<size_t>(py) * W + i] = 1;
    touched |= QRect(x0, py, x1 - x0 + 1, 1);
    for (int ny : {py - 1, py + 1}) {
      if (ny < 0 || ny >= H) continue;
      bool inRun = false;
      for (int i = x0; i <= x1; ++i) {
        const bool ok = !seen[static_cast<size_t>(ny) * W + i] && fillable(i, ny);
        if (ok && !inRun) stack.push_back(QPoint(i, ny));
        inRun = ok;
      }
    }
  }
  // Painted after the search, so that the brush's own colour cannot stop it.
  for (int py = touched.top(); py <= touched.bottom(); ++py) {
    QRgb* line = reinterpret_cast<QRgb*>(img->scanLine(py));
    for (int px = touched.left(); px <= touched.right(); ++px)
      if (seen[static_cast<size_t>(py) * W + px])
        if (auto v = BrushPixel(brush, colors, px, py)) line[px] = *v;
  }
  DrawChanged(hdc, touched);
  return TRUE;
}

BOOL FloodFill(HDC hdc, int x, int y, COLORREF border) { return ExtFloodFill(hdc, x, y, border, FLOODFILLBORDER); }

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  QImage* di = DrawSurface(dst);
  if (!di) return FALSE;
  BoxToDevice(ScaledMapping(dst), x, y, w, h);
  if (!InRange({x, y, w, h, sx, sy, sw, sh})) return FALSE;
  if (w == 0 || h == 0) return TRUE;
  QImage* si = nullptr;
  if (rop != DSTINVERT) {
    si = DrawSurface(src);
    if (!si || sw == 0 || sh == 0) return FALSE;
  }
  // Mirrored when the signs of the two widths (or heights) differ.
  const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
  // A negative extent runs from the origin pixel backwards.
  const i64 dl = w < 0 ? i64{x} + w + 1 : x, dt = h < 0 ? i64{y} + h + 1 : y;
  const i64 aw = std::llabs(w), ah = std::llabs(h);
  const i64 sl = sw < 0 ? i64{sx} + sw + 1 : sx, st = sh < 0 ? i64{sy} + sh + 1 : sy;
  const i64 asw = std::llabs(sw), ash = std::llabs(sh);
  const i64 cx0 = std::max<i64>(dl, 0), cx1 = std::min<i64>(dl + aw, di->width()) - 1;
  const i64 cy0 = std::max<i64>(dt, 0), cy1 = std::min<i64>(dt + ah, di->height()) - 1;
  if (cx0 > cx1 || cy0 > cy1) return TRUE;
  // The source read before any pixel is written: both may be one image.
  QImage source = !si ? QImage() : si == di ? si->copy() : *si;
  auto srcIndex = [](i64 i, i64 dn, i64 sn, bool flip) {
    i64 k = (2 * i + 1) * sn / (2 * dn);  // nearest pixel to the centre
    return flip ? sn - 1 - k : k;
  };
  for (i64 yy = cy0; yy <= cy1; ++yy) {
    QRgb* out = reinterpret_cast<QRgb*>(di->scanLine(static_cast<int>(yy)));
    const i64 srow = si ? st + srcIndex(yy - dt, ah, ash, flipY) : 0;
    if (si && (srow < 0 || srow >= source.height())) continue;
    const QRgb* in = si ? reinterpret_cast<const QRgb*>(source.constScanLine(static_cast<int>(srow))) : nullptr;
    for (i64 xx = cx0; xx <= cx1; ++xx) {
      QRgb s = 0;
      if (si) {
        const i64 scol = sl + srcIndex(xx - dl, aw, asw, flipX);
        if (scol < 0 || scol >= source.width()) continue;
        s = in[scol];
      }
      out[xx] = RasterOp(rop, s, out[xx]);
    }
  }
  DrawChanged(dst, QRect(QPoint(static_cast<int>(cx0), static_cast<int>(cy0)), QPoint(static_cast<int>(cx1), static_cast<int>(cy1))));
  return TRUE;
}
