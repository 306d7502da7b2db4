// Dialogs in batch mode: the box line, the script's actions in their order
// as the user's input, unfit actions reported, and the folder chooser.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "dialog_fixture.h"
#include "winpath.h"

namespace {

using namespace dialog_test;

// The box lines of what was captured (the offscreen platform may add
// remarks of its own).
std::string BoxLines() {
  std::string all = testing::internal::GetCapturedStderr(), out;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find('\n', at);
    end = end == std::string::npos ? all.size() : end + 1;
    if (all[at] == '[') out += all.substr(at, end - at);
    at = end;
  }
  return out;
}

class BatchDialog : public DialogTest {
 protected:
  void Script(const char* text) {
    std::string error;
    ASSERT_TRUE(win::ParseBatchScript(text, &error)) << error;
  }
  // An input-like dialog: caption and prompt set when it starts, the edit
  // focused, OK and Cancel end it with 1 and 0; the edit's text is kept.
  int RunInput(const char* caption, const char* prompt) {
    g_onMessage = [&](HWND h, UINT m, WPARAM w, LPARAM) -> BOOL {
      if (m == WM_INITDIALOG) {
        SetWindowTextA(h, caption);
        SetDlgItemTextA(h, 100, prompt);
        return TRUE;
      }
      if (m == WM_COMMAND && (LOWORD(static_cast<DWORD>(w)) == IDOK || LOWORD(static_cast<DWORD>(w)) == IDCANCEL)) {
        char buf[256];
        GetDlgItemTextA(h, 101, buf, sizeof buf);
        text_ = buf;
        EndDialog(h, LOWORD(static_cast<DWORD>(w)) == IDOK ? 1 : 0);
        return TRUE;
      }
      return FALSE;
    };
    return DialogBoxParamA(kSelfInstance, "INPUT", 0, RecordingProc, 0);
  }
  std::string text_;
};

TEST_F(BatchDialog, TheBoxLineIsTheCaptionAndTheStaticTexts) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("Titel", "Wie hei\xDF" "t du?"), 0);
  EXPECT_EQ(BoxLines(), "[Titel] Wie hei\xC3\x9F" "t du?\n");

  // Several statics are joined with a blank; empty ones and the other
  // controls add nothing.
  win::DialogTemplate t = Template({Control("STATIC", "Erste", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10, 1),
                                    Control("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 10, 50, 10, 2),
                                    Control("BUTTON", "Knopf", WS_CHILD | WS_VISIBLE, 0, 20, 50, 10, 3),
                                    Control("STATIC", "Zweite", WS_CHILD | WS_VISIBLE, 0, 30, 50, 10, 4)},
                                   "Box");
  g_onMessage = [](HWND h, UINT m, WPARAM w, LPARAM) -> BOOL {
    if (m == WM_COMMAND && w == IDCANCEL) EndDialog(h, 9);
    return FALSE;
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(win::DialogBoxFromTemplate(t, 0, RecordingProc, 0), 9);
  EXPECT_EQ(BoxLines(), "[Box] Erste Zweite\n");
}

TEST_F(BatchDialog, TypedTextAndEnterConfirm) {
  Script("type \"Anna\"\nkey 13\ncancel\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("T", "P"), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(text_, "Anna");
  // The dialog took only what it needed.
  const win::BatchAction* next = win::PeekNextAction();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->kind, win::ActionKind::Cancel);
}

TEST_F(BatchDialog, ControlActionsGoToTheDialogsControls) {
  Script("settext 101 \"Berta\"\npress 1\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("T", "P"), 1);
  EXPECT_EQ(BoxLines(), "[T] P\n");
  EXPECT_EQ(text_, "Berta");
  EXPECT_EQ(win::PeekNextAction(), nullptr);
}

TEST_F(BatchDialog, UnfitActionsAreReportedAndSkippedInOrder) {
  Script("press 99\nfile x.txt\nmenu 5\nclose\nresize 10 10\ndir /tmp\nwait 100\ncancel\n");
  std::vector<UINT> order;
  g_onMessage = [&](HWND h, UINT m, WPARAM w, LPARAM) -> BOOL {
    if (m == WM_INITDIALOG) SetTimer(h, 1, 100, nullptr);
    if (m == WM_TIMER) {
      order.push_back(m);
      KillTimer(h, 1);
    }
    if (m == WM_COMMAND && w == IDCANCEL) {
      order.push_back(m);
      EndDialog(h, 4);
    }
    return FALSE;
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LISTBOX5", 0, RecordingProc, 0), 4);
  EXPECT_EQ(BoxLines(),
            "[List-Box] \n"
            "[BATCH] press 99\n"
            "[BATCH] file x.txt\n"
            "[BATCH] menu 5\n"
            "[BATCH] close\n"
            "[BATCH] resize 10 10\n"
            "[BATCH] dir /tmp\n");
  // The wait let the timer tick before the cancel came.
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0], static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(order[1], static_cast<UINT>(WM_COMMAND));
}

TEST_F(BatchDialog, EscapeAndClicksReachTheDialogAsInput) {
  Script("key 27\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("T", "P"), 0);
  testing::internal::GetCapturedStderr();
  auto commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back().w, static_cast<WPARAM>(IDCANCEL));
  EXPECT_EQ(commands.back().l, 0);
  EXPECT_EQ(win::PeekNextAction(), nullptr);

  // A click lands on the control under the point: here the OK button of
  // INPUT, whose place depends on the dialog's font.
  win::DialogTemplate t;
  ASSERT_TRUE(win::FindDialogTemplate(kSelfInstance, "INPUT", &t));
  HWND probe = win::CreateDialogFromTemplate(t, 0, nullptr, 0);
  RECT r{12, 44, 12, 44};  // inside "&OK" at 10,42
  ASSERT_TRUE(MapDialogRect(probe, &r));
  DestroyWindow(probe);
  std::string click = "settext 101 \"x\"\nclick " + std::to_string(r.left) + " " + std::to_string(r.top) + "\n";
  Script(click.c_str());
  g_dialogLog.clear();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("T", "P"), 1);
  testing::internal::GetCapturedStderr();
}

TEST_F(BatchDialog, WithoutActionsTheDialogIsCancelledAndOneThatStaysEndsTheProgram) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunInput("T", "P"), 0);
  int cancels = 0;
  for (const Sent& c : Commands()) cancels += c.w == static_cast<WPARAM>(IDCANCEL) && c.l == 0;
  EXPECT_EQ(cancels, 1);

  // A dialog that ignores the cancel would wait for ever.
  g_onMessage = nullptr;
  EXPECT_EQ(DialogBoxParamA(kSelfInstance, "LDIALOG", 0, RecordingProc, 0), 0);
  testing::internal::GetCapturedStderr();
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 255u);
}

