#include "files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "codepage.h"
#include "winpath.h"

namespace win {
namespace {

constexpr const char* kDosAttrib = "user.DOSATTRIB";
constexpr uint32_t kKeptBits = kAttrHidden | kAttrSystem | kAttrArchive;

// The sharing bytes, far beyond the end of any real file.
constexpr off_t kLockBase = 0x7FFFFFFFFFFF0000LL;
constexpr off_t kHasRead = kLockBase + 0;
constexpr off_t kHasWrite = kLockBase + 1;
constexpr off_t kDeniesRead = kLockBase + 2;
constexpr off_t kDeniesWrite = kLockBase + 3;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string StripSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string ParentOf(const std::string& host) {
  std::string s = StripSlashes(host);
  size_t slash = s.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return s.substr(0, slash);
}

std::string LeafOf(const std::string& host) {
  std::string s = StripSlashes(host);
  size_t slash = s.rfind('/');
  return slash == std::string::npos ? s : s.substr(slash + 1);
}

bool IsDirectory(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Read-only: no write permission bit at all, or none for this process.
bool IsReadOnly(const struct stat& st, const std::string& host) {
  if ((st.st_mode & 0222) == 0) return true;
  if (access(host.c_str(), W_OK) != 0) return errno == EACCES || errno == EROFS;
  return false;
}

// A leading "0x.." text, as Samba writes it (binary data may follow).
std::optional<uint32_t> ReadDosAttrib(const std::string& host) {
  char buf[256];
  ssize_t n = getxattr(host.c_str(), kDosAttrib, buf, sizeof buf - 1);
  if (n <= 2) return std::nullopt;
  buf[n] = '\0';
  if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X')) return std::nullopt;
  char* end = nullptr;
  unsigned long v = std::strtoul(buf + 2, &end, 16);
  if (end == buf + 2) return std::nullopt;
  return static_cast<uint32_t>(v);
}

// Windows-1252 letters to upper case, as the file system compares names.
unsigned char Fold(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

std::string FoldName(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
  return out;
}

bool Conflicts(int fd, off_t byte) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;  // no locks here: no sharing either
  return fl.l_type != F_UNLCK;
}

void Hold(int fd, off_t byte) {
  struct flock fl {};
  fl.l_type = F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = byte;
  fl.l_len = 1;
  fl.l_pid = 0;
  fcntl(fd, F_OFD_SETLK, &fl);
}

void Gate(int fd, int op) {
  while (flock(fd, op) != 0 && errno == EINTR) {
  }
}

// Mask tokens after the Win32 conversion of FindFirstFile.
enum class Tok { Char, Star, DosStar, Qm, DosDot };
struct Token {
  Tok kind;
  unsigned char c = 0;
};

std::vector<Token> Tokenize(std::string_view mask) {
  std::vector<Token> t;
  for (size_t i = 0; i < mask.size(); ++i) {
    char c = mask[i];
    char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
    bool last = i + 1 == mask.size();
    if (c == '*')
      t.push_back({next == '.' ? Tok::DosStar : Tok::Star});
    else if (c == '?')
      t.push_back({Tok::Qm});
    else if (c == '.' && (last || next == '?' || next == '*'))
      t.push_back({Tok::DosDot});
    else
      t.push_back({Tok::Char, Fold(static_cast<unsigned char>(c))});
  }
  return t;
}

class Matcher {
 public:
  Matcher(std::string_view name, std::vector<Token> tokens)
      : name_(FoldName(name)), tokens_(std::move(tokens)),
        memo_((tokens_.size() + 1) * (name_.size() + 1), -1) {
    size_t dot = name_.rfind('.');
    lastDot_ = dot == std::string::npos ? name_.size() : dot;
  }
  bool Run() { return Match(0, 0); }

 private:
  bool Match(size_t i, size_t j) {
    int8_t& m = memo_[i * (name_.size() + 1) + j];
    if (m >= 0) return m != 0;
    m = Compute(i, j) ? 1 : 0;
    return m != 0;
  }
  bool Compute(size_t i, size_t j) {
    const size_t n = name_.size();
    if (i == tokens_.size()) return j == n;
    const Token& t = tokens_[i];
    switch (t.kind) {
      case Tok::Char:
        return j < n && static_cast<unsigned char>(name_[j]) == t.c && Match(i + 1, j + 1);
      case Tok::Star:
        for (size_t k = j; k <= n; ++k)
          if (Match(i + 1, k)) return true;
        return false;
      case Tok::DosStar: {
        // Up to the name's last point, never across it.
        size_t limit = lastDot_ < n && j <= lastDot_ ? lastDot_ : n;
        for (size_t k = j; k <= limit; ++k)
          if (Match(i + 1, k)) return true;
        return false;
      }
      case Tok::Qm:
        if (j == n || name_[j] == '.') return Match(i + 1, j);
        return Match(i + 1, j + 1);
      case Tok::DosDot:
        if (j == n) return Match(i + 1, j);
        return name_[j] == '.' && Match(i + 1, j + 1);
    }
    return false;
  }

  std::string name_;
  std::vector<Token> tokens_;
  std::vector<int8_t> memo_;
  size_t lastDot_;
};

bool IsDriveRootText(std::string_view dir) {
  if (dir == "\\" || dir == "/") return true;
  if (dir.size() < 2 || dir[1] != ':') return false;
  return dir.size() == 2 || (dir.size() == 3 && IsSeparator(dir[2]));
}

}  // namespace

int IoErrorFromErrno(int err) {
  switch (err) {
    case 0: return kIoOk;
    case ENOENT: return kIoFileNotFound;
    case ENOTDIR:
    case ELOOP: return kIoPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kIoAccessDenied;
    case EROFS: return kIoWriteProtect;
    case EMFILE:
    case ENFILE: return kIoTooManyOpenFiles;
    case EBADF: return kIoInvalidHandle;
    case ENOMEM: return kIoNotEnoughMemory;
    case EEXIST: return kIoAlreadyExists;
    case ENOTEMPTY: return kIoDirNotEmpty;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kIoDiskFull;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN: return kIoSharingViolation;
    case EXDEV: return kIoNotSameDevice;
    case ENAMETOOLONG: return kIoNameTooLong;
    case EINVAL: return kIoInvalidParameter;
    case EILSEQ: return kIoInvalidName;
    default: return kIoGeneralFailure;
  }
}

int IoErrorForPath(int err, const std::string& host) {
  if (host.empty()) return kIoPathNotFound;
  if (err == ENOENT && !IsDirectory(ParentOf(host))) return kIoPathNotFound;
  return IoErrorFromErrno(err);
}

bool IsValidFileName(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':') name.remove_prefix(2);
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32) return false;
    switch (c) {
      case '<': case '>': case ':': case '"': case '|': case '?': case '*': return false;
      default: break;
    }
  }
  return true;
}

