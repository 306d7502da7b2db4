// Script actions for controls delivered as a user's input to them, and
// keybd_event.
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include <functional>

#include "../hostwidget.h"
#include "control_impl.h"

namespace win::detail {
namespace {

bool InTree(HWND h, HWND root) {
  for (Wnd* w = Find(h); w; w = Find(w->parent))
    if (w->hwnd == root) return true;
  return false;
}

// The first window of the scope (in creation order) that `fits`: the scope
// and its descendants; without one the active window's, else any window's.
HWND FirstIn(HWND scope, const std::function<bool(HWND)>& fits) {
  auto search = [&](HWND root) -> HWND {
    for (HWND h : S().order)
      if ((!root || InTree(h, root)) && fits(h)) return h;
    return 0;
  };
  if (scope) return search(scope);
  if (HWND active = GetActiveWindow())
    if (HWND h = search(active)) return h;
  return search(0);
}

std::function<bool(HWND)> WithId(int id) {
  return [id](HWND h) {
    Wnd* w = Find(h);
    return w && w->parent && w->id == id && ControlOf(h);
  };
}

std::function<bool(HWND)> OfKind(CtlKind kind) {
  return [kind](HWND h) {
    Control* c = ControlOf(h);
    return c && c->kind == kind;
  };
}

// Input reaches only an enabled control of enabled windows.
bool Usable(HWND h, CtlKind kind) {
  Control* c = ControlOf(h);
  if (!c || c->kind != kind || !c->widget) return false;
  for (Wnd* w = Find(h); w; w = Find(w->parent))
    if (!w->enabled) return false;
  return true;
}

bool Pressable(HWND h) {
  return Usable(h, CtlKind::Button) && (StyleOf(h) & BS_TYPEMASK) != BS_GROUPBOX &&
         qobject_cast<QAbstractButton*>(ControlOf(h)->widget) != nullptr;
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, held, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

// A mouse press gives a control that takes the focus the focus first.
void FocusByClick(Control* c) {
  if (c->widget->focusPolicy() == Qt::NoFocus) return;
  FocusedByUser(c->hwnd);
  c->widget->setFocus(Qt::MouseFocusReason);
}

void Press(HWND h) {
  Control* c = ControlOf(h);
  QWidget* b = c->widget;
  FocusByClick(c);
  QPoint p = ButtonClickPoint(b);
  Mouse(b, QEvent::MouseButtonPress, p, Qt::LeftButton);
  if (ControlOf(h) && b == ControlOf(h)->widget) Mouse(b, QEvent::MouseButtonRelease, p, Qt::NoButton);
}

// Handles the messages waiting for the window and its controls, up to a
// quit (that is the caller's loop's to see).
void DispatchPending(HWND scope) {
  MSG m;
  for (int guard = 0; guard < 10000; ++guard) {
    if (!PeekMessageA(&m, scope, 0, 0, PM_NOREMOVE) || m.message == WM_QUIT) return;
    PeekMessageA(&m, scope, 0, 0, PM_REMOVE);
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void SetEditText(HWND h, const std::string& text) {
  Control* c = ControlOf(h);
  FocusedByUser(h);
  c->widget->setFocus(Qt::OtherFocusReason);
  TypeIntoEdit(c, ToQt(text));
}

void SelectEntry(HWND h, int index, bool twice) {
  Control* c = ControlOf(h);
  FocusByClick(c);
  if (c->kind == CtlKind::ComboBox) {
    ChooseFromCombo(c, index);
    return;
  }
  auto* list = qobject_cast<QListWidget*>(c->widget);
  QListWidgetItem* item = list->item(index);
  list->scrollToItem(item);
  QRect r = list->visualItemRect(item);
  QWidget* vp = list->viewport();
  if (r.isValid() && vp->rect().contains(r.center())) {
    QPoint p = r.center();
    Mouse(vp, QEvent::MouseButtonPress, p, Qt::LeftButton);
    Mouse(vp, QEvent::MouseButtonRelease, p, Qt::NoButton);
    if (twice) {
      Mouse(vp, QEvent::MouseButtonDblClick, p, Qt::LeftButton);
      Mouse(vp, QEvent::MouseButtonRelease, p, Qt::NoButton);
    }
    return;
  }
  // A list box too small to show the entry: the click's outcome without it.
  list->setCurrentRow(index);
  if (twice) PostFromWidget(h, CM_DBLCLK);
}

int EntryCount(HWND h) {
  LRESULT n = SendMessageA(h, ControlOf(h)->kind == CtlKind::ComboBox ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
  return static_cast<int>(n);
}

bool ScrollTo(HWND h, int pos) {
  Wnd* w = Find(h);
  const Wnd::Scroll& s = w->scroll[SB_CTL];
  if (pos < std::min(s.min, s.max) || pos > std::max(s.min, s.max)) return false;
  auto* bar = qobject_cast<QScrollBar*>(ControlOf(h)->widget);
  if (!bar) return false;
  QPoint at = ScrollHandleRect(bar).center();
  Mouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton);
  if (bar->isSliderDown()) {
    // The drag: the thumb follows to the position, then is let go there.
    if (bar->sliderPosition() == pos) PostFromWidget(h, CM_SCROLL, MAKEWPARAM(SB_THUMBTRACK, pos));
    else bar->setSliderPosition(pos);
    Mouse(bar, QEvent::MouseButtonRelease, at, Qt::NoButton);
    return true;
  }
  // A bar without room for a thumb to grab: what the drag would report.
  Mouse(bar, QEvent::MouseButtonRelease, at, Qt::NoButton);
  PostFromWidget(h, CM_SCROLL, MAKEWPARAM(SB_THUMBTRACK, pos));
  PostFromWidget(h, CM_SCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos));
  PostFromWidget(h, CM_SCROLL, MAKEWPARAM(SB_ENDSCROLL, 0));
  return true;
}

}  // namespace
}  // namespace win::detail

using namespace win::detail;

namespace win {

bool DeliverControlAction(const BatchAction& a, HWND scope) {
  if (scope && !Find(scope)) return false;
  switch (a.kind) {
    case ActionKind::Press:
    case ActionKind::Answer: {
      HWND h = FirstIn(scope, WithId(a.kind == ActionKind::Press ? a.id : a.answer));
      if (!h || !Pressable(h)) return false;
      Press(h);
      return true;
    }
    case ActionKind::SetText: {
      HWND h = FirstIn(scope, WithId(a.id));
      if (!h || !Usable(h, CtlKind::Edit)) return false;
      SetEditText(h, a.value);
      return true;
    }
    case ActionKind::Select:
    case ActionKind::DblClick: {
      HWND h = FirstIn(scope, WithId(a.id));
      if (!h) return false;
      bool twice = a.kind == ActionKind::DblClick;
      if (!Usable(h, CtlKind::ListBox) && (twice || !Usable(h, CtlKind::ComboBox))) return false;
      if (a.index < 0 || a.index >= EntryCount(h)) return false;
      SelectEntry(h, a.index, twice);
      return true;
    }
    case ActionKind::Scroll: {
      HWND h = FirstIn(scope, WithId(a.id));
      if (!h || !Usable(h, CtlKind::ScrollBar)) return false;
      return ScrollTo(h, a.index);
    }
    case ActionKind::Choose: {
      HWND list = FirstIn(scope, OfKind(CtlKind::ListBox));
      HWND ok = FirstIn(scope, WithId(1));
      if (!list || !Usable(list, CtlKind::ListBox) || !ok || !Pressable(ok)) return false;
      int index = a.index;
      if (a.byText) {
        index = -1;
        QString want = ToQt(a.value);
        for (int i = 0, n = EntryCount(list); i < n && index < 0; ++i) {
          std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
          SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
          text.resize(text.size() - 1);
          if (text == a.value) index = i;
        }
      }
      if (index < 0 || index >= EntryCount(list)) return false;
      SelectEntry(list, index, false);
      Press(ok);
      return true;
    }
    case ActionKind::Text: {
      HWND edit = FirstIn(scope, OfKind(CtlKind::Edit));
      HWND ok = FirstIn(scope, WithId(1));
      if (!edit || !Usable(edit, CtlKind::Edit) || !ok || !ControlOf(ok)) return false;
      SetEditText(edit, a.value);
      // A person reads the dialog again before pressing OK: the typing's
      // notifications are handled first (they may enable the button).
      DispatchPending(scope);
      if (!Pressable(ok)) return false;
      Press(ok);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace win

namespace {

bool g_capsLock = false;

struct KeyChar {
  int vk;
  int qtKey;
  char lower, upper;  // Windows-1252; upper with Caps Lock
};

// The keys of a German layout that type a character of their own.
const KeyChar kOemKeys[] = {
    {0xBA, Qt::Key_Udiaeresis, '\xFC', '\xDC'}, {0xBB, Qt::Key_Plus, '+', '+'},
    {0xBC, Qt::Key_Comma, ',', ','},           {0xBD, Qt::Key_Minus, '-', '-'},
    {0xBE, Qt::Key_Period, '.', '.'},          {0xBF, Qt::Key_NumberSign, '#', '#'},
    {0xC0, Qt::Key_Odiaeresis, '\xF6', '\xD6'}, {0xDB, Qt::Key_ssharp, '\xDF', '\xDF'},
    {0xDE, Qt::Key_Adiaeresis, '\xE4', '\xC4'}, {0xE2, Qt::Key_Less, '<', '<'},
};

}  // namespace

void keybd_event(BYTE vk, BYTE, DWORD flags, DWORD) {
  constexpr int kCapital = 0x14;
  bool up = (flags & KEYEVENTF_KEYUP) != 0;
  if (vk == kCapital) {
    if (!up) g_capsLock = !g_capsLock;
    return;
  }
  Wnd* f = Find(S().focus);
  QWidget* target = f ? f->widget : nullptr;
  if (target && target->focusProxy()) target = target->focusProxy();
  if (!target) return;
  int key = QtKeyOfVirtualKey(vk);
  std::string ch;
  if (vk >= 'A' && vk <= 'Z') ch = std::string(1, static_cast<char>(g_capsLock ? vk : vk - 'A' + 'a'));
  else if (vk >= '0' && vk <= '9') ch = std::string(1, static_cast<char>(vk));
  else if (vk == VK_SPACE) ch = " ";
  else if (vk == VK_RETURN) ch = "\r";
  else if (vk == VK_TAB) ch = "\t";
  else if (vk == VK_BACK) ch = "\b";
  else if (vk == VK_ESCAPE) ch = "\x1b";
  for (const KeyChar& k : kOemKeys)
    if (k.vk == vk) {
      key = k.qtKey;
      ch = std::string(1, g_capsLock ? k.upper : k.lower);
    }
  QKeyEvent e(up ? QEvent::KeyRelease : QEvent::KeyPress, key, Qt::NoModifier, ToQt(ch));
  QCoreApplication::sendEvent(target, &e);
}
