// The creating functions: @CREATEBUTTON ... @CREATEVSCROLL make standard
// controls, @CREATEWINDOW a window of the class "DIALOG", @CREATEDIALOG and
// @CREATEEXTDIALOG modeless dialogs; each returns the new handle (0 on
// failure).
#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

struct Placement {
  HWND parent = 0;
  std::string text;
  int32_t x = 0, y = 0, w = 0, h = 0;
};

// (parent, text$, x, y, w, h)
Placement ReadPlacement(Interp& in) {
  Placement p;
  p.parent = ReadNum(in, ',').ival;
  p.text = ReadText(in, ',');
  p.x = ReadNum(in, ',').ival;
  p.y = ReadNum(in, ',').ival;
  p.w = ReadNum(in, ',').ival;
  p.h = ReadNum(in, ')').ival;
  return p;
}

// New controls and dialogs take the current font while SETDIALOGFONT is on.
void ApplyDialogFont(HWND h) {
  if (h && DS().dialogFont) SendMessageA(h, WM_SETFONT, static_cast<WPARAM>(MW().currentFont), TRUE);
}

HWND Create(const char* cls, DWORD style, const Placement& p, bool takesId, bool font) {
  int id = 0;
  if (takesId) id = static_cast<int>(DS().nextId++);
  HWND h = CreateWindowExA(0, cls, p.text.c_str(), style, p.x, p.y, p.w, p.h, p.parent, static_cast<HMENU>(id),
                           kSelfInstance, nullptr);
  if (font) ApplyDialogFont(h);
  return h;
}

template <const char* Class, DWORD Style, bool Font>
void CreateFn(Interp& in) {
  Placement p = ReadPlacement(in);
  SetResultLong(in, kInteger, Create(Class, Style, p, true, Font));
}

constexpr char kButton[] = "BUTTON", kListBox[] = "LISTBOX", kComboBox[] = "COMBOBOX";

void CreateText(Interp& in) {
  Placement p = ReadPlacement(in);
  SetResultLong(in, kInteger, Create("STATIC", 0x50000000, p, false, true));
}

// (parent, iconname$, x, y): the text names the icon; the icon sets the size.
void CreateIcon(Interp& in) {
  Placement p;
  p.parent = ReadNum(in, ',').ival;
  p.text = ReadText(in, ',');
  p.x = ReadNum(in, ',').ival;
  p.y = ReadNum(in, ')').ival;
  SetResultLong(in, kInteger, Create("STATIC", 0x50000003, p, false, false));
}

// A height of 0 or less makes a password edit of that height.
void CreateEdit(Interp& in) {
  Placement p = ReadPlacement(in);
  DWORD style = 0x50810080;
  if (p.h <= 0) style = 0x508100A0, p.h = -p.h;
  SetResultLong(in, kInteger, Create("EDIT", style, p, true, true));
}

// A height of 0 or less: no horizontal scroll bar, the lines wrap.
void CreateMultiEdit(Interp& in) {
  Placement p = ReadPlacement(in);
  DWORD style = 0x50B11144;
  if (p.h <= 0) style = 0x50A11144, p.h = -p.h;
  SetResultLong(in, kInteger, Create("EDIT", style, p, true, true));
}

void CreateScroll(Interp& in, DWORD style) {
  Placement p = ReadPlacement(in);
  HWND h = Create("SCROLLBAR", style, p, true, false);
  if (h) SetScrollRange(h, SB_CTL, 0, 100, FALSE);
  SetResultLong(in, kInteger, h);
}

void CreateWindowFn(Interp& in) {
  Placement p = ReadPlacement(in);
  HWND h = CreateWindowExA(0, "DIALOG", p.text.c_str(), MW().style, p.x, p.y, p.w, p.h, p.parent, 0, kSelfInstance,
                           nullptr);
  if (h) ShowWindow(h, SW_SHOWNORMAL);
  SetResultLong(in, kInteger, h);
}

void CreateDialogFn(Interp& in) {
  Placement p = ReadPlacement(in);
  HWND h = CreateDialogParamA(kSelfInstance, "LDIALOG", p.parent, ModelessDialogProc, 0);
  if (h) {
    SetWindowTextA(h, p.text.c_str());
    SetWindowPos(h, 0, p.x, p.y, p.w, p.h, SWP_NOZORDER);
    ShowWindow(h, SW_SHOWNORMAL);
    ApplyDialogFont(h);
  }
  SetResultLong(in, kInteger, h);
}

// (instance, parent, name$): a dialog resource of another module.
void CreateExtDialog(Interp& in) {
  HINSTANCE instance = ReadNum(in, ',').ival;
  HWND parent = ReadNum(in, ',').ival;
  std::string name = ReadText(in, ')');
  HWND h = CreateDialogParamA(instance, name.c_str(), parent, ModelessDialogProc, 0);
  if (h) ShowWindow(h, SW_SHOWNORMAL);
  SetResultLong(in, kInteger, h);
}

}  // namespace

void RegisterCreateFunctions() {
  RegisterFunction("CREATEBUTTON", CreateFn<kButton, 0x50010000, true>);
  RegisterFunction("CREATEDEFBUTTON", CreateFn<kButton, 0x50010001, true>);
  RegisterFunction("CREATECHECKBOX", CreateFn<kButton, 0x50010003, true>);
  RegisterFunction("CREATERADIOBUTTON", CreateFn<kButton, 0x50010009, true>);
  RegisterFunction("CREATEGROUPBOX", CreateFn<kButton, 0x50030007, true>);
  RegisterFunction("CREATETEXT", CreateText);
  RegisterFunction("CREATEICON", CreateIcon);
  RegisterFunction("CREATEEDIT", CreateEdit);
  RegisterFunction("CREATEMULTIEDIT", CreateMultiEdit);
  RegisterFunction("CREATELISTBOX", CreateFn<kListBox, 0x50B101C1, true>);
  RegisterFunction("CREATESORTEDLISTBOX", CreateFn<kListBox, 0x50B101C3, true>);
  RegisterFunction("CREATECHOICEBOX", CreateFn<kComboBox, 0x50B10303, true>);
  RegisterFunction("CREATEHSCROLL", [](Interp& in) { CreateScroll(in, 0x50810000); });
  RegisterFunction("CREATEVSCROLL", [](Interp& in) { CreateScroll(in, 0x50010001); });
  RegisterFunction("CREATEWINDOW", CreateWindowFn);
  RegisterFunction("CREATEDIALOG", CreateDialogFn);
  RegisterFunction("CREATEEXTDIALOG", CreateExtDialog);
}

}  // namespace tilmor
