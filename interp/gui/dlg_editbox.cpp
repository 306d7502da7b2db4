// @EDITBOX: the item list edited as one text in "EDITBOX1" (or "EDITBOX2"
// with a fixed font); OK turns the text's lines back into the list.
#include <cstring>

#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"

namespace tilmor {
namespace {

constexpr int kEdit = 101, kCopy = 102, kCut = 103, kPaste = 104;
// The text of the box fits a buffer of 64000 bytes.
constexpr size_t kMaxText = 63999;
constexpr int kMaxLines = 10000;

struct EditRun {
  Interp* in = nullptr;
  std::string title;
} g_run;

// The list as one text, each entry followed by CR LF, as far as it fits.
std::string JoinedItems(const ItemList& items) {
  std::string text;
  for (const std::string& e : items.items()) {
    if (text.size() + e.size() + 2 >= kMaxText) break;
    text += e;
    text += "\r\n";
  }
  return text;
}

void TakeLines(HWND dlg) {
  ItemList& items = g_run.in->items;
  items.Clear();
  HWND edit = GetDlgItem(dlg, kEdit);
  int count = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
  if (count > kMaxLines) count = kMaxLines;
  for (int i = 0; i < count; ++i) {
    char buf[256] = {0};
    const WORD room = 255;  // EM_GETLINE takes the size in the first word
    std::memcpy(buf, &room, sizeof room);
    int n = static_cast<int>(SendMessageA(edit, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf)));
    if (n < 0) n = 0;
    // The line break after the last entry leaves an empty last line; it is
    // no entry, or every OK would add one.
    if (i == count - 1 && i > 0 && n == 0) break;
    items.Add(std::string(buf, static_cast<size_t>(n)));
  }
}

void UpdateButtons(HWND dlg, WORD code) {
  HWND edit = GetDlgItem(dlg, kEdit);
  if (code == EN_CHANGE) EnableWindow(GetDlgItem(dlg, IDOK), SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) > 0);
  BOOL selected = SendMessageA(edit, EM_GETSEL, 0, 0) != 0;
  EnableWindow(GetDlgItem(dlg, kCopy), selected);
  EnableWindow(GetDlgItem(dlg, kCut), selected);
}

BOOL EditProc(HWND dlg, UINT msg, WPARAM w, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowTextA(dlg, g_run.title.c_str());
      SendDlgItemMessageA(dlg, kEdit, EM_LIMITTEXT, kMaxText, 0);
      std::string text = JoinedItems(g_run.in->items);
      SetDlgItemTextA(dlg, kEdit, text.c_str());
      SendDlgItemMessageA(dlg, kEdit, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case kEdit:
          UpdateButtons(dlg, HIWORD(w));
          return TRUE;
        case IDOK:
          TakeLines(dlg);
          EndDialog(dlg, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dlg, 0);
          return TRUE;
        case kCopy:
          SendDlgItemMessageA(dlg, kEdit, WM_COPY, 0, 0);
          return TRUE;
        case kCut:
          SendDlgItemMessageA(dlg, kEdit, WM_CUT, 0, 0);
          return TRUE;
        case kPaste:
          SendDlgItemMessageA(dlg, kEdit, WM_PASTE, 0, 0);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

void FnEditBox(Interp& in) {
  g_run.in = &in;
  g_run.title = ReadText(in, ',');
  NumArg n = ReadNum(in, ')');
  int r = RunDialog(n.ival == 2 ? "EDITBOX2" : "EDITBOX1", EditProc);
  DS().button = r == 1 ? 1 : 2;
  SetResultLong(in, kInteger, r == 1 ? 1 : 0);
}

}  // namespace

void RegisterEditBox() { RegisterFunction("EDITBOX", FnEditBox); }

}  // namespace tilmor
