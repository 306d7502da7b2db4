// System variables: read-only names whose first character gives the type.
#pragma once

#include <string>
#include <vector>

#include "interp.h"

namespace tilmor {

using SysVarHandler = void (*)(Interp&);

void RegisterSystemVariable(const char* name, SysVarHandler handler);
// The registered names, with their type character, sorted.
std::vector<std::string> SystemVariableNames();

// `name` is upper case with its type character. Fills the results; "$"
// followed by hexadecimal digits is a number.
void LookupSystemVariable(Interp& in, const std::string& name);
// The handler of a registered name, nullptr for none; and the lookup with
// it already found.
SysVarHandler FindSystemVariable(const std::string& name);
void ApplySystemVariable(Interp& in, const std::string& name, SysVarHandler handler);

}  // namespace tilmor
