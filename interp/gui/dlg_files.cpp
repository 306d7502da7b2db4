// @LOADFILE$, @SAVEFILE$ and @CHOOSEDIR$: the system's file open and save
// dialogs and the folder chooser, owned by the main window.
#include "chars.h"
#include "dialogs.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

// Runs a file dialog with a 255-character file buffer; "" when cancelled.
std::string AskFile(bool save, const std::string& title, const std::string& filter, const std::string& initial,
                    DWORD flags) {
  char file[256] = {0};
  initial.copy(file, sizeof file - 1);
  OPENFILENAMEA ofn;
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = flags;
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  AfterDialog();
  DS().button = ok ? 1 : 2;
  return ok ? Trim(file) : std::string();
}

// A filter of one pattern: the pattern is its own description.
std::string SinglePattern(const std::string& pattern) { return pattern + '\0' + pattern + '\0' + '\0'; }

void FnLoadFile(Interp& in) {
  std::string title = ReadText(in, ',');
  std::string mask = ReadText(in, ')');
  bool list = mask.find('|') != std::string::npos;
  std::string chosen = AskFile(false, title, list ? win::FilterFromBars(mask) : SinglePattern(mask),
                               list ? std::string() : mask,
                               OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  if (DS().button == 1) DS().getText = chosen;
  SetResultText(in, chosen);
}

// "*" and the extension of a file name ("*" without one).
std::string ExtensionPattern(const std::string& name) {
  size_t part = name.find_last_of("\\/:");
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (part != std::string::npos && dot < part)) return "*";
  return "*" + name.substr(dot);
}

void FnSaveFile(Interp& in) {
  std::string title = ReadText(in, ',');
  std::string name = ReadText(in, ')');
  SetResultText(in, AskFile(true, title, SinglePattern(ExtensionPattern(name)), name,
                            OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY));
}

void FnChooseDir(Interp& in) {
  std::string title = ReadText(in, ')');
  std::string chosen = Trim(win::BrowseForFolder(DialogOwner(), title));
  AfterDialog();
  if (chosen.size() > 255) chosen.resize(255);
  DS().button = chosen.empty() ? 2 : 1;
  SetResultText(in, chosen);
}

}  // namespace

void RegisterFileDialogs() {
  RegisterFunction("LOADFILE$", FnLoadFile);
  RegisterFunction("SAVEFILE$", FnSaveFile);
  RegisterFunction("CHOOSEDIR$", FnChooseDir);
}

}  // namespace tilmor
