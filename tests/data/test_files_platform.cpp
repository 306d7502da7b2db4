// The Windows file layer on real files: error codes, attributes, sharing
// within one process and between two, delete, move, directories, search.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "files.h"
#include "temp_dir.h"

namespace {

using datatest::TempDirTest;
namespace fs = std::filesystem;
using namespace win;

class FilesTest : public TempDirTest {
 protected:
  // True when this file system keeps user extended attributes.
  bool HasXattr() {
    Put(Path(".probe"), "");
    bool ok = setxattr(Path(".probe").c_str(), "user.test", "1", 1, 0) == 0;
    unlink(Path(".probe").c_str());
    return ok;
  }
  int Open(const std::string& name, unsigned access, unsigned share,
           Disposition how = Disposition::OpenExisting, int* error = nullptr) {
    OpenedFile f = OpenShared(Path(name), access, share, how);
    if (error) *error = f.error;
    if (f.fd >= 0) fds_.insert(f.fd);
    return f.fd;
  }
  void Close(int fd) {
    fds_.erase(fd);
    close(fd);
  }
  void TearDown() override {
    for (int fd : fds_) close(fd);
    TempDirTest::TearDown();
  }
  std::set<int> fds_;
};

TEST_F(FilesTest, ErrnoBecomesWindowsCodes) {
  EXPECT_EQ(IoErrorForPath(ENOENT, Path("missing.txt")), kIoFileNotFound);
  EXPECT_EQ(IoErrorForPath(ENOENT, Path("nodir/missing.txt")), kIoPathNotFound);
  EXPECT_EQ(IoErrorForPath(ENOENT, ""), kIoPathNotFound);
  EXPECT_EQ(IoErrorFromErrno(EACCES), kIoAccessDenied);
  EXPECT_EQ(IoErrorFromErrno(EMFILE), kIoTooManyOpenFiles);
  EXPECT_EQ(IoErrorFromErrno(EEXIST), kIoAlreadyExists);
  EXPECT_EQ(IoErrorFromErrno(ENOTEMPTY), kIoDirNotEmpty);
  EXPECT_EQ(IoErrorFromErrno(ENOSPC), kIoDiskFull);
  // Whatever the system says, programs see a Windows code, never errno.
  const std::set<int> known = {2, 3, 4, 5, 6, 8, 17, 19, 31, 32, 87, 112, 123, 145, 183, 206};
  for (int e = 1; e < 134; ++e) EXPECT_TRUE(known.count(IoErrorFromErrno(e))) << "errno " << e;
}

TEST_F(FilesTest, InvalidNameCharacters) {
  EXPECT_TRUE(IsValidFileName("C:\\DATA\\A B.TXT"));
  EXPECT_TRUE(IsValidFileName("sub/x.dat"));
  for (const char* bad : {"a?b", "a*", "ab:c", "C:\\a:b", "q\"", "a<b", "a>b", "a|b", "tab\there"})
    EXPECT_FALSE(IsValidFileName(bad)) << bad;
}

TEST_F(FilesTest, AttributesOfPlainFilesAndDirectories) {
  Put(Path("a.txt"), "x");
  EXPECT_EQ(FileAttributes(Path("a.txt")), kAttrArchive);
  chmod(Path("a.txt").c_str(), 0444);
  EXPECT_EQ(FileAttributes(Path("a.txt")), kAttrArchive | kAttrReadOnly);
  fs::create_directory(Path("dir"));
  EXPECT_EQ(FileAttributes(Path("dir")), kAttrDirectory);
  EXPECT_EQ(FileAttributes(Path("dir/")), kAttrDirectory);
  Put(Path(".hidden"), "");
  EXPECT_EQ(FileAttributes(Path(".hidden")), kAttrArchive | kAttrHidden);
  int error = 0;
  EXPECT_EQ(FileAttributes(Path("none"), &error), kInvalidAttributes);
  EXPECT_EQ(error, kIoFileNotFound);
  EXPECT_EQ(FileAttributes(Path("no/none"), &error), kInvalidAttributes);
  EXPECT_EQ(error, kIoPathNotFound);
}

TEST_F(FilesTest, SetAttributesKeepsHiddenSystemArchive) {
  if (!HasXattr()) GTEST_SKIP() << "no extended attributes here";
  Put(Path("f"), "x");
  ASSERT_EQ(SetFileAttributes(Path("f"), kAttrHidden | kAttrSystem), 0);
  EXPECT_EQ(FileAttributes(Path("f")), kAttrHidden | kAttrSystem);
  char buf[32] = {0};
  ASSERT_GT(getxattr(Path("f").c_str(), "user.DOSATTRIB", buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "0x6");
  // No bits at all: a normal file.
  ASSERT_EQ(SetFileAttributes(Path("f"), 0), 0);
  EXPECT_EQ(FileAttributes(Path("f")), kAttrNormal);
  // Archive alone is the default and needs no attribute.
  ASSERT_EQ(SetFileAttributes(Path("f"), kAttrArchive), 0);
  EXPECT_EQ(getxattr(Path("f").c_str(), "user.DOSATTRIB", buf, sizeof buf), -1);
  EXPECT_EQ(FileAttributes(Path("f")), kAttrArchive);
  // Samba's form: the text, a zero and binary data behind it.
  const char samba[] = "0x22\0\x03\x00\x04";
  ASSERT_EQ(setxattr(Path("f").c_str(), "user.DOSATTRIB", samba, sizeof samba - 1, 0), 0);
  EXPECT_EQ(FileAttributes(Path("f")), kAttrHidden | kAttrArchive);
}

TEST_F(FilesTest, ReadOnlyFollowsTheWritePermission) {
  Put(Path("r"), "data");
  ASSERT_EQ(SetFileAttributes(Path("r"), kAttrReadOnly | kAttrArchive), 0);
  struct stat st;
  ASSERT_EQ(stat(Path("r").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_EQ(FileAttributes(Path("r")), kAttrReadOnly | kAttrArchive);
  // Even root cannot open it for writing, delete it or create it anew.
  int error;
  EXPECT_LT(Open("r", kAccessWrite, kShareRead | kShareWrite, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoAccessDenied);
  EXPECT_LT(Open("r", kAccessRead | kAccessWrite, 3, Disposition::CreateAlways, &error), 0);
  EXPECT_EQ(error, kIoAccessDenied);
  EXPECT_EQ(DeleteFile(Path("r")), kIoAccessDenied);
  EXPECT_EQ(Get(Path("r")), "data");
  ASSERT_EQ(SetFileAttributes(Path("r"), kAttrArchive), 0);
  ASSERT_EQ(stat(Path("r").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(DeleteFile(Path("r")), 0);
  EXPECT_EQ(SetFileAttributes(Path("r"), 0), kIoFileNotFound);
}

TEST_F(FilesTest, SharingInsideOneProcess) {
  Put(Path("s"), "content");
  const unsigned all = kShareRead | kShareWrite;
  // Readers that share reading get along; a writer does not join them.
  int a = Open("s", kAccessRead, kShareRead);
  ASSERT_GE(a, 0);
  int b = Open("s", kAccessRead, kShareRead);
  ASSERT_GE(b, 0);
  int error;
  EXPECT_LT(Open("s", kAccessWrite, all, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoSharingViolation);
  // Creating anew is refused as well, and the file is left untouched.
  EXPECT_LT(Open("s", kAccessRead | kAccessWrite, all, Disposition::CreateAlways, &error), 0);
  EXPECT_EQ(error, kIoSharingViolation);
  EXPECT_EQ(Get(Path("s")), "content");
  Close(a);
  Close(b);
  // A writer that allows only reading keeps other writers out but lets a
  // reader in that allows writing; a reader that denies writing stays out.
  int w = Open("s", kAccessWrite, kShareRead);
  ASSERT_GE(w, 0);
  EXPECT_LT(Open("s", kAccessWrite, all, Disposition::OpenExisting, &error), 0);
  EXPECT_GE(Open("s", kAccessRead, all), 0);
  EXPECT_LT(Open("s", kAccessRead, kShareRead, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoSharingViolation);
  Close(w);
  // Exclusive: nobody else at all.
  for (int fd : std::set<int>(fds_)) Close(fd);
  int x = Open("s", kAccessRead | kAccessWrite, 0);
  ASSERT_GE(x, 0);
  EXPECT_LT(Open("s", kAccessRead, all), 0);
  EXPECT_TRUE(FileInUse(Path("s")));
  EXPECT_EQ(DeleteFile(Path("s")), kIoSharingViolation);
  EXPECT_EQ(MoveFile(Path("s"), Path("t")), kIoSharingViolation);
  Close(x);
  EXPECT_FALSE(FileInUse(Path("s")));
  EXPECT_GE(Open("s", kAccessRead, all), 0);
}

TEST_F(FilesTest, SharingBetweenTwoProcesses) {
  Put(Path("p"), "keep me");
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const std::string host = Path("p");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    OpenedFile f = OpenShared(host, kAccessRead | kAccessWrite, 0, Disposition::OpenExisting);
    char c = f.fd >= 0 ? 'y' : 'n';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    if (read(release[0], &c, 1) != 1) _exit(3);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  int error;
  EXPECT_LT(Open("p", kAccessRead, kShareRead | kShareWrite, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoSharingViolation);
  EXPECT_LT(Open("p", kAccessRead | kAccessWrite, 3, Disposition::CreateAlways, &error), 0);
  EXPECT_EQ(Get(Path("p")), "keep me");
  EXPECT_EQ(DeleteFile(Path("p")), kIoSharingViolation);
  ASSERT_EQ(write(release[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // The other process ended: its locks went with it.
  EXPECT_GE(Open("p", kAccessRead, kShareRead | kShareWrite), 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

TEST_F(FilesTest, CreateAlwaysEmptiesOrCreates) {
  Put(Path("c"), "old");
  int fd = Open("c", kAccessRead | kAccessWrite, 3, Disposition::CreateAlways);
  ASSERT_GE(fd, 0);
  Close(fd);
  EXPECT_EQ(Get(Path("c")), "");
  fd = Open("new", kAccessRead | kAccessWrite, 3, Disposition::CreateAlways);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(fs::exists(Path("new")));
  int error;
  EXPECT_LT(Open("nodir/new", kAccessWrite, 3, Disposition::CreateAlways, &error), 0);
  EXPECT_EQ(error, kIoPathNotFound);
  EXPECT_LT(Open("missing", kAccessRead, 3, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoFileNotFound);
  fs::create_directory(Path("d"));
  EXPECT_LT(Open("d", kAccessRead, 3, Disposition::OpenExisting, &error), 0);
  EXPECT_EQ(error, kIoAccessDenied);
  // Opened files do not go to started programs.
  EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
}

TEST_F(FilesTest, MoveFileRefusesExistingTargetsInAnyCase) {
  Put(Path("a.txt"), "A");
  Put(Path("b.txt"), "B");
  EXPECT_EQ(MoveFile(Path("a.txt"), Path("b.txt")), kIoAlreadyExists);
  EXPECT_EQ(MoveFile(Path("a.txt"), Path("B.TXT")), kIoAlreadyExists);
  EXPECT_EQ(Get(Path("b.txt")), "B");
  // Only the case changes: allowed.
  EXPECT_EQ(MoveFile(Path("a.txt"), Path("A.TXT")), 0);
  EXPECT_TRUE(fs::exists(Path("A.TXT")));
  EXPECT_FALSE(fs::exists(Path("a.txt")));
  fs::create_directory(Path("sub"));
  EXPECT_EQ(MoveFile(Path("A.TXT"), Path("sub/c.txt")), 0);
  EXPECT_EQ(Get(Path("sub/c.txt")), "A");
  EXPECT_EQ(MoveFile(Path("gone"), Path("x")), kIoFileNotFound);
  EXPECT_EQ(MoveFile(Path("b.txt"), Path("nodir/x")), kIoPathNotFound);
}

TEST_F(FilesTest, Directories) {
  EXPECT_EQ(CreateDirectory(Path("d")), 0);
  EXPECT_EQ(CreateDirectory(Path("d")), kIoAlreadyExists);
  EXPECT_EQ(CreateDirectory(Path("x/y")), kIoPathNotFound);
  Put(Path("d/f"), "");
  EXPECT_EQ(RemoveDirectory(Path("d")), kIoDirNotEmpty);
  EXPECT_EQ(DeleteFile(Path("d")), kIoAccessDenied);
  unlink(Path("d/f").c_str());
  ASSERT_EQ(chdir(Path("d").c_str()), 0);
  EXPECT_EQ(RemoveDirectory(Path("d")), kIoSharingViolation);  // the working directory
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  EXPECT_EQ(RemoveDirectory(Path("d")), 0);
  EXPECT_EQ(RemoveDirectory(Path("d")), kIoFileNotFound);
  Put(Path("plain"), "");
  EXPECT_EQ(RemoveDirectory(Path("plain")), kIoDirectoryName);
}

TEST_F(FilesTest, SearchOrderDotsAndAttributes) {
  fs::create_directory(Path("Sub"));
  Put(Path("b.TXT"), "");
  Put(Path("A.txt"), "");
  Put(Path("c.dat"), "");
  Put(Path("README"), "");
  FileSearch s;
  ASSERT_TRUE(s.Start("*.*"));
  std::vector<std::string> names;
  std::vector<uint32_t> attrs;
  while (auto e = s.Next()) {
    names.push_back(e->name);
    attrs.push_back(e->attributes);
  }
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "A.txt", "b.TXT", "c.dat", "README", "Sub"}));
  EXPECT_EQ(attrs[0], kAttrDirectory);
  EXPECT_EQ(attrs.back(), kAttrDirectory);
  EXPECT_EQ(attrs[2], kAttrArchive);

  ASSERT_TRUE(s.Start("*.txt"));
  EXPECT_EQ(s.Next()->name, "A.txt");
  EXPECT_EQ(s.Next()->name, "b.TXT");
  EXPECT_FALSE(s.Next());
  EXPECT_FALSE(s.Next());

  // A directory part is resolved the Windows way; names come without it.
  Put(Path("Sub/Inner.Txt"), "");
  ASSERT_TRUE(s.Start("SUB\\*.TXT"));
  EXPECT_EQ(s.Next()->name, "Inner.Txt");
  EXPECT_FALSE(s.Next());

  EXPECT_FALSE(s.Start("*.none"));
  EXPECT_FALSE(s.Start("NODIR\\*.*"));
  EXPECT_FALSE(s.Start("Q:\\*.*"));
  EXPECT_FALSE(s.Start("SUB\\"));
  EXPECT_FALSE(s.Next());

  // The root of a drive has no "." and "..".
  ASSERT_TRUE(s.Start("C:\\*.*"));
  EXPECT_NE(s.Next()->name, ".");
}

TEST_F(FilesTest, DiskSpaceOfTheFileSystem) {
  uint64_t total = 0, available = 0;
  ASSERT_TRUE(DiskSpace(dir_, &total, &available));
  EXPECT_GT(total, 0u);
  EXPECT_LE(available, total);
  EXPECT_FALSE(DiskSpace(Path("none"), &total, &available));
  EXPECT_FALSE(DiskSpace("", &total, &available));
}

}  // namespace
