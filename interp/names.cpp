#include "names.h"

#include <algorithm>

#include "builtins.h"
#include "commands.h"
#include "control.h"
#include "functions.h"
#include "mainloop.h"
#include "sysvars.h"

namespace tilmor {
namespace {

void Ready() { RegisterBuiltins(); }

}  // namespace

bool IsKeywordWord(const std::string& word) { return KeywordOf(word) != Keyword::None; }

bool IsCommandWord(const std::string& word) {
  Ready();
  if (IsKeywordWord(word)) return true;
  for (const std::string& w : LineWords())
    if (word == w) return true;
  const CommandEntry* e = FindCommand(word);
  return e && e->handler;
}

bool IsFunctionName(const std::string& name) {
  Ready();
  if (name == "$" || name == "%" || name == "&" || name == "!") return true;
  FunctionHandler handler = nullptr;
  return FindBuiltinFunction(name, handler) && handler;
}

bool IsSystemVariableName(const std::string& name) {
  Ready();
  return FindSystemVariable(name) != nullptr;
}

std::vector<std::string> CommandWords() {
  Ready();
  std::vector<std::string> words = KeywordNames();
  for (const std::string& w : LineWords()) words.push_back(w);
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  for (int i = 0; i < count; ++i)
    if (table[i].handler) words.push_back(table[i].name);
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  return words;
}

std::vector<std::string> FunctionNames() {
  Ready();
  std::vector<std::string> names{"$", "%", "&", "!"};  // the parameter functions
  const char* const* all = BuiltinFunctionNames();
  for (int i = 0; i < FunctionCount(); ++i)
    if (IsFunctionName(all[i])) names.push_back(all[i]);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> SystemVariableNamesKnown() {
  Ready();
  return SystemVariableNames();
}

}  // namespace tilmor
