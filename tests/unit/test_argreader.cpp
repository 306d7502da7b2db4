#include <gtest/gtest.h>

#include <cstdio>
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
  void Read(const std::string& param, char c = ' ', int t = kAny) {
    in.param = param;
    ReadArg(in, c, t);
  }
  // "type ival lval fval [text]"
  std::string Val() const {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%d %d %d %g [%s]", in.res.type, in.res.ival, in.res.lval,
                  in.res.fval, in.res.text.c_str());
    return buf;
  }
  // "separator|rest|end-of-arguments"
  std::string Cut() const {
    return std::string(1, in.res.sep) + "|" + in.param.str() + "|" + (in.res.eoa ? "eoa" : "-");
  }
  void Clear() { in.errorState = in.lastError = 0; }
  template <typename T>
  void Put(VarTable<T>& table, const std::string& name, T value) {
    table.Append(name);
    *table.Find(name) = value;
  }

  Interp in;
};

TEST_F(ArgReaderTest, Separators) {
  Read("  5, 6  ", ',');
  EXPECT_EQ(Val(), "3 5 5 5 [5]");
  EXPECT_EQ(Cut(), ",|6|-");
  Read("7", ',');  // no comma: the whole text, the separator is still ','
  EXPECT_EQ(in.res.lval, 7);
  EXPECT_EQ(Cut(), ",||-");
  Read("1 : 2", ':');
  EXPECT_EQ(in.res.lval, 1);
  EXPECT_EQ(Cut(), ":|2|-");
  Read("\"a, b; c: d\"", ' ');
  EXPECT_EQ(in.res.text, "a, b; c: d");
  EXPECT_EQ(Cut(), " ||-");
  Read("\"x;y\" , 3", ',');  // ';' ends list elements only
  EXPECT_EQ(in.res.text, "x;y");
  EXPECT_EQ(Cut(), ",|3|-");

  // A plain argument never holds its separator, quotes or not.
  Read("\"a,b\",3", 'p');
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "\"A");
  EXPECT_EQ(Cut(), ",|b\",3|-");
  EXPECT_EQ(in.lastError, 214);
  Read("\"x:y\"", ':');
  EXPECT_EQ(in.res.text, "\"X");
  EXPECT_EQ(Cut(), ":|y\"|-");
}

TEST_F(ArgReaderTest, ParameterList) {
  in.param = "1, 2 ;3";
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 1);
  EXPECT_EQ(Cut(), ",|2 ;3|-");
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 2);
  EXPECT_EQ(Cut(), ";|3|-");
  ReadArg(in, 'p', kAny);
  EXPECT_EQ(in.res.lval, 3);
  EXPECT_EQ(Cut(), " ||eoa");

  Read("4;", 'p');  // a separator with nothing after it also ends the list
  EXPECT_EQ(in.res.lval, 4);
  EXPECT_EQ(Cut(), ";||eoa");
  Read("\"a:b\", 2", 'p');
  EXPECT_EQ(in.res.text, "a:b");
  EXPECT_EQ(Cut(), ",|2|-");
}

TEST_F(ArgReaderTest, EmptyTextIsTooFewExceptInLists) {
  in.errorLevel = -1;
  for (char c : {' ', ',', ':'}) {
    Clear();
    Read("   ", c, kText);
    EXPECT_EQ(in.lastError, 212) << c;
    EXPECT_EQ(in.errorState, 2) << c;
  }
  Clear();
  Read("  ", 'p');
  EXPECT_NE(in.lastError, 212);
  EXPECT_NE(in.errorState, 2);
  EXPECT_EQ(Cut(), " ||eoa");
}

