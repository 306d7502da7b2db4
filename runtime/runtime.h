// TLMRUN32: runs a compiled program file with the interpreter core.
#pragma once

#include "startup.h"

namespace tilmor::rt {

constexpr const char* kTitle = "T I L M O R \xB2";

// The program file: the first argument (".TMC" added to a name without
// extension), else the open-file dialog; "" when the user gave up.
std::string ChooseCompiledFile(const std::vector<std::string>& args);

// Chooses, reads and runs the compiled program; returns the exit code
// (2 without a program, 1 for a file that is no intact compiled program,
// else the run's own code).
int RunCompiled(const RunOptions& options);
// Runs the bytes of a compiled program (1 when they are none).
int RunProgramBytes(const RunOptions& options, const std::string& bytes);

}  // namespace tilmor::rt
