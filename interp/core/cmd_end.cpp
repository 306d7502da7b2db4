// END and SETERRORLEVEL.
#include "argreader.h"
#include "commands.h"

namespace tilmor {

void CmdEnd(Interp& in, int) { in.stop = true; }

void CmdSetErrorLevel(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  in.errorLevel = in.res.ival;
}

}  // namespace tilmor