uint32_t FileAttributes(const std::string& host, int* error) {
  struct stat st;
  if (host.empty() || stat(host.c_str(), &st) != 0) {
    if (error) *error = IoErrorForPath(host.empty() ? ENOENT : errno, host);
    return kInvalidAttributes;
  }
  const bool dir = S_ISDIR(st.st_mode);
  uint32_t a;
  if (auto stored = ReadDosAttrib(host))
    a = *stored & kKeptBits;
  else
    a = dir ? 0 : kAttrArchive;
  if (dir)
    a |= kAttrDirectory;
  else if (IsReadOnly(st, host))
    a |= kAttrReadOnly;
  std::string leaf = LeafOf(host);
  if (leaf.size() > 1 && leaf[0] == '.' && leaf != "..") a |= kAttrHidden;
  if (a == 0) a = kAttrNormal;
  if (error) *error = kIoOk;
  return a;
}

int SetFileAttributes(const std::string& host, uint32_t attributes) {
  struct stat st;
  if (host.empty() || stat(host.c_str(), &st) != 0)
    return IoErrorForPath(host.empty() ? ENOENT : errno, host);
  const bool dir = S_ISDIR(st.st_mode);
  const mode_t mode = st.st_mode & 07777;
  const bool wantReadOnly = !dir && (attributes & kAttrReadOnly);
  // Writable first, so that the extended attribute can be written.
  if (!dir && !wantReadOnly && (mode & 0222) == 0) {
    mode_t mask = umask(0);
    umask(mask);
    mode_t w = 0222 & ~mask;
    if (w == 0) w = S_IWUSR;
    if (chmod(host.c_str(), mode | w) != 0) return IoErrorForPath(errno, host);
  }
  const uint32_t kept = attributes & kKeptBits;
  const bool isDefault = dir ? kept == 0 : kept == kAttrArchive;
  if (isDefault) {
    removexattr(host.c_str(), kDosAttrib);
  } else {
    char text[16];
    int n = std::snprintf(text, sizeof text, "0x%x", kept);
    // A file system without extended attributes cannot keep them; Windows
    // would have succeeded, so this is no failure of the program's.
    if (setxattr(host.c_str(), kDosAttrib, text, static_cast<size_t>(n), 0) != 0 &&
        errno != ENOTSUP && errno != EPERM && errno != EACCES)
      return IoErrorForPath(errno, host);
  }
  if (wantReadOnly && (mode & 0222) != 0)
    if (chmod(host.c_str(), mode & ~static_cast<mode_t>(0222)) != 0) return IoErrorForPath(errno, host);
  return kIoOk;
}

