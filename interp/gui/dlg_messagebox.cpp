// MESSAGEBOX and @MESSAGEBOX: the system's message box, owned by the main
// window; the chosen button's id goes to %BUTTON.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "dialogs.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

int Show(const std::string& text, const std::string& title, int32_t type) {
  int r = MessageBoxA(DialogOwner(), text.c_str(), title.c_str(), static_cast<UINT>(type));
  DS().button = r;
  AfterDialog();
  return r;
}

void CmdMessageBox(Interp& in, int) {
  ReadArg(in, ',', kAny);
  std::string text = ResultText(in);
  ReadArg(in, ',', kAny);
  std::string title = ResultText(in);
  ReadArg(in, ' ', kNumber);
  Show(text, title, in.res.ival);
}

void FnMessageBox(Interp& in) {
  std::string text = ReadText(in, ',');
  std::string title = ReadText(in, ',');
  NumArg type = ReadNum(in, ')');
  SetResultLong(in, kInteger, Show(text, title, type.ival));
}

}  // namespace

void RegisterMessageBox() {
  RegisterCommand("MESSAGEBOX", CmdMessageBox);
  RegisterFunction("MESSAGEBOX", FnMessageBox);
}

}  // namespace tilmor
