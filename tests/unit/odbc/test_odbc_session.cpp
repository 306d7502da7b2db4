#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "odbc_fixture.h"

namespace {

using odbctest::Recorder;
using odbctest::SqliteSession;
using Status = tilmor::odbc::Session::Status;
using Lines = std::vector<std::string>;

TEST(OdbcSessionTest, NothingRunsWithoutAConnection) {
  tilmor::odbc::Session s;
  Recorder r;
  s.rowCount = 5;
  EXPECT_EQ(s.Execute("SELECT 1", 0, r), Status::Failed);
  EXPECT_EQ(s.rowCount, 0);
  EXPECT_TRUE(r.lines.empty());
  EXPECT_FALSE(s.Connect("DSN=x"));
}

TEST(OdbcSessionTest, AMissingDriverManagerLeavesNothingOpen) {
  tilmor::odbc::Session s;
  EXPECT_FALSE(s.Open("/nonexistent/libodbc.so.2"));
  EXPECT_FALSE(s.open());
  EXPECT_FALSE(s.library().loaded());
}

TEST_F(SqliteSession, AFailedConnectionLetsEverythingGo) {
  ASSERT_TRUE(session.Open("libodbc.so.2"));
  EXPECT_TRUE(session.open());
  EXPECT_FALSE(session.Connect("DSN=GIBTESNICHT"));
  EXPECT_FALSE(session.connected());
  EXPECT_FALSE(session.open());
  EXPECT_FALSE(session.library().loaded());
}

TEST_F(SqliteSession, TheDataSourcesInTheirOrder) {
  ASSERT_TRUE(session.Open("libodbc.so.2"));
  EXPECT_EQ(session.DataSources(), (Lines{"EINS", "ZWEI"}));
  // Listed again from the start.
  EXPECT_EQ(session.DataSources(), (Lines{"EINS", "ZWEI"}));
}

TEST_F(SqliteSession, WindowModeLines) {
  ASSERT_TRUE(Connect());
  Recorder r;
  ASSERT_EQ(session.Execute("CREATE TABLE t (A INTEGER, B CHAR(5))", 0, r), Status::Done);
  ASSERT_EQ(session.Execute("INSERT INTO t VALUES (1, 'abc'), (NULL, 'de'), (3, NULL)", 0, r), Status::Done);
  EXPECT_EQ(session.rowCount, 3);
  ASSERT_EQ(session.Execute("SELECT A, B FROM t ORDER BY rowid", 0, r), Status::Done);
  EXPECT_EQ(session.rowCount, 3);
  EXPECT_EQ(r.lines, (Lines{"Operation erfolgreich!", "", "3 S\xE4tze bearbeitet!", "",
                            "A          |B     |", "-------------------", "1          |abc   |",
                            "NULL       |de    |", "3          |NULL  |", ""}));
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.opened, 0);
}

TEST_F(SqliteSession, ItemListModeHasNoMessagesAndNoEmptyLine) {
  ASSERT_TRUE(Connect());
  Recorder r;
  ASSERT_EQ(session.Execute("CREATE TABLE t (n INTEGER)", 1, r), Status::Done);
  ASSERT_EQ(session.Execute("INSERT INTO t VALUES (7), (8)", 1, r), Status::Done);
  EXPECT_EQ(session.rowCount, 2);
  ASSERT_EQ(session.Execute("UPDATE t SET n = 0 WHERE n > 100", 1, r), Status::Done);
  EXPECT_EQ(session.rowCount, 0);
  EXPECT_TRUE(r.lines.empty());
  ASSERT_EQ(session.Execute("SELECT n FROM t", 1, r), Status::Done);
  EXPECT_EQ(r.lines, (Lines{"n          |", "------------", "7          |", "8          |"}));
}

TEST_F(SqliteSession, FileModeLinesAndFile) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE t (a INTEGER, b VARCHAR(3))");
  Run("INSERT INTO t VALUES (1, 'long text'), (NULL, '')");
  session.format.SetDelimiters(";\"");
  session.format.nullText = "-";
  Recorder r;
  ASSERT_EQ(session.Execute("SELECT a, b FROM t ORDER BY rowid", 2, r), Status::Done);
  EXPECT_EQ(r.opened, 1);
  EXPECT_EQ(r.closed, 1);
  // Values are whole in the file, longer than their column's width.
  EXPECT_EQ(r.lines, (Lines{"\"a\";\"b\";", "\"1\";\"long text\";", "\"-\";\"\";"}));
  // Statements without a result make no file.
  Recorder none;
  ASSERT_EQ(session.Execute("DELETE FROM t", 2, none), Status::Done);
  EXPECT_EQ(none.opened, 0);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_EQ(session.rowCount, 2);
}

TEST_F(SqliteSession, AResultFileThatCannotBeMadeDropsTheStatement) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE t (n INTEGER)");
  Run("INSERT INTO t VALUES (1)");
  Recorder r;
  r.fileOk = false;
  EXPECT_EQ(session.Execute("SELECT n FROM t", 2, r), Status::NoFile);
  EXPECT_TRUE(r.lines.empty());
  EXPECT_EQ(r.closed, 0);
  EXPECT_EQ(session.rowCount, 0);
  // The table is not held by a statement left open.
  Run("DROP TABLE t");
}

