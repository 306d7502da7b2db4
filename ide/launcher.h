// Starting other programs: WinExec through the process layer (NAME.EXE
// found beside the editor, then on PATH), or a test's recorder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ide {

// WinExec with show mode 1 (the program shares our standard streams);
// above 32 when the program started.
uint32_t Launch(const std::string& commandLine);

// The directory programs without a directory part are looked for first
// (the editor's own, with a separator at the end).
void SetProgramDirectory(const std::string& dir);
const std::string& ProgramDirectory();
// The directory of the running executable, with "/" at the end.
std::string OwnDirectory();

// Tests: every command line goes to `hook` instead, which returns the
// WinExec result; an empty function restores the real start.
void SetLaunchHook(std::function<uint32_t(const std::string&)> hook);

}  // namespace ide
