// The text window's commands: LOCATE, CLS, COLOR, FONT, TBOX, WINDOW, the
// show commands, SETWINDOWPOS, WINDOWTITLE, WINDOWSTYLE, SETAUTOPAINT,
// REPAINT, STARTPAINT, ENDPAINT and line INPUT.
#include <algorithm>

#include "argreader.h"
#include "chars.h"
#include "commands.h"
#include "drawing.h"
#include "errors.h"
#include "fnargs.h"
#include "mainwindow.h"
#include "numbers.h"
#include "print.h"

namespace tilmor {
namespace {

int32_t Num(Interp& in, char sep) {
  ReadArg(in, sep, kNumber);
  return in.res.ival;
}

// Repaints the main window from the shadow bitmap.
void Refresh() {
  MainWindowState& m = MW();
  if (!m.exists) return;
  InvalidateRect(m.hwnd, nullptr, FALSE);
  UpdateWindow(m.hwnd);
}

void CmdLocate(Interp& in, int) {
  int32_t row = Num(in, ',');
  int32_t col = Num(in, ' ');
  MainWindowState& m = MW();
  m.curRow = std::clamp(row, 1, m.rows) - 1;
  m.curCol = std::clamp(col, 1, m.cols) - 1;
  m.pendingWrap = false;
  PlaceCaret();
}

void CmdCls(Interp& in, int) {
  if (RefusedWhilePrinting(in, "CLS")) return;
  EnsureMainWindow(in);
  MainWindowState& m = MW();
  if (!m.exists) return;
  std::fill(m.chars.begin(), m.chars.end(), ' ');
  std::fill(m.attrs.begin(), m.attrs.end(), m.attr);
  std::fill(m.fonts.begin(), m.fonts.end(), static_cast<uint8_t>(m.font));
  m.curCol = m.curRow = m.originCol = m.originRow = 0;
  m.pendingWrap = false;
  HGDIOBJ brush;
  if (Trim(in.param).empty()) {
    brush = GetStockObject(WHITE_BRUSH);
  } else {
    ReadArg(in, ' ', kNumber);
    brush = CreateSolidBrush(ConvertColor(in, in.res.lval));
  }
  SelectObject(m.dc, brush);
  SelectObject(m.memDc, brush);
  if (m.clsBrush) DeleteObject(m.clsBrush);
  m.clsBrush = brush == GetStockObject(WHITE_BRUSH) ? 0 : brush;
  PatBlt(m.dc, 0, 0, m.w, m.h, PATCOPY);
  PatBlt(m.memDc, 0, 0, m.w, m.h, PATCOPY);
  Refresh();
  PlaceCaret();
}

void CmdColor(Interp& in, int) {
  int32_t fg = Num(in, ',');
  int32_t bg = Num(in, ' ');
  if (RefusedWhilePrinting(in, "COLOR")) return;
  MainWindowState& m = MW();
  m.attr = static_cast<uint8_t>((fg & 15) | ((bg & 15) << 4));
  if (m.exists) BeginOutput();
}

void CmdFont(Interp& in, int) {
  if (RefusedWhilePrinting(in, "FONT")) return;
  int32_t n = Num(in, ' ');
  if (n < 4) MW().font = n & 3;
}

void CmdTbox(Interp& in, int) {
  if (RefusedWhilePrinting(in, "TBOX")) return;
  int32_t r1 = Num(in, ','), c1 = Num(in, '-'), r2 = Num(in, ','), c2 = Num(in, ';');
  int32_t style = Num(in, ' ');
  EnsureMainWindow(in);
  MainWindowState& m = MW();
  if (r1 < 0 || c1 < 0 || r2 > m.rows || c2 > m.cols) {
    RuntimeError(in, 222);
    return;
  }
  if (!m.exists) return;
  static const unsigned char kChars[4][6] = {{218, 191, 192, 217, 196, 179},
                                             {201, 187, 200, 188, 205, 186},
                                             {213, 184, 212, 190, 205, 179},
                                             {32, 32, 32, 32, 32, 32}};
  const unsigned char* k = kChars[style >= 0 && style <= 3 ? style : 0];
  BeginOutput();
  for (HDC dc : {m.dc, m.memDc}) SelectObject(dc, m.fontTable[1]);
  auto put = [&](int32_t row, int32_t col, unsigned char c) {
    int x = (col - 1 - m.originCol) * m.cellW, y = (row - 1 - m.originRow) * m.lineH;
    char ch = static_cast<char>(c);
    for (HDC dc : {m.dc, m.memDc}) {
      TextOutA(dc, x, y, &ch, 1);
      TextOutA(dc, x, y + 1, &ch, 1);
    }
  };
  for (int32_t row = r1; row <= r2; ++row) {
    for (int32_t col = c1; col <= c2; ++col) {
      bool top = row == r1, bottom = row == r2, left = col == c1, right = col == c2;
      unsigned char c = ' ';
      if (top && left) c = k[0];
      else if (top && right) c = k[1];
      else if (bottom && left) c = k[2];
      else if (bottom && right) c = k[3];
      else if (top || bottom) c = k[4];
      else if (left || right) c = k[5];
      put(row, col, c);
    }
  }
  BeginOutput();
  m.curRow = static_cast<int>(std::clamp<int64_t>(int64_t{r1} + 1, 1, m.rows)) - 1;
  m.curCol = static_cast<int>(std::clamp<int64_t>(int64_t{c1} + 1, 1, m.cols)) - 1;
  m.pendingWrap = false;
  PlaceCaret();
}

void CmdWindow(Interp& in, int) {
  int32_t x = Num(in, ','), y = Num(in, '-'), w = Num(in, ','), h = Num(in, ' ');
  if (x < 0 || y < 0 || w < 0 || h < 0) {
    Warning(in, 223);
    return;
  }
  MainWindowState& m = MW();
  int cols = std::max(1, w / 8), rows = std::max(1, h / 15);
  m.x = x, m.y = y, m.w = w, m.h = h;
  m.gw = w, m.gh = h;
  bool created = !m.exists;
  if (m.exists && (m.bufCols > 0)) {
    cols = std::min(cols, m.bufCols);
    rows = std::min(rows, m.bufRows);
  }
  if (m.exists && (cols != m.cols || rows != m.rows)) {
    // A new grid starts empty: the ring's layout depends on its size.
    m.cols = cols, m.rows = rows;
    std::fill(m.chars.begin(), m.chars.end(), ' ');
    m.firstLine = 0;
    m.curCol = std::min(m.curCol, m.cols - 1);
    m.curRow = std::min(m.curRow, m.rows - 1);
  } else {
    m.cols = cols, m.rows = rows;
  }
  EnsureMainWindow(in);
  if (!m.exists) return;
  if (created && !m.transparent) {
    for (HDC dc : {m.dc, m.memDc}) {
      HGDIOBJ old = SelectObject(dc, GetStockObject(WHITE_BRUSH));
      PatBlt(dc, 0, 0, m.screenW, m.screenH, PATCOPY);
      SelectObject(dc, old);
    }
  }
  SetWindowPos(m.hwnd, 0, x, y, w, h, SWP_NOZORDER);
  Refresh();
}

void Show(Interp& in, int cmd) {
  EnsureMainWindow(in);
  if (!MW().exists) return;
  ShowWindow(MW().hwnd, cmd);
  UpdateWindow(MW().hwnd);
}

void CmdSetWindowPos(Interp& in, int) {
  HWND hwnd = Num(in, '=');
  int32_t x = Num(in, ','), y = Num(in, '-'), w = Num(in, ',');
  int32_t h = Num(in, ';');
  bool after = !Trim(in.param).empty();
  HWND insertAfter = after ? Num(in, ' ') : 0;
  if (x < 0 || y < 0 || w < 0 || h < 0) {
    Warning(in, 223);
    return;
  }
  SetWindowPos(hwnd, insertAfter, x, y, w, h, after ? 0 : SWP_NOZORDER);
}

void CmdWindowTitle(Interp& in, int) {
  ReadArg(in, ' ', kText);
  MainWindowState& m = MW();
  m.title = in.res.text;
  if (m.exists) SetWindowTextA(m.hwnd, m.title.c_str());
}

void CmdWindowStyle(Interp& in, int) {
  MainWindowState& m = MW();
  m.style = static_cast<DWORD>(Num(in, ' '));
  if (m.exists) SetWindowLongA(m.hwnd, GWL_STYLE, static_cast<LONG>(m.style | 0x2000));
}

void CmdSetAutoPaint(Interp& in, int) {
  int32_t n = Num(in, ' ');
  if (n < 0 || n > 2) {
    Warning(in, 200);
    return;
  }
  MW().autoPaint = n;
}

void CmdRepaint(Interp& in, int) {
  if (RefusedWhilePrinting(in, "REPAINT")) return;
  MainWindowState& m = MW();
  if (m.autoPaint > 0 && m.exists) InvalidateRect(m.hwnd, nullptr, FALSE);
}

void CmdStartPaint(Interp& in, int) {
  HWND hwnd = Num(in, ' ');
  MainWindowState& m = MW();
  if (m.printing) {
    RuntimeError(in, 221, "STARTPAINT");
    return;
  }
  if (m.inPaint) {
    RuntimeError(in, 249, "STARTPAINT");
    return;
  }
  EnsureMainWindow(in);
  if (hwnd != m.hwnd && IsWindow(hwnd)) {
    m.savedDc = m.dc;
    m.savedMemDc = m.memDc;
    HDC dc = GetDC(hwnd);
    m.dc = dc;
    m.memDc = dc;  // the foreign window is drawn once only
  }
  m.paintHwnd = hwnd;
  m.inPaint = true;
}

void CmdEndPaint(Interp& in, int) {
  MainWindowState& m = MW();
  if (!m.inPaint) {
    RuntimeError(in, 124);
    return;
  }
  if (m.savedDc) {
    ReleaseDC(m.paintHwnd, m.dc);
    m.dc = m.savedDc;
    m.memDc = m.savedMemDc;
    m.savedDc = m.savedMemDc = 0;
  }
  m.inPaint = false;
  m.paintHwnd = 0;
  PumpMessages(in);
}

void StoreInput(Interp& in, const std::string& name, const std::string& text) {
  Variables& v = in.vars;
  char kind = name.empty() ? '\0' : name.back();
  if (kind == '$') {
    if (std::string* s = v.strings.Find(name)) return void(*s = text);
  } else if (kind == '%') {
    if (int32_t* i = v.ints.Find(name)) return void(*i = ReadWhole(Trim(text)));
  } else if (kind == '&') {
    if (int32_t* l = v.longs.Find(name)) return void(*l = ReadWhole(Trim(text)));
  } else if (kind == '!') {
    double f = 0;
    if (double* d = v.floats.Find(name)) return void(*d = ReadFloat(Trim(text), f) ? f : 0.0);
  }
  RuntimeError(in, 215, name);
}

void CmdInput(Interp& in, int) {
  if (!in.param.empty() && in.param[0] == '#') {
    if (FileCommandHandler h = FileInputHandler())
      h(in);
    else
      RuntimeError(in, 102, "INPUT #");
    return;
  }
  if (RefusedWhilePrinting(in, "INPUT")) return;
  std::string name = UpperCase(Trim(in.param));
  EnsureMainWindow(in);
  MainWindowState& m = MW();
  m.caretWanted = true;
  PlaceCaret();
  std::string line;
  for (;;) {
    std::string& queue = in.events.keyQueue;
    if (queue.empty()) {
      PumpMessages(in);
      if (queue.empty()) WaitMessage();
      continue;
    }
    unsigned char c = static_cast<unsigned char>(queue[0]);
    queue.erase(0, 1);
    if (c == 13) {
      WriteText(in, "\n");
      break;
    }
    if (c == 8) {
      if (!line.empty()) {
        line.pop_back();
        WriteText(in, "\b");
      }
    } else if (c >= 32 && line.size() < 253) {
      line += static_cast<char>(c);
      WriteText(in, std::string(1, static_cast<char>(c)));
    }
  }
  m.caretWanted = false;
  if (m.caretCreated) {
    DestroyCaret();
    m.caretCreated = false;
  }
  StoreInput(in, name, line);
}

}  // namespace

void RegisterWindowCommands() {
  RegisterCommand("LOCATE", CmdLocate);
  RegisterCommand("CLS", CmdCls);
  RegisterCommand("COLOR", CmdColor);
  RegisterCommand("FONT", CmdFont);
  RegisterCommand("TBOX", CmdTbox);
  RegisterCommand("WINDOW", CmdWindow);
  RegisterCommand("SHOWMAX", [](Interp& in, int) { Show(in, SW_SHOWMAXIMIZED); });
  RegisterCommand("SHOWMIN", [](Interp& in, int) { Show(in, SW_SHOWMINIMIZED); });
  RegisterCommand("SHOWNORMAL", [](Interp& in, int) { Show(in, SW_SHOWNORMAL); });
  RegisterCommand("SETWINDOWPOS", CmdSetWindowPos);
  RegisterCommand("WINDOWTITLE", CmdWindowTitle);
  RegisterCommand("WINDOWSTYLE", CmdWindowStyle);
  RegisterCommand("SETAUTOPAINT", CmdSetAutoPaint);
  RegisterCommand("REPAINT", CmdRepaint);
  RegisterCommand("STARTPAINT", CmdStartPaint);
  RegisterCommand("ENDPAINT", CmdEndPaint);
  RegisterCommand("INPUT", CmdInput);
}

}  // namespace tilmor
