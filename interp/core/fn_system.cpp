// @PAR$, @EXTSTRING$ and @FORMAT$.
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "picture.h"
#include "resources/resources.h"

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

// String i of a module loaded by @USEDLL (a resource file or a Windows
// module); our own executables carry no string tables.
void ExtString(Interp& in) {
  NumArg module = ReadNum(in, ',');
  NumArg id = ReadNum(in, ')');
  char text[256];
  if (module.ival == 0 || id.ival < 0 || id.ival > 0xFFFF ||
      win::LoadStringA(static_cast<HINSTANCE>(module.ival), static_cast<UINT>(id.ival), text, sizeof text) == 0)
    return SetResultText(in, "");
  SetResultText(in, text);
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
