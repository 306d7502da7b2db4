// @PAR$, @EXTSTRING$ and @FORMAT$.
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "picture.h"

namespace tilmor {
namespace {

void Par(Interp& in) {
  NumArg n = ReadNum(in, ')');
  if (n.ival < 0 || n.ival >= static_cast<int32_t>(in.args.size())) {
    RuntimeError(in, 208);
    return SetResultText(in, "");
  }
  SetResultText(in, in.args[static_cast<size_t>(n.ival)]);
}

// Our executables carry no string resources.
void ExtString(Interp& in) {
  ReadNum(in, ',');
  ReadNum(in, ')');
  SetResultText(in, "");
}

void Format(Interp& in) {
  std::string picture = ReadText(in, ',');
  NumArg x = ReadNum(in, ')');
  SetResultText(in, FormatPicture(picture, x.fval));
}

}  // namespace

void RegisterSystemFunctions() {
  RegisterFunction("PAR$", Par);
  RegisterFunction("EXTSTRING$", ExtString);
  RegisterFunction("FORMAT$", Format);
}

}  // namespace tilmor
