// Starting programs the way WinExec and CreateProcessA do.
//
// A command line is split by the Windows rules. Its program name, when it
// has no directory part, is looked up beside the running program, then on
// PATH; a trailing ".EXE" may be left off (Linux programs have none) and
// the name matches case-insensitively, so "TLMRUN32.EXE" finds tlmrun32.
// Arguments are passed as UTF-8; the child inherits none of the files the
// program opened. A program started hidden (show mode 0: it would have no
// window) has its standard streams on /dev/null; otherwise it shares ours.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// CommandLineToArgvW: the program name ends at the first blank outside
// quotes (quotes there only group). In the arguments 2n backslashes before
// a quote give n backslashes and the quote groups, 2n+1 give n and a literal
// quote; "" inside quotes is a literal quote; other backslashes stay.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The host path of the executable a program name (Windows-1252) refers to;
// "" with *error 2 (not found), 3 (its directory not found) or 5 (found
// but not executable) otherwise.
std::string FindProgram(std::string_view name, const std::string& selfDir, int* error);

// WinExec: above 31 when the program was started (it runs on its own, in a
// session of its own); else 0 (no resources), 2, 3, 5 or 11 (not a program).
uint32_t WinExec(std::string_view commandLine, const std::string& selfDir, bool hidden = false);

// CreateProcessA and waiting for the process's end, without processing any
// window messages. False when it could not be started. `interrupted`, when
// given, is asked while waiting and ends the wait (not the process).
bool RunAndWait(std::string_view commandLine, const std::string& selfDir, bool hidden = false,
                bool (*interrupted)() = nullptr, int* exitStatus = nullptr);

// WinExec for a caller that waits for the program itself: the process id
// (a child of ours, in a session of its own), or 0 with the WinExec code in
// *error. ProcessEnded reaps it once it has ended.
int StartWatched(std::string_view commandLine, const std::string& selfDir, bool hidden, uint32_t* error);
bool ProcessEnded(int pid);
// Starts a host program (argv in UTF-8, argv[0] searched on PATH) on its own.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace win
