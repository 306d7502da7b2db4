#include <gtest/gtest.h>

#include <string>

#include "argreader.h"
#include "batch.h"
#include "interp.h"
#include "sysvars_core.h"

namespace {

using namespace tilmor;

// Level 0 keeps warnings silent; runtime errors are read at level -1.
class ArgReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::SetBatchMode(true);
    win::ClearBatchScript();
    RegisterCoreSystemVariables();
    in.errorLevel = 0;
  }
  // Reads one argument from `param` and keeps the rest in in.param.
  void Read(const std::string& param, char c = ' ', int t = kAny) {
    in.param = param;
    ReadArg(in, c, t);
  }
  void Clear() { in.errorState = in.lastError = 0; }

  Interp in;
};

TEST_F(ArgReaderTest, SeparatorsCutTheArgument) {
  Read("  5, 6  ", ',');
  EXPECT_EQ(in.res.lval, 5);
  EXPECT_EQ(in.res.sep, ',');
  EXPECT_EQ(in.param, "6");
  EXPECT_FALSE(in.res.eoa);

  Read("7", ',');  // no comma: the whole text, separator still ','
  EXPECT_EQ(in.res.lval, 7);
  EXPECT_EQ(in.res.sep, ',');
  EXPECT_EQ(in.param, "");
  EXPECT_FALSE(in.res.eoa);

  Read("1 : 2", ':');
  EXPECT_EQ(in.res.lval, 1);
  EXPECT_EQ(in.res.sep, ':');
  EXPECT_EQ(in.param, "2");

  Read("\"a, b; c: d\"", ' ');
  EXPECT_EQ(in.res.text, "a, b; c: d");
  EXPECT_EQ(in.param, "");
  EXPECT_EQ(in.res.sep, ' ');

  // ';' only ends list elements.
  Read("\"x;y\" , 3", ',');
  EXPECT_EQ(in.res.text, "x;y");
  EXPECT_EQ(in.param, "3");
}

TEST_F(ArgReaderTest, ParameterListElements) {
  in.param = "1, 2 ;3";
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 1);
  EXPECT_EQ(in.res.sep, ',');
  EXPECT_FALSE(in.res.eoa);
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 2);
  EXPECT_EQ(in.res.sep, ';');
  EXPECT_FALSE(in.res.eoa);
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 3);
  EXPECT_EQ(in.res.sep, ' ');
  EXPECT_TRUE(in.res.eoa);
  EXPECT_EQ(in.param, "");

  // A trailing separator with nothing after it also ends the list.
  Read("4;", 'p');
  EXPECT_EQ(in.res.lval, 4);
  EXPECT_EQ(in.res.sep, ';');
  EXPECT_TRUE(in.res.eoa);

  Read("\"a:b\", 2", 'p');
  EXPECT_EQ(in.res.text, "a:b");
  EXPECT_EQ(in.param, "2");
}

TEST_F(ArgReaderTest, PlainArgumentStopsAtSeparatorInsideQuotes) {
  Read("\"a,b\",3", 'p');
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "\"A");  // not a quoted string: upper-cased, no number
  EXPECT_EQ(in.res.sep, ',');
  EXPECT_EQ(in.param, "b\",3");
  EXPECT_EQ(in.lastError, 214);

  Read("\"x:y\"", ':');
  EXPECT_EQ(in.res.text, "\"X");
  EXPECT_EQ(in.param, "y\"");
}

TEST_F(ArgReaderTest, EmptyTextIsTooFewExceptInLists) {
  in.errorLevel = -1;
  Read("", ' ');
  EXPECT_EQ(in.lastError, 212);
  EXPECT_EQ(in.errorState, 2);
  Clear();
  Read("   ", ',');
  EXPECT_EQ(in.lastError, 212);
  Clear();
  Read("", ':', kText);
  EXPECT_EQ(in.lastError, 212);

  Clear();
  Read("  ", 'p');
  EXPECT_NE(in.lastError, 212);
  EXPECT_NE(in.errorState, 2);
  EXPECT_TRUE(in.res.eoa);
  EXPECT_EQ(in.res.sep, ' ');
}

