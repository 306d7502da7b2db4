// Command-line parsing, help and version texts, and the start of the process.
#include "cmdline.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app.h"
#include "batch.h"
#include "gui_module.h"
#include "sound.h"
#include "version.h"

namespace tilmor {

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine cl;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  cl.self = n > 0 ? std::string(self, static_cast<size_t>(n)) : (argc > 0 ? argv[0] : "");
  int i = 1;
  for (; i < argc && cl.error.empty(); ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--") == 0) {
      ++i;
      break;
    }
    if (std::strncmp(a, "--", 2) != 0) break;
    if (std::strcmp(a, "--batch") == 0) {
      cl.batch = true;
    } else if (std::strcmp(a, "--help") == 0) {
      cl.help = true;
    } else if (std::strcmp(a, "--version") == 0) {
      cl.version = true;
    } else if (std::string* file = std::strcmp(a, "--script") == 0        ? &cl.script
                                   : std::strcmp(a, "--screenshot") == 0  ? &cl.screenshot
                                   : std::strcmp(a, "--midi-log") == 0    ? &cl.midiLog
                                   : std::strcmp(a, "--sound-log") == 0   ? &cl.soundLog
                                   : std::strcmp(a, "--midi-render") == 0 ? &cl.midiRender
                                                                          : nullptr) {
      if (i + 1 >= argc) {
        cl.error = std::string("option ") + a + " needs a file name";
        break;
      }
      *file = argv[++i];
    } else {
      cl.error = std::string("unknown option ") + a;
    }
  }
  if (cl.error.empty())
    for (; i < argc; ++i) cl.args.emplace_back(argv[i]);
  return cl;
}

const char* ProgramName(Program p) {
  switch (p) {
    case Program::Compiler: return "shtmcomp";
    case Program::Runtime: return "tlmrun32";
    default: return "tilmor";
  }
}

std::string VersionText(Program p) {
  const char* v = p == Program::Compiler ? TILMOR_SYSTEM_VERSION : TILMOR_INTERPRETER_VERSION;
  return std::string(ProgramName(p)) + " (TILMOR for Linux) " + v + "\n";
}

std::string UsageText(Program p) {
  std::string name = ProgramName(p);
  std::string text;
  switch (p) {
    case Program::Interpreter:
      text = "Usage: " + name + " [OPTIONS] [PROGRAM[.TMF] [ARGUMENTS...]]\n"
             "Runs a TILMOR source program; the ARGUMENTS are the program's own.\n"
             "Without PROGRAM, or when it cannot be opened, a file dialog asks for one.\n";
      break;
    case Program::Runtime:
      text = "Usage: " + name + " [OPTIONS] [PROGRAM[.TMC] [ARGUMENTS...]]\n"
             "Runs a program compiled by shtmcomp; the ARGUMENTS are the program's own.\n"
             "Without PROGRAM, or when it cannot be opened, a file dialog asks for one.\n";
      break;
    case Program::Compiler:
      text = "Usage: " + name + " [OPTIONS] [SOURCE[.TMF]]\n"
             "Compiles a TILMOR source program into SOURCE.tmc beside it.\n"
             "Without SOURCE a file dialog asks for one.\n";
      break;
  }
  text +=
      "\n"
      "Options:\n"
      "  --batch              run without a visible window: text output to standard\n"
      "                       output, every message box as one line on standard error\n"
      "  --script FILE        dialog answers and input actions for batch mode\n";
  if (p == Program::Compiler)
    text += "  --screenshot FILE    accepted as the other programs do; the compiler has no\n"
            "                       main window, so nothing is saved\n";
  else
    text += "  --screenshot FILE    save the main window as a PNG image when the program ends\n"
            "  --midi-log FILE      write every MIDI message as \"MS STATUS DATA1 DATA2\"\n"
            "                       (milliseconds of the program's clock, hexadecimal bytes)\n"
            "  --sound-log FILE     write beeps, tones, wave sounds and MCI commands with\n"
            "                       their times\n"
            "  --midi-render FILE   batch mode: the built-in synthesizer plays into this WAV\n"
            "                       file on the program's clock\n";
  text +=
      "  --help               show this help and end\n"
      "  --version            show the version and end\n"
      "  --                   end of the options: the next word is the file\n"
      "\n";
  if (p == Program::Compiler)
    text += "Exit codes: 0 compiled, 1 loading failure, 2 usage error, unreadable\n"
            "source or output, or a compile error, 255 ended by a signal.\n";
  else
    text += std::string("Exit codes: 0 normal end, 1 ") +
            (p == Program::Runtime ? "no compiled program or a damaged one"
                                   : "loading failure") +
            ", 2 no program chosen,\n"
            "3 runtime error, 255 ended from outside (window closed, signal, no more input).\n";
  text += "Without a display the program runs as with --batch. See " + name + "(1).\n";
  return text;
}

int AnswerOptions(const CommandLine& cl, Program p) {
  if (!cl.error.empty()) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", ProgramName(p),
                 cl.error.c_str(), ProgramName(p));
    return 2;
  }
  if (cl.help) {
    std::fputs(UsageText(p).c_str(), stdout);
    return 0;
  }
  if (cl.version) {
    std::fputs(VersionText(p).c_str(), stdout);
    return 0;
  }
  return -1;
}

bool StartProcess(CommandLine& cl, const char* name, int argc, char** argv) {
  if (!cl.batch && !win::HasDisplay()) cl.batch = true;
  win::SetBatchMode(cl.batch);
  if (!cl.script.empty()) {
    std::string error;
    if (!win::LoadBatchScript(cl.script, &error)) {
      std::fprintf(stderr, "%s: %s\n", name, error.c_str());
      return false;
    }
  }
  std::string error;
  if ((!cl.midiLog.empty() && !win::SetMidiLog(cl.midiLog, &error)) ||
      (!cl.soundLog.empty() && !win::SetSoundLog(cl.soundLog, &error))) {
    std::fprintf(stderr, "%s: %s\n", name, error.c_str());
    return false;
  }
  if (!cl.midiRender.empty()) win::SetMidiRender(cl.midiRender);
  win::InstallInterruptHandler();
  win::PrepareApplication(argc, argv, cl.batch);
  return true;
}

int EndProcess(const CommandLine& cl, int code) {
  std::fflush(nullptr);
  // Everything of the run is closed and flushed by now; Qt's teardown
  // (fonts, platform plugin) would only cost time.
  if (cl.batch) _exit(code);
  win::DestroyApplication();
  return code;
}

}  // namespace tilmor
