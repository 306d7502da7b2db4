// The control functions: texts, checks, list and choice entries, edit
// lines, scroll positions, handles, sizes, windows, focus and messages,
// each one Windows call on the handle the program passes.
#include <cstring>

#include "controls/controls.h"
#include "dialogstate.h"
#include "fnargs.h"
#include "functions.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

constexpr size_t kEditText = 63998;

HWND ReadHandle(Interp& in, char sep) { return static_cast<HWND>(ReadNum(in, sep).ival); }

void Result(Interp& in, LRESULT v) { SetResultLong(in, kInteger, static_cast<int32_t>(v)); }

LPARAM Text(const std::string& s) { return reinterpret_cast<LPARAM>(s.c_str()); }

// (h, s$) with a message that takes the text.
template <UINT Msg>
void HandleText(Interp& in) {
  HWND h = ReadHandle(in, ',');
  std::string s = ReadText(in, ')');
  Result(in, SendMessageA(h, Msg, 0, Text(s)));
}

// (h, n) with a message that takes the index.
template <UINT Msg>
void HandleIndex(Interp& in) {
  HWND h = ReadHandle(in, ',');
  int32_t n = ReadNum(in, ')').ival;
  Result(in, SendMessageA(h, Msg, static_cast<WPARAM>(n), 0));
}

// (h, n, s$)
template <UINT Msg>
void HandleIndexText(Interp& in) {
  HWND h = ReadHandle(in, ',');
  int32_t n = ReadNum(in, ',').ival;
  std::string s = ReadText(in, ')');
  Result(in, SendMessageA(h, Msg, static_cast<WPARAM>(n), Text(s)));
}

// (h) with a message without parameters.
template <UINT Msg>
void HandleOnly(Interp& in) {
  HWND h = ReadHandle(in, ')');
  Result(in, SendMessageA(h, Msg, 0, 0));
}

void GetText(Interp& in) {
  HWND h = ReadHandle(in, ')');
  char buf[256] = {0};
  SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  SetResultText(in, buf);
}

void GetString(Interp& in) {
  HWND h = ReadHandle(in, ',');
  int32_t n = ReadNum(in, ')').ival;
  LRESULT len = SendMessageA(h, LB_GETTEXTLEN, static_cast<WPARAM>(n), 0);
  if (len > 255 || len < 1) return SetResultText(in, "");
  char buf[256] = {0};
  SendMessageA(h, LB_GETTEXT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(buf));
  SetResultText(in, buf);
}

void GetLine(Interp& in) {
  HWND h = ReadHandle(in, ',');
  int32_t n = ReadNum(in, ')').ival;
  char buf[256] = {0};
  const WORD room = 255;  // EM_GETLINE takes the size in the first word
  std::memcpy(buf, &room, sizeof room);
  LRESULT copied = SendMessageA(h, EM_GETLINE, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(buf));
  if (copied <= 0) return SetResultText(in, "");
  SetResultText(in, std::string(buf, static_cast<size_t>(std::min<LRESULT>(copied, 255))));
}

void MoveListToEdit(Interp& in) {
  HWND h = ReadHandle(in, ')');
  std::string text;
  int32_t complete = 1;
  for (const std::string& e : in.items.items()) {
    if (text.size() + e.size() + 2 > kEditText) {
      complete = 0;
      continue;
    }
    text += e;
    text += "\r\n";
  }
  SetWindowTextA(h, text.c_str());
  Result(in, complete);
}

template <UINT Msg>
void MoveListTo(Interp& in) {
  HWND h = ReadHandle(in, ')');
  for (const std::string& e : in.items.items()) SendMessageA(h, Msg, 0, Text(e));
  Result(in, 1);
}

void GetScrollPosFn(Interp& in) { Result(in, GetScrollPos(ReadHandle(in, ')'), SB_CTL)); }

void GetHandle(Interp& in) {
  HWND dialog = ReadHandle(in, ',');
  int32_t id = ReadNum(in, ')').ival;
  Result(in, GetDlgItem(dialog, id));
}

template <bool Width>
void ClientSide(Interp& in) {
  RECT r;
  if (!GetClientRect(ReadHandle(in, ')'), &r)) return Result(in, 0);
  Result(in, Width ? r.right - r.left : r.bottom - r.top);
}

