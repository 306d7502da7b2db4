// Memory-area arguments of BLOCKWRITE, @BLOCKREAD and READTEXT.
#include "chars.h"
#include "data_registry.h"
#include "errors.h"

namespace tilmor {

std::string TakeAreaName(Interp& in) {
  size_t comma = in.param.find(',');
  std::string name = UpperCase(Trim(std::string_view(in.param).substr(0, comma)));
  in.param = comma == std::string::npos ? std::string() : Trim(std::string_view(in.param).substr(comma + 1));
  return name;
}

Area* DimensionedArea(Interp& in, const std::string& name) {
  if (name.empty() || name.back() != '#') {
    RuntimeError(in, 121);
    return nullptr;
  }
  Area* a = in.vars.areas.Find(name);
  if (!a) {
    RuntimeError(in, 215, name);
    return nullptr;
  }
  if (!a->block) {
    RuntimeError(in, 243);
    return nullptr;
  }
  return a;
}

}  // namespace tilmor
