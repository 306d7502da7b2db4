// Device contexts and GDI objects over QImage and QPainter.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>

#include <climits>
#include <cstring>
#include <map>
#include <memory>

#include "deferred_scroll.h"
#include "gdi/bitmaps.h"
#include "fontobjects.h"
#include "gdi/gdi_internal.h"
#include "glyphs.h"
#include "screen.h"
#include "window_impl.h"
#include "wingdi.h"

using namespace win::detail;

namespace {

enum class Kind { Brush, Pen, Font, Bitmap };

struct FontInfo {
  QFont qfont;
  TEXTMETRICA tm;
  bool oem = false;    // bytes are code page 437 glyphs
  bool fixed = true;   // every character takes tmAveCharWidth
  int escapement = 0;  // tenths of a degree, counter-clockwise
  mutable std::shared_ptr<GlyphSet> glyphs;  // fixed fonts, made on first use
};

struct GdiObject {
  Kind kind;
  bool stock = false;
  COLORREF color = 0;
  bool null = false;  // null brush or pen
  int penStyle = PS_SOLID;
  int penWidth = 1;
  int hatch = -1;  // brushes: -1 solid, else HS_*
  FontInfo font;
  QImage bitmap;
  DeferredScroll deferred;  // of the bitmap
  HDC selectedInto = 0;
};

enum class Target { Window, Memory, Display, Printer, Picture };

struct Dc {
  Target target = Target::Memory;
  HWND hwnd = 0;
  HGDIOBJ bitmap = 0;  // memory contexts
  HGDIOBJ font = 0, brush = 0, pen = 0;
  COLORREF text = RGB(0, 0, 0);
  COLORREF bk = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int stretch = BLACKONWHITE;
  QImage scratch;  // a memory context without bitmap draws into 1x1
  POINT pos{0, 0};  // current position, in device units
  Mapping map;
  std::shared_ptr<Printer> printer;
  // The selected font at the size the mapping gives it, made on first use.
  HGDIOBJ scaledFrom = 0;
  Mapping scaledFor;
  FontInfo scaledFont;
};

constexpr HGDIOBJ kStockBase = 0x0100;
HGDIOBJ g_next = 0x20000;
std::map<HGDIOBJ, std::unique_ptr<GdiObject>> g_objects;
std::map<HDC, std::unique_ptr<Dc>> g_dcs;

FontInfo MakeFont(const char* family, int pixelSize, LONG height, LONG ascent, LONG width, bool oem,
                  bool fixed) {
  FontInfo f;
  f.qfont = QFont(family);
  f.qfont.setPixelSize(pixelSize);
  f.qfont.setStyleStrategy(QFont::NoAntialias);
  f.qfont.setFixedPitch(fixed);
  f.qfont.setKerning(false);
  f.tm.tmHeight = height;
  f.tm.tmAscent = ascent;
  f.tm.tmDescent = height - ascent;
  f.tm.tmAveCharWidth = width;
  f.tm.tmMaxCharWidth = fixed ? width : width * 2;
  f.tm.tmPitchAndFamily = fixed ? 0x30 : 0x21;
  f.tm.tmCharSet = oem ? 255 : 0;
  f.oem = oem;
  f.fixed = fixed;
  return f;
}

void MakeStock() {
  static bool done = false;
  if (done) return;
  done = true;
  auto add = [](int index, std::unique_ptr<GdiObject> o) {
    o->stock = true;
    g_objects[kStockBase + index] = std::move(o);
  };
  auto brush = [](COLORREF c, bool null = false) {
    auto o = std::make_unique<GdiObject>();
    o->kind = Kind::Brush;
    o->color = c;
    o->null = null;
    return o;
  };
  auto pen = [](COLORREF c, bool null = false) {
    auto o = std::make_unique<GdiObject>();
    o->kind = Kind::Pen;
    o->color = c;
    o->null = null;
    return o;
  };
  auto font = [](FontInfo f) {
    auto o = std::make_unique<GdiObject>();
    o->kind = Kind::Font;
    o->font = std::move(f);
    return o;
  };
  add(WHITE_BRUSH, brush(RGB(255, 255, 255)));
  add(LTGRAY_BRUSH, brush(RGB(192, 192, 192)));
  add(GRAY_BRUSH, brush(RGB(128, 128, 128)));
  add(DKGRAY_BRUSH, brush(RGB(64, 64, 64)));
  add(BLACK_BRUSH, brush(RGB(0, 0, 0)));
  add(NULL_BRUSH, brush(0, true));
  add(WHITE_PEN, pen(RGB(255, 255, 255)));
  add(BLACK_PEN, pen(RGB(0, 0, 0)));
  add(NULL_PEN, pen(0, true));
  // The fixed fonts keep the cell sizes programs were laid out for.
  add(OEM_FIXED_FONT, font(MakeFont("DejaVu Sans Mono", 11, 12, 10, 8, true, true)));
  add(ANSI_FIXED_FONT, font(MakeFont("DejaVu Sans Mono", 12, 13, 11, 8, false, true)));
  add(SYSTEM_FIXED_FONT, font(MakeFont("DejaVu Sans Mono", 13, 16, 13, 8, false, true)));
  add(ANSI_VAR_FONT, font(MakeFont("DejaVu Sans", 12, 13, 11, 6, false, false)));
  add(SYSTEM_FONT, font(MakeFont("DejaVu Sans", 13, 16, 13, 7, false, false)));
  add(DEVICE_DEFAULT_FONT, font(MakeFont("DejaVu Sans", 13, 16, 13, 7, false, false)));
}

GdiObject* Obj(HGDIOBJ h) {
  MakeStock();
  auto it = g_objects.find(h);
  return it == g_objects.end() ? nullptr : it->second.get();
}

Dc* DcOf(HDC h) {
  auto it = g_dcs.find(h);
  return it == g_dcs.end() ? nullptr : it->second.get();
}

HDC NewDc(std::unique_ptr<Dc> dc) {
  MakeStock();
  dc->font = kStockBase + SYSTEM_FONT;
  dc->brush = kStockBase + WHITE_BRUSH;
  dc->pen = kStockBase + BLACK_PEN;
  HDC h = g_next++;
  g_dcs[h] = std::move(dc);
  return h;
}

QColor Color(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF Ref(QRgb p) { return RGB(qRed(p), qGreen(p), qBlue(p)); }

// The image a context draws into and its scrolling not yet applied.
QImage* RawImage(Dc* dc, DeferredScroll** pending) {
  *pending = nullptr;
  switch (dc->target) {
    case Target::Window: {
      Wnd* w = Find(dc->hwnd);
      if (!w) return nullptr;
      if (w->surface.isNull()) ResizeSurface(w, ClientSize(w));
      *pending = &w->deferred;
      return &w->surface;
    }
    case Target::Memory:
      if (GdiObject* b = Obj(dc->bitmap)) {
        *pending = &b->deferred;
        return &b->bitmap;
      }
      if (dc->scratch.isNull()) {
        dc->scratch = QImage(1, 1, QImage::Format_RGB32);
        dc->scratch.fill(Qt::black);
      }
      return &dc->scratch;
    case Target::Printer:
      return PrinterPage(*dc->printer);
    case Target::Picture:
      return &dc->scratch;
    default:
      return nullptr;
  }
}

// The image with rows [y0, y1) where they belong.
QImage* Image(Dc* dc, int y0, int y1) {
  DeferredScroll* pending;
  QImage* img = RawImage(dc, &pending);
  if (img && pending && !pending->Settled(y0, y1)) pending->Settle(*img);
  return img;
}

QImage* Image(Dc* dc) { return Image(dc, INT_MIN, INT_MAX); }

void Changed(Dc* dc, const QRect& r) {
  if (dc->target == Target::Window)
    if (Wnd* w = Find(dc->hwnd)) SurfaceChanged(w, r);
}

const FontInfo& FontOf(Dc* dc) {
  GdiObject* f = Obj(dc->font);
  if (!f || f->kind != Kind::Font) f = Obj(kStockBase + SYSTEM_FONT);
  return f->font;
}

bool Scaled(const Dc* dc) { return dc->map.mode != MM_TEXT; }

// The font text is drawn with: the selected one, scaled by the mapping.
const FontInfo& DrawingFont(Dc* dc) {
  const FontInfo& f = FontOf(dc);
  if (!Scaled(dc)) return f;
  const Mapping& m = dc->map;
  if (dc->scaledFrom == dc->font && dc->scaledFor.window.cx == m.window.cx && dc->scaledFor.window.cy == m.window.cy &&
      dc->scaledFor.viewport.cx == m.viewport.cx && dc->scaledFor.viewport.cy == m.viewport.cy)
    return dc->scaledFont;
  FontInfo s = f;
  s.glyphs.reset();
  const int pixels = f.qfont.pixelSize() > 0 ? f.qfont.pixelSize() : f.tm.tmHeight;
  s.qfont.setPixelSize(std::clamp(m.Y(pixels), 1, 4000));
  QFontMetrics metrics(s.qfont);
  s.tm.tmHeight = std::max(1, m.Y(f.tm.tmHeight));
  s.tm.tmAscent = std::min<LONG>(s.tm.tmHeight, metrics.ascent());
  s.tm.tmDescent = s.tm.tmHeight - s.tm.tmAscent;
  s.tm.tmAveCharWidth = std::max(1, m.X(f.tm.tmAveCharWidth));
  s.tm.tmMaxCharWidth = std::max(1, m.X(f.tm.tmMaxCharWidth));
  dc->scaledFont = std::move(s);
  dc->scaledFrom = dc->font;
  dc->scaledFor = m;
  return dc->scaledFont;
}

// The width of a text in a font and the font's height.
SIZE Extent(const FontInfo& f, const char* text, int len);

QString Glyphs(const FontInfo& f, const char* text, int len) {
  QString s;
  for (int i = 0; i < len; ++i) s += GlyphSet::CharOf(f.oem, static_cast<unsigned char>(text[i]));
  return s;
}

SIZE Extent(const FontInfo& f, const char* text, int len) {
  SIZE size;
  if (f.fixed)
    size.cx = f.tm.tmAveCharWidth * len;
  else
    size.cx = QFontMetrics(f.qfont).horizontalAdvance(Glyphs(f, text, len));
  size.cy = f.tm.tmHeight;
  return size;
}

GlyphSet& GlyphsOf(const FontInfo& f) {
  if (!f.glyphs)
    f.glyphs = std::make_shared<GlyphSet>(f.qfont, f.oem, f.tm.tmAveCharWidth, f.tm.tmHeight, f.tm.tmAscent);
  return *f.glyphs;
}

void Fill(QImage& img, QRect r, COLORREF c) {
  r &= img.rect();
  const QRgb v = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
  if (r.isEmpty()) return;
  uchar* base = img.bits();
  const qsizetype stride = img.bytesPerLine();
  QRgb* first = reinterpret_cast<QRgb*>(base + r.top() * stride) + r.left();
  // The first row by doubling copies, the others copies of it.
  const size_t n = static_cast<size_t>(r.width());
  first[0] = v;
  for (size_t done = 1; done < n; done *= 2) std::memcpy(first + done, first, std::min(done, n - done) * 4);
  for (int y = r.top() + 1; y <= r.bottom(); ++y)
    std::memcpy(base + y * stride + r.left() * 4, first, static_cast<size_t>(r.width()) * 4);
}

// The rows a fixed font's text touches, relative to its top: its box and
// what the glyphs reach beyond it; false when a glyph has no mask.
bool MaskRows(const FontInfo& f, const char* text, int len, int* top, int* bottom) {
  GlyphSet& set = GlyphsOf(f);
  *top = 0;
  *bottom = f.tm.tmHeight;
  for (int i = 0; i < len; ++i) {
    const GlyphMask& g = set.Get(static_cast<unsigned char>(text[i]));
    if (g.painter) return false;
    if (g.height) *top = std::min(*top, g.top), *bottom = std::max(*bottom, g.top + g.height);
  }
  return true;
}

// A fixed font's text from the glyph masks; false when a character has
// none, and QPainter must draw the text.
bool TextFromMasks(QImage& img, Dc* dc, const FontInfo& f, int x, int y, const char* text, int len,
                   const QRect& box) {
  if (img.format() != QImage::Format_RGB32) return false;
  GlyphSet& set = GlyphsOf(f);
  for (int i = 0; i < len; ++i)
    if (set.Get(static_cast<unsigned char>(text[i])).painter) return false;
  if (dc->bkMode == OPAQUE) Fill(img, box, dc->bk);
  const QRgb color = qRgb(GetRValue(dc->text), GetGValue(dc->text), GetBValue(dc->text));
  for (int i = 0; i < len; ++i)
    DrawGlyph(img, set.Get(static_cast<unsigned char>(text[i])), x + i * f.tm.tmAveCharWidth, y, color);
  return true;
}

}  // namespace

namespace win::detail {

const Mapping* ScaledMapping(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc && Scaled(dc) ? &dc->map : nullptr;
}

DeviceUnits::DeviceUnits(HDC hdc) : hdc_(hdc) {
  if (Dc* dc = DcOf(hdc); dc && Scaled(dc)) {
    mode_ = dc->map.mode;
    dc->map.mode = MM_TEXT;
  }
}

DeviceUnits::~DeviceUnits() {
  if (mode_ == MM_TEXT) return;
  if (Dc* dc = DcOf(hdc_)) dc->map.mode = mode_;
}

Printer* PrinterOf(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? dc->printer.get() : nullptr;
}

bool DescribeStockFont(int index, StockFontInfo* out) {
  GdiObject* o = Obj(kStockBase + index);
  if (!o || o->kind != Kind::Font) return false;
  const FontInfo& f = o->font;
  *out = StockFontInfo{f.qfont, f.oem, f.fixed, static_cast<int>(f.tm.tmAveCharWidth),
                       static_cast<int>(f.tm.tmHeight), static_cast<int>(f.tm.tmAscent)};
  return true;
}

bool QtFontOf(HGDIOBJ font, QFont* out) {
  GdiObject* o = Obj(font);
  if (!o || o->kind != Kind::Font) return false;
  if (out) *out = o->font.qfont;
  return true;
}

HGDIOBJ FontObject(const QFont& font) {
  MakeStock();
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Font;
  FontInfo& f = o->font;
  f.qfont = font;
  QFontMetrics m(font);
  f.tm.tmHeight = m.height();
  f.tm.tmAscent = m.ascent();
  f.tm.tmDescent = m.descent();
  f.tm.tmAveCharWidth = m.averageCharWidth();
  f.tm.tmMaxCharWidth = m.maxWidth();
  f.tm.tmWeight = font.weight();
  f.tm.tmPitchAndFamily = QFontInfo(font).fixedPitch() ? 0x30 : 0x21;
  // Drawn by Qt, not from the glyph masks of the fixed stock fonts.
  f.fixed = false;
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

QImage* DrawSurface(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? Image(dc) : nullptr;
}

void DrawChanged(HDC hdc, const QRect& area) {
  if (Dc* dc = DcOf(hdc)) Changed(dc, area);
}

bool CurrentPen(HDC hdc, PenInfo* out) {
  Dc* dc = DcOf(hdc);
  GdiObject* o = dc ? Obj(dc->pen) : nullptr;
  if (!o || o->kind != Kind::Pen) return false;
  *out = PenInfo{o->null, o->penStyle, o->penWidth, o->color};
  // The width is in logical units; thin pens stay one pixel.
  if (Scaled(dc) && o->penWidth > 1) out->width = std::clamp(dc->map.X(o->penWidth), 1, 10000);
  return true;
}

bool CurrentBrush(HDC hdc, BrushInfo* out) {
  Dc* dc = DcOf(hdc);
  GdiObject* o = dc ? Obj(dc->brush) : nullptr;
  if (!o || o->kind != Kind::Brush) return false;
  *out = BrushInfo{o->null, o->hatch, o->color};
  return true;
}

bool ContextColors(HDC hdc, DcColors* out) {
  Dc* dc = DcOf(hdc);
  if (!dc) return false;
  *out = DcColors{dc->text, dc->bk, dc->bkMode, dc->stretch};
  return true;
}

POINT* CurrentPosition(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? &dc->pos : nullptr;
}

HGDIOBJ NewBrush(const BrushInfo& brush) {
  MakeStock();
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Brush;
  o->color = brush.color & 0xFFFFFF;
  o->null = brush.null;
  o->hatch = brush.hatch;
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

void SetFontExtras(HGDIOBJ font, int escapement, bool oem, int charSet) {
  GdiObject* o = Obj(font);
  if (!o || o->kind != Kind::Font || o->stock) return;
  o->font.escapement = escapement;
  o->font.oem = oem;
  o->font.tm.tmCharSet = static_cast<BYTE>(charSet);
}

// Bitmaps made and read by the DIB functions (gdi/).
HGDIOBJ BitmapFromImage(const QImage& image) {
  if (image.isNull()) return 0;
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Bitmap;
  o->bitmap = image.convertToFormat(QImage::Format_RGB32);
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

bool BitmapImage(HGDIOBJ bitmap, QImage* out) {
  GdiObject* o = Obj(bitmap);
  if (!o || o->kind != Kind::Bitmap) return false;
  o->deferred.Settle(o->bitmap);
  if (out) *out = o->bitmap;
  return true;
}

}  // namespace win::detail

HDC GetDC(HWND hwnd) {
  if (!hwnd) return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!Find(hwnd)) return 0;
  auto dc = std::make_unique<Dc>();
  dc->target = Target::Window;
  dc->hwnd = hwnd;
  return NewDc(std::move(dc));
}

int ReleaseDC(HWND, HDC hdc) {
  Dc* dc = DcOf(hdc);
  if (!dc || dc->target == Target::Memory || dc->target == Target::Printer) return 0;
  g_dcs.erase(hdc);
  return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  HDC hdc = GetDC(hwnd);
  QRect b = w->update.boundingRect();
  if (ps) {
    ps->hdc = hdc;
    ps->rcPaint = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    ps->fErase = w->erase ? TRUE : FALSE;
  }
  if (w->erase) {
    w->erase = false;
    if (w->proc && w->proc(hwnd, WM_ERASEBKGND, static_cast<WPARAM>(hdc), 0) == 0 && ps) ps->fErase = TRUE;
    // Erasing with the class brush is what the default handling does.
    if (w->cls && w->cls->background) {
      if (GdiObject* br = Obj(w->cls->background); br && br->kind == Kind::Brush && !br->null) {
        w->deferred.Settle(w->surface);
        QPainter p(&w->surface);
        for (const QRect& r : w->update) p.fillRect(r, Color(br->color));
      }
    }
  }
  w->update = QRegion();
  return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (Wnd* w = Find(hwnd)) SurfaceChanged(w, QRect(QPoint(0, 0), w->surface.size()));
  if (ps) ReleaseDC(hwnd, ps->hdc);
  return TRUE;
}

HDC CreateCompatibleDC(HDC) {
  auto dc = std::make_unique<Dc>();
  dc->target = Target::Memory;
  return NewDc(std::move(dc));
}

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR port, const void*) {
  auto dc = std::make_unique<Dc>();
  if (!driver || QString::fromLatin1(driver).compare("DISPLAY", Qt::CaseInsensitive) == 0) {
    dc->target = Target::Display;
  } else {
    dc->printer = OpenPrinter(driver, device, port);
    if (!dc->printer) return 0;
    dc->target = Target::Printer;
  }
  return NewDc(std::move(dc));
}

HDC GetWindowDC(HWND hwnd) {
  Wnd* wnd = Find(hwnd);
  RECT wr;
  if (!wnd || !GetWindowRect(hwnd, &wr)) return 0;
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const int w = std::max<LONG>(1, wr.right - wr.left), h = std::max<LONG>(1, wr.bottom - wr.top);
  // The window as the user sees it, with its controls; the frame and the
  // menu bar around it are the desktop's.
  QImage picture(w, h, QImage::Format_RGB32);
  picture.fill(QColor(192, 192, 192));
  QPainter p(&picture);
  p.drawImage(QPoint(origin.x - wr.left, origin.y - wr.top), win::WindowImage(hwnd));
  p.end();
  auto dc = std::make_unique<Dc>();
  dc->target = Target::Picture;
  dc->hwnd = hwnd;
  dc->scratch = std::move(picture);
  return NewDc(std::move(dc));
}

int SetMapMode(HDC hdc, int mode) {
  Dc* dc = DcOf(hdc);
  if (!dc || (mode != MM_TEXT && mode != MM_ANISOTROPIC)) return 0;
  const int old = dc->map.mode;
  dc->map.mode = mode;
  return old;
}

int GetMapMode(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? dc->map.mode : 0;
}

// The extents count only in MM_ANISOTROPIC, as in Windows; 0 is refused.
static BOOL SetExtent(HDC hdc, SIZE Mapping::*extent, int x, int y, SIZE* old) {
  Dc* dc = DcOf(hdc);
  if (!dc || x == 0 || y == 0) return FALSE;
  if (old) *old = dc->map.*extent;
  if (dc->map.mode == MM_ANISOTROPIC) dc->map.*extent = SIZE{x, y};
  return TRUE;
}

BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, &Mapping::window, x, y, old); }
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old) { return SetExtent(hdc, &Mapping::viewport, x, y, old); }

HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init) {
  return CreateDCA(driver, device, output, init);
}

BOOL DeleteDC(HDC hdc) {
  Dc* dc = DcOf(hdc);
  if (!dc) return FALSE;
  if (GdiObject* b = Obj(dc->bitmap)) b->selectedInto = 0;
  g_dcs.erase(hdc);  // a printer's unfinished job is dropped with it
  return TRUE;
}

HGDIOBJ CreateCompatibleBitmap(HDC, int width, int height) {
  if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > 64LL * 1024 * 1024) return 0;
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Bitmap;
  o->bitmap = QImage(width, height, QImage::Format_RGB32);
  if (o->bitmap.isNull()) return 0;
  o->bitmap.fill(Qt::black);
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

HGDIOBJ GetStockObject(int index) {
  MakeStock();
  return Obj(kStockBase + index) ? kStockBase + index : 0;
}

HGDIOBJ CreateSolidBrush(COLORREF color) {
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Brush;
  o->color = color & 0xFFFFFF;
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

HGDIOBJ CreatePen(int style, int width, COLORREF color) {
  auto o = std::make_unique<GdiObject>();
  o->kind = Kind::Pen;
  o->color = color & 0xFFFFFF;
  o->penStyle = style;
  o->penWidth = std::max(1, width);
  o->null = style == PS_NULL;
  HGDIOBJ h = g_next++;
  g_objects[h] = std::move(o);
  return h;
}

// A memory context's own 1x1 bitmap, given back when a bitmap is selected.
constexpr HGDIOBJ kOwnBitmap = 1;

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  Dc* dc = DcOf(hdc);
  if (dc && h == kOwnBitmap && dc->target == Target::Memory) {
    HGDIOBJ old = dc->bitmap;
    if (GdiObject* prev = Obj(old)) prev->selectedInto = 0;
    dc->bitmap = 0;
    return old ? old : kOwnBitmap;
  }
  GdiObject* o = Obj(h);
  if (!dc || !o) return 0;
  HGDIOBJ old = 0;
  switch (o->kind) {
    case Kind::Brush: old = dc->brush, dc->brush = h; break;
    case Kind::Pen: old = dc->pen, dc->pen = h; break;
    case Kind::Font: old = dc->font, dc->font = h; break;
    case Kind::Bitmap:
      if (dc->target != Target::Memory) return 0;
      if (o->selectedInto && o->selectedInto != hdc) return 0;  // one context at a time
      old = dc->bitmap;
      if (GdiObject* prev = Obj(old)) prev->selectedInto = 0;
      dc->bitmap = h;
      o->selectedInto = hdc;
      if (!old) old = kOwnBitmap;
      break;
  }
  return old;
}

