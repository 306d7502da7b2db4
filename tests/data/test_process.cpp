// Command lines split the Windows way, programs found beside the
// interpreter or on PATH, started on their own or waited for.
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "files.h"
#include "process.h"
#include "temp_dir.h"

namespace {

using datatest::TempDirTest;
namespace fs = std::filesystem;
using Words = std::vector<std::string>;

TEST(CommandLine, ProgramNameAndArguments) {
  EXPECT_EQ(win::SplitCommandLine("prog a  b\tc"), (Words{"prog", "a", "b", "c"}));
  EXPECT_EQ(win::SplitCommandLine("  "), Words{});
  EXPECT_EQ(win::SplitCommandLine(""), Words{});
  // In the program name quotes only group and backslashes are plain.
  EXPECT_EQ(win::SplitCommandLine("\"C:\\Program Files\\x.exe\" \"a b\" c"),
            (Words{"C:\\Program Files\\x.exe", "a b", "c"}));
  EXPECT_EQ(win::SplitCommandLine("C:\\dir\\\"x y\" z"), (Words{"C:\\dir\\x y", "z"}));
  EXPECT_EQ(win::SplitCommandLine("p \"\""), (Words{"p", ""}));
}

TEST(CommandLine, BackslashesAndQuotesInArguments) {
  EXPECT_EQ(win::SplitCommandLine("p \\\"quoted\\\""), (Words{"p", "\"quoted\""}));
  EXPECT_EQ(win::SplitCommandLine("p \"x\\\"y\""), (Words{"p", "x\"y"}));
  // 2n backslashes before a quote: n of them, the quote groups.
  EXPECT_EQ(win::SplitCommandLine("p \\\\\\\\\"b c\""), (Words{"p", "\\\\b c"}));
  // 2n+1: n of them and a literal quote.
  EXPECT_EQ(win::SplitCommandLine("p \\\\\\\"x"), (Words{"p", "\\\"x"}));
  // Backslashes not before a quote stay as they are.
  EXPECT_EQ(win::SplitCommandLine("p C:\\dir\\ b\\c\\\\"), (Words{"p", "C:\\dir\\", "b\\c\\\\"}));
  EXPECT_EQ(win::SplitCommandLine("p \"x\"\"y\""), (Words{"p", "x\"y"}));
  EXPECT_EQ(win::SplitCommandLine("p a\"b c\"d"), (Words{"p", "ab cd"}));
}

class ProcessTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    bin_ = Path("bin");
    fs::create_directories(bin_);
  }
  void Script(const std::string& name, const std::string& body, bool executable = true) {
    Put(bin_ + "/" + name, body);
    chmod((bin_ + "/" + name).c_str(), executable ? 0755 : 0644);
  }
  // Waits up to five seconds for a file a detached program writes.
  bool Appears(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
      if (fs::exists(path) && !Get(path).empty()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  std::string bin_;
};

TEST_F(ProcessTest, ProgramsBesideTheInterpreterThenOnPath) {
  Script("tool", "#!/bin/sh\nexit 0\n");
  Script("data", "not a program", false);
  int error = 0;
  EXPECT_EQ(win::FindProgram("TOOL.EXE", bin_, &error), bin_ + "/tool");
  EXPECT_EQ(win::FindProgram("tool", bin_, &error), bin_ + "/tool");
  EXPECT_EQ(win::FindProgram("Tool.Exe", bin_, &error), bin_ + "/tool");
  EXPECT_EQ(win::FindProgram("DATA", bin_, &error), "");
  EXPECT_EQ(error, win::kIoAccessDenied);
  EXPECT_EQ(win::FindProgram("NOSUCHPROGRAM.EXE", bin_, &error), "");
  EXPECT_EQ(error, win::kIoFileNotFound);
  std::string sh = win::FindProgram("SH.EXE", bin_, &error);
  EXPECT_EQ(fs::path(sh).filename(), "sh");
  // With a directory part the name is a Windows file name.
  EXPECT_EQ(win::FindProgram("BIN\\TOOL.EXE", "", &error), "bin/tool");
  EXPECT_EQ(win::FindProgram("NODIR\\TOOL.EXE", "", &error), "");
  EXPECT_EQ(error, win::kIoPathNotFound);
  EXPECT_EQ(win::FindProgram("Q:\\TOOL.EXE", "", &error), "");
  EXPECT_EQ(error, win::kIoPathNotFound);
}

TEST_F(ProcessTest, WinExecStartsOnItsOwn) {
  Script("writer", "#!/bin/sh\nsleep 0.1\necho \"$2\" > \"$1\"\n");
  EXPECT_GT(win::WinExec("WRITER.EXE out.txt \"two words\"", bin_), 31u);
  ASSERT_TRUE(Appears(Path("out.txt")));
  EXPECT_EQ(Get(Path("out.txt")), "two words\n");
  // Windows-1252 arguments arrive as UTF-8.
  EXPECT_GT(win::WinExec("WRITER.EXE \xE4.txt x", bin_), 31u);
  EXPECT_TRUE(Appears(Path("\xC3\xA4.txt")));
}

TEST_F(ProcessTest, WinExecErrors) {
  Script("plain", "no program", false);
  Script("garbage", "\x01\x02\x03 not an executable format\n");
  EXPECT_EQ(win::WinExec("MISSING.EXE", bin_), 2u);
  EXPECT_EQ(win::WinExec("NODIR\\X.EXE", bin_), 3u);
  EXPECT_EQ(win::WinExec("PLAIN", bin_), 5u);
  EXPECT_EQ(win::WinExec("GARBAGE", bin_), 11u);
  EXPECT_EQ(win::WinExec("", bin_), 2u);
}

TEST_F(ProcessTest, RunAndWaitWaitsForTheEnd) {
  Script("slow", "#!/bin/sh\nsleep 0.3\necho done > \"$1\"\nexit 7\n");
  int status = -1;
  ASSERT_TRUE(win::RunAndWait("SLOW.EXE result.txt", bin_, false, nullptr, &status));
  EXPECT_EQ(Get(Path("result.txt")), "done\n");
  EXPECT_EQ(status, 7);
  EXPECT_FALSE(win::RunAndWait("MISSING.EXE", bin_));
}

TEST_F(ProcessTest, HiddenProgramsShowNoText) {
  Script("talk", "#!/bin/sh\necho visible\n");
  testing::internal::CaptureStdout();
  ASSERT_TRUE(win::RunAndWait("TALK.EXE", bin_, false));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "visible\n");
  testing::internal::CaptureStdout();
  ASSERT_TRUE(win::RunAndWait("TALK.EXE", bin_, true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
