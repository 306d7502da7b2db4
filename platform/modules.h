// Where the programs find the modules they load on first use.
#pragma once

#include <string>

namespace win {

// The module file `name`: the path in environment variable `override` when
// set, else beside the running program (the build), else beside or below
// the directory of SetModuleDirectory, else in the installed library
// directory.
std::string ModulePath(const char* override, const char* name);
// A further directory holding the modules: that of the runtime a
// stand-alone program was made from.
void SetModuleDirectory(const std::string& dir);

}  // namespace win