TEST_F(ArgReaderTest, QuotedStrings) {
  Read("\"a\\\\nb\"");  // a \\ n b
  EXPECT_EQ(in.res.text, "a\\nb");
  Read("\"a\\nb\"");
  EXPECT_EQ(in.res.text, "a\rb");
  Read("\"\\a\\t\\.\"");
  EXPECT_EQ(in.res.text, "\x08\t\\");
  Read("\"\\.n\\.t\"");  // \. goes last: its backslash starts no escape
  EXPECT_EQ(in.res.text, "\\n\\t");
  Read("\"\\\\\\n\"");  // \\ goes first
  EXPECT_EQ(in.res.text, "\\\r");
  Read("\"Hallo Welt\"");
  EXPECT_EQ(in.res.text, "Hallo Welt");
  Read("\"\"");
  EXPECT_EQ(in.res.text, "");
  Read("\"a\\\\b\\n\\t\\.\"", ' ', kRawText);  // raw: only \\ is reduced
  EXPECT_EQ(in.res.type, kString);
  EXPECT_EQ(in.res.text, "a\\b\\n\\t\\.");
  EXPECT_EQ(in.lastError, 0);

  // Only type and text change; the numbers stay from the argument before.
  Put(in.vars.floats, "F!", 7.75);
  Read("F!");
  Read("\"x\"");
  EXPECT_EQ(Val(), "1 7 7 7.75 [x]");
}

TEST_F(ArgReaderTest, Variables) {
  Put(in.vars.ints, "A%", 5);
  Put(in.vars.longs, "B&", -70000);
  Put(in.vars.strings, "S$", std::string("42"));
  Put(in.vars.strings, "T$", std::string("3.5"));
  Read("a%");
  EXPECT_EQ(Val(), "2 5 5 5 [5]");
  Read("B&");
  EXPECT_EQ(Val(), "3 -70000 -70000 -70000 [-70000]");
  Read("S$");
  EXPECT_EQ(Val(), "1 42 42 42 [42]");
  Read("T$");
  EXPECT_DOUBLE_EQ(in.res.fval, 3.5);
  in.numWidth = 4;
  Read("A%");
  EXPECT_EQ(in.res.text, "   5");
  EXPECT_EQ(in.lastError, 0);

  // The entry declared last counts.
  Put(in.vars.ints, "A%", 6);
  Read("A%");
  EXPECT_EQ(in.res.ival, 6);
  in.vars.ints.CutBack(1);
  Read("A%");
  EXPECT_EQ(in.res.ival, 5);
}

TEST_F(ArgReaderTest, FloatVariablesTruncateTowardZero) {
  Put(in.vars.floats, "P!", 2.9);
  Put(in.vars.floats, "N!", -2.9);
  Put(in.vars.floats, "BIG!", 3e9);
  Read("P!");
  EXPECT_EQ(Val(), "4 2 2 2.9 [2.900000]");
  Read("N!");
  EXPECT_EQ(Val(), "4 -2 -2 -2.9 [-2.900000]");
  Read("BIG!");
  EXPECT_EQ(Val(), "4 0 0 3e+09 [3000000000.000000]");
  in.numWidth = 8;
  in.decimals = 2;
  Read("N!");
  EXPECT_EQ(in.res.text, "   -2.90");
}

TEST_F(ArgReaderTest, ClassificationOrder) {
  in.errorLevel = -1;
  // '$' first beats '%' last, '!' first beats '&' last, '&' first beats
  // '%' last: each is a system variable, not the variable of that name.
  Put(in.vars.ints, "$A%", 5);
  Put(in.vars.longs, "!B&", 6);
  Put(in.vars.ints, "&C%", 7);
  for (const char* name : {"$A%", "!B&", "&C%"}) {
    Clear();
    Read(name);
    EXPECT_EQ(in.lastError, 100) << name;
  }
  // '#' last beats '$' first; '$' last beats '%' first.
  in.vars.areas.Append("$X#");
  in.vars.areas.Find("$X#")->address = 4096;
  Put(in.vars.strings, "%S$", std::string("hi"));
  Clear();
  Read("$X#");
  EXPECT_EQ(Val(), "3 4096 4096 4096 [4096]");
  Read("%S$");
  EXPECT_EQ(Val(), "1 0 0 0 [hi]");
  EXPECT_EQ(in.lastError, 0);

  // An area that is not dimensioned.
  in.vars.areas.Append("Z#");
  Read("z#");
  EXPECT_EQ(in.lastError, 243);
  EXPECT_EQ(in.res.type, kLong);
}

