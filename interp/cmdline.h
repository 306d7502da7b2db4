// The command line and process start shared by the programs that run or
// compile TILMOR code:  NAME [--batch] [--script FILE] [--screenshot FILE]
// [--midi-log FILE] [--sound-log FILE] [--midi-render FILE] [FILE [ARGUMENTS...]]
#pragma once

#include <string>
#include <vector>

namespace tilmor {

enum class Program { Interpreter, Compiler, Runtime };

struct CommandLine {
  bool batch = false;
  std::string script;             // batch answers
  std::string screenshot;         // PNG of the main window at the end
  std::string midiLog;            // every MIDI short message, timed
  std::string soundLog;           // beeps, tones, wave sounds and MCI commands
  std::string midiRender;         // the synthesizer's output as a WAV file (batch)
  std::string self;               // the program's own path
  std::vector<std::string> args;  // the file and its arguments, as given
  bool help = false, version = false;
  std::string error;              // a wrong option, as said to the user
};

// Options come before the file; "--" ends them, so a file name may begin
// with "--". Words after the file belong to the program that runs.
CommandLine ParseCommandLine(int argc, char** argv);

const char* ProgramName(Program p);
std::string UsageText(Program p);
std::string VersionText(Program p);

// Answers --help and --version on standard output (exit code 0) and
// refuses a wrong option on standard error (2); -1 when the program goes on.
int AnswerOptions(const CommandLine& cl, Program p);

// Batch mode (also when no display can be reached), the batch script, the
// interrupt handler and the arguments for Qt. False, after a message on standard error, when the
// script cannot be read.
bool StartProcess(CommandLine& cl, const char* name, int argc, char** argv);
// The end of main: output flushed; in batch mode the process ends here.
int EndProcess(const CommandLine& cl, int code);

}  // namespace tilmor