TEST_F(BatchDialog, AModelessDialogTakesNoActions) {
  Script("cancel\n");
  HWND d = CreateDialogParamA(kSelfInstance, "LDIALOG", 0, RecordingProc, 0);
  ASSERT_NE(d, 0);
  ShowWindow(d, SW_SHOWNORMAL);
  Drain();
  const win::BatchAction* next = win::PeekNextAction();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->kind, win::ActionKind::Cancel);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(BatchDialog, TheFolderChooserAnswersFromTheScript) {
  Script("type \"x\"\ndir C:\\DATEN\\ALT\ndir D:\\\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(win::BrowseForFolder(0, "Ordner w\xE4hlen"), "C:\\DATEN\\ALT");
  EXPECT_EQ(BoxLines(), "[Ordner w\xC3\xA4hlen] \n");
  // Input actions stay for the program.
  EXPECT_EQ(win::PeekNextAction()->kind, win::ActionKind::Type);

  Script("cancel\ndir D:\\\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(win::BrowseForFolder(0, "A"), "");
  EXPECT_EQ(win::BrowseForFolder(0, "B"), "D:\\");
  EXPECT_EQ(win::BrowseForFolder(0, "C"), "") << "no answer left";
  EXPECT_EQ(BoxLines(), "[A] \n[B] \n[C] \n");
}

class FolderPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tilmor_folder_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    setenv("TILMOR_WINDIR", dir_.c_str(), 1);
    std::filesystem::create_directories(dir_ + "/c/Daten");
    std::filesystem::create_directories(dir_ + "/d/Gr\xC3\xB6\xC3\x9F" "e");
    std::ofstream(dir_ + "/WIN.INI") << "[Drives]\nC=" << dir_ << "/c\nD=" << dir_ << "/d\n";
    win::ResetCurrentDrive();
  }
  void TearDown() override {
    if (oldWindir_)
      setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
    else
      unsetenv("TILMOR_WINDIR");
    win::ResetCurrentDrive();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string dir_;
  std::optional<std::string> oldWindir_;
};

TEST_F(FolderPaths, ADriveFolderInWindowsFormElseTheLinuxPath) {
  EXPECT_EQ(win::FolderAsWindowsPath(dir_ + "/c/Daten"), "C:\\Daten");
  EXPECT_EQ(win::FolderAsWindowsPath(dir_ + "/d"), "D:\\");
  EXPECT_EQ(win::FolderAsWindowsPath(dir_ + "/d/Gr\xC3\xB6\xC3\x9F" "e"), "D:\\Gr\xF6\xDF" "e");
  EXPECT_EQ(win::FolderAsWindowsPath(dir_), dir_) << "no drive holds it";
}

}  // namespace
