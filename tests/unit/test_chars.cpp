#include <gtest/gtest.h>

#include <string>

#include "chars.h"

namespace {

using tilmor::FindTop;
using tilmor::FindTopRight;
using tilmor::Trim;
using tilmor::UpperCase;

TEST(CharsTrim, RemovesCodesBelow33AtBothEnds) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\t\r\n x\x01\x1F"), "x");
  EXPECT_EQ(Trim(std::string("\0a\0", 3)), "a");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim(""), "");
  // 33 and up stay, including bytes above 127 (no signed-char slip).
  EXPECT_EQ(Trim("!x!"), "!x!");
  EXPECT_EQ(Trim("\xA0x\xE4 "), "\xA0x\xE4");
  EXPECT_EQ(Trim(" \xFF"), "\xFF");
  // Inner control characters are kept.
  EXPECT_EQ(Trim(" a\tb "), "a\tb");

  std::string s = "\t  abc \r\n";
  tilmor::TrimInPlace(s);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(tilmor::TrimView("  q  "), "q");
}

TEST(CharsUpperCase, MapsOnlyTheDocumentedRanges) {
  EXPECT_EQ(UpperCase("abcxyz"), "ABCXYZ");
  EXPECT_EQ(UpperCase("ABC 019 @[`{~"), "ABC 019 @[`{~");
  EXPECT_EQ(UpperCase("\xE0\xE4\xF6"), "\xC0\xC4\xD6");  // 224, 228, 246
  EXPECT_EQ(UpperCase("\xF8\xFC\xFE"), "\xD8\xDC\xDE");  // 248, 252, 254
  // sharp s, division sign and y with diaeresis have no upper form here.
  EXPECT_EQ(UpperCase("\xDF\xF7\xFF"), "\xDF\xF7\xFF");
  // Other bytes above 127 stay as well.
  EXPECT_EQ(UpperCase("\x9A\xB5\xC4\xDF"), "\x9A\xB5\xC4\xDF");
  EXPECT_EQ(UpperCase("gr\xFC\xDF" "e"), "GR\xDC\xDF" "E");
  EXPECT_EQ(UpperCase(""), "");
}

TEST(CharsFindTop, SkipsStringsAndNestedParentheses) {
  EXPECT_EQ(FindTop(',', "a,b"), 2);
  EXPECT_EQ(FindTop(',', "f(a,b),c"), 7);
  EXPECT_EQ(FindTop(',', "\"a,b\",c"), 6);
  EXPECT_EQ(FindTop(',', "(\"a,b\",c),d"), 10);
  EXPECT_EQ(FindTop(',', "abc"), 0);
  EXPECT_EQ(FindTop(',', ""), 0);
  EXPECT_EQ(FindTop(',', "(a,b"), 0);
  // The character is compared before the depth changes.
  EXPECT_EQ(FindTop('(', "ab(c(d"), 3);
  EXPECT_EQ(FindTop(')', "(a)"), 0);
  EXPECT_EQ(FindTop(')', "(a))"), 4);
  EXPECT_EQ(FindTop('"', "a\"b\""), 2);
  EXPECT_EQ(FindTop('"', "(\"x\")"), 0);
  // Unbalanced parentheses shift the depth; it is not clamped at 0.
  EXPECT_EQ(FindTop(',', "a)(,b"), 4);
  // An unterminated string runs to the end.
  EXPECT_EQ(FindTop(',', "\"a,b"), 0);
  EXPECT_EQ(FindTop('\'', "PRINT \"it's\" 'x"), 14);
}

TEST(CharsFindTopRight, CountsFromTheEnd) {
  EXPECT_EQ(FindTopRight(',', "a,b,c"), 2);
  EXPECT_EQ(FindTopRight('x', "x"), 1);
  EXPECT_EQ(FindTopRight('a', "abc"), 3);
  EXPECT_EQ(FindTopRight(',', "f(a,b)"), 0);
  EXPECT_EQ(FindTopRight(',', "a,f(b,c)"), 7);
  EXPECT_EQ(FindTopRight(',', "a,\"b,c\""), 6);
  EXPECT_EQ(FindTopRight(',', "a,(\"b,c\",d)"), 10);
  EXPECT_EQ(FindTopRight(',', ""), 0);
  EXPECT_EQ(FindTopRight(',', "abc"), 0);
  // From the right, ")" raises and "(" lowers, compared before the change.
  EXPECT_EQ(FindTopRight('(', "((a)"), 4);
  EXPECT_EQ(FindTopRight(')', "a)"), 1);
  EXPECT_EQ(FindTopRight('"', "a\"b\""), 1);
  // An unterminated string (seen from the right) runs to the start.
  EXPECT_EQ(FindTopRight(',', "a,\"b"), 0);
}

}  // namespace
