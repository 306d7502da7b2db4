// Start-up, run and teardown of the interpreter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "loader.h"

namespace tilmor {

struct RunOptions {
  bool batch = false;
  std::string script;  // batch answers
  std::string screenshot;  // PNG of the main window's client area at the end
  std::string self;    // the interpreter's own path
  std::vector<std::string> args;  // program file and its arguments, as given
  void (*registerBuiltins)() = nullptr;  // fills the command, function and variable tables
  // Ends the run (exit code 255) after about so many lines (the loop looks
  // every few hundred lines); 0: no limit.
  uint64_t lineLimit = 0;
};

// Called when a run ends (normally, by END or after a runtime error), last
// registered first: open files and tables are closed as their commands
// would close them.
void AtProgramEnd(void (*handler)());

// Chooses, loads and runs the program; returns the process exit code.
int RunInterpreter(const RunOptions& options);
// Runs an already loaded line table (a compiled program's records).
int RunLoadedProgram(const RunOptions& options, LineTable lines);

}  // namespace tilmor
