// SHOWCURSOR: the mouse cursor shown or hidden, whatever the display count
// was before.
#include "argreader.h"
#include "commands.h"
#include "drawing.h"

namespace tilmor {
namespace {

// Enough steps for any count a program can have built up.
constexpr int kMaxSteps = 1 << 16;

void CmdShowCursor(Interp& in, int) {
  ReadArg(in, ' ', kNumber);
  bool show = in.res.lval != 0;
  for (int i = 0; i < kMaxSteps; ++i) {
    int count = ShowCursor(show ? TRUE : FALSE);
    if (show ? count >= 0 : count < 0) break;
  }
}

}  // namespace

void RegisterCursorCommands() { RegisterCommand("SHOWCURSOR", CmdShowCursor); }

}  // namespace tilmor
