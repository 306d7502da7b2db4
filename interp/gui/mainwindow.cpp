#include "mainwindow.h"
#include "printjob.h"

#include <algorithm>
#include <cstring>

#include "batch.h"
#include "batchinput.h"
#include "dialogs/dialogbox.h"
#include "errors.h"
#include "menus/menus.h"
#include "screen.h"

namespace tilmor {
namespace {

Interp* g_interp = nullptr;

constexpr COLORREF kPalette[16] = {0x000000, 0x880000, 0x008800, 0x880088, 0x000088, 0x888800,
                                   0x008888, 0xCCCCCC, 0x444444, 0xFF0000, 0x00FF00, 0xFF00FF,
                                   0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};

void AllocateCells() {
  MainWindowState& m = MW();
  m.bufCols = std::max(1, m.screenW / 8);
  m.bufRows = std::max(1, m.screenH / 15);
  size_t n = static_cast<size_t>(m.bufCols) * static_cast<size_t>(m.bufRows);
  m.chars.assign(n, ' ');
  m.attrs.assign(n, m.attr);
  m.fonts.assign(n, static_cast<uint8_t>(m.font));
  m.cols = std::min(m.cols, m.bufCols);
  m.rows = std::min(m.rows, m.bufRows);
}

// The visible part of the grid follows the client size.
void VisibleGrid(int width, int height) {
  MainWindowState& m = MW();
  int visCols = m.cellW > 0 ? width / m.cellW : m.cols;
  int visRows = m.lineH > 0 ? height / m.lineH : m.rows;
  m.maxOriginCol = std::max(0, m.cols - visCols);
  m.maxOriginRow = std::max(0, m.rows - visRows);
  m.originCol = std::min(m.originCol, m.maxOriginCol);
  m.originRow = std::min(m.originRow, m.maxOriginRow);
}

// Only the invalid part needs the shadow's pixels; the rest of the window
// already shows them. An empty update area restores everything.
void RestoreFromShadow(const RECT& r, HDC dc) {
  MainWindowState& m = MW();
  if (r.right <= r.left || r.bottom <= r.top)
    BitBlt(dc, 0, 0, m.screenW, m.screenH, m.memDc, 0, 0, SRCCOPY);
  else
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, m.memDc, r.left, r.top, SRCCOPY);
}

}  // namespace

MainWindowState& MW() {
  static MainWindowState state;
  return state;
}

Interp& TheInterp() { return *g_interp; }
void BindInterp(Interp* in) {
  g_interp = in;
  if (in && !in->text) in->text = MainWindowText();
}

COLORREF PaletteColor(int index) { return kPalette[index & 15]; }

COLORREF ConvertColor(const Interp& in, int32_t value) {
  if (in.trueColor) return static_cast<COLORREF>(value);
  auto part = [](int32_t c) { return c == 0 ? 0 : c * 8 + 7; };
  int r = part(value & 31), g = part((value >> 5) & 31), b = part((value >> 10) & 31);
  return RGB(r, g, b);
}

void RecomputeCellMetrics() {
  MainWindowState& m = MW();
  HDC probe = m.dc ? m.dc : GetDC(0);
  m.cellW = 1;
  m.lineH = 1;
  m.caretOffset = 0;
  for (int i = 1; i <= m.metricCount; ++i) {
    HGDIOBJ old = SelectObject(probe, m.fontTable[i]);
    TEXTMETRICA tm;
    GetTextMetricsA(probe, &tm);
    SelectObject(probe, old);
    m.cellW = std::max<int>(m.cellW, tm.tmMaxCharWidth);
    if (tm.tmHeight + tm.tmExternalLeading > m.lineH) {
      m.lineH = tm.tmHeight + tm.tmExternalLeading - 2;
      m.tallest = i;
    }
    m.caretOffset = std::max<int>(m.caretOffset, tm.tmAscent);
  }
  if (!m.dc) ReleaseDC(0, probe);
}