OpenedFile OpenShared(const std::string& host, unsigned access, unsigned share, Disposition how) {
  OpenedFile r;
  if (host.empty()) {
    r.error = kIoPathNotFound;
    return r;
  }
  struct stat st;
  const bool exists = stat(host.c_str(), &st) == 0;
  if (!exists && how == Disposition::OpenExisting) {
    r.error = IoErrorForPath(errno, host);
    return r;
  }
  if (exists && S_ISDIR(st.st_mode)) {
    r.error = kIoAccessDenied;
    return r;
  }
  const bool writes = (access & kAccessWrite) || how == Disposition::CreateAlways;
  if (exists && writes && IsReadOnly(st, host)) {
    r.error = kIoAccessDenied;
    return r;
  }
  int flags = O_CLOEXEC | O_NOCTTY;
  if (how == Disposition::CreateAlways) flags |= O_CREAT;
  int fd;
  bool readable = true;
  if (!writes) {
    fd = ::open(host.c_str(), flags | O_RDONLY);
  } else {
    // Read access as well where allowed: the sharing locks need it.
    fd = ::open(host.c_str(), flags | O_RDWR, 0666);
    if (fd < 0 && errno == EACCES && !(access & kAccessRead)) {
      fd = ::open(host.c_str(), flags | O_WRONLY, 0666);
      readable = false;
    }
  }
  if (fd < 0) {
    r.error = IoErrorForPath(errno, host);
    return r;
  }
  Gate(fd, LOCK_EX);
  bool conflict = ((access & kAccessRead) && Conflicts(fd, kDeniesRead)) ||
                  ((access & kAccessWrite) && Conflicts(fd, kDeniesWrite)) ||
                  (!(share & kShareRead) && Conflicts(fd, kHasRead)) ||
                  (!(share & kShareWrite) && Conflicts(fd, kHasWrite));
  if (conflict) {
    ::close(fd);
    r.error = kIoSharingViolation;
    return r;
  }
  if (readable) {
    if (access & kAccessRead) Hold(fd, kHasRead);
    if (access & kAccessWrite) Hold(fd, kHasWrite);
    if (!(share & kShareRead)) Hold(fd, kDeniesRead);
    if (!(share & kShareWrite)) Hold(fd, kDeniesWrite);
  }
  // Devices and pipes have nothing to empty.
  if (how == Disposition::CreateAlways && exists && S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
    int e = errno;
    ::close(fd);
    r.error = IoErrorFromErrno(e);
    return r;
  }
  Gate(fd, LOCK_UN);
  r.fd = fd;
  return r;
}

bool FileInUse(const std::string& host) {
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) fd = ::open(host.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  bool used = Conflicts(fd, kHasRead) || Conflicts(fd, kHasWrite);
  ::close(fd);
  return used;
}

int DeleteFile(const std::string& host) {
  struct stat st;
  if (host.empty() || lstat(host.c_str(), &st) != 0) return IoErrorForPath(host.empty() ? ENOENT : errno, host);
  if (S_ISDIR(st.st_mode)) return kIoAccessDenied;
  struct stat target;
  if (stat(host.c_str(), &target) == 0 && S_ISREG(target.st_mode)) {
    if (IsReadOnly(target, host)) return kIoAccessDenied;
    if (FileInUse(host)) return kIoSharingViolation;
  }
  if (unlink(host.c_str()) != 0) return IoErrorForPath(errno, host);
  return kIoOk;
}

