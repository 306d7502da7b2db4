// The dialog manager at work: the modal loop and its owner, the dialog's
// default processing, the keyboard interface and the helpers by id.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "dialog_fixture.h"

namespace {

using namespace dialog_test;

constexpr UINT kProbe = WM_USER + 50;

class ModalLoop : public DialogTest {};

TEST_F(ModalLoop, EndsWithTheResultOfEndDialogAndGivesTheOwnerBack) {
  HWND owner = Owner();
  HWND seenDialog = 0, seenFocusParam = 0;
  LPARAM seenParam = 0;
  BOOL ownerEnabledInside = TRUE;
  HWND modalInside = 0;
  g_onMessage = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> BOOL {
    if (m == WM_INITDIALOG) {
      seenDialog = h;
      seenFocusParam = static_cast<HWND>(w);
      seenParam = l;
      PostMessageA(h, kProbe, 0, 0);
      return TRUE;
    }
    if (m == kProbe) {
      ownerEnabledInside = IsWindowEnabled(owner);
      modalInside = win::CurrentModalDialog();
      EndDialog(h, 42);
      return TRUE;
    }
    return FALSE;
  };
  win::DialogTemplate t = Template({Control("STATIC", "Text", WS_CHILD | WS_VISIBLE, 5, 5, 50, 10, 100),
                                    Control("EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 20, 50, 12, 101)});
  int result = win::DialogBoxFromTemplate(t, owner, RecordingProc, 0x1234);
  EXPECT_EQ(result, 42);
  ASSERT_NE(seenDialog, 0);
  EXPECT_EQ(seenParam, 0x1234);
  // WM_INITDIALOG names the control that is to get the focus: the first stop.
  EXPECT_NE(seenFocusParam, 0);
  EXPECT_FALSE(IsWindow(seenFocusParam)) << "the dialog's controls are gone with it";
  EXPECT_FALSE(ownerEnabledInside);
  EXPECT_EQ(modalInside, seenDialog);
  EXPECT_FALSE(IsWindow(seenDialog));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_EQ(win::CurrentModalDialog(), 0);
}

TEST_F(ModalLoop, MissingTemplateOrOwnerGivesMinusOne) {
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "NOSUCHDIALOG", 0, RecordingProc, 0), -1);
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "INPUT", 0x7777, RecordingProc, 0), -1);
  EXPECT_EQ(CreateDialogParamA(kSelfInstance, "NOSUCHDIALOG", 0, RecordingProc, 0), 0);
  EXPECT_TRUE(g_dialogLog.empty());
}

TEST_F(ModalLoop, AnOwnerDisabledBeforeStaysDisabled) {
  HWND owner = Owner();
  EnableWindow(owner, FALSE);
  g_onMessage = [](HWND h, UINT m, WPARAM, LPARAM) -> BOOL {
    if (m == WM_INITDIALOG) EndDialog(h, 5);
    return m == WM_INITDIALOG;
  };
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LDIALOG", owner, RecordingProc, 0), 5);
  EXPECT_FALSE(IsWindowEnabled(owner));
}

