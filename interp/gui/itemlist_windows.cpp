// ADDWINDOWS and ADDFONTS: the item list filled with the titles of the
// top-level windows and with the installed font families.
#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "control.h"
#include "controls/controls.h"
#include "dialogstate.h"
#include "errors.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

// The top-level windows in their order, as the desktop's children are.
std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> out;
  for (HWND h : win::AllWindows())
    if (IsWindow(h) && !(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) out.push_back(h);
  return out;
}

std::string TitleOf(HWND h) {
  char buf[256] = {0};
  SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return buf;
}

bool BeginsWith(const std::string& title, const std::string& prefix) {
  return title.size() >= prefix.size() && UpperCase(title.substr(0, prefix.size())) == UpperCase(prefix);
}

void CmdAddWindows(Interp& in, int) {
  ReadArg(in, ' ', kAny);
  std::string prefix = ResultText(in);
  for (HWND h : TopLevelWindows()) {
    std::string title = TitleOf(h);
    if (title.empty() || !BeginsWith(title, prefix)) continue;
    if (!in.items.Add(title)) return RuntimeError(in, 232);
  }
}

// Stops the enumeration when the list is full; the error is raised after
// it, not from inside the window system.
int AddFamily(const LOGFONTA* lf, const void*, DWORD, LPARAM l) {
  return reinterpret_cast<ItemList*>(l)->Add(lf->lfFaceName) ? 1 : 0;
}

void CmdAddFonts(Interp& in, int) {
  if (EnumFontFamiliesA(MW().dc, nullptr, AddFamily, reinterpret_cast<LPARAM>(&in.items)) == 0 && in.items.full())
    RuntimeError(in, 232);
}

}  // namespace

// @FINDWINDOW's search, shared with the control functions.
HWND FindTopLevelWindow(const std::string& prefix) {
  for (HWND h : TopLevelWindows())
    if (BeginsWith(TitleOf(h), prefix)) return h;
  return 0;
}

void RegisterItemListWindows() {
  RegisterCommand("ADDWINDOWS", CmdAddWindows);
  RegisterCommand("ADDFONTS", CmdAddFonts);
}

}  // namespace tilmor
