// tilmor [--batch] [--script FILE] [PROGRAM [ARGUMENTS...]]
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app.h"
#include "batch.h"
#include "builtins.h"
#include "startup.h"

int main(int argc, char** argv) {
  tilmor::RunOptions opt;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  opt.self = n > 0 ? std::string(self, static_cast<size_t>(n)) : argv[0];

  int i = 1;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--batch") == 0) {
      opt.batch = true;
    } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
      opt.script = argv[++i];
    } else {
      break;
    }
  }
  for (; i < argc; ++i) opt.args.emplace_back(argv[i]);

  if (!opt.batch && !win::HasDisplay()) opt.batch = true;
  win::SetBatchMode(opt.batch);
  if (!opt.script.empty()) {
    std::string error;
    if (!win::LoadBatchScript(opt.script, &error)) {
      std::fprintf(stderr, "tilmor: %s\n", error.c_str());
      return 2;
    }
  }
  win::InstallInterruptHandler();
  win::CreateApplication(argc, argv, opt.batch);
  opt.registerBuiltins = tilmor::RegisterBuiltins;
  int code = tilmor::RunInterpreter(opt);
  win::DestroyApplication();
  std::fflush(stdout);
  return code;
}
