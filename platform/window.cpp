// Windows and window classes.
#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstring>

#include "batch.h"
#include "codepage.h"
#include "hostwidget.h"
#include "menus/menus.h"
#include "window_impl.h"
#include "wingdi.h"

namespace win::detail {

State& S() {
  static State state;
  return state;
}

Wnd* Find(HWND hwnd) {
  auto& m = S().windows;
  auto it = m.find(hwnd);
  return it == m.end() ? nullptr : it->second.get();
}

QSize ClientSize(const Wnd* w) { return w->geom.size().expandedTo(QSize(0, 0)); }

// Windows keep windows within a few screens' size; so do we, which keeps
// a program's absurd WINDOW or SETWINDOWPOS from allocating gigabytes.
constexpr int kMaxWindowSide = 8192;
constexpr int kMaxWindowPos = 32767;

QRect LimitGeometry(int x, int y, int w, int h) {
  return QRect(std::clamp(x, -kMaxWindowPos, kMaxWindowPos), std::clamp(y, -kMaxWindowPos, kMaxWindowPos),
               std::clamp(w, 0, kMaxWindowSide), std::clamp(h, 0, kMaxWindowSide));
}

void ResizeSurface(Wnd* w, QSize client) {
  client = client.expandedTo(QSize(1, 1));
  if (w->surface.size() == client) return;
  w->deferred.Settle(w->surface);
  QImage img(client, QImage::Format_RGB32);
  img.fill(Qt::white);
  if (!w->surface.isNull()) {
    for (int y = 0; y < std::min(img.height(), w->surface.height()); ++y)
      std::memcpy(img.scanLine(y), w->surface.constScanLine(y),
                  static_cast<size_t>(std::min(img.width(), w->surface.width())) * 4);
  }
  w->surface = std::move(img);
}

void SurfaceChanged(Wnd* w, const QRect& area) {
  // Nobody sees a batch run's widgets; repainting them only costs time.
  if (w->widget && !win::IsBatchMode()) w->widget->update(area.translated(0, ClientTop(w)));
}

int ClientTop(const Wnd* w) { return w && w->widget ? w->widget->ClientTop() : 0; }

void PlaceWidget(Wnd* w) {
  if (!w->widget) return;
  if (w->parent)
    w->widget->setGeometry(w->geom.translated(0, ClientTop(Find(w->parent))));
  else
    w->widget->setGeometry(w->geom.adjusted(0, 0, 0, ClientTop(w)));
}

// Row by row in place, in the order that reads every row before it is
// overwritten; memmove copes with the overlap within a row.
void MoveRows(QImage& img, const QRect& area, const QRect& target, int dx, int dy) {
  const size_t bytes = static_cast<size_t>(std::max(0, target.width())) * 4;
  for (int i = 0; i < target.height(); ++i) {
    int y = dy > 0 ? target.bottom() - i : target.top() + i;
    int sy = y - dy;
    if (sy < area.top() || sy > area.bottom()) continue;
    std::memmove(img.scanLine(y) + target.left() * 4, img.constScanLine(sy) + (target.left() - dx) * 4, bytes);
  }
}

}  // namespace win::detail

using namespace win::detail;

