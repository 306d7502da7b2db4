// The controls' shared inner parts: the Qt widget behind each control, the
// messages its signals become, and the helpers of the class procedures.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

#include "../window_impl.h"
#include "controls.h"

namespace win::detail {

enum class CtlKind { Button, Static, Edit, ListBox, ComboBox, ScrollBar };

// Posted to a control by its Qt widget; its class procedure sends the
// notification when the message is dispatched, so the program hears of
// the input in queue order. In the class-private message range.
constexpr UINT CM_CLICKED = 0x7F00, CM_CHANGED = 0x7F01, CM_SELCHANGE = 0x7F02, CM_DBLCLK = 0x7F03,
               CM_SCROLL = 0x7F04;

struct Control {
  CtlKind kind = CtlKind::Static;
  HWND hwnd = 0;
  QPointer<QWidget> widget;  // the Qt control filling the window's host widget
  HGDIOBJ font = 0;
  int quiet = 0;  // above 0 while the class procedure changes the widget itself
  long limit = 0;  // edits: most characters the user may type
  int extent = 0;  // list boxes: the horizontal extent
  std::vector<int> tabs;  // list boxes: tab stops in dialog units
  HANDLE icon = 0;
};

// Changes the widget without reporting them as the user's.
struct Quiet {
  explicit Quiet(Control* c) : c_(c) { ++c_->quiet; }
  ~Quiet() { --c_->quiet; }
  Control* c_;
};

Control* ControlOf(HWND hwnd);
// Puts `inner` into the window's host widget, filling it, and hooks up
// focus, keys and mouse presses.
Control* AttachControl(HWND hwnd, CtlKind kind, QWidget* inner);
void DetachControl(HWND hwnd);
// WM_COMMAND with the control's id and `code` to its parent.
void Notify(HWND ctl, WORD code);
// Posts `msg` to the control unless the class procedure itself caused the change.
void PostFromWidget(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0);
DWORD StyleOf(HWND hwnd);

QString ToQt(const std::string& cp1252);
QString ToQt(const char* cp1252);
std::string FromQt(const QString& s);
// WM_GETTEXT's copy: at most size-1 characters and a NUL; the count.
LRESULT CopyOut(const std::string& text, WPARAM size, LPARAM buffer);
inline const char* StrArg(LPARAM l) { return reinterpret_cast<const char*>(l); }

// The messages every control answers alike (text of the window, fonts,
// enabling); false when `msg` is none of them.
bool CommonMessage(Control* c, UINT msg, WPARAM w, LPARAM l, LRESULT* result);
// What every class procedure does after WM_CREATE: the control's end, a
// window that has lost its widget, then CommonMessage. True when `*result`
// is the answer.
bool FirstHandling(HWND hwnd, Control* c, UINT msg, WPARAM w, LPARAM l, LRESULT* result);

LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ScrollBarProc(HWND, UINT, WPARAM, LPARAM);

// Where a click on a button lands on its check mark or face.
QPoint ButtonClickPoint(QWidget* button);
// The handle's rectangle of a scroll-bar widget.
QRect ScrollHandleRect(QWidget* bar);
// An edit's text typed by the user: selects everything and inserts `text`.
void TypeIntoEdit(Control* c, const QString& text);
// Chooses entry `index` of a drop-down list as its popup does.
void ChooseFromCombo(Control* c, int index);

}  // namespace win::detail
