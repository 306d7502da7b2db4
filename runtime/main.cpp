// tlmrun32 [--batch] [--script FILE] [--screenshot FILE] [PROGRAM.tmc [ARGUMENTS...]]
#include <cstdio>

#include "app.h"
#include "builtins.h"
#include "cmdline.h"
#include "runtime.h"

int main(int argc, char** argv) {
  tilmor::CommandLine cl = tilmor::ParseCommandLine(argc, argv);
  if (int code = tilmor::AnswerOptions(cl, tilmor::Program::Runtime); code >= 0) return code;
  if (!tilmor::StartProcess(cl, "tlmrun32", argc, argv)) return 2;
  tilmor::RunOptions opt;
  opt.batch = cl.batch;
  opt.script = cl.script;
  opt.screenshot = cl.screenshot;
  opt.self = cl.self;
  opt.args = cl.args;
  opt.registerBuiltins = tilmor::RegisterBuiltins;
  int code = tilmor::rt::RunCompiled(opt);
  return tilmor::EndProcess(cl, code);
}
