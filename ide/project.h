// Project files (*.prj): the runtime module, the working directory and the
// files of the open editor windows, one entry per line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ide {

struct ProjectFile {
  std::optional<std::string> runtime;  // "$3=" line
  std::optional<std::string> workdir;  // "$P=" line
  std::vector<std::string> files;      // the other lines, in order
};

// Lines beginning with "$" are settings: the second character "P" sets the
// working directory, "3" the runtime module, each to the text from the
// fourth character on; other "$" lines are ignored. A later setting line
// wins. Every other non-empty line names a file. CR LF or LF line ends.
ProjectFile ParseProject(const std::string& text);
// "$3=", "$P=", then the files; CR LF line ends.
std::string FormatProject(const std::string& runtime, const std::string& workdir,
                          const std::vector<std::string>& files);

// The file as text (Windows-1252 names resolved the Windows way); nullopt
// when it cannot be read.
std::optional<std::string> ReadProjectText(const std::string& name);
// False when the file cannot be created or written.
bool WriteProjectText(const std::string& name, const std::string& text);

}  // namespace ide
