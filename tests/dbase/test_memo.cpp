// Memo files: reading with line wrapping, writing in place or appended,
// block 0, packing and damaged memo files.
#include "dbase_test_util.h"

namespace {

using namespace tilmor::dbase;
using namespace dbtest;

class MemoTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_TRUE(MakeTable(err, "NOTES", "ID;C;3\nTEXT;M\n"));
  }
  // Opens NOTES with `records` blank records.
  void OpenWith(DbfTable& t, int records) {
    ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open()) << err.text();
    for (int i = 0; i < records; ++i) {
      t.BlankBuffer();
      t.PutField("ID", std::to_string(i + 1));
      ASSERT_TRUE(t.WriteRecord(-1));
    }
  }
  // A memo file of raw blocks: block 0 says `next`, then the texts, each
  // starting on a new block.
  std::vector<int> WriteMemoFile(uint32_t next, const std::vector<std::string>& texts) {
    std::string f(512, '\0');
    SetU32(f, 0, next);
    std::vector<int> starts;
    for (const std::string& t : texts) {
      starts.push_back(static_cast<int>(f.size() / 512));
      std::string body = t;
      body.resize((body.size() + 511) / 512 * 512, '\0');
      f += body;
    }
    WriteBytes("NOTES.DBT", f);
    return starts;
  }
  void Point(DbfTable& t, int record, int block) {
    ASSERT_TRUE(t.GoTo(record));
    char num[16];
    std::snprintf(num, sizeof num, "%10d", block);
    // The memo field is written through the raw buffer: PutField refuses it.
    std::string rec(reinterpret_cast<const char*>(t.buffer().data()), t.buffer().size());
    rec.replace(4, 10, num);
    std::string f = ReadBytes("NOTES.DBF");
    f.replace(t.header_length() + (record - 1) * t.record_length(), rec.size(), rec);
    WriteBytes("NOTES.DBF", f);
  }
  std::string MemoField(DbfTable& t) {
    return std::string(reinterpret_cast<const char*>(t.buffer().data()) + 4, 10);
  }
  DbError err;
  std::vector<std::string> lines;
};

TEST_F(MemoTest, ReadingWrapsAtEightyAndHonoursSoftBreaks) {
  std::string text = std::string(81, 'x') + "\r\n";
  for (int i = 0; i < 20; ++i) text += "word ";
  text += "\r\n" + std::string(70, 'a') + "-" + std::string(20, 'b') + "\r\n";
  text += "soft\x8d\nbreak\x8d\x8d\r\n\x8dx\r\ndash-\x8dnext\r\n\r\nlf\nignored\x1A after the end";
  WriteMemoFile(2, {text});
  {
    DbfTable t(err);
    OpenWith(t, 1);
    Point(t, 1, 1);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  EXPECT_NE(t.GetMemo("text", lines), -1);
  std::string words16, words4;
  for (int i = 0; i < 16; ++i) words16 += "word ";
  for (int i = 0; i < 4; ++i) words4 += "word ";
  std::vector<std::string> want = {std::string(80, 'x'),
                                   "x",
                                   words16,
                                   words4,
                                   std::string(70, 'a') + "-",
                                   std::string(20, 'b'),
                                   "soft break ",
                                   "x",
                                   "dash-next",
                                   "",
                                   "lfignored"};
  EXPECT_EQ(lines, want);
  EXPECT_EQ(err.number(), 0);
}

TEST_F(MemoTest, BlankAndNonMemoFields) {
  DbfTable t(err);
  OpenWith(t, 1);
  lines = {"old"};
  EXPECT_EQ(t.GetMemo("ID", lines), -1);
  EXPECT_EQ(lines, std::vector<std::string>{"old"});
  EXPECT_NE(t.GetMemo("TEXT", lines), -1);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(t.GetMemo("NONE", lines), -1);
  EXPECT_EQ(err.number(), kErrFieldRead);
  EXPECT_FALSE(t.PutMemo("ID", {"x"}));
}

TEST_F(MemoTest, AtMostTenThousandLinesAreRead) {
  std::string text;
  for (int i = 0; i < kMaxMemoLines + 5; ++i) text += "l" + std::to_string(i) + "\r\n";
  WriteMemoFile(0, {text + "\x1A"});
  {
    DbfTable t(err);
    OpenWith(t, 1);
    Point(t, 1, 1);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  t.GetMemo("TEXT", lines);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kMaxMemoLines));
  EXPECT_EQ(lines.back(), "l9999");
}

