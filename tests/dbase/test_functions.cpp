// The table functions, commands and system variables as programs call them:
// arguments, table numbers, warnings and runtime errors, OEM texts.
#include <functional>

#include "argreader.h"
#include "batch.h"
#include "commands.h"
#include "control.h"
#include "dbase_module.h"
#include "dbase_test_util.h"
#include "interp.h"

namespace {

using namespace dbtest;
using tilmor::Interp;

class FunctionsTest : public TempDirTest {
 protected:
  static void SetUpTestSuite() {
    tilmor::RegisterStringFunctions();
    tilmor::RegisterDbaseModule();
  }
  void SetUp() override {
    TempDirTest::SetUp();
    win::SetBatchMode(true);
    win::ClearBatchScript();
    in.lines.slots.push_back("PRINT 1");
    in.cur = 1;
    in.errorLevel = 0;
    WriteBytes("def.txt", "NAME;C;8\nNUM;N;4\nNOTE;M\n");
  }
  void TearDown() override {
    tilmor::CloseAllTables();
    tilmor::SetDbaseFontQuery(nullptr);
    TempDirTest::TearDown();
  }
  // The value of one argument, as a program line would read it.
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
  // Standard error of f; the exit code when the program ended, else -1.
  int Boxes(const std::function<void()>& f) {
    testing::internal::CaptureStderr();
    int code = -1;
    try {
      f();
    } catch (const tilmor::ProgramEnd& e) {
      code = e.code;
    }
    err = testing::internal::GetCapturedStderr();
    return code;
  }
  void CreateAndOpen() {
    Command("DBCREATE", "\"def.txt\" > \"t\"");
    ASSERT_EQ(Eval("@DBOPEN(#1,\"t\")"), "0");
  }
  Interp in;
  std::string err;
};

TEST_F(FunctionsTest, TableNumbersAreChecked) {
  in.errorLevel = -1;
  struct Case {
    const char* call;
    int error;
  } cases[] = {{"@DBUSE(1)", 105}, {"@DBUSE(#0)", 609}, {"@DBUSE(#16)", 609}, {"@DBUSE(#3)", 610},
               {"@DBCLOSE(#3)", 610}, {"@DBGO(\"TOP\")", 610}, {"@DBGET$(\"A\")", 610}};
  for (const Case& c : cases) {
    in.lastError = 0;
    Eval(c.call);
    EXPECT_EQ(in.lastError, c.error) << c.call;
    EXPECT_EQ(in.errorState, 2) << c.call;
  }
  // After error 105 the reading goes on behind the call.
  EXPECT_EQ(Eval("@LEN(@DBOPEN(x,\"t\"))"), "1");
  in.errorLevel = 1;
  EXPECT_EQ(Boxes([&] { Eval("@DBUSE(#2)"); }), tilmor::kExitRuntimeError);
  EXPECT_EQ(err, "[Tabellennummer noch nicht vergeben!] Zeile      1:  | PRINT 1\n");
}

TEST_F(FunctionsTest, OpenFailuresAreRuntimeErrors) {
  in.errorLevel = 1;
  EXPECT_EQ(Boxes([&] { Eval("@DBOPEN(#1,\"nothere\")"); }), tilmor::kExitRuntimeError);
  EXPECT_EQ(err, "[Datei nicht gefunden: : nothere.DBF (Reset)] Zeile      1:  | PRINT 1\n");
  WriteBytes("junk.dbf", std::string(40, 'j'));
  EXPECT_EQ(Boxes([&] { Eval("@DBOPEN(#2,\"junk.dbf\")"); }), tilmor::kExitRuntimeError);
  EXPECT_EQ(err, "[dB-Fehler: 157 : Keine dBase III-Datei] Zeile      1:  | PRINT 1\n");
  in.errorLevel = -1;
  EXPECT_EQ(Eval("@DBOPEN(#2,\"junk.dbf\")"), "0");
  EXPECT_EQ(in.lastError, 600);
  in.lastError = 0;
  Eval("@DBUSE(#2)");
  EXPECT_EQ(in.lastError, 610);  // the slot stayed empty
}

TEST_F(FunctionsTest, TableErrorsAreWarningsShownOnce) {
  CreateAndOpen();
  in.errorLevel = 1;
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(Eval("@DBGET$(\"nope\")"), ""); }), -1);
  EXPECT_EQ(err, "[Feld beim Lesen nicht gefunden: NOPE] Zeile      1:  | PRINT 1\n");
  EXPECT_EQ(in.lastError, 612);
  Boxes([&] { Eval("@DBGET$(\"NAME\")"); });
  EXPECT_EQ(err, "");
  Boxes([&] { EXPECT_EQ(Eval("@DBPUTFIELD(9,\"x\")"), "0"); });
  EXPECT_EQ(err, "[Feldnummer zum Schreiben nicht gefunden: 9] Zeile      1:  | PRINT 1\n");
  Boxes([&] { EXPECT_EQ(Eval("@DBGO(5)"), "0"); });
  EXPECT_EQ(err, "");  // empty table: nothing to move to
  Boxes([&] { Eval("@DBAPPENDBLANK()"); });
  Boxes([&] { EXPECT_EQ(Eval("@DBGO(5)"), "1"); });
  EXPECT_EQ(err, "[Schl\xC3\xBCsselfeld nicht in Ordnung: Datensatz 5 nicht in der gefunden.] Zeile      1:  | PRINT 1\n");
  // @DBSEEK leaves its error for the next function.
  Boxes([&] { EXPECT_EQ(Eval("@DBSEEK(\"nope\",\"x\")"), "0"); });
  EXPECT_EQ(err, "");
  Boxes([&] { Eval("@DBUSE(#1)"); });
  EXPECT_EQ(err, "[Feld beim Lesen nicht gefunden: NOPE] Zeile      1:  | PRINT 1\n");
}

