#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "loader.h"

namespace {

namespace fs = std::filesystem;
using tilmor::LoaderKind;
using tilmor::LoadProgram;
using tilmor::LoadResult;
using tilmor::SplitSourceLines;

const std::string kInterpTitle = "T I L M O R \xB2";
const std::string kCompTitle = "TILMOR\xB2-COMPILER";
const std::string kCompLimitTitle = "TILMOR\xB2" "Compiler";

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tilmor_loader_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    fs::create_directories(dir_ + "/win");
    ASSERT_EQ(setenv("TILMOR_WINDIR", (dir_ + "/win").c_str(), 1), 0);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(oldCwd_), 0);
    if (oldWindir_)
      setenv("TILMOR_WINDIR", oldWindir_->c_str(), 1);
    else
      unsetenv("TILMOR_WINDIR");
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // Writes `lines`, each ended by CR LF, to a path relative to the temp dir.
  static void Write(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    WriteBytes(path, bytes);
  }
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static LoadResult Load(const std::vector<std::string>& lines,
                         LoaderKind kind = LoaderKind::Interpreter,
                         const std::string& includePath = "") {
    Write("main.tmf", lines);
    return LoadProgram("main.tmf", kind, includePath);
  }
  static std::vector<std::string> Slots(const LoadResult& r) {
    return std::vector<std::string>(r.table.slots.begin() + 1, r.table.slots.end());
  }
  static std::vector<std::string> Numbered(const std::string& prefix, int n) {
    std::vector<std::string> v;
    for (int i = 1; i <= n; ++i) v.push_back(prefix + std::to_string(i));
    return v;
  }

  std::string dir_;
  char oldCwd_[PATH_MAX];
  std::optional<std::string> oldWindir_;
};

using Lines = std::vector<std::string>;

TEST_F(LoaderTest, CommentsBlanksAndTabs) {
  LoadResult r = Load({
      "   PRINT \"it's\" 'remark",
      "X(1'2'3) ' comment",
      "' a whole comment line",
      "PRINT\tA,\tB",
      "  END   ' done  ",
      "PRINT \"open 'x",
      "\t \t",
  });
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table.count(), 7);
  EXPECT_EQ(Slots(r), (Lines{"PRINT \"it's\"", "X(1'2'3)", "", "PRINT A, B", "END",
                             "PRINT \"open 'x", ""}));
  EXPECT_FALSE(r.protect);
}

TEST_F(LoaderTest, ContinuationJoinsIntoLastSlot) {
  LoadResult r = Load({
      "PRINT 1,\\",
      "     2",
      "A \\",
      "B",
      "X\\",
      "Y\\",
      "Z",
      "P\\",
      "Q 'r\tS",   // the appended part keeps comments and tabs
      "C ' x\\",   // the comment goes first, so no continuation
      "D",
      "END\\",     // nothing left to join at the end of the file
  });
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table.count(), 12);
  EXPECT_EQ(Slots(r), (Lines{"", "PRINT 1,2", "", "A B", "", "", "XYZ", "", "PQ 'r\tS",
                             "C", "D", "END"}));
}

TEST_F(LoaderTest, LineLengthLimits) {
  LoadResult r = Load({std::string(200, 'A') + std::string(55, ' ') + std::string(45, 'B'),
                       std::string(254, 'C'), "END"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{std::string(200, 'A'), std::string(254, 'C'), "END"}));

  for (LoaderKind kind : {LoaderKind::Interpreter, LoaderKind::Compiler}) {
    r = Load({"REM", std::string(300, 'A')}, kind);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure.text, "Zeile zu lang (max. 254 Zeichen)!");
    EXPECT_EQ(r.failure.title, kind == LoaderKind::Interpreter ? kInterpTitle : kCompTitle);
    EXPECT_EQ(r.failure.exitCode, 1);
  }
  r = Load({std::string(255, 'A')});
  EXPECT_FALSE(r.ok);
  // A joined line is checked as a whole.
  r = Load({std::string(200, 'A') + "\\", std::string(60, 'B')});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Zeile zu lang (max. 254 Zeichen)!");
}

