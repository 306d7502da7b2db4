#include <gtest/gtest.h>

#include <string>

#include "odbc_layout.h"
#include "odbc_message.h"

namespace {

using namespace tilmor::odbc;

// SQL type codes as the driver manager reports them to an ODBC 2 program.
enum : int {
  kNumeric = 2, kDecimal = 3, kInteger = 4, kSmallint = 5, kFloat = 6, kReal = 7, kDouble = 8,
  kDate = 9, kTime = 10, kTimestamp = 11, kVarchar = 12, kChar = 1, kLongVarchar = -1,
  kBinary = -2, kVarbinary = -3, kLongVarbinary = -4, kBigint = -5, kTinyint = -6, kBit = -7,
};

TEST(OdbcLayoutTest, WidthsOfTheTypeTable) {
  EXPECT_EQ(DisplayWidth(kNumeric, 8, 1), 10);
  EXPECT_EQ(DisplayWidth(kDecimal, 5, 1), 7);
  EXPECT_EQ(DisplayWidth(kInteger, 10, 1), 11);
  EXPECT_EQ(DisplayWidth(kSmallint, 5, 1), 6);
  EXPECT_EQ(DisplayWidth(kFloat, 15, 1), 22);
  EXPECT_EQ(DisplayWidth(kDouble, 15, 1), 22);
  EXPECT_EQ(DisplayWidth(kReal, 7, 1), 13);
  EXPECT_EQ(DisplayWidth(kDate, 10, 1), 10);
  EXPECT_EQ(DisplayWidth(kTime, 8, 1), 8);
  EXPECT_EQ(DisplayWidth(kTimestamp, 26, 1), 23);
  EXPECT_EQ(DisplayWidth(kBit, 1, 1), 1);
  EXPECT_EQ(DisplayWidth(kTinyint, 3, 1), 4);
  EXPECT_EQ(DisplayWidth(kBigint, 19, 1), 20);
  EXPECT_EQ(DisplayWidth(kBinary, 4, 1), 8);
  EXPECT_EQ(DisplayWidth(kVarbinary, 6, 1), 12);
  EXPECT_EQ(DisplayWidth(kLongVarchar, 65536, 1), 50);
  // Every other type: its size and one.
  EXPECT_EQ(DisplayWidth(kChar, 5, 1), 6);
  EXPECT_EQ(DisplayWidth(kVarchar, 10, 1), 11);
  EXPECT_EQ(DisplayWidth(kLongVarbinary, 0, 1), 1);
  EXPECT_EQ(DisplayWidth(-9, 7, 1), 8);
}

TEST(OdbcLayoutTest, ALongerNameWidensTheColumn) {
  EXPECT_EQ(DisplayWidth(kBit, 1, 2), 2);
  EXPECT_EQ(DisplayWidth(kInteger, 10, 11), 11);
  EXPECT_EQ(DisplayWidth(kInteger, 10, 12), 12);
  EXPECT_EQ(DisplayWidth(kChar, 3, 32), 32);
}

TEST(OdbcLayoutTest, HugeColumnSizesStayWithinAnInt) {
  uint64_t huge = 0xFFFFFFFFFFFFFFFFull;
  EXPECT_GT(DisplayWidth(kVarchar, huge, 1), 255);
  EXPECT_GT(DisplayWidth(kBinary, huge, 1), 255);
  EXPECT_GT(DisplayWidth(kNumeric, huge, 1), 255);
  EXPECT_LT(DisplayWidth(kBinary, huge, 1), 1 << 20);
}

TEST(OdbcLayoutTest, BuffersHoldTheWholeValue) {
  // The widest numbers fill their width without a byte for the end.
  EXPECT_GE(BufferChars(kInteger, 10, 11), 11u);
  EXPECT_GE(BufferChars(kBigint, 19, 20), 20u);
  // Number texts may be longer than the width.
  EXPECT_GE(BufferChars(kFloat, 15, 22), 24u);
  EXPECT_GE(BufferChars(kTimestamp, 26, 23), 26u);
  EXPECT_EQ(BufferChars(kVarchar, 100, 101), 101u);
  // Long and unknown sizes: whole up to 65535 characters.
  EXPECT_EQ(BufferChars(kLongVarchar, 65536, 50), 65535u);
  EXPECT_EQ(BufferChars(kLongVarbinary, 0, 1), 65535u);
  EXPECT_EQ(BufferChars(kVarchar, 0, 1), 65535u);
  EXPECT_EQ(BufferChars(kVarchar, 1u << 30, 65537), 65535u);
}

TEST(OdbcLayoutTest, CellsArePaddedOrCutThenSeparated) {
  Format f;
  std::string line;
  AppendCell(line, "A", 11, f);
  AppendCell(line, "B", 6, f);
  EXPECT_EQ(line, "A          |B     |");
  line.clear();
  AppendCell(line, "abcdefgh", 4, f);
  AppendCell(line, "", 2, f);
  EXPECT_EQ(line, "abcd|  |");
  line.clear();
  f.separator.clear();
  AppendCell(line, "NULL", 1, f);
  AppendCell(line, "x", 3, f);
  EXPECT_EQ(line, "Nx  ");
}

TEST(OdbcLayoutTest, WindowLinesStopAtAShortString) {
  Format f;
  std::string line;
  AppendCell(line, "x", 250, f);
  EXPECT_EQ(line.size(), 251u);
  AppendCell(line, "abcdefgh", 8, f);
  EXPECT_EQ(line.size(), kShortLine);
  EXPECT_EQ(line.substr(251), "abcd");
  AppendCell(line, "more", 4, f);
  EXPECT_EQ(line.size(), kShortLine);
  // The separator of a cell that just fills the line is left out.
  line.assign(250, '.');
  AppendCell(line, "abcde", 5, f);
  EXPECT_EQ(line.substr(250), "abcde");
}

TEST(OdbcLayoutTest, FieldsOfTheResultFile) {
  Format f;
  std::string line;
  AppendField(line, "1", f);
  AppendField(line, "x y", f);
  EXPECT_EQ(line, "1|x y|");
  f.SetDelimiters(";'");
  line.clear();
  AppendField(line, "a", f);
  AppendField(line, "", f);
  EXPECT_EQ(line, "'a';'';");
  f.SetDelimiters("");
  line.clear();
  AppendField(line, "a", f);
  AppendField(line, "b", f);
  EXPECT_EQ(line, "ab");
  // Not cut: the file takes whole values.
  line.clear();
  AppendField(line, std::string(300, 'v'), f);
  EXPECT_EQ(line.size(), 300u);
}

TEST(OdbcLayoutTest, DelimiterSettings) {
  Format f;
  EXPECT_EQ(f.separator, "|");
  EXPECT_EQ(f.delimiter, "");
  EXPECT_EQ(f.nullText, "NULL");
  f.SetDelimiters(",");
  EXPECT_EQ(f.separator, ",");
  EXPECT_EQ(f.delimiter, "");
  f.SetDelimiters("#+x");
  EXPECT_EQ(f.separator, "#");
  EXPECT_EQ(f.delimiter, "+");
  f.SetDelimiters("");
  EXPECT_EQ(f.separator, "");
  EXPECT_EQ(f.delimiter, "");
}

TEST(OdbcLayoutTest, DashLineIsWidthPlusOnePerColumn) {
  EXPECT_EQ(DashLine({11, 6}), std::string(19, '-'));
  EXPECT_EQ(DashLine({1}), "--");
  EXPECT_EQ(DashLine({}), "");
  EXPECT_EQ(DashLine({200, 200}), std::string(kShortLine, '-'));
}

TEST(OdbcMessageTest, TheTextAfterTheLastBracket) {
  EXPECT_EQ(ShownMessage("[unixODBC][Driver Manager]Data source name not found"), "Data source name not found");
  EXPECT_EQ(ShownMessage("[SQLite]near \"SELEC\": syntax error (1)"), "near \"SELEC\": syntax error (1)");
  EXPECT_EQ(ShownMessage("[a]b]c"), "c");
  EXPECT_EQ(ShownMessage("ends with]"), "");
  // Without any "]" the whole message.
  EXPECT_EQ(ShownMessage("ERROR: syntax error;\nError while executing the query"),
            "ERROR: syntax error;\nError while executing the query");
  EXPECT_EQ(ShownMessage(""), "");
}

}  // namespace
