// SHTMCOMP: loads a source program, prepares and encodes every line and
// writes the compiled program file beside it, showing its progress.
#pragma once

#include <string>
#include <vector>

#include "version.h"
#include "wintypes.h"

namespace tilmor::comp {

constexpr const char* kCompilerTitle = "TILMOR\xB2-COMPILER";
constexpr const char* kWindowTitle = "ZEL-TILMOR\xB2 COMPILER " TILMOR_SYSTEM_VERSION;

// What the compiler shows: the progress window, the open-file dialog and
// the message boxes.
class CompilerUi {
 public:
  virtual ~CompilerUi() = default;
  virtual void OpenProgress() = 0;
  // Column and row count from 1.
  virtual void TextAt(int column, int row, const std::string& text) = 0;
  virtual void CloseProgress() = 0;
  // The chosen source file, or "" when the dialog was cancelled.
  virtual std::string ChooseSource() = 0;
  virtual void Box(const std::string& text, const std::string& title, UINT type) = 0;
};

// "name.TMF" and the like: everything up to and including the last "." of
// the file part, then "tmc"; a file part without "." gets ".tmc".
std::string OutputName(const std::string& source);

// "Zeile", the line number in 6 columns, ": ", the trimmed line.
std::string DisplayText(int line, const std::string& stored);

// Runs the whole compiler; `args` are the command-line words after the
// options (Windows-1252). Returns the exit code: 0 success, 1 loading
// failure, 2 usage error, unreadable source, unwritable output or compile error.
int Compile(const std::vector<std::string>& args, CompilerUi& ui, const std::string& includePath);

}  // namespace tilmor::comp