namespace {

std::string Upper(const char* s) {
  std::string u = s ? s : "";
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

QString Qt1252(const std::string& s) { return QString::fromStdString(win::Cp1252ToUtf8(s)); }

void SetTitle(Wnd* w, const char* text) {
  w->title = text ? text : "";
  if (w->widget && w->widget->isWindow()) w->widget->setWindowTitle(Qt1252(w->title));
}

LRESULT CopyTitle(const Wnd* w, WPARAM size, char* buffer) {
  if (!buffer || size == 0) return 0;
  size_t n = std::min<size_t>(size - 1, w->title.size());
  std::memcpy(buffer, w->title.data(), n);
  buffer[n] = 0;
  return static_cast<LRESULT>(n);
}

// A control keeps its text itself: it is asked with messages.
bool TextByMessage(const Wnd* w) { return w->cls && w->cls->system; }

QWidget* ParentWidget(const Wnd* w) {
  if (w->parent) {
    Wnd* p = Find(w->parent);
    return p ? p->widget : nullptr;
  }
  return nullptr;
}

void ApplyGeometry(Wnd* w) {
  if (!w->widget) return;
  PlaceWidget(w);
  ResizeSurface(w, w->geom.size());
}

void DestroyTree(HWND hwnd) {
  Wnd* w = Find(hwnd);
  if (!w || w->destroying) return;
  w->destroying = true;
  State& s = S();
  // Owned top-level windows go first, then children, as Windows does.
  for (HWND h : std::vector<HWND>(s.order))
    if (Wnd* o = Find(h); o && o->owner == hwnd) DestroyTree(h);
  if (w->proc) w->proc(hwnd, WM_DESTROY, 0, 0);
  for (HWND c : std::vector<HWND>(w->children)) DestroyTree(c);
  DropWindowMenu(hwnd);
  if (w->parent)
    if (Wnd* p = Find(w->parent)) std::erase(p->children, hwnd);
  if (s.focus == hwnd) s.focus = 0;
  if (s.active == hwnd) s.active = 0;
  if (s.capture == hwnd) s.capture = 0;
  if (s.caretWnd == hwnd) s.caretWnd = 0;
  std::erase_if(s.queue, [hwnd](const QueuedMsg& q) { return q.msg.hwnd == hwnd; });
  std::vector<UINT> timers;
  for (const Timer& t : s.timers)
    if (t.hwnd == hwnd) timers.push_back(t.id);
  for (UINT id : timers) KillTimer(hwnd, id);
  if (w->widget) {
    w->widget->Detach();
    w->widget->hide();
    w->widget->deleteLater();
    w->widget = nullptr;
  }
  std::erase(s.order, hwnd);
  s.windows.erase(hwnd);
}

}  // namespace

BOOL RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName) return FALSE;
  WndClass c;
  c.name = wc->lpszClassName;
  c.style = wc->style;
  c.proc = wc->lpfnWndProc;
  c.wndExtra = wc->cbWndExtra;
  c.icon = wc->hIcon;
  c.cursor = wc->hCursor;
  c.background = wc->hbrBackground;
  S().classes[Upper(wc->lpszClassName)] = c;
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* wc) {
  RegisterSystemClasses();
  auto it = S().classes.find(Upper(className));
  if (it == S().classes.end()) return FALSE;
  if (wc) {
    wc->style = it->second.style;
    wc->lpfnWndProc = it->second.proc;
    wc->cbWndExtra = it->second.wndExtra;
    wc->hIcon = it->second.icon;
    wc->hCursor = it->second.cursor;
    wc->hbrBackground = it->second.background;
    wc->lpszClassName = it->second.name.c_str();
  }
  return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size) {
  Wnd* w = Find(hwnd);
  if (!w || !w->cls || size <= 0) return 0;
  int n = std::min<int>(size - 1, static_cast<int>(w->cls->name.size()));
  std::memcpy(buffer, w->cls->name.data(), static_cast<size_t>(n));
  buffer[n] = 0;
  return n;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  RegisterSystemClasses();
  State& s = S();
  auto it = s.classes.find(Upper(className));
  if (it == s.classes.end()) return 0;
  auto w = std::make_unique<Wnd>();
  HWND hwnd = s.nextHandle++;
  w->hwnd = hwnd;
  w->cls = &it->second;
  w->proc = it->second.proc;
  w->style = style;
  w->exStyle = exStyle;
  w->instance = instance;
  w->title = title ? title : "";
  w->extra.assign(static_cast<size_t>(std::max(0, it->second.wndExtra) + 3) / 4, 0);
  bool child = (style & WS_CHILD) != 0;
  if (child) {
    if (!Find(parent)) return 0;
    w->parent = parent;
    w->id = static_cast<int>(menu);
  } else {
    w->owner = Find(parent) ? parent : 0;
  }
  if (x == CW_USEDEFAULT) x = 0, y = 0;
  if (width == CW_USEDEFAULT) width = 640, height = 480;
  w->geom = LimitGeometry(x, y, width, height);

  Wnd* raw = w.get();
  s.windows[hwnd] = std::move(w);
  s.order.push_back(hwnd);
  if (child) Find(parent)->children.push_back(hwnd);

  raw->widget = new HostWidget(hwnd, ParentWidget(raw));
  // Made disabled (dialog templates say so for their controls).
  raw->enabled = !(style & WS_DISABLED);
  raw->widget->setEnabled(raw->enabled);
  if (!child) raw->widget->setWindowTitle(Qt1252(raw->title));
  ApplyGeometry(raw);
  if (!child && menu) SetMenu(hwnd, menu);

  if (raw->proc && raw->proc(hwnd, WM_CREATE, 0, static_cast<LPARAM>(reinterpret_cast<intptr_t>(param)) ) == -1) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (!Find(hwnd)) return 0;
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
  if (!Find(hwnd)) return FALSE;
  DestroyTree(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT:
      if (Wnd* w = Find(hwnd)) SetTitle(w, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_GETTEXT: {
      Wnd* w = Find(hwnd);
      return w ? CopyTitle(w, wParam, reinterpret_cast<char*>(lParam)) : 0;
    }
    case WM_GETTEXTLENGTH: {
      Wnd* w = Find(hwnd);
      return w ? static_cast<LRESULT>(w->title.size()) : 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  BOOL was = w->visible;
  QWidget* q = w->widget;
  switch (cmd) {
    case SW_HIDE:
      w->visible = false;
      if (q) q->hide();
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
      w->visible = true;
      w->show = SW_SHOWMINIMIZED;
      if (q) q->showMinimized();
      break;
    case SW_SHOWMAXIMIZED:
      w->visible = true;
      if (w->show != SW_SHOWMAXIMIZED && q) w->normalGeom = q->geometry();
      w->show = SW_SHOWMAXIMIZED;
      if (q) {
        q->showMaximized();
        if (q->isWindow() && QGuiApplication::primaryScreen()) {
          // Window managers (and the offscreen platform) may not maximise.
          QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
          q->setGeometry(avail);
        }
      }
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: {
      w->visible = true;
      bool wasMaximised = w->show == SW_SHOWMAXIMIZED;
      w->show = SW_SHOWNORMAL;
      if (q) {
        q->showNormal();
        // The size was set by hand when maximising; put it back the same way.
        if (wasMaximised && q->isWindow() && w->normalGeom.isValid()) q->setGeometry(w->normalGeom);
      }
      break;
    }
    default:
      w->visible = true;
      if (q) q->show();
      break;
  }
  if (w->visible && !was) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (q && q->isWindow()) {
      q->raise();
      q->activateWindow();
      S().active = hwnd;
    }
  }
  return was;
}

BOOL IsWindowVisible(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w && w->visible ? TRUE : FALSE;
}
BOOL IsIconic(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w && w->show == SW_SHOWMINIMIZED ? TRUE : FALSE;
}
BOOL IsZoomed(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w && w->show == SW_SHOWMAXIMIZED ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  BOOL wasDisabled = !w->enabled;
  w->enabled = enable != 0;
  if (w->widget) w->widget->setEnabled(w->enabled);
  if (wasDisabled == w->enabled) SendMessageA(hwnd, WM_ENABLE, w->enabled ? TRUE : FALSE, 0);
  return wasDisabled;
}
BOOL IsWindowEnabled(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w && w->enabled ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  QRect g = w->geom;
  if (!(flags & SWP_NOMOVE)) g.moveTo(LimitGeometry(x, y, 0, 0).topLeft());
  if (!(flags & SWP_NOSIZE)) g.setSize(LimitGeometry(0, 0, cx, cy).size());
  bool resized = g.size() != w->geom.size();
  bool moved = g.topLeft() != w->geom.topLeft();
  w->geom = g;
  ApplyGeometry(w);
  if (!(flags & SWP_NOZORDER) && w->parent) {
    Wnd* p = Find(w->parent);
    std::erase(p->children, hwnd);
    auto at = std::find(p->children.begin(), p->children.end(), insertAfter);
    p->children.insert(at == p->children.end() ? p->children.begin() : at + 1, hwnd);
  }
  if (!(flags & SWP_NOZORDER) && w->widget && !w->parent) w->widget->raise();
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (moved) Post(hwnd, WM_MOVE, 0, MAKELPARAM(g.x(), g.y()));
  if (resized) {
    Post(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(g.width(), g.height()));
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int w, int h, BOOL) {
  return SetWindowPos(hwnd, 0, x, y, w, h, SWP_NOZORDER);
}

BOOL GetWindowRect(HWND hwnd, RECT* r) {
  Wnd* w = Find(hwnd);
  if (!w || !r) return FALSE;
  QPoint origin = w->geom.topLeft();
  for (Wnd* p = Find(w->parent); p; p = Find(p->parent)) origin += p->geom.topLeft() + QPoint(0, ClientTop(p));
  *r = RECT{origin.x(), origin.y(), origin.x() + w->geom.width(), origin.y() + w->geom.height()};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
  Wnd* w = Find(hwnd);
  if (!w || !r) return FALSE;
  *r = RECT{0, 0, w->geom.width(), w->geom.height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  RECT r;
  if (!pt || !GetWindowRect(hwnd, &r)) return FALSE;
  pt->x += r.left;
  pt->y += r.top + ClientTop(Find(hwnd));
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  RECT r;
  if (!pt || !GetWindowRect(hwnd, &r)) return FALSE;
  pt->x -= r.left;
  pt->y -= r.top + ClientTop(Find(hwnd));
  return TRUE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  if (TextByMessage(w))
    return SendMessageA(hwnd, WM_SETTEXT, 0, static_cast<LPARAM>(reinterpret_cast<intptr_t>(text))) ? TRUE : FALSE;
  SetTitle(w, text);
  return TRUE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
  Wnd* w = Find(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  if (TextByMessage(w))
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         static_cast<LPARAM>(reinterpret_cast<intptr_t>(buffer))));
  return static_cast<int>(CopyTitle(w, static_cast<WPARAM>(size), buffer));
}

int GetWindowTextLengthA(HWND hwnd) {
  Wnd* w = Find(hwnd);
  if (w && TextByMessage(w)) return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
  return w ? static_cast<int>(w->title.size()) : 0;
}

LONG GetWindowLongA(HWND hwnd, int index) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    case GWL_USERDATA: return w->userData;
    default:
      if (index >= 0 && index % 4 == 0 && static_cast<size_t>(index / 4) < w->extra.size())
        return w->extra[static_cast<size_t>(index / 4)];
      return 0;
  }
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  LONG old = GetWindowLongA(hwnd, index);
  switch (index) {
    case GWL_STYLE: w->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_ID: w->id = value; break;
    case GWL_USERDATA: w->userData = value; break;
    default:
      if (index >= 0 && index % 4 == 0 && static_cast<size_t>(index / 4) < w->extra.size())
        w->extra[static_cast<size_t>(index / 4)] = value;
  }
  return old;
}

HWND GetParent(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w ? (w->parent ? w->parent : w->owner) : 0;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  if (cmd == GW_OWNER) return w->owner;
  if (cmd == GW_CHILD) return w->children.empty() ? 0 : w->children.front();
  std::vector<HWND> siblings;
  if (w->parent) {
    siblings = Find(w->parent)->children;
  } else {
    for (HWND h : S().order)
      if (Wnd* o = Find(h); o && !o->parent) siblings.push_back(h);
  }
  auto at = std::find(siblings.begin(), siblings.end(), hwnd);
  switch (cmd) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return (at + 1) < siblings.end() ? *(at + 1) : 0;
    case GW_HWNDPREV: return at > siblings.begin() ? *(at - 1) : 0;
    default: return 0;
  }
}

