// Loading a source program into the line table: comments and blanks
// removed, continuation lines joined, include files inserted, limits checked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tilmor {

constexpr int kMaxLines = 32767;
constexpr size_t kMaxLineLength = 254;
constexpr size_t kPhysicalLineMax = 255;

// Slots 1..count; slot 0 is unused so that slot numbers are line numbers.
struct LineTable {
  std::vector<std::string> slots{std::string()};
  int count() const { return static_cast<int>(slots.size()) - 1; }
  const std::string& operator[](int n) const { return slots[static_cast<size_t>(n)]; }
};

enum class LoaderKind { Interpreter, Compiler };

struct LoadFailure {
  std::string title;
  std::string text;
  int exitCode = 1;
};

struct LoadResult {
  bool ok = false;
  LineTable table;
  bool protect = false;  // a "$P+" line was seen (compiler)
  LoadFailure failure;
};

// Opens a regular file for reading (also through a link); -1 for anything
// else: missing, unreadable, a directory, a device or a pipe.
int OpenRegularFile(const std::string& hostPath);
bool CanOpenRegularFile(const std::string& hostPath);
// Why OpenRegularFile refuses a file, in words for the terminal ("no such
// file", "not a regular file", ...); empty when it opens.
std::string OpenFailure(const std::string& hostPath);
// Writes "PROGRAM: cannot open NAME: WHY" on standard error (the name is
// Windows-1252) when the file cannot be opened; false then.
bool ReportUnopenable(const char* program, const std::string& name);

// Reads a regular file's bytes, at most `limit` of them; false when it
// cannot be opened or read.
bool ReadFileBytes(const std::string& hostPath, std::string& bytes, size_t limit = SIZE_MAX);

// The physical lines of a source text (CR LF, LF or CR end a line; a final
// line end adds no line), read a piece at a time: each line is converted to
// Windows-1252 when the text is UTF-8 and cut to 255 characters, and what
// follows the cut is skipped only when the next line is asked for.
//
// The text is UTF-8 when it begins with a BOM, or when it is well-formed
// UTF-8 and holds a multi-byte character. A file is judged by its first
// `prescan` bytes and checked on as it is read: when the rest contradicts
// the judgement, EncodingChanged() says so and the file must be read again
// with a prescan of Consumed() bytes. A text read to its end has thus been
// read in its own encoding.
class SourceLines {
 public:
  static constexpr size_t kPrescan = 1 << 16;

  explicit SourceLines(std::string_view bytes);
  // A regular file, read from its start; the reader does not own `fd`.
  explicit SourceLines(int fd, size_t prescan = kPrescan);
  SourceLines(const SourceLines&) = delete;
  SourceLines& operator=(const SourceLines&) = delete;

  // False at the end of the text or after a read error.
  bool Next(std::string& line);
  // Whether another line follows; skips the rest of the last one.
  bool More();
  bool ReadFailed() const { return failed_; }
  bool EncodingChanged() const { return changed_; }
  size_t Consumed() const { return consumed_; }

 private:
  struct Utf8Check {
    bool valid = true, multi = false;
    int need = 0;
    char32_t u = 0, min = 0;
    void Byte(unsigned char c);
  };

  void Detect(size_t prescan);
  bool Fill();
  bool AtEnd() { return !Fill(); }
  void Take(size_t n);  // n bytes at pos_ are read
  void SkipRest();

  int fd_ = -1;
  const char* data_ = nullptr;
  size_t pos_ = 0, len_ = 0;
  bool eof_ = false, failed_ = false;
  bool utf8_ = false;
  bool settled_ = false;  // the judgement covers the whole text
  bool changed_ = false;
  size_t consumed_ = 0, prescanned_ = 0;
  Utf8Check check_;
  bool inLine_ = false;  // the rest of the last line is still unread
  std::unique_ptr<char[]> buf_;
};

// All physical lines of a text in memory.
std::vector<std::string> SplitSourceLines(const std::string& bytes);

// `includePath` is the ";"-separated directory list of the include search.
// `mainFile` is a program-given (Windows-style) name that exists.
LoadResult LoadProgram(const std::string& mainFile, LoaderKind kind,
                       const std::string& includePath);

// The include search path of the environment's settings file.
std::string ConfiguredIncludePath();

}  // namespace tilmor