void FindWindowFn(Interp& in) { Result(in, FindTopLevelWindow(ReadText(in, ')'))); }

void GetActiveWindowFn(Interp& in) {
  // A call without parentheses has no arguments to read.
  Result(in, GetActiveWindow());
}

void SetActiveWindowFn(Interp& in) { Result(in, SetActiveWindow(ReadHandle(in, ')'))); }

void ShowWindowFn(Interp& in) {
  HWND h = ReadHandle(in, ',');
  int32_t n = ReadNum(in, ')').ival;
  if (n < 0 || n > 9) n = 0;
  Result(in, ShowWindow(h, n) ? 1 : 0);
}

void SetFocusFn(Interp& in) { Result(in, SetFocus(ReadHandle(in, ')'))); }

void GetFocusFn(Interp& in) {
  HWND h = ReadHandle(in, ')');
  HWND f = GetFocus();
  Result(in, (in.events.help ? -f : f) == h ? 1 : 0);
}

void DestroyWindowFn(Interp& in) { Result(in, DestroyWindow(ReadHandle(in, ')')) ? 1 : 0); }

// (h, msg, w, l): the program's numbers go through unchanged.
template <bool Post>
void MessageFn(Interp& in) {
  HWND h = ReadHandle(in, ',');
  UINT msg = static_cast<UINT>(ReadNum(in, ',').lval);
  WPARAM w = static_cast<WPARAM>(static_cast<uint32_t>(ReadNum(in, ',').lval));
  LPARAM l = static_cast<LPARAM>(ReadNum(in, ')').lval);
  if (Post) return Result(in, PostMessageA(h, msg, w, l) ? 1 : 0);
  SetResultLong(in, kLong, static_cast<int32_t>(SendMessageA(h, msg, w, l)));
}

}  // namespace

void RegisterControlFunctions() {
  RegisterFunction("GETTEXT$", GetText);
  RegisterFunction("GETCHECK", HandleOnly<BM_GETCHECK>);
  RegisterFunction("ADDSTRING", HandleText<LB_ADDSTRING>);
  RegisterFunction("ADDCHOICE", HandleText<CB_ADDSTRING>);
  RegisterFunction("INSERTSTRING", HandleIndexText<LB_INSERTSTRING>);
  RegisterFunction("SELECTSTRING", HandleIndexText<LB_SELECTSTRING>);
  RegisterFunction("DELETESTRING", HandleIndex<LB_DELETESTRING>);
  RegisterFunction("DELETECHOICE", HandleIndex<CB_DELETESTRING>);
  RegisterFunction("GETCOUNT", HandleOnly<LB_GETCOUNT>);
  RegisterFunction("GETCURSEL", HandleOnly<LB_GETCURSEL>);
  RegisterFunction("GETSTRING$", GetString);
  RegisterFunction("GETLINECOUNT", HandleOnly<EM_GETLINECOUNT>);
  RegisterFunction("GETLINE$", GetLine);
  RegisterFunction("MOVELISTTOEDIT", MoveListToEdit);
  RegisterFunction("MOVELISTTOLIST", MoveListTo<LB_ADDSTRING>);
  RegisterFunction("MOVELISTTOCHOICE", MoveListTo<CB_ADDSTRING>);
  RegisterFunction("GETSCROLLPOS", GetScrollPosFn);
  RegisterFunction("GETHANDLE", GetHandle);
  RegisterFunction("WIDTH", ClientSide<true>);
  RegisterFunction("HEIGHT", ClientSide<false>);
  RegisterFunction("FINDWINDOW", FindWindowFn);
  RegisterFunction("GETACTIVEWINDOW", GetActiveWindowFn);
  RegisterFunction("SETACTIVEWINDOW", SetActiveWindowFn);
  RegisterFunction("SHOWWINDOW", ShowWindowFn);
  RegisterFunction("SETFOCUS", SetFocusFn);
  RegisterFunction("GETFOCUS", GetFocusFn);
  RegisterFunction("DESTROYWINDOW", DestroyWindowFn);
  RegisterFunction("SENDMESSAGE", MessageFn<false>);
  RegisterFunction("POSTMESSAGE", MessageFn<true>);
}

}  // namespace tilmor
