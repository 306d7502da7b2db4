// LoadLibraryA as programs see it: a library name becomes a loaded shared
// object, one of the built-in Win32 modules, or (for @USEDLL) a Windows
// module or resource file whose resources programs can use.
#pragma once

#include <cstdint>
#include <string>

#include "interp.h"
#include "win32_modules.h"

namespace tilmor {

struct Library {
  uint32_t handle = 0;  // 0: not loaded
  const Win32Module* builtin = nullptr;
  bool resources = false;  // a module only read for its resources
  bool found = false;      // a file of that name exists, loaded or not
};

// The directories searched before the system's: the program's, then the
// interpreter's.
std::vector<std::string> LibraryDirectories(Interp& in);
// withResources: a file that is no shared object but a Windows module or a
// .res file is loaded for its resources.
Library LoadLibrary(Interp& in, const std::string& name, bool withResources);
void FreeLibrary(const Library& lib);

// The result of a DLL function: a long that is its integer and float value too.
void SetLongResult(Interp& in, int32_t v);

// The 16-bit call of a DEF body beginning with "*" (dll16.cpp).
void CallThroughTilm16(Interp& in, const std::string& body, int argCount);

}  // namespace tilmor