TEST_F(SqliteSession, AFailedStatementIsShownCountedAndDropped) {
  ASSERT_TRUE(Connect());
  Recorder r;
  EXPECT_EQ(session.Execute("SELEC 1", 0, r), Status::Failed);
  EXPECT_EQ(session.rowCount, -1);
  EXPECT_EQ(r.errors, (Lines{"near \"SELEC\": syntax error (1)"}));
  EXPECT_TRUE(r.lines.empty());
  // Many more do not use anything up, and the next one works.
  for (int i = 0; i < 500; ++i) session.Execute("SELECT * FROM nowhere", 0, r);
  EXPECT_EQ(r.errors.size(), 501u);
  EXPECT_EQ(r.errors.back(), "no such table: nowhere (1)");
  Recorder ok;
  EXPECT_EQ(session.Execute("SELECT 2 AS two", 1, ok), Status::Done);
  EXPECT_EQ(session.rowCount, 1);
  EXPECT_TRUE(ok.errors.empty());
}

TEST_F(SqliteSession, AnEndInTheMiddleOfAResultDropsTheStatement) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE t (n INTEGER)");
  Run("INSERT INTO t VALUES (1), (2), (3)");
  Recorder r;
  r.throwAfter = 3;
  EXPECT_THROW(session.Execute("SELECT n FROM t", 2, r), std::runtime_error);
  EXPECT_EQ(r.closed, 1);
  // A statement left open would hold the table.
  Run("DROP TABLE t");
}

TEST_F(SqliteSession, ARowThatFailsEndsTheResult) {
  ASSERT_TRUE(session.Open("libodbc.so.2"));
  // Row by row, so that the third row fails while it is fetched.
  ASSERT_TRUE(session.Connect("DSN=EINS;StepAPI=1"));
  Recorder r;
  ASSERT_EQ(session.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3) "
                            "SELECT CASE WHEN i < 3 THEN i ELSE abs(-9223372036854775808) END AS v FROM n",
                            2, r),
            Status::Done);
  EXPECT_EQ(r.lines, (Lines{"v|", "1|", "2|"}));
  EXPECT_EQ(r.errors, (Lines{"integer overflow (1)"}));
  EXPECT_EQ(session.rowCount, -1);
}

TEST_F(SqliteSession, LongResultsLetRequestsThrough) {
  ASSERT_TRUE(Connect());
  Recorder r;
  ASSERT_EQ(session.Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                            "SELECT i FROM n",
                            7, r),
            Status::Done);
  EXPECT_EQ(session.rowCount, 1000);
  EXPECT_TRUE(r.lines.size() > 1000);  // other modes build their lines too
  EXPECT_EQ(r.polls, 1000 / 64);
}

TEST_F(SqliteSession, UmlautsRoundTripAsUtf8) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE k (Stra\xDF" "e VARCHAR(6))");
  Run("INSERT INTO k VALUES ('M\xFCller')");
  Recorder r;
  ASSERT_EQ(session.Execute("SELECT Stra\xDF" "e, hex(Stra\xDF" "e) AS h FROM k WHERE Stra\xDF" "e = 'M\xFCller'", 2, r),
            Status::Done);
  EXPECT_EQ(r.lines, (Lines{"Stra\xDF" "e|h|", "M\xFCller|4DC3BC6C6C6572|"}));
}

TEST_F(SqliteSession, AWindows1252DriverGetsTheBytesUnchanged) {
  setenv("TILMOR_ODBC_CHARSET", "WINDOWS-1252", 1);
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE k (s VARCHAR(6))");
  Run("INSERT INTO k VALUES ('M\xFCller')");
  Recorder r;
  ASSERT_EQ(session.Execute("SELECT s, hex(s) AS h FROM k", 2, r), Status::Done);
  EXPECT_EQ(r.lines, (Lines{"s|h|", "M\xFCller|4DFC6C6C6572|"}));
}

TEST_F(SqliteSession, ValuesFillingTheirWidthAreWhole) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE w (i INTEGER, b BIGINT)");
  Run("INSERT INTO w VALUES (-2147483648, -9223372036854775808)");
  Recorder r;
  ASSERT_EQ(session.Execute("SELECT i, b FROM w", 1, r), Status::Done);
  EXPECT_EQ(r.lines.back(), "-2147483648|-9223372036854775808|");
  EXPECT_TRUE(r.errors.empty());
}

TEST_F(SqliteSession, CloseDisconnectsAndUnloads) {
  ASSERT_TRUE(Connect());
  Run("CREATE TABLE t (n INTEGER)");
  session.Close();
  EXPECT_FALSE(session.connected());
  EXPECT_FALSE(session.open());
  EXPECT_FALSE(session.library().loaded());
  Recorder r;
  EXPECT_EQ(session.Execute("SELECT n FROM t", 0, r), Status::Failed);
  // Connected anew, the same database is there.
  ASSERT_TRUE(Connect());
  Recorder again;
  EXPECT_EQ(session.Execute("SELECT n FROM t", 0, again), Status::Done);
  EXPECT_TRUE(again.errors.empty());
  ASSERT_TRUE(Connect("ZWEI"));
  Recorder other;
  EXPECT_EQ(session.Execute("SELECT n FROM t", 0, other), Status::Failed);
}

}  // namespace
