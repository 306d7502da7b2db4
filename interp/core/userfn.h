// User functions defined by DEF lines: "DEF @NAME(n) body".
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

// Runs the user function `name` when a DEF line on or above the current line
// defines it; false when there is none.
bool CallUserFunction(Interp& in, const std::string& name);

// Hook of the DLL bridge for bodies beginning with "!" or "*": the body and
// the declared parameter count (above 12 only at error level -1, when the
// arguments were not read).
using DllBodyHandler = void (*)(Interp& in, const std::string& body, int argCount);
void SetDllBodyHandler(DllBodyHandler handler);

}  // namespace tilmor
