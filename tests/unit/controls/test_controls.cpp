// The standard controls through the window layer's own functions: their
// messages' results, the notifications their input sends to the parent and
// in which order, batch delivery, fonts and screenshots.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QAbstractSlider>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cstring>
#include <string>
#include <vector>

#include "batch.h"
#include "batchinput.h"
#include "clipboard.h"
#include "controls/controls.h"
#include "dialogs/dialogbox.h"
#include "menus/menus.h"
#include "fontobjects.h"
#include "../qt_app.h"
#include "wingdi.h"
#include "winuser.h"

namespace {

struct Heard {
  HWND to;
  UINT msg;
  WPARAM w;
  LPARAM l;
};
std::vector<Heard> g_heard;

LRESULT Parent(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_COMMAND || m == WM_PARENTNOTIFY || m == WM_HSCROLL || m == WM_VSCROLL || m == WM_KEYDOWN)
    g_heard.push_back({h, m, w, l});
  return DefWindowProcA(h, m, w, l);
}

LPARAM Str(const char* s) { return reinterpret_cast<LPARAM>(s); }

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureTestApplication(true);
    win::SetBatchMode(true);
    WNDCLASSA wc;
    wc.lpfnWndProc = Parent;
    wc.lpszClassName = "CTLPARENT";
    RegisterClassA(&wc);
    top_ = CreateWindowExA(0, "CTLPARENT", "Parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, 0, 0, 0, nullptr);
    ShowWindow(top_, SW_SHOW);
    Pump();
    g_heard.clear();
  }
  void TearDown() override {
    win::ClearBatchScript();
    win::ResetWindowSystem();
    win::SetBatchMode(false);
  }
  HWND Make(const char* cls, const char* text, DWORD style, int id, HWND parent = 0, int x = 10, int y = 10,
            int w = 120, int h = 24) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent ? parent : top_, id, 0,
                           nullptr);
  }
  void Pump() {
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  // The notifications of WM_COMMAND heard, as (id, code).
  std::vector<std::pair<int, int>> Commands() {
    std::vector<std::pair<int, int>> out;
    for (const Heard& h : g_heard)
      if (h.msg == WM_COMMAND) out.emplace_back(LOWORD(h.w), HIWORD(h.w));
    return out;
  }
  std::string Text(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
  }
  bool Act(win::ActionKind kind, int id, int index = 0, const std::string& value = "") {
    win::BatchAction a;
    a.kind = kind;
    a.id = id;
    a.index = index;
    a.value = value;
    return win::DeliverControlAction(a, 0);
  }
  HWND top_ = 0;
};

using Cmd = std::vector<std::pair<int, int>>;

TEST_F(Controls, SystemClassesExistFromTheStartAndSurviveAReset) {
  WNDCLASSA wc;
  for (const char* cls : {"BUTTON", "static", "Edit", "LISTBOX", "COMBOBOX", "SCROLLBAR"})
    EXPECT_TRUE(GetClassInfoA(0, cls, &wc)) << cls;
  win::ResetWindowSystem();
  HWND top = CreateWindowExA(0, "CTLPARENT", "p", WS_OVERLAPPED, 0, 0, 100, 100, 0, 0, 0, nullptr);
  HWND b = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top, 7, 0, nullptr);
  ASSERT_NE(b, 0);
  char name[32];
  GetClassNameA(b, name, sizeof name);
  EXPECT_STREQ(name, "Button");
  EXPECT_EQ(GetDlgItem(top, 7), b);
  EXPECT_NE(win::QtWidgetOf(b), nullptr);
}

