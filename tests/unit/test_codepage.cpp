#include <gtest/gtest.h>

#include <string>

#include "codepage.h"

namespace {

using namespace win;

TEST(CodepageTest, Cp1252ToUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("Hallo 123 ~"), "Hallo 123 ~");
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  // The 0x80-0x9F block is not Latin-1.
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x85"), "\xE2\x80\xA6");  // ellipsis
  EXPECT_EQ(Cp1252ToUtf8("\x8A"), "\xC5\xA0");      // S caron
  EXPECT_EQ(Cp1252ToUtf8("\x93\x94"), "\xE2\x80\x9C\xE2\x80\x9D");
  EXPECT_EQ(Cp1252ToUtf8("\x99"), "\xE2\x84\xA2");  // trade mark
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");      // Y diaeresis
  // The rest of the upper half is Latin-1.
  EXPECT_EQ(Cp1252ToUtf8("\xA0"), "\xC2\xA0");
  EXPECT_EQ(Cp1252ToUtf8("\xB2"), "\xC2\xB2");
  EXPECT_EQ(Cp1252ToUtf8("Gr\xFC\xDF" "e"), "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(Cp1252ToUtf8("\xC4\xD6\xDC\xE4\xF6\xFC"), "\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC");
  EXPECT_EQ(Cp1252ToUtf8("\xFF"), "\xC3\xBF");

  EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToUnicode(0x9C), U'\u0153');
  EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');
  EXPECT_EQ(Cp1252ToUnicode('A'), U'A');
}

TEST(CodepageTest, Utf8ToCp1252) {
  EXPECT_EQ(Utf8ToCp1252("plain"), "plain");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC 5"), "\x80 5");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x94"), "\x97");  // em dash
  EXPECT_EQ(Utf8ToCp1252("\xC5\xBD\xC5\xBE"), "\x8E\x9E");
  EXPECT_EQ(Utf8ToCp1252("\xC3\xA4\xC3\x9F\xC2\xB5"), "\xE4\xDF\xB5");
  // No Windows-1252 byte: a question mark per character.
  EXPECT_EQ(Utf8ToCp1252("\xCE\xA9"), "?");                          // Greek Omega
  EXPECT_EQ(Utf8ToCp1252("a\xE6\x97\xA5\xE6\x9C\xAC" "b"), "a??b");  // two CJK characters
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");                  // emoji
  EXPECT_EQ(Utf8ToCp1252("\xC4\x80"), "?");                          // A macron
  // Bytes that are no UTF-8 are taken as Windows-1252 already.
  EXPECT_EQ(Utf8ToCp1252("Gr\xFC\xDF" "e"), "Gr\xFC\xDF" "e");
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "\xC3");

  EXPECT_EQ(UnicodeToCp1252(U'\u20AC'), 0x80);
  EXPECT_EQ(UnicodeToCp1252(U'\u2122'), 0x99);
  EXPECT_EQ(UnicodeToCp1252(U'\u00FC'), 0xFC);
  EXPECT_EQ(UnicodeToCp1252(U'z'), 'z');
  EXPECT_EQ(UnicodeToCp1252(U'\u0100'), -1);
  EXPECT_EQ(UnicodeToCp1252(U'\uFFFD'), -1);
}

TEST(CodepageTest, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    std::string utf8 = Cp1252ToUtf8(one);
    EXPECT_TRUE(IsWellFormedUtf8(utf8)) << b;
    EXPECT_EQ(Utf8ToCp1252(utf8), one) << b;
    EXPECT_EQ(utf8.size() > 1, b >= 0x80) << b;
  }
}

TEST(CodepageTest, Utf8Detection) {
  EXPECT_TRUE(HasUtf8Bom("\xEF\xBB\xBFPRINT 1"));
  EXPECT_TRUE(HasUtf8Bom("\xEF\xBB\xBF"));
  EXPECT_FALSE(HasUtf8Bom("\xEF\xBB"));
  EXPECT_FALSE(HasUtf8Bom("PRINT \xEF\xBB\xBF"));
  EXPECT_FALSE(HasUtf8Bom(""));

  EXPECT_TRUE(IsUtf8WithMultibyte("Gr\xC3\xBC\xC3\x9F" "e"));
  EXPECT_TRUE(IsUtf8WithMultibyte("\xE2\x82\xAC"));
  EXPECT_TRUE(IsUtf8WithMultibyte("\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsUtf8WithMultibyte("only ASCII"));  // well-formed but no multi-byte
  EXPECT_FALSE(IsUtf8WithMultibyte(""));
  EXPECT_FALSE(IsUtf8WithMultibyte("Gr\xFC\xDF" "e"));           // Windows-1252 text
  EXPECT_FALSE(IsUtf8WithMultibyte("\xC3\xA4 and \xE4"));        // mixed
  EXPECT_FALSE(IsUtf8WithMultibyte("\xE2\x82"));                 // cut short
  EXPECT_FALSE(IsUtf8WithMultibyte("\xC0\xAF"));                 // overlong
  EXPECT_FALSE(IsUtf8WithMultibyte("\xED\xA0\x80"));             // surrogate
  EXPECT_FALSE(IsUtf8WithMultibyte("\xF4\x90\x80\x80"));         // beyond U+10FFFF
  EXPECT_FALSE(IsUtf8WithMultibyte("\x80\x80"));                 // lone continuations

  EXPECT_TRUE(IsWellFormedUtf8(""));
  EXPECT_TRUE(IsWellFormedUtf8("ASCII"));
  EXPECT_TRUE(IsWellFormedUtf8("\xC3\xA4"));
  EXPECT_FALSE(IsWellFormedUtf8("\xE4"));
  EXPECT_FALSE(IsWellFormedUtf8("a\xC3"));
  EXPECT_FALSE(IsWellFormedUtf8("\xFF\xFE"));
}

}  // namespace
