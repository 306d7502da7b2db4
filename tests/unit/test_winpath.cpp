#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "winpath.h"

namespace {

namespace fs = std::filesystem;

class WinPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tilmor_winpath_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_NE(getcwd(oldCwd_, sizeof oldCwd_), nullptr);
    if (const char* v = std::getenv("TILMOR_WINDIR")) oldWindir_ = v;
    if (const char* v = std::getenv("HOME")) oldHome_ = v;
    if (const char* v = std::getenv("XDG_CONFIG_HOME")) oldXdg_ = v;
    unsetenv("XDG_CONFIG_HOME");
    ASSERT_EQ(setenv("TILMOR_WINDIR", dir_.c_str(), 1), 0);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(oldCwd_), 0);
    Restore("TILMOR_WINDIR", oldWindir_);
    Restore("HOME", oldHome_);
    Restore("XDG_CONFIG_HOME", oldXdg_);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  static void Touch(const std::string& path) {
    fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(path, std::ios::binary) << "x";
  }
  void WriteWinIni(const std::string& text) {
    std::ofstream(dir_ + "/WIN.INI", std::ios::binary) << text;
  }

  std::string dir_;
  char oldCwd_[PATH_MAX];
  std::optional<std::string> oldWindir_, oldHome_, oldXdg_;
};

TEST_F(WinPathTest, WindowsDirectoryFromEnvironmentOrHome) {
  EXPECT_EQ(win::WindowsDirectory(), dir_);
  EXPECT_EQ(win::SystemDirectory(), dir_ + "/system");

  setenv("TILMOR_WINDIR", "", 1);
  setenv("HOME", dir_.c_str(), 1);
  EXPECT_EQ(win::WindowsDirectory(), dir_ + "/.config/tilmor");
  unsetenv("TILMOR_WINDIR");
  EXPECT_EQ(win::WindowsDirectory(), dir_ + "/.config/tilmor");
}

// The XDG configuration directory comes between the two; TILMOR_WINDIR
// still wins, and an empty or relative XDG_CONFIG_HOME is no setting.
TEST_F(WinPathTest, WindowsDirectoryFollowsXdgConfigHome) {
  setenv("HOME", dir_.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir_ + "/xdg/").c_str(), 1);
  EXPECT_EQ(win::WindowsDirectory(), dir_);
  unsetenv("TILMOR_WINDIR");
  EXPECT_EQ(win::WindowsDirectory(), dir_ + "/xdg/tilmor");
  ASSERT_TRUE(win::EnsureWindowsDirectory());
  EXPECT_TRUE(fs::is_directory(dir_ + "/xdg/tilmor"));
  // Profiles are read from there.
  std::ofstream(dir_ + "/xdg/tilmor/WIN.INI", std::ios::binary) << "[Drives]\r\nQ=" << dir_ << "\r\n";
  Touch(dir_ + "/found.txt");
  EXPECT_TRUE(win::FileExists("Q:\\found.txt"));

  for (const char* ignored : {"", "relative/dir"}) {
    setenv("XDG_CONFIG_HOME", ignored, 1);
    EXPECT_EQ(win::WindowsDirectory(), dir_ + "/.config/tilmor") << ignored;
  }
}

TEST_F(WinPathTest, EnsureWindowsDirectoryCreatesAllLevels) {
  std::string nested = dir_ + "/a/b/win";
  setenv("TILMOR_WINDIR", nested.c_str(), 1);
  ASSERT_TRUE(win::EnsureWindowsDirectory());
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_TRUE(win::EnsureWindowsDirectory());  // already there

  // A file in the way is a failure, not a success.
  Touch(dir_ + "/blocked");
  std::string blocked = dir_ + "/blocked/win";
  setenv("TILMOR_WINDIR", blocked.c_str(), 1);
  EXPECT_FALSE(win::EnsureWindowsDirectory());
}

TEST_F(WinPathTest, PartsMatchCaseInsensitivelyAndStayRelative) {
  Touch("lib/X.inc");
  EXPECT_EQ(win::ResolvePath("LIB\\x.INC").host, "lib/X.inc");
  EXPECT_EQ(win::ResolvePath("Lib//\\x.inc").host, "lib/X.inc");
  EXPECT_EQ(win::ResolvePath("").host, "");
  EXPECT_EQ(win::ResolvePath("").error, win::PathError::None);
}

TEST_F(WinPathTest, ExactNameWinsThenFirstInByteOrder) {
  Touch("Foo");
  Touch("FOO");
  Touch("foO");
  EXPECT_EQ(win::ResolvePath("Foo").host, "Foo");
  EXPECT_EQ(win::ResolvePath("foO").host, "foO");
  // "FOO" < "Foo" < "foO" byte-wise.
  EXPECT_EQ(win::ResolvePath("foo").host, "FOO");
  EXPECT_EQ(win::ResolvePath("fOo").host, "FOO");
}

TEST_F(WinPathTest, MissingPartKeepsTheRestAsWritten) {
  Touch("a/b/c.txt");
  EXPECT_EQ(win::ResolvePath("A\\B\\NEW.TXT").host, "a/b/NEW.TXT");
  EXPECT_EQ(win::ResolvePath("A\\MISSING\\B\\C.TXT").host, "a/MISSING/B/C.TXT");
  // A file is not a directory to look into.
  EXPECT_EQ(win::ResolvePath("A\\B\\C.TXT\\D").host, "a/b/c.txt/D");
}

