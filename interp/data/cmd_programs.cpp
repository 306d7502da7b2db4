// Other programs and the system: SHELL, RUN, @WINEXEC, @WINEXECWAIT,
// EXITWINDOWS, WINHELP, @GETENV$ and SETLFN.
#include <cstdlib>
#include <string>

#include "app.h"
#include "argreader.h"
#include "batch.h"
#include "codepage.h"
#include "commands.h"
#include "control.h"
#include "data_registry.h"
#include "file_slots.h"
#include "fnargs.h"
#include "functions.h"
#include "process.h"
#include "winpath.h"

namespace tilmor {
namespace {

void CmdShell(Interp& in, int) {
  ReadArg(in, ' ', kRawText);
  win::WinExec(in.res.text, SelfDirectory(in), false);
}

// As SHELL, then the program ends as with END.
void CmdRun(Interp& in, int sub) {
  CmdShell(in, sub);
  in.stop = true;
}

// A show mode outside 0..9 is 0. Hidden (0) is the one mode that means
// something here: the program shows nothing, not even its text output.
bool Hidden(int32_t mode) { return mode < 0 || mode > 9 || mode == 0; }

void FnWinExec(Interp& in) {
  std::string line = ReadText(in, ',', kRawText);
  bool hidden = Hidden(ReadNum(in, ')').ival);
  SetResultLong(in, kLong, static_cast<int32_t>(win::WinExec(line, SelfDirectory(in), hidden)));
}

// Waits without processing window messages; only Ctrl+C ends the wait.
void FnWinExecWait(Interp& in) {
  std::string line = ReadText(in, ',', kRawText);
  bool hidden = Hidden(ReadNum(in, ')').ival);
  bool started = win::RunAndWait(line, SelfDirectory(in), hidden, win::InterruptRequested);
  SetResultLong(in, kInteger, started ? 1 : 0);
}

void CmdExitWindows(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  int32_t mode = in.res.ival;
  if (win::IsBatchMode()) return win::WriteBoxLine("EXITWINDOWS", std::to_string(mode));
  win::StartDetached({"systemctl", mode != 0 ? "reboot" : "poweroff"});
}

// Topic "?" would be help on help and "*" the index; the desktop's viewer
// only opens the file.
void CmdWinHelp(Interp& in, int) {
  ReadArg(in, ',', kRawText);
  std::string file = in.res.text;
  ReadArg(in, ' ', kAny);
  std::string topic = ResultText(in);
  if (win::IsBatchMode()) return win::WriteBoxLine("WINHELP", file + " " + topic);
  std::string host = win::HostPath(file);
  if (win::FileExists(file)) win::StartDetached({"xdg-open", host});
}

void FnGetEnv(Interp& in) {
  std::string name = ReadText(in, ')');
  const char* value = name.empty() ? nullptr : std::getenv(win::Cp1252ToUtf8(name).c_str());
  std::string text = value ? win::Utf8ToCp1252(value) : std::string();
  if (text.size() > 254) text.resize(254);  // a buffer of 255 with its zero
  SetResultText(in, text);
}

void CmdSetLfn(Interp& in, int) { ReadArg(in, ' ', kAny); }

}  // namespace

void RegisterPrograms() {
  RegisterCommand("SHELL", CmdShell);
  RegisterCommand("RUN", CmdRun);
  RegisterCommand("EXITWINDOWS", CmdExitWindows);
  RegisterCommand("WINHELP", CmdWinHelp);
  RegisterCommand("SETLFN", CmdSetLfn);
  RegisterFunction("WINEXEC", FnWinExec);
  RegisterFunction("WINEXECWAIT", FnWinExecWait);
  RegisterFunction("GETENV$", FnGetEnv);
}

}  // namespace tilmor
