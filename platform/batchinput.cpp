// Batch-mode input: script actions and standard input as platform input.
#include "batchinput.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "batch.h"
#include "controls/controls.h"
#include "codepage.h"
#include "interrupt.h"
#include "menus/menus.h"
#include "hostwidget.h"
#include "window_impl.h"

using namespace win::detail;

namespace win {

HWND HandleOf(QWidget* w);

namespace {

HWND g_target = 0;
bool g_stdinDone = false;
// A dialog taking the script's input: keys go to its focused control, clicks
// to the control under the point.
HWND g_scope = 0;

// A press waits for the next delivery to be released, so that a program
// polling in between sees the key or button down, as a person's press lasts.
struct PendingRelease {
  enum { None, Key, Mouse } kind = None;
  int qtKey = 0;
  int vk = 0;
  Qt::MouseButton button = Qt::NoButton;
  QPoint pos;
  QPointer<QWidget> pressed;
};
PendingRelease g_release;

bool InScope(HWND hwnd) {
  for (Wnd* w = Find(hwnd); w; w = Find(w->parent))
    if (w->hwnd == g_scope) return true;
  return false;
}

QWidget* TargetWidget(bool keys) {
  // A control's keys go to its own Qt widget inside the window's.
  auto keyWidget = [](QWidget* w) { return w->focusProxy() ? w->focusProxy() : w; };
  if (g_scope) {
    if (Wnd* f = Find(S().focus); keys && f && f->widget && InScope(f->hwnd)) return keyWidget(f->widget);
    Wnd* d = Find(g_scope);
    return d ? d->widget : nullptr;
  }
  if (keys)
    if (Wnd* f = Find(S().focus); f && f->widget) return keyWidget(f->widget);
  if (Wnd* t = Find(g_target); t && t->widget) return t->widget;
  for (HWND h : S().order)
    if (Wnd* w = Find(h); w && !w->parent && w->visible && w->widget) return w->widget;
  return nullptr;
}

int QtKeyOfVk(int vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
  switch (vk) {
    case 0x03: return Qt::Key_Cancel;
    case 0x08: return Qt::Key_Backspace;
    case 0x09: return Qt::Key_Tab;
    case 0x0D: return Qt::Key_Return;
    case 0x10: return Qt::Key_Shift;
    case 0x11: return Qt::Key_Control;
    case 0x12: return Qt::Key_Alt;
    case 0x13: return Qt::Key_Pause;
    case 0x1B: return Qt::Key_Escape;
    case 0x20: return Qt::Key_Space;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x25: return Qt::Key_Left;
    case 0x26: return Qt::Key_Up;
    case 0x27: return Qt::Key_Right;
    case 0x28: return Qt::Key_Down;
    case 0x2D: return Qt::Key_Insert;
    case 0x2E: return Qt::Key_Delete;
    default: return Qt::Key_unknown;
  }
}

int QtKeyOfChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return Qt::Key_A + (c - 'a');
  if (c >= 'A' && c <= 'Z') return Qt::Key_A + (c - 'A');
  if (c >= '0' && c <= '9') return Qt::Key_0 + (c - '0');
  switch (c) {
    case '\r': return Qt::Key_Return;
    case '\t': return Qt::Key_Tab;
    case '\b': return Qt::Key_Backspace;
    case 27: return Qt::Key_Escape;
    case ' ': return Qt::Key_Space;
    default: return Qt::Key_unknown;
  }
}

// Script positions are client coordinates; a menu bar lies above the client.
QPointF AtClient(QWidget* w, QPoint p) {
  auto* host = dynamic_cast<HostWidget*>(w);
  return QPointF(p + QPoint(0, host ? host->ClientTop() : 0));
}

// The widget a click or move at client point p reaches, and the point in
// its coordinates: in a dialog the control under the point.
QWidget* PointTarget(QPoint p, QPoint* at) {
  QWidget* w = TargetWidget(false);
  if (!w) return nullptr;
  *at = AtClient(w, p).toPoint();
  if (g_scope)
    if (QWidget* c = w->childAt(*at)) {
      *at = c->mapFrom(w, *at);
      w = c;
    }
  return w;
}

void Send(QWidget* w, QEvent* e) {
  QCoreApplication::sendEvent(w, e);
  delete e;
}

void TypeChar(unsigned char c) {
  QWidget* w = TargetWidget(true);
  if (!w) return;
  QString text = QString::fromStdString(Cp1252ToUtf8(std::string(1, static_cast<char>(c))));
  int key = QtKeyOfChar(c);
  Send(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
  Send(w, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

bool ReleasePending() {
  PendingRelease r = g_release;
  g_release = PendingRelease{};
  if (r.kind == PendingRelease::Key) {
    if (QWidget* w = TargetWidget(true)) Send(w, new QKeyEvent(QEvent::KeyRelease, r.qtKey, Qt::NoModifier));
    S().keyDown[r.vk] = false;
    return true;
  }
  if (r.kind == PendingRelease::Mouse) {
    // The point pressed, in the pressed widget's coordinates.
    if (QWidget* w = r.pressed ? r.pressed.data() : TargetWidget(false))
      Send(w, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(r.pos), w->mapToGlobal(QPointF(r.pos)),
                              r.button, Qt::NoButton, Qt::NoModifier));
    return true;
  }
  return false;
}

void Deliver(const BatchAction& a) {
  switch (a.kind) {
    case ActionKind::Type:
      if (!a.value.empty()) TypeChar(static_cast<unsigned char>(a.value[0]));
      break;
    case ActionKind::Key: {
      QWidget* w = TargetWidget(true);
      int key = QtKeyOfVk(a.x);
      Qt::KeyboardModifiers mods = a.x == VK_CANCEL ? Qt::ControlModifier : Qt::NoModifier;
      QString text = a.x == VK_RETURN ? "\r" : a.x == VK_ESCAPE ? "\x1b" : a.x == VK_BACK ? "\b" : a.x == VK_TAB ? "\t" : "";
      if (w) Send(w, new QKeyEvent(QEvent::KeyPress, key, mods, text));
      if (key == Qt::Key_unknown && w) {
        // A key Qt has no name for still reaches the window with its code.
        S().keyDown[a.x] = S().keyPressed[a.x] = true;
        Post(HandleOf(w), WM_KEYDOWN, static_cast<WPARAM>(a.x), 1);
      }
      g_release = PendingRelease{PendingRelease::Key, key, a.x, Qt::NoButton, {}, {}};
      break;
    }
    case ActionKind::Click: {
      QPoint at;
      QWidget* w = PointTarget(QPoint(a.x, a.y), &at);
      if (!w) break;
      Qt::MouseButton b = a.right ? Qt::RightButton : Qt::LeftButton;
      Send(w, new QMouseEvent(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier));
      Send(w, new QMouseEvent(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), b, b,
                              Qt::NoModifier));
      g_release = PendingRelease{PendingRelease::Mouse, 0, 0, b, at, w};
      break;
    }
    case ActionKind::Move:
      if (QPoint at; QWidget* w = PointTarget(QPoint(a.x, a.y), &at)) {
        Send(w, new QMouseEvent(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton,
                                Qt::NoButton, Qt::NoModifier));
      }
      break;
    case ActionKind::Resize:
      if (HWND h = g_target ? g_target : 0; Find(h))
        SetWindowPos(h, 0, 0, 0, a.x, a.y, SWP_NOMOVE | SWP_NOZORDER);
      break;
    case ActionKind::Close:
      if (QWidget* w = TargetWidget(false)) w->close();
      break;
    case ActionKind::Wait:
      AdvanceVirtualTime(static_cast<unsigned long long>(a.x));
      break;
    case ActionKind::Menu:
      // An item of the menu bar; context menus take theirs while open.
      if (!DeliverMenuAction(a, g_target)) ReportUnfitAction(a);
      break;
    case ActionKind::Press:
    case ActionKind::SetText:
    case ActionKind::Select:
    case ActionKind::DblClick:
    case ActionKind::Scroll:
      if (!DeliverControlAction(a, 0)) ReportUnfitAction(a);
      break;
    default:
      break;
  }
}

}  // namespace

namespace detail {
int QtKeyOfVirtualKey(int vk) { return QtKeyOfVk(vk); }
}  // namespace detail

HWND HandleOf(QWidget* w) {
  auto* h = dynamic_cast<HostWidget*>(w);
  return h ? h->hwnd() : 0;
}

void SetInputTarget(HWND hwnd) { g_target = hwnd; }
HWND InputTarget() { return g_target; }

bool DeliverBatchInput(bool waiting) {
  if (!S().queue.empty()) return true;  // the previous input is not taken yet
  if (auto act = TakeInputAction()) {
    // A press lasts until the next input comes, as a person's press does.
    ReleasePending();
    Deliver(*act);
    return true;
  }
  if (!waiting || g_stdinDone) return false;
  // Standard input or a request to end, whichever comes first: a request
  // ends the wait as the end of the input does.
  struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {InterruptWakeFd(), POLLIN, 0}};
  while (!InterruptRequested() && ::poll(fds, fds[1].fd >= 0 ? 2 : 1, -1) < 0 && errno == EINTR) {
  }
  if (InterruptRequested()) return false;
  unsigned char c;
  ssize_t n = ::read(STDIN_FILENO, &c, 1);
  if (n != 1) {
    g_stdinDone = true;
    return false;
  }
  ReleasePending();
  TypeChar(c == '\n' ? '\r' : c);
  return true;
}

void DeliverInputAction(const BatchAction& a, HWND scope) {
  ReleasePending();
  HWND outer = g_scope;
  g_scope = scope;
  Deliver(a);
  // Nobody polls a dialog's keys and buttons: a press is over at once, so
  // that a click on a button clicks it.
  ReleasePending();
  g_scope = outer;
}

void PollInput() {
  if (IsBatchMode()) DeliverBatchInput(false);
}

bool SaveWindowPng(HWND hwnd, const std::string& path) {
  QImage img = WindowImage(hwnd);
  return !img.isNull() && img.save(QString::fromStdString(path), "PNG");
}

}  // namespace win
