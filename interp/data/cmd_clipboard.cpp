// The clipboard: CLEARCLIP, PUTCLIP and @GETCLIP$.
#include "argreader.h"
#include "clipboard.h"
#include "commands.h"
#include "control.h"
#include "data_registry.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

void CmdClearClip(Interp&, int) { win::ClearClipboard(); }

void CmdPutClip(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  win::PutClipboardText(ResultText(in));
}

void FnGetClip(Interp& in) { SetResultText(in, win::ClipboardText()); }

}  // namespace

void RegisterClipboard() {
  RegisterCommand("CLEARCLIP", CmdClearClip);
  RegisterCommand("PUTCLIP", CmdPutClip);
  RegisterFunction("GETCLIP$", FnGetClip);
}

}  // namespace tilmor
