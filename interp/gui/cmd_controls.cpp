// The control commands: SETTEXT, SETCHECK, ENABLEWINDOW, SETSCROLLPOS,
// SETSCROLLRANGE and SETDIALOGFONT.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "controls/controls.h"
#include "dialogstate.h"

namespace tilmor {
namespace {

int32_t Num(Interp& in, char sep) {
  ReadArg(in, sep, kNumber);
  return in.res.ival;
}

void CmdSetText(Interp& in, int) {
  HWND h = Num(in, ',');
  ReadArg(in, ' ', kAny);
  std::string s = ResultText(in);
  if (s.size() > 255) s.resize(255);
  SetWindowTextA(h, s.c_str());
}

void CmdSetCheck(Interp& in, int) {
  HWND h = Num(in, ',');
  int32_t n = Num(in, ' ');
  SendMessageA(h, BM_SETCHECK, n != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CmdEnableWindow(Interp& in, int) {
  HWND h = Num(in, ',');
  int32_t n = Num(in, ' ');
  EnableWindow(h, n != 0);
}

void CmdSetScrollPos(Interp& in, int) {
  HWND h = Num(in, ',');
  int32_t pos = Num(in, ' ');
  SetScrollPos(h, SB_CTL, pos, TRUE);
}

void CmdSetScrollRange(Interp& in, int) {
  HWND h = Num(in, ',');
  int32_t min = Num(in, ',');
  int32_t max = Num(in, ' ');
  SetScrollRange(h, SB_CTL, min, max, TRUE);
}

void CmdSetDialogFont(Interp& in, int) { DS().dialogFont = Num(in, ' ') != 0; }

}  // namespace

void RegisterControlCommands() {
  RegisterCommand("SETTEXT", CmdSetText);
  RegisterCommand("SETCHECK", CmdSetCheck);
  RegisterCommand("ENABLEWINDOW", CmdEnableWindow);
  RegisterCommand("SETSCROLLPOS", CmdSetScrollPos);
  RegisterCommand("SETSCROLLRANGE", CmdSetScrollRange);
  RegisterCommand("SETDIALOGFONT", CmdSetDialogFont);
}

}  // namespace tilmor
