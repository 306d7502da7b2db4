// Menus: the items behind the menu handles, a window's menu bar as a
// QMenuBar above its client area, context menus as QMenus, menu templates.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPoint>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../codepage.h"
#include "../dialogs/dialogbox.h"
#include "../hostwidget.h"
#include "../resources/resources.h"
#include "../window_impl.h"
#include "menus.h"

using namespace win::detail;

namespace {

struct Item {
  UINT flags = 0;  // MF_ type and state bits
  UINT id = 0;
  HMENU sub = 0;  // with MF_POPUP
  std::string text;
};

struct Menu {
  std::vector<Item> items;
};

// A window's menu bar and the Qt bar that shows it (none while it is empty).
struct Bar {
  HMENU menu = 0;
  QMenuBar* qt = nullptr;
};

struct MenuState {
  std::map<HMENU, Menu> menus;
  std::map<HWND, Bar> bars;
  HMENU next = 0x00A00010;  // apart from window and GDI handles
};

MenuState& M() {
  static MenuState state;
  return state;
}

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr UINT kNotFound = static_cast<UINT>(-1);
// Sub-menus may be appended into each other; searches stop this deep.
constexpr int kMaxDepth = 32;
const char* const kIdProperty = "tilmorItemId";
const char* const kSubProperty = "tilmorSubMenu";
const char* const kOwnedProperty = "tilmorItem";

Menu* FindMenu(HMENU h) {
  auto it = M().menus.find(h);
  return it == M().menus.end() ? nullptr : &it->second;
}

HMENU NewMenu() {
  MenuState& m = M();
  HMENU h = m.next++;
  m.menus[h] = Menu{};
  return h;
}

bool IsCommand(const Item& it) { return !(it.flags & (MF_POPUP | MF_SEPARATOR)); }
bool IsEnabled(const Item& it) { return !(it.flags & (MF_GRAYED | MF_DISABLED)); }

struct Found {
  HMENU menu;
  size_t index;
};

// MF_BYCOMMAND: depth-first, the first item with the id; a pop-up item
// matches by its sub-menu's handle when nothing inside it does.
std::optional<Found> ByCommand(HMENU menu, UINT id, int depth) {
  Menu* m = FindMenu(menu);
  if (!m || depth > kMaxDepth) return std::nullopt;
  std::optional<Found> popup;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    if (it.flags & MF_POPUP) {
      if (auto f = ByCommand(it.sub, id, depth + 1)) return f;
      if (!popup && static_cast<UINT>(it.sub) == id) popup = Found{menu, i};
    } else if (it.id == id) {
      return Found{menu, i};
    }
  }
  return popup;
}

std::optional<Found> Locate(HMENU menu, UINT item, UINT flags) {
  Menu* m = FindMenu(menu);
  if (!m) return std::nullopt;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return std::nullopt;
    return Found{menu, item};
  }
  return ByCommand(menu, item, 0);
}

Item* ItemAt(const Found& f) { return &FindMenu(f.menu)->items[f.index]; }

// The way to an enabled command item with the id through enabled pop-ups,
// as a user could reach it: the sub-menu handles passed, then the item.
bool PathTo(HMENU menu, UINT id, int depth, std::vector<HMENU>* subs) {
  Menu* m = FindMenu(menu);
  if (!m || depth > kMaxDepth) return false;
  for (const Item& it : m->items) {
    if (!IsEnabled(it)) continue;
    if (IsCommand(it) && it.id == id) return true;
    if (it.flags & MF_POPUP) {
      subs->push_back(it.sub);
      if (PathTo(it.sub, id, depth + 1, subs)) return true;
      subs->pop_back();
    }
  }
  return false;
}

void DestroyTree(HMENU h, std::set<HMENU>& seen) {
  Menu* m = FindMenu(h);
  if (!m || !seen.insert(h).second) return;
  std::vector<HMENU> subs;
  for (const Item& it : m->items)
    if (it.flags & MF_POPUP) subs.push_back(it.sub);
  M().menus.erase(h);
  for (HMENU s : subs) DestroyTree(s, seen);
}