TEST_F(ModalLoop, AChildOwnerStandsForItsTopLevelWindow) {
  HWND owner = Owner();
  HWND child = CreateWindowExA(0, "TESTCTL", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, owner, 3, 0, nullptr);
  BOOL ownerEnabled = TRUE;
  HWND dialogOwner = 0;
  g_onMessage = [&](HWND h, UINT m, WPARAM, LPARAM) -> BOOL {
    if (m == WM_INITDIALOG) {
      dialogOwner = GetWindow(h, GW_OWNER);
      PostMessageA(h, kProbe, 0, 0);
    } else if (m == kProbe) {
      ownerEnabled = IsWindowEnabled(owner);
      EndDialog(h, 1);
    }
    return TRUE;
  };
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LDIALOG", child, RecordingProc, 0), 1);
  EXPECT_EQ(dialogOwner, owner);
  EXPECT_FALSE(ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ModalLoop, InitDialogDecidesAboutTheFocus) {
  win::DialogTemplate t =
      Template({Control("TESTCTL", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, 10),
                Control("TESTCTL", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 0, 10, 10, 10, 11),
                Control("TESTCTL", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 20, 10, 10, 12)});
  for (BOOL answer : {TRUE, FALSE}) {
    HWND focusAfter = 0, expected = 0;
    g_onMessage = [&](HWND h, UINT m, WPARAM, LPARAM) -> BOOL {
      if (m == WM_INITDIALOG) {
        expected = GetDlgItem(h, 12);
        PostMessageA(h, kProbe, 0, 0);
        return answer;
      }
      if (m == kProbe) {
        focusAfter = GetFocus();
        EndDialog(h, 0);
      }
      return FALSE;
    };
    win::DialogBoxFromTemplate(t, 0, RecordingProc, 0);
    if (answer)
      EXPECT_EQ(focusAfter, expected);
    else
      EXPECT_NE(focusAfter, expected);
  }
}

TEST_F(ModalLoop, NestedDialogsAreEachTheCurrentOneInTurn) {
  HWND outer = 0, inner = 0, currentInInner = 0, currentAfterInner = 0;
  int innerResult = 0;
  g_onMessage = [&](HWND h, UINT m, WPARAM, LPARAM l) -> BOOL {
    if (m == WM_INITDIALOG) {
      if (l == 1) {
        outer = h;
        PostMessageA(h, kProbe, 0, 0);
      } else {
        inner = h;
        currentInInner = win::CurrentModalDialog();
        EndDialog(h, 77);
      }
      return TRUE;
    }
    if (m == kProbe && h == outer) {
      innerResult = DialogBoxParamA(kSelfInstance, "LDIALOG", h, RecordingProc, 2);
      currentAfterInner = win::CurrentModalDialog();
      EndDialog(h, 3);
      return TRUE;
    }
    return FALSE;
  };
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LDIALOG", 0, RecordingProc, 1), 3);
  EXPECT_EQ(innerResult, 77);
  EXPECT_EQ(currentInInner, inner);
  EXPECT_EQ(currentAfterInner, outer);
  EXPECT_NE(inner, outer);
}

TEST_F(ModalLoop, ClosingTheWindowIsTheCancelButton) {
  HWND cancelButton = 0;
  g_onMessage = [&](HWND h, UINT m, WPARAM w, LPARAM) -> BOOL {
    if (m == WM_INITDIALOG) {
      cancelButton = GetDlgItem(h, IDCANCEL);
      PostMessageA(h, WM_CLOSE, 0, 0);
      return TRUE;
    }
    if (m == WM_COMMAND && LOWORD(static_cast<DWORD>(w)) == IDCANCEL) {
      EndDialog(h, 7);
      return TRUE;
    }
    return FALSE;
  };
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LISTBOX5", 0, RecordingProc, 0), 7);
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].w, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  EXPECT_EQ(commands[0].l, static_cast<LPARAM>(cancelButton));
}

TEST_F(ModalLoop, WithoutAnyActionABatchDialogIsCancelled) {
  g_onMessage = [](HWND h, UINT m, WPARAM w, LPARAM) -> BOOL {
    if (m == WM_COMMAND && w == IDCANCEL) EndDialog(h, 0);
    return m == WM_COMMAND;
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LISTBOX1", 0, RecordingProc, 0), 0);
  testing::internal::GetCapturedStderr();
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].l, 0);
}

TEST(DefaultDialogProcessing, AnyWindowHasItsDefaultButtonAndCancelsOnClose) {
  EnsureTestApplication(true);
  std::vector<Sent> log;
  WNDCLASSA wc;
  static std::vector<Sent>* s_log;
  s_log = &log;
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_COMMAND) s_log->push_back({h, m, w, l});
    return DefDlgProcA(h, m, w, l);
  };
  wc.lpszClassName = "TESTDLGWND";
  RegisterClassA(&wc);
  HWND win = CreateWindowExA(0, "TESTDLGWND", "w", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, 0, 0, 0, nullptr);
  EXPECT_EQ(SendMessageA(win, DM_GETDEFID, 0, 0), 0);
  HWND plain = CreateWindowExA(0, "BUTTON", "a", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 50, 20, win, 4, 0, nullptr);
  HWND def = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 30, 50, 20, win, 6, 0,
                             nullptr);
  ASSERT_TRUE(plain && def);
  EXPECT_EQ(SendMessageA(win, DM_GETDEFID, 0, 0), MAKELPARAM(6, 0x534B));
  // Another default: the buttons' looks change with it.
  SendMessageA(win, DM_SETDEFID, 4, 0);
  EXPECT_EQ(SendMessageA(win, DM_GETDEFID, 0, 0), MAKELPARAM(4, 0x534B));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(plain, GWL_STYLE)) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(def, GWL_STYLE)) & BS_TYPEMASK, BS_PUSHBUTTON);

  SendMessageA(win, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(win)) << "closing a dialog is cancelling it, not destroying it";
  MSG m;
  while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].w, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  win::ResetWindowSystem();
}

