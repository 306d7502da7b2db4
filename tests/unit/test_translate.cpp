#include <gtest/gtest.h>

#include <string>

#include "translate.h"

namespace {

using tilmor::TranslateInfix;

TEST(Translate, LanguageConsequences) {
  EXPECT_EQ(TranslateInfix("PRINT (A%+1)"), "PRINT @ADD(A%,1)");
  EXPECT_EQ(TranslateInfix("PRINT A%+1"), "@ADD(PRINT A%,1)");
  EXPECT_EQ(TranslateInfix("x*(a+b)"), "x*@ADD(a,b)");
  EXPECT_EQ(TranslateInfix("LET X% = (A%+1)"), "LET X% =@ADD(A%,1)");
  EXPECT_EQ(TranslateInfix("LOCATE 1, 2"), "LOCATE 1,2");
  EXPECT_EQ(TranslateInfix("PRINT (a+(b*c))"), "PRINT @ADD(a,@MUL(b,c))");
  EXPECT_EQ(TranslateInfix("PRINT ((a+b)*c)"), "PRINT @MUL(@ADD(a,b),c)");
  EXPECT_EQ(TranslateInfix("PRINT (a/(b-1))"), "PRINT @DIV(a,@SUB(b,1))");
  EXPECT_EQ(TranslateInfix("@ABS(-5)"), "@ABS(-5)");
  EXPECT_EQ(TranslateInfix("IF (A%>0)"), "IF @GT(A%,0)");
  EXPECT_EQ(TranslateInfix("PRINT (2^3)"), "PRINT @POW(2,3)");
  EXPECT_EQ(TranslateInfix("PRINT (7\\2)"), "PRINT @DIV&(7,2)");
  EXPECT_EQ(TranslateInfix("(a+b)"), "@ADD(a,b)");
}

TEST(Translate, EveryOperatorHasItsFunction) {
  EXPECT_EQ(TranslateInfix("(a-b)"), "@SUB(a,b)");
  EXPECT_EQ(TranslateInfix("(a*b)"), "@MUL(a,b)");
  EXPECT_EQ(TranslateInfix("IF (A%<1)"), "IF @LT(A%,1)");
  EXPECT_EQ(TranslateInfix("IF (A$=\"x\")"), "IF @EQU(A$,\"x\")");
  // Signs after "(" or "," (blanks skipped) become placeholders and come
  // back as the same characters.
  EXPECT_EQ(TranslateInfix("@F(+1,-2,*3,/4,\\5,^6,>7,<8,=9)"),
            "@F(+1,-2,*3,/4,\\5,^6,>7,<8,=9)");
  EXPECT_EQ(TranslateInfix("@F(a, +2)"), "@F(a, +2)");
  EXPECT_EQ(TranslateInfix("@F((-1+2))"), "@F(@ADD(-1,2))");
}

TEST(Translate, StringsAreNeverTranslated) {
  EXPECT_EQ(TranslateInfix("PRINT (\"a+b\"+X$)"), "PRINT @ADD(\"a+b\",X$)");
  EXPECT_EQ(TranslateInfix("PRINT \"1+1\""), "PRINT \"1+1\"");
  // Separators inside strings do not split; blanks after real ones go.
  EXPECT_EQ(TranslateInfix("PRINT \"a, b\",  x"), "PRINT \"a, b\",x");
  // An unterminated string takes the rest of the line.
  EXPECT_EQ(TranslateInfix("PRINT \"a+b, c"), "PRINT \"a+b, c");
}

TEST(Translate, SeparatorsAndDepth) {
  // Separators count only at depth 0.
  EXPECT_EQ(TranslateInfix("F(a, b)"), "F(a, b)");
  EXPECT_EQ(TranslateInfix("IF A%>0"), "IF A%>0");
  EXPECT_EQ(TranslateInfix("X = - 1"), "X =-1");
  EXPECT_EQ(TranslateInfix("A; B: C"), "A;B:C");
  EXPECT_EQ(TranslateInfix("a,,b"), "a,,b");
  EXPECT_EQ(TranslateInfix("a, b,"), "a,b,");
  // "<" is an operator, not a separator.
  EXPECT_EQ(TranslateInfix("IF A%<0"), "@LT(IF A%,0)");
  // A blank before the operator is skipped when finding its left operand.
  EXPECT_EQ(TranslateInfix("PRINT +5"), "@ADD(PRINT ,5)");
}

TEST(Translate, UnchangedAndEmptyLines) {
  EXPECT_EQ(TranslateInfix(""), "");
  EXPECT_EQ(TranslateInfix("PRINT  hello   world"), "PRINT  hello   world");
  EXPECT_EQ(TranslateInfix("  END  "), "  END  ");
  EXPECT_EQ(TranslateInfix("GOSUB Label"), "GOSUB Label");
}

TEST(Translate, LeadingOperatorGetsEmptyLeftOperand) {
  EXPECT_EQ(TranslateInfix("+5"), "@ADD(,5)");
  EXPECT_EQ(TranslateInfix("X%=+5"), "X%=@ADD(,5)");
  EXPECT_EQ(TranslateInfix("LET X% = +5"), "LET X% =@ADD(,5)");
  // Only blanks before it: the first character, a blank, makes it a sign.
  EXPECT_EQ(TranslateInfix("  +5"), "  +5");
}

TEST(Translate, RuleBreakingTextIsPassedOn) {
  EXPECT_EQ(TranslateInfix("PRINT (a+b+c)"), "PRINT @ADD@ADD(a,b,c)");
  EXPECT_EQ(TranslateInfix("PRINT (a<=b)"), "PRINT @LT(a,=b)");
}

TEST(Translate, ResultIsCutAt255) {
  std::string in = "PRINT (" + std::string(245, 'A') + "+1)";
  ASSERT_EQ(in.size(), 255u);
  std::string full = "PRINT @ADD(" + std::string(245, 'A') + ",1)";
  EXPECT_EQ(TranslateInfix(in), full.substr(0, 255));
}

}  // namespace
