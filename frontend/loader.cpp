#include "loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "chars.h"
#include "interrupt.h"
#include "codepage.h"
#include "messages.h"
#include "profile.h"
#include "winpath.h"

namespace tilmor {

int OpenRegularFile(const std::string& hostPath) {
  if (hostPath.empty()) return -1;
  // Without O_NONBLOCK opening a FIFO would wait for a writer.
  int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

bool CanOpenRegularFile(const std::string& hostPath) {
  int fd = OpenRegularFile(hostPath);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string OpenFailure(const std::string& hostPath) {
  int fd = OpenRegularFile(hostPath);
  if (fd >= 0) {
    ::close(fd);
    return {};
  }
  struct stat st;
  if (!hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "is a directory";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    return std::strerror(EACCES);
  }
  return errno == ENOENT || hostPath.empty() ? "no such file" : std::strerror(errno);
}

bool ReportUnopenable(const char* program, const std::string& name) {
  std::string why = OpenFailure(win::HostPath(name));
  if (why.empty()) return true;
  std::fprintf(stderr, "%s: cannot open %s: %s\n", program, win::Cp1252ToUtf8(name).c_str(),
               why.c_str());
  std::fflush(stderr);
  return false;
}

bool ReadFileBytes(const std::string& hostPath, std::string& bytes, size_t limit) {
  int fd = OpenRegularFile(hostPath);
  if (fd < 0) return false;
  bytes.clear();
  char buf[65536];
  while (bytes.size() < limit) {
    ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - bytes.size()));
    if (n < 0 && errno == EINTR && !win::InterruptRequested()) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

namespace {
constexpr size_t kPiece = 1 << 16;  // bytes read at a time
}  // namespace

// UTF-8 checked a byte at a time as the code page layer decodes it: no
// overlong forms, no surrogates, nothing above U+10FFFF.
void SourceLines::Utf8Check::Byte(unsigned char c) {
  if (!valid) return;
  if (need == 0) {
    if (c < 0x80) return;
    if ((c & 0xE0) == 0xC0) need = 1, u = c & 0x1F, min = 0x80;
    else if ((c & 0xF0) == 0xE0) need = 2, u = c & 0x0F, min = 0x800;
    else if ((c & 0xF8) == 0xF0) need = 3, u = c & 0x07, min = 0x10000;
    else valid = false;
    return;
  }
  if ((c & 0xC0) != 0x80) {
    valid = false;
    return;
  }
  u = (u << 6) | (c & 0x3F);
  if (--need == 0) {
    if (u < min || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) valid = false;
    multi = true;
  }
}

SourceLines::SourceLines(std::string_view bytes)
    : data_(bytes.data()), len_(bytes.size()), eof_(true) {
  Detect(SIZE_MAX);
}

SourceLines::SourceLines(int fd, size_t prescan) : fd_(fd), buf_(new char[kPiece]) {
  data_ = buf_.get();
  Detect(prescan);
}

bool SourceLines::Fill() {
  if (pos_ < len_) return true;
  if (eof_ || failed_) return false;
  for (;;) {
    ssize_t n = ::read(fd_, buf_.get(), kPiece);
    if (n < 0 && errno == EINTR && !win::InterruptRequested()) continue;
    if (n < 0 || win::InterruptRequested()) {
      failed_ = true;
      return false;
    }
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    if (n > 0) return true;
    eof_ = true;
    // A sequence cut short by the end makes the text no UTF-8.
    if (!settled_ && check_.need) check_.valid = false;
    if (!settled_ && consumed_ >= prescanned_ && (check_.valid && check_.multi) != utf8_)
      changed_ = true;
    return false;
  }
}

void SourceLines::Take(size_t n) {
  if (!settled_) {
    for (size_t i = 0; i < n; ++i) check_.Byte(static_cast<unsigned char>(data_[pos_ + i]));
    if (consumed_ + n > prescanned_ && (check_.valid && check_.multi) != utf8_) {
      // A text that is no UTF-8 stays so; one that is may still turn out not to be.
      if (!check_.valid || check_.need == 0) changed_ = true;
    }
  }
  pos_ += n;
  consumed_ += n;
}

// Lines past the line limit are never used, so the look stops there.
void SourceLines::Detect(size_t prescan) {
  const unsigned char kBom[3] = {0xEF, 0xBB, 0xBF};
  size_t b = 0;
  while (b < 3 && !AtEnd() && static_cast<unsigned char>(data_[pos_]) == kBom[b]) ++pos_, ++b;
  if (b == 3) {
    utf8_ = settled_ = true;
    consumed_ = 3;
    return;
  }
  if (fd_ >= 0) {
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
      failed_ = true;
      return;
    }
    len_ = 0;
    eof_ = false;
  }
  pos_ = 0;
  Utf8Check check;
  size_t seen = 0, lineEnds = 0;
  const size_t maxEnds = 2 * (static_cast<size_t>(kMaxLines) + 1);
  while (check.valid && seen < prescan && lineEnds <= maxEnds && !AtEnd()) {
    size_t n = std::min(len_ - pos_, prescan - seen);
    for (size_t i = 0; i < n && check.valid; ++i) {
      unsigned char c = static_cast<unsigned char>(data_[pos_ + i]);
      if ((c == '\r' || c == '\n') && ++lineEnds > maxEnds) break;
      check.Byte(c);
    }
    pos_ += n;
    seen += n;
  }
  bool whole = !check.valid || lineEnds > maxEnds || AtEnd();
  if (whole && !failed_ && check.need) check.valid = false;
  utf8_ = check.valid && check.multi;
  settled_ = whole;
  prescanned_ = seen;
  if (fd_ >= 0) {
    if (::lseek(fd_, 0, SEEK_SET) != 0) failed_ = true;
    len_ = 0;
    eof_ = false;
  }
  pos_ = 0;
}

void SourceLines::SkipRest() {
  inLine_ = false;
  while (!AtEnd()) {
    const char* p = data_ + pos_;
    const char* end = data_ + len_;
    const char* q = p;
    while (q < end && *q != '\r' && *q != '\n') ++q;
    if (q == end) {
      Take(static_cast<size_t>(q - p));
      continue;
    }
    char c = *q;
    Take(static_cast<size_t>(q - p) + 1);
    if (c == '\r' && !AtEnd() && data_[pos_] == '\n') Take(1);
    return;
  }
}

bool SourceLines::More() {
  if (inLine_) SkipRest();
  return !AtEnd();
}

bool SourceLines::Next(std::string& line) {
  if (!More()) return false;
  // Enough bytes for 255 characters of up to four UTF-8 bytes each.
  const size_t keep = utf8_ ? 4 * kPhysicalLineMax : kPhysicalLineMax;
  std::string raw;
  inLine_ = true;
  while (raw.size() < keep && !AtEnd()) {
    size_t n = std::min(len_ - pos_, keep - raw.size());
    const char* p = data_ + pos_;
    const char* stop = static_cast<const char*>(std::memchr(p, '\n', n));
    const char* cr = static_cast<const char*>(
        std::memchr(p, '\r', stop ? static_cast<size_t>(stop - p) : n));
    if (cr) stop = cr;
    if (stop) {
      raw.append(p, static_cast<size_t>(stop - p));
      Take(static_cast<size_t>(stop - p));
      SkipRest();  // the line end itself
      break;
    }
    raw.append(p, n);
    Take(n);
  }
  line = utf8_ ? win::Utf8ToCp1252(raw) : std::move(raw);
  if (line.size() > kPhysicalLineMax) line.resize(kPhysicalLineMax);
  return true;
}

std::vector<std::string> SplitSourceLines(const std::string& bytes) {
  SourceLines src(bytes);
  std::vector<std::string> lines;
  std::string line;
  while (src.Next(line)) lines.push_back(line);
  return lines;
}

namespace {

// How much of each file must be looked at to judge its encoding.
using Prescans = std::map<std::string, size_t>;

// A file turned out to be in another encoding than its start suggested:
// the load starts again.
struct Reread {};

// One file being read; its physical lines are taken one at a time.
struct Source {
  std::string path;
  Prescans& prescans;
  int fd = -1;
  std::unique_ptr<SourceLines> lines;

  Source(std::string hostPath, Prescans& p) : path(std::move(hostPath)), prescans(p) {
    fd = OpenRegularFile(path);
    if (fd < 0) return;
    auto known = prescans.find(path);
    lines = std::make_unique<SourceLines>(
        fd, known == prescans.end() ? SourceLines::kPrescan : known->second);
  }
  ~Source() {
    if (fd >= 0) ::close(fd);
  }
  bool Opened() const { return fd >= 0; }
  bool Failed() const { return lines && lines->ReadFailed(); }
  bool AtEnd() {
    bool more = lines->More();
    Check();
    return !more;
  }
  std::string Read() {
    std::string s;
    lines->Next(s);
    Check();
    return s;
  }
  void Check() {
    if (!lines->EncodingChanged()) return;
    prescans[path] = lines->Consumed();
    throw Reread{};
  }
};

class Loader {
 public:
  Loader(LoaderKind kind, std::string includePath, Prescans& prescans)
      : kind_(kind), includePath_(std::move(includePath)), prescans_(prescans) {}

  LoadResult Run(const std::string& mainFile) {
    Source main(win::HostPath(mainFile), prescans_);
    while (main.Opened() && !main.AtEnd()) {
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
    if (!main.Opened() || main.Failed()) {
      // The caller checked that the file opens; treat a race like a missing include.
      Fail(MessageText(903), MessageText(801) + " 0: " + mainFile);
      return std::move(result_);
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
    auto notFound = [&] {
      return Fail(MessageText(903),
                  MessageText(801) + " " + std::to_string(directiveLine) + ": " + directive);
    };
    Source inc(win::HostPath(name), prescans_);
    if (!inc.Opened()) return notFound();
    while (!inc.AtEnd()) {
      std::string line;
      if (!ReadLogicalLine(inc, line)) return false;
      if (line.compare(0, 3, "$I ") == 0) return FailMsg(904);
      Store(std::move(line));
    }
    if (inc.Failed()) return notFound();
    return true;
  }

  LoaderKind kind_;
  std::string includePath_;
  Prescans& prescans_;
  LoadResult result_;
};

}  // namespace

LoadResult LoadProgram(const std::string& mainFile, LoaderKind kind,
                       const std::string& includePath) {
  // Each file can change its judgement at most twice (ASCII to UTF-8 to
  // neither), so this ends.
  Prescans prescans;
  for (;;) {
    try {
      return Loader(kind, includePath, prescans).Run(mainFile);
    } catch (const Reread&) {
    }
  }
}

std::string ConfiguredIncludePath() {
  return win::ProfileString("COMPILE", "Include", "", "TILMED32.INI");
}

}  // namespace tilmor
