// Reading compiled files: signature, damage, key, and the decoded lines.
#include <gtest/gtest.h>

#include "helpers.h"
#include "loader.h"
#include "tmc_format.h"
#include "tmc_reader.h"

namespace {

using namespace tilmor::tmc;
using tmctest::ParseHex;

std::string File(const std::vector<std::string>& contents, const uint8_t* random = nullptr) {
  std::string f = MakeHeader(random);
  uint8_t key = KeyOf(f);
  for (const std::string& c : contents) f += MakeRecord(c, key);
  return f;
}

// The decoded lines of a source program compiled in memory.
std::vector<std::string> RoundTrip(const std::vector<std::string>& source) {
  tmctest::Encoded e = tmctest::EncodeAll(source);
  EXPECT_EQ(e.errorLine, 0) << e.error;
  ReadResult r = ReadProgram(File(e.contents));
  EXPECT_TRUE(r.ok) << r.error;
  return std::vector<std::string>(r.lines.slots.begin() + 1, r.lines.slots.end());
}

int ErrorOf(const std::string& bytes) {
  ReadResult r = ReadProgram(bytes);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.lines.count(), 0);
  return r.error;
}

int ErrorOfRecords(const std::vector<std::string>& contents) { return ErrorOf(File(contents)); }

TEST(ReaderSignature, AnythingElseIsNoCompiledProgram) {
  EXPECT_EQ(ErrorOf(""), 905);
  EXPECT_EQ(ErrorOf(" ZEL-TILMOR3 DATE"), 905);
  EXPECT_EQ(ErrorOf("PRINT \"Hallo\"\r\n"), 905);
  std::string h = MakeHeader(nullptr);
  h[5] = 't';
  EXPECT_EQ(ErrorOf(h), 905);
  h = MakeHeader(nullptr);
  h[17] = 'X';
  EXPECT_EQ(ErrorOf(h), 905);
}

TEST(ReaderSignature, OnlyPositions2To18AreTheSignature) {
  std::string h = MakeHeader(nullptr);
  h[0] = 'x';
  h[18] = 'y';
  h[31] = 'z';
  ReadResult r = ReadProgram(h + MakeRecord("\x27", 0));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.lines.count(), 1);
}

TEST(ReaderSignature, EmptyProgram) {
  ReadResult r = ReadProgram(MakeHeader(nullptr));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.lines.count(), 0);
}

TEST(ReaderDamage, TruncatedHeaderOrRecords) {
  std::string f = File({ParseHex("A2 '1'"), ParseHex("A2 '2'")});
  EXPECT_EQ(ErrorOf(f.substr(0, 18)), 906);
  EXPECT_EQ(ErrorOf(f.substr(0, 31)), 906);
  for (size_t cut = 33; cut < f.size(); ++cut) {
    if (cut == 35) continue;
    EXPECT_EQ(ErrorOf(f.substr(0, cut)), 906) << cut;
  }
  EXPECT_TRUE(ReadProgram(f.substr(0, 35)).ok);  // a whole first record
  EXPECT_TRUE(ReadProgram(f).ok);
}

TEST(ReaderDamage, InconsistentRecords) {
  EXPECT_EQ(ErrorOf(MakeHeader(nullptr) + std::string(1, '\0')), 906);  // empty record
  for (uint8_t code : {0, 1, 38, 40, 63, 65, 72, 186, 245}) EXPECT_EQ(ErrorOfRecords({std::string(1, code)}), 906) << int(code);
  EXPECT_EQ(ErrorOfRecords({ParseHex("27 '1'")}), 906);             // 39 with parameters
  EXPECT_EQ(ErrorOfRecords({ParseHex("84 '1'")}), 906);             // ENDIF with parameters
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 '\"abc'")}), 906);         // open string
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 '1,@'")}), 906);           // "@" at the end
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 40 00 '(1)'")}), 906);     // no such function
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 40 81 '1'")}), 906);       // no "(" after it
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 40 81")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 40 FF 01")}), 906);        // cut line number
  EXPECT_EQ(ErrorOfRecords({ParseHex("81 '1'")}), 906);             // CASE without statement
  EXPECT_EQ(ErrorOfRecords({ParseHex("81 '1:'")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("81")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("81 '1:' 81 '2:' 27")}), 906);  // CASE is no statement
  EXPECT_EQ(ErrorOfRecords({ParseHex("FF 01")}), 906);
}

TEST(ReaderDamage, ReferencesMustPointToSuitableLines) {
  // A user function of a later line, of line 0, of a line past the end.
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 40 FF 02 00 '(1)'"), ParseHex("83 40 FF 02 00 '(0)1'")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("83 40 FF 00 00 '(0)1'")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("83 40 FF 09 00 '(0)1'")}), 906);
  // A procedure call of itself, of a later line, of a line that is no PROC.
  EXPECT_EQ(ErrorOfRecords({ParseHex("FF 01 00")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("FF 02 00"), ParseHex("8F 'P'")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("A2 'P'"), ParseHex("FF 01 00")}), 906);
  EXPECT_EQ(ErrorOfRecords({ParseHex("8F"), ParseHex("FF 01 00")}), 906);  // PROC without name
}

