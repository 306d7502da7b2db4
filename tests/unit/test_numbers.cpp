#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "numbers.h"

namespace {

using namespace tilmor;

TEST(FormatIntegerTest, RightAlignsInTheWidth) {
  EXPECT_EQ(FormatInteger(5, 0), "5");
  EXPECT_EQ(FormatInteger(5, 4), "   5");
  EXPECT_EQ(FormatInteger(-12, 5), "  -12");
  EXPECT_EQ(FormatInteger(12345, 3), "12345");  // too small: no padding, no cut
  EXPECT_EQ(FormatInteger(0, 1), "0");
  EXPECT_EQ(FormatInteger(INT32_MIN, 0), "-2147483648");
  EXPECT_EQ(FormatInteger(7, -3), "7");
}

TEST(FormatFloatTest, WidthAndDecimals) {
  EXPECT_EQ(FormatFloat(3.14159, 0, 6), "3.141590");
  EXPECT_EQ(FormatFloat(3.14159, 0, 2), "3.14");
  EXPECT_EQ(FormatFloat(1.5, 8, 2), "    1.50");
  EXPECT_EQ(FormatFloat(-1.5, 7, 1), "   -1.5");
  EXPECT_EQ(FormatFloat(1234.5, 3, 1), "1234.5");
  EXPECT_EQ(FormatFloat(2.4, 0, 0), "2");
  EXPECT_EQ(FormatFloat(0.0, 0, 3), "0.000");
  EXPECT_EQ(FormatFloat(-42.0, 6, 0), "   -42");
}

TEST(FormatFloatTest, HalvesRoundAwayFromZero) {
  EXPECT_EQ(FormatFloat(0.125, 0, 2), "0.13");
  EXPECT_EQ(FormatFloat(-0.125, 0, 2), "-0.13");
  EXPECT_EQ(FormatFloat(0.625, 0, 2), "0.63");
  EXPECT_EQ(FormatFloat(2.5, 0, 0), "3");
  EXPECT_EQ(FormatFloat(-2.5, 0, 0), "-3");
  EXPECT_EQ(FormatFloat(0.5, 0, 0), "1");
  EXPECT_EQ(FormatFloat(4.5, 0, 0), "5");
  EXPECT_EQ(FormatFloat(1.25, 5, 1), "  1.3");
  // Not exact halves in binary: ordinary rounding of the stored value.
  EXPECT_EQ(FormatFloat(2.675, 0, 2), "2.67");
  EXPECT_EQ(FormatFloat(1.005, 0, 2), "1.00");
  EXPECT_EQ(FormatFloat(0.35, 0, 1), "0.3");
  EXPECT_EQ(FormatFloat(2.4999, 0, 0), "2");
  EXPECT_EQ(FormatFloat(1.0 / 3, 0, 4), "0.3333");
  EXPECT_EQ(FormatFloat(2.0 / 3, 0, 4), "0.6667");
}

TEST(FormatFloatTest, CutToAShortString) {
  std::string big = FormatFloat(1e300, 0, 6);
  EXPECT_EQ(big.size(), 255u);
  EXPECT_EQ(big.substr(0, 2), "10");
  std::string wide = FormatFloat(1.0, 300, 2);
  EXPECT_EQ(wide.size(), 255u);
  EXPECT_EQ(wide.find_first_not_of(' '), std::string::npos);
  EXPECT_EQ(FormatFloat(1.0, 255, 2).size(), 255u);
  EXPECT_EQ(FormatFloat(1.0, 255, 2).substr(251), "1.00");
}

TEST(ReadWholeTest, SignsBlanksAndHex) {
  bool ok = false;
  EXPECT_EQ(ReadWhole("42", &ok), 42);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("   -17", &ok), -17);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("+8", &ok), 8);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("$FF", &ok), 255);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("$10", &ok), 16);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("$ff", &ok), 255);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("-$10", &ok), -16);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("$7FFFFFFF", &ok), 2147483647);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("2147483647", &ok), 2147483647);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("-2147483648", &ok), INT32_MIN);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadWhole("007", &ok), 7);
  EXPECT_TRUE(ok);
}

TEST(ReadWholeTest, PartialValuesAndFailures) {
  bool ok = true;
  EXPECT_EQ(ReadWhole("12abc", &ok), 12);
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(ReadWhole("1.5", &ok), 1);
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(ReadWhole("12 ", &ok), 12);  // only leading blanks are skipped
  EXPECT_FALSE(ok);
  ok = true;
  EXPECT_EQ(ReadWhole("$1G", &ok), 1);
  EXPECT_FALSE(ok);
  for (const char* bad : {"", "abc", "-", "$", " ", "$XYZ"}) {
    ok = true;
    EXPECT_EQ(ReadWhole(bad, &ok), 0) << bad;
    EXPECT_FALSE(ok) << bad;
  }
  ok = true;
  ReadWhole("2147483648", &ok);
  EXPECT_FALSE(ok);
  ok = true;
  ReadWhole("-2147483649", &ok);
  EXPECT_FALSE(ok);
  ok = true;
  ReadWhole("99999999999999999999", &ok);
  EXPECT_FALSE(ok);
  ok = true;
  ReadWhole("$100000000", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadWhole("314"), 314);  // the flag is optional
}

TEST(ReadFloatTest, WholeTextMustBeANumber) {
  double f = -1;
  EXPECT_TRUE(ReadFloat("1.5", f));
  EXPECT_DOUBLE_EQ(f, 1.5);
  EXPECT_TRUE(ReadFloat("-2.25", f));
  EXPECT_DOUBLE_EQ(f, -2.25);
  EXPECT_TRUE(ReadFloat("12", f));
  EXPECT_DOUBLE_EQ(f, 12.0);
  EXPECT_TRUE(ReadFloat("1E3", f));
  EXPECT_DOUBLE_EQ(f, 1000.0);
  EXPECT_TRUE(ReadFloat("2.5e-1", f));
  EXPECT_DOUBLE_EQ(f, 0.25);
  EXPECT_TRUE(ReadFloat("+4", f));
  EXPECT_DOUBLE_EQ(f, 4.0);

  for (const char* bad : {"", "1X", "1.5 ", "1,5", "abc", ".", "-", "1E", "1E+", "1.2.3",
                          "$FF", "e5", "1 2"}) {
    f = 99;
    EXPECT_FALSE(ReadFloat(bad, f)) << bad;
  }
}

TEST(TruncToInt32Test, TowardZeroWithinLimits) {
  EXPECT_EQ(TruncToInt32(2.9), 2);
  EXPECT_EQ(TruncToInt32(-2.9), -2);
  EXPECT_EQ(TruncToInt32(0.5), 0);
  EXPECT_EQ(TruncToInt32(-0.5), 0);
  EXPECT_EQ(TruncToInt32(7.0), 7);
  EXPECT_EQ(TruncToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(TruncToInt32(-2147483647.0), -2147483647);
  EXPECT_EQ(TruncToInt32(2147483647.5), 0);  // magnitude above the limit
  EXPECT_EQ(TruncToInt32(2147483648.0), 0);
  EXPECT_EQ(TruncToInt32(-2147483648.5), 0);
  EXPECT_EQ(TruncToInt32(1e10), 0);
  EXPECT_EQ(TruncToInt32(-1e300), 0);
}

}  // namespace