TEST_F(Controls, WindowTextReachesTheControlAndComesBackLikeWindows) {
  HWND b = Make("BUTTON", "&Save", BS_PUSHBUTTON, 1);
  HWND s = Make("STATIC", "Label", SS_LEFT, 0);
  HWND e = Make("EDIT", "start", WS_BORDER | ES_AUTOHSCROLL, 2);
  EXPECT_EQ(Text(b), "&Save");
  EXPECT_EQ(Text(e), "start");
  EXPECT_TRUE(SetWindowTextA(b, "Gr\xFC\xDF"));
  EXPECT_EQ(Text(b), "Gr\xFC\xDF");
  EXPECT_TRUE(SetWindowTextA(s, "Neu"));
  EXPECT_EQ(GetWindowTextLengthA(s), 3);
  // WM_GETTEXT copies at most size-1 characters and a NUL and counts them.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(e, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
  EXPECT_STREQ(small, "sta");
  EXPECT_EQ(SendMessageA(e, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
  EXPECT_EQ(SendMessageA(e, WM_GETTEXTLENGTH, 0, 0), 5);
  // The text a user types is what the program reads.
  win::BatchAction a;
  a.kind = win::ActionKind::SetText;
  a.id = 2;
  a.value = "typed";
  ASSERT_TRUE(win::DeliverControlAction(a, top_));
  EXPECT_EQ(Text(e), "typed");
}

TEST_F(Controls, ButtonClicksNotifyOnlyWhenDispatched) {
  HWND b = Make("BUTTON", "OK", BS_DEFPUSHBUTTON, 1);
  ASSERT_TRUE(Act(win::ActionKind::Press, 1));
  EXPECT_TRUE(Commands().empty()) << "the click is reported through the queue";
  Pump();
  EXPECT_EQ(Commands(), (Cmd{{1, BN_CLICKED}}));
  ASSERT_FALSE(g_heard.empty());
  auto cmd = std::find_if(g_heard.begin(), g_heard.end(), [](const Heard& h) { return h.msg == WM_COMMAND; });
  EXPECT_EQ(cmd->l, static_cast<LPARAM>(b));
  EXPECT_EQ(cmd->to, top_);
  EXPECT_EQ(GetFocus(), b);
  // BM_CLICK notifies at once, as SendMessage does on Windows.
  g_heard.clear();
  SendMessageA(b, BM_CLICK, 0, 0);
  EXPECT_EQ(Commands(), (Cmd{{1, BN_CLICKED}}));
  EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  SendMessageA(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST_F(Controls, CheckBoxesToggleOnlyWhenAutomatic) {
  HWND autoBox = Make("BUTTON", "Auto", BS_AUTOCHECKBOX, 1);
  HWND plain = Make("BUTTON", "Plain", BS_CHECKBOX, 2, 0, 10, 40);
  EXPECT_EQ(SendMessageA(autoBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ASSERT_TRUE(Act(win::ActionKind::Press, 1));
  ASSERT_TRUE(Act(win::ActionKind::Press, 2));
  Pump();
  EXPECT_EQ(SendMessageA(autoBox, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Commands(), (Cmd{{1, BN_CLICKED}, {2, BN_CLICKED}}));
  SendMessageA(plain, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(autoBox, BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_EQ(SendMessageA(autoBox, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Pump();
  EXPECT_EQ(Commands().size(), 2u) << "BM_SETCHECK notifies nobody";
}

TEST_F(Controls, AutoRadioButtonsUncheckTheRestOfTheirGroupOnly) {
  HWND r1 = Make("BUTTON", "A", BS_AUTORADIOBUTTON | WS_GROUP, 1, 0, 10, 10);
  HWND r2 = Make("BUTTON", "B", BS_AUTORADIOBUTTON, 2, 0, 10, 40);
  HWND r3 = Make("BUTTON", "C", BS_AUTORADIOBUTTON | WS_GROUP, 3, 0, 10, 70);
  SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(r3, BM_SETCHECK, BST_CHECKED, 0);
  ASSERT_TRUE(Act(win::ActionKind::Press, 2));
  Pump();
  EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(r3, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group";
  // Clicking the checked one keeps it checked.
  ASSERT_TRUE(Act(win::ActionKind::Press, 2));
  Pump();
  EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Commands(), (Cmd{{2, BN_CLICKED}, {2, BN_CLICKED}}));
}

TEST_F(Controls, ActionsThatDoNotFitAreRefusedWithoutActing) {
  HWND b = Make("BUTTON", "Off", BS_PUSHBUTTON, 1);
  Make("BUTTON", "Group", BS_GROUPBOX, 2, 0, 10, 40);
  Make("STATIC", "text", SS_LEFT, 3, 0, 10, 70);
  HWND list = Make("LISTBOX", "", LBS_NOTIFY, 4, 0, 200, 10, 100, 100);
  SendMessageA(list, LB_ADDSTRING, 0, Str("one"));
  EnableWindow(b, FALSE);
  EXPECT_FALSE(Act(win::ActionKind::Press, 1)) << "disabled";
  EXPECT_FALSE(Act(win::ActionKind::Press, 2)) << "a group box is no button to press";
  EXPECT_FALSE(Act(win::ActionKind::Press, 99)) << "no such control";
  EXPECT_FALSE(Act(win::ActionKind::SetText, 3, 0, "x")) << "a static is no edit";
  EXPECT_FALSE(Act(win::ActionKind::Select, 4, 1)) << "entry out of range";
  EXPECT_FALSE(Act(win::ActionKind::DblClick, 1, 0));
  EXPECT_FALSE(Act(win::ActionKind::Scroll, 4, 0));
  EnableWindow(b, TRUE);
  EnableWindow(top_, FALSE);
  EXPECT_FALSE(Act(win::ActionKind::Press, 1)) << "disabled parent";
  EnableWindow(top_, TRUE);
  Pump();
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(Controls, ScopeLimitsTheSearchToAWindowAndItsChildren) {
  HWND other = CreateWindowExA(0, "CTLPARENT", "Other", WS_OVERLAPPED, 0, 0, 200, 200, 0, 0, 0, nullptr);
  HWND inOther = Make("BUTTON", "x", BS_PUSHBUTTON, 5, other);
  HWND inTop = Make("BUTTON", "y", BS_PUSHBUTTON, 5);
  win::BatchAction a;
  a.kind = win::ActionKind::Press;
  a.id = 5;
  ASSERT_TRUE(win::DeliverControlAction(a, top_));
  Pump();
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(static_cast<HWND>(g_heard.back().l), inTop);
  g_heard.clear();
  // Without a scope: the first one created when the active window has none.
  SetActiveWindow(other);
  ASSERT_TRUE(win::DeliverControlAction(a, 0));
  Pump();
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(static_cast<HWND>(g_heard.back().l), inOther);
  a.id = 6;
  EXPECT_FALSE(win::DeliverControlAction(a, other));
  EXPECT_FALSE(win::DeliverControlAction(a, 0x7777)) << "no such scope";
}

TEST_F(Controls, ParentNotifyGoesUpTheChainInEachParentsCoordinates) {
  HWND mid = CreateWindowExA(0, "CTLPARENT", "", WS_CHILD | WS_VISIBLE, 50, 40, 200, 150, top_, 9, 0, nullptr);
  HWND b = Make("BUTTON", "in", BS_PUSHBUTTON, 1, mid, 10, 20, 80, 30);
  ASSERT_TRUE(Act(win::ActionKind::Press, 1));
  Pump();
  std::vector<Heard> notes;
  for (const Heard& h : g_heard)
    if (h.msg == WM_PARENTNOTIFY) notes.push_back(h);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].to, mid);
  EXPECT_EQ(notes[0].w, MAKEWPARAM(WM_LBUTTONDOWN, 0));
  QPoint center = win::QtWidgetOf(b)->rect().center();
  EXPECT_EQ(LOWORD(notes[0].l), 10 + center.x());
  EXPECT_EQ(HIWORD(notes[0].l), 20 + center.y());
  EXPECT_EQ(notes[1].to, top_);
  EXPECT_EQ(LOWORD(notes[1].l), 60 + center.x());
  EXPECT_EQ(HIWORD(notes[1].l), 60 + center.y());
  // The parent notice comes before the click's own notification.
  auto firstNote = std::find_if(g_heard.begin(), g_heard.end(), [](auto& h) { return h.msg == WM_PARENTNOTIFY; });
  auto command = std::find_if(g_heard.begin(), g_heard.end(), [](auto& h) { return h.msg == WM_COMMAND; });
  EXPECT_LT(firstNote, command);
  // A child that asks not to tell its parents.
  g_heard.clear();
  HWND quiet = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "BUTTON", "q", WS_CHILD | WS_VISIBLE, 10, 60, 80,
                               30, mid, 2, 0, nullptr);
  ASSERT_NE(quiet, 0);
  ASSERT_TRUE(Act(win::ActionKind::Press, 2));
  Pump();
  for (const Heard& h : g_heard) EXPECT_NE(h.msg, static_cast<UINT>(WM_PARENTNOTIFY));
}

TEST_F(Controls, EditChangesNotifyAsWindowsDoes) {
  HWND e = Make("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 7);
  SetWindowTextA(e, "abc");
  EXPECT_EQ(Commands(), (Cmd{{7, EN_CHANGE}})) << "WM_SETTEXT notifies at once";
  g_heard.clear();
  ASSERT_TRUE(Act(win::ActionKind::SetText, 7, 0, "hello"));
  Cmd before = Commands();
  Pump();
  Cmd after = Commands();
  // The focus moved to the edit and the typed text changed it.
  EXPECT_TRUE(std::find(before.begin(), before.end(), std::pair<int, int>{7, EN_CHANGE}) == before.end());
  EXPECT_NE(std::find(after.begin(), after.end(), std::pair<int, int>{7, EN_SETFOCUS}), after.end());
  EXPECT_NE(std::find(after.begin(), after.end(), std::pair<int, int>{7, EN_CHANGE}), after.end());
  EXPECT_EQ(Text(e), "hello");
  g_heard.clear();
  HWND b = Make("BUTTON", "b", BS_PUSHBUTTON, 8, 0, 10, 60);
  SetFocus(b);
  EXPECT_EQ(Commands(), (Cmd{{7, EN_KILLFOCUS}}));
  g_heard.clear();
  SetFocus(e);
  EXPECT_EQ(Commands(), (Cmd{{7, EN_SETFOCUS}}));
}

TEST_F(Controls, SingleLineEditLimitsAndSelection) {
  HWND e = Make("EDIT", "", WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD, 1);
  EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 30000);
  SendMessageA(e, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessageA(e, EM_GETLIMITTEXT, 0, 0), 3);
  // The program's own text is not cut to the limit; what the user types is.
  SetWindowTextA(e, "secret");
  EXPECT_EQ(Text(e), "secret") << "a password edit reports its real text";
  SetWindowTextA(e, "");
  SetFocus(e);
  for (BYTE vk : {'A', 'B', 'C', 'D'}) {
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
  }
  EXPECT_EQ(Text(e), "abc");
  SendMessageA(e, EM_LIMITTEXT, 0, 0);
  SetWindowTextA(e, "abcdef");
  SendMessageA(e, EM_SETSEL, 1, 4);
  DWORD from = 99, to = 99;
  LRESULT sel = SendMessageA(e, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(LOWORD(sel), 1);
  EXPECT_EQ(HIWORD(sel), 4);
  EXPECT_EQ(from, 1u);
  EXPECT_EQ(to, 4u);
  SendMessageA(e, EM_SETSEL, 0, -1);
  EXPECT_EQ(HIWORD(SendMessageA(e, EM_GETSEL, 0, 0)), 6);
  SendMessageA(e, EM_SETSEL, 5, 2);  // reversed: the same selection
  EXPECT_EQ(SendMessageA(e, EM_GETSEL, 0, 0), MAKELPARAM(2, 5));
  g_heard.clear();
  SendMessageA(e, EM_REPLACESEL, 0, Str("XY"));
  EXPECT_EQ(Text(e), "abXYf");
  EXPECT_EQ(Commands(), (Cmd{{1, EN_CHANGE}}));
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, 0, 0), 5);
}

TEST_F(Controls, MultiLineEditCountsLinesWithWindowsLineEnds) {
  HWND e = Make("EDIT", "", WS_BORDER | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_WANTRETURN, 3, 0, 10, 10, 200,
                100);
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 1);
  SetWindowTextA(e, "one\r\ntwo2\r\n\r\nfour");
  EXPECT_EQ(Text(e), "one\r\ntwo2\r\n\r\nfour");
  EXPECT_EQ(GetWindowTextLengthA(e), 17);
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 1, 0), 5);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 2, 0), 11);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 3, 0), 13);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, 4, 0), -1);
  EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, 5, 0), 4);
  EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, 11, 0), 0);
  EXPECT_EQ(SendMessageA(e, EM_LINELENGTH, 13, 0), 4);
  // EM_GETLINE: the buffer's first word is its size; no NUL is written.
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  *reinterpret_cast<unsigned short*>(buf) = 3;
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_EQ(std::string(buf, 4), "two#");
  *reinterpret_cast<unsigned short*>(buf) = 10;
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 3, reinterpret_cast<LPARAM>(buf)), 4);
  EXPECT_EQ(std::string(buf, 4), "four");
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 9, reinterpret_cast<LPARAM>(buf)), 0);
  // Positions count CR LF as two.
  SendMessageA(e, EM_SETSEL, 5, 9);
  EXPECT_EQ(SendMessageA(e, EM_GETSEL, 0, 0), MAKELPARAM(5, 9));
  SendMessageA(e, EM_REPLACESEL, 0, Str("2\r\nx"));
  EXPECT_EQ(Text(e), "one\r\n2\r\nx\r\n\r\nfour");
  EXPECT_EQ(SendMessageA(e, EM_GETLINECOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(e, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 8) << "the caret's line";
  // Enter is the edit's own with ES_WANTRETURN.
  SetWindowTextA(e, "ab");
  SetFocus(e);
  SendMessageA(e, EM_SETSEL, 2, 2);
  g_heard.clear();
  keybd_event(VK_RETURN, 0, 0, 0);
  keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_EQ(Text(e), "ab\r\n");
}

TEST_F(Controls, DialogKeysGoToTheQueueUnlessTheControlWantsThem) {
  HWND single = Make("EDIT", "x", WS_BORDER, 1);
  HWND multi = Make("EDIT", "", ES_MULTILINE | WS_VSCROLL, 2, 0, 10, 40, 200, 80);
  for (HWND target : {single, multi}) {
    SetFocus(target);
    Pump();
    for (int vk : {VK_TAB, VK_RETURN, VK_ESCAPE}) {
      keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
      keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    }
    std::vector<int> keys;
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE))
      if (m.message == WM_KEYDOWN && m.hwnd == target) keys.push_back(static_cast<int>(m.wParam));
    EXPECT_EQ(keys, (std::vector<int>{VK_TAB, VK_RETURN, VK_ESCAPE}));
  }
  EXPECT_EQ(Text(single), "x");
  EXPECT_EQ(Text(multi), "") << "a multi-line edit without ES_WANTRETURN leaves Enter to the dialog";
  EXPECT_TRUE(SendMessageA(single, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL);
}

