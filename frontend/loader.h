// Loading a source program into the line table: comments and blanks
// removed, continuation lines joined, include files inserted, limits checked.
#pragma once

#include <string>
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

// Reads a text file's bytes; false when it cannot be opened.
bool ReadFileBytes(const std::string& hostPath, std::string& bytes);

// Splits file bytes into physical lines (CR LF, LF or CR end a line; a final
// line end adds no line) and converts UTF-8 text to Windows-1252.
std::vector<std::string> SplitSourceLines(const std::string& bytes);

// `includePath` is the ";"-separated directory list of the include search.
// `mainFile` is a program-given (Windows-style) name that exists.
LoadResult LoadProgram(const std::string& mainFile, LoaderKind kind,
                       const std::string& includePath);

// The include search path of the environment's settings file.
std::string ConfiguredIncludePath();

}  // namespace tilmor
