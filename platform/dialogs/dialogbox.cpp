// The dialog manager: dialogs from templates, the modal loop, the keyboard
// interface and the helpers that address controls by id.
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../batch.h"
#include "../controls/controls.h"
#include "../fontobjects.h"
#include "../screen.h"
#include "../wingdi.h"
#include "dialog_impl.h"

namespace win::detail {
namespace {

constexpr LRESULT DC_HASDEFID = 0x534B;
const char kDialogClass[] = "#32770";
const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

std::map<HWND, DialogData>& Dialogs() {
  static std::map<HWND, DialogData> dialogs;
  return dialogs;
}

// The modal dialogs open now, innermost last.
struct ModalFrame {
  HWND dialog = 0;
  bool ended = false;
  int result = 0;
};
std::vector<ModalFrame>& ModalFrames() {
  static std::vector<ModalFrame> frames;
  return frames;
}
// Set while a modal dialog is being made: the dialog is the current modal
// one from its WM_INITDIALOG on.
bool g_makingModal = false;

int g_overrideX = 0, g_overrideY = 0;

// Rounds half away from zero, as Windows' MulDiv does.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  long long p = static_cast<long long>(a) * b;
  long long half = (c < 0 ? -c : c) / 2;
  long long q = ((p < 0) != (c < 0) ? p - half : p + half) / c;
  return static_cast<int>(q);
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
  for (HWND h = hwnd; h; h = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : 0)
    if (h == ancestor) return true;
  return false;
}

HWND TopLevelOf(HWND hwnd) {
  while (hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
  return IsWindow(hwnd) ? hwnd : 0;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  std::string s = name;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsPushButton(HWND hwnd) {
  if (ClassOf(hwnd) != "BUTTON") return false;
  DWORD type = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// What a control wants of the keyboard: its own answer, completed from its
// class and styles for controls that do not say.
LRESULT DialogCode(HWND control, MSG* msg) {
  if (!control) return 0;
  LRESULT code = SendMessageA(control, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
  std::string cls = ClassOf(control);
  DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  if (cls == "EDIT" && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
      (style & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN))
    code |= DLGC_WANTALLKEYS;
  if (cls == "EDIT") code |= DLGC_HASSETSEL;
  if (cls == "BUTTON") {
    DWORD type = style & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON) code |= DLGC_DEFPUSHBUTTON;
    else if (type == BS_PUSHBUTTON) code |= DLGC_UNDEFPUSHBUTTON;
    else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) code |= DLGC_RADIOBUTTON;
  }
  return code;
}

// The controls of a dialog in tab order that the keyboard can reach.
std::vector<HWND> Reachable(HWND dialog) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c) && IsWindowEnabled(c)) out.push_back(c);
  return out;
}

// The next (or previous) control of the group that `control` belongs to: a
// group runs from a WS_GROUP control to the one before the next.
HWND NextInGroup(HWND dialog, HWND control, bool previous) {
  std::vector<HWND> all;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
  auto at = std::find(all.begin(), all.end(), control);
  if (at == all.end()) return control;
  size_t i = static_cast<size_t>(at - all.begin());
  size_t first = i;
  while (first > 0 && !(GetWindowLongA(all[first], GWL_STYLE) & WS_GROUP)) --first;
  size_t last = i + 1;
  while (last < all.size() && !(GetWindowLongA(all[last], GWL_STYLE) & WS_GROUP)) ++last;
  size_t n = last - first;
  for (size_t step = 1; step < n; ++step) {
    size_t k = previous ? first + (i - first + n - step) % n : first + (i - first + step) % n;
    if (IsWindowVisible(all[k]) && IsWindowEnabled(all[k])) return all[k];
  }
  return control;
}

