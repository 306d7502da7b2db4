// The command line and process start shared by the programs that run or
// compile TILMOR code:  NAME [--batch] [--script FILE] [--screenshot FILE] [FILE [ARGUMENTS...]]
#pragma once

#include <string>
#include <vector>

namespace tilmor {

struct CommandLine {
  bool batch = false;
  std::string script;             // batch answers
  std::string screenshot;         // PNG of the main window at the end
  std::string self;               // the program's own path
  std::vector<std::string> args;  // the file and its arguments, as given
};

CommandLine ParseCommandLine(int argc, char** argv);

// Batch mode (also when no display can be reached), the batch script, the
// interrupt handler and the Qt application. False, after a message on
// standard error, when the script cannot be read.
bool StartProcess(CommandLine& cl, const char* name, int argc, char** argv);

}  // namespace tilmor
