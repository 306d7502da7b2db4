#include "launcher.h"

#include <unistd.h>

#include "process.h"

namespace ide {
namespace {

std::function<uint32_t(const std::string&)> g_hook;
std::string g_programDir;

}  // namespace

std::string OwnDirectory() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string("./");
  return path.substr(0, path.find_last_of('/') + 1);
}

void SetProgramDirectory(const std::string& dir) { g_programDir = dir; }

const std::string& ProgramDirectory() {
  if (g_programDir.empty()) g_programDir = OwnDirectory();
  return g_programDir;
}

uint32_t Launch(const std::string& commandLine) {
  if (g_hook) return g_hook(commandLine);
  return win::WinExec(commandLine, ProgramDirectory(), false);
}

void SetLaunchHook(std::function<uint32_t(const std::string&)> hook) { g_hook = std::move(hook); }

}  // namespace ide
