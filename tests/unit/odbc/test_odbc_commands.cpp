// The ODBC commands as programs call them: results through the window's
// text, error numbers, the write failure of the result file, the end of a
// run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "argreader.h"
#include "batch.h"
#include "cmd_sql.h"
#include "commands.h"
#include "control.h"
#include "interp.h"
#include "odbc_fixture.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

class Capture : public tilmor::TextOutput {
 public:
  void Write(std::string_view text) override { written.append(text); }
  std::string written;
};

class OdbcCommandsTest : public odbctest::SqliteSession {
 protected:
  static void SetUpTestSuite() { tilmor::RegisterOdbcModule(); }
  void SetUp() override {
    odbctest::SqliteSession::SetUp();
    if (IsSkipped()) return;
    ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    win::SetBatchMode(true);
    win::ClearBatchScript();
    in.lines.slots.push_back("PRINT 1");
    in.cur = 1;
    in.errorLevel = -1;
    in.text = &text;
  }
  void TearDown() override {
    tilmor::CloseOdbc();
    if (!IsSkipped()) {
      EXPECT_EQ(chdir(oldCwd_), 0);
    }
    odbctest::SqliteSession::TearDown();
  }
  std::string Eval(const std::string& arg) {
    in.param = arg;
    tilmor::ReadArg(in, ' ', tilmor::kAny);
    return tilmor::ResultText(in);
  }
  void Command(const std::string& cmd, const std::string& param) {
    in.cmd = cmd;
    in.param = param;
    ASSERT_TRUE(tilmor::DispatchCommand(in));
  }

  tilmor::Interp in;
  Capture text;
  char oldCwd_[PATH_MAX] = {0};
};

TEST_F(OdbcCommandsTest, AStatementIntoTheWindow) {
  ASSERT_EQ(Eval("@SQLINIT(\"DSN=EINS\")"), "1");
  Command("SQLEXEC", "\"SELECT 7 AS n\", 0");
  EXPECT_EQ(text.written, "n          |\n------------\n7          |\n\n");
  EXPECT_EQ(Eval("&SQLCOUNT"), "1");
  EXPECT_EQ(in.lastError, 0);
}

TEST_F(OdbcCommandsTest, NotConnectedIs500) {
  Command("SQLEXEC", "\"SELECT 1\", 0");
  EXPECT_EQ(in.lastError, 500);
  in.lastError = 0;
  Command("SQLDONE", "");
  EXPECT_EQ(in.lastError, 500);
  EXPECT_EQ(text.written, "");
}

TEST_F(OdbcCommandsTest, NoDriverManagerIs501) {
  Save("TILMOR_ODBC_LIBRARY", "/nonexistent/libodbc.so.2");
  EXPECT_EQ(Eval("@SQLINIT(\"DSN=EINS\")"), "0");
  EXPECT_EQ(in.lastError, 501);
  in.lastError = 0;
  Command("SQLEXEC", "\"SELECT 1\", 0");
  EXPECT_EQ(in.lastError, 500);
}

TEST_F(OdbcCommandsTest, AResultFileThatCannotBeWrittenIsAWarning) {
  ASSERT_EQ(symlink("/dev/full", "SQL.DAT"), 0);
  in.errorLevel = 0;
  ASSERT_EQ(Eval("@SQLINIT(\"DSN=EINS\")"), "1");
  Command("SQLEXEC", "\"SELECT 7 AS n\", 2");
  EXPECT_EQ(in.lastError, 303);
  EXPECT_EQ(in.errorState, 1);
  EXPECT_EQ(Eval("&SQLCOUNT"), "1");
  // At error level 2 the warning ends the program, after the statement.
  in.errorLevel = 2;
  testing::internal::CaptureStderr();
  EXPECT_THROW(Command("SQLEXEC", "\"SELECT 7 AS n\", 2"), tilmor::ProgramEnd);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[Fehler beim Schreiben: SQL.DAT] Zeile      1:  | PRINT 1\n");
}

TEST_F(OdbcCommandsTest, TheEndOfARunDisconnectsAndForgetsTheSettings) {
  ASSERT_EQ(Eval("@SQLINIT(\"DSN=EINS\")"), "1");
  Command("SQLSETDEL", "\";'\"");
  Command("SQLSETNULL", "\"-\"");
  Command("SQLEXEC", "\"SELECT NULL AS n\", 2");
  EXPECT_EQ(ReadFile("SQL.DAT"), "'n';\r\n'-';\r\n");
  tilmor::CloseOdbc();
  EXPECT_EQ(Eval("&SQLCOUNT"), "0");
  Command("SQLEXEC", "\"SELECT 1\", 2");
  EXPECT_EQ(in.lastError, 500);
  ASSERT_EQ(Eval("@SQLINIT(\"DSN=EINS\")"), "1");
  Command("SQLEXEC", "\"SELECT NULL AS n\", 2");
  EXPECT_EQ(ReadFile("SQL.DAT"), "n|\r\nNULL|\r\n");
}

}  // namespace