TEST_F(ArgReaderTest, QuotedStringEscapes) {
  Read("\"a\\\\nb\"");  // a \\ n b
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "a\\nb");
  Read("\"a\\nb\"");
  EXPECT_EQ(in.res.text, "a\rb");
  Read("\"\\a\\t\\.\"");
  EXPECT_EQ(in.res.text, "\x08\t\\");
  // \. is replaced last, so the backslash it makes starts no escape.
  Read("\"\\.n\\.t\"");
  EXPECT_EQ(in.res.text, "\\n\\t");
  // \\ goes first: three backslashes and n are a backslash and CR.
  Read("\"\\\\\\n\"");
  EXPECT_EQ(in.res.text, "\\\r");
  Read("\"Hallo Welt\"");
  EXPECT_EQ(in.res.text, "Hallo Welt");  // no upper-casing inside quotes
  Read("\"\"");
  EXPECT_EQ(in.res.text, "");

  // Raw strings reduce only \\.
  Read("\"a\\\\b\\n\\t\\.\"", ' ', kRawText);
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "a\\b\\n\\t\\.");
  EXPECT_EQ(in.lastError, 0);
}

TEST_F(ArgReaderTest, QuotedStringKeepsPreviousNumbers) {
  in.vars.floats.Append("F!");
  *in.vars.floats.Find("F!") = 7.75;
  Read("F!");
  Read("\"x\"");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "x");
  EXPECT_EQ(in.res.ival, 7);
  EXPECT_EQ(in.res.lval, 7);
  EXPECT_DOUBLE_EQ(in.res.fval, 7.75);
}

TEST_F(ArgReaderTest, VariablesOfEachKind) {
  in.vars.ints.Append("A%");
  *in.vars.ints.Find("A%") = 5;
  in.vars.longs.Append("B&");
  *in.vars.longs.Find("B&") = -70000;
  in.vars.strings.Append("S$");
  *in.vars.strings.Find("S$") = "42";
  in.vars.strings.Append("T$");
  *in.vars.strings.Find("T$") = "3.5";

  Read("a%");
  EXPECT_EQ(in.res.type, kInteger);
  EXPECT_EQ(in.res.ival, 5);
  EXPECT_EQ(in.res.lval, 5);
  EXPECT_DOUBLE_EQ(in.res.fval, 5.0);
  EXPECT_EQ(in.res.text, "5");

  Read("B&");
  EXPECT_EQ(in.res.type, kLong);
  EXPECT_EQ(in.res.ival, -70000);
  EXPECT_DOUBLE_EQ(in.res.fval, -70000.0);
  EXPECT_EQ(in.res.text, "-70000");

  Read("S$");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "42");
  EXPECT_EQ(in.res.ival, 42);
  EXPECT_EQ(in.res.lval, 42);
  EXPECT_DOUBLE_EQ(in.res.fval, 42.0);
  Read("T$");
  EXPECT_DOUBLE_EQ(in.res.fval, 3.5);

  in.numWidth = 4;
  Read("A%");
  EXPECT_EQ(in.res.text, "   5");
  EXPECT_EQ(in.lastError, 0);
}

TEST_F(ArgReaderTest, FloatVariablesTruncateTowardZero) {
  in.vars.floats.Append("P!");
  in.vars.floats.Append("N!");
  in.vars.floats.Append("BIG!");
  *in.vars.floats.Find("P!") = 2.9;
  *in.vars.floats.Find("N!") = -2.9;
  *in.vars.floats.Find("BIG!") = 3e9;

  Read("P!");
  EXPECT_EQ(in.res.type, kFloat);
  EXPECT_EQ(in.res.ival, 2);
  EXPECT_EQ(in.res.lval, 2);
  EXPECT_DOUBLE_EQ(in.res.fval, 2.9);
  EXPECT_EQ(in.res.text, "2.900000");
  Read("N!");
  EXPECT_EQ(in.res.ival, -2);
  EXPECT_EQ(in.res.lval, -2);
  Read("BIG!");
  EXPECT_EQ(in.res.ival, 0);
  EXPECT_EQ(in.res.lval, 0);

  in.numWidth = 8;
  in.decimals = 2;
  Read("N!");
  EXPECT_EQ(in.res.text, "   -2.90");
}