QString QtText(const std::string& s) { return QString::fromStdString(win::Cp1252ToUtf8(s)); }

void PostCommand(HWND owner, UINT id) {
  if (owner && Find(owner)) Post(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(id & 0xFFFF), 0), 0);
}

// Removes what an earlier filling put into a Qt menu or bar.
void Clear(QWidget* q) {
  for (QAction* a : q->actions()) q->removeAction(a);
  const QObjectList children = q->children();  // a copy: deleting changes the list
  for (QObject* c : children) {
    if (!c->property(kOwnedProperty).toBool()) continue;
    if (auto* w = qobject_cast<QWidget*>(c)) w->hide();
    delete c;
  }
}

// Fills a Qt menu or bar with the items of `menu`; pop-ups fill themselves
// when they open, so they always show the items as they are then. Chosen
// items are posted to `owner` (none: the caller reads the chosen action).
void Fill(QWidget* q, HMENU menu, HWND owner) {
  Clear(q);
  Menu* m = FindMenu(menu);
  if (!m) return;
  for (const Item& it : m->items) {
    if (it.flags & MF_POPUP) {
      auto* sub = new QMenu(QtText(it.text), q);
      sub->setProperty(kOwnedProperty, true);
      sub->setProperty(kSubProperty, it.sub);
      HMENU h = it.sub;
      QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, h, owner] { Fill(sub, h, owner); });
      sub->menuAction()->setEnabled(IsEnabled(it));
      q->addAction(sub->menuAction());
      continue;
    }
    auto* a = new QAction(q);
    a->setProperty(kOwnedProperty, true);
    if (it.flags & MF_SEPARATOR) {
      a->setSeparator(true);
    } else {
      a->setText(QtText(it.text));
      a->setProperty(kIdProperty, it.id);
      a->setEnabled(IsEnabled(it));
      bool checked = (it.flags & MF_CHECKED) != 0;
      a->setCheckable(checked);
      a->setChecked(checked);
      UINT id = it.id;
      QObject::connect(a, &QAction::triggered, a, [a, owner, id, checked] {
        a->setChecked(checked);  // the program decides about check marks
        PostCommand(owner, id);
      });
    }
    q->addAction(a);
  }
}

