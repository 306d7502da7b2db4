#include "hostwidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "codepage.h"
#include "window_impl.h"

namespace win::detail {

int VirtualKeyOf(int k, Qt::KeyboardModifiers mods) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: case Qt::Key_Cancel:
      return (mods & Qt::ControlModifier) ? VK_CANCEL : VK_PAUSE;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Plus: return 0xBB;
    default: return 0;
  }
}

int QtKeyOfVirtualKey(int vk) {
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

void FocusedByUser(HWND hwnd) {
  State& s = S();
  if (s.focus == hwnd || !Find(hwnd)) return;
  HWND old = s.focus;
  s.focus = hwnd;
  if (old && Find(old)) Post(old, WM_KILLFOCUS, static_cast<WPARAM>(hwnd), 0);
  Post(hwnd, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
}

void NotifyParents(HWND child, UINT msg, QPoint pt) {
  // Up the chain of child windows, as long as none asks not to tell.
  constexpr DWORD kNoParentNotify = 0x4;
  for (Wnd* w = Find(child); w && w->parent && !(w->exStyle & kNoParentNotify) && !w->destroying;
       w = Find(w->parent)) {
    pt += w->geom.topLeft();
    Post(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<int>(msg), 0), MAKELPARAM(pt.x(), pt.y()));
  }
}

HostWidget::HostWidget(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void HostWidget::paintEvent(QPaintEvent* e) {
  Wnd* w = Find(hwnd_);
  QPainter p(this);
  p.translate(0, clientTop_);
  QRect area = e->rect().translated(0, -clientTop_);
  if (!w || w->surface.isNull()) {
    p.fillRect(area, Qt::white);
    return;
  }
  w->deferred.Settle(w->surface);
  p.drawImage(area.topLeft(), w->surface, area);
  State& s = S();
  if (s.caretWnd == hwnd_ && s.caretShow > 0) p.fillRect(s.caret, QColor(0, 0, 0));
}

void HostWidget::SetMenuBar(QWidget* bar, int height) {
  bar_ = bar;
  clientTop_ = bar ? height : 0;
  if (bar_) bar_->setGeometry(0, 0, width(), clientTop_);
}

void HostWidget::resizeEvent(QResizeEvent*) {
  if (bar_) bar_->setGeometry(0, 0, width(), clientTop_);
  Wnd* w = Find(hwnd_);
  if (!w) return;
  if (!isWindow()) return;  // child geometry is set by the layer itself
  QSize client(width(), std::max(0, height() - clientTop_));
  if (w->geom.size() == client) return;  // the layer resized it and told the window
  w->geom.setSize(client);
  ResizeSurface(w, client);
  WPARAM kind = w->show == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED
                : w->show == SW_SHOWMINIMIZED ? SIZE_MINIMIZED
                                              : SIZE_RESTORED;
  Post(hwnd_, WM_SIZE, kind, MAKELPARAM(client.width(), client.height()));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void HostWidget::moveEvent(QMoveEvent*) {
  Wnd* w = Find(hwnd_);
  // The client area's position, not the frame's: the layer's rectangles are client rectangles.
  QPoint at = geometry().topLeft();
  if (!w || !isWindow() || w->geom.topLeft() == at) return;
  w->geom.moveTopLeft(at);
  Post(hwnd_, WM_MOVE, 0, MAKELPARAM(at.x(), at.y()));
}

void HostWidget::closeEvent(QCloseEvent* e) {
  // The window procedure decides; DefWindowProcA destroys the window.
  e->ignore();
  if (Find(hwnd_)) Post(hwnd_, WM_CLOSE, 0, 0);
}

void HostWidget::keyPressEvent(QKeyEvent* e) {
  int vk = VirtualKeyOf(e->key(), e->modifiers());
  QString text = e->text();
  if (vk == 0 && text.isEmpty()) return;
  if (vk) {
    State& s = S();
    s.keyDown[vk] = true;
    s.keyPressed[vk] = true;
  }
  LPARAM l = 1 | ((e->nativeScanCode() & 0xFF) << 16) | (e->isAutoRepeat() ? (1 << 30) : 0);
  Post(hwnd_, WM_KEYDOWN, static_cast<WPARAM>(vk), l, text);
}

void HostWidget::keyReleaseEvent(QKeyEvent* e) {
  int vk = VirtualKeyOf(e->key(), e->modifiers());
  if (e->isAutoRepeat()) return;
  if (vk) S().keyDown[vk] = false;
  if (vk) Post(hwnd_, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u));
}

void HostWidget::Mouse(QMouseEvent* e, UINT msg) {
  WPARAM keys = 0;
  Qt::MouseButtons b = e->buttons();
  if (b & Qt::LeftButton) keys |= MK_LBUTTON;
  if (b & Qt::RightButton) keys |= MK_RBUTTON;
  if (b & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (e->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (e->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  QPoint p = e->position().toPoint() - QPoint(0, clientTop_);
  Post(hwnd_, msg, keys, MAKELPARAM(p.x(), p.y()));
}

void HostWidget::mousePressEvent(QMouseEvent* e) {
  State& s = S();
  if (e->button() == Qt::LeftButton) s.keyDown[VK_LBUTTON] = s.keyPressed[VK_LBUTTON] = true;
  if (e->button() == Qt::RightButton) s.keyDown[VK_RBUTTON] = s.keyPressed[VK_RBUTTON] = true;
  UINT down = e->button() == Qt::LeftButton    ? WM_LBUTTONDOWN
              : e->button() == Qt::RightButton ? WM_RBUTTONDOWN
                                               : WM_MBUTTONDOWN;
  // A control's own widget has told its parents already.
  if (!property("tilmorControl").toBool()) NotifyParents(hwnd_, down, e->position().toPoint());
  if (e->button() == Qt::LeftButton) Mouse(e, WM_LBUTTONDOWN);
  else if (e->button() == Qt::RightButton) Mouse(e, WM_RBUTTONDOWN);
  else if (e->button() == Qt::MiddleButton) Mouse(e, WM_MBUTTONDOWN);
}

void HostWidget::mouseReleaseEvent(QMouseEvent* e) {
  State& s = S();
  if (e->button() == Qt::LeftButton) s.keyDown[VK_LBUTTON] = false;
  if (e->button() == Qt::RightButton) s.keyDown[VK_RBUTTON] = false;
  if (e->button() == Qt::LeftButton) Mouse(e, WM_LBUTTONUP);
  else if (e->button() == Qt::RightButton) Mouse(e, WM_RBUTTONUP);
  else if (e->button() == Qt::MiddleButton) Mouse(e, WM_MBUTTONUP);
}

void HostWidget::mouseDoubleClickEvent(QMouseEvent* e) {
  Wnd* w = Find(hwnd_);
  bool dbl = w && w->cls && (w->cls->style & CS_DBLCLKS);
  if (e->button() == Qt::LeftButton) Mouse(e, dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN);
  else if (e->button() == Qt::RightButton) Mouse(e, dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN);
}

void HostWidget::mouseMoveEvent(QMouseEvent* e) { Mouse(e, WM_MOUSEMOVE); }

void HostWidget::focusInEvent(QFocusEvent*) { FocusedByUser(hwnd_); }

void HostWidget::focusOutEvent(QFocusEvent*) {}

void HostWidget::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange) {
    if (Wnd* w = Find(hwnd_)) {
      Qt::WindowStates st = windowState();
      w->show = (st & Qt::WindowMinimized) ? SW_SHOWMINIMIZED
                : (st & Qt::WindowMaximized) ? SW_SHOWMAXIMIZED
                                              : SW_SHOWNORMAL;
    }
  }
  QWidget::changeEvent(e);
}

}  // namespace win::detail