TEST_F(ArgReaderTest, ClassificationOrder) {
  in.errorLevel = -1;
  // '$' first beats '%' last: a system variable, not the integer variable.
  in.vars.ints.Append("$A%");
  *in.vars.ints.Find("$A%") = 5;
  Read("$A%");
  EXPECT_EQ(in.lastError, 100);
  EXPECT_NE(in.res.ival, 5);

  // '!' first beats '&' last, '&' first beats '%' last.
  in.vars.longs.Append("!B&");
  *in.vars.longs.Find("!B&") = 6;
  Clear();
  Read("!B&");
  EXPECT_EQ(in.lastError, 100);
  in.vars.ints.Append("&C%");
  *in.vars.ints.Find("&C%") = 7;
  Clear();
  Read("&C%");
  EXPECT_EQ(in.lastError, 100);

  // '#' last beats '$' first.
  in.vars.areas.Append("$X#");
  in.vars.areas.Find("$X#")->address = 4096;
  Clear();
  Read("$X#");
  EXPECT_EQ(in.lastError, 0);
  EXPECT_EQ(in.res.type, kLong);
  EXPECT_EQ(in.res.lval, 4096);
  EXPECT_EQ(in.res.text, "4096");

  // '$' last beats '%' first: the string variable.
  in.vars.strings.Append("%S$");
  *in.vars.strings.Find("%S$") = "hi";
  Read("%S$");
  EXPECT_EQ(in.lastError, 0);
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "hi");
}

TEST_F(ArgReaderTest, AreaVariables) {
  in.errorLevel = -1;
  in.vars.areas.Append("Z#");
  Read("Z#");
  EXPECT_EQ(in.lastError, 243);
  EXPECT_EQ(in.errorState, 2);
  EXPECT_EQ(in.res.type, kLong);
  Clear();
  in.vars.areas.Find("Z#")->address = 0x1000;
  Read("z#");
  EXPECT_EQ(in.lastError, 0);
  EXPECT_EQ(in.res.ival, 0x1000);
  EXPECT_EQ(in.res.lval, 0x1000);
}

TEST_F(ArgReaderTest, NumberLiterals) {
  Read("1.5");
  EXPECT_EQ(in.res.type, kFloat);
  EXPECT_DOUBLE_EQ(in.res.fval, 1.5);
  EXPECT_EQ(in.res.ival, 1);
  EXPECT_EQ(in.res.text, "1.500000");

  Read("12");
  EXPECT_EQ(in.res.type, kLong);
  EXPECT_EQ(in.res.ival, 12);
  EXPECT_EQ(in.res.lval, 12);
  EXPECT_DOUBLE_EQ(in.res.fval, 12.0);
  EXPECT_EQ(in.res.text, "12");

  Read("-7");
  EXPECT_EQ(in.res.type, kLong);
  EXPECT_EQ(in.res.lval, -7);

  in.numWidth = 6;
  in.decimals = 2;
  Read("12");
  EXPECT_EQ(in.res.text, "    12");
  Read("2.675");
  EXPECT_EQ(in.res.text, "  2.67");
  Read("0.125");
  EXPECT_EQ(in.res.text, "  0.13");
  EXPECT_EQ(in.lastError, 0);
  EXPECT_EQ(in.errorState, 0);

  Read("1x");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "1X");
  EXPECT_EQ(in.lastError, 214);
  EXPECT_EQ(in.errorState, 1);
}

TEST_F(ArgReaderTest, UndeclaredVariables) {
  Read("9");
  Read("x%");
  EXPECT_EQ(in.res.text, "X%");
  EXPECT_EQ(in.res.ival, 9);  // numbers stay as they were
  EXPECT_EQ(in.res.lval, 9);
  EXPECT_EQ(in.lastError, 215);
  EXPECT_EQ(in.errorState, 1);

  for (const char* word : {"DECLARE", "PARAMETERS"}) {
    Clear();
    in.cmd = word;
    Read("y$");
    EXPECT_EQ(in.res.text, "Y$") << word;
    EXPECT_EQ(in.lastError, 0) << word;
    EXPECT_EQ(in.errorState, 0) << word;
  }
  Clear();
  in.cmd = "DECLAREX";  // exact words only
  Read("Y!");
  EXPECT_EQ(in.lastError, 215);
}

