#include "profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "winpath.h"

namespace {

constexpr const char* kWinIni = "WIN.INI";

struct Line {
  std::string text;
  std::string eol;  // as found in the file; "" only on an unterminated last line
};

enum class Kind { Other, Section, Key };

struct Parsed {
  Kind kind = Kind::Other;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed, quotes kept
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// ASCII letters and the Windows-1252 letters à-þ (except ÷) to upper case.
unsigned char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldByte(static_cast<unsigned char>(a[i])) != FoldByte(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

Parsed Parse(const std::string& text) {
  Parsed p;
  std::string_view t = Trim(text);
  if (t.empty() || t.front() == ';') return p;
  if (t.front() == '[') {
    t.remove_prefix(1);
    p.kind = Kind::Section;
    p.name = Trim(t.substr(0, t.find(']')));
    return p;
  }
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return p;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return p;
  p.kind = Kind::Key;
  p.name = key;
  p.value = Trim(t.substr(eq + 1));
  return p;
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

std::vector<Line> SplitLines(const std::string& data) {
  std::vector<Line> lines;
  size_t start = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    if (data[i] != '\r' && data[i] != '\n') continue;
    size_t len = (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ? 2 : 1;
    lines.push_back({data.substr(start, i - start), data.substr(i, len)});
    i += len - 1;
    start = i + 1;
  }
  if (start < data.size()) lines.push_back({data.substr(start), ""});
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& l : lines) out += l.text + l.eol;
  return out;
}

// Reads the whole file; nullopt when it cannot be read (missing or otherwise).
std::optional<std::string> ReadFile(const std::string& path, int* err = nullptr) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (err) *err = errno;
    return std::nullopt;
  }
  std::string data;
  char buf[8192];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (err) *err = errno;
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return data;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Replaces the file by a complete new one, so readers and a crash only ever
// see the old or the new content. The old permission bits are kept.
bool ReplaceFile(std::string path, const std::string& data) {
  struct stat st;
  bool existed = false;
  if (lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      // Write through the link rather than replacing it by a plain file.
      char* real = realpath(path.c_str(), nullptr);
      if (real) {
        path = real;
        std::free(real);
      }
    }
    existed = stat(path.c_str(), &st) == 0;
  }
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);

  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = dir + "." + base + "." + std::to_string(getpid()) + "." + std::to_string(attempt);
    // 0666 lets the umask decide for new files, as a plain create would.
    fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data);
  if (ok && existed) ok = fchmod(fd, st.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(tmp.c_str());
  return ok;
}

const char* FileOrWinIni(const char* file) { return file ? file : kWinIni; }

// Index of the first header line of `section`, or lines.size().
size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    Parsed p = Parse(lines[i].text);
    if (p.kind == Kind::Section && EqualNoCase(p.name, section)) return i;
  }
  return lines.size();
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && Parse(lines[i].text).kind != Kind::Section) ++i;
  return i;
}

