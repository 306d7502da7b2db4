#include "sysvars.h"

#include <algorithm>
#include <unordered_map>

#include "errors.h"
#include "numbers.h"

namespace tilmor {
namespace {

std::unordered_map<std::string, SysVarHandler>& Table() {
  static std::unordered_map<std::string, SysVarHandler> table;
  return table;
}

}  // namespace

void RegisterSystemVariable(const char* name, SysVarHandler handler) { Table()[name] = handler; }

std::vector<std::string> SystemVariableNames() {
  std::vector<std::string> names;
  for (const auto& [name, handler] : Table()) names.push_back(name);
  std::sort(names.begin(), names.end());
  return names;
}

SysVarHandler FindSystemVariable(const std::string& name) {
  auto it = Table().find(name);
  return it == Table().end() ? nullptr : it->second;
}

void LookupSystemVariable(Interp& in, const std::string& name) {
  ApplySystemVariable(in, name, FindSystemVariable(name));
}

void ApplySystemVariable(Interp& in, const std::string& name, SysVarHandler handler) {
  ArgResult& r = in.res;
  r.ival = r.lval = 0;
  r.fval = 0.0;
  switch (name[0]) {
    case '$': r.type = kString; break;
    case '%': r.type = kInteger; break;
    case '&': r.type = kLong; break;
    default: r.type = kFloat; break;
  }
  r.text.clear();
  bool matched = false;
  if (handler) {
    handler(in);
    matched = true;
  } else if (name[0] == '$') {
    bool ok;
    int32_t v = ReadWhole(name, &ok);
    if (ok) {
      r.ival = r.lval = v;
      r.text = std::to_string(v);
      matched = true;
    }
  }
  if (r.lval == 0) r.lval = r.ival;
  if (r.ival == 0) r.ival = r.lval;
  if (r.fval == 0.0) r.fval = r.lval;
  if (!matched) {
    RuntimeError(in, 100, name);
    return;
  }
  // Numeric values carry their text; string-typed numbers (%ERROR and
  // friends) set their own.
  if (r.type == kFloat)
    r.text.SetFloat(r.fval, in.numWidth, in.decimals);
  else if (r.type != kString)
    r.text.SetWhole(r.lval, in.numWidth);
}

}  // namespace tilmor
