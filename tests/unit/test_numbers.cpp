#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "numbers.h"

namespace {

using namespace tilmor;

TEST(NumbersTest, FormatInteger) {
  EXPECT_EQ(FormatInteger(5, 0), "5");
  EXPECT_EQ(FormatInteger(5, 4), "   5");
  EXPECT_EQ(FormatInteger(-12, 5), "  -12");
  EXPECT_EQ(FormatInteger(12345, 3), "12345");  // too small: no padding, no cut
  EXPECT_EQ(FormatInteger(INT32_MIN, 0), "-2147483648");
}

TEST(NumbersTest, FormatFloatWidthAndDecimals) {
  EXPECT_EQ(FormatFloat(3.14159, 0, 6), "3.141590");
  EXPECT_EQ(FormatFloat(3.14159, 0, 2), "3.14");
  EXPECT_EQ(FormatFloat(1.5, 8, 2), "    1.50");
  EXPECT_EQ(FormatFloat(-1.5, 7, 1), "   -1.5");
  EXPECT_EQ(FormatFloat(1234.5, 3, 1), "1234.5");
  EXPECT_EQ(FormatFloat(2.4, 0, 0), "2");
  EXPECT_EQ(FormatFloat(-42.0, 6, 0), "   -42");

  // Cut to a short string.
  std::string big = FormatFloat(1e300, 0, 6);
  EXPECT_EQ(big.size(), 255u);
  EXPECT_EQ(big.substr(0, 2), "10");
  EXPECT_EQ(FormatFloat(1.0, 300, 2), std::string(255, ' '));
  EXPECT_EQ(FormatFloat(1.0, 255, 2), std::string(251, ' ') + "1.00");
}

TEST(NumbersTest, FormatFloatRounding) {
  // Exact halves go away from zero.
  EXPECT_EQ(FormatFloat(0.125, 0, 2), "0.13");
  EXPECT_EQ(FormatFloat(-0.125, 0, 2), "-0.13");
  EXPECT_EQ(FormatFloat(0.625, 0, 2), "0.63");
  EXPECT_EQ(FormatFloat(2.5, 0, 0), "3");
  EXPECT_EQ(FormatFloat(-2.5, 0, 0), "-3");
  EXPECT_EQ(FormatFloat(0.5, 0, 0), "1");
  EXPECT_EQ(FormatFloat(4.5, 0, 0), "5");
  EXPECT_EQ(FormatFloat(1.25, 5, 1), "  1.3");
  // No exact halves in binary: ordinary rounding of the stored value.
  EXPECT_EQ(FormatFloat(2.675, 0, 2), "2.67");
  EXPECT_EQ(FormatFloat(1.005, 0, 2), "1.00");
  EXPECT_EQ(FormatFloat(0.35, 0, 1), "0.3");
  EXPECT_EQ(FormatFloat(2.4999, 0, 0), "2");
  EXPECT_EQ(FormatFloat(2.0 / 3, 0, 4), "0.6667");
}

TEST(NumbersTest, ReadWhole) {
  struct {
    const char* text;
    int32_t value;
    bool ok;
  } cases[] = {
      {"42", 42, true},
      {"   -17", -17, true},
      {"+8", 8, true},
      {"007", 7, true},
      {"$FF", 255, true},
      {"$ff", 255, true},
      {"$10", 16, true},
      {"-$10", -16, true},
      {"$7FFFFFFF", 2147483647, true},
      {"2147483647", 2147483647, true},
      {"-2147483648", INT32_MIN, true},
      // What was read up to the offending character.
      {"12abc", 12, false},
      {"1.5", 1, false},
      {"12 ", 12, false},  // only leading blanks are skipped
      {"$1G", 1, false},
      {"", 0, false},
      {"abc", 0, false},
      {"-", 0, false},
      {"$", 0, false},
      {" ", 0, false},
      {"$XYZ", 0, false},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;
    EXPECT_EQ(ReadWhole(c.text, &ok), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
  for (const char* over : {"2147483648", "-2147483649", "99999999999999999999", "$100000000"}) {
    bool ok = true;
    ReadWhole(over, &ok);
    EXPECT_FALSE(ok) << over;
  }
  EXPECT_EQ(ReadWhole("314"), 314);  // the flag is optional
}

TEST(NumbersTest, ReadFloatTakesOnlyWholeNumbers) {
  struct {
    const char* text;
    double value;
  } good[] = {{"1.5", 1.5}, {"-2.25", -2.25}, {"12", 12.0},
              {"1E3", 1000.0}, {"2.5e-1", 0.25}, {"+4", 4.0}};
  for (const auto& c : good) {
    double f = -1;
    EXPECT_TRUE(ReadFloat(c.text, f)) << c.text;
    EXPECT_DOUBLE_EQ(f, c.value) << c.text;
  }
  for (const char* bad : {"", "1X", "1.5 ", "1,5", "abc", ".", "-", "1E", "1E+", "1.2.3",
                          "$FF", "e5", "1 2"}) {
    double f = 99;
    EXPECT_FALSE(ReadFloat(bad, f)) << bad;
  }
}

TEST(NumbersTest, TruncToInt32) {
  EXPECT_EQ(TruncToInt32(2.9), 2);
  EXPECT_EQ(TruncToInt32(-2.9), -2);
  EXPECT_EQ(TruncToInt32(-0.5), 0);
  EXPECT_EQ(TruncToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(TruncToInt32(-2147483647.0), -2147483647);
  // A magnitude above 2147483647 gives 0.
  EXPECT_EQ(TruncToInt32(2147483647.5), 0);
  EXPECT_EQ(TruncToInt32(2147483648.0), 0);
  EXPECT_EQ(TruncToInt32(-2147483648.0), 0);
  EXPECT_EQ(TruncToInt32(1e10), 0);
  EXPECT_EQ(TruncToInt32(-1e300), 0);
}

}  // namespace