BOOL DeleteObject(HGDIOBJ h) {
  if (DeletePaletteObject(h)) return TRUE;
  GdiObject* o = Obj(h);
  if (!o || o->stock) return FALSE;
  if (o->selectedInto) return FALSE;
  for (auto& [hdc, dc] : g_dcs)
    if (dc->brush == h || dc->pen == h || dc->font == h) return FALSE;
  g_objects.erase(h);
  return TRUE;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  Dc* dc = DcOf(hdc);
  if (!dc) return 0;
  switch (type) {
    case 1: return dc->pen;
    case 2: return dc->brush;
    case 6: return dc->font;
    case 7: return dc->bitmap;
    default: return 0;
  }
}

COLORREF SetTextColor(HDC hdc, COLORREF c) {
  Dc* dc = DcOf(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->text;
  dc->text = c & 0xFFFFFF;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? dc->text : CLR_INVALID;
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
  Dc* dc = DcOf(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->bk;
  dc->bk = c & 0xFFFFFF;
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  Dc* dc = DcOf(hdc);
  return dc ? dc->bk : CLR_INVALID;
}
int SetBkMode(HDC hdc, int mode) {
  Dc* dc = DcOf(hdc);
  if (!dc) return 0;
  int old = dc->bkMode;
  dc->bkMode = mode;
  return old;
}
int SetStretchBltMode(HDC hdc, int mode) {
  Dc* dc = DcOf(hdc);
  if (!dc) return 0;
  int old = dc->stretch;
  dc->stretch = mode;
  return old;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
  Dc* dc = DcOf(hdc);
  if (!dc || !tm) return FALSE;
  *tm = FontOf(dc).tm;
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int len, SIZE* size) {
  Dc* dc = DcOf(hdc);
  if (!dc || !size) return FALSE;
  *size = Extent(FontOf(dc), text, len);
  return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len) {
  Dc* dc = DcOf(hdc);
  if (!dc || len < 0) return FALSE;
  if (Scaled(dc)) ToDevice(&dc->map, x, y);
  const FontInfo& f = DrawingFont(dc);
  SIZE ext = Extent(f, text, len);
  QRect box(x, y, ext.cx, ext.cy);
  int top, bottom;
  if (f.fixed && !Scaled(dc) && MaskRows(f, text, len, &top, &bottom)) {
    QImage* img = Image(dc, y + top, y + bottom);
    if (!img) return FALSE;
    if (TextFromMasks(*img, dc, f, x, y, text, len, box)) {
      Changed(dc, box);
      return TRUE;
    }
  }
  QImage* img = Image(dc);
  if (!img) return FALSE;
  QString glyphs = Glyphs(f, text, len);
  QPainter p(img);
  p.setFont(f.qfont);
  p.setPen(Color(dc->text));
  int base = y + f.tm.tmAscent;
  if (!f.fixed && f.escapement % 3600 != 0) {
    // Rotated about the reference point, counter-clockwise.
    p.setClipRect(img->rect());
    p.translate(x, y);
    p.rotate(-f.escapement / 10.0);
    QRect local(0, 0, ext.cx, ext.cy);
    if (dc->bkMode == OPAQUE) p.fillRect(local, Color(dc->bk));
    p.drawText(0, f.tm.tmAscent, glyphs);
    QRect touched = p.transform().mapRect(local.adjusted(-2, -2, 2, 2)) & img->rect();
    p.end();
    Changed(dc, touched);
    return TRUE;
  }
  if (dc->bkMode == OPAQUE) p.fillRect(box, Color(dc->bk));
  if (f.fixed) {
    for (int i = 0; i < glyphs.size(); ++i)
      p.drawText(x + i * f.tm.tmAveCharWidth, base, QString(glyphs[i]));
  } else {
    p.drawText(x, base, glyphs);
  }
  p.end();
  Changed(dc, box);
  return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  Dc* dc = DcOf(hdc);
  if (!dc) return FALSE;
  if (Scaled(dc)) BoxToDevice(&dc->map, x, y, w, h);
  QImage* img = Image(dc);
  if (!img) return FALSE;
  QRect r = QRect(x, y, w, h).normalized() & img->rect();
  if (r.isEmpty()) return TRUE;
  GdiObject* br = Obj(dc->brush);
  switch (rop) {
    case PATCOPY:
      if (br && br->hatch >= 0)
        FillWithBrush(*img, r, BrushInfo{false, br->hatch, br->color}, DcColors{dc->text, dc->bk, dc->bkMode});
      else if (br && !br->null)
        QPainter(img).fillRect(r, Color(br->color));
      break;
    case BLACKNESS: QPainter(img).fillRect(r, Qt::black); break;
    case WHITENESS: QPainter(img).fillRect(r, Qt::white); break;
    case DSTINVERT:
    case PATINVERT: {
      QRgb mask = rop == DSTINVERT ? 0xFFFFFF : (br ? (qRgb(GetRValue(br->color), GetGValue(br->color), GetBValue(br->color)) & 0xFFFFFF) : 0);
      for (int yy = r.top(); yy <= r.bottom(); ++yy) {
        QRgb* line = reinterpret_cast<QRgb*>(img->scanLine(yy));
        for (int xx = r.left(); xx <= r.right(); ++xx) line[xx] = 0xFF000000 | ((line[xx] ^ mask) & 0xFFFFFF);
      }
      break;
    }
    default:
      return FALSE;
  }
  Changed(dc, r);
  return TRUE;
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  Dc* d = DcOf(dst);
  if (!d) return FALSE;
  // Logical units on the target scale the picture to its device size.
  if (Scaled(d) && rop != PATCOPY && rop != BLACKNESS && rop != WHITENESS)
    return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
  if (rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT) return PatBlt(dst, x, y, w, h, rop);
  Dc* s = DcOf(src);
  if (!s) return FALSE;
  DeferredScroll *dp, *sp;
  QImage* di = RawImage(d, &dp);
  QImage* si = RawImage(s, &sp);
  if (!di || !si) return FALSE;
  QRect target = QRect(x, y, w, h) & di->rect();
  QRect from = target.translated(sx - x, sy - y) & si->rect();
  target = from.translated(x - sx, y - sy);
  if (target.isEmpty()) return TRUE;
  const bool rgb = di->format() == QImage::Format_RGB32 && si->format() == QImage::Format_RGB32;
  if (rop == SRCCOPY && rgb && di == si && dp && target.left() == 0 && target.width() == di->width() &&
      from.top() > target.top()) {
    // The text window scrolling its shadow bitmap.
    dp->Scroll(*di, target.top(), from.bottom() + 1, from.top() - target.top());
    Changed(d, target);
    return TRUE;
  }
  if (sp && !sp->Settled(from.top(), from.bottom() + 1)) sp->Settle(*si);
  if (dp && !dp->Settled(target.top(), target.bottom() + 1)) dp->Settle(*di);
  if (rop == SRCCOPY && rgb) {
    // Whole rows at a time; within one image the rows go in the order that
    // reads each source row before it is overwritten.
    const size_t bytes = static_cast<size_t>(target.width()) * 4;
    const bool upward = di == si && target.top() > from.top();
    for (int i = 0; i < target.height(); ++i) {
      int yy = upward ? target.height() - 1 - i : i;
      uchar* out = di->scanLine(target.top() + yy) + target.left() * 4;
      std::memmove(out, si->constScanLine(from.top() + yy) + from.left() * 4, bytes);
    }
    Changed(d, target);
    return TRUE;
  }
  QImage piece = si->copy(from);  // source and target may be the same image
  for (int yy = 0; yy < target.height(); ++yy) {
    QRgb* out = reinterpret_cast<QRgb*>(di->scanLine(target.top() + yy)) + target.left();
    const QRgb* in = reinterpret_cast<const QRgb*>(piece.constScanLine(yy));
    for (int xx = 0; xx < target.width(); ++xx) {
      QRgb a = in[xx], b = out[xx];
      switch (rop) {
        case SRCPAINT: out[xx] = a | b; break;
        case SRCAND: out[xx] = (a & b) | 0xFF000000; break;
        case SRCINVERT: out[xx] = (a ^ b) | 0xFF000000; break;
        case NOTSRCCOPY: out[xx] = (~a) | 0xFF000000; break;
        default: out[xx] = a | 0xFF000000; break;
      }
    }
  }
  Changed(d, target);
  return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  Dc* dc = DcOf(hdc);
  // Printers cannot be read back.
  if (!dc || dc->target == Target::Printer) return CLR_INVALID;
  if (Scaled(dc)) ToDevice(&dc->map, x, y);
  QImage* img = Image(dc);
  if (!img || !img->rect().contains(x, y)) return CLR_INVALID;
  return Ref(img->pixel(x, y));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c) {
  Dc* dc = DcOf(hdc);
  if (!dc) return CLR_INVALID;
  if (Scaled(dc)) ToDevice(&dc->map, x, y);
  QImage* img = Image(dc);
  if (!img || !img->rect().contains(x, y)) return CLR_INVALID;
  img->setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
  Changed(dc, QRect(x, y, 1, 1));
  return c & 0xFFFFFF;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (Dc* dc = DcOf(hdc); dc && dc->printer) {
    const int dpi = PrinterDpi(*dc->printer);
    const QSize page = PrinterPageSize(*dc->printer);
    switch (index) {
      case HORZRES: return page.width();
      case VERTRES: return page.height();
      case BITSPIXEL: return 24;
      case PLANES: return 1;
      case NUMCOLORS: return -1;
      case LOGPIXELSX:
      case LOGPIXELSY: return dpi;
      case HORZSIZE: return page.width() * 254 / (dpi * 10);
      case VERTSIZE: return page.height() * 254 / (dpi * 10);
      default: return 0;
    }
  }
  switch (index) {
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return win::DisplayBitsPerPixel();
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZSIZE: return GetSystemMetrics(SM_CXSCREEN) * 254 / 960;
    case VERTSIZE: return GetSystemMetrics(SM_CYSCREEN) * 254 / 960;
    default: return 0;
  }
}

BOOL FillRect(HDC hdc, const RECT* r, HGDIOBJ brush) {
  Dc* dc = DcOf(hdc);
  GdiObject* br = Obj(brush);
  if (!dc || !r || !br || br->kind != Kind::Brush) return FALSE;
  QImage* img = Image(dc);
  if (!img) return FALSE;
  int x = r->left, y = r->top, w = r->right - r->left, h = r->bottom - r->top;
  if (Scaled(dc)) BoxToDevice(&dc->map, x, y, w, h);
  QRect q(x, y, w, h);
  if (br->hatch >= 0)
    FillWithBrush(*img, q, BrushInfo{false, br->hatch, br->color}, DcColors{dc->text, dc->bk, dc->bkMode});
  else if (!br->null)
    QPainter(img).fillRect(q, Color(br->color));
  Changed(dc, q);
  return TRUE;
}

namespace win {

QImage ContextImage(HDC hdc) {
  Dc* dc = DcOf(hdc);
  QImage* img = dc ? Image(dc) : nullptr;
  return img ? img->copy() : QImage();
}

int LiveGdiObjects() {
  int n = static_cast<int>(g_dcs.size());
  for (auto& [h, o] : g_objects)
    if (!o->stock) ++n;
  return n;
}

}  // namespace win