TEST_F(LoaderTest, IncludeIsInsertedWhereItStands) {
  Lines inc = Numbered("INC ", 10);
  inc[0] = "INC 1 ' comment";
  inc[1] = "INC\t2";
  Write("ten.inc", inc);
  LoadResult r = Load({"L1", "L2", "L3", "L4", "$I   ten.inc  ' the library", "L6", "L7"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  ASSERT_EQ(r.table.count(), 17);
  EXPECT_EQ(r.table[4], "L4");
  EXPECT_EQ(r.table[5], "");
  EXPECT_EQ(r.table[6], "INC 1");
  EXPECT_EQ(r.table[7], "INC 2");
  EXPECT_EQ(r.table[15], "INC 10");
  EXPECT_EQ(r.table[16], "L6");
  EXPECT_EQ(r.table[17], "L7");
}

TEST_F(LoaderTest, IncludeSearchPath) {
  fs::create_directories("empty");
  Write("b/found.inc", {"FROM B"});
  Write("a/order.inc", {"FROM A"});
  Write("b/order.inc", {"FROM B"});
  Write("here.inc", {"FROM CWD"});
  Write("b/here.inc", {"FROM B"});
  Write("d/drive.inc", {"FROM D"});
  Write("b/sub/s.inc", {"FROM B SUB"});
  Write("lib/x.inc", {"FROM LIB"});
  WriteBytes("win/WIN.INI", "[Drives]\r\nD=" + dir_ + "/d\r\n");

  const std::string path = ";empty;;a;b\\;D:";
  LoadResult r = Load({"$I found.inc", "$I order.inc", "$I here.inc", "$I drive.inc"},
                      LoaderKind::Interpreter, path);
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{"", "FROM B", "", "FROM A", "", "FROM CWD", "", "FROM D"}));

  r = Load({"$I found.inc"}, LoaderKind::Interpreter, "b");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[2], "FROM B");

  // Without a path only the current directory counts.
  EXPECT_FALSE(Load({"$I found.inc"}).ok);

  // A name with a backslash is taken as written; the platform matches case.
  r = Load({"$I LIB\\X.INC"}, LoaderKind::Interpreter, path);
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[2], "FROM LIB");
  r = Load({"$I sub\\s.inc"}, LoaderKind::Interpreter, "b");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Zeile  1: $I sub\\s.inc");
}

TEST_F(LoaderTest, IncludeNameWithoutBackslashIsSearched) {
  // Only a backslash stops the search; "/" is an ordinary character there.
  Write("b/sub/s.inc", {"FROM B SUB"});
  LoadResult r = Load({"$I sub/s.inc"}, LoaderKind::Interpreter, "b");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[2], "FROM B SUB");
}

TEST_F(LoaderTest, IncludeFailures) {
  for (LoaderKind kind : {LoaderKind::Interpreter, LoaderKind::Compiler}) {
    LoadResult r = Load({"A", "B", "$I nope.inc   ' missing"}, kind);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure.title, "INCLUDE-Datei nicht gefunden!");
    EXPECT_EQ(r.failure.text, "Zeile  3: $I nope.inc");
    EXPECT_EQ(r.failure.exitCode, 1);
  }
  // The line count at the directive includes earlier include lines.
  Write("two.inc", {"I1", "I2"});
  LoadResult r = Load({"$I two.inc", "$I nope.inc"});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Zeile  4: $I nope.inc");

  Write("nested.inc", {"OK", "$I two.inc"});
  for (LoaderKind kind : {LoaderKind::Interpreter, LoaderKind::Compiler}) {
    r = Load({"$I nested.inc"}, kind);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure.text, "INCLUDE-Verschachtelung verboten!");
    EXPECT_EQ(r.failure.title, kind == LoaderKind::Interpreter ? kInterpTitle : kCompTitle);
    EXPECT_EQ(r.failure.exitCode, 1);
  }
}

TEST_F(LoaderTest, DirectivesAreCaseSensitive) {
  Write("prot.inc", {"$P+", "$i x"});
  LoadResult r = Load({"$P+", "$P+ more", "$p+", "$i x", "$IX", "$I prot.inc"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{"", "", "$p+", "$i x", "$IX", "", "$P+", "$i x"}));
  EXPECT_FALSE(r.protect);

  r = Load({"END", "$P+"}, LoaderKind::Compiler);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(Slots(r), (Lines{"END", ""}));
  EXPECT_TRUE(r.protect);
  // In an include file "$P+" is only text.
  r = Load({"$I prot.inc"}, LoaderKind::Compiler);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.table[2], "$P+");
  EXPECT_FALSE(r.protect);
}