// Copies a NUL-separated list the Win32 way: cut short, it ends in two NULs
// and the result is size - 2.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
  std::string flat;
  for (const std::string& n : names) {
    flat += n;
    flat += '\0';
  }
  if (flat.size() + 1 <= size) {
    std::memcpy(buffer, flat.data(), flat.size());
    buffer[flat.size()] = '\0';
    return static_cast<uint32_t>(flat.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, flat.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

uint32_t CopyString(std::string_view s, char* buffer, uint32_t size) {
  size_t n = s.size() < size - 1 ? s.size() : size - 1;
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

void AddUnique(std::vector<std::string>& names, std::string name) {
  for (const std::string& n : names)
    if (EqualNoCase(n, name)) return;
  names.push_back(std::move(name));
}

}  // namespace

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                                  char* buffer, uint32_t size, const char* file) {
  if (size == 0 || !buffer) return 0;
  std::string path = win::ProfilePath(FileOrWinIni(file));
  std::vector<Line> lines;
  if (!path.empty())
    if (auto data = ReadFile(path)) lines = SplitLines(*data);

  if (!section) {
    std::vector<std::string> names;
    for (const Line& l : lines)
      if (Parsed p = Parse(l.text); p.kind == Kind::Section) AddUnique(names, p.name);
    return CopyList(names, buffer, size);
  }

  std::string_view wantSection = Trim(section);
  size_t header = FindSection(lines, wantSection);
  size_t end = header < lines.size() ? SectionEnd(lines, header) : header;
  if (!key) {
    std::vector<std::string> names;
    for (size_t i = header + 1; i < end; ++i)
      if (Parsed p = Parse(lines[i].text); p.kind == Kind::Key) AddUnique(names, p.name);
    return CopyList(names, buffer, size);
  }

  std::string_view wantKey = Trim(key);
  for (size_t i = header + 1; i < end; ++i) {
    Parsed p = Parse(lines[i].text);
    if (p.kind == Kind::Key && EqualNoCase(p.name, wantKey))
      return CopyString(Unquote(p.value), buffer, size);
  }
  std::string_view d = def ? def : "";
  while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
  return CopyString(d, buffer, size);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* file) {
  if (!section) return 0;
  const char* name = FileOrWinIni(file);
  if (!win::HasDirectoryPart(name) && !win::EnsureWindowsDirectory()) return 0;
  std::string path = win::ProfilePath(name);
  if (path.empty()) return 0;

  int err = 0;
  std::optional<std::string> original = ReadFile(path, &err);
  if (!original && err != ENOENT) return 0;
  std::vector<Line> lines = original ? SplitLines(*original) : std::vector<Line>();

  std::string_view wantSection = Trim(section);
  size_t header = FindSection(lines, wantSection);

  if (!key) {
    // Every copy goes, or a later duplicate would show through.
    while (header < lines.size()) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                  lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, header)));
      header = FindSection(lines, wantSection);
    }
  } else {
    std::string_view wantKey = Trim(key);
    if (header == lines.size()) {
      if (!value) return 1;
      if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = "\r\n";
      lines.push_back({"[" + std::string(wantSection) + "]", "\r\n"});
      lines.push_back({std::string(wantKey) + "=" + value, "\r\n"});
    } else {
      size_t end = SectionEnd(lines, header);
      size_t lastKey = header;
      bool replaced = false;
      for (size_t i = header + 1; i < end; ++i) {
        Parsed p = Parse(lines[i].text);
        if (p.kind != Kind::Key) continue;
        if (!EqualNoCase(p.name, wantKey)) {
          lastKey = i;
          continue;
        }
        if (!value) {
          lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
          --i, --end;
          continue;
        }
        if (!replaced) {
          lines[i] = {p.name + "=" + value, "\r\n"};
          replaced = true;
        }
        lastKey = i;
      }
      if (value && !replaced) {
        if (lines[lastKey].eol.empty()) lines[lastKey].eol = "\r\n";
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey + 1),
                     {std::string(wantKey) + "=" + value, "\r\n"});
      }
    }
  }

  std::string data = JoinLines(lines);
  if (original && data == *original) return 1;
  if (!original && lines.empty()) return 1;  // deleting from a missing file
  return ReplaceFile(path, data) ? 1 : 0;
}

uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                           uint32_t size) {
  return GetPrivateProfileStringA(section, key, def, buffer, size, kWinIni);
}

int WriteProfileStringA(const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, kWinIni);
}

namespace win {

std::string ProfileString(const std::string& section, const std::string& key,
                          const std::string& def, const std::string& file) {
  char buffer[256];
  uint32_t n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                        sizeof buffer, file.c_str());
  return std::string(buffer, n);
}

std::string WinIniString(const std::string& section, const std::string& key,
                         const std::string& def) {
  return ProfileString(section, key, def, kWinIni);
}

std::string ProfilePath(const std::string& file) {
  if (file.empty()) return "";
  if (HasDirectoryPart(file)) return HostPath(file);
  std::string dir = WindowsDirectory();
  return dir + "/" + MatchDirectoryEntry(dir, file);
}

}  // namespace win
