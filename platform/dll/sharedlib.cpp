#include "dll/sharedlib.h"

#include <dirent.h>
#include <dlfcn.h>
#include <ffi.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "ascii.h"
#include "winpath.h"

namespace win {
namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EndsWithDll(std::string_view s) { return s.size() > 4 && AsciiLower(s.substr(s.size() - 4)) == ".dll"; }

// Only an ELF object can be loaded ("libc.so" may be a linker script, a
// "NAME.DLL" a Windows module).
bool IsElf(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char magic[4] = {};
  size_t n = std::fread(magic, 1, 4, f);
  std::fclose(f);
  return n == 4 && magic[0] == 0x7F && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F';
}

// `file` in `dir`, exactly or case-insensitively.
std::string InDirectory(const std::string& dir, const std::string& file) {
  std::string entry = MatchDirectoryEntry(dir, file);
  std::string path = (dir.empty() || dir.back() == '/' ? dir : dir + "/") + entry;
  return IsFile(path) && IsElf(path) ? path : std::string();
}

// "libc.so" is often a linker script or missing; the object itself carries
// its version: the highest "libc.so.N" of the directory.
std::string Versioned(const std::string& dir, const std::string& file) {
  DIR* d = opendir(dir.c_str());
  if (!d) return {};
  std::string best;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n.size() <= file.size() + 1 || n.compare(0, file.size(), file) != 0 || n[file.size()] != '.')
      continue;
    if (n.find_first_not_of("0123456789.", file.size()) != std::string::npos || !IsElf(dir + "/" + n))
      continue;
    if (best.empty() || n > best) best = n;
  }
  closedir(d);
  return best.empty() ? best : dir + "/" + best;
}

struct Loaded {
  void* dl = nullptr;
  std::string path;
  int refs = 0;
};

std::map<uint32_t, Loaded>& Table() {
  static std::map<uint32_t, Loaded> table;
  return table;
}

constexpr uint32_t kFirstHandle = 0x20000000;
constexpr uint32_t kHandleStep = 0x00010000;

}  // namespace

std::vector<std::string> SharedObjectNames(std::string_view name) {
  std::vector<std::string> out;
  auto add = [&](std::string n) {
    if (std::find(out.begin(), out.end(), n) == out.end()) out.push_back(std::move(n));
  };
  if (HasExtension(name) && !EndsWithDll(name)) add(std::string(name));
  std::string stem(EndsWithDll(name) ? name.substr(0, name.size() - 4) : name);
  if (stem.empty()) return out;
  add(stem + ".so");
  add("lib" + stem + ".so");
  add(AsciiLower(stem) + ".so");
  add("lib" + AsciiLower(stem) + ".so");
  return out;
}

std::vector<std::string> SystemLibraryDirectories() {
  std::vector<std::string> dirs;
  auto add = [&](const std::string& d) {
    if (!d.empty() && std::find(dirs.begin(), dirs.end(), d) == dirs.end()) dirs.push_back(d);
  };
  if (const char* p = std::getenv("LD_LIBRARY_PATH")) {
    std::string s = p;
    for (size_t start = 0;;) {
      size_t colon = s.find(':', start);
      add(s.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  // The multiarch directory, wherever this system keeps it.
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&std::getenv), &info) && info.dli_fname) {
    std::string libc = info.dli_fname;
    size_t slash = libc.rfind('/');
    if (slash != std::string::npos) {
      std::string dir = libc.substr(0, slash);
      add(dir);
      size_t last = dir.rfind('/');
      if (last != std::string::npos && dir.compare(0, 5, "/lib/") == 0) add("/usr" + dir);
    }
  }
  for (const char* d : {"/usr/local/lib", "/lib", "/usr/lib", "/lib64", "/usr/lib64"}) add(d);
  return dirs;
}

namespace {

std::string SearchSharedObject(std::string_view name, const std::vector<std::string>& dirs) {
  std::vector<std::string> names = SharedObjectNames(name);
  for (const std::string& dir : dirs)
    for (const std::string& n : names)
      if (std::string p = InDirectory(dir, n); !p.empty()) return p;
  std::vector<std::string> system = SystemLibraryDirectories();
  for (const std::string& n : names)
    for (const std::string& dir : system) {
      if (std::string p = InDirectory(dir, n); !p.empty()) return p;
      if (std::string p = Versioned(dir, n); !p.empty()) return p;
    }
  // Directories only the dynamic linker's cache knows.
  for (const std::string& n : names)
    if (void* dl = dlopen(n.c_str(), RTLD_LAZY | RTLD_LOCAL)) {
      dlclose(dl);
      return n;
    }
  return {};
}

}  // namespace

std::string FindSharedObject(std::string_view name, const std::vector<std::string>& dirs) {
  if (name.empty()) return {};
  if (HasDirectoryPart(name)) {
    std::string host = HostPath(name);
    return !host.empty() && IsFile(host) ? host : std::string();
  }
  // Every call of a DLL function looks its library up; scanning the
  // system's directories each time made a call take milliseconds. What was
  // found is kept while the file is still there.
  static std::map<std::string, std::string> found;
  std::string key(name);
  for (const std::string& d : dirs) key += '\0' + d;
  auto it = found.find(key);
  if (it != found.end()) {
    if (it->second.find('/') == std::string::npos || IsFile(it->second)) return it->second;
    found.erase(it);
  }
  std::string path = SearchSharedObject(name, dirs);
  if (!path.empty()) found[key] = path;
  return path;
}

uint32_t LoadSharedObject(const std::string& hostPath, std::string* why) {
  if (hostPath.empty()) {
    if (why) *why = "no such library";
    return 0;
  }
  // A bare name (from the linker's cache) is dlopen's to find.
  void* dl = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    if (why) {
      const char* e = dlerror();
      *why = e ? e : "dlopen failed";
    }
    return 0;
  }
  auto& table = Table();
  for (auto& [h, l] : table)
    if (l.dl == dl) {
      ++l.refs;
      return h;
    }
  uint32_t handle = kFirstHandle;
  while (table.count(handle)) handle += kHandleStep;
  table[handle] = Loaded{dl, hostPath, 1};
  return handle;
}

void* SharedObjectSymbol(uint32_t handle, std::string_view name) {
  auto it = Table().find(handle);
  if (it == Table().end() || name.empty()) return nullptr;
  dlerror();
  return dlsym(it->second.dl, std::string(name).c_str());
}

std::string SharedObjectPath(uint32_t handle) {
  auto it = Table().find(handle);
  return it == Table().end() ? std::string() : it->second.path;
}

bool FreeSharedObject(uint32_t handle) {
  auto it = Table().find(handle);
  if (it == Table().end()) return false;
  dlclose(it->second.dl);
  if (--it->second.refs <= 0) Table().erase(it);
  return true;
}

uint64_t CallNative(void* fn, const int32_t* args, int count) {
  if (!fn || count < 0 || count > 12) return 0;
  ffi_type* wide = sizeof(void*) == 8 ? &ffi_type_sint64 : &ffi_type_sint32;
  ffi_type* types[12];
  intptr_t values[12];
  void* pointers[12];
  for (int i = 0; i < count; ++i) {
    types[i] = wide;
    values[i] = static_cast<intptr_t>(args[i]);
    pointers[i] = &values[i];
  }
  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(count), &ffi_type_sint64, types) != FFI_OK)
    return 0;
  int64_t result = 0;  // at least as wide as ffi_arg
  ffi_call(&cif, reinterpret_cast<void (*)()>(fn), &result, pointers);
  return static_cast<uint64_t>(result);
}

}  // namespace win
