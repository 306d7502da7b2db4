// The parts of the standard dialogs that need no window system: button
// sets, batch answers, filters and the open-file helper.
#include <cstring>

#include "batch.h"
#include "dialogs.h"

namespace win {

std::vector<int> ButtonIds(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

int FirstButton(UINT type) { return ButtonIds(type).front(); }

int BatchMessageBox(LPCSTR text, LPCSTR caption, UINT type) {
  WriteBoxLine(caption ? caption : "", text ? text : "");
  auto act = TakeBatchAction({ActionKind::Answer});
  if (!act) return FirstButton(type);
  return act->kind == ActionKind::Cancel ? IDCANCEL : act->answer;
}

bool CopyFileNameOut(OPENFILENAMEA* ofn, const std::string& path) {
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) return false;
  size_t n = std::min<size_t>(path.size(), ofn->nMaxFile - 1);
  std::memcpy(ofn->lpstrFile, path.data(), n);
  ofn->lpstrFile[n] = 0;
  return true;
}

BOOL BatchFileDialog(OPENFILENAMEA* ofn) {
  if (!ofn) return FALSE;
  auto act = TakeBatchAction({ActionKind::File});
  if (!act || act->kind != ActionKind::File) return FALSE;
  return CopyFileNameOut(ofn, act->value) ? TRUE : FALSE;
}

std::string AskOpenFileName(const std::string& title, const std::string& filterBars) {
  std::string filter = FilterFromBars(filterBars);
  char file[256] = {0};
  OPENFILENAMEA ofn;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&ofn)) return {};
  return file;
}

std::string FilterFromBars(const std::string& bars) {
  std::string out = bars;
  if (out.empty() || out.back() != '|') out += '|';
  for (char& c : out)
    if (c == '|') c = '\0';
  out += '\0';
  return out;
}

}  // namespace win
