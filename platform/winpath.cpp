#include "winpath.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <vector>

#include "codepage.h"
#include "files.h"
#include "profile.h"

namespace win {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrivePrefix(std::string_view name) {
  return name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == ':';
}

std::string StripTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

// Upper-cases a UTF-8 name the way the Windows file system compares: ASCII
// letters and U+00E0..U+00FE except U+00F7. Both ranges sit in the two-byte
// sequences C3 A0..C3 BE, so folding works on the bytes; a C3 byte is never a
// continuation byte, so no false pairs can arise in well-formed names.
std::string FoldUtf8(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 0x20);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      unsigned char d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
      ++i;
    }
  }
  return out;
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& dir, const std::string& part) {
  if (dir.empty()) return part;
  if (dir.back() == '/') return dir + part;
  return dir + "/" + part;
}

// The entry of `dir` that `part` (UTF-8) names: exact, else the first
// case-insensitive match in byte order, else nothing.
std::optional<std::string> FindEntry(const std::string& dir, const std::string& part) {
  if (EntryExists(Join(dir.empty() ? "." : dir, part))) return part;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::nullopt;
  const std::string want = FoldUtf8(part);
  std::optional<std::string> best;
  while (const dirent* e = readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (FoldUtf8(n) != want) continue;
    // std::string compares as unsigned bytes, which is the order we want.
    if (!best || n < std::string_view(*best)) best = std::string(n);
  }
  closedir(d);
  return best;
}

// Root host directory of a drive letter, or nullopt when not mapped.
std::optional<std::string> DriveRoot(char letter) {
  std::string value = WinIniString("Drives", std::string(1, letter), "");
  if (value.empty()) {
    if (letter == 'C' || letter == 'c') return std::string("/");
    return std::nullopt;
  }
  // Hand-edited files are usually UTF-8; ones written through the profile
  // functions are Windows-1252.
  if (!IsWellFormedUtf8(value)) value = Cp1252ToUtf8(value);
  // A relative root lies beside WIN.INI, wherever the program goes.
  if (value[0] != '/') value = Join(WindowsDirectory(), value);
  return StripTrailingSlashes(value);
}

char g_drive = 0;  // chosen by SetCurrentDirectory; 0: from the working directory

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; }

bool Contains(const std::string& root, const std::string& path) {
  if (root == "/") return !path.empty() && path[0] == '/';
  return path == root ||
         (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

std::string Canonical(const std::string& p) {
  char buf[PATH_MAX];
  if (realpath(p.c_str(), buf)) return buf;
  return p;
}

std::string WorkingDirectory() {
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) return buf;
  return "/";
}

// The Windows form of `path`, which lies below `root` on drive `letter`.
std::string OnDrive(char letter, const std::string& root, const std::string& path) {
  std::string rel = root == "/" ? path : path.substr(std::min(path.size(), root.size()));
  size_t start = rel.find_first_not_of('/');
  rel = start == std::string::npos ? std::string() : rel.substr(start);
  for (char& c : rel)
    if (c == '/') c = '\\';
  std::string out(1, letter);
  out += ":\\";
  out += Utf8ToCp1252(rel);
  return out;
}

// The mapped drive whose root holds `path` with the longest root, skipping
// `except`; 0 when none does.
char DriveHolding(const std::string& path, char except, std::string* rootOut) {
  char best = 0;
  std::string bestRoot;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (letter == except) continue;
    auto root = DriveRoot(letter);
    if (!root) continue;
    std::string canon = Canonical(*root);
    if (Contains(canon, path) && (!best || canon.size() > bestRoot.size())) {
      best = letter;
      bestRoot = canon;
    }
  }
  if (rootOut) *rootOut = bestRoot;
  return best;
}

}  // namespace

std::string DriveRootPath(char letter) {
  auto root = DriveRoot(letter);
  return root ? *root : std::string();
}

char CurrentDrive() {
  if (g_drive) return g_drive;
  std::string cwd = WorkingDirectory();
  if (auto c = DriveRoot('C'); c && Contains(Canonical(*c), cwd)) return 'C';
  char other = DriveHolding(cwd, 'C', nullptr);
  return other ? other : 'C';
}

void ResetCurrentDrive() { g_drive = 0; }

std::string WindowsPathOf(const std::string& host) {
  char current = CurrentDrive();
  if (auto root = DriveRoot(current)) {
    std::string canon = Canonical(*root);
    if (Contains(canon, host)) return OnDrive(current, canon, host);
  }
  std::string root;
  char other = DriveHolding(host, current, &root);
  return other ? OnDrive(other, root, host) : std::string();
}

std::string CurrentDirectory() {
  std::string w = WindowsPathOf(WorkingDirectory());
  if (w.empty()) w = std::string(1, CurrentDrive()) + ":\\";
  return w;
}

std::string DriveDirectory(char letter) {
  letter = Upper(letter);
  if (!DriveRoot(letter)) return "";
  if (letter == CurrentDrive()) return CurrentDirectory();
  return std::string(1, letter) + ":\\";
}