TEST_F(ArgReaderTest, LastDeclaredEntryWins) {
  in.vars.ints.Append("A%");
  *in.vars.ints.Find("A%") = 1;
  in.vars.ints.Append("A%");
  *in.vars.ints.Find("A%") = 2;
  Read("A%");
  EXPECT_EQ(in.res.ival, 2);
  in.vars.ints.CutBack(1);
  Read("A%");
  EXPECT_EQ(in.res.ival, 1);
}

TEST_F(ArgReaderTest, TypeCheck) {
  in.errorLevel = -1;
  in.vars.strings.Append("S$");
  struct Case {
    const char* param;
    int t;
    bool fails;
  } cases[] = {
      {"5", kText, true},        {"5", kRawText, true},     {"\"A\"", kNumber, true},
      {"S$", 3, true},           {"S$", 4, true},           {"\"A\"", kText, false},
      {"\"A\"", kRawText, false}, {"5", kNumber, false},    {"1.5", 4, false},
      {"\"A\"", kAny, false},    {"5", kAny, false},
  };
  for (const Case& c : cases) {
    Clear();
    Read(c.param, ' ', c.t);
    EXPECT_EQ(in.lastError == 216, c.fails) << c.param << " t=" << c.t;
  }
}

TEST_F(ArgReaderTest, TypeErrorReportsTheResultText) {
  win::ParseBatchScript("", nullptr);
  in.lines.slots = {"", "LOCATE \"A\", 1"};
  in.cur = 1;
  in.param = "\"A\", 1";
  testing::internal::CaptureStderr();
  int code = -1;
  try {
    ReadArg(in, ',', kNumber);
  } catch (const ProgramEnd& e) {
    code = e.code;
  }
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, 3);
  EXPECT_EQ(err, "[Falscher Parametertyp: A] Zeile      1:  | LOCATE \"A\", 1\n");
}

TEST_F(ArgReaderTest, HexNumbersAndSystemVariables) {
  Read("$FF");
  EXPECT_EQ(in.res.ival, 255);
  EXPECT_EQ(in.res.lval, 255);
  EXPECT_DOUBLE_EQ(in.res.fval, 255.0);
  EXPECT_EQ(in.res.text, "255");
  Read("$10");
  EXPECT_EQ(in.res.lval, 16);
  Read("$ff");
  EXPECT_EQ(in.res.lval, 255);

  Read("$tilmver");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "5.0a-32");

  in.args = {"tilmor", "a", "b"};
  Read("%PARCOUNT");
  EXPECT_EQ(in.res.type, kInteger);
  EXPECT_EQ(in.res.ival, 2);
  EXPECT_EQ(in.res.text, "2");

  in.errorLevel = -1;
  Read("$XYZ");
  EXPECT_EQ(in.lastError, 100);
  EXPECT_EQ(in.errorState, 2);
}

TEST_F(ArgReaderTest, ErrorStateReadingResets) {
  Read("Q%");  // undeclared: warning 215
  Read("%ERROR");
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.ival, 1);
  EXPECT_EQ(in.res.text, "1");
  EXPECT_EQ(in.errorState, 0);
  Read("%ERROR");
  EXPECT_EQ(in.res.ival, 0);
  EXPECT_EQ(in.res.text, "0");
  Read("%ERRNUMBER");
  EXPECT_EQ(in.res.ival, 215);
  EXPECT_EQ(in.res.lval, 215);

  in.errorLevel = -1;
  Read("");  // runtime error 212
  Read("%ERROR");
  EXPECT_EQ(in.res.ival, 2);
  Read("%ERRNUMBER");
  EXPECT_EQ(in.res.ival, 212);
}

}  // namespace
