#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "../common/scratch_dir.h"
#include "profile.h"

namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.emplace("tilmor_profile");
    dir_ = scratch_->path();
  }
  void TearDown() override { scratch_.reset(); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  static void Put(const std::string& path, const std::string& bytes) { testsupport::ScratchDir::Put(path, bytes); }
  static std::string Get(const std::string& path) { return testsupport::ScratchDir::Get(path); }
  // Reads through the Win32 call with a roomy buffer.
  static std::string Read(const char* section, const char* key, const char* def,
                          const char* file) {
    char buf[512];
    uint32_t n = GetPrivateProfileStringA(section, key, def, buf, sizeof buf, file);
    return std::string(buf, n);
  }

  std::optional<testsupport::ScratchDir> scratch_;
  std::string dir_;
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesDefault) {
  EXPECT_EQ(Read("S", "k", "def  ", "NONE.INI"), "def");
  EXPECT_EQ(Read("S", "k", " x\t ", "NONE.INI"), " x\t");
  EXPECT_EQ(Read("S", "k", nullptr, "NONE.INI"), "");

  Put(Path("APP.INI"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(Read("T", "k", "d ", "APP.INI"), "d");
  EXPECT_EQ(Read("S", "other", "d ", "APP.INI"), "d");
  EXPECT_EQ(Read("S", "k", "d", "APP.INI"), "v");
}

TEST_F(ProfileTest, NamesCompareCaseInsensitivelyAndFirstWins) {
  Put(Path("APP.INI"),
      "[\xC4rger]\r\n"  // "Ärger"
      "  Schl\xFC" "ssel \t= \t wert  \r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      "[\xE4RGER]\r\n"
      "other=hidden\r\n");
  EXPECT_EQ(Read("\xE4RGER", "SCHL\xDCSSEL", "", "APP.INI"), "wert");
  EXPECT_EQ(Read("\xC4rger", "Dup", "", "APP.INI"), "first");
  EXPECT_EQ(Read("\xC4rger", "other", "none", "APP.INI"), "none");
  // ÷ and × are not a letter pair.
  Put(Path("SIGN.INI"), "[\xF7]\r\nk=v\r\n");
  EXPECT_EQ(Read("\xD7", "k", "none", "SIGN.INI"), "none");
}

TEST_F(ProfileTest, QuotesCommentsAndLineEnds) {
  Put(Path("APP.INI"),
      "top=outside\n"
      "[S]\r"
      "dq=\" padded \"\n"
      "sq='single'\r\n"
      "mixed=\"half'\r\n"
      "lone=\"\r\n"
      ";k=commented\r\n"
      "eq=a=b\r\n"
      "empty=\r\n"
      "last=no newline");
  EXPECT_EQ(Read("S", "dq", "", "APP.INI"), " padded ");
  EXPECT_EQ(Read("S", "sq", "", "APP.INI"), "single");
  EXPECT_EQ(Read("S", "mixed", "", "APP.INI"), "\"half'");
  EXPECT_EQ(Read("S", "lone", "", "APP.INI"), "\"");
  EXPECT_EQ(Read("S", ";k", "none", "APP.INI"), "none");
  EXPECT_EQ(Read("S", "eq", "", "APP.INI"), "a=b");
  EXPECT_EQ(Read("S", "empty", "d", "APP.INI"), "");
  EXPECT_EQ(Read("S", "last", "", "APP.INI"), "no newline");
  EXPECT_EQ(Read("S", "top", "none", "APP.INI"), "none");
}

TEST_F(ProfileTest, ValueTruncatesToBuffer) {
  Put(Path("APP.INI"), "[S]\r\nk=abcdef\r\n");
  char buf[8] = "zzzzzzz";
  EXPECT_EQ(GetPrivateProfileStringA("S", "k", "", buf, 4, "APP.INI"), 3u);
  EXPECT_EQ(std::string(buf, 4), std::string("abc\0", 4));
  EXPECT_EQ(GetPrivateProfileStringA("S", "k", "", buf, 1, "APP.INI"), 0u);
  EXPECT_EQ(buf[0], '\0');

  char untouched[2] = {'q', 'q'};
  EXPECT_EQ(GetPrivateProfileStringA("S", "k", "", untouched, 0, "APP.INI"), 0u);
  EXPECT_EQ(untouched[0], 'q');
}

TEST_F(ProfileTest, ListsSectionsAndKeys) {
  Put(Path("APP.INI"),
      "[Alpha]\r\none=1\r\n; note\r\nTwo=2\r\nONE=dup\r\n[Beta]\r\n[alpha]\r\nthree=3\r\n");
  EXPECT_EQ(Read(nullptr, nullptr, "", "APP.INI"), std::string("Alpha\0Beta\0", 11));
  EXPECT_EQ(Read("ALPHA", nullptr, "", "APP.INI"), std::string("one\0Two\0", 8));
  EXPECT_EQ(Read("Beta", nullptr, "", "APP.INI"), "");
  EXPECT_EQ(Read("Gamma", nullptr, "", "APP.INI"), "");

  char buf[16];
  std::fill(std::begin(buf), std::end(buf), 'z');
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, 12, "APP.INI"), 11u);
  EXPECT_EQ(std::string(buf, 12), std::string("Alpha\0Beta\0\0", 12));

  // Too small: the last string is cut and followed by two NULs.
  std::fill(std::begin(buf), std::end(buf), 'z');
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, 11, "APP.INI"), 9u);
  EXPECT_EQ(std::string(buf, 12), std::string("Alpha\0Bet\0\0z", 12));
  std::fill(std::begin(buf), std::end(buf), 'z');
  EXPECT_EQ(GetPrivateProfileStringA("Alpha", nullptr, "", buf, 5, "APP.INI"), 3u);
  EXPECT_EQ(std::string(buf, 6), std::string("one\0\0z", 6));

  std::fill(std::begin(buf), std::end(buf), 'z');
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, 4, "NONE.INI"), 0u);
  EXPECT_EQ(buf[0], '\0');
}