void FocusControl(HWND control) {
  if (!control) return;
  SetFocus(control);
  // A text field reached by the keyboard shows all its text selected.
  if (DialogCode(control, nullptr) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
}

HWND DefaultButton(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "BUTTON" &&
        (static_cast<DWORD>(GetWindowLongA(c, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      return c;
  return 0;
}

void BaseUnitsOfSystemFont(int* cx, int* cy) {
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm;
  SIZE size;
  GetTextMetricsA(dc, &tm);
  GetTextExtentPoint32A(dc, kLetters, 52, &size);
  DeleteDC(dc);
  *cx = (size.cx / 26 + 1) / 2;
  *cy = tm.tmHeight;
}

LRESULT DialogWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  DialogData* d = DialogOf(hwnd);
  if (!d) return DefDlgProcA(hwnd, msg, w, l);
  DLGPROC proc = d->proc;
  if (msg == WM_DESTROY) {
    if (proc) proc(hwnd, msg, w, l);
    if (DialogData* gone = DialogOf(hwnd)) {
      if (gone->font) DeleteObject(gone->font);
      Dialogs().erase(hwnd);
    }
    return 0;
  }
  BOOL handled = proc ? proc(hwnd, msg, w, l) : FALSE;
  if (!handled) return DefDlgProcA(hwnd, msg, w, l);
  switch (msg) {
    // These answer with the procedure's own result.
    case WM_INITDIALOG:
    case WM_CTLCOLORSTATIC:
      return handled;
    default:
      return GetWindowLongA(hwnd, DWL_MSGRESULT);
  }
}

void RegisterDialogClass() {
  WNDCLASSA probe;
  if (GetClassInfoA(0, kDialogClass, &probe) && probe.lpfnWndProc == DialogWndProc) return;
  WNDCLASSA wc;
  wc.lpfnWndProc = DialogWndProc;
  wc.cbWndExtra = 30;  // DWL_MSGRESULT, DWL_DLGPROC, DWL_USER and more, as Windows reserves
  wc.hbrBackground = GetStockObject(LTGRAY_BRUSH);
  wc.lpszClassName = kDialogClass;
  RegisterClassA(&wc);
}

ModalFrame* FrameOf(HWND dialog) {
  for (ModalFrame& f : ModalFrames())
    if (f.dialog == dialog) return &f;
  return nullptr;
}

void PlaceCentered(HWND dialog, HWND owner) {
  RECT r;
  GetWindowRect(dialog, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner && IsWindowVisible(owner)) GetWindowRect(owner, &area);
  int x = std::max(0, area.left + (area.right - area.left - w) / 2);
  int y = std::max(0, area.top + (area.bottom - area.top - h) / 2);
  SetWindowPos(dialog, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

std::string TemplateName(LPCSTR name) {
  // MAKEINTRESOURCE: a number in place of the pointer.
  auto value = reinterpret_cast<uintptr_t>(name);
  if (value < 0x10000) return "#" + std::to_string(value);
  return name;
}

}  // namespace

DialogData* DialogOf(HWND hwnd) {
  auto it = Dialogs().find(hwnd);
  return it == Dialogs().end() ? nullptr : &it->second;
}

void BaseUnitsOf(const QFont& font, int* cx, int* cy) {
  QFontMetrics fm(font);
  *cx = (fm.horizontalAdvance(QString::fromLatin1(kLetters)) / 26 + 1) / 2;
  *cy = fm.height();
}

void OverrideDialogBaseUnits(int cx, int cy) {
  g_overrideX = cx;
  g_overrideY = cy;
}

}  // namespace win::detail

using namespace win::detail;

namespace win {

HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param) {
  RegisterDialogClass();
  DialogData data;
  data.proc = proc;
  bool hasFont = (t.style & DS_SETFONT) != 0;
  QFont font;
  if (hasFont) {
    font = MatchFont(t.fontName, t.fontSize, t.fontWeight, t.fontItalic);
    BaseUnitsOf(font, &data.baseX, &data.baseY);
  } else {
    BaseUnitsOfSystemFont(&data.baseX, &data.baseY);
  }
  if (g_overrideX > 0 && g_overrideY > 0) data.baseX = g_overrideX, data.baseY = g_overrideY;

  bool child = (t.style & WS_CHILD) != 0;
  HWND parent = child ? owner : TopLevelOf(owner);
  DWORD style = t.style & ~WS_VISIBLE;
  int width = MulDiv(t.cx, data.baseX, 4), height = MulDiv(t.cy, data.baseY, 8);
  int x = MulDiv(t.x, data.baseX, 4), y = MulDiv(t.y, data.baseY, 8);
  HWND dialog = CreateWindowExA(t.exStyle, kDialogClass, t.caption.c_str(), style, x, y, width, height, parent,
                                0, 0, nullptr);
  if (!dialog) return 0;
  if (g_makingModal) {
    ModalFrames().back().dialog = dialog;
    g_makingModal = false;
  }
  if (hasFont) data.font = FontObject(font);
  Dialogs()[dialog] = data;
  if (data.font) SendMessageA(dialog, WM_SETFONT, static_cast<WPARAM>(data.font), FALSE);

  for (const DialogItem& item : t.items) {
    // Position and size each in whole pixels, as Windows maps them.
    HWND control = CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(),
                                   item.style | WS_CHILD, MulDiv(item.x, data.baseX, 4),
                                   MulDiv(item.y, data.baseY, 8), MulDiv(item.cx, data.baseX, 4),
                                   MulDiv(item.cy, data.baseY, 8), dialog, static_cast<HMENU>(item.id), t.instance, nullptr);
    if (!control) {
      // A dialog missing one of its controls would not work as designed.
      DestroyWindow(dialog);
      return 0;
    }
    if (DialogData* d = DialogOf(dialog); d && d->font)
      SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(d->font), FALSE);
  }

  if (!child) PlaceCentered(dialog, parent);
  HWND first = GetNextDlgTabItem(dialog, 0, FALSE);
  LRESULT focus = SendMessageA(dialog, WM_INITDIALOG, static_cast<WPARAM>(first), param);
  if (!IsWindow(dialog)) return 0;
  if (focus && first && IsWindow(first)) FocusControl(first);
  if ((t.style & WS_VISIBLE) && !(DialogOf(dialog) && DialogOf(dialog)->ended)) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

int DialogBoxFromTemplate(const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param) {
  if (owner && !IsWindow(owner)) return -1;
  HWND top = TopLevelOf(owner);
  ModalFrames().push_back(ModalFrame{});
  size_t depth = ModalFrames().size();
  g_makingModal = true;
  HWND dialog = CreateDialogFromTemplate(t, top, proc, param);
  g_makingModal = false;
  if (!dialog) {
    ModalFrames().pop_back();
    return -1;
  }
  ModalFrame& frame = ModalFrames().back();
  frame.dialog = dialog;
  if (DialogData* d = DialogOf(dialog); d && d->ended) frame.ended = true, frame.result = d->result;

  bool reenable = top && IsWindowEnabled(top);
  if (reenable) EnableWindow(top, FALSE);
  if (!frame.ended) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    if (IsBatchMode()) WriteDialogBoxLine(dialog);
  }

  bool askedToCancel = false;
  for (;;) {
    ModalFrame& f = ModalFrames()[depth - 1];
    if (f.ended || !IsWindow(dialog)) break;
    MSG msg;
    if (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The program is being ended: the quit is for its own loop.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      continue;
    }
    if (IsBatchMode()) {
      if (TakeDialogAction(dialog)) continue;
      if (!askedToCancel) {
        // The script has nothing more for it: cancelled, as with Escape.
        askedToCancel = true;
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        continue;
      }
      // A dialog that will not be cancelled waits for ever: the program is
      // ended as if its window were closed.
      PostQuitMessage(255);
      break;
    }
    WaitMessage();
  }

  int result = ModalFrames()[depth - 1].result;
  ModalFrames().pop_back();
  if (reenable) EnableWindow(top, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (top && IsWindow(top)) {
    SetActiveWindow(top);
    if (!GetFocus()) SetFocus(top);
  }
  return result;
}

HWND CurrentModalDialog() {
  for (auto it = ModalFrames().rbegin(); it != ModalFrames().rend(); ++it)
    if (it->dialog && IsWindow(it->dialog)) return it->dialog;
  return 0;
}

}  // namespace win

int DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  win::DialogTemplate t;
  if (!name || !win::FindDialogTemplate(instance, TemplateName(name), &t)) return -1;
  return win::DialogBoxFromTemplate(t, owner, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  win::DialogTemplate t;
  if (!name || !win::FindDialogTemplate(instance, TemplateName(name), &t)) return 0;
  if (owner && !IsWindow(owner)) return 0;
  return win::CreateDialogFromTemplate(t, owner, proc, param);
}

BOOL EndDialog(HWND dialog, int result) {
  DialogData* d = DialogOf(dialog);
  if (!d) return FALSE;
  d->ended = true;
  d->result = result;
  if (ModalFrame* f = FrameOf(dialog)) f->ended = true, f->result = result;
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  if (!msg || !IsWindow(dialog) || !IsDescendant(dialog, msg->hwnd)) return FALSE;
  if (msg->message != WM_KEYDOWN) return FALSE;
  HWND focus = GetFocus();
  if (!IsDescendant(dialog, focus) || focus == dialog) focus = 0;
  HWND target = focus ? focus : msg->hwnd;
  LRESULT code = target != dialog ? DialogCode(target, msg) : 0;
  if (code & DLGC_WANTALLKEYS) return FALSE;
  switch (msg->wParam) {
    case VK_TAB: {
      if (code & DLGC_WANTTAB) return FALSE;
      bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
      HWND next = GetNextDlgTabItem(dialog, focus, back ? TRUE : FALSE);
      if (next) FocusControl(next);
      return TRUE;
    }
    case VK_RETURN: {
      int id;
      HWND button;
      if (focus && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        id = GetDlgCtrlID(focus);
        button = focus;
      } else if (auto def = static_cast<DWORD>(SendMessageA(dialog, DM_GETDEFID, 0, 0)); HIWORD(def) == DC_HASDEFID) {
        id = LOWORD(def);
        button = GetDlgItem(dialog, id);
      } else {
        id = IDOK;
        button = 0;
      }
      // A disabled default button does not take Enter, but Enter stays the dialog's.
      if (button && !IsWindowEnabled(button)) return TRUE;
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), static_cast<LPARAM>(button));
      return TRUE;
    }
    case VK_ESCAPE:
      SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
      if (!focus || (code & DLGC_WANTARROWS)) return FALSE;
      HWND next = NextInGroup(dialog, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
      if (next == focus) return TRUE;
      FocusControl(next);
      if ((DialogCode(next, nullptr) & DLGC_RADIOBUTTON) &&
          (static_cast<DWORD>(GetWindowLongA(next, GWL_STYLE)) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
        SendMessageA(next, BM_CLICK, 0, 0);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM w, LPARAM l) {
  DialogData* d = DialogOf(dialog);
  switch (msg) {
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(dialog, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
      }
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), static_cast<LPARAM>(cancel));
      return 0;
    }
    case DM_GETDEFID: {
      if (d && d->defId) return MAKELPARAM(d->defId, DC_HASDEFID);
      if (HWND def = DefaultButton(dialog)) return MAKELPARAM(GetDlgCtrlID(def), DC_HASDEFID);
      return 0;
    }
    case DM_SETDEFID: {
      int id = static_cast<int>(w);
      if (HWND old = DefaultButton(dialog); old && GetDlgCtrlID(old) != id)
        SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      if (HWND now = GetDlgItem(dialog, id); now && IsPushButton(now))
        SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
      if (d) d->defId = id;
      return TRUE;
    }
    case WM_GETFONT:
      return d ? static_cast<LRESULT>(d->font) : 0;
    case WM_NEXTDLGCTL: {
      HWND next = l ? static_cast<HWND>(w) : GetNextDlgTabItem(dialog, GetFocus(), w ? TRUE : FALSE);
      if (next && IsDescendant(dialog, next)) FocusControl(next);
      return 0;
    }
    case WM_SETFOCUS: {
      if (HWND first = GetNextDlgTabItem(dialog, 0, FALSE)) FocusControl(first);
      return 0;
    }
    default:
      return DefWindowProcA(dialog, msg, w, l);
  }
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND control = GetDlgItem(dialog, id);
  return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) {
    if (buffer && size > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM w, LPARAM l) {
  HWND control = GetDlgItem(dialog, id);
  return control ? SendMessageA(control, msg, w, l) : 0;
}

BOOL MapDialogRect(HWND dialog, RECT* r) {
  DialogData* d = DialogOf(dialog);
  if (!d || !r) return FALSE;
  r->left = MulDiv(r->left, d->baseX, 4);
  r->right = MulDiv(r->right, d->baseX, 4);
  r->top = MulDiv(r->top, d->baseY, 8);
  r->bottom = MulDiv(r->bottom, d->baseY, 8);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!IsWindow(dialog)) return 0;
  std::vector<HWND> stops;
  for (HWND c : Reachable(dialog))
    if (GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) stops.push_back(c);
  if (stops.empty()) return control;
  auto at = std::find(stops.begin(), stops.end(), control);
  if (at == stops.end()) {
    // From a control that is no tab stop: the next one after it in the
    // dialog's order, as if it were one.
    std::vector<HWND> all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    auto pos = std::find(all.begin(), all.end(), control);
    if (pos == all.end()) return previous ? stops.back() : stops.front();
    if (previous) {
      for (auto it = std::make_reverse_iterator(pos); it != all.rend(); ++it)
        if (std::find(stops.begin(), stops.end(), *it) != stops.end()) return *it;
      return stops.back();
    }
    for (auto it = pos + 1; it != all.end(); ++it)
      if (std::find(stops.begin(), stops.end(), *it) != stops.end()) return *it;
    return stops.front();
  }
  size_t i = static_cast<size_t>(at - stops.begin());
  size_t n = stops.size();
  return stops[previous ? (i + n - 1) % n : (i + 1) % n];
}

LONG GetDialogBaseUnits() {
  int cx, cy;
  BaseUnitsOfSystemFont(&cx, &cy);
  return static_cast<LONG>(MAKELPARAM(cx, cy));
}
