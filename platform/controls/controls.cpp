// The standard controls' classes, the Qt widgets behind them, buttons,
// statics and scroll bars.
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "../codepage.h"
#include "../fontobjects.h"
#include "../gdi/bitmaps.h"
#include "../hostwidget.h"
#include "control_impl.h"

namespace win::detail {

namespace {

std::map<HWND, std::unique_ptr<Control>> g_controls;

// Input on a control's widget: focus, the dialog keys, mouse presses.
class ControlFilter : public QObject {
 public:
  ControlFilter(HWND hwnd, QWidget* host, QWidget* inner) : QObject(host), hwnd_(hwnd), host_(host), inner_(inner) {}
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  bool Key(QKeyEvent* e, bool press);
  HWND hwnd_;
  QWidget* host_;
  QWidget* inner_;
};

bool Alive(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w && !w->destroying;
}

// Enter, Tab and Escape go to the queue for the dialog manager, unless the
// control takes them itself.
bool WantsKey(HWND hwnd, int vk) {
  Control* c = ControlOf(hwnd);
  if (!c) return true;
  DWORD style = StyleOf(hwnd);
  if (vk == VK_RETURN)
    return c->kind == CtlKind::Edit && (style & ES_MULTILINE) && (style & ES_WANTRETURN);
  return false;
}

bool ControlFilter::Key(QKeyEvent* e, bool press) {
  int vk = VirtualKeyOf(e->key(), e->modifiers());
  if (vk != VK_TAB && vk != VK_RETURN && vk != VK_ESCAPE) {
    if (!press) return false;
    Control* c = ControlOf(hwnd_);
    DWORD style = StyleOf(hwnd_);
    if (c && c->kind == CtlKind::Edit && (style & (ES_UPPERCASE | ES_LOWERCASE)) && !e->text().isEmpty()) {
      QString cased = (style & ES_UPPERCASE) ? e->text().toUpper() : e->text().toLower();
      if (cased != e->text()) {
        // The character in the edit's case, typed instead of the key's own.
        QKeyEvent again(e->type(), e->key(), e->modifiers(), cased, e->isAutoRepeat(), e->count());
        QCoreApplication::sendEvent(inner_, &again);
        return true;
      }
    }
    // An edit's limit holds for what the user types.
    if (c && c->kind == CtlKind::Edit && !e->text().isEmpty() && e->text()[0].isPrint() &&
        !(e->modifiers() & Qt::ControlModifier)) {
      std::string text(static_cast<size_t>(SendMessageA(hwnd_, WM_GETTEXTLENGTH, 0, 0)), ' ');
      DWORD sel = static_cast<DWORD>(SendMessageA(hwnd_, EM_GETSEL, 0, 0));
      long selected = static_cast<long>(HIWORD(sel)) - static_cast<long>(LOWORD(sel));
      if (static_cast<long>(text.size()) - std::abs(selected) >= c->limit) return true;
    }
    return false;
  }
  if (WantsKey(hwnd_, vk)) return false;
  State& s = S();
  if (press) {
    s.keyDown[vk] = s.keyPressed[vk] = true;
    LPARAM l = 1 | ((e->nativeScanCode() & 0xFF) << 16) | (e->isAutoRepeat() ? (1 << 30) : 0);
    QString text = vk == VK_RETURN ? "\r" : vk == VK_ESCAPE ? "\x1b" : "\t";
    Post(hwnd_, WM_KEYDOWN, static_cast<WPARAM>(vk), l, text);
  } else if (!e->isAutoRepeat()) {
    s.keyDown[vk] = false;
    Post(hwnd_, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u));
  }
  return true;
}

bool ControlFilter::eventFilter(QObject* o, QEvent* e) {
  if (!Alive(hwnd_)) return false;
  if (o == host_) {
    if (e->type() == QEvent::Resize && inner_) inner_->setGeometry(host_->rect());
    // The host shows nothing of its own: what lies under the control shows through.
    return e->type() == QEvent::Paint;
  }
  switch (e->type()) {
    case QEvent::FocusIn:
      if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason) FocusedByUser(hwnd_);
      return false;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      if (e->type() == QEvent::ShortcutOverride) return false;
      return Key(static_cast<QKeyEvent*>(e), true);
    case QEvent::KeyRelease:
      return Key(static_cast<QKeyEvent*>(e), false);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      // The second press of a double click is no button-down to a class that takes double clicks.
      Wnd* w = Find(hwnd_);
      if (e->type() == QEvent::MouseButtonDblClick && w && w->cls && (w->cls->style & CS_DBLCLKS)) return false;
      auto* m = static_cast<QMouseEvent*>(e);
      UINT msg = m->button() == Qt::LeftButton    ? WM_LBUTTONDOWN
                 : m->button() == Qt::RightButton ? WM_RBUTTONDOWN
                                                  : WM_MBUTTONDOWN;
      auto* on = qobject_cast<QWidget*>(o);
      QPoint at = on ? on->mapTo(host_, m->position().toPoint()) : m->position().toPoint();
      NotifyParents(hwnd_, msg, at);
      return false;
    }
    default:
      return false;
  }
}

