// Menus: items by position and by command id, states, handles that are not
// menus, the Qt bar above a window's client area, context menus chosen by
// the script or by a user, and menus from templates and module resources.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "../resources/res_builder.h"
#include "app.h"
#include "batch.h"
#include "batchinput.h"
#include "dialogs/dialogbox.h"
#include "menus/menus.h"
#include "../qt_app.h"
#include "resources/resources.h"
#include "wingdi.h"

namespace {

struct Logged {
  UINT msg;
  WPARAM w;
  LPARAM l;
};
std::vector<Logged> g_log;

LRESULT Logging(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND || m == WM_LBUTTONDOWN || m == WM_SIZE) g_log.push_back({m, w, l});
  return DefWindowProcA(h, m, w, l);
}

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    win::SetBatchMode(true);
    win::ClearBatchScript();
    WNDCLASSA wc;
    wc.lpfnWndProc = Logging;
    wc.hbrBackground = GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "MENUTEST";
    RegisterClassA(&wc);
    g_log.clear();
  }
  void TearDown() override {
    win::ResetWindowSystem();
    win::ClearBatchScript();
    win::SetBatchMode(false);
  }
  HWND Top(HMENU menu = 0) {
    return CreateWindowExA(0, "MENUTEST", "t", WS_OVERLAPPED, 30, 40, 200, 100, 0, menu, 0, nullptr);
  }
  void Drain() {
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  std::vector<WPARAM> Commands() {
    Drain();
    std::vector<WPARAM> out;
    for (const Logged& l : g_log)
      if (l.msg == WM_COMMAND) {
        EXPECT_EQ(l.l, 0);
        out.push_back(l.w);
      }
    return out;
  }
  static void Script(const char* text) {
    std::string error;
    ASSERT_TRUE(win::ParseBatchScript(text, &error)) << error;
  }
  // Datei: Neu(10), separator, Mehr: (Eins(11), Zwei(12)), Ende(13); Hilfe(20).
  struct Sample {
    HMENU bar, file, more;
  };
  static Sample MakeSample() {
    Sample s{CreateMenu(), CreatePopupMenu(), CreatePopupMenu()};
    AppendMenuA(s.file, MF_STRING, 10, "&Neu");
    AppendMenuA(s.file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(s.more, MF_STRING, 11, "Eins");
    AppendMenuA(s.more, MF_STRING, 12, "Zwei");
    AppendMenuA(s.file, MF_POPUP, static_cast<UINT>(s.more), "&Mehr");
    AppendMenuA(s.file, MF_STRING, 13, "Ende");
    AppendMenuA(s.bar, MF_POPUP, static_cast<UINT>(s.file), "&Datei");
    AppendMenuA(s.bar, MF_STRING, 20, "&Hilfe");
    return s;
  }
  static std::string Text(HMENU m, UINT item, UINT flags) {
    char buf[64];
    int n = GetMenuStringA(m, item, buf, sizeof buf, flags);
    return std::string(buf, static_cast<size_t>(n));
  }
};

TEST_F(Menus, ItemsByPosition) {
  Sample s = MakeSample();
  EXPECT_EQ(GetMenuItemCount(s.bar), 2);
  EXPECT_EQ(GetMenuItemCount(s.file), 4);
  EXPECT_EQ(GetSubMenu(s.bar, 0), s.file);
  EXPECT_EQ(GetSubMenu(s.bar, 1), 0);
  EXPECT_EQ(GetSubMenu(s.file, 2), s.more);
  EXPECT_EQ(GetMenuItemID(s.file, 0), 10u);
  EXPECT_EQ(GetMenuItemID(s.file, 1), 0u);  // a separator
  EXPECT_EQ(GetMenuItemID(s.file, 2), static_cast<UINT>(-1));  // a pop-up
  EXPECT_EQ(GetMenuItemID(s.file, 4), static_cast<UINT>(-1));
  EXPECT_EQ(Text(s.bar, 0, MF_BYPOSITION), "&Datei");
  EXPECT_EQ(GetMenuState(s.file, 1, MF_BYPOSITION), MF_SEPARATOR);
  // A pop-up's state carries its item count in the high byte.
  EXPECT_EQ(GetMenuState(s.file, 2, MF_BYPOSITION), (2u << 8) | MF_POPUP);
}

TEST_F(Menus, ByCommandSearchesSubMenusDepthFirst) {
  Sample s = MakeSample();
  EXPECT_EQ(Text(s.bar, 12, MF_BYCOMMAND), "Zwei");
  EXPECT_EQ(Text(s.bar, 20, MF_BYCOMMAND), "&Hilfe");
  EXPECT_EQ(GetMenuStringA(s.bar, 99, nullptr, 0, MF_BYCOMMAND), 0);
  // The same id in a deeper menu that comes first wins over a later one.
  AppendMenuA(s.bar, MF_STRING, 11, "Zweite Elf");
  EXPECT_EQ(Text(s.bar, 11, MF_BYCOMMAND), "Eins");
  // A sub-menu's own search does not look upwards.
  EXPECT_EQ(GetMenuStringA(s.more, 20, nullptr, 0, MF_BYCOMMAND), 0);
}

TEST_F(Menus, CheckAndEnableReturnThePreviousState) {
  Sample s = MakeSample();
  EXPECT_EQ(CheckMenuItem(s.bar, 12, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(s.bar, 12, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(s.more, 1, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(CheckMenuItem(s.bar, 12, MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(s.bar, 77, MF_CHECKED), static_cast<DWORD>(-1));

  EXPECT_EQ(EnableMenuItem(s.bar, 13, MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(s.bar, 13, MF_DISABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(s.file, 13, MF_BYCOMMAND), MF_DISABLED);
  EXPECT_EQ(EnableMenuItem(s.bar, 13, MF_ENABLED), static_cast<BOOL>(MF_DISABLED));
  EXPECT_EQ(EnableMenuItem(s.bar, 77, MF_GRAYED), -1);
  EXPECT_EQ(EnableMenuItem(s.bar, 5, MF_BYPOSITION | MF_GRAYED), -1);
  // States given when the item is made.
  AppendMenuA(s.bar, MF_STRING | MF_GRAYED | MF_CHECKED, 30, "x");
  EXPECT_EQ(GetMenuState(s.bar, 30, MF_BYCOMMAND), MF_GRAYED | MF_CHECKED);
}

TEST_F(Menus, InsertBeforeAnItemWhereverItIs) {
  Sample s = MakeSample();
  ASSERT_TRUE(InsertMenuA(s.bar, 12, MF_BYCOMMAND | MF_STRING, 15, "Anderthalb"));
  EXPECT_EQ(GetMenuItemCount(s.more), 3);
  EXPECT_EQ(GetMenuItemID(s.more, 1), 15u);
  EXPECT_EQ(GetMenuItemID(s.more, 2), 12u);
  EXPECT_FALSE(InsertMenuA(s.bar, 99, MF_BYCOMMAND | MF_STRING, 16, "nirgends"));
  ASSERT_TRUE(InsertMenuA(s.bar, 0, MF_BYPOSITION | MF_STRING, 1, "Erst"));
  ASSERT_TRUE(InsertMenuA(s.bar, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, 2, "Letzt"));
  EXPECT_EQ(GetMenuItemID(s.bar, 0), 1u);
  EXPECT_EQ(GetMenuItemID(s.bar, GetMenuItemCount(s.bar) - 1), 2u);
}

TEST_F(Menus, RemoveKeepsTheSubMenuDeleteDestroysIt) {
  Sample s = MakeSample();
  ASSERT_TRUE(RemoveMenu(s.bar, 12, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(s.more), 1);
  EXPECT_FALSE(RemoveMenu(s.bar, 12, MF_BYCOMMAND));
  ASSERT_TRUE(RemoveMenu(s.file, 2, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(s.more));
  EXPECT_EQ(GetMenuItemCount(s.file), 3);
  ASSERT_TRUE(DeleteMenu(s.bar, 0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(s.file));
  EXPECT_EQ(GetMenuItemCount(s.bar), 1);
}

TEST_F(Menus, DestroyTakesTheSubMenusAlong) {
  Sample s = MakeSample();
  HMENU other = CreatePopupMenu();
  ASSERT_TRUE(DestroyMenu(s.bar));
  for (HMENU h : {s.bar, s.file, s.more}) EXPECT_FALSE(IsMenu(h));
  EXPECT_TRUE(IsMenu(other));
  EXPECT_FALSE(DestroyMenu(s.bar));
}

TEST_F(Menus, HandlesThatAreNoMenusFail) {
  for (HMENU h : {HMENU(0), HMENU(12345), HMENU(-1)}) {
    EXPECT_FALSE(IsMenu(h));
    EXPECT_FALSE(AppendMenuA(h, MF_STRING, 1, "x"));
    EXPECT_FALSE(InsertMenuA(h, 0, MF_BYPOSITION, 1, "x"));
    EXPECT_FALSE(RemoveMenu(h, 0, MF_BYPOSITION));
    EXPECT_FALSE(DeleteMenu(h, 0, MF_BYPOSITION));
    EXPECT_EQ(CheckMenuItem(h, 1, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(EnableMenuItem(h, 1, MF_GRAYED), -1);
    EXPECT_EQ(GetMenuState(h, 1, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuItemCount(h), -1);
    EXPECT_EQ(GetMenuItemID(h, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetSubMenu(h, 0), 0);
    EXPECT_EQ(GetMenuStringA(h, 0, nullptr, 0, MF_BYPOSITION), 0);
    EXPECT_FALSE(DestroyMenu(h));
    EXPECT_FALSE(TrackPopupMenu(h, 0, 0, 0, 0, Top(), nullptr));
  }
  HMENU m = CreateMenu();
  // A pop-up item needs a real sub-menu, and not the menu itself.
  EXPECT_FALSE(AppendMenuA(m, MF_POPUP, 4711, "x"));
  EXPECT_FALSE(AppendMenuA(m, MF_POPUP, static_cast<UINT>(m), "x"));
  EXPECT_FALSE(SetMenu(Top(), 4711));
  EXPECT_FALSE(SetMenu(0, m));
  EXPECT_EQ(GetMenu(0), 0);
  EXPECT_FALSE(DrawMenuBar(0));
  // A context menu needs an owner.
  EXPECT_FALSE(TrackPopupMenu(m, 0, 0, 0, 0, 0, nullptr));
}

TEST_F(Menus, StringIsCutToTheBuffer) {
  HMENU m = CreateMenu();
  AppendMenuA(m, MF_STRING, 1, "Abcdef");
  char buf[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetMenuStringA(m, 1, buf, 4, MF_BYCOMMAND), 3);
  EXPECT_STREQ(buf, "Abc");
  EXPECT_EQ(GetMenuStringA(m, 1, nullptr, 0, MF_BYCOMMAND), 6);
}

QMenuBar* BarOf(HWND hwnd) {
  QWidget* w = win::QtWidgetOf(hwnd);
  return w ? w->findChild<QMenuBar*>() : nullptr;
}

TEST_F(Menus, BarLiesAboveTheClientArea) {
  HWND hwnd = Top();
  QWidget* w = win::QtWidgetOf(hwnd);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->height(), 100);
  HMENU empty = CreateMenu();
  ASSERT_TRUE(SetMenu(hwnd, empty));
  EXPECT_EQ(GetMenu(hwnd), empty);
  EXPECT_EQ(BarOf(hwnd), nullptr);  // nothing to show
  EXPECT_EQ(w->height(), 100);

  HWND child = CreateWindowExA(0, "MENUTEST", "c", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, hwnd, 5, 0, nullptr);
  Sample s = MakeSample();
  ASSERT_TRUE(SetMenu(hwnd, s.bar));
  QMenuBar* bar = BarOf(hwnd);
  ASSERT_NE(bar, nullptr);
  int h = bar->height();
  EXPECT_GT(h, 0);
  EXPECT_EQ(w->height(), 100 + h);
  EXPECT_EQ(bar->width(), 200);
  RECT rc;
  GetClientRect(hwnd, &rc);
  EXPECT_EQ(rc.right, 200);
  EXPECT_EQ(rc.bottom, 100);
  EXPECT_EQ(win::WindowImage(hwnd).size(), QSize(200, 100));
  // Children and screen points are measured from the client's corner.
  EXPECT_EQ(win::QtWidgetOf(child)->y(), 10 + h);
  POINT p{1, 2};
  ClientToScreen(hwnd, &p);
  EXPECT_EQ(p.x, 31);
  EXPECT_EQ(p.y, 42 + h);
  ScreenToClient(hwnd, &p);
  EXPECT_EQ(p.y, 2);
  GetWindowRect(child, &rc);
  EXPECT_EQ(rc.top, 40 + h + 10);
  Drain();
  for (const Logged& l : g_log) EXPECT_NE(l.msg, static_cast<UINT>(WM_SIZE)) << "the client kept its size";

  // The menu loses its items: the bar goes, the window shrinks back.
  DeleteMenu(s.bar, 0, MF_BYPOSITION);
  DeleteMenu(s.bar, 0, MF_BYPOSITION);
  ASSERT_TRUE(DrawMenuBar(hwnd));
  EXPECT_EQ(BarOf(hwnd), nullptr);
  EXPECT_EQ(w->height(), 100);
  EXPECT_EQ(win::QtWidgetOf(child)->y(), 10);
}

TEST_F(Menus, ClicksInABarredWindowKeepClientCoordinates) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);  // the menu given at creation
  EXPECT_EQ(GetMenu(hwnd), s.bar);
  ASSERT_NE(BarOf(hwnd), nullptr);
  win::SetInputTarget(hwnd);
  Drain();
  Script("click 5 7\n");
  ASSERT_TRUE(win::DeliverBatchInput(false));
  Drain();
  bool seen = false;
  for (const Logged& l : g_log)
    if (l.msg == WM_LBUTTONDOWN) {
      seen = true;
      EXPECT_EQ(l.l, MAKELPARAM(5, 7));
    }
  EXPECT_TRUE(seen);
  win::SetInputTarget(0);
}

TEST_F(Menus, BarShowsItemsAndStates) {
  Sample s = MakeSample();
  CheckMenuItem(s.bar, 10, MF_CHECKED);
  EnableMenuItem(s.bar, 13, MF_GRAYED);
  EnableMenuItem(s.bar, 20, MF_DISABLED);
  HWND hwnd = Top(s.bar);
  QMenuBar* bar = BarOf(hwnd);
  ASSERT_NE(bar, nullptr);
  QList<QAction*> top = bar->actions();
  ASSERT_EQ(top.size(), 2);
  EXPECT_EQ(top[0]->text(), "&Datei");  // the access key as Windows marks it
  EXPECT_FALSE(top[1]->isEnabled());
  QMenu* file = top[0]->menu();
  ASSERT_NE(file, nullptr);
  Q_EMIT file->aboutToShow();  // the drop-down fills itself when it opens
  QList<QAction*> items = file->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_TRUE(items[1]->isSeparator());
  ASSERT_NE(items[2]->menu(), nullptr);
  EXPECT_FALSE(items[3]->isEnabled());
  // Changed without DrawMenuBar, the drop-down shows the change next time.
  AppendMenuA(s.file, MF_STRING, 14, "Neu dazu");
  Q_EMIT file->aboutToShow();
  EXPECT_EQ(file->actions().size(), 5);
  EXPECT_EQ(file->actions()[4]->text(), "Neu dazu");
}

TEST_F(Menus, ChosenBarItemPostsItsCommand) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);
  QMenu* file = BarOf(hwnd)->actions()[0]->menu();
  Q_EMIT file->aboutToShow();
  QMenu* more = file->actions()[2]->menu();
  Q_EMIT more->aboutToShow();
  more->actions()[1]->trigger();
  EXPECT_EQ(Commands(), std::vector<WPARAM>{12});
}

TEST_F(Menus, ScriptChoosesFromTheBar) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);
  win::BatchAction a;
  a.kind = win::ActionKind::Menu;
  a.id = 12;  // in a sub-menu of a drop-down
  EXPECT_TRUE(win::DeliverMenuAction(a, hwnd));
  a.id = 20;  // on the bar itself
  EXPECT_TRUE(win::DeliverMenuAction(a, hwnd));
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{12, 20}));

  EnableMenuItem(s.bar, 12, MF_GRAYED);
  EnableMenuItem(s.bar, 0, MF_BYPOSITION | MF_DISABLED);  // the whole drop-down
  for (int id : {12, 10, 99, 0}) {
    a.id = id;
    EXPECT_FALSE(win::DeliverMenuAction(a, hwnd)) << id;
  }
  a.none = true;
  EXPECT_FALSE(win::DeliverMenuAction(a, hwnd));
  EXPECT_TRUE(Commands().size() == 2);
  // A window without a bar has nothing to choose.
  a.none = false;
  a.id = 20;
  EXPECT_FALSE(win::DeliverMenuAction(a, Top()));
}

TEST_F(Menus, ScriptMenuActionWhileWaiting) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);
  win::SetInputTarget(hwnd);
  EnableMenuItem(s.bar, 11, MF_GRAYED);
  Drain();
  Script("menu 11\nmenu 13\n");
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(win::DeliverBatchInput(false));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[BATCH] menu 11\n");
  Drain();  // input is delivered once the earlier input is taken
  ASSERT_TRUE(win::DeliverBatchInput(false));
  EXPECT_EQ(Commands(), std::vector<WPARAM>{13});
  win::SetInputTarget(0);
}

TEST_F(Menus, ContextMenuTakesTheScriptsChoice) {
  HWND owner = Top();
  Sample s = MakeSample();
  EnableMenuItem(s.bar, 10, MF_GRAYED);
  Script("menu 10\nmenu 77\nmenu 11\nmenu 13\n");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(TrackPopupMenu(s.file, TPM_RIGHTBUTTON, 0, 0, 0, owner, nullptr));
  // The grayed and the unknown item are reported and skipped.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[BATCH] menu 10\n[BATCH] menu 77\n");
  EXPECT_EQ(Commands(), std::vector<WPARAM>{11});
  // TPM_RETURNCMD: the id comes back and nothing is posted.
  EXPECT_EQ(TrackPopupMenu(s.file, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 13);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{11});
}

TEST_F(Menus, ContextMenuClosedByTheScript) {
  HWND owner = Top();
  Sample s = MakeSample();
  Script("menu none\nkey 65\nmenu 11\n");
  EXPECT_EQ(TrackPopupMenu(s.file, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
  // Another kind of action closes it and stays for whoever waits for it.
  EXPECT_EQ(TrackPopupMenu(s.file, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
  ASSERT_NE(win::PeekNextAction(), nullptr);
  EXPECT_EQ(win::PeekNextAction()->kind, win::ActionKind::Key);
  win::TakeNextAction();
  EXPECT_EQ(TrackPopupMenu(s.file, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 11);
  // Nothing left: closed without a choice.
  EXPECT_TRUE(TrackPopupMenu(s.file, 0, 0, 0, 0, owner, nullptr));
  EXPECT_TRUE(Commands().empty());
}

TEST_F(Menus, ContextMenuChosenByAUser) {
  win::SetBatchMode(false);
  HWND owner = Top();
  Sample s = MakeSample();
  bool opened = false;
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, &opened] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    timer->stop();
    opened = true;
    // The way a user picks "Ende": make it current, press Enter.
    QAction* ende = menu->actions().value(3);
    menu->setActiveAction(ende);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(menu, &enter);
  });
  timer->start();
  EXPECT_TRUE(TrackPopupMenu(s.file, TPM_RIGHTBUTTON, 50, 60, 0, owner, nullptr));
  delete timer;
  EXPECT_TRUE(opened);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{13});
}

TEST_F(Menus, WindowTakesItsMenuAlong) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsMenu(s.bar));
  EXPECT_FALSE(IsMenu(s.more));
  EXPECT_EQ(GetMenu(hwnd), 0);
}

TEST_F(Menus, DestroyedBarLeavesTheWindow) {
  Sample s = MakeSample();
  HWND hwnd = Top(s.bar);
  ASSERT_NE(BarOf(hwnd), nullptr);
  DestroyMenu(s.bar);
  EXPECT_EQ(GetMenu(hwnd), 0);
  EXPECT_EQ(BarOf(hwnd), nullptr);
  EXPECT_EQ(win::QtWidgetOf(hwnd)->height(), 100);
}

// Menu templates as resource compilers write them.
using resbuild::Bytes;

void Item(Bytes& b, UINT flags, int id, const std::u16string& text) {
  resbuild::U16(b, flags);
  if (!(flags & MF_POPUP)) resbuild::U16(b, static_cast<uint32_t>(id));
  resbuild::WText(b, text);
}

Bytes StandardTemplate() {
  Bytes b;
  resbuild::U16(b, 0), resbuild::U16(b, 0);
  Item(b, MF_POPUP, 0, u"&Datei");
  Item(b, 0, 101, u"&\u00d6ffnen");
  Item(b, 0, 0, u"");  // a separator
  Item(b, MF_POPUP, 0, u"Mehr");
  Item(b, MF_GRAYED | MF_END, 102, u"Grau");
  Item(b, MF_CHECKED | MF_END, 103, u"Ende");
  Item(b, MF_END, 200, u"&Hilfe");
  return b;
}

TEST_F(Menus, StandardTemplate) {
  Bytes t = StandardTemplate();
  HMENU m = LoadMenuIndirectA(t.data(), t.size());
  ASSERT_TRUE(IsMenu(m));
  EXPECT_EQ(GetMenuItemCount(m), 2);
  HMENU file = GetSubMenu(m, 0);
  EXPECT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(Text(m, 101, MF_BYCOMMAND), "&\xD6" "ffnen");
  EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(m, 102, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(m, 103, MF_BYCOMMAND), MF_CHECKED);
  EXPECT_EQ(GetMenuItemID(m, 1), 200u);
  EXPECT_EQ(Text(m, 1, MF_BYPOSITION), "&Hilfe");
}

TEST_F(Menus, ExtendedTemplate) {
  Bytes b;
  using resbuild::U16, resbuild::U32, resbuild::Pad4, resbuild::WText;
  U16(b, 1), U16(b, 4), U32(b, 0);
  auto item = [&](UINT type, UINT state, UINT id, UINT res, const std::u16string& text) {
    Pad4(b);
    U32(b, type), U32(b, state), U32(b, id), U16(b, res);
    WText(b, text);
    Pad4(b);
    if (res & 1) U32(b, 0);  // help id
  };
  item(0, 0, 0, 0x01, u"Datei");
  item(0, 0x8, 7, 0, u"Neu");
  item(0x800, 0, 0, 0x80, u"");
  item(0, 0x3, 9, 0x80, u"Info");
  HMENU m = LoadMenuIndirectA(b.data(), b.size());
  ASSERT_TRUE(IsMenu(m));
  EXPECT_EQ(GetMenuItemCount(m), 2);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(m, 0)), 2);
  EXPECT_EQ(GetMenuState(m, 7, MF_BYCOMMAND), MF_CHECKED);
  EXPECT_EQ(GetMenuState(GetSubMenu(m, 0), 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(m, 9, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(Text(m, 9, MF_BYCOMMAND), "Info");
}

TEST_F(Menus, MalformedTemplatesGiveNoMenu) {
  Bytes t = StandardTemplate();
  // Cut short anywhere after the header, the last MF_END never comes.
  for (size_t n = 5; n < t.size(); ++n) EXPECT_EQ(LoadMenuIndirectA(t.data(), n), 0) << n;
  Bytes v = t;
  v[0] = 2;  // an unknown version
  EXPECT_EQ(LoadMenuIndirectA(v.data(), v.size()), 0);
  EXPECT_EQ(LoadMenuIndirectA(nullptr, 10), 0);
  EXPECT_EQ(LoadMenuIndirectA(t.data(), 3), 0);
  // Only a header: the empty menu.
  HMENU empty = LoadMenuIndirectA(t.data(), 4);
  ASSERT_TRUE(IsMenu(empty));
  EXPECT_EQ(GetMenuItemCount(empty), 0);
}

TEST_F(Menus, LoadMenuFromTheInterpreterAndFromModules) {
  HMENU leer = LoadMenuA(kSelfInstance, "leer");
  ASSERT_TRUE(IsMenu(leer));
  EXPECT_EQ(GetMenuItemCount(leer), 0);
  EXPECT_NE(LoadMenuA(kSelfInstance, "LEER"), leer);  // each load a menu of its own
  EXPECT_EQ(LoadMenuA(kSelfInstance, "HAUPT"), 0);
  EXPECT_EQ(LoadMenuA(0x12340000, "LEER"), 0);

  auto dir = std::filesystem::temp_directory_path() / "tilmor_menu_module";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "menus.res").string();
  resbuild::Write(path, resbuild::ResFile({{RT_MENU, u"HAUPT", 0, StandardTemplate()},
                                           {RT_MENU, u"", 5, StandardTemplate()}}));
  HINSTANCE module = win::LoadModuleResources(path);
  ASSERT_NE(module, 0);
  HMENU haupt = LoadMenuA(module, "Haupt");
  ASSERT_TRUE(IsMenu(haupt));
  EXPECT_EQ(Text(haupt, 103, MF_BYCOMMAND), "Ende");
  EXPECT_TRUE(IsMenu(LoadMenuA(module, "#5")));
  EXPECT_TRUE(IsMenu(LoadMenuA(module, reinterpret_cast<LPCSTR>(uintptr_t{5}))));
  EXPECT_EQ(LoadMenuA(module, "NEBEN"), 0);
  win::FreeModuleResources(module);
  std::filesystem::remove_all(dir);
}

}  // namespace
