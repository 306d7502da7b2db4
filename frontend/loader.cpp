#include "loader.h"

#include <fcntl.h>
#include <unistd.h>

#include "chars.h"
#include "codepage.h"
#include "messages.h"
#include "profile.h"
#include "winpath.h"

namespace tilmor {

bool ReadFileBytes(const std::string& hostPath, std::string& bytes) {
  if (hostPath.empty()) return false;
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bytes.clear();
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      ::close(fd);
      return false;  // a directory or an unreadable file
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

std::vector<std::string> SplitSourceLines(const std::string& raw) {
  std::string_view bytes = raw;
  bool utf8 = false;
  if (win::HasUtf8Bom(bytes)) {
    bytes.remove_prefix(3);
    utf8 = true;
  } else {
    utf8 = win::IsUtf8WithMultibyte(bytes);
  }
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    size_t e = bytes.find_first_of("\r\n", i);
    std::string_view line = bytes.substr(i, e == std::string_view::npos ? std::string_view::npos : e - i);
    lines.push_back(utf8 ? win::Utf8ToCp1252(line) : std::string(line));
    if (e == std::string_view::npos) break;
    i = e + 1;
    if (bytes[e] == '\r' && i < bytes.size() && bytes[i] == '\n') ++i;
  }
  return lines;
}

namespace {

struct Source {
  std::vector<std::string> lines;
  size_t next = 0;
  bool AtEnd() const { return next >= lines.size(); }
  // One physical line, at most 255 characters; the rest is skipped.
  std::string Read() {
    std::string s = lines[next++];
    if (s.size() > kPhysicalLineMax) s.resize(kPhysicalLineMax);
    return s;
  }
};

class Loader {
 public:
  Loader(LoaderKind kind, std::string includePath)
      : kind_(kind), includePath_(std::move(includePath)) {}

  LoadResult Run(const std::string& mainFile) {
    Source main;
    std::string bytes;
    if (!ReadFileBytes(win::HostPath(mainFile), bytes)) {
      // The caller checked that the file opens; treat a race like a missing include.
      Fail(MessageText(903), MessageText(801) + " 0: " + mainFile);
      return std::move(result_);
    }
    main.lines = SplitSourceLines(bytes);
    while (!main.AtEnd()) {
      std::string line;
      if (!ReadLogicalLine(main, line)) return std::move(result_);
      if (line.compare(0, 3, "$P+") == 0) {
        if (kind_ == LoaderKind::Compiler) result_.protect = true;
        line.clear();
      }
      if (line.compare(0, 3, "$I ") == 0) {
        if (!Include(line)) return std::move(result_);
        continue;
      }
      Store(std::move(line));
    }
    result_.ok = true;
    return std::move(result_);
  }

 private:
  const char* Title(int msg) const {
    if (kind_ == LoaderKind::Interpreter) return "T I L M O R \xB2";
    return msg == 901 ? "TILMOR\xB2" "Compiler" : "TILMOR\xB2-COMPILER";
  }

  bool Fail(std::string title, std::string text, int code = 1) {
    result_.ok = false;
    result_.failure = {std::move(title), std::move(text), code};
    return false;
  }
  bool FailMsg(int msg) { return Fail(Title(msg), MessageText(msg)); }

  // Takes the next slot (steps 2.1); false when the limit is exceeded.
  bool NextSlot() {
    if (result_.table.count() + 1 > kMaxLines) return FailMsg(901);
    result_.table.slots.emplace_back();
    return true;
  }
  void Store(std::string line) { result_.table.slots.back() = std::move(line); }

  // Steps 2.1 to 2.7: one slot per physical line; the joined line of a
  // continuation lands in the slot of its last physical line.
  bool ReadLogicalLine(Source& src, std::string& line) {
    if (!NextSlot()) return false;
    line = Trim(src.Read());
    int p = FindTop('\'', line);
    if (p == 1) {
      line.clear();
    } else if (p > 1) {
      line.resize(static_cast<size_t>(p - 1));
      TrimInPlace(line);
    }
    for (char& c : line)
      if (c == '\t') c = ' ';
    while (!line.empty() && line.back() == '\\') {
      line.pop_back();
      if (src.AtEnd()) break;  // nothing left to join
      line += Trim(src.Read());
      if (!NextSlot()) return false;
    }
    if (line.size() > kMaxLineLength) return FailMsg(902);
    return true;
  }

  std::string FindInclude(const std::string& name) const {
    // Only a backslash marks a name that is not searched, as on Windows,
    // where "sub/x.inc" is looked up under each include directory too.
    if (name.find('\\') != std::string::npos) return name;
    if (win::FileExists(name)) return name;
    size_t start = 0;
    while (start <= includePath_.size()) {
      size_t e = includePath_.find(';', start);
      if (e == std::string::npos) e = includePath_.size();
      std::string dir = includePath_.substr(start, e - start);
      start = e + 1;
      if (dir.empty()) continue;
      char last = dir.back();
      std::string path = dir + (last == ':' || last == '\\' || last == '/' ? "" : "\\") + name;
      if (win::FileExists(path)) return path;
    }
    return name;
  }

  bool Include(const std::string& directive) {
    int directiveLine = result_.table.count();
    std::string name = FindInclude(Trim(std::string_view(directive).substr(3)));
    std::string bytes;
    if (!ReadFileBytes(win::HostPath(name), bytes)) {
      return Fail(MessageText(903),
                  MessageText(801) + " " + std::to_string(directiveLine) + ": " + directive);
    }
    Source inc;
    inc.lines = SplitSourceLines(bytes);
    while (!inc.AtEnd()) {
      std::string line;
      if (!ReadLogicalLine(inc, line)) return false;
      if (line.compare(0, 3, "$I ") == 0) return FailMsg(904);
      Store(std::move(line));
    }
    return true;
  }

  LoaderKind kind_;
  std::string includePath_;
  LoadResult result_;
};

}  // namespace

LoadResult LoadProgram(const std::string& mainFile, LoaderKind kind,
                       const std::string& includePath) {
  return Loader(kind, includePath).Run(mainFile);
}

std::string ConfiguredIncludePath() {
  return win::ProfileString("COMPILE", "Include", "", "TILMED32.INI");
}

}  // namespace tilmor
