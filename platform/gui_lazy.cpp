// Stand-ins for the window-system layer in programs that load it on first
// use: each forwards to the loaded module's table, loading it first.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "modules.h"
#include "batch.h"
#include "gui_module.h"
#include "gui_table.h"

namespace win {
namespace {

const GuiTable* g_table = nullptr;
bool g_forbidden = false;
int g_argc = 0;
char** g_argv = nullptr;
void (*g_failure)() = nullptr;

std::vector<void (*)()>& Hooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}

[[noreturn]] void Fail(const std::string& why) {
  // Where the window system is not wanted, needing it is no news.
  if (!g_forbidden) {
    std::fflush(stdout);
    std::string self = g_argc > 0 && g_argv ? g_argv[0] : "tilmor";
    self = self.substr(self.find_last_of('/') + 1);
    std::fprintf(stderr, "%s: no window system: %s\n", self.c_str(), why.c_str());
    std::fflush(stderr);
  }
  if (g_failure) g_failure();
  _exit(255);
}

const GuiTable& Gui() {
  if (g_table) return *g_table;
  if (g_forbidden) Fail({});
  std::string path = ModulePath("TILMOR_GUI_MODULE", "libtilmor_gui.so");
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) Fail(dlerror());
  using Entry = const GuiTable* (*)(int);
  auto entry = reinterpret_cast<Entry>(dlsym(handle, "tilmor_gui_table"));
  const GuiTable* table = entry ? entry(kGuiTableVersion) : nullptr;
  if (!table) Fail(path + " belongs to another build");
  g_table = table;
  g_table->CreateApplication(g_argc, g_argv, IsBatchMode());
  for (auto hook : Hooks()) hook();
  return *g_table;
}

}  // namespace

void PrepareApplication(int argc, char** argv, bool) {
  g_argc = argc;
  g_argv = argv;
}

bool GuiLoaded() { return g_table != nullptr; }

void WhenGuiLoaded(void (*f)()) {
  for (auto hook : Hooks())
    if (hook == f) return;
  Hooks().push_back(f);
  if (g_table) f();
}

void SetGuiFailureHandler(void (*f)()) { g_failure = f; }

void ForbidGui() { g_forbidden = true; }

#define TILMOR_GUI_FORWARD(r, n, p, a) \
  r n p { return Gui().n a; }
#define TILMOR_GUI_ASK(r, n, p, a, value) \
  r n p {                                 \
    if (g_table) return g_table->n a;     \
    return r(value);                      \
  }
TILMOR_GUI_WIN_FUNCTIONS(TILMOR_GUI_FORWARD)
TILMOR_GUI_WIN_QUERIES(TILMOR_GUI_ASK)

}  // namespace win

using win::Gui;
using win::g_table;

TILMOR_GUI_FUNCTIONS(TILMOR_GUI_FORWARD)
TILMOR_GUI_QUERIES(TILMOR_GUI_ASK)

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (win::IsBatchMode() && !g_table) return win::BatchMessageBox(text, caption, type);
  return Gui().MessageBoxA(owner, text, caption, type);
}

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) {
  if (win::IsBatchMode() && !g_table) return win::BatchFileDialog(ofn);
  return Gui().GetOpenFileNameA(ofn);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) {
  if (win::IsBatchMode() && !g_table) return win::BatchFileDialog(ofn);
  return Gui().GetSaveFileNameA(ofn);
}
