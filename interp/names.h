// The words the interpreter knows, for tools that show programs (the
// editor's highlighting, the reference index): asked of the interpreter's
// own tables, so they never disagree with what a run does.
#pragma once

#include <string>
#include <vector>

namespace tilmor {

// `word` upper case. Commands with a handler in this build, the control
// keywords and the words a line may begin with that do nothing or guard the
// rest (REM, DEF, ENDIF, CASE, CASENOT).
bool IsCommandWord(const std::string& word);
// Control keywords alone (IF, WHILE, GOSUB, PROC ...).
bool IsKeywordWord(const std::string& word);
// Built-in function `name`, upper case without "@", with a handler in this
// build; the parameter functions "$", "%", "&" and "!" included.
bool IsFunctionName(const std::string& name);
// System variable `name`, upper case with its type character ("%ERROR").
bool IsSystemVariableName(const std::string& name);

// The same as lists, sorted.
std::vector<std::string> CommandWords();
std::vector<std::string> FunctionNames();
std::vector<std::string> SystemVariableNamesKnown();

}  // namespace tilmor