TEST(ReaderDamage, MoreRecordsThanTheLineTableHolds) {
  std::string f = MakeHeader(nullptr);
  for (int i = 0; i < tilmor::kMaxLines; ++i) f += MakeRecord("\x27", 0);
  ReadResult r = ReadProgram(f);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.lines.count(), tilmor::kMaxLines);
  EXPECT_EQ(ErrorOf(f + MakeRecord("\x27", 0)), 906);
}

TEST(ReaderKey, ProtectedFileReadsLikeThePlainOne) {
  tmctest::Encoded e = tmctest::EncodeAll({"PRINT \"a b\", %HDC", "DEF @F(0) 1", "PRINT @F()"});
  ASSERT_EQ(e.errorLine, 0);
  uint8_t random[kRandomCount] = {0, 0x81, 0x24, 9, 9, 9, 9, 9, 9, 9, 9};
  std::string scrambled = File(e.contents, random);
  ReadResult plain = ReadProgram(File(e.contents));
  ReadResult prot = ReadProgram(scrambled);
  ASSERT_TRUE(plain.ok);
  ASSERT_TRUE(prot.ok);
  EXPECT_EQ(prot.key, 0x81 | 0x24);
  EXPECT_EQ(prot.lines.slots, plain.lines.slots);
  // The content bytes really are scrambled, the length bytes are not.
  EXPECT_EQ(scrambled[32], File(e.contents)[32]);
  EXPECT_NE(scrambled[33], File(e.contents)[33]);
}

TEST(ReaderDecode, LinesReadBackAsCloseToTheSourceAsTheFileKeeps) {
  std::vector<std::string> lines = RoundTrip({
      "print  A% ,  \"x  y\"",       // 1
      "' a comment",                 // 2
      "PROC Zeig",                   // 3
      "ENDPROC",                     // 4
      "zeig 1, \"a\"",               // 5
      "Anfang:",                     // 6
      "CASE 1 :  PRINT %hdc2",       // 7
      "CASENOT 0",                   // 8
      "DEF @SQ(1) @MUL(@%(1),@%(1))",  // 9
      "PRINT @SQ(2); LEN(\"b\")",    // 10
      "LEN(\"x\")",                  // 11
      "ENDIF  x",                    // 12
      "DEF @SQ(1) 0",                // 13
      "ENDWHILE",                    // 14
      "CASE 1::PRINT",               // 15
      "PRINT $ff; %Pcount",          // 16
  });
  std::vector<std::string> want = {
      "PRINT A%,\"x  y\"",
      "",
      "PROC Zeig",
      "ENDPROC",
      "Zeig 1,\"a\"",
      "ANFANG:",
      "CASE 1: PRINT %HDC2",
      "CASENOT 0",
      "DEF @FN9(1)@MUL(@%(1),@%(1))",
      "PRINT @FN9(2);@LEN(\"b\")",
      "@LEN(\"x\")",
      "ENDIF",
      "DEF @FN9(1)0",
      "WEND",
      "CASE 1: PRINT",
      "PRINT $FF;%PCOUNT",
  };
  EXPECT_EQ(lines, want);
}

TEST(ReaderDecode, TypeCharacterBeforeAForeignCodeStaysText) {
  // %196 is no system variable ($TILMVER is), so "%" and the byte stay.
  ReadResult r = ReadProgram(File({ParseHex("A2 25 C4 24 C4")}));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.lines[1], "PRINT %\xC4$TILMVER");
}

TEST(ReaderDecode, LineNumberBytesAreNoCharacters) {
  // A definition on line 34 (a double quote) and 58 (a colon) inside a CASE condition.
  std::vector<std::string> src(60, "");
  src[33] = "DEF @Q(0) 1";
  src[57] = "DEF @C(0) 2";
  src.push_back("CASE @ADD(@Q(), @C()): PRINT \"ok\"");
  std::vector<std::string> lines = RoundTrip(src);
  EXPECT_EQ(lines.back(), "CASE @ADD(@FN34(),@FN58()): PRINT \"ok\"");
}

// Decoding and encoding again gives the same bytes: the decoded text loses
// nothing the file holds. Checked on every program of the test suites.
TEST(ReaderDecode, DecodedProgramsEncodeToTheSameRecords) {
  int programs = 0;
  for (const auto& entry : tmctest::fs::recursive_directory_iterator(TMC_E2E_DIR)) {
    if (entry.path().extension() != ".tmf") continue;
    tmctest::ScratchDir dir;
    tmctest::fs::copy(entry.path().parent_path(), dir.path(), tmctest::fs::copy_options::recursive);
    tilmor::LoadResult loaded =
        tilmor::LoadProgram(entry.path().filename().string(), tilmor::LoaderKind::Compiler, "");
    if (!loaded.ok) continue;
    tmctest::Encoded e = tmctest::EncodeAll(loaded.table);
    if (e.errorLine) continue;
    ReadResult r = ReadProgram(File(e.contents));
    ASSERT_TRUE(r.ok) << entry.path();
    tmctest::Encoded again = tmctest::EncodeAll(r.lines);
    ASSERT_EQ(again.errorLine, 0) << entry.path() << ": " << again.error;
    EXPECT_EQ(again.contents, e.contents) << entry.path();
    ++programs;
  }
  EXPECT_GT(programs, 50);
}

}  // namespace