TEST_F(ArgReaderTest, NumberLiterals) {
  Read("1.5");
  EXPECT_EQ(Val(), "4 1 1 1.5 [1.500000]");
  Read("12");
  EXPECT_EQ(Val(), "3 12 12 12 [12]");
  Read("-7");
  EXPECT_EQ(Val(), "3 -7 -7 -7 [-7]");
  in.numWidth = 6;
  in.decimals = 2;
  Read("12");
  EXPECT_EQ(in.res.text, "    12");
  Read("2.675");
  EXPECT_EQ(in.res.text, "  2.67");
  Read("0.125");
  EXPECT_EQ(in.res.text, "  0.13");
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
  EXPECT_EQ(Val(), "2 9 9 9 [X%]");  // the numbers stay as they were
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
  in.cmd = "DECLAREX";  // whole words only
  Read("Y!");
  EXPECT_EQ(in.lastError, 215);
}

TEST_F(ArgReaderTest, TypeCheck) {
  in.errorLevel = -1;
  in.vars.strings.Append("S$");
  struct {
    const char* param;
    int t;
    bool fails;
  } cases[] = {
      {"5", kText, true},     {"5", kRawText, true},      {"\"A\"", kNumber, true},
      {"S$", 3, true},        {"S$", 4, true},            {"\"A\"", kText, false},
      {"5", kNumber, false},  {"\"A\"", kRawText, false}, {"1.5", 4, false},
      {"\"A\"", kAny, false}, {"5", kAny, false},
  };
  for (const auto& c : cases) {
    Clear();
    Read(c.param, ' ', c.t);
    EXPECT_EQ(in.lastError == 216, c.fails) << c.param << " t=" << c.t;
  }

  in.errorLevel = 0;
  in.lines.slots = {"", "LOCATE \"A\", 1"};
  in.cur = 1;
  testing::internal::CaptureStderr();
  int code = -1;
  try {
    Read("\"A\", 1", ',', kNumber);
  } catch (const ProgramEnd& e) {
    code = e.code;
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[Falscher Parametertyp: A] Zeile      1:  | LOCATE \"A\", 1\n");
  EXPECT_EQ(code, 3);
}

TEST_F(ArgReaderTest, SystemVariables) {
  Read("$FF");
  EXPECT_EQ(Val(), "1 255 255 255 [255]");
  Read("$10");
  EXPECT_EQ(in.res.lval, 16);
  Read("$ff");
  EXPECT_EQ(in.res.lval, 255);
  Read("$tilmver");
  EXPECT_EQ(Val(), "1 0 0 0 [5.0a-32]");
  in.args = {"tilmor", "a", "b"};
  Read("%PARCOUNT");
  EXPECT_EQ(Val(), "2 2 2 2 [2]");
  in.errorLevel = -1;
  Read("$XYZ");
  EXPECT_EQ(in.lastError, 100);
  EXPECT_EQ(in.errorState, 2);
}

TEST_F(ArgReaderTest, ErrorStateReadingResets) {
  Read("Q%");  // warning 215
  Read("%ERROR");
  EXPECT_EQ(Val(), "1 1 1 1 [1]");
  EXPECT_EQ(in.errorState, 0);
  Read("%ERROR");
  EXPECT_EQ(in.res.text, "0");
  EXPECT_EQ(in.res.ival, 0);
  Read("%ERRNUMBER");
  EXPECT_EQ(in.res.ival, 215);

  in.errorLevel = -1;
  Read("");  // runtime error 212
  Read("%ERROR");
  EXPECT_EQ(in.res.ival, 2);
  Read("%ERRNUMBER");
  EXPECT_EQ(in.res.ival, 212);
}

}  // namespace
