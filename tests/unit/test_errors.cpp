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
    SetErrorHooks({[](Interp&) { ++g_before; }, [](Interp&) { ++g_after; }});
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
  static std::string Box(const std::string& title) {
    return "[" + title + "] Zeile     12:  | PRINT 1\n";
  }

  Interp in;
  std::string err;
};

TEST_F(ErrorsTest, RuntimeErrors) {
  in.errorLevel = -1;
  EXPECT_EQ(Run([&] { RuntimeError(in, 216, "X"); }), -1);
  EXPECT_EQ(err, "");
  EXPECT_EQ(in.errorState, 2);
  EXPECT_EQ(in.lastError, 216);
  EXPECT_EQ(g_before, 1);  // the cursor is shown even when nothing else is

  for (int level : {0, 1, 2}) {
    in.errorLevel = level;
    in.errorState = 0;
    EXPECT_EQ(Run([&] { RuntimeError(in, 216, "Y"); }), kExitRuntimeError) << level;
    EXPECT_EQ(err, Box("Falscher Parametertyp: Y")) << level;
    EXPECT_EQ(in.errorState, 2) << level;
  }
  // A Cancel answer changes nothing: the program ends all the same.
  in.errorLevel = 1;
  win::ParseBatchScript("answer CANCEL\n", nullptr);
  EXPECT_EQ(Run([&] { RuntimeError(in, 212); }), 3);
  EXPECT_EQ(err, Box("Zu wenig Parameter!"));
  EXPECT_EQ(g_after, 0);
}

TEST_F(ErrorsTest, DisplayText) {
  in.errorLevel = 0;
  in.cur = 3;
  in.lines.slots[3] = "\tLOCATE 1";
  Run([&] { RuntimeError(in, 102, "ABC"); });
  EXPECT_EQ(err, "[Befehl unbekannt: ABC] Zeile      3:  | LOCATE 1\n");
  EXPECT_EQ(in.DisplayText(), "Zeile      3: \r\nLOCATE 1");
  in.lines.slots.resize(32768);
  in.lines.slots[32767] = "END";
  in.cur = 32767;
  EXPECT_EQ(in.DisplayText(), "Zeile  32767: \r\nEND");
}

TEST_F(ErrorsTest, WarningAtLevelOneAsks) {
  in.errorLevel = 1;
  EXPECT_EQ(Run([&] { Warning(in, 215, "A%"); }), -1);  // no answer: the first button, OK
  EXPECT_EQ(err, Box("Variable nicht declariert: A%"));
  EXPECT_EQ(in.errorState, 1);
  EXPECT_EQ(in.lastError, 215);
  EXPECT_EQ(g_after, 1);  // the window is refreshed after OK

  win::ParseBatchScript("answer OK\n", nullptr);
  EXPECT_EQ(Run([&] { Warning(in, 214, "1X"); }), -1);
  EXPECT_EQ(in.lastError, 214);

  win::ParseBatchScript("answer CANCEL\n", nullptr);
  EXPECT_EQ(Run([&] { Warning(in, 215, "B$"); }), 3);
  EXPECT_EQ(err, Box("Variable nicht declariert: B$") + Box("Programm abgebrochen!"));
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
  EXPECT_EQ(g_after, 0);

  in.errorLevel = 2;
  win::ParseBatchScript("answer OK\n", nullptr);
  EXPECT_EQ(Run([&] { Warning(in, 215, "C!"); }), 3);
  EXPECT_EQ(err, Box("Variable nicht declariert: C!"));
  EXPECT_EQ(in.errorState, 2);
}

TEST_F(ErrorsTest, MessageTexts) {
  in.errorLevel = 0;
  Run([&] { RuntimeError(in, 4711, " extra"); });
  EXPECT_EQ(err, Box("UNERWARTETER FEHLER! extra"));
  Run([&] { RuntimeError(in, 100, "$XYZ"); });
  EXPECT_EQ(err, Box("Systemvariable unbekannt: $XYZ"));
  Run([&] { RuntimeError(in, 207, "5"); });  // Windows-1252 table text, UTF-8 out
  EXPECT_EQ(err, Box("Bereichsgrenze \xC3\xBC" "berschritten: 5"));
  // The message is a short string: cut at 255 characters.
  Run([&] { RuntimeError(in, 102, std::string(300, 'Z')); });
  std::string title = "Befehl unbekannt: ";
  EXPECT_EQ(err, Box(title + std::string(255 - title.size(), 'Z')));
}

}  // namespace
