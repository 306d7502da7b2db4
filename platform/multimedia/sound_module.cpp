// Loads the sound module from beside the program (or where it is installed)
// on the first need of it.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "../modules.h"
#include "sound_backend.h"

namespace win {
namespace {

bool g_tried = false;
SoundBackend* g_backend = nullptr;

}  // namespace

SoundBackend* Sound() {
  if (g_tried) return g_backend;
  g_tried = true;
  void* handle = dlopen(ModulePath("TILMOR_SOUND_MODULE", "libtilmor_sound.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  using Entry = SoundBackend* (*)(int);
  auto entry = reinterpret_cast<Entry>(dlsym(handle, "tilmor_sound_backend"));
  g_backend = entry ? entry(kSoundBackendVersion) : nullptr;
  return g_backend;
}

bool SoundLoaded() { return g_backend != nullptr; }

}  // namespace win
