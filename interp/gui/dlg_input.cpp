// @INPUT$: the line-input dialog "INPUT". OK stays disabled while the line
// is empty; the confirmed line is kept in $GETINPUT and, where it is a
// number, in %INPUT, &INPUT and !INPUT.
#include "chars.h"
#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"
#include "numbers.h"

namespace tilmor {
namespace {

constexpr int kPrompt = 100, kEdit = 101;

struct InputRun {
  std::string prompt, title, initial;
  std::string entered;
} g_run;

BOOL InputProc(HWND dlg, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_INITDIALOG:
      SendDlgItemMessageA(dlg, kEdit, EM_LIMITTEXT, 254, 0);
      SetWindowTextA(dlg, g_run.title.c_str());
      SetDlgItemTextA(dlg, kPrompt, g_run.prompt.c_str());
      SetDlgItemTextA(dlg, kEdit, g_run.initial.c_str());
      SendDlgItemMessageA(dlg, kEdit, EM_SETSEL, 0, -1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(w) == kEdit && HIWORD(w) == EN_CHANGE) {
        EnableWindow(GetDlgItem(dlg, IDOK), SendMessageA(static_cast<HWND>(l), WM_GETTEXTLENGTH, 0, 0) > 0);
        return TRUE;
      }
      if (LOWORD(w) == IDOK) {
        // Enter reaches us even while the button is disabled.
        if (!IsWindowEnabled(GetDlgItem(dlg, IDOK))) return TRUE;
        char buf[254] = {0};
        GetDlgItemTextA(dlg, kEdit, buf, sizeof buf);
        g_run.entered = buf;
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

void KeepNumbers(const std::string& s) {
  DialogState& d = DS();
  bool whole = false;
  int32_t v = ReadWhole(s, &whole);
  double f = 0.0;
  bool real = ReadFloat(s, f);
  d.inputInt = whole ? v : real ? TruncToInt32(f) : 0;
  d.inputLong = d.inputInt;
  d.inputFloat = real ? f : whole ? v : 0.0;
}

void FnInput(Interp& in) {
  g_run.prompt = ReadText(in, ',');
  g_run.title = ReadText(in, ',');
  g_run.initial = ReadText(in, ')');
  g_run.entered.clear();
  int r = RunDialog("INPUT", InputProc);
  DialogState& d = DS();
  if (r != 1) {
    d.button = 2;
    return SetResultText(in, "");
  }
  d.button = 1;
  std::string text = Trim(g_run.entered);
  d.getInput = text;
  d.inputText = text;
  KeepNumbers(text);
  SetResultText(in, text);
  // The line can stand for a number where one is expected.
  in.res.ival = d.inputInt;
  in.res.lval = d.inputLong;
  in.res.fval = d.inputFloat;
}

}  // namespace

void RegisterInputDialog() { RegisterFunction("INPUT$", FnInput); }

}  // namespace tilmor