TEST_F(ProfileTest, WriteCreatesDirectoryFileAndSection) {
  std::string windir = dir_ + "/new/win";
  setenv("TILMOR_WINDIR", windir.c_str(), 1);
  ASSERT_EQ(WritePrivateProfileStringA("Main", "Key", "Value", "APP.INI"), 1);
  EXPECT_EQ(Get(windir + "/APP.INI"), "[Main]\r\nKey=Value\r\n");

  ASSERT_EQ(WritePrivateProfileStringA("Other", "k", "v", "APP.INI"), 1);
  EXPECT_EQ(Get(windir + "/APP.INI"), "[Main]\r\nKey=Value\r\n[Other]\r\nk=v\r\n");
  EXPECT_EQ(Read("other", "K", "", "APP.INI"), "v");

  EXPECT_EQ(WritePrivateProfileStringA(nullptr, "k", "v", "APP.INI"), 0);
  // Only the Windows directory is made on demand.
  EXPECT_EQ(WritePrivateProfileStringA("A", "a", "1", "NODIR\\APP.INI"), 0);
  EXPECT_FALSE(fs::exists("NODIR"));
  EXPECT_EQ(WritePrivateProfileStringA("A", "a", "1", "Q:\\APP.INI"), 0);
}

TEST_F(ProfileTest, ReplaceKeepsEveryOtherLineByteForByte) {
  const std::string before =
      "; header comment\n"
      "stray line outside\r\n"
      "\r\n"
      "[First]\r"
      "  odd line without equals  \n"
      "KeY = old value \r\n"
      "\t; tabbed comment\r\n"
      "\r\n"
      "[Second]\n"
      "x=1";
  Put(Path("APP.INI"), before);
  ASSERT_EQ(WritePrivateProfileStringA("FIRST", "key", "new", "APP.INI"), 1);
  std::string after = before;
  after.replace(after.find("KeY = old value \r\n"), 18, "KeY=new\r\n");
  EXPECT_EQ(Get(Path("APP.INI")), after);

  // Another spelling of the key still finds the same line.
  ASSERT_EQ(WritePrivateProfileStringA("First", "KEY", "new", "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")), after);
}

TEST_F(ProfileTest, NewKeyGoesAfterLastKeyOfItsSection) {
  Put(Path("APP.INI"),
      "[A]\r\na=1\r\n; about B\r\n\r\n\r\n[B]\r\n[C]\r\nc=1");
  ASSERT_EQ(WritePrivateProfileStringA("A", "b", "2", "APP.INI"), 1);
  ASSERT_EQ(WritePrivateProfileStringA("B", "k", "v", "APP.INI"), 1);
  ASSERT_EQ(WritePrivateProfileStringA("C", "d", "2", "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")),
            "[A]\r\na=1\r\nb=2\r\n; about B\r\n\r\n\r\n[B]\r\nk=v\r\n[C]\r\nc=1\r\nd=2\r\n");

  // A new section must not run into an unterminated last line.
  Put(Path("APP.INI"), "[A]\na=1");
  ASSERT_EQ(WritePrivateProfileStringA("B", "b", "2", "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")), "[A]\na=1\r\n[B]\r\nb=2\r\n");
}

