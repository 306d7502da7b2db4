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
#include "interp.h"
#include "loader.h"
#include "mainwindow.h"
#include "mainloop.h"
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

void BeforeBox(Interp&) {
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
  if (!loaded.ok) {
    MessageBoxA(0, loaded.failure.text.c_str(), loaded.failure.title.c_str(), MB_ICONERROR);
    return loaded.failure.exitCode;
  }
  return RunLoadedProgram(options, std::move(loaded.table));
}

int RunLoadedProgram(const RunOptions& options, LineTable lines) {
  Interp in;
  BindInterp(&in);
  in.args.push_back(options.self);
  for (const std::string& a : options.args) in.args.push_back(win::Utf8ToCp1252(a));
  in.lines = std::move(lines);
  in.lastLine = in.lines.count();
  in.scan.Attach(&in.lines);
  if (options.registerBuiltins) options.registerBuiltins();
  RegisterWindowClasses();
  LoopHooks hooks;
  hooks.pump = PumpBetweenLines;
  hooks.attention = &win::g_attention;
  hooks.afterTrace = AfterTrace;
  hooks.informationBox = InformationBox;
  SetLoopHooks(hooks);
  SetErrorHooks(ErrorHooks{BeforeBox, AfterBox});

  int code = kExitNormal;
  try {
    RunMainLoop(in);
  } catch (const ProgramEnd& end) {
    code = end.code;
  }
  try {
    ProgramEnded(in, code, options.screenshot);
  } catch (const ProgramEnd&) {
  }
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
