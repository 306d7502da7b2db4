// System variables: read-only names whose first character gives the type.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

using SysVarHandler = void (*)(Interp&);

void RegisterSystemVariable(const char* name, SysVarHandler handler);

// `name` is upper case with its type character. Fills the results; "$"
// followed by hexadecimal digits is a number.
void LookupSystemVariable(Interp& in, const std::string& name);

}  // namespace tilmor