class DialogHelpers : public DialogTest {};

TEST_F(DialogHelpers, TextAndMessagesByControlId) {
  HWND d = CreateDialogParamA(kSelfInstance, "INPUT", 0, RecordingProc, 0);
  ASSERT_NE(d, 0);
  EXPECT_TRUE(SetDlgItemTextA(d, 101, "Hallo"));
  char buf[16];
  EXPECT_EQ(GetDlgItemTextA(d, 101, buf, sizeof buf), 5u);
  EXPECT_STREQ(buf, "Hallo");
  EXPECT_EQ(GetDlgItemTextA(d, 101, buf, 3), 2u);
  EXPECT_STREQ(buf, "Ha");
  EXPECT_EQ(SendDlgItemMessageA(d, 101, WM_GETTEXTLENGTH, 0, 0), 5);
  // No such control.
  EXPECT_FALSE(SetDlgItemTextA(d, 999, "x"));
  buf[0] = 'x';
  EXPECT_EQ(GetDlgItemTextA(d, 999, buf, sizeof buf), 0u);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(SendDlgItemMessageA(d, 999, WM_GETTEXTLENGTH, 0, 0), 0);
  // A modeless dialog is shown by the program, not by its creation.
  EXPECT_FALSE(IsWindowVisible(d));
  EXPECT_TRUE(EndDialog(d, 1));
  EXPECT_FALSE(EndDialog(GetDlgItem(d, 101), 1)) << "only dialogs end";
}

class Keyboard : public DialogTest {
 protected:
  // static, edit-like stop (a), push button (b), disabled stop, default
  // button (9), in that order.
  HWND MakeDialog(bool withDefault = true) {
    std::vector<win::DialogItem> items = {
        Control("STATIC", "Name", WS_CHILD | WS_VISIBLE, 0, 0, 30, 10, 100),
        Control("TESTCTL", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 10, 30, 10, 101),
        Control("BUTTON", "b", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 20, 30, 10, 102),
        Control("TESTCTL", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 0, 30, 30, 10, 103)};
    if (withDefault)
      items.push_back(
          Control("BUTTON", "ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 40, 30, 10, 9));
    g_onMessage = [](HWND, UINT m, WPARAM, LPARAM) -> BOOL { return m == WM_INITDIALOG; };
    HWND d = win::CreateDialogFromTemplate(Template(items), 0, RecordingProc, 0);
    ShowWindow(d, SW_SHOWNORMAL);
    g_dialogLog.clear();
    return d;
  }
  static BOOL Key(HWND dialog, int vk) {
    HWND target = GetFocus() ? GetFocus() : dialog;
    MSG m{target, WM_KEYDOWN, static_cast<WPARAM>(vk), 1, 0, {}};
    return IsDialogMessageA(dialog, &m);
  }
  // The dialog's messages through its keyboard interface, as a loop does.
  static void Pump(HWND dialog) {
    MSG m;
    while (PeekMessageA(&m, 0, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageA(dialog, &m)) continue;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }
  static void Shift(HWND dialog, bool down) {
    QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    QCoreApplication::sendEvent(win::QtWidgetOf(dialog), &e);
    Pump(dialog);
  }
};

TEST_F(Keyboard, TabMovesAmongTheStopsThatCanTakeTheFocus) {
  HWND d = MakeDialog();
  HWND a = GetDlgItem(d, 101), b = GetDlgItem(d, 102), ok = GetDlgItem(d, 9);
  EXPECT_EQ(GetFocus(), a) << "the first stop has the focus from the start";
  EXPECT_TRUE(Key(d, VK_TAB));
  EXPECT_EQ(GetFocus(), b);
  EXPECT_TRUE(Key(d, VK_TAB));
  EXPECT_EQ(GetFocus(), ok) << "the disabled stop is passed over";
  EXPECT_TRUE(Key(d, VK_TAB));
  EXPECT_EQ(GetFocus(), a) << "and round again";
  Shift(d, true);
  EXPECT_TRUE(Key(d, VK_TAB));
  EXPECT_EQ(GetFocus(), ok);
  Shift(d, false);
  EXPECT_TRUE(Commands().empty());

  EXPECT_EQ(GetNextDlgTabItem(d, 0, FALSE), a);
  EXPECT_EQ(GetNextDlgTabItem(d, 0, TRUE), ok);
  EXPECT_EQ(GetNextDlgTabItem(d, GetDlgItem(d, 100), FALSE), a) << "from a control that is no stop";
  EXPECT_EQ(GetNextDlgTabItem(d, a, TRUE), ok);
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetNextDlgTabItem(d, a, FALSE), ok) << "a hidden stop is passed over";
}

TEST_F(Keyboard, EnterClicksTheDefaultButtonOrTheFocusedOne) {
  HWND d = MakeDialog();
  HWND ok = GetDlgItem(d, 9);
  EXPECT_TRUE(Key(d, VK_RETURN));
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].w, MAKEWPARAM(9, BN_CLICKED));
  EXPECT_EQ(commands[0].l, static_cast<LPARAM>(ok));

