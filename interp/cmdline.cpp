#include "cmdline.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app.h"
#include "batch.h"

namespace tilmor {

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine cl;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  cl.self = n > 0 ? std::string(self, static_cast<size_t>(n)) : (argc > 0 ? argv[0] : "");
  int i = 1;
  for (; i < argc; ++i) {
    if (std::strcmp(argv[i], "--batch") == 0) {
      cl.batch = true;
    } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
      cl.script = argv[++i];
    } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
      cl.screenshot = argv[++i];
    } else {
      break;
    }
  }
  for (; i < argc; ++i) cl.args.emplace_back(argv[i]);
  return cl;
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
  win::InstallInterruptHandler();
  win::CreateApplication(argc, argv, cl.batch);
  return true;
}

}  // namespace tilmor
