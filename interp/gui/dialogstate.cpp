// The dialog results and their system variables, and what every modal
// dialog of the interpreter does around its run.
#include "dialogstate.h"

#include "mainwindow.h"
#include "sysvars.h"

namespace tilmor {

DialogState& DS() {
  static DialogState state;
  return state;
}

HWND DialogOwner() {
  MainWindowState& m = MW();
  return m.exists && IsWindow(m.hwnd) ? m.hwnd : 0;
}

void AfterDialog() {
  if (HWND h = DialogOwner()) {
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
  }
}

int RunDialog(const char* resource, DLGPROC proc) {
  int r = DialogBoxParamA(kSelfInstance, resource, DialogOwner(), proc, 0);
  AfterDialog();
  return r;
}

void RegisterStandardDialogs() {
  RegisterMessageBox();
  RegisterInputDialog();
  RegisterEditBox();
  RegisterListBoxDialog();
  RegisterFileDialogs();
  RegisterSystemVariable("%BUTTON", [](Interp& in) { in.res.ival = DS().button; });
  RegisterSystemVariable("%GETCURSEL", [](Interp& in) { in.res.ival = DS().curSel; });
  RegisterSystemVariable("$GETINPUT", [](Interp& in) { in.res.text = DS().getInput; });
  RegisterSystemVariable("$GETTEXT", [](Interp& in) { in.res.text = DS().getText; });
  RegisterSystemVariable("%INPUT", [](Interp& in) { in.res.ival = DS().inputInt; });
  RegisterSystemVariable("&INPUT", [](Interp& in) { in.res.lval = DS().inputLong; });
  RegisterSystemVariable("!INPUT", [](Interp& in) { in.res.fval = DS().inputFloat; });
  RegisterSystemVariable("$INPUT", [](Interp& in) { in.res.text = DS().inputText; });
}

}  // namespace tilmor
