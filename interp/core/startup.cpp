#include "startup.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include "app.h"
#include "batch.h"
#include "chars.h"
#include "codepage.h"
#include "commands.h"
#include "dialogs.h"
#include "winuser.h"
#include "errors.h"
#include "gui_module.h"
#include "interp.h"
#include "loader.h"
#include "mainwindow.h"
#include "mainloop.h"
#include "printjob.h"
#include "messages.h"
#include "sysvars_core.h"
#include "version.h"
#include "winpath.h"

namespace tilmor {
namespace {

void AfterBox(Interp&) {
  MainWindowState& m = MW();
  if (!m.exists) return;
  InvalidateRect(m.hwnd, nullptr, FALSE);
  UpdateWindow(m.hwnd);
}

void BeforeBox(Interp& in) {
  // An error that ends the run ends the print job before its box.
  if (in.errorLevel != -1) EndPrintJob(in);
  // Nobody can have hidden the cursor before the window system is there.
  if (!win::GuiLoaded()) return;
  while (ShowCursor(TRUE) < 0) {
  }
  ShowCursor(FALSE);
}

void AfterTrace(Interp& in) {
  HWND focus = GetFocus();
  AfterBox(in);
  if (focus) SetFocus(focus);
}

void InformationBox(Interp& in) {
  EnsureMainWindow(in);
  MessageBoxA(MW().hwnd, "ZEL-TILMOR\xB2-INTERPRETER " TILMOR_INTERPRETER_VERSION "\r\n\r\nf\xFCr Linux, mit Qt",
              "T I L M O R \xB2", MB_ICONINFORMATION | MB_SYSTEMMODAL);
  in.events.menuItem = 254;
  if (MW().exists) UpdateWindow(MW().hwnd);
}

bool CanOpen(const std::string& name) {
  return !name.empty() && CanOpenRegularFile(win::HostPath(name));
}

// The program file: the first argument (".TMF" added to a name without
// extension), else the open-file dialog. Empty when the user gave up.
std::string ChooseProgramFile(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::string name = args[0];
    if (!win::HasExtension(name)) name += ".TMF";
    if (ReportUnopenable("tilmor", name)) return name;
  }
  for (;;) {
    std::string chosen = Trim(win::AskOpenFileName("TILMOR\xB2-" + MessageText(800),
                                                   "Tilmor-Source (*.tmf)|*.TMF|All (*.*)|*.*"));
    if (chosen.empty()) return {};
    if (CanOpen(chosen)) return chosen;
  }
}

// In batch mode nobody sees the window, unless its picture is asked for:
// text goes to standard output only, and the window (with Qt) is made
// when something else needs it. From then on text goes into it as well.
class BatchText : public TextOutput {
 public:
  void Write(std::string_view text) override {
    if (MW().exists) {
      WriteText(TheInterp(), text);
      return;
    }
    MW().textShown = true;
    std::string echo;
    for (char c : text)
      if (c != '\a' && c != '\b' && c != '\r') echo += c;  // as the window echoes them
    if (!echo.empty()) win::WriteConsoleText(echo);
  }
};

[[noreturn]] void NoWindowSystem() { throw ProgramEnd{kExitAborted}; }

uint64_t g_lineLimit = 0;
void PumpWithinLimit(Interp& in) {
  if (in.linesExecuted >= g_lineLimit) throw ProgramEnd{kExitAborted};
  PumpBetweenLines(in);
}

// A request to end (a signal) that came while a box was open ends the run
// there; once the run is ending, boxes are only skipped.
bool g_running = false;
void EndRun() {
  if (g_running) throw ProgramEnd{kExitAborted};
}

std::vector<void (*)()>& EndHandlers() {
  static std::vector<void (*)()> handlers;
  return handlers;
}

void Teardown(Interp& in) {
  // Tables and files first: they are flushed before anything else goes.
  for (auto it = EndHandlers().rbegin(); it != EndHandlers().rend(); ++it) (*it)();
  TeardownWindow(in);
  FreeAllAreas(in.vars);
  in.vars = Variables{};
}

}  // namespace

void AtProgramEnd(void (*handler)()) {
  auto& h = EndHandlers();
  if (std::find(h.begin(), h.end(), handler) == h.end()) h.push_back(handler);
}

int RunInterpreter(const RunOptions& options) {
  std::vector<std::string> programArgs;
  for (const std::string& a : options.args) programArgs.push_back(win::Utf8ToCp1252(a));
  std::string file = ChooseProgramFile(programArgs);
  if (file.empty()) {
    MessageBoxA(0, MessageText(802).c_str(), "T I L M O R \xB2", MB_ICONERROR);
    return 2;
  }
  LoadResult loaded = LoadProgram(file, LoaderKind::Interpreter, ConfiguredIncludePath());
  if (win::InterruptRequested()) return kExitAborted;
  if (!loaded.ok) {
    MessageBoxA(0, loaded.failure.text.c_str(), loaded.failure.title.c_str(), MB_ICONERROR);
    return loaded.failure.exitCode;
  }
  return RunLoadedProgram(options, std::move(loaded.table));
}

int RunLoadedProgram(const RunOptions& options, LineTable lines) {
  Interp in;
  static BatchText batchText;
  if (options.batch && options.screenshot.empty()) in.text = &batchText;
  BindInterp(&in);
  in.args.push_back(options.self);
  for (const std::string& a : options.args) in.args.push_back(win::Utf8ToCp1252(a));
  in.lines = std::move(lines);
  in.lastLine = in.lines.count();
  in.scan.Attach(&in.lines);
  if (options.registerBuiltins) options.registerBuiltins();
  win::SetGuiFailureHandler(NoWindowSystem);
  win::SetInterruptHandler(EndRun);
  win::WhenGuiLoaded(RegisterWindowClasses);
  LoopHooks hooks;
  g_lineLimit = options.lineLimit;
  hooks.pump = g_lineLimit ? PumpWithinLimit : PumpBetweenLines;
  win::WhenGuiLoaded([] { win::SetAttentionFlag(&g_loopAttention); });
  hooks.afterTrace = AfterTrace;
  hooks.informationBox = InformationBox;
  SetLoopHooks(hooks);
  SetErrorHooks(ErrorHooks{BeforeBox, AfterBox});

  int code = kExitNormal;
  g_running = true;
  try {
    RunMainLoop(in);
  } catch (const ProgramEnd& end) {
    code = end.code;
  }
  try {
    ProgramEnded(in, code, options.screenshot);
  } catch (const ProgramEnd&) {
  }
  g_running = false;
  // Also a request that ended the wait after the last line.
  if (win::InterruptRequested()) code = kExitAborted;
  Teardown(in);
  // For the benchmarks: how many lines ran.
  if (const char* stats = std::getenv("TILMOR_STATS")) {
    if (FILE* f = std::fopen(stats, "w")) {
      std::fprintf(f, "%llu\n", static_cast<unsigned long long>(in.linesExecuted));
      std::fclose(f);
    }
  }
  return code;
}

}  // namespace tilmor