// The desktop is no window of ours; it has a fixed handle.
HWND GetDesktopWindow() { return 0x0010; }

HWND FindWindowA(LPCSTR className, LPCSTR title) {
  std::string cls = Upper(className);
  for (HWND h : S().order) {
    Wnd* w = Find(h);
    if (!w || w->parent) continue;
    if (className && *className && Upper(w->cls->name.c_str()) != cls) continue;
    if (title && w->title != title) continue;
    return h;
  }
  return 0;
}

int GetDlgCtrlID(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w ? w->id : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
  Wnd* w = Find(dialog);
  if (!w) return 0;
  for (HWND c : w->children)
    if (Find(c)->id == id) return c;
  return 0;
}

HWND SetFocus(HWND hwnd) {
  State& s = S();
  HWND old = s.focus;
  if (hwnd && !Find(hwnd)) return 0;
  if (hwnd == old) return old;
  s.focus = hwnd;
  if (old && Find(old)) SendMessageA(old, WM_KILLFOCUS, static_cast<WPARAM>(hwnd), 0);
  if (hwnd) {
    Wnd* w = Find(hwnd);
    if (w && w->widget) w->widget->setFocus(Qt::OtherFocusReason);
    if (Find(hwnd)) SendMessageA(hwnd, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
  }
  return old;
}

HWND GetFocus() {
  HWND f = S().focus;
  return Find(f) ? f : 0;
}

HWND GetActiveWindow() {
  HWND a = S().active;
  return Find(a) ? a : 0;
}

HWND SetActiveWindow(HWND hwnd) {
  Wnd* w = Find(hwnd);
  if (!w) return 0;
  HWND old = GetActiveWindow();
  S().active = hwnd;
  if (w->widget) w->widget->activateWindow();
  return old;
}

HWND SetCapture(HWND hwnd) {
  HWND old = S().capture;
  S().capture = hwnd;
  if (Wnd* w = Find(hwnd); w && w->widget) w->widget->grabMouse();
  return old;
}

BOOL ReleaseCapture() {
  if (Wnd* w = Find(S().capture); w && w->widget) w->widget->releaseMouse();
  S().capture = 0;
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  QRect area = r ? QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1))
                 : QRect(QPoint(0, 0), ClientSize(w));
  w->update += area.intersected(QRect(QPoint(0, 0), ClientSize(w)));
  if (erase) w->erase = true;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  if (!r)
    w->update = QRegion();
  else
    w->update -= QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1));
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  if (!w->update.isEmpty()) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  QRect b = w->update.boundingRect();
  if (r) *r = RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return w->update.isEmpty() ? FALSE : TRUE;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
  Wnd* w = Find(hwnd);
  if (!w) return FALSE;
  QRect all(QPoint(0, 0), w->surface.size());
  QRect area = scroll ? QRect(QPoint(scroll->left, scroll->top), QPoint(scroll->right - 1, scroll->bottom - 1)) : all;
  QRect bounds = clip ? QRect(QPoint(clip->left, clip->top), QPoint(clip->right - 1, clip->bottom - 1)) : all;
  area &= all;
  QRect target = area.translated(dx, dy) & bounds & all;
  if (dx == 0 && dy < 0 && target.left() == 0 && target.width() == all.width() && target.top() == area.top() &&
      target.bottom() == area.bottom() + dy) {
    // The text window scrolling up by a line.
    w->deferred.Scroll(w->surface, area.top(), area.bottom() + 1, -dy);
  } else {
    w->deferred.Settle(w->surface);
    MoveRows(w->surface, area, target, dx, dy);
  }
  QRegion uncovered = QRegion(area & bounds) - QRegion(target);
  w->update += uncovered;
  w->update.translate(0, 0);
  SurfaceChanged(w, all);
  return TRUE;
}

