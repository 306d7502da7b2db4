// The Qt widget behind a window: shows the window's client pixels and turns
// Qt's input events into the window's WM_ messages.
#pragma once

#include <QWidget>

#include "wintypes.h"

namespace win::detail {

class HostWidget : public QWidget {
 public:
  HostWidget(HWND hwnd, QWidget* parent);
  HWND hwnd() const { return hwnd_; }
  void Detach() { hwnd_ = 0; }
  // A top-level window's menu bar lies above the client area: the widget
  // is that much taller than the client and draws and measures below it.
  void SetMenuBar(QWidget* bar, int height);
  int ClientTop() const { return clientTop_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void moveEvent(QMoveEvent*) override;
  void closeEvent(QCloseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void keyReleaseEvent(QKeyEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;
  void changeEvent(QEvent*) override;
  bool focusNextPrevChild(bool) override { return false; }

 private:
  void Mouse(QMouseEvent* e, UINT msg);
  HWND hwnd_;
  QWidget* bar_ = nullptr;
  int clientTop_ = 0;
};

// Virtual-key code of a Qt key (0 when it has none).
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers mods);
// The Qt key of a virtual-key code (Qt::Key_unknown when it has none).
int QtKeyOfVirtualKey(int vk);
// The user moved the focus to a window: WM_KILLFOCUS and WM_SETFOCUS follow.
void FocusedByUser(HWND hwnd);
// A mouse button went down on a child window at `pt` (its client
// coordinates): WM_PARENTNOTIFY to its parents.
void NotifyParents(HWND child, UINT buttonMsg, QPoint pt);

}  // namespace win::detail