TEST_F(Controls, EditClipboardMessages) {
  if (!win::ClipboardAvailable()) GTEST_SKIP();
  HWND e = Make("EDIT", "hello world", WS_BORDER, 1);
  SendMessageA(e, EM_SETSEL, 0, 5);
  SendMessageA(e, WM_COPY, 0, 0);
  EXPECT_EQ(win::ClipboardText(), "hello");
  SendMessageA(e, EM_SETSEL, 5, 11);
  g_heard.clear();
  SendMessageA(e, WM_CUT, 0, 0);
  EXPECT_EQ(Text(e), "hello");
  EXPECT_EQ(win::ClipboardText(), " world");
  EXPECT_EQ(Commands(), (Cmd{{1, EN_CHANGE}}));
  SendMessageA(e, EM_SETSEL, 0, 0);
  SendMessageA(e, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(e), " worldhello");
  SendMessageA(e, EM_SETSEL, 0, 6);
  SendMessageA(e, WM_CLEAR, 0, 0);
  EXPECT_EQ(Text(e), "hello");
  HWND pw = Make("EDIT", "secret", WS_BORDER | ES_PASSWORD, 2, 0, 10, 40);
  win::PutClipboardText("kept");
  SendMessageA(pw, EM_SETSEL, 0, -1);
  SendMessageA(pw, WM_COPY, 0, 0);
  EXPECT_EQ(win::ClipboardText(), "kept") << "a password is not copied";
}

