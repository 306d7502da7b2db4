#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "picture.h"

namespace {

using tilmor::FormatPicture;

TEST(PictureTest, DigitPlaceholders) {
  EXPECT_EQ(FormatPicture("0.00", 3.14159), "3.14");
  EXPECT_EQ(FormatPicture("000", 7), "007");
  EXPECT_EQ(FormatPicture("0", 1234), "1234");  // surplus digits all shown
  EXPECT_EQ(FormatPicture("#", 0), "");
  EXPECT_EQ(FormatPicture("#0#", 5), "05");  // zeros from the first '0' on
  EXPECT_EQ(FormatPicture("#.##", 0.5), ".5");
  EXPECT_EQ(FormatPicture("#.##", 0), "");
  EXPECT_EQ(FormatPicture("0.###", 1.5), "1.5");
  EXPECT_EQ(FormatPicture("0.##", 5), "5");  // no point without decimals
  EXPECT_EQ(FormatPicture("0.#0", 1.5), "1.50");
  EXPECT_EQ(FormatPicture(".00", 12.5), "12.50");
  EXPECT_EQ(FormatPicture(".00", -12.5), "-12.50");
  EXPECT_EQ(FormatPicture("0.0.0", 1.25), "1.25");  // later points ignored
}

TEST(PictureTest, Rounding) {
  EXPECT_EQ(FormatPicture("0", 2.5), "3");
  EXPECT_EQ(FormatPicture("0", -2.5), "-3");
  EXPECT_EQ(FormatPicture("0", 0.5), "1");
  EXPECT_EQ(FormatPicture("0", 1.4999), "1");
  EXPECT_EQ(FormatPicture("0.00", 0.125), "0.13");  // exact half
  EXPECT_EQ(FormatPicture("0.00", -0.125), "-0.13");
  EXPECT_EQ(FormatPicture("0.00", 2.675), "2.67");  // stored just below the half
  EXPECT_EQ(FormatPicture("0.00", 9.996), "10.00");
  EXPECT_EQ(FormatPicture("#,##0", 999.5), "1,000");
  // 18 significant digits at most, then zeros.
  EXPECT_EQ(FormatPicture("0.000000000000000000000", 1.0 / 3), "0.333333333333333315000");
  EXPECT_EQ(FormatPicture("0", 123456789012345678.0), "123456789012345680");
}

TEST(PictureTest, GroupingAndText) {
  EXPECT_EQ(FormatPicture("#,##0.00", 1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatPicture("#,##0", -1234567), "-1,234,567");
  EXPECT_EQ(FormatPicture("#,##0", 123), "123");
  EXPECT_EQ(FormatPicture("0.00,", 1234), "1,234.00");  // any comma turns it on
  EXPECT_EQ(FormatPicture("00-00", 1234), "12-34");
  EXPECT_EQ(FormatPicture("00-00", 5), "00-05");
  EXPECT_EQ(FormatPicture("00-00", 123456), "1234-56");
  EXPECT_EQ(FormatPicture("00-00", -1234), "-12-34");
  EXPECT_EQ(FormatPicture("\"DM \"0.00", 5), "DM 5.00");
  EXPECT_EQ(FormatPicture("'$'0.00", -5), "$-5.00");  // sign at the digits
  EXPECT_EQ(FormatPicture("0 'a;b'", 5), "5 a;b");
  EXPECT_EQ(FormatPicture("0 \"x", 5), "5 x");  // unclosed quote runs to the end
  EXPECT_EQ(FormatPicture("abc", -5), "abc");   // no placeholders, no number
}

TEST(PictureTest, Scientific) {
  EXPECT_EQ(FormatPicture("0.00E+00", 12345), "1.23E+04");
  EXPECT_EQ(FormatPicture("0.0E-0", 0.000123), "1.2E-4");
  EXPECT_EQ(FormatPicture("0.0E-0", 12345), "1.2E4");
  EXPECT_EQ(FormatPicture("0.00e+00", -12345), "-1.23e+04");
  EXPECT_EQ(FormatPicture("00.00E+00", 12345), "12.35E+03");
  EXPECT_EQ(FormatPicture("0.0E+0", 9.96), "1.0E+1");
  EXPECT_EQ(FormatPicture("0.00E+00", 0), "0.00E+00");
  EXPECT_EQ(FormatPicture("0E+0000", 5e20), "5E+0020");
  EXPECT_EQ(FormatPicture("0.0E+00", 1e20), "1.0E+20");
  EXPECT_EQ(FormatPicture("0,000E+0", 12345678), "1235E+4");  // no grouping
  EXPECT_EQ(FormatPicture("E+00", 5), "E+05");  // needs a placeholder first
}

TEST(PictureTest, Sections) {
  EXPECT_EQ(FormatPicture("#,##0;(#,##0)", -1234), "(1,234)");
  EXPECT_EQ(FormatPicture("#,##0;(#,##0)", 1234), "1,234");
  EXPECT_EQ(FormatPicture("#,##0;(#,##0)", 0), "0");
  EXPECT_EQ(FormatPicture("0;(0.00)", -1.5), "(1.50)");
  EXPECT_EQ(FormatPicture("0;-0;'zero'", 0), "zero");
  EXPECT_EQ(FormatPicture("0;-0;'zero'", -0.0), "zero");
  EXPECT_EQ(FormatPicture("0.00;(0.00);'zero'", 0.001), "zero");
  EXPECT_EQ(FormatPicture("0.00;(0.00);'zero'", -0.004), "zero");
  EXPECT_EQ(FormatPicture("0.00;-0.00;0.0", 0), "0.0");
  // Rounded to zero without a zero section: no sign, first section.
  EXPECT_EQ(FormatPicture("0.0", -0.04), "0.0");
  EXPECT_EQ(FormatPicture("0.0;(0.0)", -0.04), "0.0");
  // Empty sections fall back to the first, which then adds the sign.
  EXPECT_EQ(FormatPicture("0;;'zero'", -5), "-5");
  EXPECT_EQ(FormatPicture("0;(0);", 0), "0");
  EXPECT_EQ(FormatPicture(";(0)", -5), "(5)");
  EXPECT_EQ(FormatPicture(";(0)", 5.5), "5.5");  // empty first: general
  EXPECT_EQ(FormatPicture("0;(0);'z';'w'", 0), "z");
}

TEST(PictureTest, GeneralFormat) {
  EXPECT_EQ(FormatPicture("", 1234.5), "1234.5");
  EXPECT_EQ(FormatPicture("", -2.5), "-2.5");
  EXPECT_EQ(FormatPicture("", 0), "0");
  EXPECT_EQ(FormatPicture("", 1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatPicture("", 123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatPicture("", 1e15), "1E15");
  EXPECT_EQ(FormatPicture("", 1e20), "1E20");
  EXPECT_EQ(FormatPicture("", 0.00001), "0.00001");
  EXPECT_EQ(FormatPicture("", -1.5e-6), "-1.5E-6");
  // More than 18 integer digits without an exponent.
  EXPECT_EQ(FormatPicture("0", 1e19), "1E19");
  EXPECT_EQ(FormatPicture("0;(0)", -2.5e19), "-2.5E19");
}

TEST(PictureTest, NonFiniteAndLength) {
  EXPECT_EQ(FormatPicture("0.00", INFINITY), "INF");
  EXPECT_EQ(FormatPicture("0.00", -INFINITY), "-INF");
  EXPECT_EQ(FormatPicture("0.00", NAN), "NAN");
  EXPECT_EQ(FormatPicture(std::string(300, 'x'), 1), std::string(255, 'x'));
  std::string wide = FormatPicture("#,##0.00", 1e17);
  EXPECT_EQ(wide, "100,000,000,000,000,000.00");
  EXPECT_EQ(FormatPicture("'" + std::string(260, '-') + "'0", 7), std::string(255, '-'));
}

}  // namespace
