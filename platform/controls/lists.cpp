// The "LISTBOX" class over QListWidget and the "COMBOBOX" drop-down list
// over QComboBox: entries, selection and their notifications.
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

#include <algorithm>

#include "../hostwidget.h"
#include "control_impl.h"

namespace win::detail {

namespace {

// Windows compares entries without regard to case.
int Compare(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive); }

// Draws entries with their tabs expanded to the list box's tab stops.
class TabDelegate : public QStyledItemDelegate {
 public:
  TabDelegate(HWND hwnd, QObject* parent) : QStyledItemDelegate(parent), hwnd_(hwnd) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QString text = index.data(Qt::DisplayRole).toString();
    if (!text.contains('\t')) {
      QStyledItemDelegate::paint(p, option, index);
      return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : nullptr;
    if (style) style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
    QTextOption to(Qt::AlignLeft | Qt::AlignVCenter);
    to.setWrapMode(QTextOption::NoWrap);
    // Tab stops are in dialog units: a quarter of the average character width.
    double unit = QFontMetrics(opt.font).averageCharWidth() / 4.0;
    Control* c = ControlOf(hwnd_);
    std::vector<int> stops = c ? c->tabs : std::vector<int>{};
    if (stops.size() <= 1) {
      to.setTabStopDistance((stops.empty() ? 32 : std::max(1, stops[0])) * unit);
    } else {
      QList<QTextOption::Tab> tabs;
      for (int s : stops) tabs.append(QTextOption::Tab(s * unit, QTextOption::LeftTab));
      to.setTabs(tabs);
    }
    p->save();
    p->setPen(opt.palette.color((opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    p->setFont(opt.font);
    QRect r = opt.rect.adjusted(2, 0, -2, 0);
    p->drawText(QRectF(r), text, to);
    p->restore();
  }

 private:
  HWND hwnd_;
};

QListWidget* List(Control* c) { return qobject_cast<QListWidget*>(c->widget); }
QComboBox* Combo(Control* c) { return qobject_cast<QComboBox*>(c->widget); }

int Count(Control* c) {
  if (QListWidget* l = List(c)) return l->count();
  if (QComboBox* b = Combo(c)) return b->count();
  return 0;
}

QString Entry(Control* c, int i) {
  if (QListWidget* l = List(c)) return l->item(i)->text();
  if (QComboBox* b = Combo(c)) return b->itemText(i);
  return {};
}

int Selected(Control* c) {
  if (QListWidget* l = List(c)) {
    QList<QListWidgetItem*> sel = l->selectedItems();
    return sel.isEmpty() ? -1 : l->row(sel.first());
  }
  if (QComboBox* b = Combo(c)) return b->currentIndex();
  return -1;
}

void Select(Control* c, int i) {
  Quiet q(c);
  if (QListWidget* l = List(c)) {
    if (i < 0) {
      l->clearSelection();
      l->setCurrentRow(-1);
    } else {
      l->setCurrentRow(i);
      l->scrollToItem(l->item(i));
    }
  }
  if (QComboBox* b = Combo(c)) b->setCurrentIndex(i);
}

bool Sorted(Control* c) {
  DWORD style = StyleOf(c->hwnd);
  return c->kind == CtlKind::ListBox ? (style & LBS_SORT) != 0 : (style & CBS_SORT) != 0;
}

void SizeItem(Control* c, QListWidgetItem* item) {
  if (c->extent > 0) item->setSizeHint(QSize(c->extent, QFontMetrics(List(c)->font()).height() + 2));
  else item->setSizeHint(QSize());
}

// Inserts at `at` (-1: the end, or the sorted place); the index, or -1.
int Insert(Control* c, int at, const QString& text) {
  int n = Count(c);
  if (at < -1 || at > n) return -1;
  if (at == -1 && Sorted(c)) {
    at = 0;
    while (at < n && Compare(Entry(c, at), text) <= 0) ++at;
  }
  if (at == -1) at = n;
  Quiet q(c);
  if (QListWidget* l = List(c)) {
    auto* item = new QListWidgetItem(text);
    SizeItem(c, item);
    l->insertItem(at, item);
  }
  if (QComboBox* b = Combo(c)) {
    int sel = b->currentIndex();
    b->insertItem(at, text);
    // Windows leaves a drop-down list without selection until one is made.
    b->setCurrentIndex(sel < 0 ? -1 : (sel >= at ? sel + 1 : sel));
  }
  return at;
}

void Remove(Control* c, int i) {
  Quiet q(c);
  if (QListWidget* l = List(c)) delete l->takeItem(i);
  if (QComboBox* b = Combo(c)) {
    int sel = b->currentIndex();
    b->removeItem(i);
    b->setCurrentIndex(sel == i ? -1 : (sel > i ? sel - 1 : sel));
  }
}

// The first entry after `start` (wrapping round) that begins with `text`,
// or that is `text` when `exact`; -1 when none.
int FindEntry(Control* c, int start, const QString& text, bool exact) {
  int n = Count(c);
  if (n == 0) return -1;
  if (start < -1 || start >= n) start = -1;
  for (int k = 1; k <= n; ++k) {
    int i = (start + k) % n;
    QString e = Entry(c, i);
    if (exact ? Compare(e, text) == 0 : e.startsWith(text, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

// The messages both share; `base` maps a combo box's CB_ message onto the
// LB_ one of the same meaning.
bool EntryMessage(Control* c, UINT msg, WPARAM w, LPARAM l, LRESULT* r) {
  int n = Count(c);
  int i = static_cast<int>(w);
  auto bad = [&] { return i < 0 || i >= n; };
  switch (msg) {
    case LB_ADDSTRING:
      *r = Insert(c, -1, ToQt(StrArg(l)));
      return true;
    case LB_INSERTSTRING:
      *r = Insert(c, i, ToQt(StrArg(l)));
      if (*r < 0) *r = LB_ERR;
      return true;
    case LB_DELETESTRING:
      if (bad()) {
        *r = LB_ERR;
      } else {
        Remove(c, i);
        *r = Count(c);
      }
      return true;
    case LB_RESETCONTENT: {
      Quiet q(c);
      if (QListWidget* lw = List(c)) lw->clear();
      if (QComboBox* b = Combo(c)) b->clear();
      *r = 0;
      return true;
    }
    case LB_GETCOUNT:
      *r = n;
      return true;
    case LB_GETCURSEL:
      *r = Selected(c);
      return true;
    case LB_SETCURSEL:
      if (bad()) {
        Select(c, -1);
        *r = LB_ERR;
      } else {
        Select(c, i);
        *r = i;
      }
      return true;
    case LB_GETTEXTLEN:
      *r = bad() ? LB_ERR : static_cast<LRESULT>(FromQt(Entry(c, i)).size());
      return true;
    case LB_GETTEXT: {
      if (bad() || !l) {
        *r = LB_ERR;
        return true;
      }
      std::string text = FromQt(Entry(c, i));
      char* out = reinterpret_cast<char*>(l);
      std::copy(text.begin(), text.end(), out);
      out[text.size()] = 0;
      *r = static_cast<LRESULT>(text.size());
      return true;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
      *r = FindEntry(c, i, ToQt(StrArg(l)), msg == LB_FINDSTRINGEXACT);
      return true;
    case LB_SELECTSTRING: {
      int at = FindEntry(c, i, ToQt(StrArg(l)), false);
      if (at >= 0) Select(c, at);
      *r = at;
      return true;
    }
    default:
      return false;
  }
}

QWidget* MakeList(HWND hwnd) {
  DWORD style = StyleOf(hwnd);
  auto* l = new QListWidget;
  l->setSelectionMode(QAbstractItemView::SingleSelection);
  l->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? ((style & LBS_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                                     : Qt::ScrollBarAsNeeded)
                                                     : Qt::ScrollBarAlwaysOff);
  // Without a horizontal extent a list box does not scroll sideways.
  l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  l->setUniformItemSizes(true);
  if (!(style & WS_BORDER)) l->setFrameShape(QFrame::NoFrame);
  if (style & LBS_USETABSTOPS) l->setItemDelegate(new TabDelegate(hwnd, l));
  // The selection, not the current row: the focus alone makes a row current
  // without choosing it.
  QObject::connect(l, &QListWidget::itemSelectionChanged, l, [hwnd] { PostFromWidget(hwnd, CM_SELCHANGE); });
  QObject::connect(l, &QListWidget::itemDoubleClicked, l, [hwnd] { PostFromWidget(hwnd, CM_DBLCLK); });
  return l;
}

QWidget* MakeCombo(HWND hwnd) {
  auto* b = new QComboBox;
  b->setEditable(false);
  b->setInsertPolicy(QComboBox::NoInsert);
  QObject::connect(b, &QComboBox::activated, b, [hwnd] { PostFromWidget(hwnd, CM_SELCHANGE); });
  return b;
}

// A drop-down list is made with the height it has when open; closed it is
// as high as its selection field, and the rest is the list's.
void FitClosedCombo(HWND hwnd, QComboBox* box) {
  Wnd* wnd = Find(hwnd);
  if (!wnd) return;
  const int closed = box->sizeHint().height();
  const int given = wnd->geom.height();
  if (given <= closed) return;
  const int item = std::max(1, QFontMetrics(box->font()).height() + 2);
  box->setMaxVisibleItems(std::max(1, (given - closed) / item));
  wnd->geom.setHeight(closed);
  if (wnd->widget) wnd->widget->setGeometry(wnd->geom);
  ResizeSurface(wnd, wnd->geom.size());
}

template <CtlKind kind>
LRESULT Created(HWND hwnd) {
  QWidget* inner = kind == CtlKind::ListBox ? MakeList(hwnd) : MakeCombo(hwnd);
  if (!AttachControl(hwnd, kind, inner)) return -1;
  if constexpr (kind == CtlKind::ComboBox) FitClosedCombo(hwnd, static_cast<QComboBox*>(inner));
  return 0;
}

}  // namespace

void ChooseFromCombo(Control* c, int index) {
  QComboBox* b = Combo(c);
  if (!b || index < 0 || index >= b->count()) return;
  // The popup's own choice: open it, make the entry current and take it with Enter.
  b->showPopup();
  QAbstractItemView* view = b->view();
  bool chosen = false;
  auto once = QObject::connect(b, &QComboBox::activated, b, [&chosen] { chosen = true; });
  if (view && b->model()) {
    view->setCurrentIndex(b->model()->index(index, b->modelColumn(), b->rootModelIndex()));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(view, &press);
  }
  QObject::disconnect(once);
  if (!chosen) {
    // A popup that would not take the key: the same choice by hand.
    b->hidePopup();
    b->setCurrentIndex(index);
    PostFromWidget(c->hwnd, CM_SELCHANGE);
  }
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) return Created<CtlKind::ListBox>(hwnd);
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  if (EntryMessage(c, msg, w, l, &r)) return r;
  QListWidget* list = List(c);
  int n = list->count();
  int i = static_cast<int>(w);
  switch (msg) {
    case LB_GETSEL:
      if (i < 0 || i >= n) return LB_ERR;
      return list->item(i)->isSelected() ? 1 : 0;
    case LB_SETSEL:
      return LB_ERR;  // single selection only
    case LB_GETTOPINDEX: {
      QModelIndex top = list->indexAt(QPoint(1, 1));
      return top.isValid() ? top.row() : 0;
    }
    case LB_SETTOPINDEX:
      if (i < 0 || i >= n) return LB_ERR;
      list->scrollToItem(list->item(i), QAbstractItemView::PositionAtTop);
      return 0;
    case LB_SETTABSTOPS: {
      const int* stops = reinterpret_cast<const int*>(l);
      c->tabs.clear();
      for (WPARAM k = 0; stops && k < w; ++k) c->tabs.push_back(stops[k]);
      list->viewport()->update();
      return TRUE;
    }
    case LB_GETHORIZONTALEXTENT:
      return c->extent;
    case LB_SETHORIZONTALEXTENT: {
      c->extent = std::max(0, i);
      for (int k = 0; k < n; ++k) SizeItem(c, list->item(k));
      bool scrolls = (StyleOf(hwnd) & WS_HSCROLL) && c->extent > list->viewport()->width();
      list->setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
      return 0;
    }
    case CM_SELCHANGE:
      if (StyleOf(hwnd) & LBS_NOTIFY) Notify(hwnd, LBN_SELCHANGE);
      return 0;
    case CM_DBLCLK:
      if (StyleOf(hwnd) & LBS_NOTIFY) Notify(hwnd, LBN_DBLCLK);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* c = ControlOf(hwnd);
  if (msg == WM_CREATE) return Created<CtlKind::ComboBox>(hwnd);
  LRESULT r = 0;
  if (FirstHandling(hwnd, c, msg, w, l, &r)) return r;
  // CB_ messages that mean what an LB_ one does.
  static const std::pair<UINT, UINT> kSame[] = {
      {CB_ADDSTRING, LB_ADDSTRING},     {CB_INSERTSTRING, LB_INSERTSTRING},
      {CB_DELETESTRING, LB_DELETESTRING}, {CB_RESETCONTENT, LB_RESETCONTENT},
      {CB_GETCOUNT, LB_GETCOUNT},       {CB_GETCURSEL, LB_GETCURSEL},
      {CB_SETCURSEL, LB_SETCURSEL},     {CB_GETLBTEXT, LB_GETTEXT},
      {CB_GETLBTEXTLEN, LB_GETTEXTLEN}, {CB_FINDSTRING, LB_FINDSTRING},
      {CB_FINDSTRINGEXACT, LB_FINDSTRINGEXACT}, {CB_SELECTSTRING, LB_SELECTSTRING}};
  for (auto [cb, lb] : kSame)
    if (msg == cb && EntryMessage(c, lb, w, l, &r)) return r;
  QComboBox* box = Combo(c);
  switch (msg) {
    case WM_SETTEXT: {
      // A drop-down list shows only its entries: the text selects one.
      int at = FindEntry(c, -1, ToQt(StrArg(l)), true);
      if (at < 0) return CB_ERR;
      Select(c, at);
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyOut(FromQt(box->currentIndex() >= 0 ? box->currentText() : QString()), w, l);
    case WM_GETTEXTLENGTH:
      return box->currentIndex() >= 0 ? static_cast<LRESULT>(FromQt(box->currentText()).size()) : 0;
    case CB_SHOWDROPDOWN: {
      Quiet q(c);
      if (w) box->showPopup();
      else box->hidePopup();
      return TRUE;
    }
    case CB_GETEDITSEL:
    case CB_LIMITTEXT:
      return CB_ERR;  // a drop-down list has no edit
    case CM_SELCHANGE:
      Notify(hwnd, CBN_SELCHANGE);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

}  // namespace win::detail