BOOL CreateCaret(HWND hwnd, HGDIOBJ, int width, int height) {
  State& s = S();
  if (!Find(hwnd)) return FALSE;
  s.caretWnd = hwnd;
  s.caret = QRect(0, 0, std::max(1, width), std::max(1, height));
  s.caretShow = 0;
  return TRUE;
}

BOOL DestroyCaret() {
  State& s = S();
  if (Wnd* w = Find(s.caretWnd)) SurfaceChanged(w, s.caret);
  s.caretWnd = 0;
  s.caretShow = 0;
  return TRUE;
}

BOOL ShowCaret(HWND) {
  State& s = S();
  if (!Find(s.caretWnd)) return FALSE;
  ++s.caretShow;
  SurfaceChanged(Find(s.caretWnd), s.caret);
  return TRUE;
}

BOOL HideCaret(HWND) {
  State& s = S();
  if (!Find(s.caretWnd)) return FALSE;
  --s.caretShow;
  SurfaceChanged(Find(s.caretWnd), s.caret);
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  State& s = S();
  Wnd* w = Find(s.caretWnd);
  if (!w) return FALSE;
  SurfaceChanged(w, s.caret);
  s.caret.moveTo(x, y);
  SurfaceChanged(w, s.caret);
  return TRUE;
}