TEST_F(FunctionsTest, RecordsMovesAndSystemVariables) {
  CreateAndOpen();
  EXPECT_EQ(Eval("%DBEOF"), "1");
  EXPECT_EQ(Eval("%DBMEMO"), "1");
  EXPECT_EQ(Eval("%DBVERSION"), "3");
  EXPECT_EQ(Eval("%DBHEADER"), "129");
  EXPECT_EQ(Eval("%DBRECSIZE"), "23");
  EXPECT_EQ(Eval("%DBFCOUNT"), "3");
  EXPECT_EQ(Eval("$DBLUPDATE"), "05.03.24");
  EXPECT_EQ(Eval("@DBPUT(\"name\",\"Anna\")"), "1");
  EXPECT_EQ(Eval("@DBPUT(\"NUM\",42)"), "1");
  EXPECT_EQ(Eval("@DBPUT(\"NOTE\",\"x\")"), "0");
  EXPECT_EQ(Eval("$DBFTYPE"), "M");
  EXPECT_EQ(Eval("@DBPUTREC(0)"), "1");  // nothing read yet: appended
  EXPECT_EQ(Eval("@DBAPPENDBLANK()"), "2");
  EXPECT_EQ(Eval("@DBGET$(\"NAME\")"), std::string(8, ' '));
  EXPECT_EQ(Eval("@DBPUT(\"NAME\",\"Bob\")"), "1");
  EXPECT_EQ(Eval("@DBPUTREC(0)"), "2");
  EXPECT_EQ(Eval("@DBPUTREC(-1)"), "3");
  EXPECT_EQ(Eval("&DBRECCOUNT"), "3");
  EXPECT_EQ(Eval("@DBGO(\"|<\")"), "1");
  EXPECT_EQ(Eval("@DBGET$(\"NAME\")"), "Anna    ");
  EXPECT_EQ(Eval("@DBGETFIELD$(2)"), "42  ");
  EXPECT_EQ(Eval("$DBFNAME"), "NUM");
  EXPECT_EQ(Eval("$DBFTYPE"), "N");
  EXPECT_EQ(Eval("%DBFLEN"), "4");
  EXPECT_EQ(Eval("%DBFNUMBER"), "2");
  EXPECT_EQ(Eval("@DBGO(\"bottom\")"), "3");
  EXPECT_EQ(Eval("@DBGO(\"<\")"), "2");
  EXPECT_EQ(Eval("@DBGO(\"PREV\")"), "1");
  EXPECT_EQ(Eval("@DBGO(\"Prev\")"), "1");
  EXPECT_EQ(Eval("@DBGO(\">|\")"), "3");
  EXPECT_EQ(Eval("@DBGO(\"NEXT\")"), "3");
  EXPECT_EQ(Eval("%DBEOF"), "1");
  EXPECT_EQ(Eval("@DBGO(\"2\")"), "2");
  EXPECT_EQ(Eval("%DBEOF"), "0");
  EXPECT_EQ(Eval("&DBRECNO"), "2");
  EXPECT_EQ(Eval("@DBDELETE()"), "2");
  EXPECT_EQ(Eval("%DBDELETED"), "1");
  EXPECT_EQ(Eval("@DBUNDELETE()"), "2");
  EXPECT_EQ(Eval("%DBDELETED"), "0");
  EXPECT_EQ(Eval("@DBDELETE()"), "2");
  EXPECT_EQ(Eval("@DBPACK()"), "2");
  EXPECT_EQ(Eval("@DBCLOSE(#1)"), "2");
  EXPECT_EQ(Eval("&DBRECCOUNT"), "0");
  EXPECT_EQ(U32(ReadBytes("t.DBF"), 4), 2u);
}

TEST_F(FunctionsTest, DeleteWithoutRecordWritesNothing) {
  CreateAndOpen();
  EXPECT_EQ(Eval("@DBDELETE()"), "0");
  EXPECT_EQ(Eval("&DBRECCOUNT"), "0");
}

