// The window system's own state, shared by the files of the layer.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "deferred_scroll.h"
#include "winuser.h"

class QWidget;

namespace win::detail {

class HostWidget;

struct WndClass {
  std::string name;  // as registered
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  HANDLE icon = 0;
  HANDLE cursor = 0;
  HGDIOBJ background = 0;
  bool system = false;  // a standard control's class: its text lives in the control
};

struct Wnd {
  HWND hwnd = 0;
  const WndClass* cls = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = 0;  // for WS_CHILD windows
  HWND owner = 0;   // for top-level windows
  int id = 0;
  HINSTANCE instance = 0;  // the module that made it
  std::string title;  // Windows-1252
  QRect geom;         // window rectangle: screen (top-level) or parent client coordinates
  bool visible = false;
  bool enabled = true;
  int show = SW_SHOWNORMAL;  // SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED
  QRect normalGeom;          // where a maximised window goes back to
  std::vector<LONG> extra;
  LONG userData = 0;
  QImage surface;  // the client pixels
  DeferredScroll deferred;  // of the surface
  QRegion update;  // the update region
  bool erase = false;
  HostWidget* widget = nullptr;
  std::vector<HWND> children;  // in creation (z-) order
  struct Scroll {
    int min = 0, max = 100, pos = 0;
  } scroll[3];  // SB_HORZ, SB_VERT, SB_CTL
  bool destroying = false;
};

struct QueuedMsg {
  MSG msg;
  QString text;  // for WM_KEYDOWN: the characters the key produces
};

struct Timer {
  HWND hwnd = 0;
  UINT id = 0;
  UINT interval = 1;
  unsigned long long due = 0;  // in ms of the message clock
  bool fired = false;
  class QTimer* qt = nullptr;
};

struct State {
  std::map<HWND, std::unique_ptr<Wnd>> windows;
  std::vector<HWND> order;  // creation order of all windows
  std::map<std::string, WndClass> classes;  // by upper-cased name
  HWND nextHandle = 0x1000;
  HWND focus = 0;
  HWND active = 0;
  HWND capture = 0;
  std::deque<QueuedMsg> queue;
  bool quit = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  // keys: down now, pressed since the last GetAsyncKeyState
  bool keyDown[256] = {};
  bool keyPressed[256] = {};
  // caret
  HWND caretWnd = 0;
  QRect caret;
  int caretShow = 0;
  int cursorCount = 0;
};

State& S();
Wnd* Find(HWND hwnd);
void Post(HWND hwnd, UINT msg, WPARAM w, LPARAM l, const QString& text = QString());
// Milliseconds of the message clock: real time, or the batch script's
// virtual time when a script drives the run.
unsigned long long Now();
void AdvanceVirtualTime(unsigned long long ms);
bool VirtualTime();
// Called by the surface owners after drawing: the widget shows the change.
void SurfaceChanged(Wnd* w, const QRect& area);
void ResizeSurface(Wnd* w, QSize client);
QSize ClientSize(const Wnd* w);
// Pixels of a top-level window's menu bar above its client area (0 for none).
int ClientTop(const Wnd* w);
// Puts the window's widget where its rectangle says, below the parent's bar.
void PlaceWidget(Wnd* w);
// The window is going: its menu bar goes with it (menus).
void DropWindowMenu(HWND hwnd);
// A window rectangle kept within the sizes windows can have.
QRect LimitGeometry(int x, int y, int w, int h);
// The standard controls' classes, registered on first use (controls/).
void RegisterSystemClasses();
// A scroll-bar control's range or position changed: its widget shows it.
void ScrollControlChanged(HWND hwnd);

}  // namespace win::detail
