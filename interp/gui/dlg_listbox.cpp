// @LISTBOX$: the item list to choose from, in one of the eight list dialogs
// "LISTBOX1" ... "LISTBOX8"; a double click chooses at once.
#include <algorithm>
#include <vector>

#include "chars.h"
#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

constexpr int kList = 101;

struct ListRun {
  const std::vector<std::string>* items = nullptr;
  std::string title;
  std::string pending;
  int chosen = -1;
  bool program = true;  // @LISTBOX$: the selection is the program's %GETCURSEL
} g_run;

BOOL ListProc(HWND dlg, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowTextA(dlg, g_run.title.c_str());
      const auto& items = *g_run.items;
      size_t longest = 0;
      for (const std::string& e : items) longest = std::max(longest, e.size());
      SendDlgItemMessageA(dlg, kList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(9 * longest), 0);
      for (const std::string& e : items) SendDlgItemMessageA(dlg, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(w) == kList && (HIWORD(w) == LBN_SELCHANGE || HIWORD(w) == LBN_DBLCLK)) {
        HWND list = static_cast<HWND>(l);
        int sel = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
        if (g_run.program) DS().curSel = sel;
        g_run.chosen = sel;
        char buf[256] = {0};
        if (sel >= 0 && SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0) < static_cast<LRESULT>(sizeof buf))
          SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buf));
        g_run.pending = buf;
        if (HIWORD(w) == LBN_DBLCLK) EndDialog(dlg, 1);
        return TRUE;
      }
      if (LOWORD(w) == IDOK) {
        EndDialog(dlg, 1);
        return TRUE;
      }
      if (LOWORD(w) == IDCANCEL) {
        EndDialog(dlg, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void FnListBox(Interp& in) {
  std::string title = ReadText(in, ',');
  NumArg n = ReadNum(in, ')');
  // Set up after the arguments: a call among them may run a list dialog too.
  g_run.items = &in.items.items();
  g_run.program = true;
  g_run.title = std::move(title);
  g_run.pending.clear();
  g_run.chosen = -1;
  int variant = n.ival >= 1 && n.ival <= 8 ? n.ival : 7;
  std::string resource = "LISTBOX" + std::to_string(variant);
  int r = RunDialog(resource.c_str(), ListProc);
  DialogState& d = DS();
  if (r != 1) {
    d.button = 2;
    return SetResultText(in, "");
  }
  d.button = 1;
  std::string text = Trim(g_run.pending);
  d.getText = text;
  SetResultText(in, text);
}

}  // namespace

int ChooseFromList(const std::string& title, const std::vector<std::string>& entries) {
  g_run.items = &entries;
  g_run.program = false;
  g_run.title = title;
  g_run.pending.clear();
  g_run.chosen = -1;
  // The small unsorted list: the entries keep their order and their indexes.
  int r = RunDialog("LISTBOX5", ListProc);
  g_run.items = nullptr;
  return r == 1 ? g_run.chosen : -1;
}

void RegisterListBoxDialog() { RegisterFunction("LISTBOX$", FnListBox); }

}  // namespace tilmor