TEST_F(MemoTest, NewMemosAreAppendedWithEndMarks) {
  DbfTable t(err);
  OpenWith(t, 2);
  t.GoTo(1);
  ASSERT_TRUE(t.PutMemo("TEXT", {"a", "bb"})) << err.text();
  EXPECT_EQ(MemoField(t), "         1");
  ASSERT_TRUE(t.WriteRecord(1));
  t.GoTo(2);
  ASSERT_TRUE(t.PutMemo("TEXT", {std::string(600, 'z')}));
  EXPECT_EQ(MemoField(t), "         2");
  t.WriteRecord(2);
  std::string m = ReadBytes("NOTES.DBT");
  ASSERT_EQ(m.size(), 4u * 512);
  EXPECT_EQ(U32(m, 0), 4u);
  EXPECT_EQ(m.substr(4, 508), std::string(508, '\0'));
  std::string block1 = "a\r\nbb\r\n\x1A\x1A";
  block1.resize(512, '\0');
  EXPECT_EQ(m.substr(512, 512), block1);
  EXPECT_EQ(m.substr(1024, 600), std::string(600, 'z'));
  EXPECT_EQ(m.substr(1624, 4), "\r\n\x1A\x1A");
  t.GoTo(1);
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "bb"}));
  t.GoTo(2);
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{std::string(80, 'z'), std::string(80, 'z'), std::string(80, 'z'),
                                              std::string(80, 'z'), std::string(80, 'z'), std::string(80, 'z'),
                                              std::string(80, 'z'), std::string(40, 'z')}));
}

// Only the memo just read from this very record is rewritten in place, and
// only when the new text fits its blocks; everything else is appended.
TEST_F(MemoTest, RewriteInPlaceOnlyForTheMemoJustRead) {
  WriteMemoFile(4, {"one\r\n\x1A", std::string(700, 'y') + "\x1A"});
  {
    DbfTable t(err);
    OpenWith(t, 3);
    Point(t, 1, 1);
    Point(t, 2, 2);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  // Record 2 holds two blocks: a shorter text goes back into them.
  t.GoTo(2);
  t.GetMemo("TEXT", lines);
  ASSERT_TRUE(t.PutMemo("TEXT", {"short"}));
  EXPECT_EQ(MemoField(t), "         2");
  EXPECT_EQ(std::filesystem::file_size("NOTES.DBT"), 4u * 512);
  t.WriteRecord(2);
  // Read from record 1, written while on record 2: appended.
  t.GoTo(1);
  t.GetMemo("TEXT", lines);
  t.GoTo(2);
  ASSERT_TRUE(t.PutMemo("TEXT", {"other"}));
  EXPECT_EQ(MemoField(t), "         4");
  // A blank field never writes to block 0 or to the memo last read.
  t.GoTo(1);
  t.GetMemo("TEXT", lines);
  t.GoTo(3);
  ASSERT_TRUE(t.PutMemo("TEXT", {"third"}));
  EXPECT_EQ(MemoField(t), "         5");
  // Larger than what was read: appended.
  t.GoTo(1);
  t.GetMemo("TEXT", lines);
  ASSERT_TRUE(t.PutMemo("TEXT", {std::string(600, 'q')}));
  EXPECT_EQ(MemoField(t), "         6");
  // The memos of the file are all still there.
  std::string m = ReadBytes("NOTES.DBT");
  EXPECT_EQ(U32(m, 0), 8u);
  EXPECT_EQ(m.substr(512, 6), "one\r\n\x1A");
  EXPECT_EQ(m.substr(1024, 9), "short\r\n\x1A\x1A");
  EXPECT_EQ(m.substr(2048, 9), "other\r\n\x1A\x1A");
  EXPECT_EQ(m.substr(2560, 9), "third\r\n\x1A\x1A");
}

TEST_F(MemoTest, WrongBlockZeroNeverOverwritesMemos) {
  WriteMemoFile(1, {"keep me\r\n\x1A", "me too\r\n\x1A"});
  DbfTable t(err);
  OpenWith(t, 3);
  t.GoTo(3);
  ASSERT_TRUE(t.PutMemo("TEXT", {"new"}));
  EXPECT_EQ(MemoField(t), "         3");
  std::string m = ReadBytes("NOTES.DBT");
  EXPECT_EQ(m.substr(512, 7), "keep me");
  EXPECT_EQ(m.substr(1024, 6), "me too");
}

TEST_F(MemoTest, TooLargeBlockZeroLeavesNoHole) {
  WriteMemoFile(1000000, {"keep\r\n\x1A"});
  DbfTable t(err);
  OpenWith(t, 1);
  ASSERT_TRUE(t.PutMemo("TEXT", {"new"}));
  EXPECT_EQ(MemoField(t), "         2");
  EXPECT_EQ(std::filesystem::file_size("NOTES.DBT"), 3u * 512);
  EXPECT_EQ(U32(ReadBytes("NOTES.DBT"), 0), 3u);
}

// Other software does not fill the last block of the file.
TEST_F(MemoTest, ReadsAShortLastBlock) {
  WriteMemoFile(3, {"first\r\n\x1A"});
  std::string f = ReadBytes("NOTES.DBT") + "short\r\nlast\x1A\x1A";
  WriteBytes("NOTES.DBT", f);
  {
    DbfTable t(err);
    OpenWith(t, 2);
    Point(t, 2, 2);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  t.GoTo(2);
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"short", "last"}));
  // The next memo starts behind it.
  t.GoTo(1);
  ASSERT_TRUE(t.PutMemo("TEXT", {"x"}));
  EXPECT_EQ(MemoField(t), "         3");
  EXPECT_EQ(t.Pack(), 2);
  t.GoTo(2);
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"short", "last"}));
}

