// Finding the loadable modules beside the program or where they are installed.
#include "modules.h"

#include <unistd.h>

#include <cstdlib>

namespace win {

namespace {
std::string& ExtraDirectory() {
  static std::string dir;
  return dir;
}
}  // namespace

void SetModuleDirectory(const std::string& dir) { ExtraDirectory() = dir; }

std::string ModulePath(const char* override, const char* name) {
  if (const char* p = std::getenv(override); p && *p) return p;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  std::string beside = dir + name;
  if (access(beside.c_str(), F_OK) == 0) return beside;
  if (const std::string& extra = ExtraDirectory(); !extra.empty()) {
    for (const std::string& candidate : {extra + "/" + name, extra + "/" TILMOR_INSTALLED_MODULE_DIR "/" + name})
      if (access(candidate.c_str(), F_OK) == 0) return candidate;
  }
  return dir + TILMOR_INSTALLED_MODULE_DIR "/" + name;
}

}  // namespace win
