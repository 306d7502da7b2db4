// The code tables, the header, the key and the records.
#include <gtest/gtest.h>

#include <set>

#include "helpers.h"
#include "tmc_format.h"

namespace {

using namespace tilmor::tmc;

TEST(CodeTables, CommandCodesAndTheirSharedEntries) {
  EXPECT_EQ(CommandCode("PRINT"), 162);
  EXPECT_EQ(CommandCode("USEEXTMENU"), 73);
  EXPECT_EQ(CommandCode("ADDWINDOWS"), 253);
  EXPECT_EQ(CommandCode("ELSEIF"), 243);
  EXPECT_EQ(CommandCode("LISTBOXITEM$"), 244);
  EXPECT_EQ(CommandCode("DRAWPROGICON"), 120);
  EXPECT_EQ(CommandCode("DRAWLIBICON"), 120);
  EXPECT_EQ(CommandCode("WEND"), 138);
  EXPECT_EQ(CommandCode("ENDWHILE"), 138);
  EXPECT_STREQ(CommandName(120), "DRAWPROGICON");
  EXPECT_STREQ(CommandName(138), "WEND");
  // Compared as whole upper-case words.
  EXPECT_EQ(CommandCode("print"), -1);
  EXPECT_EQ(CommandCode("PRINTX"), -1);
  // Words the interpreter has but the file format does not.
  EXPECT_EQ(CommandCode("WINDOWTITLE"), -1);
  EXPECT_EQ(CommandCode("WINDOWSTYLE"), -1);
}

TEST(CodeTables, SpecialAndFreeCommandBytesHaveNoName) {
  for (int code : {0, 38, 39, 40, 64, 72, 129, 130, 131, 132, 186, 245, 254, 255})
    EXPECT_EQ(CommandName(code), nullptr) << code;
  EXPECT_EQ(CommandName(-1), nullptr);
  EXPECT_EQ(CommandName(256), nullptr);
}

TEST(CodeTables, FunctionCodes) {
  EXPECT_EQ(FunctionCode("!"), 33);
  EXPECT_EQ(FunctionCode("$"), 36);
  EXPECT_EQ(FunctionCode("%"), 37);
  EXPECT_EQ(FunctionCode("&"), 38);
  EXPECT_EQ(FunctionCode("ADD"), 129);
  EXPECT_EQ(FunctionCode("DIV&"), 133);
  EXPECT_EQ(FunctionCode("LIST%"), 183);
  EXPECT_EQ(FunctionCode("LIST"), 183);
  EXPECT_STREQ(FunctionName(183), "LIST%");
  EXPECT_EQ(FunctionCode("GETUSAGE"), 254);
  for (int code : {0, 32, 34, 35, 39, 60, 187, 217, 218, 255}) EXPECT_EQ(FunctionName(code), nullptr) << code;
}

TEST(CodeTables, SystemVariableCodesKeepTheirTypeCharacter) {
  EXPECT_EQ(SystemVariableCode("%HDC"), 144);
  EXPECT_EQ(SystemVariableCode("%HDC2"), 145);
  EXPECT_EQ(SystemVariableCode("%INPUT"), 130);
  EXPECT_EQ(SystemVariableCode("&INPUT"), 131);
  EXPECT_EQ(SystemVariableCode("!INPUT"), 132);
  EXPECT_EQ(SystemVariableCode("$INPUT"), 133);
  EXPECT_EQ(SystemVariableCode("HDC"), -1);
  EXPECT_EQ(SystemVariableCode("$FF"), -1);
  EXPECT_STREQ(SystemVariableName(200), "%WMPAINT");
  for (int code : {128, 179, 180, 182, 183, 201}) EXPECT_EQ(SystemVariableName(code), nullptr) << code;
}

// Every code stands for exactly one name read back, and every name of a
// table leads to its code: no entry is lost or shadowed.
TEST(CodeTables, NamesAndCodesMapBothWays) {
  struct T {
    int (*code)(std::string_view);
    const char* (*name)(int);
    size_t codes;
  };
  for (T t : {T{CommandCode, CommandName, 175}, T{FunctionCode, FunctionName, 195},
              T{SystemVariableCode, SystemVariableName, 68}}) {
    size_t count = 0;
    for (int c = 0; c < 256; ++c) {
      const char* n = t.name(c);
      if (!n) continue;
      ++count;
      EXPECT_EQ(t.code(n), c) << n;
    }
    EXPECT_EQ(count, t.codes);
  }
}

TEST(Header, UnprotectedHeaderByteByByte) {
  std::string expected = tmctest::ParseHex("20 'ZEL-TILMOR3 DATEI' 1A 20 20 20 20 20 20 20 20 20 20 20 20 00");
  ASSERT_EQ(expected.size(), kHeaderSize);
  EXPECT_EQ(MakeHeader(nullptr), expected);
  EXPECT_EQ(KeyOf(expected), 0);
}

TEST(Header, ProtectedHeaderCarriesTheRandomBytesAtPositions20To30) {
  const uint8_t random[kRandomCount] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  std::string h = MakeHeader(random);
  ASSERT_EQ(h.size(), kHeaderSize);
  EXPECT_EQ(h.substr(0, 19), MakeHeader(nullptr).substr(0, 19));
  for (size_t i = 0; i < kRandomCount; ++i) EXPECT_EQ(static_cast<uint8_t>(h[19 + i]), random[i]);
  EXPECT_EQ(h[30], ' ');
  EXPECT_EQ(h[31], '\0');
  EXPECT_EQ(KeyOf(h), 2 | 3);  // positions 21 and 22
}

TEST(Header, KeyRule) {
  auto key = [](uint8_t a, uint8_t b) {
    std::string h = MakeHeader(nullptr);
    h[20] = static_cast<char>(a);
    h[21] = static_cast<char>(b);
    return KeyOf(h);
  };
  EXPECT_EQ(key(' ', ' '), 0);
  EXPECT_EQ(key(' ', 0x41), 0x20 | 0x41);
  EXPECT_EQ(key(0x80, ' '), 0xA0);
  EXPECT_EQ(key(0x0F, 0xF0), 0xFF);
  EXPECT_EQ(key(0, 0), 0);
  // Only positions 21 and 22 count.
  std::string h = MakeHeader(nullptr);
  h[19] = 'x';
  h[22] = 'y';
  EXPECT_EQ(KeyOf(h), 0);
}

TEST(Header, ProtectionBytesNeverGiveTheKeyZero) {
  std::set<std::string> seen;
  for (int i = 0; i < 20000; ++i) {
    uint8_t b[kRandomCount];
    DrawProtectionBytes(b);
    ASSERT_NE(KeyOf(MakeHeader(b)), 0);
    seen.insert(std::string(reinterpret_cast<char*>(b), kRandomCount));
  }
  EXPECT_GT(seen.size(), 19990u);  // random, not a fixed pattern
}

TEST(Records, LengthByteIsPlainAndContentScrambled) {
  EXPECT_EQ(MakeRecord("\x27", 0), std::string("\x01\x27", 2));
  std::string r = MakeRecord(std::string("\xA2" "1", 2), 0x5A);
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(static_cast<uint8_t>(r[0]), 2);
  EXPECT_EQ(static_cast<uint8_t>(r[1]), 0xA2 ^ 0x5A);
  EXPECT_EQ(static_cast<uint8_t>(r[2]), '1' ^ 0x5A);
}

}  // namespace
