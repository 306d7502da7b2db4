// Icons and cursors: loaded from files, modules, the interpreter's own set
// and the system's, drawn into contexts, and shown by windows.
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "../dialogs/dialogbox.h"
#include "../hostwidget.h"
#include "../resources/resources.h"
#include "../window_impl.h"
#include "bitmaps.h"
#include "gdi_internal.h"

using namespace win::detail;

namespace {

struct Icon {
  QImage image;  // ARGB; null for system cursors
  int shape = -1;  // Qt::CursorShape of a system cursor
  QPoint hot;
  bool cursor = false;
  bool shared = false;  // LoadIconA/LoadCursorA: kept until the end
};

constexpr HICON kFirstIcon = 0x40000000;
HICON g_nextIcon = kFirstIcon;
std::map<HICON, Icon> g_icons;
std::map<std::string, HICON> g_shared;  // by kind, instance and name
HCURSOR g_current = 0;
// The cursor SetCursor gave a window; the window it was given to, as
// handles come again after the window system is reset.
std::map<HWND, std::pair<HCURSOR, const Wnd*>> g_windowCursor;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// "#n" for numbers, as the resource functions take names.
std::string NameOf(LPCSTR name) {
  const auto raw = reinterpret_cast<uintptr_t>(name);
  return raw < 0x10000 ? "#" + std::to_string(raw) : Upper(name);
}
// A number given as MAKEINTRESOURCE or written "#n".
int IdOf(LPCSTR name) {
  const auto raw = reinterpret_cast<uintptr_t>(name);
  if (raw < 0x10000) return static_cast<int>(raw);
  if (name[0] != '#' || !name[1] || std::strspn(name + 1, "0123456789") != std::strlen(name + 1) ||
      std::strlen(name + 1) > 5)
    return -1;
  return std::atoi(name + 1);
}

HICON Add(Icon icon) {
  const HICON h = g_nextIcon++;
  g_icons[h] = std::move(icon);
  return h;
}

QImage FromImage(const win::IconImage& img) {
  if (!img.png.empty())
    return QImage::fromData(img.png.data(), static_cast<int>(img.png.size())).convertToFormat(QImage::Format_ARGB32);
  QImage q(img.pixels.width, img.pixels.height, QImage::Format_ARGB32);
  for (int y = 0; y < q.height(); ++y)
    for (int x = 0; x < q.width(); ++x)
      q.setPixel(x, y, img.pixels.argb[static_cast<size_t>(y) * static_cast<size_t>(q.width()) + static_cast<size_t>(x)]);
  return q;
}

QImage Canvas() {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  return img;
}

// The interpreter's own icon: a blue document with a yellow "T".
QImage TilmorIcon() {
  QImage img = Canvas();
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(0, 64, 160));
  p.drawRect(3, 3, 25, 25);
  p.fillRect(9, 8, 14, 4, QColor(255, 220, 0));
  p.fillRect(14, 12, 4, 12, QColor(255, 220, 0));
  return img;
}

// The interpreter's cursors, drawn: a printer, a moving hand of four
// arrows, and a sizing corner.
bool OwnCursor(const std::string& name, Icon* out) {
  QImage img = Canvas();
  QPainter p(&img);
  p.setPen(QPen(Qt::black, 1));
  if (name == "DRUCKER") {
    p.setBrush(Qt::white);
    p.drawRect(9, 4, 13, 9);
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(4, 12, 23, 11);
    p.setBrush(Qt::white);
    p.drawRect(9, 20, 13, 8);
    out->hot = QPoint(15, 15);
  } else if (name == "SCHIEBEN") {
    p.setBrush(Qt::white);
    QPainterPath path;
    path.moveTo(15, 1), path.lineTo(20, 7), path.lineTo(17, 7), path.lineTo(17, 14), path.lineTo(24, 14);
    path.lineTo(24, 11), path.lineTo(30, 16), path.lineTo(24, 21), path.lineTo(24, 18), path.lineTo(17, 18);
    path.lineTo(17, 25), path.lineTo(20, 25), path.lineTo(15, 31), path.lineTo(10, 25), path.lineTo(13, 25);
    path.lineTo(13, 18), path.lineTo(6, 18), path.lineTo(6, 21), path.lineTo(0, 16), path.lineTo(6, 11);
    path.lineTo(6, 14), path.lineTo(13, 14), path.lineTo(13, 7), path.lineTo(10, 7);
    path.closeSubpath();
    p.drawPath(path);
    out->hot = QPoint(15, 16);
  } else if (name == "GROESSE") {
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(2, 2), QPoint(12, 2), QPoint(8, 6), QPoint(26, 24), QPoint(30, 20),
                            QPoint(30, 30), QPoint(20, 30), QPoint(24, 26), QPoint(6, 8), QPoint(2, 12)}));
    out->hot = QPoint(16, 16);
  } else {
    return false;
  }
  p.end();
  out->image = img;
  out->cursor = true;
  return true;
}