TEST_F(WinPathTest, TrailingSeparatorAndDotParts) {
  fs::create_directories("dir/sub");
  Touch("Data.txt");
  EXPECT_EQ(win::ResolvePath("DIR\\").host, "dir/");
  EXPECT_EQ(win::ResolvePath("DIR\\\\SUB\\\\").host, "dir/sub/");
  EXPECT_EQ(win::ResolvePath(".\\DIR\\SUB\\..\\..\\DATA.TXT").host,
            "./dir/sub/../../Data.txt");

  ASSERT_EQ(chdir("dir/sub"), 0);
  EXPECT_EQ(win::ResolvePath("..\\..\\DATA.TXT").host, "../../Data.txt");
}

TEST_F(WinPathTest, LeadingSeparatorIsAbsolute) {
  Touch("Sub/File.Txt");
  std::string winDir = dir_;
  for (char& c : winDir)
    if (c == '/') c = '\\';
  EXPECT_EQ(win::ResolvePath(winDir + "\\SUB\\FILE.TXT").host, dir_ + "/Sub/File.Txt");
  EXPECT_EQ(win::ResolvePath("\\").host, "/");
  EXPECT_EQ(win::ResolvePath("/").host, "/");
}

TEST_F(WinPathTest, DrivesMapThroughWinIni) {
  Touch("ddrive/Foo.txt");
  WriteWinIni("[Drives]\r\nd=" + dir_ + "/ddrive/\r\n");
  EXPECT_EQ(win::ResolvePath("D:\\FOO.TXT").host, dir_ + "/ddrive/Foo.txt");
  EXPECT_EQ(win::ResolvePath("d:/foo.txt").host, dir_ + "/ddrive/Foo.txt");
  // No separator after the colon still starts at the drive's root.
  EXPECT_EQ(win::ResolvePath("D:FOO.TXT").host, dir_ + "/ddrive/Foo.txt");
  EXPECT_EQ(win::ResolvePath("D:").host, dir_ + "/ddrive");
  EXPECT_EQ(win::ResolvePath("D:\\").host, dir_ + "/ddrive/");
}

TEST_F(WinPathTest, DriveCDefaultsToRootAndOthersFail) {
  EXPECT_EQ(win::ResolvePath("C:\\").host, "/");
  EXPECT_EQ(win::ResolvePath("c:").host, "/");
  EXPECT_EQ(win::ResolvePath("C:\\TMP").host, "/tmp");

  win::ResolvedPath r = win::ResolvePath("Q:\\X.TXT");
  EXPECT_EQ(r.error, win::PathError::PathNotFound);
  EXPECT_EQ(win::HostPath("Q:\\X.TXT"), "");
  EXPECT_FALSE(win::FileExists("Q:\\X.TXT"));

  Touch("cdrive/x.txt");
  WriteWinIni("[drives]\r\nC=" + dir_ + "/cdrive\r\n");
  EXPECT_EQ(win::HostPath("C:\\X.TXT"), dir_ + "/cdrive/x.txt");
  EXPECT_EQ(win::ResolvePath("D:\\X.TXT").error, win::PathError::PathNotFound);
}

TEST_F(WinPathTest, Windows1252NamesBecomeUtf8) {
  Touch("\xC3\xA4rger.txt");  // "ärger.txt" in UTF-8
  EXPECT_EQ(win::ResolvePath("\xC4RGER.TXT").host, "\xC3\xA4rger.txt");
  EXPECT_TRUE(win::FileExists("\xC4RGER.TXT"));

  // A new name is converted, not copied as raw bytes.
  EXPECT_EQ(win::ResolvePath("\xDE\x80.TXT").host, "\xC3\x9E\xE2\x82\xAC.TXT");

  Touch("\xC3\xBE");  // "þ" matches "Þ"
  EXPECT_EQ(win::ResolvePath("\xDE").host, "\xC3\xBE");

  Touch("\xC3\x97");  // "×" is no capital "÷"
  EXPECT_EQ(win::ResolvePath("\xF7").host, "\xC3\xB7");
}

TEST_F(WinPathTest, NameClassification) {
  EXPECT_TRUE(win::HasDirectoryPart("A\\B"));
  EXPECT_TRUE(win::HasDirectoryPart("C:FOO"));
  EXPECT_FALSE(win::HasDirectoryPart("FOO.BAS"));
  EXPECT_FALSE(win::HasDirectoryPart("1:FOO"));

  EXPECT_TRUE(win::HasExtension("FOO.BAS"));
  EXPECT_TRUE(win::HasExtension("C:FOO.BAS"));
  EXPECT_TRUE(win::HasExtension("A.B\\C.D"));
  EXPECT_FALSE(win::HasExtension("A.B\\C"));
  EXPECT_FALSE(win::HasExtension("DIR.X\\"));
  EXPECT_FALSE(win::HasExtension("C:FOO"));
}

TEST_F(WinPathTest, FileExistsOnlyForRegularFiles) {
  Touch("Prog/Main.Bas");
  EXPECT_TRUE(win::FileExists("PROG\\MAIN.BAS"));
  EXPECT_FALSE(win::FileExists("PROG"));
  EXPECT_FALSE(win::FileExists("PROG\\OTHER.BAS"));
  EXPECT_FALSE(win::FileExists(""));
}

}  // namespace