int ShowCursor(BOOL show) {
  State& s = S();
  s.cursorCount += show ? 1 : -1;
  if (QGuiApplication::instance()) {
    if (s.cursorCount < 0 && !QGuiApplication::overrideCursor())
      QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    else if (s.cursorCount >= 0 && QGuiApplication::overrideCursor())
      QGuiApplication::restoreOverrideCursor();
  }
  return s.cursorCount;
}

namespace {

Wnd::Scroll* ScrollOf(HWND hwnd, int bar) {
  Wnd* w = Find(hwnd);
  return w && bar >= SB_HORZ && bar <= SB_CTL ? &w->scroll[bar] : nullptr;
}

}  // namespace

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL) {
  Wnd::Scroll* s = ScrollOf(hwnd, bar);
  if (!s) return FALSE;
  s->min = min;
  s->max = max;
  s->pos = std::clamp(s->pos, std::min(min, max), std::max(min, max));
  if (bar == SB_CTL) ScrollControlChanged(hwnd);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  Wnd::Scroll* s = ScrollOf(hwnd, bar);
  if (!s) return FALSE;
  if (min) *min = s->min;
  if (max) *max = s->max;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL) {
  Wnd::Scroll* s = ScrollOf(hwnd, bar);
  if (!s) return 0;
  int old = s->pos;
  s->pos = std::clamp(pos, std::min(s->min, s->max), std::max(s->min, s->max));
  if (bar == SB_CTL) ScrollControlChanged(hwnd);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  Wnd::Scroll* s = ScrollOf(hwnd, bar);
  return s ? s->pos : 0;
}

