#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "errors.h"
#include "functions.h"
#include "interp.h"
#include "oem.h"

namespace tilmor {
void RegisterCharsetFunctions();
}

namespace {

using win::AnsiToOem;
using win::OemToAnsi;

std::string Byte(int c) { return std::string(1, static_cast<char>(c)); }

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

TEST(OemTest, AsciiPassesBothWays) {
  std::string ascii;
  for (int c = 0; c < 128; ++c) ascii += static_cast<char>(c);
  EXPECT_EQ(AnsiToOem(ascii), ascii);
  EXPECT_EQ(OemToAnsi(ascii), ascii);
  EXPECT_EQ(AnsiToOem(""), "");
  EXPECT_EQ(OemToAnsi(""), "");
}

// Windows-1252 and code page 437 bytes of the characters both sets have.
struct Pair {
  int ansi, oem;
};
constexpr Pair kShared[] = {
    {0xE4, 0x84}, {0xC4, 0x8E}, {0xF6, 0x94}, {0xD6, 0x99}, {0xFC, 0x81}, {0xDC, 0x9A},
    {0xDF, 0xE1}, {0xE9, 0x82}, {0xC9, 0x90}, {0xC7, 0x80}, {0xE7, 0x87}, {0xE5, 0x86},
    {0xC5, 0x8F}, {0xE6, 0x91}, {0xC6, 0x92}, {0xF1, 0xA4}, {0xD1, 0xA5}, {0xFF, 0x98},
    {0xE0, 0x85}, {0xE1, 0xA0}, {0xED, 0xA1}, {0xF3, 0xA2}, {0xFA, 0xA3}, {0xEF, 0x8B},
    {0xA2, 0x9B}, {0xA3, 0x9C}, {0xA5, 0x9D}, {0x83, 0x9F}, {0xBD, 0xAB}, {0xBC, 0xAC},
    {0xAB, 0xAE}, {0xBB, 0xAF}, {0xB0, 0xF8}, {0xB1, 0xF1}, {0xB2, 0xFD}, {0xB5, 0xE6},
    {0xB7, 0xFA}, {0xAC, 0xAA}, {0xAA, 0xA6}, {0xBA, 0xA7}, {0xBF, 0xA8}, {0xA1, 0xAD},
    {0xF7, 0xF6}, {0xA0, 0xFF}};

TEST(OemTest, SharedCharactersMapExactlyBothWays) {
  for (const Pair& p : kShared) {
    SCOPED_TRACE(p.ansi);
    EXPECT_EQ(AnsiToOem(Byte(p.ansi)), Byte(p.oem));
    EXPECT_EQ(OemToAnsi(Byte(p.oem)), Byte(p.ansi));
  }
  EXPECT_EQ(AnsiToOem("Gr\xFC\xDF" "e \xC4rger"), "Gr\x81\xE1" "e \x8Erger");
  EXPECT_EQ(OemToAnsi("Gr\x81\xE1" "e \x8Erger"), "Gr\xFC\xDF" "e \xC4rger");
}

// Every exact mapping must come back unchanged, and no two characters may
// share an upper-half code.
TEST(OemTest, EveryExactMappingRoundTrips) {
  int exact = 0;
  for (int c = 128; c < 256; ++c) {
    std::string oem = AnsiToOem(Byte(c));
    if (static_cast<unsigned char>(oem[0]) < 128) continue;
    ++exact;
    EXPECT_EQ(OemToAnsi(oem), Byte(c)) << Hex(Byte(c));
  }
  // 437 holds 54 characters of the Windows set's upper half.
  EXPECT_EQ(exact, 54);
  exact = 0;
  for (int c = 128; c < 256; ++c) {
    std::string ansi = OemToAnsi(Byte(c));
    // The bullet operator's best fit is the middle dot, which 437 has too.
    if (static_cast<unsigned char>(ansi[0]) < 128 || c == 0xF9) continue;
    ++exact;
    EXPECT_EQ(AnsiToOem(ansi), Byte(c)) << Hex(Byte(c));
  }
  EXPECT_EQ(exact, 54);
}

TEST(OemTest, GlyphsOfControlCodesAreOneWay) {
  EXPECT_EQ(AnsiToOem("\xB6"), "\x14");  // pilcrow
  EXPECT_EQ(AnsiToOem("\xA7"), "\x15");  // section sign
  EXPECT_EQ(AnsiToOem("\x95"), "\x07");  // bullet
  EXPECT_EQ(OemToAnsi("\x14\x15\x07"), "\x14\x15\x07");
}

TEST(OemTest, AnsiLettersMissingFromOemLoseTheirAccents) {
  EXPECT_EQ(AnsiToOem("\xC0\xC1\xC2\xC3"), "AAAA");
  EXPECT_EQ(AnsiToOem("\xC8\xCA\xCB\xCC\xCD\xCE\xCF"), "EEEIIII");
  EXPECT_EQ(AnsiToOem("\xD2\xD3\xD4\xD5\xD8"), "OOOOO");
  EXPECT_EQ(AnsiToOem("\xD9\xDA\xDB\xDD"), "UUUY");
  EXPECT_EQ(AnsiToOem("\xE3\xF5\xF8\xFD\xF0\xD0"), "aooydD");
  EXPECT_EQ(AnsiToOem("\x8A\x9A\x8E\x9E\x9F"), "SsZzY");
}

TEST(OemTest, AnsiSignsMissingFromOem) {
  EXPECT_EQ(AnsiToOem("\x93Zitat\x94 \x84unten\x93"), "\"Zitat\" \"unten\"");
  EXPECT_EQ(AnsiToOem("\x91" "a\x92"), "'a'");
  EXPECT_EQ(AnsiToOem("\x96\x97\xAD"), "---");
  EXPECT_EQ(AnsiToOem("\xD7\xA9\xAE\xB9\xB3"), "xcr13");
  EXPECT_EQ(AnsiToOem("\x8B\x9B\x89"), "<>%");
  // Nothing alike in 437; 0x81 is not a character at all.
  EXPECT_EQ(AnsiToOem("\x80\x99\x86\xBE\xDE\xFE\x81\x8D"), "????????");
}

TEST(OemTest, BoxDrawingBecomesPlusMinusBar) {
  EXPECT_EQ(OemToAnsi("\xC4\xCD"), "--");
  EXPECT_EQ(OemToAnsi("\xB3\xBA"), "||");
  // Corners, single and double.
  EXPECT_EQ(OemToAnsi("\xDA\xBF\xC0\xD9\xC9\xBB\xC8\xBC\xD5\xB8\xD6\xB7"), "++++++++++++");
  // T-pieces and crossings.
  EXPECT_EQ(OemToAnsi("\xC3\xB4\xC2\xC1\xC5\xCC\xB9\xCB\xCA\xCE\xD8\xD7"), "++++++++++++");
  EXPECT_EQ(OemToAnsi("\xDA\xC4\xBF\r\n\xB3 \xB3\r\n\xC0\xC4\xD9"), "+-+\r\n| |\r\n+-+");
}

TEST(OemTest, ShadesAndBlocks) {
  EXPECT_EQ(OemToAnsi("\xB0\xB1\xB2\xDB\xDC\xDF"), "______");
  EXPECT_EQ(OemToAnsi("\xDD\xDE"), "||");
}

TEST(OemTest, GreekAndMathematicalSigns) {
  EXPECT_EQ(OemToAnsi("\xE0\xE2\xE3\xE4\xE5\xE7\xE8\xE9\xEA\xEB\xED\xEE"), "aGpSstFTOdfe");
  EXPECT_EQ(OemToAnsi("\xEC\xEF\xF0\xF2\xF3\xF4\xF5\xF7\xFB\xFC"), "8n===()~vn");
  EXPECT_EQ(OemToAnsi("\xF9"), "\xB7");
  EXPECT_EQ(OemToAnsi("\x9E\xA9\xFE"), "???");
}

TEST(OemTest, KeepsLengthAndZeroBytes) {
  std::string s("\xE4\0\xC0\0", 4);
  EXPECT_EQ(AnsiToOem(s), std::string("\x84\0A\0", 4));
  EXPECT_EQ(OemToAnsi(std::string("\x84\0\xC4", 3)), std::string("\xE4\0-", 3));
}

class CharsetFunctionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tilmor::RegisterCharsetFunctions();
    in.errorLevel = -1;
  }
  std::string Call(const char* name, const std::string& param) {
    in.param = param;
    tilmor::EvaluateFunction(in, name);
    return in.res.text;
  }
  tilmor::Interp in;
};

TEST_F(CharsetFunctionTest, ConvertTheirTextArgument) {
  EXPECT_EQ(Call("ANSITOOEM$", "\"\xC4pfel \xB1 \xC0\") + 1"), "\x8Epfel \xF1 A");
  EXPECT_EQ(in.res.type, tilmor::kString);
  EXPECT_EQ(in.param, "+ 1");
  EXPECT_EQ(Call("OEMTOANSI$", "\"\x8Epfel \xC5\")"), "\xC4pfel +");
  EXPECT_EQ(in.res.type, tilmor::kString);
  EXPECT_EQ(in.lastError, 0);
}

TEST_F(CharsetFunctionTest, NestedCallsConvertBack) {
  EXPECT_EQ(Call("OEMTOANSI$", "@ANSITOOEM$(\"M\xE4rz \xDF\"))"), "M\xE4rz \xDF");
}

TEST_F(CharsetFunctionTest, NumberArgumentIsATypeError) {
  Call("ANSITOOEM$", "12)");
  EXPECT_EQ(in.lastError, 216);
}

}  // namespace
