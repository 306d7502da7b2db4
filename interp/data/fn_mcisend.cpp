// @MCISEND$ and %MCIERROR: a command string to the MCI interpreter, its
// reply or the text of its error.
#include <string>

#include "data_registry.h"
#include "fnargs.h"
#include "functions.h"
#include "mmsystem.h"
#include "sysvars.h"

namespace tilmor {
namespace {

int32_t g_mciError = 0;

void FnMciSend(Interp& in) {
  std::string command = ReadText(in, ')', kRawText);
  char reply[256] = {};
  MCIERROR e = mciSendStringA(command.c_str(), reply, 255, 0);
  g_mciError = static_cast<int32_t>(e);
  if (e != 0) mciGetErrorStringA(e, reply, 255);
  SetResultText(in, reply);
}

}  // namespace

void RegisterMciSend() {
  RegisterFunction("MCISEND$", FnMciSend);
  RegisterSystemVariable("%MCIERROR", [](Interp& in) { in.res.ival = g_mciError; });
}

}  // namespace tilmor
