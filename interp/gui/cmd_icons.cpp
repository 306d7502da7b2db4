// Icons and cursors: DRAWICON, DRAWSYSICON, DRAWEXTICON, DRAWLIBICON,
// DRAWPROGICON, USEICON, USECURSOR, USEEXTCURSOR and @ICONCOUNT.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "dialogs/dialogbox.h"
#include "drawing.h"
#include "errors.h"
#include "fnargs.h"
#include "functions.h"
#include "gdi/bitmaps.h"
#include "mainwindow.h"
#include "winpath.h"

namespace tilmor {
namespace {

constexpr int kNoIcon = 224, kNoSystemIcon = 225, kNoCursor = 230;

// Draws an icon into the window and the shadow and destroys it; false when
// there is none or drawing into the window fails.
bool Draw(HICON icon, int32_t x, int32_t y) {
  if (!icon) return false;
  x = PageUnits(x), y = PageUnits(y);
  bool drawn = true;
  bool first = true;
  for (HDC dc : DrawContexts()) {
    BOOL ok = DrawIcon(dc, x, y, icon);
    if (first) drawn = ok != 0;
    first = false;
  }
  DestroyIcon(icon);
  return drawn;
}

void CmdDrawIcon(Interp& in, int) {
  std::string name = ReadText(in, ',');
  int32_t x = ReadLong(in, ',');
  int32_t y = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  if (!Draw(LoadIconA(kSelfInstance, ResourceName(name)), x, y)) RuntimeError(in, kNoIcon, name);
}

void CmdDrawSysIcon(Interp& in, int) {
  int32_t n = ReadLong(in, ','), x = ReadLong(in, ',');
  int32_t y = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  HICON icon = n >= 0 && n <= 4 ? LoadIconA(0, MAKEINTRESOURCEA(IDI_APPLICATION + n)) : 0;
  if (!Draw(icon, x, y)) RuntimeError(in, kNoSystemIcon);
}

void CmdDrawExtIcon(Interp& in, int) {
  HINSTANCE instance = ReadLong(in, ',');
  std::string name = ReadText(in, ',');
  int32_t x = ReadLong(in, ',');
  int32_t y = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  if (!Draw(LoadIconA(instance, ResourceName(name)), x, y)) RuntimeError(in, kNoIcon, name);
}

// file$, n, x, y: icon n of a program or library file.
void CmdDrawFileIcon(Interp& in, int) {
  std::string file = ReadText(in, ',');
  int32_t n = ReadLong(in, ','), x = ReadLong(in, ',');
  int32_t y = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  std::string path = win::HostPath(file);
  HICON icon = n >= 0 ? ExtractIconA(kSelfInstance, path.c_str(), static_cast<UINT>(n)) : 0;
  if (!Draw(icon, x, y)) RuntimeError(in, kNoIcon, file);
}

void CmdUseIcon(Interp& in, int) {
  std::string name = ReadText(in, ' ');
  EnsureMainWindow(in);
  HICON icon = LoadIconA(kSelfInstance, ResourceName(name));
  if (!icon) return RuntimeError(in, kNoIcon, name);
  SetClassLongA(MW().hwnd, GCL_HICON, icon);
}

void SetMainCursor(HCURSOR cursor) {
  SetCursor(cursor);
  if (MW().exists) SetClassLongA(MW().hwnd, GCL_HCURSOR, cursor);
}

void CmdUseCursor(Interp& in, int) {
  int32_t n = ReadLong(in, ' ');
  static const char* kOwn[] = {"DRUCKER", "SCHIEBEN", "GROESSE"};
  HCURSOR cursor = 0;
  if (n >= 11 && n <= 13) {
    cursor = LoadCursorA(kSelfInstance, kOwn[n - 11]);
  } else {
    int32_t id = IDC_ARROW + n;
    if (id > IDC_UPARROW) id = n + 32635;
    if (id >= IDC_ARROW && id <= IDC_SIZENS) cursor = LoadCursorA(0, MAKEINTRESOURCEA(id));
  }
  if (!cursor) return RuntimeError(in, kNoCursor);
  SetMainCursor(cursor);
}

void CmdUseExtCursor(Interp& in, int) {
  HINSTANCE instance = ReadLong(in, ',');
  std::string name = ReadText(in, ' ');
  HCURSOR cursor = LoadCursorA(instance, ResourceName(name));
  if (!cursor) return RuntimeError(in, kNoCursor);
  SetMainCursor(cursor);
}

void IconCount(Interp& in) {
  std::string path = win::HostPath(ReadText(in, ')'));
  UINT n = ExtractIconA(kSelfInstance, path.c_str(), 0xFFFFFFFFu);
  SetResultLong(in, kInteger, static_cast<int32_t>(n));
}

}  // namespace

void RegisterIconCommands() {
  RegisterCommand("DRAWICON", CmdDrawIcon);
  RegisterCommand("DRAWSYSICON", CmdDrawSysIcon);
  RegisterCommand("DRAWEXTICON", CmdDrawExtIcon);
  RegisterCommand("DRAWLIBICON", CmdDrawFileIcon);
  RegisterCommand("DRAWPROGICON", CmdDrawFileIcon);
  RegisterCommand("USEICON", CmdUseIcon);
  RegisterCommand("USECURSOR", CmdUseCursor);
  RegisterCommand("USEEXTCURSOR", CmdUseExtCursor);
  RegisterFunction("ICONCOUNT", IconCount);
}

}  // namespace tilmor
