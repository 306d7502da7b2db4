// A text file the way the Pascal run-time keeps one: open for input or for
// output; written lines end in CR LF, read lines in CR LF, LF or CR; a
// Ctrl+Z ends the text. Opened through the sharing rules (others may read).
#pragma once

#include <string>
#include <string_view>

namespace tilmor {

class TextFile {
 public:
  enum class Mode { Closed, Input, Output };

  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile() { Close(); }

  Mode mode() const { return mode_; }
  bool isOpen() const { return mode_ != Mode::Closed; }

  // Each returns 0 or the I/O error code; an open file is closed first.
  int OpenRead(const std::string& host);
  int OpenWrite(const std::string& host);   // creates or empties
  int OpenAppend(const std::string& host);  // must exist; a final Ctrl+Z goes
  int Close();                              // 103 when not open

  // True when nothing more can be read.
  bool AtEnd();
  // One line without its end, cut to `max` characters (the rest of the line
  // is skipped); false at the end of the text.
  bool ReadLine(std::string& line, size_t max = 255);
  // Writes the bytes as they are; 0 or 101.
  int Write(std::string_view bytes);

 private:
  bool Fill();

  int fd_ = -1;
  Mode mode_ = Mode::Closed;
  std::string buf_;
  size_t pos_ = 0;
  bool end_ = false;  // end of file or Ctrl+Z seen
};

// "\n" at the end of PRINT's text becomes CR LF.
std::string FileLineEnds(std::string text);

}  // namespace tilmor