QImage SystemIcon(int id) {
  QStyle::StandardPixmap which;
  switch (id) {
    case IDI_APPLICATION: which = QStyle::SP_DesktopIcon; break;
    case IDI_HAND: which = QStyle::SP_MessageBoxCritical; break;
    case IDI_QUESTION: which = QStyle::SP_MessageBoxQuestion; break;
    case IDI_EXCLAMATION: which = QStyle::SP_MessageBoxWarning; break;
    case IDI_ASTERISK: which = QStyle::SP_MessageBoxInformation; break;
    case IDI_WINLOGO: which = QStyle::SP_ComputerIcon; break;
    default: return QImage();
  }
  QImage img;
  if (QStyle* style = QApplication::style()) img = style->standardIcon(which).pixmap(32, 32).toImage();
  if (img.isNull()) img = TilmorIcon();  // a style without icons still answers
  return img.convertToFormat(QImage::Format_ARGB32);
}

int SystemCursorShape(int id) {
  switch (id) {
    case IDC_ARROW: return Qt::ArrowCursor;
    case IDC_IBEAM: return Qt::IBeamCursor;
    case IDC_WAIT: return Qt::WaitCursor;
    case IDC_CROSS: return Qt::CrossCursor;
    case IDC_UPARROW: return Qt::UpArrowCursor;
    case IDC_SIZE: case IDC_SIZEALL: return Qt::SizeAllCursor;
    case IDC_ICON: return Qt::DragCopyCursor;
    case IDC_SIZENWSE: return Qt::SizeFDiagCursor;
    case IDC_SIZENESW: return Qt::SizeBDiagCursor;
    case IDC_SIZEWE: return Qt::SizeHorCursor;
    case IDC_SIZENS: return Qt::SizeVerCursor;
    case IDC_NO: return Qt::ForbiddenCursor;
    case IDC_HAND: return Qt::PointingHandCursor;
    case IDC_APPSTARTING: return Qt::BusyCursor;
    case IDC_HELP: return Qt::WhatsThisCursor;
    default: return -1;
  }
}

QCursor QtCursor(HCURSOR h) {
  auto it = g_icons.find(h);
  if (!h || it == g_icons.end()) return QCursor(Qt::ArrowCursor);
  const Icon& c = it->second;
  if (c.shape >= 0) return QCursor(static_cast<Qt::CursorShape>(c.shape));
  return QCursor(QPixmap::fromImage(c.image), c.hot.x(), c.hot.y());
}

void ShowCursorOn(HWND hwnd, HCURSOR h) {
  if (Wnd* w = Find(hwnd); w && w->widget) w->widget->setCursor(QtCursor(h));
}

// The window below the mouse pointer (or holding the mouse).
HWND WindowUnderPointer() {
  if (S().capture) return S().capture;
  for (QWidget* q = QApplication::widgetAt(QCursor::pos()); q; q = q->parentWidget())
    if (auto* host = dynamic_cast<HostWidget*>(q)) return host->hwnd();
  return 0;
}

HICON Shared(const std::string& key, const std::function<bool(Icon*)>& make) {
  if (auto it = g_shared.find(key); it != g_shared.end() && g_icons.count(it->second)) return it->second;
  Icon icon;
  if (!make(&icon)) return 0;
  icon.shared = true;
  const HICON h = Add(std::move(icon));
  g_shared[key] = h;
  return h;
}

bool Destroy(HICON h) {
  auto it = g_icons.find(h);
  if (it == g_icons.end()) return false;
  if (!it->second.shared) g_icons.erase(it);
  return true;
}

}  // namespace

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (!name) return 0;
  const std::string n = NameOf(name);
  return Shared("I" + std::to_string(instance) + n, [&](Icon* icon) {
    if (instance == 0) {
      icon->image = SystemIcon(IdOf(name));
    } else if (instance == kSelfInstance) {
      if (n == "TILMOR" || n == "#1") icon->image = TilmorIcon();
    } else {
      win::IconImage img;
      if (win::ModuleIcon(instance, n, &img)) icon->image = FromImage(img);
    }
    return !icon->image.isNull();
  });
}