TEST_F(LoaderTest, LineCountLimit) {
  LoadResult r = Load(Lines(32767, "X"));
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table.count(), 32767);

  for (LoaderKind kind : {LoaderKind::Interpreter, LoaderKind::Compiler}) {
    r = Load(Lines(32768, "X"), kind);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure.text, "Nur 9999 Zeilen sind erlaubt!");
    EXPECT_EQ(r.failure.title, kind == LoaderKind::Interpreter ? kInterpTitle : kCompLimitTitle);
    EXPECT_EQ(r.failure.exitCode, 1);
  }
  // Include lines and continuation slots count as well.
  Write("two.inc", {"I1", "I2"});
  Lines main(32765, "X");
  main.push_back("$I two.inc");
  EXPECT_FALSE(Load(main).ok);
  Lines joined(32766, "X");
  joined.back() += "\\";
  joined.push_back("Y");
  EXPECT_TRUE(Load(joined).ok);
  joined.back() += "\\";
  joined.push_back("Z");
  EXPECT_FALSE(Load(joined).ok);
}

TEST_F(LoaderTest, SourceEncodings) {
  // "PRINT Grüße €☺" in UTF-8 with and without BOM.
  const std::string utf8 = "PRINT Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\xE2\x98\xBA";
  const std::string cp1252 = "PRINT Gr\xFC\xDF" "e \x80?";
  EXPECT_EQ(SplitSourceLines("\xEF\xBB\xBF" + utf8 + "\r\nA"), (Lines{cp1252, "A"}));
  EXPECT_EQ(SplitSourceLines(utf8), (Lines{cp1252}));
  EXPECT_EQ(SplitSourceLines("\xEF\xBB\xBFplain"), (Lines{"plain"}));
  // Not UTF-8: the bytes are Windows-1252 already.
  EXPECT_EQ(SplitSourceLines("Gr\xFC\xDF" "e \x80\nB"), (Lines{"Gr\xFC\xDF" "e \x80", "B"}));

  // The 255-character cut counts characters, not UTF-8 bytes.
  std::string wide;
  for (int i = 0; i < 254; ++i) wide += "\xC3\xA4";
  WriteBytes("main.tmf", "\xEF\xBB\xBF" + wide + "\r\n");
  LoadResult r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[1], std::string(254, '\xE4'));
}

TEST_F(LoaderTest, LineEnds) {
  EXPECT_EQ(SplitSourceLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitSourceLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitSourceLines("a\n"), (Lines{"a"}));
  EXPECT_EQ(SplitSourceLines("a\r"), (Lines{"a"}));
  EXPECT_EQ(SplitSourceLines("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitSourceLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitSourceLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitSourceLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitSourceLines(""), (Lines{}));

  WriteBytes("main.tmf", "A\nB\rC\r\nD\r\n");
  LoadResult r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{"A", "B", "C", "D"}));
}