TEST_F(Controls, ListBoxEntriesAndErrors) {
  HWND l = Make("LISTBOX", "", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 4, 0, 10, 10, 150, 120);
  EXPECT_EQ(SendMessageA(l, LB_ADDSTRING, 0, Str("beta")), 0);
  EXPECT_EQ(SendMessageA(l, LB_ADDSTRING, 0, Str("Alpha")), 0);
  EXPECT_EQ(SendMessageA(l, LB_ADDSTRING, 0, Str("alpine")), 1);
  EXPECT_EQ(SendMessageA(l, LB_ADDSTRING, 0, Str("Gamma")), 3);
  EXPECT_EQ(SendMessageA(l, LB_INSERTSTRING, 1, Str("zeta")), 1) << "inserting does not sort";
  EXPECT_EQ(SendMessageA(l, LB_INSERTSTRING, 9, Str("x")), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_GETCOUNT, 0, 0), 5);
  char buf[32] = {};
  EXPECT_EQ(SendMessageA(l, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buf)), 6);
  EXPECT_STREQ(buf, "alpine");
  EXPECT_EQ(SendMessageA(l, LB_GETTEXTLEN, 4, 0), 5);
  EXPECT_EQ(SendMessageA(l, LB_GETTEXTLEN, 5, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_GETTEXT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(buf)), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), LB_ERR);
  // Prefix search after the start, case-insensitive, wrapping round.
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, static_cast<WPARAM>(-1), Str("AL")), 0);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, 0, Str("al")), 2);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRING, 2, Str("al")), 0);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Str("GAMMA")), 4);
  EXPECT_EQ(SendMessageA(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Str("gam")), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_SELECTSTRING, 3, Str("b")), 3);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 3);
  EXPECT_EQ(SendMessageA(l, LB_GETSEL, 3, 0), 1);
  EXPECT_EQ(SendMessageA(l, LB_GETSEL, 2, 0), 0);
  EXPECT_EQ(SendMessageA(l, LB_GETSEL, 7, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_SELECTSTRING, 0, Str("nothing")), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessageA(l, LB_SETCURSEL, 8, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_DELETESTRING, 0, 0), 4);
  EXPECT_EQ(SendMessageA(l, LB_DELETESTRING, 4, 0), LB_ERR);
  SendMessageA(l, LB_SETHORIZONTALEXTENT, 500, 0);
  EXPECT_EQ(SendMessageA(l, LB_GETHORIZONTALEXTENT, 0, 0), 500);
  EXPECT_EQ(SendMessageA(l, LB_RESETCONTENT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(l, LB_GETCOUNT, 0, 0), 0);
  Pump();
  EXPECT_TRUE(Commands().empty()) << "the program's own selection notifies nobody";
}