HICON ExtractIconA(HINSTANCE, LPCSTR file, UINT index) {
  if (!file) return 0;
  const bool count = index == 0xFFFFFFFFu;
  // An icon file holds one icon, in several sizes.
  std::vector<win::IconImage> images;
  if (win::ReadIcoFile(file, &images)) {
    if (count) return 1;
    if (index != 0) return 0;
    size_t best = 0;
    for (size_t i = 1; i < images.size(); ++i) {
      const int da = std::abs(images[i].width - 32), db = std::abs(images[best].width - 32);
      if (da < db || (da == db && images[i].bitCount > images[best].bitCount)) best = i;
    }
    Icon icon;
    icon.image = FromImage(images[best]);
    return icon.image.isNull() ? 0 : Add(std::move(icon));
  }
  const HINSTANCE module = win::LoadModuleResources(file);
  if (!module) return 0;
  HICON result = 0;
  if (count) {
    result = win::ModuleIconCount(module);
  } else {
    win::IconImage img;
    if (win::ModuleIconAt(module, static_cast<int>(index), &img)) {
      Icon icon;
      icon.image = FromImage(img);
      if (!icon.image.isNull()) result = Add(std::move(icon));
    }
  }
  win::FreeModuleResources(module);
  return result;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON h) {
  auto it = g_icons.find(h);
  if (it == g_icons.end() || it->second.image.isNull()) return FALSE;
  QImage img = it->second.image;
  // On a scaled context the icon takes its size in logical units.
  std::optional<DeviceUnits> device;
  if (const Mapping* m = ScaledMapping(hdc)) {
    int w = img.width(), h = img.height();
    BoxToDevice(m, x, y, w, h);
    if (w <= 0 || h <= 0) return TRUE;
    if (static_cast<long long>(w) * h > 16LL * 1024 * 1024) return FALSE;
    img = img.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    device.emplace(hdc);
  }
  // What lies below, blended with the icon, and put back.
  HGDIOBJ under = CreateCompatibleBitmap(hdc, img.width(), img.height());
  if (!under) return FALSE;
  HDC mem = CreateCompatibleDC(hdc);
  HGDIOBJ old = SelectObject(mem, under);
  BOOL ok = BitBlt(mem, 0, 0, img.width(), img.height(), hdc, x, y, SRCCOPY);
  if (ok) {
    QImage back;
    BitmapImage(under, &back);
    QPainter p(&back);
    p.drawImage(0, 0, img);
    p.end();
    HGDIOBJ blended = BitmapFromImage(back);
    SelectObject(mem, blended);
    ok = BitBlt(hdc, x, y, img.width(), img.height(), mem, 0, 0, SRCCOPY);
    SelectObject(mem, under);
    DeleteObject(blended);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(under);
  return ok;
}

BOOL DestroyIcon(HICON icon) { return Destroy(icon) ? TRUE : FALSE; }
BOOL DestroyCursor(HCURSOR cursor) { return Destroy(cursor) ? TRUE : FALSE; }

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (!name) return 0;
  const std::string n = NameOf(name);
  return Shared("C" + std::to_string(instance) + n, [&](Icon* c) {
    c->cursor = true;
    if (instance == 0) return (c->shape = SystemCursorShape(IdOf(name))) >= 0;
    if (instance == kSelfInstance) return OwnCursor(n, c);
    win::IconImage img;
    if (!win::ModuleCursor(instance, n, &img)) return false;
    c->image = FromImage(img);
    c->hot = QPoint(img.hotX, img.hotY);
    return !c->image.isNull();
  });
}

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR old = g_current;
  if (cursor && !g_icons.count(cursor)) return old;
  g_current = cursor;
  if (HWND hwnd = WindowUnderPointer()) {
    Wnd* w = Find(hwnd);
    g_windowCursor[hwnd] = {cursor, w};
    if (w && w->widget)
      w->widget->setCursor(cursor ? QtCursor(cursor) : QCursor(Qt::BlankCursor));
  }
  return old;
}

DWORD SetClassLongA(HWND hwnd, int index, LONG value) {
  Wnd* w = Find(hwnd);
  if (!w || !w->cls) return 0;
  // The class lives in the window system's own table.
  auto* cls = const_cast<WndClass*>(w->cls);
  DWORD old = 0;
  switch (index) {
    case GCL_HCURSOR:
      old = static_cast<DWORD>(cls->cursor);
      cls->cursor = value;
      for (auto& [h, other] : S().windows) {
        if (other->cls != cls) continue;
        g_windowCursor.erase(h);
        ShowCursorOn(h, value);
      }
      break;
    case GCL_HICON:
      old = static_cast<DWORD>(cls->icon);
      cls->icon = value;
      for (auto& [h, other] : S().windows) {
        if (other->cls != cls || !other->widget || !other->widget->isWindow()) continue;
        auto it = g_icons.find(value);
        other->widget->setWindowIcon(it == g_icons.end() || it->second.image.isNull()
                                         ? QIcon()
                                         : QIcon(QPixmap::fromImage(it->second.image)));
      }
      break;
    default:
      return 0;
  }
  return old;
}

DWORD GetClassLongA(HWND hwnd, int index) {
  Wnd* w = Find(hwnd);
  if (!w || !w->cls) return 0;
  switch (index) {
    case GCL_HCURSOR: return static_cast<DWORD>(w->cls->cursor);
    case GCL_HICON: return static_cast<DWORD>(w->cls->icon);
    default: return 0;
  }
}

namespace win {

QImage IconImageOf(HICON icon) {
  auto it = g_icons.find(icon);
  return it == g_icons.end() ? QImage() : it->second.image;
}

int CursorShapeOf(HCURSOR cursor) {
  auto it = g_icons.find(cursor);
  if (it == g_icons.end()) return -1;
  return it->second.shape >= 0 ? it->second.shape : static_cast<int>(Qt::BitmapCursor);
}

HCURSOR WindowCursor(HWND hwnd) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  auto it = g_windowCursor.find(hwnd);
  if (it != g_windowCursor.end() && it->second.second == w) return it->second.first;
  return w->cls ? w->cls->cursor : 0;
}

}  // namespace win
