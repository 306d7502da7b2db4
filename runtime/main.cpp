// tlmrun32 [--batch] [--script FILE] [--screenshot FILE] [PROGRAM.tmc [ARGUMENTS...]]
// A copy that carries a compiled program at its end runs that program with
// all its arguments.
#include <cstdio>
#include <cstdlib>

#include "app.h"
#include "appended.h"
#include "builtins.h"
#include "cmdline.h"
#include "modules.h"
#include "runtime.h"

int main(int argc, char** argv) {
  tilmor::CommandLine cl = tilmor::ParseCommandLine(argc, argv);
  if (int code = tilmor::AnswerOptions(cl, tilmor::Program::Runtime); code >= 0) return code;
  std::optional<tilmor::rt::AppendedProgram> appended = tilmor::rt::ReadAppendedProgram(cl.self);
  if (appended) {
    if (!appended->moduleDir.empty()) win::SetModuleDirectory(appended->moduleDir);
    if (appended->flags & tilmor::rt::kAppendedScreenSaver) setenv("TILMOR_SCREENSAVER", "1", 1);
  }
  if (!tilmor::StartProcess(cl, "tlmrun32", argc, argv)) return 2;
  tilmor::RunOptions opt;
  opt.batch = cl.batch;
  opt.script = cl.script;
  opt.screenshot = cl.screenshot;
  opt.self = cl.self;
  opt.args = cl.args;
  opt.registerBuiltins = tilmor::RegisterBuiltins;
  int code;
  if (appended) {
    // The program sees itself where a run of tlmrun32 has the program file.
    opt.args.insert(opt.args.begin(), cl.self);
    code = tilmor::rt::RunProgramBytes(opt, appended->program);
  } else {
    code = tilmor::rt::RunCompiled(opt);
  }
  return tilmor::EndProcess(cl, code);
}
