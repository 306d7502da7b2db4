// Start-up, run and teardown of the interpreter.
#pragma once

#include <string>
#include <vector>

namespace tilmor {

struct RunOptions {
  bool batch = false;
  std::string script;  // batch answers
  std::string self;    // the interpreter's own path
  std::vector<std::string> args;  // program file and its arguments, as given
  void (*registerBuiltins)() = nullptr;  // fills the command, function and variable tables
};

// Returns the process exit code.
int RunInterpreter(const RunOptions& options);

}  // namespace tilmor