TEST_F(Controls, ListBoxClicksNotifyWithLbsNotifyOnly) {
  HWND l = Make("LISTBOX", "", LBS_NOTIFY | WS_VSCROLL, 4, 0, 10, 10, 150, 120);
  HWND mute = Make("LISTBOX", "", WS_VSCROLL, 5, 0, 200, 10, 150, 120);
  for (HWND h : {l, mute})
    for (const char* s : {"a", "b", "c"}) SendMessageA(h, LB_ADDSTRING, 0, Str(s));
  ASSERT_TRUE(Act(win::ActionKind::Select, 4, 2));
  EXPECT_EQ(SendMessageA(l, LB_GETCURSEL, 0, 0), 2);
  Pump();
  EXPECT_EQ(Commands(), (Cmd{{4, LBN_SELCHANGE}}));
  g_heard.clear();
  ASSERT_TRUE(Act(win::ActionKind::DblClick, 4, 0));
  Pump();
  EXPECT_EQ(Commands(), (Cmd{{4, LBN_SELCHANGE}, {4, LBN_DBLCLK}}));
  g_heard.clear();
  ASSERT_TRUE(Act(win::ActionKind::DblClick, 5, 1));
  Pump();
  EXPECT_EQ(SendMessageA(mute, LB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(Controls, TabsInListEntriesAreKeptInTheText) {
  HWND l = Make("LISTBOX", "", LBS_USETABSTOPS | LBS_NOTIFY, 4, 0, 10, 10, 200, 100);
  SendMessageA(l, LB_ADDSTRING, 0, Str("a\tb"));
  int stops[] = {40};
  EXPECT_TRUE(SendMessageA(l, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops)));
  char buf[8];
  EXPECT_EQ(SendMessageA(l, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_STREQ(buf, "a\tb");
  // The tab is drawn as space: the b stands well right of the a.
  Pump();
  QImage img = win::WindowImage(top_);
  int darkRight = 0;
  for (int x = 10; x < 210; ++x)
    for (int y = 12; y < 28; ++y)
      if (qGray(img.pixel(x, y)) < 100) darkRight = std::max(darkRight, x);
  EXPECT_GT(darkRight, 10 + 40) << "b is past the tab stop";
}

TEST_F(Controls, DropDownListSortsSelectsAndNotifies) {
  HWND c = Make("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 6, 0, 10, 10, 150, 200);
  EXPECT_EQ(SendMessageA(c, CB_ADDSTRING, 0, Str("pear")), 0);
  EXPECT_EQ(SendMessageA(c, CB_ADDSTRING, 0, Str("Apple")), 0);
  EXPECT_EQ(SendMessageA(c, CB_ADDSTRING, 0, Str("fig")), 1);
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), CB_ERR) << "no selection until one is made";
  EXPECT_EQ(GetWindowTextLengthA(c), 0);
  EXPECT_EQ(SendMessageA(c, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(Text(c), "pear");
  char buf[16];
  EXPECT_EQ(SendMessageA(c, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buf)), 3);
  EXPECT_STREQ(buf, "fig");
  EXPECT_EQ(SendMessageA(c, CB_GETLBTEXTLEN, 3, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(c, CB_SELECTSTRING, static_cast<WPARAM>(-1), Str("AP")), 0);
  EXPECT_EQ(SendMessageA(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Str("FIG")), 1);
  Pump();
  EXPECT_TRUE(Commands().empty());
  ASSERT_TRUE(Act(win::ActionKind::Select, 6, 1));
  Pump();
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Commands(), (Cmd{{6, CBN_SELCHANGE}}));
  EXPECT_FALSE(Act(win::ActionKind::DblClick, 6, 1)) << "a drop-down list is not double-clicked";
  EXPECT_EQ(SendMessageA(c, CB_DELETESTRING, 1, 0), 2);
  EXPECT_EQ(SendMessageA(c, CB_GETCURSEL, 0, 0), CB_ERR) << "the selected entry went";
}

TEST_F(Controls, ADropDownListIsMadeWithItsOpenHeight) {
  // 200 high is the box with its list open; closed it is one line high.
  HWND c = Make("COMBOBOX", "", CBS_DROPDOWNLIST, 7, 0, 10, 10, 150, 200);
  RECT r{};
  GetWindowRect(c, &r);
  EXPECT_EQ(r.right - r.left, 150);
  EXPECT_GT(r.bottom - r.top, 12);
  EXPECT_LT(r.bottom - r.top, 40);
  QWidget* host = win::QtWidgetOf(c);
  auto* box = host ? host->findChild<QComboBox*>() : nullptr;
  ASSERT_NE(box, nullptr);
  EXPECT_GT(box->maxVisibleItems(), 4) << "the rest of the height is the list's";
  // Given no more than the closed height, it keeps what it was given.
  HWND low = Make("COMBOBOX", "", CBS_DROPDOWNLIST, 8, 0, 10, 250, 150, 12);
  GetWindowRect(low, &r);
  EXPECT_EQ(r.bottom - r.top, 12);
}

TEST_F(Controls, ScrollBarReportsTheDragAndStaysWhereTheProgramPutsIt) {
  HWND v = Make("SCROLLBAR", "", SBS_VERT, 11, 0, 300, 10, 20, 200);
  HWND h = Make("SCROLLBAR", "", SBS_HORZ, 12, 0, 10, 250, 200, 20);
  SetScrollRange(v, SB_CTL, 0, 100, FALSE);
  SetScrollPos(v, SB_CTL, 10, TRUE);
  ASSERT_TRUE(Act(win::ActionKind::Scroll, 11, 60));
  EXPECT_TRUE(g_heard.empty());
  Pump();
  // The press on the thumb tells the parent first.
  ASSERT_FALSE(g_heard.empty());
  EXPECT_EQ(g_heard[0].msg, static_cast<UINT>(WM_PARENTNOTIFY));
  g_heard.erase(g_heard.begin());
  ASSERT_EQ(g_heard.size(), 3u);
  for (const Heard& x : g_heard) {
    EXPECT_EQ(x.msg, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(static_cast<HWND>(x.l), v);
  }
  EXPECT_EQ(g_heard[0].w, MAKEWPARAM(SB_THUMBTRACK, 60));
  EXPECT_EQ(g_heard[1].w, MAKEWPARAM(SB_THUMBPOSITION, 60));
  EXPECT_EQ(g_heard[2].w, MAKEWPARAM(SB_ENDSCROLL, 0));
  EXPECT_EQ(GetScrollPos(v, SB_CTL), 10) << "the bar does not move by itself";
  g_heard.clear();
  SetScrollRange(h, SB_CTL, 0, 5, FALSE);
  ASSERT_TRUE(Act(win::ActionKind::Scroll, 12, 5));
  Pump();
  std::erase_if(g_heard, [](const Heard& x) { return x.msg == WM_PARENTNOTIFY; });
  ASSERT_EQ(g_heard.size(), 3u);
  EXPECT_EQ(g_heard[0].msg, static_cast<UINT>(WM_HSCROLL));
  EXPECT_EQ(g_heard[1].w, MAKEWPARAM(SB_THUMBPOSITION, 5));
  EXPECT_FALSE(Act(win::ActionKind::Scroll, 12, 6)) << "beyond the range";
  EXPECT_FALSE(Act(win::ActionKind::Scroll, 12, -1));
  // The widget shows what the program set.
  SetScrollPos(h, SB_CTL, 3, TRUE);
  QImage at3 = win::WindowImage(top_).copy(10, 250, 200, 20);
  SetScrollPos(h, SB_CTL, 0, TRUE);
  QImage at0 = win::WindowImage(top_).copy(10, 250, 200, 20);
  EXPECT_NE(at3, at0);
}

TEST_F(Controls, DialogAnswersChooseTypeAndPress) {
  HWND dlg = CreateWindowExA(0, "CTLPARENT", "Dlg", WS_OVERLAPPED, 0, 0, 300, 200, 0, 0, 0, nullptr);
  HWND list = Make("LISTBOX", "", LBS_NOTIFY, 10, dlg, 10, 10, 150, 100);
  HWND edit = Make("EDIT", "", WS_BORDER, 11, dlg, 10, 120, 150, 24);
  Make("BUTTON", "OK", BS_DEFPUSHBUTTON, 1, dlg, 200, 10, 60, 24);
  Make("BUTTON", "Cancel", BS_PUSHBUTTON, 2, dlg, 200, 40, 60, 24);
  for (const char* s : {"red", "green", "blue"}) SendMessageA(list, LB_ADDSTRING, 0, Str(s));
  win::BatchAction a;
  a.kind = win::ActionKind::Choose;
  a.byText = true;
  a.value = "blue";
  ASSERT_TRUE(win::DeliverControlAction(a, dlg));
  Pump();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Commands(), (Cmd{{10, LBN_SELCHANGE}, {1, BN_CLICKED}}));
  g_heard.clear();
  a.value = "black";
  EXPECT_FALSE(win::DeliverControlAction(a, dlg));
  a.byText = false;
  a.index = 3;
  EXPECT_FALSE(win::DeliverControlAction(a, dlg));
  a.kind = win::ActionKind::Text;
  a.value = "typed";
  ASSERT_TRUE(win::DeliverControlAction(a, dlg));
  Pump();
  EXPECT_EQ(Text(edit), "typed");
  Cmd cmds = Commands();
  ASSERT_FALSE(cmds.empty());
  EXPECT_EQ(cmds.back(), (std::pair<int, int>{1, BN_CLICKED}));
  g_heard.clear();
  a.kind = win::ActionKind::Answer;
  a.answer = 2;
  ASSERT_TRUE(win::DeliverControlAction(a, dlg));
  Pump();
  EXPECT_EQ(Commands().back(), (std::pair<int, int>{2, BN_CLICKED}));
  a.answer = 3;
  EXPECT_FALSE(win::DeliverControlAction(a, dlg));
  a.kind = win::ActionKind::Text;
  EXPECT_FALSE(win::DeliverControlAction(a, top_)) << "no edit and no OK button there";
}

TEST_F(Controls, ScriptInputReachesControlsWhileTheProgramWaits) {
  HWND e = Make("EDIT", "", WS_BORDER, 1);
  Make("BUTTON", "Go", BS_PUSHBUTTON, 2, 0, 10, 40);
  SetFocus(e);
  std::string err;
  ASSERT_TRUE(win::ParseBatchScript("type \"hi\"\npress 2\npress 99\n", &err)) << err;
  testing::internal::CaptureStderr();
  for (int i = 0; i < 4; ++i) {
    win::DeliverBatchInput(false);
    Pump();
  }
  std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Text(e), "hi");
  Cmd cmds = Commands();
  EXPECT_NE(std::find(cmds.begin(), cmds.end(), std::pair<int, int>{2, BN_CLICKED}), cmds.end());
  EXPECT_NE(reported.find("press 99"), std::string::npos) << reported;
}

TEST_F(Controls, KeybdEventTypesIntoTheFocusAndHonoursCapsLock) {
  HWND e = Make("EDIT", "", WS_BORDER, 1);
  SetFocus(e);
  auto tap = [](BYTE vk) {
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
  };
  tap('A');
  tap(0x14);
  tap('B');
  tap('7');
  tap(0xBB);
  tap(0xDE);
  tap(0x14);
  tap('C');
  EXPECT_EQ(Text(e), "aB7+\xC4" "c");
  SetFocus(0);
  tap('D');
  EXPECT_EQ(Text(e), "aB7+\xC4" "c") << "no focus, no typing";
}

TEST_F(Controls, FocusMovedByTheUserIsReportedThroughTheQueue) {
  HWND a = Make("EDIT", "", WS_BORDER, 1);
  HWND b = Make("EDIT", "", WS_BORDER, 2, 0, 10, 40);
  SetFocus(a);
  Pump();
  g_heard.clear();
  QWidget* inner = win::QtWidgetOf(b)->focusProxy();
  ASSERT_NE(inner, nullptr);
  inner->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(Commands().empty()) << "nothing runs inside Qt's focus handling";
  Pump();
  EXPECT_EQ(Commands(), (Cmd{{1, EN_KILLFOCUS}, {2, EN_SETFOCUS}}));
  // Keys typed into it change it, and the change is reported when dispatched.
  g_heard.clear();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q");
  QCoreApplication::sendEvent(inner, &press);
  EXPECT_EQ(Text(b), "q");
  EXPECT_TRUE(Commands().empty());
  Pump();
  EXPECT_EQ(Commands(), (Cmd{{2, EN_CHANGE}}));
}

TEST_F(Controls, ClicksOnAScrollBarRequestButNeverMove) {
  HWND v = Make("SCROLLBAR", "", SBS_VERT, 11, 0, 300, 10, 20, 200);
  SetScrollRange(v, SB_CTL, 0, 100, FALSE);
  SetScrollPos(v, SB_CTL, 10, TRUE);
  QWidget* bar = win::QtWidgetOf(v)->findChild<QWidget*>();
  ASSERT_NE(bar, nullptr);
  QPoint p(10, 150);
  QMouseEvent down(QEvent::MouseButtonPress, QPointF(p), bar->mapToGlobal(QPointF(p)), Qt::LeftButton,
                   Qt::LeftButton, Qt::NoModifier);
  QMouseEvent up(QEvent::MouseButtonRelease, QPointF(p), bar->mapToGlobal(QPointF(p)), Qt::LeftButton,
                 Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(bar, &down);
  QCoreApplication::sendEvent(bar, &up);
  Pump();
  std::erase_if(g_heard, [](const Heard& x) { return x.msg != WM_VSCROLL; });
  ASSERT_GE(g_heard.size(), 2u);
  EXPECT_EQ(LOWORD(g_heard.back().w), SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(v, SB_CTL), 10);
  EXPECT_EQ(static_cast<QAbstractSlider*>(bar)->value(), 10) << "the thumb stays until the program moves it";
  SetScrollPos(v, SB_CTL, 70, TRUE);
  EXPECT_EQ(static_cast<QAbstractSlider*>(bar)->value(), 70);
  SetScrollRange(v, SB_CTL, 0, 50, TRUE);
  EXPECT_EQ(static_cast<QAbstractSlider*>(bar)->maximum(), 50);
  EXPECT_EQ(static_cast<QAbstractSlider*>(bar)->value(), 50);
}

TEST_F(Controls, ChildWindowsThatAreNoControlsTellTheirParentsToo) {
  HWND child = CreateWindowExA(0, "CTLPARENT", "", WS_CHILD | WS_VISIBLE, 30, 20, 100, 100, top_, 0, 0, nullptr);
  QWidget* w = win::QtWidgetOf(child);
  QPoint p(5, 6);
  QMouseEvent down(QEvent::MouseButtonPress, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::RightButton,
                   Qt::RightButton, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &down);
  Pump();
  ASSERT_FALSE(g_heard.empty());
  EXPECT_EQ(g_heard[0].to, top_);
  EXPECT_EQ(g_heard[0].msg, static_cast<UINT>(WM_PARENTNOTIFY));
  EXPECT_EQ(g_heard[0].w, MAKEWPARAM(WM_RBUTTONDOWN, 0));
  EXPECT_EQ(g_heard[0].l, MAKELPARAM(35, 26));
}

TEST_F(Controls, CaseStylesChangeWhatIsTyped) {
  HWND up = Make("EDIT", "", WS_BORDER | ES_UPPERCASE, 1);
  HWND low = Make("EDIT", "", WS_BORDER | ES_LOWERCASE, 2, 0, 10, 40);
  std::string err;
  ASSERT_TRUE(win::ParseBatchScript("type \"aB\"\n", &err)) << err;
  SetFocus(up);
  while (win::DeliverBatchInput(false)) Pump();
  EXPECT_EQ(Text(up), "AB");
  ASSERT_TRUE(win::ParseBatchScript("type \"aB\"\n", &err)) << err;
  SetFocus(low);
  while (win::DeliverBatchInput(false)) Pump();
  EXPECT_EQ(Text(low), "ab");
}

TEST_F(Controls, StaticsAndIcons) {
  // An icon static shows the named icon of the module that made it, in the icon's size.
  auto iconStatic = [&](const char* name, HINSTANCE instance) {
    HWND h = CreateWindowExA(0, "STATIC", name, WS_CHILD | WS_VISIBLE | SS_ICON, 20, 30, 0, 0, top_, 0, instance,
                             nullptr);
    RECT r{};
    GetClientRect(h, &r);
    return std::pair{r.right, r.bottom};
  };
  EXPECT_EQ(iconStatic("TILMOR", kSelfInstance), (std::pair{32, 32}));
  EXPECT_EQ(iconStatic("#32516", 0), (std::pair{32, 32})) << "a system icon by number";
  // No such icon: nothing to show, and the control keeps the size it was given.
  EXPECT_EQ(iconStatic("APPICON", kSelfInstance), (std::pair{0, 0}));
  EXPECT_EQ(iconStatic("TILMOR", 0), (std::pair{0, 0}));
  HWND text = Make("STATIC", "Fish && &Chips", SS_CENTER, 0, 0, 10, 100, 200, 20);
  EXPECT_EQ(Text(text), "Fish && &Chips");
  EXPECT_EQ(SendMessageA(text, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
  // A static never takes the focus from a click.
  HWND e = Make("EDIT", "", WS_BORDER, 1, 0, 10, 150);
  SetFocus(e);
  EXPECT_EQ(win::QtWidgetOf(text)->focusPolicy(), Qt::NoFocus);
}

TEST_F(Controls, BadHandlesAndIndexesFailQuietly) {
  const HWND bogus = 0x7ABC;
  char buf[8] = {};
  EXPECT_EQ(SendMessageA(bogus, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(bogus, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 0);
  EXPECT_EQ(GetWindowTextA(bogus, buf, sizeof buf), 0);
  EXPECT_FALSE(SetWindowTextA(bogus, "x"));
  HWND e = Make("EDIT", "", WS_BORDER, 1);
  EXPECT_EQ(SendMessageA(e, EM_GETLINE, 0, 0), 0);
  EXPECT_EQ(SendMessageA(e, WM_GETTEXT, 8, 0), 0);
  HWND l = Make("LISTBOX", "", 0, 2, 0, 10, 40, 100, 60);
  EXPECT_EQ(SendMessageA(l, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_SETTOPINDEX, 3, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(l, LB_SETSEL, 1, 0), LB_ERR) << "single selection";
  HWND c = Make("COMBOBOX", "", CBS_DROPDOWNLIST, 3, 0, 10, 110, 100, 100);
  EXPECT_EQ(SendMessageA(c, CB_DELETESTRING, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(c, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buf)), CB_ERR);
  EXPECT_EQ(SendMessageA(c, WM_SETTEXT, 0, Str("none")), CB_ERR);
  EXPECT_EQ(CreateWindowExA(0, "BUTTON", "x", WS_CHILD, 0, 0, 10, 10, bogus, 1, 0, nullptr), 0);
  DestroyWindow(l);
  EXPECT_EQ(SendMessageA(l, LB_GETCOUNT, 0, 0), 0);
  Pump();
}

TEST_F(Controls, EnablingReachesTheWidget) {
  HWND b = Make("BUTTON", "x", BS_PUSHBUTTON, 1);
  EXPECT_FALSE(EnableWindow(b, FALSE));
  EXPECT_FALSE(win::QtWidgetOf(b)->isEnabled());
  EXPECT_TRUE(EnableWindow(b, TRUE));
  EXPECT_TRUE(win::QtWidgetOf(b)->isEnabled());
}

TEST_F(Controls, FontsMatchWindowsFacesAndReachControls) {
  using win::detail::MatchFont;
  EXPECT_TRUE(QFontInfo(MatchFont("Courier New", 10)).fixedPitch());
  EXPECT_FALSE(QFontInfo(MatchFont("Arial", 10)).fixedPitch());
  EXPECT_FALSE(QFontInfo(MatchFont("MS Sans Serif", 8)).fixedPitch());
  QString serif = QFontInfo(MatchFont("Times New Roman", 12)).family();
  QString sans = QFontInfo(MatchFont("Helv", 12)).family();
  EXPECT_NE(serif, sans);
  QFont bold = MatchFont("Arial", 14, 700, true);
  EXPECT_EQ(bold.pointSize(), 14);
  EXPECT_TRUE(bold.italic());
  EXPECT_GE(bold.weight(), QFont::Bold);

  HGDIOBJ f = win::detail::FontObject(MatchFont("Courier New", 20));
  QFont back;
  ASSERT_TRUE(win::detail::QtFontOf(f, &back));
  EXPECT_EQ(back.pointSize(), 20);
  EXPECT_FALSE(win::detail::QtFontOf(0x7FFF0, &back));
  HWND b = Make("BUTTON", "x", BS_PUSHBUTTON, 1);
  EXPECT_EQ(SendMessageA(b, WM_GETFONT, 0, 0), 0) << "the system font";
  SendMessageA(b, WM_SETFONT, static_cast<WPARAM>(f), TRUE);
  EXPECT_EQ(static_cast<HGDIOBJ>(SendMessageA(b, WM_GETFONT, 0, 0)), f);
  EXPECT_EQ(win::QtWidgetOf(b)->findChild<QWidget*>()->font().pointSize(), 20);
  // A made font measures as its Qt font does.
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, f);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_GT(tm.tmHeight, 20);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  DeleteDC(dc);
  DestroyWindow(b);
  EXPECT_TRUE(DeleteObject(f));
}

int CountFamilies(const LOGFONTA* lf, const void*, DWORD, LPARAM l) {
  auto* seen = reinterpret_cast<std::vector<std::string>*>(l);
  seen->push_back(lf->lfFaceName);
  return seen->size() < 2 ? 1 : 0;
}

TEST_F(Controls, FontFamiliesAreSortedAndEnumeratedUntilTheCallbackStops) {
  std::vector<std::string> fams = win::FontFamilies();
  ASSERT_FALSE(fams.empty());
  EXPECT_TRUE(std::is_sorted(fams.begin(), fams.end()));
  std::vector<std::string> seen;
  EXPECT_EQ(EnumFontFamiliesA(0, nullptr, CountFamilies, reinterpret_cast<LPARAM>(&seen)), 0);
  ASSERT_EQ(seen.size(), std::min<size_t>(2, fams.size()));
  EXPECT_EQ(seen[0], fams[0]);
  seen.clear();
  EnumFontFamiliesA(0, fams[0].c_str(), CountFamilies, reinterpret_cast<LPARAM>(&seen));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], fams[0]);
  seen.clear();
  EXPECT_EQ(EnumFontFamiliesA(0, "No Such Family", CountFamilies, reinterpret_cast<LPARAM>(&seen)), 1);
  EXPECT_TRUE(seen.empty());
}

TEST_F(Controls, ScreenshotsShowTheControlsOnTheWindowsSurface) {
  HWND lone = CreateWindowExA(0, "CTLPARENT", "lone", WS_OVERLAPPED, 0, 0, 100, 80, 0, 0, 0, nullptr);
  QImage plain = win::WindowImage(lone);
  EXPECT_EQ(plain.size(), QSize(100, 80));
  HDC dc = GetDC(lone);
  HGDIOBJ red = CreateSolidBrush(RGB(255, 0, 0));
  RECT all{0, 0, 100, 80};
  FillRect(dc, &all, red);
  ReleaseDC(lone, dc);
  DeleteObject(red);
  EXPECT_EQ(win::WindowImage(lone).pixel(50, 40), qRgb(255, 0, 0)) << "a window without children as drawn";

  HWND b = Make("BUTTON", "Press me", BS_PUSHBUTTON, 1, lone, 10, 10, 80, 30);
  QImage shot = win::WindowImage(lone);
  ASSERT_EQ(shot.size(), QSize(100, 80));
  int changed = 0;
  for (int y = 10; y < 40; ++y)
    for (int x = 10; x < 90; ++x)
      if (shot.pixel(x, y) != qRgb(255, 0, 0)) ++changed;
  EXPECT_GT(changed, 80 * 30 / 2) << "the button covers its rectangle";
  EXPECT_EQ(shot.pixel(95, 75), qRgb(255, 0, 0)) << "the surface elsewhere";
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(win::WindowImage(lone).pixel(50, 25), qRgb(255, 0, 0)) << "a hidden control is not shown";
  ShowWindow(b, SW_SHOW);
  std::string path = QDir::tempPath().toStdString() + "/tilmor_controls_shot.png";
  ASSERT_TRUE(win::SaveWindowPng(lone, path));
  QImage saved(QString::fromStdString(path));
  QDir().remove(QString::fromStdString(path));
  ASSERT_EQ(saved.size(), shot.size());
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32).pixel(50, 25), shot.pixel(50, 25));

  // A menu bar lies above the client area: the button stays where it was.
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 10, "&Neu");
  AppendMenuA(bar, MF_POPUP, static_cast<UINT>(file), "&Datei");
  ASSERT_TRUE(SetMenu(lone, bar));
  QImage below = win::WindowImage(lone);
  ASSERT_EQ(below.size(), shot.size());
  EXPECT_EQ(below.pixel(50, 25), shot.pixel(50, 25));
  EXPECT_EQ(below.pixel(50, 45), qRgb(255, 0, 0)) << "nothing of the button below its rectangle";
}

}  // namespace
