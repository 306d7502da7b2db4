// Text files: line ends in and out, Ctrl+Z, long lines, modes.
#include "files.h"
#include "temp_dir.h"
#include "text_file.h"

namespace {

using datatest::TempDirTest;
namespace fs = std::filesystem;
using tilmor::TextFile;
using Lines = std::vector<std::string>;

class TextFileTest : public TempDirTest {
 protected:
  std::vector<std::string> Read(const std::string& bytes) {
    Put(Path("t.txt"), bytes);
    TextFile f;
    EXPECT_EQ(f.OpenRead(Path("t.txt")), 0);
    std::vector<std::string> out;
    std::string line;
    while (f.ReadLine(line)) out.push_back(line);
    EXPECT_TRUE(f.AtEnd());
    return out;
  }
};

TEST_F(TextFileTest, EveryKindOfLineEnd) {
  EXPECT_EQ(Read("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(Read("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Read("\n\r"), (Lines{"", ""}));
  EXPECT_EQ(Read("x\r"), (Lines{"x"}));
  EXPECT_EQ(Read(""), Lines{});
  // A CR LF pair split across the read buffer is still one line end.
  std::string big(4095, 'a');
  EXPECT_EQ(Read(big + "\r\nz"), (Lines{std::string(255, 'a'), "z"}));
}

TEST_F(TextFileTest, CtrlZEndsTheText) {
  EXPECT_EQ(Read("one\r\ntwo\r\n\x1A" "after"), (Lines{"one", "two"}));
  EXPECT_EQ(Read("one\x1Atail"), (Lines{"one"}));
}

TEST_F(TextFileTest, LongLinesAreCutAndTheRestSkipped) {
  std::string line(300, 'x');
  Lines got = Read(line + "\r\nnext");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], std::string(255, 'x'));
  EXPECT_EQ(got[1], "next");
}

TEST_F(TextFileTest, EndOfFileBeforeAndAfterTheLastLine) {
  Put(Path("e.txt"), "a\r\n");
  TextFile f;
  ASSERT_EQ(f.OpenRead(Path("e.txt")), 0);
  EXPECT_FALSE(f.AtEnd());
  std::string line;
  EXPECT_TRUE(f.ReadLine(line));
  EXPECT_TRUE(f.AtEnd());
  EXPECT_FALSE(f.ReadLine(line));
  EXPECT_EQ(line, "");
}

TEST_F(TextFileTest, WritingAppendingAndModes) {
  TextFile f;
  ASSERT_EQ(f.OpenWrite(Path("w.txt")), 0);
  EXPECT_EQ(f.mode(), TextFile::Mode::Output);
  EXPECT_EQ(f.Write(tilmor::FileLineEnds("first\n")), 0);
  EXPECT_EQ(f.Write(tilmor::FileLineEnds("no end")), 0);
  // Everything is on disk at once, before the file is closed.
  EXPECT_EQ(Get(Path("w.txt")), "first\r\nno end");
  std::string line;
  EXPECT_FALSE(f.ReadLine(line));
  EXPECT_EQ(f.Close(), 0);
  EXPECT_EQ(f.Close(), win::kIoNotOpen);
  EXPECT_EQ(f.Write("x"), win::kIoNotOpenForOutput);

  // Append goes on at the end and overwrites a Ctrl+Z there.
  Put(Path("z.txt"), "old\r\n\x1A");
  ASSERT_EQ(f.OpenAppend(Path("z.txt")), 0);
  EXPECT_EQ(f.Write("new\r\n"), 0);
  f.Close();
  EXPECT_EQ(Get(Path("z.txt")), "old\r\nnew\r\n");
  EXPECT_EQ(f.OpenAppend(Path("missing.txt")), win::kIoFileNotFound);
  EXPECT_EQ(f.OpenRead(Path("missing.txt")), win::kIoFileNotFound);
  EXPECT_EQ(f.OpenWrite(Path("nodir/x.txt")), win::kIoPathNotFound);
  EXPECT_FALSE(f.isOpen());
}

// Text files share reading only: a reader that tolerates a writer gets in,
// another text reader or writer does not.
TEST_F(TextFileTest, SharingOfTextFiles) {
  TextFile writer;
  ASSERT_EQ(writer.OpenWrite(Path("s.txt")), 0);
  writer.Write("line\r\n");
  win::OpenedFile tolerant =
      win::OpenShared(Path("s.txt"), win::kAccessRead, win::kShareRead | win::kShareWrite,
                      win::Disposition::OpenExisting);
  EXPECT_GE(tolerant.fd, 0);
  if (tolerant.fd >= 0) close(tolerant.fd);
  TextFile reader, second;
  EXPECT_EQ(reader.OpenRead(Path("s.txt")), win::kIoSharingViolation);
  EXPECT_EQ(second.OpenWrite(Path("s.txt")), win::kIoSharingViolation);
  EXPECT_EQ(Get(Path("s.txt")), "line\r\n");
  writer.Close();
  EXPECT_EQ(reader.OpenRead(Path("s.txt")), 0);
  EXPECT_EQ(second.OpenRead(Path("s.txt")), 0);
}

}  // namespace