int SetCurrentDirectory(std::string_view name) {
  if (name.empty()) return kIoPathNotFound;
  const bool prefixed = HasDrivePrefix(name);
  const char drive = prefixed ? Upper(name[0]) : CurrentDrive();
  ResolvedPath r = ResolvePath(name);
  if (r.error != PathError::None || r.host.empty()) return kIoPathNotFound;
  const std::string before = WorkingDirectory();
  if (chdir(r.host.c_str()) != 0) {
    int e = errno;
    struct stat st;
    if (e == ENOTDIR && stat(r.host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return kIoDirectoryName;
    return IoErrorForPath(e, r.host);
  }
  // ".." at a drive's root stays there.
  if (auto root = DriveRoot(drive)) {
    std::string canon = Canonical(*root);
    if (!Contains(canon, WorkingDirectory()) && (prefixed || Contains(canon, before)))
      if (chdir(canon.c_str()) != 0) return IoErrorForPath(errno, canon);
  }
  g_drive = drive;
  return kIoOk;
}

std::string FullPathName(std::string_view name) {
  if (name.empty()) return "";
  std::string prefix;  // "X:" or "\\\\server\\share"
  std::string rest;
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
    // A UNC name keeps its server and share.
    std::string_view body = name.substr(2);
    size_t a = body.find_first_of("\\/");
    size_t b = a == std::string_view::npos ? a : body.find_first_of("\\/", a + 1);
    prefix = "\\\\" + std::string(body.substr(0, b));
    for (char& c : prefix)
      if (c == '/') c = '\\';
    rest = b == std::string_view::npos ? std::string() : std::string(body.substr(b));
  } else if (HasDrivePrefix(name)) {
    prefix = std::string(name.substr(0, 2));
    rest = std::string(name.substr(2));
  } else if (IsSeparator(name[0])) {
    prefix = std::string(1, CurrentDrive()) + ":";
    rest = std::string(name);
  } else {
    std::string cur = CurrentDirectory();
    prefix = cur.substr(0, 2);
    rest = cur.substr(2) + "\\" + std::string(name);
  }
  std::vector<std::string> parts;
  for (size_t i = 0; i < rest.size();) {
    if (IsSeparator(rest[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < rest.size() && !IsSeparator(rest[j])) ++j;
    std::string part = rest.substr(i, j - i);
    i = j;
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    // Windows drops trailing points and blanks of a part.
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) parts.push_back(part);
  }
  std::string out = prefix + "\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  if (!parts.empty() && IsSeparator(name.back())) out += '\\';
  return out;
}

std::string WindowsDirectory() {
  const char* env = std::getenv("TILMOR_WINDIR");
  if (env && *env) return StripTrailingSlashes(env);
  // The XDG base directories: a relative XDG_CONFIG_HOME counts as unset.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return Join(StripTrailingSlashes(xdg), "tilmor");
  std::string home;
  if (const char* h = std::getenv("HOME"); h && *h) {
    home = h;
  } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
    home = pw->pw_dir;
  }
  return Join(StripTrailingSlashes(home.empty() ? "/" : home), ".config/tilmor");
}

bool EnsureWindowsDirectory() {
  const std::string dir = WindowsDirectory();
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos != dir.size() && dir[pos] != '/') continue;
    const std::string prefix = dir.substr(0, pos);
    if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string SystemDirectory() { return WindowsDirectory() + "/system"; }

std::string MatchDirectoryEntry(const std::string& dir, std::string_view part) {
  std::string utf8 = Cp1252ToUtf8(part);
  if (auto found = FindEntry(dir, utf8)) return *found;
  return utf8;
}

ResolvedPath ResolvePath(std::string_view name) {
  ResolvedPath result;
  if (name.empty()) return result;

  std::string base;  // "" means the current directory
  if (HasDrivePrefix(name)) {
    auto root = DriveRoot(name[0]);
    if (!root) {
      result.error = PathError::PathNotFound;
      return result;
    }
    base = *root;
    name.remove_prefix(2);
    // "X:" alone is the drive's root as well.
    if (name.empty()) {
      result.host = base;
      return result;
    }
  } else if (IsSeparator(name[0])) {
    base = "/";
    // C keeps the host's root, so host paths of the command line still work.
    if (char d = CurrentDrive(); d != 'C')
      if (auto root = DriveRoot(d)) base = *root;
  }

  std::vector<std::string_view> parts;
  for (size_t i = 0; i < name.size();) {
    if (IsSeparator(name[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < name.size() && !IsSeparator(name[j])) ++j;
    parts.push_back(name.substr(i, j - i));
    i = j;
  }

  std::string path = base;
  bool scanning = true;
  for (std::string_view part : parts) {
    std::string utf8 = Cp1252ToUtf8(part);
    if (scanning && part != "." && part != "..") {
      if (auto found = FindEntry(path, utf8))
        utf8 = *found;
      else
        scanning = false;  // nothing below a missing part can exist
    }
    path = Join(path, utf8);
  }
  if (IsSeparator(name.back()) && path.back() != '/') path += '/';
  result.host = path;
  return result;
}

std::string HostPath(std::string_view name) {
  ResolvedPath r = ResolvePath(name);
  return r.error == PathError::None ? r.host : std::string();
}

bool HasDirectoryPart(std::string_view name) {
  return HasDrivePrefix(name) || name.find_first_of("\\/") != std::string_view::npos;
}

bool HasExtension(std::string_view name) {
  size_t start = HasDrivePrefix(name) ? 2 : 0;
  size_t sep = name.find_last_of("\\/");
  if (sep != std::string_view::npos && sep + 1 > start) start = sep + 1;
  return name.find('.', start) != std::string_view::npos;
}

bool FileExists(std::string_view name) {
  ResolvedPath r = ResolvePath(name);
  if (r.error != PathError::None || r.host.empty()) return false;
  struct stat st;
  return stat(r.host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace win