// Check boxes and radio buttons whose check the program sets itself do not
// change it when clicked; auto radio buttons are not unchecked by a click.
class CheckBox : public QCheckBox {
 public:
  explicit CheckBox(bool automatic) : automatic_(automatic) {}
  QPoint ClickPoint() {
    QStyleOptionButton opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_CheckBoxClickRect, &opt, this).center();
  }

 protected:
  void nextCheckState() override {
    if (automatic_) QCheckBox::nextCheckState();
  }

 private:
  bool automatic_;
};

class RadioButton : public QRadioButton {
 public:
  explicit RadioButton(bool automatic) : automatic_(automatic) { setAutoExclusive(false); }
  QPoint ClickPoint() {
    QStyleOptionButton opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_RadioButtonClickRect, &opt, this).center();
  }

 protected:
  void nextCheckState() override {
    if (automatic_) setChecked(true);
  }

 private:
  bool automatic_;
};

class ScrollBar : public QScrollBar {
 public:
  ScrollBar(HWND hwnd, Qt::Orientation o) : QScrollBar(o), hwnd_(hwnd) {}
  QRect HandleRect() {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    // A drag's end is reported by sliderReleased; arrows and trough here.
    bool dragging = isSliderDown();
    QScrollBar::mouseReleaseEvent(e);
    if (!dragging && e->button() == Qt::LeftButton) PostFromWidget(hwnd_, CM_SCROLL, MAKEWPARAM(SB_ENDSCROLL, 0));
  }

 private:
  HWND hwnd_;
};

WndClass SystemClass(const char* name, WNDPROC proc, UINT style = 0) {
  WndClass c;
  c.name = name;
  c.proc = proc;
  c.style = style;
  c.system = true;
  return c;
}

// "&&" is an ampersand, a single "&" marks the mnemonic, which a label has none of here.
QString LabelText(const std::string& text) {
  QString q = ToQt(text), out;
  for (qsizetype i = 0; i < q.size(); ++i) {
    if (q[i] == '&' && i + 1 < q.size()) ++i;
    out += q[i];
  }
  return out;
}

}  // namespace

void RegisterSystemClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  auto& classes = S().classes;
  classes.emplace("BUTTON", SystemClass("Button", ButtonProc, CS_DBLCLKS));
  classes.emplace("STATIC", SystemClass("Static", StaticProc));
  classes.emplace("EDIT", SystemClass("Edit", EditProc, CS_DBLCLKS));
  classes.emplace("LISTBOX", SystemClass("ListBox", ListBoxProc, CS_DBLCLKS));
  classes.emplace("COMBOBOX", SystemClass("ComboBox", ComboBoxProc, CS_DBLCLKS));
  classes.emplace("SCROLLBAR", SystemClass("ScrollBar", ScrollBarProc, CS_DBLCLKS));
}

Control* ControlOf(HWND hwnd) {
  auto it = g_controls.find(hwnd);
  return it == g_controls.end() ? nullptr : it->second.get();
}

Control* AttachControl(HWND hwnd, CtlKind kind, QWidget* inner) {
  Wnd* w = Find(hwnd);
  if (!w || !w->widget) {
    delete inner;
    return nullptr;
  }
  auto c = std::make_unique<Control>();
  c->kind = kind;
  c->hwnd = hwnd;
  c->widget = inner;
  QWidget* host = w->widget;
  host->setProperty("tilmorControl", true);
  host->setAttribute(Qt::WA_OpaquePaintEvent, false);
  host->setMouseTracking(false);
  inner->setParent(host);
  inner->setGeometry(host->rect());
  inner->setEnabled(w->enabled);
  inner->show();
  if (inner->focusPolicy() == Qt::NoFocus) {
    host->setFocusPolicy(Qt::NoFocus);
  } else {
    host->setFocusPolicy(inner->focusPolicy());
    host->setFocusProxy(inner);
  }
  auto* filter = new ControlFilter(hwnd, host, inner);
  host->installEventFilter(filter);
  inner->installEventFilter(filter);
  for (QWidget* part : inner->findChildren<QWidget*>()) part->installEventFilter(filter);
  Control* raw = c.get();
  g_controls[hwnd] = std::move(c);
  return raw;
}

