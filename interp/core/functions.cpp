#include "functions.h"

#include <unordered_map>

#include "argreader.h"
#include "chars.h"
#include "errors.h"

namespace tilmor {
namespace {

std::unordered_map<std::string, FunctionHandler>& Builtins() {
  static std::unordered_map<std::string, FunctionHandler> table;
  return table;
}

// @$(n), @%(n), @&(n), @!(n): parameter slot n as a text, integer, long or
// float result.
bool ParameterFunction(Interp& in, char kind) {
  static const std::string kKinds = "$%&!";
  size_t k = kKinds.find(kind);
  if (k == std::string::npos) return false;
  ReadArg(in, ')', kNumber);
  int32_t n = in.res.ival;
  if (n < 0 || n > 12) {
    RuntimeError(in, 211);
    n = 0;
  }
  const ParamSlot& s = in.slots[static_cast<size_t>(n)];
  in.res.type = static_cast<int>(k) + 1;
  in.res.text = s.text;
  in.res.ival = s.ival;
  in.res.lval = s.lval;
  in.res.fval = s.fval;
  return true;
}

}  // namespace

void RegisterFunction(const char* name, FunctionHandler handler) { Builtins()[name] = handler; }

void SkipCallArguments(Interp& in) {
  int p = FindTop(')', in.param);
  if (p > 0)
    in.param.erase(0, static_cast<size_t>(p - 1));
  else
    in.param.clear();
}

void EvaluateFunction(Interp& in, const std::string& rawName) {
  std::string name = Trim(rawName);
  in.res.fval = 0.0;
  bool handled = false;
  auto it = Builtins().find(name);
  if (it != Builtins().end()) {
    it->second(in);
    handled = true;
  }
  // Result completion: the long value defines the whole-number forms.
  if (in.res.type != kString) in.res.ival = in.res.lval;
  if (in.res.type == kString || in.res.type == kInteger || in.res.type == kLong)
    in.res.fval = in.res.lval;
  if (handled) return;
  if (name.size() == 1 && ParameterFunction(in, name[0])) return;
  RuntimeError(in, 101, name);
  // Going on at error level -1: the call yields an empty text.
  in.res.type = kString;
  in.res.text.clear();
  SkipCallArguments(in);
}

}  // namespace tilmor