TEST_F(ProfileTest, DeleteKeyAndSection) {
  Put(Path("APP.INI"), "[A]\r\na=1\r\nb=2\r\n; kept\r\n[B]\r\nx=1\r\n\r\n[C]\r\nc=3\r\n");
  ASSERT_EQ(WritePrivateProfileStringA("a", "A", nullptr, "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")), "[A]\r\nb=2\r\n; kept\r\n[B]\r\nx=1\r\n\r\n[C]\r\nc=3\r\n");
  ASSERT_EQ(WritePrivateProfileStringA("b", nullptr, nullptr, "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")), "[A]\r\nb=2\r\n; kept\r\n[C]\r\nc=3\r\n");
  EXPECT_EQ(Read("B", "x", "gone", "APP.INI"), "gone");

  // Deleting what is not there leaves the file alone and creates none.
  ASSERT_EQ(WritePrivateProfileStringA("Z", nullptr, nullptr, "APP.INI"), 1);
  ASSERT_EQ(WritePrivateProfileStringA("A", "zz", nullptr, "APP.INI"), 1);
  EXPECT_EQ(Get(Path("APP.INI")), "[A]\r\nb=2\r\n; kept\r\n[C]\r\nc=3\r\n");
  ASSERT_EQ(WritePrivateProfileStringA("A", "k", nullptr, "NEW.INI"), 1);
  EXPECT_FALSE(fs::exists(Path("NEW.INI")));

  // A deleted section must not reappear from a later duplicate.
  Put(Path("APP.INI"), "[A]\r\nk=1\r\n[B]\r\n[a]\r\nk=2\r\n");
  ASSERT_EQ(WritePrivateProfileStringA("A", nullptr, nullptr, "APP.INI"), 1);
  EXPECT_EQ(Read("A", "k", "gone", "APP.INI"), "gone");
  EXPECT_EQ(Get(Path("APP.INI")), "[B]\r\n");
}

TEST_F(ProfileTest, WriteKeepsPermissionsAndLeavesNoTempFile) {
  Put(Path("APP.INI"), "[A]\r\na=1\r\n");
  ASSERT_EQ(chmod(Path("APP.INI").c_str(), 0640), 0);
  ASSERT_EQ(WritePrivateProfileStringA("A", "a", "2", "APP.INI"), 1);
  struct stat st;
  ASSERT_EQ(stat(Path("APP.INI").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(ProfileTest, FileNamesResolveLikeOtherPaths) {
  fs::create_directories("Conf");
  Put("Conf/App.ini", "[S]\r\nk=here\r\n");
  EXPECT_EQ(win::ProfilePath("CONF\\APP.INI"), "Conf/App.ini");
  EXPECT_EQ(Read("S", "k", "", "CONF\\APP.INI"), "here");
  // Without a directory part the name is looked for in the Windows directory.
  Put(Path("Mine.Ini"), "[S]\r\nk=windir\r\n");
  EXPECT_EQ(win::ProfilePath("MINE.INI"), Path("Mine.Ini"));
  EXPECT_EQ(win::ProfileString("S", "K", "", "mine.ini"), "windir");
}

TEST_F(ProfileTest, WinIniFoundInAnyCase) {
  Put(Path("win.ini"), "[Desktop]\r\nWallpaper=tiles.bmp\r\n");
  char buf[32];
  EXPECT_EQ(GetProfileStringA("DESKTOP", "wallpaper", "", buf, sizeof buf), 9u);
  EXPECT_STREQ(buf, "tiles.bmp");
  ASSERT_EQ(WriteProfileStringA("Desktop", "Pattern", "none"), 1);
  EXPECT_EQ(Get(Path("win.ini")), "[Desktop]\r\nWallpaper=tiles.bmp\r\nPattern=none\r\n");
  EXPECT_FALSE(fs::exists(Path("WIN.INI")));
  EXPECT_EQ(win::WinIniString("desktop", "PATTERN", "x"), "none");
  EXPECT_EQ(win::WinIniString("desktop", "missing", "x "), "x");
}

TEST_F(ProfileTest, StringFormsStopAt255Characters) {
  std::string longValue(300, 'v');
  ASSERT_EQ(WritePrivateProfileStringA("S", "k", longValue.c_str(), "APP.INI"), 1);
  EXPECT_EQ(Read("S", "k", "", "APP.INI"), longValue);
  EXPECT_EQ(win::ProfileString("S", "k", "", "APP.INI"), std::string(255, 'v'));
}

}  // namespace
