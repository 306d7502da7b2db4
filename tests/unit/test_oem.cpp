#include <gtest/gtest.h>

#include <string>

#include "commands.h"
#include "functions.h"
#include "interp.h"
#include "oem.h"

namespace {

using win::AnsiToOem;
using win::OemToAnsi;

std::string Byte(int c) { return std::string(1, static_cast<char>(c)); }

TEST(OemTest, AsciiAndZeroBytesPassBothWays) {
  std::string ascii;
  for (int c = 0; c < 128; ++c) ascii += static_cast<char>(c);
  EXPECT_EQ(AnsiToOem(ascii), ascii);
  EXPECT_EQ(OemToAnsi(ascii), ascii);
  EXPECT_EQ(AnsiToOem(std::string("\xE4\0\xC0", 3)), std::string("\x84\0A", 3));
}

TEST(OemTest, SharedCharactersMapExactly) {
  // Windows-1252 byte, code page 437 byte.
  const int kPairs[][2] = {{0xE4, 0x84}, {0xC4, 0x8E}, {0xF6, 0x94}, {0xFC, 0x81}, {0xDF, 0xE1},
                           {0xE9, 0x82}, {0xA3, 0x9C}, {0xA5, 0x9D}, {0xBD, 0xAB}, {0xBC, 0xAC},
                           {0xAB, 0xAE}, {0xBB, 0xAF}, {0xB0, 0xF8}, {0xB1, 0xF1}, {0xB2, 0xFD},
                           {0xB5, 0xE6}, {0xB7, 0xFA}, {0xAC, 0xAA}, {0xAA, 0xA6}, {0xBA, 0xA7},
                           {0xBF, 0xA8}, {0xA1, 0xAD}, {0x83, 0x9F}, {0xF7, 0xF6}, {0xA0, 0xFF}};
  for (const auto& p : kPairs) {
    EXPECT_EQ(AnsiToOem(Byte(p[0])), Byte(p[1])) << p[0];
    EXPECT_EQ(OemToAnsi(Byte(p[1])), Byte(p[0])) << p[1];
  }
  EXPECT_EQ(AnsiToOem("Gr\xFC\xDF" "e \xC4rger"), "Gr\x81\xE1" "e \x8Erger");
}

// Each exact mapping comes back, so no two characters share a code; 437
// holds 54 characters of the Windows set's upper half.
TEST(OemTest, ExactMappingsRoundTrip) {
  int fromAnsi = 0, fromOem = 0;
  for (int c = 128; c < 256; ++c) {
    std::string oem = AnsiToOem(Byte(c));
    if (static_cast<unsigned char>(oem[0]) >= 128) {
      ++fromAnsi;
      EXPECT_EQ(OemToAnsi(oem), Byte(c)) << c;
    }
    std::string ansi = OemToAnsi(Byte(c));
    // The bullet operator's best fit is the middle dot, which 437 has too.
    if (static_cast<unsigned char>(ansi[0]) >= 128 && c != 0xF9) {
      ++fromOem;
      EXPECT_EQ(AnsiToOem(ansi), Byte(c)) << c;
    }
  }
  EXPECT_EQ(fromAnsi, 54);
  EXPECT_EQ(fromOem, 54);
}

TEST(OemTest, AnsiBestFits) {
  EXPECT_EQ(AnsiToOem("\xC0\xC1\xC2\xC3\xC8\xCA\xCB\xCC\xCF\xD2\xD5\xD8\xD9\xDB\xDD"), "AAAAEEEIIOOOUUY");
  EXPECT_EQ(AnsiToOem("\xE3\xF5\xF8\xFD\xF0\xD0\x8A\x9A\x8E\x9E\x9F"), "aooydDSsZzY");
  EXPECT_EQ(AnsiToOem("\x93Zitat\x94 \x84unten\x93 \x91" "a\x92"), "\"Zitat\" \"unten\" 'a'");
  EXPECT_EQ(AnsiToOem("\x96\x97\xAD\xD7\xA9\xAE\xB9\xB3\x8B\x9B\x89"), "---xcr13<>%");
  // Pilcrow, section sign and bullet are glyphs of 437's control codes.
  EXPECT_EQ(AnsiToOem("\xB6\xA7\x95"), "\x14\x15\x07");
  // Nothing alike in 437; 0x81 and 0x8D are not characters at all.
  EXPECT_EQ(AnsiToOem("\x80\x99\x86\xBE\xDE\xFE\x81\x8D"), "????????");
}

TEST(OemTest, OemBestFits) {
  EXPECT_EQ(OemToAnsi("\xDA\xC4\xBF\r\n\xB3 \xBA\r\n\xC0\xCD\xD9"), "+-+\r\n| |\r\n+-+");
  // Double and mixed corners, T-pieces, crossings.
  EXPECT_EQ(OemToAnsi("\xC9\xBB\xC8\xBC\xD5\xB8\xD6\xB7\xC3\xB4\xC2\xC1\xC5\xCC\xB9\xCB\xCA\xCE\xD8\xD7"),
            std::string(20, '+'));
  EXPECT_EQ(OemToAnsi("\xB0\xB1\xB2\xDB\xDC\xDF\xDD\xDE"), "______||");
  EXPECT_EQ(OemToAnsi("\xE0\xE2\xE3\xE4\xE5\xE7\xE8\xE9\xEA\xEB\xED\xEE"), "aGpSstFTOdfe");
  EXPECT_EQ(OemToAnsi("\xEC\xEF\xF0\xF2\xF3\xF4\xF5\xF7\xFB\xFC\xF9"), "8n===()~vn\xB7");
  EXPECT_EQ(OemToAnsi("\x9E\xA9\xFE"), "???");
  // The control-code glyphs stay control codes.
  EXPECT_EQ(OemToAnsi("\x14\x15\x07"), "\x14\x15\x07");
}

TEST(OemTest, FunctionsConvertTheirTextArgument) {
  tilmor::RegisterCharsetFunctions();
  tilmor::Interp in;
  in.errorLevel = -1;
  in.param = "\"\xC4pfel \xB1 \xC0\") + 1";
  tilmor::EvaluateFunction(in, "ANSITOOEM$");
  EXPECT_EQ(in.res.text, "\x8Epfel \xF1 A");
  EXPECT_EQ(in.res.type, tilmor::kString);
  EXPECT_EQ(in.param, "+ 1");
  in.param = "@ANSITOOEM$(\"M\xE4rz \xDF\"))";
  tilmor::EvaluateFunction(in, "OEMTOANSI$");
  EXPECT_EQ(in.res.text, "M\xE4rz \xDF");
  EXPECT_EQ(in.lastError, 0);
  in.param = "12)";
  tilmor::EvaluateFunction(in, "OEMTOANSI$");
  EXPECT_EQ(in.lastError, 216);
}

}  // namespace
