// tlmrun32 [--batch] [--script FILE] [--screenshot FILE] [PROGRAM.tmc [ARGUMENTS...]]
// A copy that carries a compiled program at its end runs that program with
// all its arguments.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app.h"
#include "appended.h"
#include "builtins.h"
#include "cmdline.h"
#include "runtime.h"

namespace {

// The window-system module of the runtime the program was made from, when
// none lies beside this copy.
void FindModuleOf(const tilmor::rt::AppendedProgram& a, const std::string& self) {
  if (std::getenv("TILMOR_GUI_MODULE")) return;
  std::string dir = self.substr(0, self.find_last_of('/') + 1);
  if (access((dir + "libtilmor_gui.so").c_str(), F_OK) == 0 || a.moduleDir.empty()) return;
  for (const std::string& candidate :
       {a.moduleDir + "/libtilmor_gui.so", a.moduleDir + "/" TILMOR_INSTALLED_MODULE_DIR "/libtilmor_gui.so"}) {
    if (access(candidate.c_str(), F_OK) == 0) {
      setenv("TILMOR_GUI_MODULE", candidate.c_str(), 1);
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  tilmor::CommandLine cl = tilmor::ParseCommandLine(argc, argv);
  std::optional<tilmor::rt::AppendedProgram> appended = tilmor::rt::ReadAppendedProgram(cl.self);
  if (int code = tilmor::AnswerOptions(cl, tilmor::Program::Runtime); code >= 0) return code;
  if (appended) {
    FindModuleOf(*appended, cl.self);
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