  g_dialogLog.clear();
  SetFocus(GetDlgItem(d, 102));
  EXPECT_TRUE(Key(d, VK_RETURN));
  commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(static_cast<DWORD>(commands[0].w)), 102);

  // A disabled default button takes no Enter, and nothing else does.
  g_dialogLog.clear();
  SetFocus(GetDlgItem(d, 101));
  EnableWindow(ok, FALSE);
  EXPECT_TRUE(Key(d, VK_RETURN));
  EXPECT_TRUE(Commands().empty());
}

TEST_F(Keyboard, EnterWithoutDefaultButtonIsOk) {
  HWND d = MakeDialog(false);
  EXPECT_TRUE(Key(d, VK_RETURN));
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].w, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_EQ(commands[0].l, 0);
}

TEST_F(Keyboard, EscapeIsCancelWithoutAControl) {
  HWND d = MakeDialog();
  EXPECT_TRUE(Key(d, VK_ESCAPE));
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].w, static_cast<WPARAM>(IDCANCEL));
  EXPECT_EQ(commands[0].l, 0);
}

TEST_F(Keyboard, AControlThatWantsAllKeysKeepsThem) {
  HWND d = MakeDialog();
  HWND a = GetDlgItem(d, 101);
  g_dlgCodes[a] = DLGC_WANTALLKEYS;
  for (int vk : {VK_TAB, VK_RETURN, VK_ESCAPE}) EXPECT_FALSE(Key(d, vk)) << vk;
  EXPECT_EQ(GetFocus(), a);
  EXPECT_TRUE(Commands().empty());
  // One that wants Tab only still lets Enter through.
  g_dlgCodes[a] = DLGC_WANTTAB;
  EXPECT_FALSE(Key(d, VK_TAB));
  EXPECT_TRUE(Key(d, VK_RETURN));
  EXPECT_EQ(Commands().size(), 1u);
}

TEST_F(Keyboard, AMultiLineEditThatWantsReturnKeepsEnter) {
  win::DialogTemplate t;
  ASSERT_TRUE(win::FindDialogTemplate(kSelfInstance, "EDITBOX1", &t));
  g_onMessage = [](HWND, UINT m, WPARAM, LPARAM) -> BOOL { return m == WM_INITDIALOG; };
  HWND d = win::CreateDialogFromTemplate(t, 0, RecordingProc, 0);
  ShowWindow(d, SW_SHOWNORMAL);
  HWND edit = GetDlgItem(d, 101);
  ASSERT_EQ(GetFocus(), edit);
  g_dialogLog.clear();
  EXPECT_FALSE(Key(d, VK_RETURN));
  EXPECT_TRUE(Commands().empty());
  // Typed for real, the line break lands in the text.
  SetDlgItemTextA(d, 101, "eins");
  SendMessageA(edit, EM_SETSEL, 4, 4);
  QWidget* w = win::QtWidgetOf(edit);
  QWidget* inner = w->focusProxy() ? w->focusProxy() : w;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QCoreApplication::sendEvent(inner, &press);
  Pump(d);
  // Only the edit's own notifications reach the dialog.
  for (const Sent& c : Commands()) EXPECT_EQ(c.l, static_cast<LPARAM>(edit));
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 2);
  // Escape still cancels.
  g_dialogLog.clear();
  EXPECT_TRUE(Key(d, VK_ESCAPE));
  ASSERT_EQ(Commands().size(), 1u);
  EXPECT_EQ(Commands()[0].w, static_cast<WPARAM>(IDCANCEL));
}