void DetachControl(HWND hwnd) {
  auto it = g_controls.find(hwnd);
  if (it == g_controls.end()) return;
  if (QWidget* inner = it->second->widget) QObject::disconnect(inner, nullptr, nullptr, nullptr);
  g_controls.erase(it);
}

DWORD StyleOf(HWND hwnd) {
  Wnd* w = Find(hwnd);
  return w ? w->style : 0;
}

void Notify(HWND ctl, WORD code) {
  Wnd* w = Find(ctl);
  if (!w || !w->parent) return;
  SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), static_cast<LPARAM>(ctl));
}

void PostFromWidget(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (!c || c->quiet || !Alive(hwnd)) return;
  Post(hwnd, msg, w, l);
}

QString ToQt(const std::string& s) { return QString::fromStdString(Cp1252ToUtf8(s)); }
QString ToQt(const char* s) { return ToQt(std::string(s ? s : "")); }
std::string FromQt(const QString& s) { return Utf8ToCp1252(s.toStdString()); }

LRESULT CopyOut(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  size_t n = std::min<size_t>(size - 1, text.size());
  std::memcpy(out, text.data(), n);
  out[n] = 0;
  return static_cast<LRESULT>(n);
}

bool FirstHandling(HWND hwnd, Control* c, UINT msg, WPARAM w, LPARAM l, LRESULT* result) {
  if (msg == WM_DESTROY) {
    DetachControl(hwnd);
    *result = 0;
    return true;
  }
  if (!c || !c->widget) {
    *result = DefWindowProcA(hwnd, msg, w, l);
    return true;
  }
  return CommonMessage(c, msg, w, l, result);
}

bool CommonMessage(Control* c, UINT msg, WPARAM w, LPARAM, LRESULT* result) {
  switch (msg) {
    case WM_SETFONT: {
      QFont f;
      Quiet q(c);
      if (c->widget && QtFontOf(static_cast<HGDIOBJ>(w), &f)) c->widget->setFont(f);
      else if (c->widget && !w) c->widget->setFont(QApplication::font());
      c->font = static_cast<HGDIOBJ>(w);
      *result = 0;
      return true;
    }
    case WM_GETFONT:
      *result = static_cast<LRESULT>(c->font);
      return true;
    case WM_ENABLE:
      if (c->widget) c->widget->setEnabled(w != 0);
      *result = 0;
      return true;
    default:
      return false;
  }
}

QPoint ButtonClickPoint(QWidget* button) {
  if (auto* b = dynamic_cast<CheckBox*>(button)) return b->ClickPoint();
  if (auto* b = dynamic_cast<RadioButton*>(button)) return b->ClickPoint();
  return button->rect().center();
}

QRect ScrollHandleRect(QWidget* bar) {
  auto* b = dynamic_cast<ScrollBar*>(bar);
  return b ? b->HandleRect() : QRect();
}

// ---- buttons ----

