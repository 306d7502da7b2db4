// Direct port input and output: OUTP, OUTPB, @INP and @INPB.
#include "argreader.h"
#include "commands.h"
#include "data_registry.h"
#include "fnargs.h"
#include "functions.h"
#include "ports.h"

namespace tilmor {
namespace {

void PortOut(Interp& in, int width) {
  ReadArg(in, ',', kNumber);
  uint16_t port = static_cast<uint16_t>(in.res.ival);
  ReadArg(in, ' ', kNumber);
  win::PortOut(port, width, static_cast<uint32_t>(in.res.ival));
}

void PortIn(Interp& in, int width) {
  uint16_t port = static_cast<uint16_t>(ReadNum(in, ')').ival);
  SetResultLong(in, kInteger, static_cast<int32_t>(win::PortIn(port, width)));
}

}  // namespace

void RegisterPorts() {
  RegisterCommand("OUTP", [](Interp& in, int) { PortOut(in, 2); });
  RegisterCommand("OUTPB", [](Interp& in, int) { PortOut(in, 1); });
  RegisterFunction("INP", [](Interp& in) { PortIn(in, 2); });
  RegisterFunction("INPB", [](Interp& in) { PortIn(in, 1); });
}

}  // namespace tilmor
