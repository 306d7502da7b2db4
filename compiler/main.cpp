// shtmcomp [--batch] [--script FILE] [SOURCE]
#include <cstdio>

#include "app.h"
#include "cmdline.h"
#include "codepage.h"
#include "compiler.h"
#include "loader.h"
#include "windowui.h"

int main(int argc, char** argv) {
  tilmor::CommandLine cl = tilmor::ParseCommandLine(argc, argv);
  if (int code = tilmor::AnswerOptions(cl, tilmor::Program::Compiler); code >= 0) return code;
  if (!tilmor::StartProcess(cl, "shtmcomp", argc, argv)) return 2;
  std::vector<std::string> args;
  for (const std::string& a : cl.args) args.push_back(win::Utf8ToCp1252(a));
  int code;
  {
    tilmor::comp::WindowCompilerUi ui(cl.batch);
    code = tilmor::comp::Compile(args, ui, tilmor::ConfiguredIncludePath());
  }
  return tilmor::EndProcess(cl, code);
}
