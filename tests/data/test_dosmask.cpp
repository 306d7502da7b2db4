// DOS wildcards as FindFirstFile applies them.
#include <gtest/gtest.h>

#include "files.h"

namespace {

using win::MatchesDosMask;

TEST(DosMask, StarDotStarMatchesEveryName) {
  for (const char* n : {"A.TXT", "README", ".profile", "a.b.c", "x."}) {
    EXPECT_TRUE(MatchesDosMask(n, "*.*")) << n;
    EXPECT_TRUE(MatchesDosMask(n, "*")) << n;
  }
}

TEST(DosMask, ExtensionMasks) {
  EXPECT_TRUE(MatchesDosMask("data.txt", "*.TXT"));
  EXPECT_TRUE(MatchesDosMask("A.B.TXT", "*.txt"));
  EXPECT_FALSE(MatchesDosMask("ATXT", "*.TXT"));
  EXPECT_FALSE(MatchesDosMask("A.TXTX", "*.TXT"));
  EXPECT_FALSE(MatchesDosMask("A.TX", "*.TXT"));
  // "NAME.*" also finds the name without any extension.
  EXPECT_TRUE(MatchesDosMask("NAME", "NAME.*"));
  EXPECT_TRUE(MatchesDosMask("name.dat", "NAME.*"));
  EXPECT_FALSE(MatchesDosMask("NAMES", "NAME.*"));
}

TEST(DosMask, TrailingPointMeansNoExtension) {
  EXPECT_TRUE(MatchesDosMask("README", "*."));
  EXPECT_FALSE(MatchesDosMask("README.TXT", "*."));
  EXPECT_FALSE(MatchesDosMask("a.b.c", "*."));
}

TEST(DosMask, QuestionMarks) {
  EXPECT_TRUE(MatchesDosMask("FILE1.TXT", "FILE?.TXT"));
  EXPECT_FALSE(MatchesDosMask("FILE12.TXT", "FILE?.TXT"));
  // Before a point or at the end "?" may match nothing.
  EXPECT_TRUE(MatchesDosMask("FILE.TXT", "FILE?.TXT"));
  EXPECT_TRUE(MatchesDosMask("A.TX", "*.TX?"));
  EXPECT_TRUE(MatchesDosMask("AB", "??????"));
  EXPECT_FALSE(MatchesDosMask("ABCDEFG", "??????"));
  // A question mark never swallows the point.
  EXPECT_FALSE(MatchesDosMask("A.B", "A?B"));
}

TEST(DosMask, CaseInsensitiveIncludingWindows1252Letters) {
  EXPECT_TRUE(MatchesDosMask("\xE4rger.txt", "\xC4RGER.TXT"));  // ärger / ÄRGER
  EXPECT_TRUE(MatchesDosMask("Bericht.Doc", "b*.DOC"));
  EXPECT_FALSE(MatchesDosMask("\xF7", "\xD7"));  // ÷ is no small ×
}

TEST(DosMask, PlainNamesAndStarsInside) {
  EXPECT_TRUE(MatchesDosMask("exact.name", "EXACT.NAME"));
  EXPECT_FALSE(MatchesDosMask("exact.name", "EXACT.NAM"));
  EXPECT_TRUE(MatchesDosMask("abcdef", "a*f"));
  EXPECT_TRUE(MatchesDosMask("a.b.c.d", "a*d"));
  EXPECT_FALSE(MatchesDosMask("abc", ""));
  // Long names with many stars stay quick.
  std::string name(200, 'a');
  EXPECT_FALSE(MatchesDosMask(name, "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