// Anything but a regular file is refused as a missing file is, at once:
// a device that never ends, a directory, a FIFO nobody writes, and links
// to them.
TEST_F(LoaderTest, NonRegularFilesAreRefusedLikeMissingOnes) {
  fs::create_directories("adir");
  ASSERT_EQ(mkfifo("fifo", 0600), 0);
  fs::create_symlink("/dev/zero", "zero-link");
  fs::create_symlink("fifo", "fifo-link");
  Write("fine.inc", {"FINE"});
  fs::create_symlink("fine.inc", "fine-link.inc");
  for (std::string name : {"/dev/zero", "adir", "fifo", "zero-link", "fifo-link"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(tilmor::CanOpenRegularFile(name));
    std::string bytes;
    EXPECT_FALSE(tilmor::ReadFileBytes(name, bytes));
    for (LoaderKind kind : {LoaderKind::Interpreter, LoaderKind::Compiler}) {
      LoadResult r = Load({"PRINT 1", "$I " + name, "END"}, kind);
      EXPECT_FALSE(r.ok);
      EXPECT_EQ(r.failure.title, "INCLUDE-Datei nicht gefunden!");
      EXPECT_EQ(r.failure.text, "Zeile  2: $I " + name);
      EXPECT_EQ(r.failure.exitCode, 1);
    }
    // As the program itself (after the caller's check, a race).
    LoadResult r = LoadProgram(name, LoaderKind::Interpreter, "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure.title, "INCLUDE-Datei nicht gefunden!");
  }
  // A link to a regular file is read through.
  EXPECT_TRUE(tilmor::CanOpenRegularFile("fine-link.inc"));
  LoadResult r = Load({"$I fine-link.inc"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[2], "FINE");
}

// A file is read only as far as the loader gets: behind the failing line
// lie 64 GiB of a sparse hole (no line end in it), which would take minutes
// to read.
TEST_F(LoaderTest, ReadingStopsAtTheFailingLine) {
  auto withHole = [](const std::string& path, const std::string& start) {
    WriteBytes(path, start);
    fs::resize_file(path, uint64_t{64} << 30);
  };
  withHole("long.tmf", "PRINT 1\r\n" + std::string(300, 'A') + "\r\n");
  LoadResult r = LoadProgram("long.tmf", LoaderKind::Interpreter, "");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Zeile zu lang (max. 254 Zeichen)!");

  // The long line itself goes on into the hole.
  withHole("endless.tmf", "PRINT 1\r\n" + std::string(300, 'A'));
  r = LoadProgram("endless.tmf", LoaderKind::Compiler, "");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Zeile zu lang (max. 254 Zeichen)!");

  std::string many;
  for (int i = 0; i < 32768; ++i) many += "X\n";
  withHole("many.inc", many);
  r = Load({"$I many.inc"});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "Nur 9999 Zeilen sind erlaubt!");

  withHole("nested.inc", "A\n$I other.inc\n");
  r = Load({"$I nested.inc"});
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failure.text, "INCLUDE-Verschachtelung verboten!");
}

TEST_F(LoaderTest, LongLinesAreSkippedToTheirEnd) {
  // A comment running across several read buffers, then a CR LF split
  // between two buffers (of 64 KiB): one line end, not two.
  const size_t piece = 65536;
  std::string first = "PRINT 1 '" + std::string(200000, 'x') + "\r\n";
  size_t crAt = (first.size() / piece + 2) * piece - 1;
  std::string bytes = first + "'" + std::string(crAt - first.size() - 1, 'y') + "\r\nEND\r\n";
  ASSERT_EQ(bytes[crAt], '\r');
  WriteBytes("main.tmf", bytes);
  LoadResult r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{"PRINT 1", "", "END"}));
}

// The encoding is that of the whole file, even where its first part says
// otherwise: here the part that decides lies beyond the first look.
TEST_F(LoaderTest, EncodingOfTheWholeFile) {
  const std::string filler = "'" + std::string(100000, ' ') + "\n";  // an empty slot
  const std::string umlaut = "PRINT \"Gr\xC3\xBC\xC3\x9F" "e\"\n";  // UTF-8
  const std::string latin = "PRINT \"Gr\xFC\xDF" "e\"\n";          // Windows-1252
  const std::string converted = "PRINT \"Gr\xFC\xDF" "e\"";
  const std::string asIs = "PRINT \"Gr\xC3\xBC\xC3\x9F" "e\"";

  // ASCII at first, UTF-8 later: every line is UTF-8.
  WriteBytes("late.inc", "PRINT 1\n" + filler + umlaut);
  LoadResult r = Load({"$I late.inc"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{"", "PRINT 1", "", converted}));

  // UTF-8 at first, a Windows-1252 byte later: no line is UTF-8.
  WriteBytes("main.tmf", umlaut + filler + latin);
  r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{asIs, "", converted}));
  // ... and a UTF-8 sequence cut off by the end of the file.
  WriteBytes("main.tmf", umlaut + filler + "PRINT \xC3");
  r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(Slots(r), (Lines{asIs, "", "PRINT \xC3"}));

  // A UTF-8 sequence across the end of the first look.
  WriteBytes("main.tmf", "'" + std::string(tilmor::SourceLines::kPrescan - 9, ' ') + "\nPRINT \xC3\xBC\n");
  r = LoadProgram("main.tmf", LoaderKind::Interpreter, "");
  ASSERT_TRUE(r.ok) << r.failure.text;
  EXPECT_EQ(r.table[2], "PRINT \xFC");

  // The same include twice, judged once for both.
  r = Load({"$I late.inc", "$I late.inc"});
  ASSERT_TRUE(r.ok) << r.failure.text;
  ASSERT_EQ(r.table.count(), 8);
  EXPECT_EQ(r.table[4], converted);
  EXPECT_EQ(r.table[8], converted);
}

TEST_F(LoaderTest, IncludePathFromSettingsFile) {
  EXPECT_EQ(tilmor::ConfiguredIncludePath(), "");
  WriteBytes("win/TILMED32.INI", "[Other]\r\nInclude=no\r\n[compile]\r\ninclude=C:\\inc;lib\r\n");
  EXPECT_EQ(tilmor::ConfiguredIncludePath(), "C:\\inc;lib");
}

}  // namespace
