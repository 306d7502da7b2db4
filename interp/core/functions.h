// The function evaluator: built-in functions by hashed name, the parameter
// functions, then DEF user functions.
#pragma once

#include <string>

#include "interp.h"

namespace tilmor {

using FunctionHandler = void (*)(Interp&);

// Gives a name of the function table its handler; families register from
// their own files at start-up.
void RegisterFunction(const char* name, FunctionHandler handler);
int FunctionCount();
// The built-in names (without "@") in comparison order; FunctionCount() of them.
const char* const* BuiltinFunctionNames();
bool IsBuiltinFunction(const std::string& name);

// Evaluates the function `name` (without "@", upper case). The parameter
// text starts after the "("; on return the results hold the value.
void EvaluateFunction(Interp& in, const std::string& name);
// The same for a name already looked up: `builtin` tells whether it is in
// the function table, `handler` is its handler (nullptr while unbuilt).
void EvaluateCall(Interp& in, const std::string& name, bool builtin, FunctionHandler handler);
bool FindBuiltinFunction(const std::string& name, FunctionHandler& handler);

// After an unknown function at error level -1: drops the rest of the call
// up to its closing parenthesis so reading goes on after it.
void SkipCallArguments(Interp& in);

}  // namespace tilmor
