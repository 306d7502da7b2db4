#include <gtest/gtest.h>

#include <string>

#include "prepare.h"

namespace {

using tilmor::IsCallFormText;
using tilmor::PreparedLine;
using tilmor::PrepareLine;
using tilmor::SplitLine;

TEST(PrepareCallForm, AtSignOrPlainWordBeforeParenthesis) {
  EXPECT_TRUE(IsCallFormText("@X"));
  EXPECT_TRUE(IsCallFormText("@"));
  EXPECT_TRUE(IsCallFormText("@ADD(A%, 1)"));
  EXPECT_TRUE(IsCallFormText("MYPROC(1,2)"));
  EXPECT_TRUE(IsCallFormText("X("));
  // The trimmed text before "(" is the plain word.
  EXPECT_TRUE(IsCallFormText("PRINT (1)"));
  EXPECT_TRUE(IsCallFormText("PRINT(1)"));
  // Characters outside the excluded set do not matter.
  EXPECT_TRUE(IsCallFormText("A.B$%&!#^~_@\xC4(1)"));
  // Only the text before the first "(" is looked at.
  EXPECT_TRUE(IsCallFormText("F(a=b, \"c d\")"));

  EXPECT_FALSE(IsCallFormText(""));
  EXPECT_FALSE(IsCallFormText("PRINT"));
  EXPECT_FALSE(IsCallFormText("(1+2)"));  // "(" at position 1
  EXPECT_FALSE(IsCallFormText("LET X=(1)"));
  EXPECT_FALSE(IsCallFormText("A B(1)"));
  EXPECT_FALSE(IsCallFormText("PRINT \"a(b)\""));
}

TEST(PrepareCallForm, EachExcludedCharacterBeforeParenthesis) {
  const std::string excluded = "'\"/)[\\]=?,;:-<>*+`\xB4{|} ";
  ASSERT_EQ(excluded.size(), 23u);
  for (char c : excluded) {
    SCOPED_TRACE(std::string("character code ") +
                 std::to_string(static_cast<unsigned char>(c)));
    EXPECT_FALSE(IsCallFormText(std::string("AB") + c + "CD(1)"));
    // A leading or trailing blank would be trimmed away.
    if (c != ' ') {
      EXPECT_FALSE(IsCallFormText(std::string(1, c) + "X(1)"));
    }
  }
}

TEST(PrepareSplit, CommandWordAndParameterText) {
  PreparedLine p = SplitLine("print \"Hello, World\"");
  EXPECT_EQ(p.cmd, "PRINT");
  EXPECT_EQ(p.param, "\"Hello, World\"");

  // Split at the first blank; the rest is trimmed but keeps its case.
  p = SplitLine("Let   x$ = @Upper$(a$)   ");
  EXPECT_EQ(p.cmd, "LET");
  EXPECT_EQ(p.param, "x$ = @Upper$(a$)");

  p = SplitLine("end");
  EXPECT_EQ(p.cmd, "END");
  EXPECT_EQ(p.param, "");

  p = SplitLine("");
  EXPECT_EQ(p.cmd, "");
  EXPECT_EQ(p.param, "");

  p = SplitLine("Start:");
  EXPECT_EQ(p.cmd, "START:");
  EXPECT_EQ(p.param, "");

  p = SplitLine("l\xE4uft gro\xDF");
  EXPECT_EQ(p.cmd, "L\xC4UFT");
  EXPECT_EQ(p.param, "gro\xDF");

  // Call-form lines keep everything as parameter text.
  p = SplitLine("MyProc(a$, 2)");
  EXPECT_EQ(p.cmd, "@");
  EXPECT_EQ(p.param, "MyProc(a$, 2)");
  p = SplitLine("print (1)");
  EXPECT_EQ(p.cmd, "@");
  EXPECT_EQ(p.param, "print (1)");

  p = SplitLine("A =(1)");
  EXPECT_EQ(p.cmd, "A");
  EXPECT_EQ(p.param, "=(1)");

  p = SplitLine("$o+");
  EXPECT_EQ(p.cmd, "$O+");
  EXPECT_TRUE(tilmor::IsOperatorModeSwitch(p.cmd));
  EXPECT_TRUE(tilmor::IsOperatorModeSwitch(SplitLine("$O-").cmd));
  EXPECT_FALSE(tilmor::IsOperatorModeSwitch(SplitLine("$O").cmd));
}

TEST(PrepareLine, TrimsThenTranslatesBeforeSplitting) {
  PreparedLine p = PrepareLine("   print  x  \t", false);
  EXPECT_EQ(p.cmd, "PRINT");
  EXPECT_EQ(p.param, "x");

  p = PrepareLine("PRINT (A%+1)", false);
  EXPECT_EQ(p.cmd, "@");  // "PRINT (" is call-form text without translation
  EXPECT_EQ(p.param, "PRINT (A%+1)");
  p = PrepareLine("PRINT (A%+1)", true);
  EXPECT_EQ(p.cmd, "PRINT");
  EXPECT_EQ(p.param, "@ADD(A%,1)");

  p = PrepareLine("PRINT A%+1", false);
  EXPECT_EQ(p.cmd, "PRINT");
  EXPECT_EQ(p.param, "A%+1");
  // The translation wraps the command word, so the line becomes a call.
  p = PrepareLine("  PRINT A%+1  ", true);
  EXPECT_EQ(p.cmd, "@");
  EXPECT_EQ(p.param, "@ADD(PRINT A%,1)");

  p = PrepareLine("LET X% = (A%+1)", true);
  EXPECT_EQ(p.cmd, "LET");
  EXPECT_EQ(p.param, "X% =@ADD(A%,1)");

  p = PrepareLine("locate 1, 2", true);
  EXPECT_EQ(p.cmd, "LOCATE");
  EXPECT_EQ(p.param, "1,2");

  p = PrepareLine("(a+b)", true);
  EXPECT_EQ(p.cmd, "@");
  EXPECT_EQ(p.param, "@ADD(a,b)");

  p = PrepareLine("", true);
  EXPECT_EQ(p.cmd, "");
  EXPECT_EQ(p.param, "");
}

}  // namespace
