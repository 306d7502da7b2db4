// Loads the sound module from beside the program (or where it is installed)
// on the first need of it.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "sound_backend.h"

namespace win {
namespace {

bool g_tried = false;
SoundBackend* g_backend = nullptr;

std::string ModulePath() {
  if (const char* p = std::getenv("TILMOR_SOUND_MODULE"); p && *p) return p;
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  const char* name = "libtilmor_sound.so";
  std::string beside = dir + name;
  if (access(beside.c_str(), F_OK) == 0) return beside;
  return dir + TILMOR_INSTALLED_MODULE_DIR "/" + name;
}

}  // namespace

SoundBackend* Sound() {
  if (g_tried) return g_backend;
  g_tried = true;
  void* handle = dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  using Entry = SoundBackend* (*)(int);
  auto entry = reinterpret_cast<Entry>(dlsym(handle, "tilmor_sound_backend"));
  g_backend = entry ? entry(kSoundBackendVersion) : nullptr;
  return g_backend;
}

bool SoundLoaded() { return g_backend != nullptr; }

}  // namespace win