namespace {

DWORD ButtonType(HWND hwnd) { return StyleOf(hwnd) & BS_TYPEMASK; }

QWidget* MakeButton(HWND hwnd, const std::string& text) {
  DWORD type = ButtonType(hwnd);
  QString label = ToQt(text);
  QAbstractButton* b = nullptr;
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: {
      auto* cb = new CheckBox(type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE);
      cb->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
      b = cb;
      break;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      b = new RadioButton(type == BS_AUTORADIOBUTTON);
      break;
    case BS_GROUPBOX: {
      auto* g = new QGroupBox(label);
      g->setFocusPolicy(Qt::NoFocus);
      return g;
    }
    default: {
      auto* p = new QPushButton;
      p->setAutoDefault(false);
      p->setDefault(type == BS_DEFPUSHBUTTON);
      b = p;
      break;
    }
  }
  b->setText(label);
  QObject::connect(b, &QAbstractButton::clicked, b, [hwnd] { PostFromWidget(hwnd, CM_CLICKED); });
  return b;
}

bool IsRadio(HWND h) {
  DWORD t = ButtonType(h);
  return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

// Checking an auto radio button unchecks the other auto radio buttons of
// its group: the siblings from the last WS_GROUP before it to the next.
void UncheckGroup(HWND hwnd) {
  Wnd* w = Find(hwnd);
  Wnd* p = w ? Find(w->parent) : nullptr;
  if (!p) return;
  const auto& kids = p->children;
  auto at = std::find(kids.begin(), kids.end(), hwnd);
  if (at == kids.end()) return;
  auto first = at;
  while (first != kids.begin() && !(StyleOf(*first) & WS_GROUP)) --first;
  auto last = at + 1;
  while (last != kids.end() && !(StyleOf(*last) & WS_GROUP)) ++last;
  for (auto it = first; it != last; ++it)
    if (*it != hwnd && ButtonType(*it) == BS_AUTORADIOBUTTON && ControlOf(*it))
      SendMessageA(*it, BM_SETCHECK, BST_UNCHECKED, 0);
}

void Clicked(HWND hwnd) {
  if (ButtonType(hwnd) == BS_AUTORADIOBUTTON) {
    SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    UncheckGroup(hwnd);
  }
  Notify(hwnd, BN_CLICKED);
}

}  // namespace

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) {
    Wnd* wnd = Find(hwnd);
    return AttachControl(hwnd, CtlKind::Button, MakeButton(hwnd, wnd ? wnd->title : "")) ? 0 : -1;
  }
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  auto* button = qobject_cast<QAbstractButton*>(c->widget);
  auto* check = qobject_cast<QCheckBox*>(c->widget);
  switch (msg) {
    case WM_SETTEXT: {
      DefWindowProcA(hwnd, msg, w, l);
      QString text = ToQt(StrArg(l));
      if (button) button->setText(text);
      else if (auto* g = qobject_cast<QGroupBox*>(c->widget)) g->setTitle(text);
      return TRUE;
    }
    case BM_GETCHECK:
      if (check) return check->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE
                        : check->isChecked()                       ? BST_CHECKED
                                                                   : BST_UNCHECKED;
      if (IsRadio(hwnd) && button) return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
      return 0;
    case BM_SETCHECK: {
      Quiet q(c);
      if (check) {
        if (w == BST_INDETERMINATE && check->isTristate()) check->setCheckState(Qt::PartiallyChecked);
        else check->setChecked(w != BST_UNCHECKED);
      } else if (IsRadio(hwnd) && button) {
        button->setChecked(w != BST_UNCHECKED);
      }
      return 0;
    }
    case BM_GETSTATE: {
      LRESULT state = SendMessageA(hwnd, BM_GETCHECK, 0, 0);
      if (button && button->isDown()) state |= 0x4;
      if (c->widget->hasFocus()) state |= 0x8;
      return state;
    }
    case BM_SETSTATE:
      if (button) {
        Quiet q(c);
        button->setDown(w != 0);
      }
      return 0;
    case BM_SETSTYLE: {
      Wnd* wnd = Find(hwnd);
      DWORD type = static_cast<DWORD>(w) & BS_TYPEMASK;
      wnd->style = (wnd->style & ~BS_TYPEMASK) | type;
      if (auto* p = qobject_cast<QPushButton*>(c->widget)) p->setDefault(type == BS_DEFPUSHBUTTON);
      return 0;
    }
    case BM_CLICK:
      if (button && button->isEnabled() && IsWindowEnabled(hwnd)) {
        {
          Quiet q(c);
          button->click();
        }
        Clicked(hwnd);
      }
      return 0;
    case CM_CLICKED:
      Clicked(hwnd);
      return 0;
    case WM_GETDLGCODE: {
      DWORD type = ButtonType(hwnd);
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      if (IsRadio(hwnd)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      return DLGC_BUTTON;
    }
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

// ---- statics ----

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) {
    Wnd* wnd = Find(hwnd);
    if (!wnd) return -1;
    auto* label = new QLabel;
    label->setFocusPolicy(Qt::NoFocus);
    DWORD type = wnd->style & SS_TYPEMASK;
    if (type == SS_ICON) {
      // The text names an icon of the module that made the control; the
      // control takes the icon's size. Without such an icon it stays empty.
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      HICON icon = LoadIconA(wnd->instance, wnd->title.c_str());
      QImage image = win::IconImageOf(icon);
      if (!image.isNull()) {
        label->setPixmap(QPixmap::fromImage(image));
        if (wnd->geom.width() == 0 || wnd->geom.height() == 0) {
          wnd->geom.setSize(image.size());
          if (wnd->widget) wnd->widget->setGeometry(wnd->geom);
          ResizeSurface(wnd, wnd->geom.size());
        }
      }
    } else {
      label->setText(LabelText(wnd->title));
      label->setWordWrap(true);
      Qt::Alignment h = type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
      label->setAlignment(h | Qt::AlignTop);
    }
    return AttachControl(hwnd, CtlKind::Static, label) ? 0 : -1;
  }
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  auto* label = qobject_cast<QLabel*>(c->widget);
  switch (msg) {
    case WM_SETTEXT:
      DefWindowProcA(hwnd, msg, w, l);
      if (label && (StyleOf(hwnd) & SS_TYPEMASK) != SS_ICON) label->setText(LabelText(StrArg(l) ? StrArg(l) : ""));
      return TRUE;
    case STM_SETICON: {
      HANDLE old = c->icon;
      c->icon = static_cast<HANDLE>(w);
      return static_cast<LRESULT>(old);
    }
    case STM_GETICON:
      return static_cast<LRESULT>(c->icon);
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

// ---- scroll bars ----

namespace {

// The widget shows the range and position of the window's SB_CTL bar and
// never moves by itself: it reports what the user asks for.
void ShowScroll(Control* c) {
  auto* bar = qobject_cast<QScrollBar*>(c->widget);
  Wnd* w = Find(c->hwnd);
  if (!bar || !w) return;
  const Wnd::Scroll& s = w->scroll[SB_CTL];
  Quiet q(c);
  bar->setRange(std::min(s.min, s.max), std::max(s.min, s.max));
  bar->setValue(s.pos);
  bar->setSliderPosition(s.pos);
}

int ScrollCodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    default: return -1;
  }
}

QWidget* MakeScrollBar(HWND hwnd) {
  bool vertical = (StyleOf(hwnd) & SBS_VERT) != 0;
  auto* bar = new ScrollBar(hwnd, vertical ? Qt::Vertical : Qt::Horizontal);
  bar->setTracking(false);
  bar->setPageStep(0);
  bar->setSingleStep(1);
  bar->setFocusPolicy(Qt::NoFocus);
  QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [hwnd, bar](int action) {
    Control* c = ControlOf(hwnd);
    if (!c || c->quiet) return;
    Wnd* w = Find(hwnd);
    int pos = w ? w->scroll[SB_CTL].pos : 0;
    if (action == QAbstractSlider::SliderMove) {
      // The end of a drag: the program places the thumb.
      if (!bar->isSliderDown()) bar->setSliderPosition(pos);
      return;
    }
    int code = ScrollCodeOf(action);
    if (code >= 0) PostFromWidget(hwnd, CM_SCROLL, MAKEWPARAM(code, 0));
    bar->setSliderPosition(pos);
  });
  QObject::connect(bar, &QAbstractSlider::sliderMoved, bar, [hwnd](int pos) {
    PostFromWidget(hwnd, CM_SCROLL, MAKEWPARAM(SB_THUMBTRACK, pos));
  });
  QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [hwnd, bar] {
    PostFromWidget(hwnd, CM_SCROLL, MAKEWPARAM(SB_THUMBPOSITION, bar->sliderPosition()));
    PostFromWidget(hwnd, CM_SCROLL, MAKEWPARAM(SB_ENDSCROLL, 0));
  });
  QObject::connect(bar, &QAbstractSlider::valueChanged, bar, [hwnd] {
    if (Control* c = ControlOf(hwnd); c && !c->quiet) ShowScroll(c);
  });
  return bar;
}

}  // namespace

void ScrollControlChanged(HWND hwnd) {
  Control* c = ControlOf(hwnd);
  if (c && c->kind == CtlKind::ScrollBar) ShowScroll(c);
}

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) {
    Control* made = AttachControl(hwnd, CtlKind::ScrollBar, MakeScrollBar(hwnd));
    if (!made) return -1;
    ShowScroll(made);
    return 0;
  }
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  switch (msg) {
    case CM_SCROLL: {
      Wnd* wnd = Find(hwnd);
      if (wnd && wnd->parent)
        SendMessageA(wnd->parent, (wnd->style & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL, w, static_cast<LPARAM>(hwnd));
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

}  // namespace win::detail
