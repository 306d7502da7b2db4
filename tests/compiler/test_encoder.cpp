// Encoding prepared lines: one expectation per rule, built by hand.
#include <gtest/gtest.h>

#include "helpers.h"
#include "messages.h"
#include "tmc_format.h"

namespace {

using tmctest::EncodeAll;
using tmctest::ParseHex;

// The content of the last line of a program.
std::string Last(const std::vector<std::string>& lines) {
  tmctest::Encoded e = EncodeAll(lines);
  EXPECT_EQ(e.errorLine, 0) << e.error;
  return e.contents.empty() ? std::string() : e.contents.back();
}

// The compile error of a program: "line: title".
std::string ErrorOf(const std::vector<std::string>& lines) {
  tmctest::Encoded e = EncodeAll(lines);
  return std::to_string(e.errorLine) + ": " + e.error;
}

TEST(EncodeStatement, LinesWithoutStatementAreTheByte39) {
  for (const char* line : {"", "REM anything at all", "rem", "TRACEON", "traceoff", "$O+", "$o-"})
    EXPECT_EQ(Last({line}), "\x27") << line;
}

TEST(EncodeStatement, EndifDropsItsParameters) {
  EXPECT_EQ(Last({"ENDIF"}), "\x84");
  EXPECT_EQ(Last({"endif whatever (\""}), "\x84");
}

TEST(EncodeStatement, CommandCodeThenParametersWithoutBlanks) {
  EXPECT_EQ(Last({"PRINT A%, \"x y\""}), ParseHex("A2 'A%,\"x y\"'"));
  EXPECT_EQ(Last({"print"}), ParseHex("A2"));
  EXPECT_EQ(Last({"LOCATE  1 ,\t2"}), ParseHex("BE '1,2'"));
  EXPECT_EQ(Last({"ENDWHILE"}), ParseHex("8A"));
  EXPECT_EQ(Last({"DRAWLIBICON \"a\", 1, 2, 3"}), ParseHex("78 '\"a\",1,2,3'"));
}

TEST(EncodeStatement, ParametersLoseATrailingComment) {
  tilmor::LineTable t = tmctest::Table({"PRINT 1"});
  tilmor::tmc::Encoder enc(t);
  std::string content, error;
  ASSERT_TRUE(enc.EncodeLine(1, {"PRINT", "1 ' x \"y"}, content, error)) << error;
  EXPECT_EQ(content, ParseHex("A2 '1'"));
  ASSERT_TRUE(enc.EncodeLine(1, {"PRINT", "\"it's\" ' x"}, content, error)) << error;
  EXPECT_EQ(content, ParseHex("A2 '\"it' 27 's\"'"));
  ASSERT_TRUE(enc.EncodeLine(1, {"PRINT", "@LEN(\"'\")"}, content, error)) << error;
  EXPECT_EQ(content, ParseHex("A2 40 96 '(\"' 27 '\")'"));
}

TEST(EncodeStatement, LabelIsTheByte254AndTheUpperCasedWord) {
  EXPECT_EQ(Last({"Anfang:"}), ParseHex("FE 'ANFANG:'"));
  // With text behind it, the word is no label but an unknown command.
  EXPECT_EQ(ErrorOf({"Anfang: PRINT 1"}), "1: " + tilmor::MessageText(102) + "ANFANG:");
}

TEST(EncodeStatement, ProcedureCallRefersToAnEarlierProcLine) {
  std::vector<std::string> p = {"PRINT 0", "PROC Zeig", "ENDPROC", "zeig 1; \"a\""};
  EXPECT_EQ(Last(p), ParseHex("FF 02 00 '1;\"a\"'"));
  EXPECT_EQ(Last({"PROC X", "x"}), ParseHex("FF 01 00"));
  // The line number is written low byte first.
  std::vector<std::string> far(300, "");
  far[299 - 1] = "proc weit";
  far.push_back("WEIT 7");
  EXPECT_EQ(Last(far), ParseHex("FF 2B 01 '7'"));
  // The first of two PROC lines of one name counts.
  EXPECT_EQ(Last({"PROC A", "PROC a", "A"}), ParseHex("FF 01 00"));
}

TEST(EncodeStatement, ProcedureDefinedBelowTheCallIsUnknown) {
  EXPECT_EQ(ErrorOf({"Later 1", "PROC Later", "ENDPROC"}), "1: Befehl unbekannt: LATER");
  EXPECT_EQ(ErrorOf({"PRINT 1", "A% = 5"}), "2: Befehl unbekannt: A%");
}

TEST(EncodeStatement, OnlyARecordOfPROCCanBeCalled) {
  // Operator mode turns this PROC line into a call; the runtime could not
  // find the procedure's name in its record.
  EXPECT_EQ(ErrorOf({"$O+", "PROC A+1", "$O-", "A+1"}), "4: Befehl unbekannt: A+1");
  EXPECT_EQ(Last({"PROC A+1", "A+1"}), ParseHex("FF 01 00"));
}

TEST(EncodeStatement, CallFormLine) {
  EXPECT_EQ(Last({"@LEN(\"x\")"}), ParseHex("40 40 96 '(\"x\")'"));
  EXPECT_EQ(Last({"LEN (\"x\")"}), ParseHex("40 40 96 '(\"x\")'"));
  EXPECT_EQ(ErrorOf({"FOO(1)"}), "1: Funktion unbekannt: FOO");
}

TEST(EncodeStatement, DefLineNamesItself) {
  std::vector<std::string> p = {"DEF @SQ(1) @MUL(@%(1),@%(1))"};
  EXPECT_EQ(Last(p), ParseHex("83 40 FF 01 00 '(1)' 40 83 28 40 25 '(1),' 40 25 '(1))'"));
  // A second definition of the name refers to the first.
  p.push_back("def sq(1) 0");
  EXPECT_EQ(Last(p), ParseHex("83 40 FF 01 00 '(1)0'"));
  p.push_back("PRINT @Sq(2)");
  EXPECT_EQ(Last(p), ParseHex("A2 40 FF 01 00 '(2)'"));
}

TEST(EncodeStatement, CasePrefixConditionAndStatement) {
  EXPECT_EQ(Last({"CASE A%: PRINT 1"}), ParseHex("81 'A%:' A2 '1'"));
  EXPECT_EQ(Last({"CASENOT @EQU(A%, 0) : END"}), ParseHex("82 40 8A '(A%,0):' BF"));
  // The colon of a string or a call argument does not end the condition.
  EXPECT_EQ(Last({"CASE @EQU$(A$,\"a:b\"): PRINT 2"}), ParseHex("81 40 8D '(A$,\"a:b\"):' A2 '2'"));
  // Without a colon the statement is empty.
  EXPECT_EQ(Last({"CASE 1"}), ParseHex("81 '1' 27"));
  EXPECT_EQ(Last({"CASE 1:"}), ParseHex("81 '1:' 27"));
  // The statement may be a call-form line, a label word or a procedure call.
  EXPECT_EQ(Last({"CASE 1: LEN(\"a\")"}), ParseHex("81 '1:' 40 40 96 '(\"a\")'"));
  EXPECT_EQ(Last({"PROC P", "CASE 1: p 3"}), ParseHex("81 '1:' FF 01 00 '3'"));
  EXPECT_EQ(Last({"CASE 1: REM x"}), ParseHex("81 '1:' 27"));
  // A second colon right after the condition is dropped, as at run time.
  EXPECT_EQ(Last({"CASE 1:: PRINT 3"}), ParseHex("81 '1:' A2 '3'"));
  // A CASE behind a CASE is no command.
  EXPECT_EQ(ErrorOf({"CASE 1: CASE 2: PRINT"}), "1: Befehl unbekannt: CASE");
}

TEST(EncodeText, StringsAreCopiedWithTheirBlanks) {
  EXPECT_EQ(Last({"PRINT \"  a  \" ; \"\""}), ParseHex("A2 '\"  a  \";\"\"'"));
  EXPECT_EQ(Last({"PRINT \"@ADD(%HDC $x\""}), ParseHex("A2 '\"@ADD(%HDC $x\"'"));
}

TEST(EncodeText, UnterminatedStrings) {
  EXPECT_EQ(ErrorOf({"PRINT 1", "PRINT \""}), "2: " + tilmor::MessageText(238));
  EXPECT_EQ(ErrorOf({"PRINT 1, a\""}), "1: Stringende fehlt!");
  EXPECT_EQ(ErrorOf({"PRINT \"abc"}), "1: String-Ende fehlt!");
  EXPECT_EQ(ErrorOf({"PRINT \"a\", \"b"}), "1: String-Ende fehlt!");
}

TEST(EncodeText, SystemVariables) {
  EXPECT_EQ(Last({"PRINT %HDC2"}), ParseHex("A2 25 91"));
  EXPECT_EQ(Last({"PRINT %HDC"}), ParseHex("A2 25 90"));
  EXPECT_EQ(Last({"PRINT $tilmver; &GetTickCount"}), ParseHex("A2 24 C4 3B 26 C0"));
  // Without a code the upper-cased name stays as text.
  EXPECT_EQ(Last({"PRINT $ff, %hdc3"}), ParseHex("A2 '$FF,%HDC3'"));
  // A type character at the end or before a character below 65 is plain.
  EXPECT_EQ(Last({"PRINT A$, B% ; C!"}), ParseHex("A2 'A$,B%;C!'"));
  EXPECT_EQ(Last({"PRINT %1"}), ParseHex("A2 '%1'"));
}

TEST(EncodeText, FunctionNames) {
  EXPECT_EQ(Last({"PRINT @add(1, @SUB(2,3))"}), ParseHex("A2 40 81 '(1,' 40 82 '(2,3))'"));
  EXPECT_EQ(Last({"PRINT @ADD (1,2)"}), ParseHex("A2 40 81 '(1,2)'"));
  // A call written without "@" where the rest of the text is call-form text.
  EXPECT_EQ(Last({"PRINT 1, LEN(\"ab\")"}), ParseHex("A2 '1,' 40 96 '(\"ab\")'"));
  EXPECT_EQ(Last({"PRINT @%(1); @$(2); @&(3); @!(4)"}),
            ParseHex("A2 40 25 '(1);' 40 24 '(2);' 40 26 '(3);' 40 21 '(4)'"));
  EXPECT_EQ(Last({"PRINT @LIST(1)"}), ParseHex("A2 40 B7 '(1)'"));
}

TEST(EncodeText, FunctionErrors) {
  EXPECT_EQ(ErrorOf({"PRINT @NOPAREN"}), "1: Funktionsargument fehlt!");
  EXPECT_EQ(ErrorOf({"PRINT 1, @"}), "1: Funktionsargument fehlt!");
  EXPECT_EQ(ErrorOf({"PRINT @nothing(1)"}), "1: Funktion unbekannt: NOTHING");
  // A definition has to stand on or above the call.
  EXPECT_EQ(ErrorOf({"PRINT @LATE(0)", "DEF @LATE(0) 1"}), "1: Funktion unbekannt: LATE");
  // Names that would end a CASE condition once they are codes.
  EXPECT_EQ(ErrorOf({"DEF @A:B(0) 1"}), "1: Funktion unbekannt: A:B");
  EXPECT_EQ(ErrorOf({"DEF @A)B(0) 1"}), "1: Funktion unbekannt: A)B");
  EXPECT_EQ(Last({"DEF @A B(0) 1", "PRINT @a b()"}), ParseHex("A2 40 FF 01 00 '()'"));
  // A function inside a string is no call.
  EXPECT_EQ(Last({"PRINT \"@NOTHING(\""}), ParseHex("A2 '\"@NOTHING(\"'"));
}

TEST(CompilerWord, CommandWordIsCutTo32Characters) {
  std::string label(40, 'L');
  // The cut word no longer ends with ":", so it is no label.
  EXPECT_EQ(ErrorOf({label + ":"}), "1: Befehl unbekannt: " + label.substr(0, 32));
  std::string label31(31, 'L');
  EXPECT_EQ(Last({label31 + ":"}), "\xFE" + label31 + ":");
  std::string name(33, 'P');
  EXPECT_EQ(ErrorOf({"PROC " + name, "ENDPROC", name}), "3: Befehl unbekannt: " + name.substr(0, 32));
}

TEST(CompilerWord, FunctionNameIsCutTo32Characters) {
  std::string name(40, 'F');
  EXPECT_EQ(ErrorOf({"PRINT @" + name + "(1)"}), "1: Funktion unbekannt: " + name.substr(0, 32));
}

TEST(ContentLimit, RecordsLongerThan255BytesStopTheCompiler) {
  // Each call of the one-letter user function grows from 4 to 7 bytes:
  // 1 + 31 * 7 + 30 commas + ",123456" make exactly 255 bytes.
  std::string calls = "PRINT F(1)";
  for (int i = 0; i < 30; ++i) calls += ",F(1)";
  EXPECT_EQ(Last({"DEF F(1) 1", calls + ",123456"}).size(), 255u);
  tmctest::Encoded e = EncodeAll({"DEF F(1) 1", calls + ",1234567"});
  EXPECT_EQ(e.errorLine, 2);
  EXPECT_EQ(e.error, tilmor::MessageText(902));
}

TEST(OperatorMode, LinesAreTranslatedBeforeTheyAreEncoded) {
  EXPECT_EQ(Last({"$O+", "PRINT (1+2)"}), ParseHex("A2 40 81 '(1,2)'"));
  EXPECT_EQ(Last({"$O+", "$O-", "PRINT @ADD(1,2)"}), ParseHex("A2 40 81 '(1,2)'"));
  EXPECT_EQ(ErrorOf({"$O+", "$O-", "PRINT (1+2)"}), "3: Funktion unbekannt: PRINT");
}

// Whatever a line holds, encoding ends with a content or an error.
TEST(Robustness, ArbitraryLinesNeverBreakTheEncoder) {
  std::vector<std::string> lines;
  uint32_t seed = 12345;
  const char alphabet[] = "@()\"':,;$%&! aZ1\\PROCDEFCASE_-+*/^<>=\t\xFF\x80";
  for (int n = 0; n < 3000; ++n) {
    std::string l;
    int len = static_cast<int>(seed % 60);
    for (int i = 0; i < len; ++i) {
      seed = seed * 1103515245u + 12345u;
      l += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
    }
    lines.push_back(l);
  }
  tilmor::LineTable t = tmctest::Table(lines);
  tilmor::tmc::Encoder enc(t);
  int ok = 0;
  for (int n = 1; n <= t.count(); ++n) {
    for (bool op : {false, true}) {
      std::string content, error;
      if (enc.EncodeLine(n, tilmor::PrepareLine(t[n], op), content, error)) {
        ++ok;
        EXPECT_FALSE(content.empty());
        EXPECT_LE(content.size(), 255u);
      } else {
        EXPECT_FALSE(error.empty());
      }
    }
  }
  EXPECT_GT(ok, 0);
}

}  // namespace