TEST_F(Keyboard, EnterTypedIntoALineEditReachesTheDefaultButton) {
  g_onMessage = [](HWND, UINT m, WPARAM, LPARAM) -> BOOL { return m == WM_INITDIALOG; };
  HWND d = CreateDialogParamA(kSelfInstance, "INPUT", 0, RecordingProc, 0);
  ShowWindow(d, SW_SHOWNORMAL);
  HWND edit = GetDlgItem(d, 101);
  ASSERT_EQ(GetFocus(), edit);
  g_dialogLog.clear();
  QWidget* w = win::QtWidgetOf(edit);
  QWidget* inner = w->focusProxy() ? w->focusProxy() : w;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QCoreApplication::sendEvent(inner, &press);
  Pump(d);
  auto commands = Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].w, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_EQ(commands[0].l, static_cast<LPARAM>(GetDlgItem(d, IDOK)));
}

TEST_F(Keyboard, ArrowsMoveWithinAGroupOfRadioButtons) {
  DWORD radio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
  win::DialogTemplate t =
      Template({Control("TESTCTL", "", radio | WS_GROUP | WS_TABSTOP, 0, 0, 30, 10, 21),
                Control("TESTCTL", "", radio, 0, 10, 30, 10, 22), Control("TESTCTL", "", radio, 0, 20, 30, 10, 23),
                Control("TESTCTL", "", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, 0, 30, 30, 10, 24)});
  g_onMessage = [](HWND, UINT m, WPARAM, LPARAM) -> BOOL { return m == WM_INITDIALOG; };
  HWND d = win::CreateDialogFromTemplate(t, 0, RecordingProc, 0);
  HWND r1 = GetDlgItem(d, 21), r2 = GetDlgItem(d, 22), r3 = GetDlgItem(d, 23);
  for (HWND r : {r1, r2, r3}) g_dlgCodes[r] = DLGC_RADIOBUTTON;
  ASSERT_EQ(GetFocus(), r1);
  g_controlLog.clear();
  EXPECT_TRUE(Key(d, VK_DOWN));
  EXPECT_EQ(GetFocus(), r2);
  EXPECT_TRUE(Key(d, VK_RIGHT));
  EXPECT_EQ(GetFocus(), r3);
  EXPECT_TRUE(Key(d, VK_DOWN));
  EXPECT_EQ(GetFocus(), r1) << "the group ends before the next WS_GROUP control";
  EXPECT_TRUE(Key(d, VK_UP));
  EXPECT_EQ(GetFocus(), r3);
  int clicks = 0;
  for (const Sent& s : g_controlLog) clicks += s.msg == BM_CLICK;
  EXPECT_EQ(clicks, 4) << "an automatic radio button is chosen as the focus reaches it";
  // Tab leaves the group for the next stop.
  EXPECT_TRUE(Key(d, VK_TAB));
  EXPECT_EQ(GetFocus(), GetDlgItem(d, 24));
  // A control that wants the arrows keeps them.
  g_dlgCodes[GetDlgItem(d, 24)] = DLGC_WANTARROWS;
  EXPECT_FALSE(Key(d, VK_DOWN));
}

TEST_F(Keyboard, OtherKeysAndOtherWindowsAreNotTaken) {
  HWND d = MakeDialog();
  EXPECT_FALSE(Key(d, 'A'));
  EXPECT_FALSE(Key(d, VK_F1));
  MSG ch{GetFocus(), WM_CHAR, 'a', 1, 0, {}};
  EXPECT_FALSE(IsDialogMessageA(d, &ch));
  HWND other = Owner();
  MSG elsewhere{other, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_FALSE(IsDialogMessageA(d, &elsewhere));
  EXPECT_FALSE(IsDialogMessageA(0x7777, &elsewhere));
  EXPECT_TRUE(Commands().empty());
}

}  // namespace