void RegisterWindowClasses() {
  MainWindowState& m = MW();
  m.fontTable[0] = GetStockObject(ANSI_FIXED_FONT);
  m.fontTable[1] = GetStockObject(OEM_FIXED_FONT);
  m.fontTable[2] = GetStockObject(SYSTEM_FIXED_FONT);
  m.fontTable[3] = GetStockObject(SYSTEM_FIXED_FONT);
  WNDCLASSA wc;
  wc.style = CS_CLASSDC;
  wc.lpfnWndProc = DialogWindowProc;
  wc.cbWndExtra = 30;
  wc.hbrBackground = GetStockObject(WHITE_BRUSH);
  wc.lpszClassName = "DIALOG";
  RegisterClassA(&wc);
}

void EnsureMainWindow(Interp& in) {
  MainWindowState& m = MW();
  if (m.exists) return;
  m.screenW = GetSystemMetrics(SM_CXSCREEN);
  m.screenH = GetSystemMetrics(SM_CYSCREEN);
  WNDCLASSA wc;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = MainWindowProc;
  wc.cbWndExtra = 30;
  wc.hbrBackground = m.transparent ? GetStockObject(NULL_BRUSH) : GetStockObject(WHITE_BRUSH);
  wc.lpszClassName = "FENSTER";
  RegisterClassA(&wc);
  m.menu = m.noMenu ? 0 : LoadMenuA(kSelfInstance, "LEER");
  HWND hwnd = CreateWindowExA(0, "FENSTER", m.title.c_str(), m.style | 0x2000, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, 0, m.menu, 0, nullptr);
  if (!hwnd) return;
  m.hwnd = hwnd;
  m.exists = true;
  in.mainWindow = hwnd;
  win::SetInputTarget(hwnd);
  SetWindowPos(hwnd, 0, m.x, m.y, m.w, m.h, SWP_NOZORDER);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  m.dc = GetDC(hwnd);
  SetStretchBltMode(m.dc, COLORONCOLOR);
  m.memDc = CreateCompatibleDC(m.dc);
  SetStretchBltMode(m.memDc, COLORONCOLOR);
  m.shadow = CreateCompatibleBitmap(m.dc, m.screenW, m.screenH);
  m.oldBitmap = SelectObject(m.memDc, m.shadow);
  BitBlt(m.memDc, 0, 0, m.w, m.h, m.dc, 0, 0, SRCCOPY);
  RecomputeCellMetrics();
  RECT rc;
  GetClientRect(hwnd, &rc);
  VisibleGrid(rc.right, rc.bottom);
  SetFocus(hwnd);
}

bool HaveMainWindow(Interp& in) {
  MainWindowState& m = MW();
  if (!m.exists && m.textShown) EnsureMainWindow(in);
  return m.exists;
}

void BeginOutput() {
  MainWindowState& m = MW();
  HGDIOBJ font = m.fontTable[m.font & 3];
  for (HDC dc : {m.dc, m.memDc}) {
    SelectObject(dc, font);
    SetTextColor(dc, PaletteColor(m.attr & 15));
    SetBkColor(dc, PaletteColor(m.attr >> 4));
    SetBkMode(dc, OPAQUE);
  }
}

void EndOutput() {}

// Recording a character into the event record.
void RecordChar(Interp& in, uint8_t c) {
  if (MW().breakCheck && c == 3) throw ProgramEnd{kExitAborted};
  in.events.lastChar = c == 0 ? 1 : c;
  in.events.help = c == 5 && in.events.waitInput;
  if (in.events.keyQueue.size() < 64) in.events.keyQueue += static_cast<char>(c);
}

