// The current drive and directory, CHDIR's rules and full path names.
#include <unistd.h>

#include "files.h"
#include "temp_dir.h"

namespace {

using datatest::TempDirTest;
namespace fs = std::filesystem;

class DrivesTest : public TempDirTest {
 protected:
  // The temporary directory in Windows form on drive C (= "/").
  std::string OnC(const std::string& rest = "") const {
    std::string w = "C:" + dir_;
    for (char& c : w)
      if (c == '/') c = '\\';
    return rest.empty() ? w : w + "\\" + rest;
  }
  void MapDrive(char letter, const std::string& host) {
    fs::create_directories(host);
    std::string ini = Get(Path("WIN.INI"));
    if (ini.empty()) ini = "[Drives]\r\n";
    ini += std::string(1, letter) + "=" + host + "\r\n";
    Put(Path("WIN.INI"), ini);
  }
  static std::string Cwd() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? buf : "";
  }
};

TEST_F(DrivesTest, WorkingDirectoryOnDriveC) {
  EXPECT_EQ(win::CurrentDrive(), 'C');
  EXPECT_EQ(win::CurrentDirectory(), OnC());
  EXPECT_EQ(win::DriveDirectory('c'), OnC());
  EXPECT_EQ(win::DriveDirectory('Q'), "");
  EXPECT_EQ(win::WindowsPathOf("/"), "C:\\");
  fs::create_directory(Path("Sub"));
  ASSERT_EQ(win::SetCurrentDirectory("SUB"), 0);
  EXPECT_EQ(Cwd(), Path("Sub"));
  EXPECT_EQ(win::CurrentDirectory(), OnC("Sub"));
  ASSERT_EQ(win::SetCurrentDirectory(".."), 0);
  EXPECT_EQ(Cwd(), dir_);
}

TEST_F(DrivesTest, ChangingDirectoryFails) {
  EXPECT_EQ(win::SetCurrentDirectory("missing"), win::kIoFileNotFound);
  EXPECT_EQ(win::SetCurrentDirectory("no\\such"), win::kIoPathNotFound);
  EXPECT_EQ(win::SetCurrentDirectory("Q:\\"), win::kIoPathNotFound);
  EXPECT_EQ(win::SetCurrentDirectory(""), win::kIoPathNotFound);
  Put(Path("file"), "");
  EXPECT_EQ(win::SetCurrentDirectory("file"), win::kIoDirectoryName);
  EXPECT_EQ(Cwd(), dir_);
  EXPECT_EQ(win::CurrentDrive(), 'C');
}

TEST_F(DrivesTest, AnotherDriveBecomesCurrent) {
  MapDrive('D', Path("ddrive"));
  fs::create_directories(Path("ddrive/Data/Deep"));
  ASSERT_EQ(win::SetCurrentDirectory("D:\\DATA"), 0);
  EXPECT_EQ(win::CurrentDrive(), 'D');
  EXPECT_EQ(win::CurrentDirectory(), "D:\\Data");
  EXPECT_EQ(win::DriveDirectory('D'), "D:\\Data");
  EXPECT_EQ(win::DriveDirectory('C'), "C:\\");
  // A leading backslash now starts at D's root.
  Put(Path("ddrive/top.txt"), "t");
  EXPECT_EQ(win::HostPath("\\TOP.TXT"), Path("ddrive") + "/top.txt");
  EXPECT_EQ(win::FullPathName("\\x\\y"), "D:\\x\\y");
  // ".." never leaves the drive's root.
  ASSERT_EQ(win::SetCurrentDirectory("..\\..\\.."), 0);
  EXPECT_EQ(Cwd(), Path("ddrive"));
  EXPECT_EQ(win::CurrentDirectory(), "D:\\");
  ASSERT_EQ(win::SetCurrentDirectory("D:\\DATA\\DEEP\\..\\..\\.."), 0);
  EXPECT_EQ(Cwd(), Path("ddrive"));
  // "D:" alone is D's root; back to C.
  ASSERT_EQ(win::SetCurrentDirectory(OnC()), 0);
  EXPECT_EQ(win::CurrentDrive(), 'C');
  EXPECT_EQ(win::HostPath("\\"), "/");
  ASSERT_EQ(win::SetCurrentDirectory("D:"), 0);
  EXPECT_EQ(Cwd(), Path("ddrive"));
}

TEST_F(DrivesTest, StartingUnderAnotherDrivesRoot) {
  // With C mapped elsewhere, a working directory below D's root is on D.
  MapDrive('C', Path("cdrive"));
  MapDrive('D', dir_);
  EXPECT_EQ(win::CurrentDrive(), 'D');
  EXPECT_EQ(win::CurrentDirectory(), "D:\\");
  // Inside both roots the current drive wins.
  EXPECT_EQ(win::WindowsPathOf(Path("cdrive") + "/x"), "D:\\cdrive\\x");
  EXPECT_EQ(win::WindowsPathOf("/elsewhere"), "");
}

TEST_F(DrivesTest, RelativeRootsLieBesideWinIni) {
  fs::create_directories(Path("rel/Inner"));
  Put(Path("WIN.INI"), "[Drives]\r\nE=rel\r\n");
  EXPECT_EQ(win::DriveRootPath('e'), Path("rel"));
  ASSERT_EQ(win::SetCurrentDirectory("E:\\INNER"), 0);
  EXPECT_EQ(Cwd(), Path("rel/Inner"));
  // Still the same root after the working directory moved.
  EXPECT_EQ(win::HostPath("E:\\"), Path("rel") + "/");
  EXPECT_EQ(win::CurrentDirectory(), "E:\\Inner");
}

TEST_F(DrivesTest, FullPathNames) {
  EXPECT_EQ(win::FullPathName("a.txt"), OnC("a.txt"));
  EXPECT_EQ(win::FullPathName(".\\sub\\..\\b.txt"), OnC("b.txt"));
  EXPECT_EQ(win::FullPathName("C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(win::FullPathName("C:/a/b/"), "C:\\a\\b\\");
  EXPECT_EQ(win::FullPathName("C:\\..\\.."), "C:\\");
  EXPECT_EQ(win::FullPathName("C:"), "C:\\");
  EXPECT_EQ(win::FullPathName("x:name"), "x:\\name");
  EXPECT_EQ(win::FullPathName("\\top"), "C:\\top");
  EXPECT_EQ(win::FullPathName("name.  "), OnC("name"));
  EXPECT_EQ(win::FullPathName("\\\\server\\share\\a\\..\\b"), "\\\\server\\share\\b");
  EXPECT_EQ(win::FullPathName(""), "");
}

}  // namespace
