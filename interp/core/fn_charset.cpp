// @ANSITOOEM$ and @OEMTOANSI$: the Windows and the OEM character set.
#include "argreader.h"
#include "commands.h"
#include "functions.h"
#include "oem.h"

namespace tilmor {
namespace {

void Convert(Interp& in, std::string (*convert)(std::string_view)) {
  ReadArg(in, ')', kText);
  in.res.text = convert(in.res.text);
  in.res.type = kString;
}

}  // namespace

void RegisterCharsetFunctions() {
  RegisterFunction("ANSITOOEM$", [](Interp& in) { Convert(in, win::AnsiToOem); });
  RegisterFunction("OEMTOANSI$", [](Interp& in) { Convert(in, win::OemToAnsi); });
}

}  // namespace tilmor