QMenu* SubMenuOf(QWidget* q, HMENU sub) {
  for (QMenu* c : q->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
    if (c->property(kSubProperty).toInt() == sub && q->actions().contains(c->menuAction())) return c;
  return nullptr;
}

QAction* CommandOf(QWidget* q, UINT id) {
  for (QAction* a : q->actions())
    if (a->property(kIdProperty).isValid() && a->property(kIdProperty).toUInt() == id) return a;
  return nullptr;
}

// Shows the window's bar as its menu says: a Qt bar above the client area
// while the menu has items, nothing otherwise.
void RefreshBar(HWND hwnd) {
  Wnd* w = Find(hwnd);
  auto it = M().bars.find(hwnd);
  if (!w || !w->widget || it == M().bars.end()) return;
  Bar& b = it->second;
  HostWidget* host = w->widget;
  Menu* m = FindMenu(b.menu);
  int before = host->ClientTop();
  if (!m || m->items.empty()) {
    if (b.qt) {
      host->SetMenuBar(nullptr, 0);
      delete b.qt;
      b.qt = nullptr;
    }
  } else {
    if (!b.qt) {
      b.qt = new QMenuBar(host);
      b.qt->setNativeMenuBar(false);  // it belongs above the client area
    }
    Fill(b.qt, b.menu, hwnd);
    int h = b.qt->heightForWidth(std::max(1, w->geom.width()));
    if (h <= 0) h = b.qt->sizeHint().height();
    host->SetMenuBar(b.qt, h);
    b.qt->show();
  }
  if (host->ClientTop() != before) {
    // The client keeps its size; the window grows or shrinks by the bar.
    PlaceWidget(w);
    for (HWND c : w->children)
      if (Wnd* cw = Find(c)) PlaceWidget(cw);
  }
}

void ForgetBarsOf(HMENU h) {
  for (auto& [hwnd, b] : M().bars) {
    if (b.menu != h) continue;
    b.menu = 0;
    RefreshBar(hwnd);
  }
}

// Templates: bounds-checked little-endian reads.
class Template {
 public:
  Template(const void* data, size_t size) : p_(static_cast<const unsigned char*>(data)), n_(data ? size : 0) {}
  bool U16(size_t& at, UINT* v) const {
    if (at + 2 > n_) return false;
    *v = p_[at] | (p_[at + 1] << 8);
    at += 2;
    return true;
  }
  bool U32(size_t& at, UINT* v) const {
    UINT lo, hi;
    if (!U16(at, &lo) || !U16(at, &hi)) return false;
    *v = lo | (hi << 16);
    return true;
  }
  // A zero-ended UTF-16 text, as Windows-1252.
  bool Text(size_t& at, std::string* s) const {
    size_t start = at;
    for (UINT c = 1; c != 0;)
      if (!U16(at, &c)) return false;
    *s = win::Utf16LeToCp1252(p_ + start, (at - start) / 2 - 1);
    return true;
  }
  size_t size() const { return n_; }

 private:
  const unsigned char* p_;
  size_t n_;
};

// MENUITEMTEMPLATE items up to the one marked MF_END; a pop-up's items follow its text.
bool ParseItems(const Template& t, size_t& at, HMENU menu, int depth) {
  if (depth > kMaxDepth) return false;
  for (;;) {
    UINT flags, id = 0;
    std::string text;
    if (!t.U16(at, &flags)) return false;
    if (flags & MF_POPUP) {
      if (!t.Text(at, &text)) return false;
      HMENU sub = NewMenu();
      AppendMenuA(menu, (flags & ~MF_END) | MF_POPUP, static_cast<UINT>(sub), text.c_str());
      if (!ParseItems(t, at, sub, depth + 1)) return false;
    } else {
      if (!t.U16(at, &id) || !t.Text(at, &text)) return false;
      UINT f = flags & ~MF_END;
      // A nameless item 0 is how resource compilers write a separator.
      if ((f & MF_SEPARATOR) || (id == 0 && text.empty() && (f & ~kStateBits) == 0))
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      else
        AppendMenuA(menu, f, id, text.c_str());
    }
    if (flags & MF_END) return true;
  }
}

// MENUEX_TEMPLATE_ITEMs, each aligned to four bytes; bResInfo 0x80 ends a
// level, 0x01 marks a pop-up, whose help id and items follow.
bool ParseExItems(const Template& t, size_t& at, HMENU menu, int depth) {
  constexpr UINT kExSeparator = 0x800, kExLast = 0x80, kExPopup = 0x01;
  if (depth > kMaxDepth) return false;
  for (;;) {
    at = (at + 3) & ~size_t{3};
    UINT type, state, id, res, help;
    std::string text;
    if (!t.U32(at, &type) || !t.U32(at, &state) || !t.U32(at, &id) || !t.U16(at, &res) || !t.Text(at, &text))
      return false;
    at = (at + 3) & ~size_t{3};
    UINT flags = ((state & 0x3) ? MF_GRAYED : 0) | ((state & 0x8) ? MF_CHECKED : 0);
    if (res & kExPopup) {
      if (!t.U32(at, &help)) return false;
      HMENU sub = NewMenu();
      AppendMenuA(menu, flags | MF_POPUP, static_cast<UINT>(sub), text.c_str());
      if (!ParseExItems(t, at, sub, depth + 1)) return false;
    } else if (type & kExSeparator) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(menu, flags, id, text.c_str());
    }
    if (res & kExLast) return true;
  }
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

HMENU CreateMenu() { return NewMenu(); }
HMENU CreatePopupMenu() { return NewMenu(); }

BOOL DestroyMenu(HMENU menu) {
  if (!FindMenu(menu)) return FALSE;
  std::set<HMENU> seen;
  DestroyTree(menu, seen);
  for (HMENU h : seen) ForgetBarsOf(h);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return FindMenu(menu) ? TRUE : FALSE; }

BOOL AppendMenuA(HMENU menu, UINT flags, UINT item, LPCSTR text) {
  return InsertMenuA(menu, kNotFound, flags | MF_BYPOSITION, item, text);
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT item, LPCSTR text) {
  Menu* m = FindMenu(menu);
  if (!m) return FALSE;
  Item it;
  it.flags = flags & ~(MF_BYPOSITION | MF_END);
  if (it.flags & MF_POPUP) {
    HMENU sub = static_cast<HMENU>(item);
    if (!FindMenu(sub) || sub == menu) return FALSE;
    it.sub = sub;
    it.id = item;
  } else {
    it.id = item;
  }
  if (it.flags & MF_SEPARATOR) {
    it.id = 0;
  } else if (text) {
    it.text = text;
  }
  HMENU into = menu;
  size_t at;
  if (flags & MF_BYPOSITION) {
    at = std::min<size_t>(position, m->items.size());
  } else {
    auto f = ByCommand(menu, position, 0);
    if (!f) return FALSE;
    into = f->menu;
    at = f->index;
  }
  auto& items = FindMenu(into)->items;
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::move(it));
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  auto f = Locate(menu, position, flags);
  if (!f) return FALSE;
  auto& items = FindMenu(f->menu)->items;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(f->index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  auto f = Locate(menu, position, flags);
  if (!f) return FALSE;
  HMENU sub = (ItemAt(*f)->flags & MF_POPUP) ? ItemAt(*f)->sub : 0;
  auto& items = FindMenu(f->menu)->items;
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(f->index));
  if (sub) DestroyMenu(sub);
  return TRUE;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  auto f = Locate(menu, item, flags);
  if (!f) return kNotFound;
  Item* it = ItemAt(*f);
  DWORD was = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return was;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  auto f = Locate(menu, item, flags);
  if (!f) return -1;
  Item* it = ItemAt(*f);
  BOOL was = static_cast<BOOL>(it->flags & (MF_GRAYED | MF_DISABLED));
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return was;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  auto f = Locate(menu, item, flags);
  if (!f) return kNotFound;
  const Item* it = ItemAt(*f);
  if (it->flags & MF_POPUP) {
    // The sub-menu's item count in the high byte, the flags in the low one.
    Menu* sub = FindMenu(it->sub);
    UINT count = sub ? static_cast<UINT>(sub->items.size()) : 0;
    return (count << 8) | (it->flags & 0xFF);
  }
  return it->flags;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = FindMenu(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto f = Locate(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (!f || position < 0 || (ItemAt(*f)->flags & MF_POPUP)) return kNotFound;
  return ItemAt(*f)->id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  auto f = Locate(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (!f || position < 0 || !(ItemAt(*f)->flags & MF_POPUP)) return 0;
  return FindMenu(ItemAt(*f)->sub) ? ItemAt(*f)->sub : 0;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  auto f = Locate(menu, item, flags);
  if (!f) return 0;
  const std::string& text = ItemAt(*f)->text;
  if (!buffer || size <= 0) return static_cast<int>(text.size());
  int n = std::min<int>(size - 1, static_cast<int>(text.size()));
  std::memcpy(buffer, text.data(), static_cast<size_t>(n));
  buffer[n] = 0;
  return n;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  Wnd* w = Find(hwnd);
  if (!w || w->parent || (menu && !FindMenu(menu))) return FALSE;
  M().bars[hwnd].menu = menu;
  RefreshBar(hwnd);
  return TRUE;
}

HMENU GetMenu(HWND hwnd) {
  auto it = M().bars.find(hwnd);
  return it == M().bars.end() || !Find(hwnd) ? 0 : it->second.menu;
}

BOOL DrawMenuBar(HWND hwnd) {
  if (!Find(hwnd)) return FALSE;
  RefreshBar(hwnd);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!FindMenu(menu) || !Find(owner)) return FALSE;
  UINT chosen = 0;
  if (win::IsBatchMode()) {
    // The script is the user: "menu ID" chooses, "menu none" or anything
    // else closes the menu; a choice the menu cannot take is skipped.
    for (;;) {
      const win::BatchAction* next = win::PeekNextAction();
      if (!next || next->kind != win::ActionKind::Menu) break;
      win::BatchAction act = *win::TakeNextAction();
      if (act.none) break;
      std::vector<HMENU> subs;
      if (PathTo(menu, static_cast<UINT>(act.id), 0, &subs)) {
        chosen = static_cast<UINT>(act.id);
        break;
      }
      win::ReportUnfitAction(act);
    }
  } else {
    QMenu popup;
    Fill(&popup, menu, 0);
    QObject::connect(&popup, &QMenu::aboutToShow, &popup, [&popup, menu] { Fill(&popup, menu, 0); });
    QAction* a = popup.exec(QPoint(x, y));
    if (a && a->property(kIdProperty).isValid()) chosen = a->property(kIdProperty).toUInt();
  }
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen) PostCommand(owner, chosen);
  return TRUE;
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
  if (!name) return 0;
  auto raw = reinterpret_cast<uintptr_t>(name);
  std::string n = raw < 0x10000 ? "#" + std::to_string(raw) : std::string(name);
  if (instance == kSelfInstance) return Upper(n) == "LEER" ? CreateMenu() : 0;
  std::vector<unsigned char> data;
  if (!win::FindModuleResource(instance, RT_MENU, n, &data)) return 0;
  return LoadMenuIndirectA(data.data(), data.size());
}

HMENU LoadMenuIndirectA(const void* data, size_t size) {
  Template t(data, size);
  size_t at = 0;
  UINT version, offset;
  if (!t.U16(at, &version) || !t.U16(at, &offset)) return 0;
  if (version > 1) return 0;
  at += offset;
  HMENU menu = NewMenu();
  bool ok = at >= t.size()  // a template without items: an empty menu
            || (version == 0 ? ParseItems(t, at, menu, 0) : ParseExItems(t, at, menu, 0));
  if (!ok) {
    DestroyMenu(menu);
    return 0;
  }
  return menu;
}

namespace win {

bool DeliverMenuAction(const BatchAction& action, HWND window) {
  if (action.kind != ActionKind::Menu || action.none) return false;
  auto it = M().bars.find(window);
  if (it == M().bars.end() || !it->second.qt) return false;
  const Bar& b = it->second;
  std::vector<HMENU> subs;
  UINT id = static_cast<UINT>(action.id);
  if (!PathTo(b.menu, id, 0, &subs)) return false;
  // Down the Qt menus as a click would open them, then the item.
  QWidget* q = b.qt;
  for (HMENU sub : subs) {
    QMenu* next = SubMenuOf(q, sub);
    if (!next || !next->menuAction()->isEnabled()) return false;
    Fill(next, sub, window);
    q = next;
  }
  QAction* a = CommandOf(q, id);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

}  // namespace win

namespace win::detail {

void DropWindowMenu(HWND hwnd) {
  auto it = M().bars.find(hwnd);
  if (it == M().bars.end()) return;
  HMENU menu = it->second.menu;
  M().bars.erase(it);  // the Qt bar goes with the window's widget
  // A window takes its menu with it, as Windows does.
  if (menu) DestroyMenu(menu);
}

}  // namespace win::detail