namespace win {

std::vector<HWND> AllWindows() { return S().order; }

QWidget* QtWidgetOf(HWND hwnd) {
  Wnd* w = detail::Find(hwnd);
  return w ? w->widget : nullptr;
}

QImage WindowImage(HWND hwnd) {
  Wnd* w = detail::Find(hwnd);
  if (!w) return QImage();
  w->deferred.Settle(w->surface);
  QImage img = w->surface.copy();
  if (w->children.empty() || !w->widget) return img;
  // The child windows and controls on top, as the user sees them.
  QPainter p(&img);
  for (QObject* o : w->widget->children()) {
    auto* child = dynamic_cast<HostWidget*>(o);
    Wnd* c = child ? detail::Find(child->hwnd()) : nullptr;
    if (!c || !c->visible) continue;
    // Below a menu bar the widgets sit lower than in the client area.
    child->render(&p, child->geometry().topLeft() - QPoint(0, ClientTop(w)), QRegion(), QWidget::DrawChildren);
  }
  return img;
}

void ResetWindowSystem() {
  State& s = S();
  for (HWND h : std::vector<HWND>(s.order))
    if (detail::Find(h) && !detail::Find(h)->parent) DestroyWindow(h);
  s.queue.clear();
  s.quit = false;
  s.focus = s.active = s.capture = 0;
}

}  // namespace win