TEST_F(FunctionsTest, OpenOnAnOpenSlotClosesItFirst) {
  CreateAndOpen();
  Eval("@DBAPPENDBLANK()");
  EXPECT_EQ(U32(ReadBytes("t.DBF"), 4), 0u);
  EXPECT_EQ(Eval("@DBOPEN(#1,\"t\")"), "1");
  Eval("@DBAPPENDBLANK()");
  Eval("@DBOPEN(#2,\"t\")");  // a second slot on the same file
  tilmor::CloseAllTables();
  EXPECT_EQ(U32(ReadBytes("t.DBF"), 4), 2u);
  EXPECT_EQ(ReadBytes("t.DBF").size(), 129u + 2 * 23 + 1);
  in.errorLevel = -1;
  Eval("@DBUSE(#1)");
  EXPECT_EQ(in.lastError, 610);
}

TEST_F(FunctionsTest, OemTextsWhenTheOemFontIsActive) {
  CreateAndOpen();
  tilmor::SetDbaseFontQuery([](const Interp&) { return 1; });
  Eval("@DBPUT(\"NAME\",\"\xC4rger\")");  // Ärger
  Eval("@DBPUTREC(0)");
  Eval("@DBPUT(\"NAME\",\"\xDC\")");
  Eval("@DBPUTREC(-1)");
  Command("DBCREATEINDEX", "\"NAME\" > \"IX\"");
  EXPECT_EQ(ReadBytes("t.DBF").substr(130, 5), "\x8Erger");
  EXPECT_EQ(Eval("@DBFIND(\"\xC4\",0)"), "1");
  EXPECT_EQ(Eval("@DBGET$(\"NAME\")"), "\xC4rger   ");
  Eval("@DBGO(\"TOP\")");
  EXPECT_EQ(Eval("@DBSEEK(\"NAME\",\"\xFC\")"), "2");
  tilmor::SetDbaseFontQuery([](const Interp&) { return 2; });
  EXPECT_EQ(Eval("@DBGET$(\"NAME\")"), "\x9A       ");
}

TEST_F(FunctionsTest, IndexFunctionsAndCommands) {
  CreateAndOpen();
  for (const char* n : {"c", "a", "b"}) {
    Eval(std::string("@DBPUT(\"NAME\",\"") + n + "\")");
    Eval("@DBPUTREC(-1)");
  }
  in.errorLevel = 1;
  Boxes([&] { Command("DBCREATEINDEX", "\"NAME\" > \"BY NAME\""); });
  EXPECT_EQ(err, "[Index-Dateiname fehlerhaft: BY NAME] Zeile      1:  | PRINT 1\n");
  Boxes([&] { Command("DBCREATEINDEX", "\"NAMES\" > \"IX\""); });
  EXPECT_EQ(err, "[Formel nicht in Ordnung: NAMES] Zeile      1:  | PRINT 1\n");
  Command("DBCREATEINDEX", "\"NAME\" > \"IX\"");
  EXPECT_EQ(Eval("&DBRECNO"), "2");  // the first in key order
  EXPECT_EQ(Eval("@DBGO(\"NEXT\")"), "3");
  EXPECT_EQ(Eval("@DBFIND(\"c\",1)"), "1");
  EXPECT_EQ(Eval("@DBFIND(\"d\",1)"), "0");
  // @DBINDEX reports nothing and clears the error.
  EXPECT_EQ(Boxes([&] { EXPECT_EQ(Eval("@DBINDEX(\"IX MISSING\")"), "0"); }), -1);
  EXPECT_EQ(err, "");
  Boxes([&] { Eval("@DBUSE(#1)"); });
  EXPECT_EQ(err, "");
  EXPECT_EQ(Eval("@DBFIND(\"b\",0)"), "3");  // IX was opened all the same
  EXPECT_EQ(Eval("@DBINDEX(\"\")"), "1");
  // @DBINDEX moved to the first in key order (record 2); now record order.
  EXPECT_EQ(Eval("@DBGO(\"NEXT\")"), "3");
  EXPECT_EQ(Eval("@DBFIND(\"b\",0)"), "0");
}

TEST_F(FunctionsTest, MemosThroughTheItemList) {
  CreateAndOpen();
  Eval("@DBAPPENDBLANK()");
  EXPECT_EQ(Eval("@DBGETMEMO(\"NAME\")"), "-1");
  in.items.Add("one");
  in.items.Add(std::string(85, 'w'));
  EXPECT_EQ(Eval("@DBPUTMEMO(\"NOTE\")"), "1");
  EXPECT_EQ(Eval("@DBPUTREC(0)"), "1");
  in.items.Clear();
  in.items.Add("stale");
  EXPECT_NE(Eval("@DBGETMEMO(\"note\")"), "-1");
  ASSERT_EQ(in.items.size(), 3);
  EXPECT_EQ(*in.items.At(0), "one");
  EXPECT_EQ(*in.items.At(1), std::string(80, 'w'));
  EXPECT_EQ(*in.items.At(2), "wwwww");
  EXPECT_EQ(Eval("@DBPUTMEMO(\"NUM\")"), "0");
}

}  // namespace
