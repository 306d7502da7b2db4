#include "winpath.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "codepage.h"
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
  return StripTrailingSlashes(value);
}

}  // namespace

std::string WindowsDirectory() {
  const char* env = std::getenv("TILMOR_WINDIR");
  if (env && *env) return StripTrailingSlashes(env);
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
