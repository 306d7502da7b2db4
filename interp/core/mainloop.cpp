#include "mainloop.h"

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "dialogs.h"
#include "errors.h"

namespace tilmor {
namespace {

LoopHooks g_hooks;

void Trace(Interp& in) {
  int answer = MessageBoxA(in.mainWindow, in.DisplayText().c_str(), "TRACE:",
                           MB_OKCANCEL | MB_ICONINFORMATION);
  if (answer == IDCANCEL) RuntimeError(in, 999);
  if (g_hooks.afterTrace) g_hooks.afterTrace(in);
}

bool IsNoOp(const std::string& cmd) {
  return cmd.empty() || cmd[0] == '\'' || cmd == "REM" || cmd == "ENDIF" || cmd == "DEF";
}

}  // namespace

void SetLoopHooks(LoopHooks hooks) { g_hooks = hooks; }

void ExecuteLine(Interp& in) {
  const PreparedLine& prep = in.Prepared(in.cur, in.opMode);
  in.cmd = prep.cmd;
  in.param = prep.param;
  in.handled = false;

  if (IsOperatorModeSwitch(in.cmd)) {
    in.opMode = in.cmd[2] == '+';
    in.handled = true;
  }
  if (in.trace && !in.cmd.empty()) Trace(in);
  if (in.param.empty() && !in.cmd.empty() && in.cmd.back() == ':') in.handled = true;  // a label
  if (in.events.menuItem == 255 && g_hooks.informationBox) g_hooks.informationBox(in);
  if (in.handled) return;

  if (in.cmd == "CASE" || in.cmd == "CASENOT") {
    if (!ExecuteCase(in, in.cmd.size() == 7)) return;
  }
  if (IsNoOp(in.cmd)) return;

  int p = FindTop('\'', in.param);
  if (p > 0) {
    in.param.resize(static_cast<size_t>(p - 1));
    TrimInPlace(in.param);
  }

  if (in.cmd == "@") {
    ReadArg(in, ' ', kAny);
    in.handled = true;
    return;
  }
  if (Keyword k = KeywordOf(in.cmd); k != Keyword::None) {
    ExecuteKeyword(in, k);
    return;
  }
  if (DispatchCommand(in)) return;
  CallProcedure(in);
}

void RunMainLoop(Interp& in) {
  while (in.cur < in.lastLine && !in.stop) {
    ++in.cur;
    ++in.linesExecuted;
    ExecuteLine(in);
    if (g_hooks.pump) g_hooks.pump(in);
  }
}

}  // namespace tilmor