namespace {

// A scroll bar control moves as the request says: by one, by a tenth of
// its range (at least one), to the thumb, or to an end.
void ScrollBarMove(HWND bar, WPARAM w) {
  if (!bar || !IsWindow(bar)) return;
  int min, max;
  GetScrollRange(bar, SB_CTL, &min, &max);
  int pos = GetScrollPos(bar, SB_CTL);
  int page = std::max(1, (max - min + 1) / 10);
  switch (LOWORD(w)) {
    case SB_LINEUP: if (pos > min) --pos; break;
    case SB_LINEDOWN: if (pos < max) ++pos; break;
    case SB_PAGEUP: pos = std::max(min, pos - page); break;
    case SB_PAGEDOWN: pos = std::min(max, pos + page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = static_cast<int16_t>(HIWORD(w)); break;
    case SB_TOP: pos = min; break;
    case SB_BOTTOM: pos = max; break;
    default: return;
  }
  SetScrollPos(bar, SB_CTL, pos, TRUE);
}

void MouseAt(Interp& in, LPARAM l) {
  in.events.mouseX = static_cast<int16_t>(LOWORD(static_cast<DWORD>(l)));
  in.events.mouseY = static_cast<int16_t>(HIWORD(static_cast<DWORD>(l)));
}

// What the main and the dialog window procedures share.
bool CommonMessage(Interp& in, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETFOCUS:
      in.events.focus = GetFocus();
      if (hwnd == MW().hwnd) {
        MW().hasFocus = true;
        if (MW().caretWanted) PlaceCaret();
      }
      return true;
    case WM_TIMER:
      if (w == 1) in.events.timer = true;
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      in.events.focus = GetFocus();
      ScrollBarMove(static_cast<HWND>(l), w);
      RecordChar(in, 255);
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT MainWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Interp& in = TheInterp();
  MainWindowState& m = MW();
  in.events.lastMessage = static_cast<int32_t>(msg);
  switch (msg) {
    case WM_CREATE:
      m.hwnd = hwnd;
      AllocateCells();
      RecomputeCellMetrics();
      return 0;
    case WM_DESTROY:
      if (m.memDc) {
        SelectObject(m.memDc, m.oldBitmap);
        DeleteDC(m.memDc);
      }
      if (m.shadow) DeleteObject(m.shadow);
      if (m.dc) ReleaseDC(hwnd, m.dc);
      m.dc = m.memDc = 0;
      m.shadow = 0;
      m.chars.clear();
      m.attrs.clear();
      m.fonts.clear();
      m.curCol = m.curRow = m.originCol = m.originRow = 0;
      m.exists = false;
      m.hwnd = 0;
      m.menu = 0;  // the window takes its menu with it
      in.mainWindow = 0;
      PostQuitMessage(0);
      return 0;
    case WM_SIZE:
      VisibleGrid(LOWORD(static_cast<DWORD>(l)), HIWORD(static_cast<DWORD>(l)));
      RecordChar(in, 4);
      return 0;
    case WM_KILLFOCUS:
      if (m.caretCreated) {
        DestroyCaret();
        m.caretCreated = false;
      }
      m.hasFocus = false;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      if (m.autoPaint <= 0)
        in.events.paint = true;
      else if (m.memDc)
        RestoreFromShadow(ps.rcPaint, ps.hdc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_GETMINMAXINFO:
      RecomputeCellMetrics();
      return 0;
    case WM_KEYDOWN:
      if (m.breakCheck && w == VK_CANCEL) throw ProgramEnd{kExitAborted};
      in.events.lastKeyDown = static_cast<int32_t>(w);
      return 0;
    case WM_CHAR:
      RecordChar(in, static_cast<uint8_t>(w));
      return 0;
    case WM_COMMAND:
      in.events.focus = static_cast<HWND>(l);
      if (l != 0) {
        in.events.menuItem = static_cast<int16_t>(-static_cast<int>(LOWORD(w)));
      } else {
        in.events.mouseX = in.events.mouseY = 0;
        in.events.leftDown = in.events.rightDown = false;
        in.events.menuItem = LOWORD(w) == 0x7FFF ? 255 : static_cast<int16_t>(LOWORD(w));
      }
      return 0;
    case WM_MOUSEMOVE:
      MouseAt(in, l);
      return 0;
    case WM_LBUTTONDOWN:
      MouseAt(in, l);
      in.events.leftDown = true;
      in.events.rightDown = false;
      SetFocus(hwnd);
      in.events.focus = hwnd;
      return 0;
    case WM_LBUTTONUP:
      MouseAt(in, l);
      in.events.leftDown = false;
      SetFocus(hwnd);
      return 0;
    case WM_RBUTTONDOWN:
      MouseAt(in, l);
      in.events.rightDown = true;
      in.events.leftDown = false;
      SetFocus(hwnd);
      return 0;
    case WM_RBUTTONUP:
      MouseAt(in, l);
      in.events.rightDown = false;
      SetFocus(hwnd);
      return 0;
    case WM_PARENTNOTIFY:
      if (LOWORD(w) == WM_LBUTTONDOWN) {
        in.events.childLeft = true;
        in.events.childRight = false;
        MouseAt(in, l);
      } else if (LOWORD(w) == WM_RBUTTONDOWN) {
        in.events.childRight = true;
        in.events.childLeft = false;
        MouseAt(in, l);
      }
      in.events.focus = GetFocus();
      return 0;
    case 996:
      in.events.ddeWin = static_cast<HWND>(w);
      return 0;
    default:
      if (CommonMessage(in, hwnd, msg, w, l)) return 0;
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

namespace {

// What the dialog window procedure and the modeless dialog procedure do
// alike; false for a message neither handles.
bool DialogEvent(Interp& in, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT:
      if (MW().autoPaint < 2) in.events.paint = true;
      return false;  // then default processing
    case WM_COMMAND: {
      int code = HIWORD(w);
      if (l == 0 && (w & 0xFF) == 1) {
        RecordChar(in, 13);
        if (HWND f = GetFocus()) SetFocus(GetWindow(f, GW_HWNDNEXT));
      } else if (l == 0 && (w & 0xFF) == 2) {
        SetFocus(0);
        RecordChar(in, 2);
      } else if (code == 0 && LOWORD(w) != 0) {
        SetFocus(static_cast<HWND>(l));
        in.events.focus = GetFocus();
        RecordChar(in, 255);
      } else if (code == 1) {
        RecordChar(in, 1);
      }
      return true;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(w) == WM_LBUTTONDOWN) {
        char cls[64] = {0};
        GetClassNameA(GetFocus(), cls, sizeof cls);
        if (cls[0] == 'S' || cls[0] == 's') MouseAt(in, l);
      } else if (LOWORD(w) == WM_RBUTTONDOWN) {
        SetFocus(0);
        in.events.childRight = true;
        in.events.childLeft = false;
        MouseAt(in, l);
      }
      return true;
    case WM_SETFOCUS:
    case WM_TIMER:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return CommonMessage(in, hwnd, msg, w, l);
    default:
      return false;
  }
}

}  // namespace

LRESULT DialogWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Interp& in = TheInterp();
  in.events.modeless = hwnd;
  in.events.lastMessage = static_cast<int32_t>(msg);
  if (msg == WM_SIZE) RecordChar(in, 4);
  if (DialogEvent(in, hwnd, msg, w, l)) return 0;
  // The class keeps a dialog's extra bytes: the rest is a dialog's default
  // processing (closing it is Escape).
  return DefDlgProcA(hwnd, msg, w, l);
}

BOOL ModelessDialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Interp& in = TheInterp();
  in.events.modeless = hwnd;
  in.events.lastMessage = static_cast<int32_t>(msg);
  return DialogEvent(in, hwnd, msg, w, l) ? TRUE : FALSE;
}

void TeardownWindow(Interp& in) {
  EndPrintJob(in);
  MainWindowState& m = MW();
  if (m.exists && m.hwnd) DestroyWindow(m.hwnd);
  if (m.clsBrush) {
    DeleteObject(m.clsBrush);
    m.clsBrush = 0;
  }
  in.mainWindow = 0;
}

void ProgramEnded(Interp& in, int code, const std::string& screenshot) {
  MainWindowState& m = MW();
  if (!screenshot.empty() && m.exists) win::SaveWindowPng(m.hwnd, screenshot);
  if (code == kExitNormal && m.exists && !win::IsBatchMode()) {
    // The output stays visible until the user closes the window.
    m.breakCheck = false;
    SetWindowTextA(m.hwnd, m.title.c_str());
    MSG msg;
    while (m.exists && GetMessageA(&msg, 0, 0, 0)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace tilmor
