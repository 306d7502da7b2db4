#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "batch.h"
#include "errors.h"
#include "interp.h"

namespace {

using namespace tilmor;

int g_before = 0;
int g_after = 0;

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::SetBatchMode(true);
    win::ClearBatchScript();
    for (int i = 1; i <= 12; ++i) in.lines.slots.push_back("REM " + std::to_string(i));
    in.lines.slots[12] = "   PRINT 1   ";
    in.cur = 12;
    g_before = g_after = 0;
  }
  void TearDown() override {
    SetErrorHooks({});
    win::ClearBatchScript();
  }

  // Runs f with standard error captured; returns the ProgramEnd code or -1.
  int Run(const std::function<void()>& f) {
    testing::internal::CaptureStderr();
    int code = -1;
    try {
      f();
    } catch (const ProgramEnd& e) {
      code = e.code;
    }
    err = testing::internal::GetCapturedStderr();
    return code;
  }

  Interp in;
  std::string err;
};

const char kLine12[] = "Zeile     12:  | PRINT 1";

TEST_F(ErrorsTest, RuntimeErrorAtLevelMinusOneReturns) {
  in.errorLevel = -1;
  EXPECT_EQ(Run([&] { RuntimeError(in, 216, "X"); }), -1);
  EXPECT_EQ(err, "");
  EXPECT_EQ(in.errorState, 2);
  EXPECT_EQ(in.lastError, 216);
  EXPECT_EQ(Run([&] { RuntimeError(in, 102, "FOO"); }), -1);
  EXPECT_EQ(in.lastError, 102);
}

TEST_F(ErrorsTest, RuntimeErrorShowsBoxAndEnds) {
  for (int level : {0, 1, 2}) {
    in.errorLevel = level;
    in.errorState = in.lastError = 0;
    EXPECT_EQ(Run([&] { RuntimeError(in, 216, "X"); }), kExitRuntimeError) << level;
    EXPECT_EQ(err, std::string("[Falscher Parametertyp: X] ") + kLine12 + "\n") << level;
    EXPECT_EQ(in.errorState, 2) << level;
  }
  // A Cancel answer changes nothing: the program ends all the same.
  in.errorLevel = 1;
  win::ParseBatchScript("answer CANCEL\n", nullptr);
  EXPECT_EQ(Run([&] { RuntimeError(in, 212); }), 3);
  EXPECT_EQ(err, std::string("[Zu wenig Parameter!] ") + kLine12 + "\n");
}

TEST_F(ErrorsTest, LineNumberIsRightAlignedInSixColumns) {
  in.errorLevel = 0;
  in.cur = 3;
  in.lines.slots[3] = "\tLOCATE 1";
  Run([&] { RuntimeError(in, 102, "ABC"); });
  EXPECT_EQ(err, "[Befehl unbekannt: ABC] Zeile      3:  | LOCATE 1\n");
  std::string text = in.DisplayText();
  EXPECT_EQ(text, "Zeile      3: \r\nLOCATE 1");

  in.lines.slots.resize(32768);
  in.lines.slots[32767] = "END";
  in.cur = 32767;
  EXPECT_EQ(in.DisplayText(), "Zeile  32767: \r\nEND");
}

TEST_F(ErrorsTest, WarningAtLevelOneAsks) {
  in.errorLevel = 1;
  EXPECT_EQ(Run([&] { Warning(in, 215, "A%"); }), -1);  // no answer: first button, OK
  EXPECT_EQ(err, std::string("[Variable nicht declariert: A%] ") + kLine12 + "\n");
  EXPECT_EQ(in.errorState, 1);
  EXPECT_EQ(in.lastError, 215);

  win::ParseBatchScript("answer OK\n", nullptr);
  in.lastError = 0;
  EXPECT_EQ(Run([&] { Warning(in, 214, "1X"); }), -1);
  EXPECT_EQ(in.lastError, 214);

  win::ParseBatchScript("answer CANCEL\n", nullptr);
  EXPECT_EQ(Run([&] { Warning(in, 215, "B$"); }), 3);
  EXPECT_EQ(err, std::string("[Variable nicht declariert: B$] ") + kLine12 + "\n" +
                     "[Programm abgebrochen!] " + kLine12 + "\n");
  EXPECT_EQ(in.errorState, 2);
}

TEST_F(ErrorsTest, WarningAtOtherLevels) {
  for (int level : {0, -1, 5}) {
    in.errorLevel = level;
    in.errorState = in.lastError = 0;
    EXPECT_EQ(Run([&] { Warning(in, 209, "X.TXT"); }), -1) << level;
    EXPECT_EQ(err, "") << level;
    EXPECT_EQ(in.errorState, 1) << level;
    EXPECT_EQ(in.lastError, 209) << level;
  }

  in.errorLevel = 2;
  in.errorState = in.lastError = 0;
  win::ParseBatchScript("answer OK\n", nullptr);
  EXPECT_EQ(Run([&] { Warning(in, 215, "C!"); }), 3);
  EXPECT_EQ(err, std::string("[Variable nicht declariert: C!] ") + kLine12 + "\n");
  EXPECT_EQ(in.errorState, 2);
}

TEST_F(ErrorsTest, MessageTexts) {
  in.errorLevel = 0;
  Run([&] { RuntimeError(in, 4711, " extra"); });
  EXPECT_EQ(err, std::string("[UNERWARTETER FEHLER! extra] ") + kLine12 + "\n");
  Run([&] { RuntimeError(in, 100, "$XYZ"); });
  EXPECT_EQ(err, std::string("[Systemvariable unbekannt: $XYZ] ") + kLine12 + "\n");
  // Windows-1252 text of the table reaches the terminal as UTF-8.
  Run([&] { RuntimeError(in, 207, "5"); });
  EXPECT_EQ(err, std::string("[Bereichsgrenze \xC3\xBC" "berschritten: 5] ") + kLine12 + "\n");

  // The message is a short string: cut at 255 characters.
  Run([&] { RuntimeError(in, 102, std::string(300, 'Z')); });
  std::string title = "Befehl unbekannt: ";
  title += std::string(255 - title.size(), 'Z');
  EXPECT_EQ(err, "[" + title + "] " + kLine12 + "\n");
}

TEST_F(ErrorsTest, WindowHooks) {
  SetErrorHooks({[](Interp&) { ++g_before; }, [](Interp&) { ++g_after; }});
  in.errorLevel = 1;
  Run([&] { Warning(in, 215, "A%"); });  // OK: the window is refreshed
  EXPECT_EQ(g_after, 1);
  in.errorLevel = 0;
  Run([&] { Warning(in, 215, "A%"); });  // nothing shown, nothing to refresh
  EXPECT_EQ(g_after, 1);
  in.errorLevel = -1;
  Run([&] { RuntimeError(in, 212); });  // the cursor is shown even here
  EXPECT_EQ(g_before, 1);
  EXPECT_EQ(g_after, 1);
}

}  // namespace