int MoveFile(const std::string& from, const std::string& to) {
  struct stat src;
  if (from.empty() || lstat(from.c_str(), &src) != 0) return IoErrorForPath(from.empty() ? ENOENT : errno, from);
  if (to.empty()) return kIoPathNotFound;
  if (S_ISREG(src.st_mode) && FileInUse(from)) return kIoSharingViolation;
  // The target must not exist under any case, unless it is the source
  // itself (a change of case only).
  std::string dir = ParentOf(to);
  std::string leaf = LeafOf(to);
  std::string existing = MatchDirectoryEntry(dir, Utf8ToCp1252(leaf));
  struct stat dst;
  if (lstat((dir + "/" + existing).c_str(), &dst) == 0) {
    if (dst.st_dev != src.st_dev || dst.st_ino != src.st_ino) return kIoAlreadyExists;
    if (rename(from.c_str(), to.c_str()) != 0) return IoErrorForPath(errno, to);
    return kIoOk;
  }
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return kIoOk;
  if (errno != EINVAL && errno != ENOSYS) return IoErrorForPath(errno, to);
  if (rename(from.c_str(), to.c_str()) != 0) return IoErrorForPath(errno, to);
  return kIoOk;
}

int CreateDirectory(const std::string& host) {
  if (host.empty()) return kIoPathNotFound;
  if (mkdir(host.c_str(), 0777) != 0) return IoErrorForPath(errno, host);
  return kIoOk;
}

int RemoveDirectory(const std::string& host) {
  if (host.empty()) return kIoPathNotFound;
  char here[PATH_MAX], there[PATH_MAX];
  if (getcwd(here, sizeof here) && realpath(host.c_str(), there) && std::string(here) == there)
    return kIoSharingViolation;  // Windows holds the working directory open
  if (rmdir(host.c_str()) != 0) {
    if (errno == EEXIST) return kIoDirNotEmpty;
    if (errno == ENOTDIR && !IsDirectory(host) && access(host.c_str(), F_OK) == 0) return kIoDirectoryName;
    return IoErrorForPath(errno, host);
  }
  return kIoOk;
}

bool MatchesDosMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  if (mask.empty()) return false;
  return Matcher(name, Tokenize(mask)).Run();
}

bool FileSearch::Start(std::string_view mask) {
  entries_.clear();
  next_ = 0;
  size_t sep = mask.find_last_of("\\/");
  std::string_view dir, pattern;
  if (sep != std::string_view::npos) {
    dir = mask.substr(0, sep + 1);
    pattern = mask.substr(sep + 1);
  } else if (mask.size() >= 2 && mask[1] == ':') {
    dir = mask.substr(0, 2);
    pattern = mask.substr(2);
  } else {
    pattern = mask;
  }
  if (pattern.empty()) return false;
  std::string host = ".";
  if (!dir.empty()) {
    ResolvedPath r = ResolvePath(dir);
    if (r.error != PathError::None || r.host.empty()) return false;
    host = r.host;
  }
  DIR* d = opendir(host.c_str());
  if (!d) return false;
  std::string prefix = host.back() == '/' ? host : host + "/";
  std::vector<FoundEntry> dots, rest;
  bool root = IsDriveRootText(dir);
  if (!root) {
    char real[PATH_MAX];
    root = realpath(host.c_str(), real) && std::string(real) == "/";
  }
  if (!root) {
    for (const char* n : {".", ".."})
      if (MatchesDosMask(n, pattern)) dots.push_back({n, kAttrDirectory});
  }
  while (const dirent* e = readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    std::string name = Utf8ToCp1252(n);
    if (!MatchesDosMask(name, pattern)) continue;
    uint32_t a = FileAttributes(prefix + std::string(n));
    if (a == kInvalidAttributes) a = kAttrArchive;  // a dangling link is still an entry
    rest.push_back({std::move(name), a});
  }
  closedir(d);
  std::sort(rest.begin(), rest.end(), [](const FoundEntry& a, const FoundEntry& b) {
    std::string fa = FoldName(a.name), fb = FoldName(b.name);
    return fa != fb ? fa < fb : a.name < b.name;
  });
  entries_ = std::move(dots);
  entries_.insert(entries_.end(), rest.begin(), rest.end());
  return !entries_.empty();
}

std::optional<FoundEntry> FileSearch::Next() {
  if (next_ >= entries_.size()) return std::nullopt;
  return entries_[next_++];
}

bool DiskSpace(const std::string& host, uint64_t* total, uint64_t* available) {
  struct statvfs s;
  if (host.empty() || statvfs(host.c_str(), &s) != 0) return false;
  *total = static_cast<uint64_t>(s.f_blocks) * s.f_frsize;
  *available = static_cast<uint64_t>(s.f_bavail) * s.f_frsize;
  return true;
}

}  // namespace win