TEST_F(MemoTest, DamagedPointersAndMissingFiles) {
  WriteMemoFile(2, {"x\r\n\x1A"});
  {
    DbfTable t(err);
    OpenWith(t, 2);
    Point(t, 1, 99);
  }
  {
    DbfTable t(err);
    ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
    EXPECT_EQ(t.GetMemo("TEXT", lines), 0);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(err.number(), kErrEndOfFile);
    EXPECT_EQ(err.text(), ": NOTES.DBT (Read)");
  }
  std::filesystem::remove("NOTES.DBT");
  err.Clear();
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES"));
  EXPECT_FALSE(t.Open());
  EXPECT_EQ(err.text(), ": NOTES.DBT (Reset)");
  EXPECT_EQ(t.count(), 2);  // the table itself is usable
  err.Clear();
  t.GoTo(1);
  EXPECT_EQ(t.GetMemo("TEXT", lines), 0);
  EXPECT_EQ(err.number(), 2);
  err.Clear();
  EXPECT_FALSE(t.PutMemo("TEXT", {"x"}));
  EXPECT_EQ(err.number(), 2);
  EXPECT_EQ(err.text(), ": NOTES.DBT");
}

TEST_F(MemoTest, PackCopiesTheMemosOfKeptRecords) {
  WriteMemoFile(5, {"first\r\n\x1A", std::string(900, 's') + "\x1A", "third\x8d\r\n\x1A"});
  {
    DbfTable t(err);
    OpenWith(t, 4);
    Point(t, 1, 1);
    Point(t, 2, 2);
    Point(t, 3, 4);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  t.GoTo(2);
  t.SetDeletedFlag(true);
  t.WriteRecord(2);
  EXPECT_EQ(t.Pack(), 3);
  EXPECT_EQ(err.number(), 0) << err.text();
  EXPECT_FALSE(std::filesystem::exists(kPackMemoName));
  t.GoTo(1);
  EXPECT_EQ(MemoField(t), "         1");
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, std::vector<std::string>{"first"});
  t.GoTo(2);
  EXPECT_EQ(MemoField(t), "         2");
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, std::vector<std::string>{"third "});
  t.GoTo(3);
  EXPECT_EQ(MemoField(t), "          ");  // record 4 had no memo
  std::string m = ReadBytes("NOTES.DBT");
  EXPECT_EQ(m.size(), 3u * 512);
  EXPECT_EQ(U32(m, 0), 3u);
  EXPECT_EQ(m.substr(1024, 10), "third\x8d\r\n\x1A\x1A");
}

TEST_F(MemoTest, PackEmptiesFieldsThatPointPastTheMemoFile) {
  WriteMemoFile(2, {"ok\r\n\x1A"});
  {
    DbfTable t(err);
    OpenWith(t, 2);
    Point(t, 1, 1);
    Point(t, 2, 40);
  }
  DbfTable t(err);
  ASSERT_TRUE(t.ReadHeader("NOTES") && t.Open());
  EXPECT_EQ(t.Pack(), 2);
  EXPECT_EQ(err.number(), kErrEndOfFile);
  t.GoTo(2);
  EXPECT_EQ(MemoField(t), "          ");
  t.GoTo(1);
  t.GetMemo("TEXT", lines);
  EXPECT_EQ(lines, std::vector<std::string>{"ok"});
}

}  // namespace
