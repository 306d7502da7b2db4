// DDE as the client: DDELINK, DDEEXECUTE, DDETERMINATE and %DDEWIN, carried
// over the D-Bus session bus (platform/dde).
#include <string>

#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "data_registry.h"
#include "dde/dde.h"
#include "mainwindow.h"
#include "startup.h"
#include "sysvars.h"

namespace tilmor {
namespace {

// A server that does not answer within this time is taken as none.
constexpr int kAnswerMs = 10000;

// The conversation of the last DDELINK that a server accepted; 0 none.
uint32_t g_server = 0;

void CmdDdeLink(Interp& in, int) {
  ReadArg(in, ',', kAny);
  std::string app = ResultText(in);
  ReadArg(in, ' ', kAny);
  std::string topic = ResultText(in);
  if (g_server) win::DdeTerminate(g_server);
  g_server = 0;
  // Without a session bus nobody can answer; the window system stays unloaded.
  if (!win::SessionBusAvailable()) return;
  g_server = win::DdeConnect(app, topic, kAnswerMs);
}

void Pump(void* context) { PumpMessages(*static_cast<Interp*>(context)); }

void CmdDdeExecute(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  std::string command = ResultText(in);
  if (!g_server) return;
  // A server that leaves the command unanswered is gone for us.
  if (win::DdeExecute(g_server, command, kAnswerMs, Pump, &in) < 0) g_server = 0;
}

void CmdDdeTerminate(Interp&, int) {
  if (!g_server) return;
  win::DdeTerminate(g_server);
  g_server = 0;
}

void EndConversation() {
  if (g_server) win::DdeTerminate(g_server);
  g_server = 0;
}

}  // namespace

void RegisterDde() {
  RegisterCommand("DDELINK", CmdDdeLink);
  RegisterCommand("DDEEXECUTE", CmdDdeExecute);
  RegisterCommand("DDETERMINATE", CmdDdeTerminate);
  RegisterSystemVariable("%DDEWIN", [](Interp& in) { in.res.ival = static_cast<int32_t>(g_server); });
  AtProgramEnd(EndConversation);
}

}  // namespace tilmor
