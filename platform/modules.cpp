// Finding the loadable modules beside the program or where they are installed.
#include "modules.h"

#include <unistd.h>

#include <cstdlib>

namespace win {

std::string ModulePath(const char* override, const char* name) {
  if (const char* p = std::getenv(override); p && *p) return p;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  std::string beside = dir + name;
  if (access(beside.c_str(), F_OK) == 0) return beside;
  return dir + TILMOR_INSTALLED_MODULE_DIR "/" + name;
}

}  // namespace win
