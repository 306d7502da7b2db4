// Character output into the text grid: cells, spans drawn into the window
// and the shadow bitmap, line feeds and scrolling, the caret.
#include <algorithm>

#include "batch.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

size_t CellIndex(int col, int row) {
  const MainWindowState& m = MW();
  int ring = (row + m.firstLine) % m.rows;
  return static_cast<size_t>(ring) * static_cast<size_t>(m.cols) + static_cast<size_t>(col);
}

// Draws cells [from, to) of a row as they are stored, in their fonts and
// attributes; a lower font is first covered by blanks of the tallest.
void DrawSpan(int row, int from, int to) {
  MainWindowState& m = MW();
  if (!m.exists || from >= to) return;
  // A row's cells lie side by side in the buffers.
  const size_t base = CellIndex(0, row);
  const char* chars = m.chars.data() + base;
  const uint8_t* attrs = m.attrs.data() + base;
  const uint8_t* fonts = m.fonts.data() + base;
  int y = (row - m.originRow) * m.lineH;
  int col = from;
  while (col < to) {
    uint8_t attr = attrs[col], font = fonts[col];
    int end = col + 1;
    while (end < to && attrs[end] == attr && fonts[end] == font) ++end;
    int n = end - col;
    int x = (col - m.originCol) * m.cellW;
    for (HDC dc : {m.dc, m.memDc}) {
      SetTextColor(dc, PaletteColor(attr & 15));
      SetBkColor(dc, PaletteColor(attr >> 4));
      SetBkMode(dc, OPAQUE);
      if ((font & 3) != m.tallest) {
        SelectObject(dc, m.fontTable[m.tallest]);
        std::string blanks(static_cast<size_t>(n), ' ');
        TextOutA(dc, x, y, blanks.data(), n);
      }
      SelectObject(dc, m.fontTable[font & 3]);
      TextOutA(dc, x, y, chars + col, n);
    }
    col = end;
  }
  BeginOutput();
}

void ClearRow(int row) {
  MainWindowState& m = MW();
  for (int c = 0; c < m.cols; ++c) {
    size_t i = CellIndex(c, row);
    m.chars[i] = ' ';
    m.attrs[i] = m.attr;
    m.fonts[i] = static_cast<uint8_t>(m.font);
  }
}

void NewLine() {
  MainWindowState& m = MW();
  m.pendingWrap = false;
  m.curCol = 0;
  if (m.curRow < m.rows - 1) {
    ++m.curRow;
    return;
  }
  m.firstLine = (m.firstLine + 1) % m.rows;
  ClearRow(m.rows - 1);
  int top = (0 - m.originRow) * m.lineH;
  int height = m.rows * m.lineH;
  // The shadow follows the window, so a repaint shows the scrolled text.
  BitBlt(m.memDc, 0, top, m.screenW, height - m.lineH, m.memDc, 0, top + m.lineH, SRCCOPY);
  RECT area{0, top, m.screenW, top + height};
  ScrollWindow(m.hwnd, 0, -m.lineH, &area, &area);
  DrawSpan(m.rows - 1, 0, m.cols);
  UpdateWindow(m.hwnd);
}

}  // namespace

// Text output goes into the main window's grid (and, in batch mode, to
// standard output as well).
class WindowText : public TextOutput {
 public:
  void Write(std::string_view text) override { WriteText(TheInterp(), text); }
};

TextOutput* MainWindowText() {
  static WindowText text;
  return &text;
}

void PlaceCaret() {
  MainWindowState& m = MW();
  if (!m.exists || !m.caretWanted || !m.hasFocus) return;
  if (!m.caretCreated) {
    CreateCaret(m.hwnd, 0, m.cellW, 2);
    ShowCaret(m.hwnd);
    m.caretCreated = true;
  }
  SetCaretPos((m.curCol - m.originCol) * m.cellW, (m.curRow - m.originRow) * m.lineH + m.caretOffset);
}

void RedrawGrid() {
  MainWindowState& m = MW();
  for (int r = 0; r < m.rows; ++r) DrawSpan(r, 0, m.cols);
}

void WriteText(Interp& in, std::string_view text) {
  EnsureMainWindow(in);
  MainWindowState& m = MW();
  if (!m.exists) return;
  BeginOutput();
  std::string echo;
  int spanFrom = -1, spanTo = 0, spanRow = 0;
  auto flush = [&] {
    if (spanFrom >= 0) DrawSpan(spanRow, spanFrom, spanTo);
    spanFrom = -1;
  };
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case 7:
        MessageBeep(0);
        break;
      case 8:
        flush();
        m.pendingWrap = false;
        if (m.curCol > 0) {
          --m.curCol;
          size_t i = CellIndex(m.curCol, m.curRow);
          m.chars[i] = ' ';
          m.attrs[i] = m.attr;
          m.fonts[i] = static_cast<uint8_t>(m.font);
          DrawSpan(m.curRow, m.curCol, m.curCol + 1);
        }
        break;
      case 10:
        flush();
        if (m.pendingWrap) NewLine();
        NewLine();
        echo += '\n';
        break;
      case 13:
        break;
      default: {
        if (m.pendingWrap) {
          flush();
          NewLine();
        }
        if (spanFrom < 0) spanFrom = m.curCol, spanRow = m.curRow;
        spanTo = m.curCol + 1;
        size_t i = CellIndex(m.curCol, m.curRow);
        m.chars[i] = ch;
        m.attrs[i] = m.attr;
        m.fonts[i] = static_cast<uint8_t>(m.font);
        echo += ch;
        if (m.curCol + 1 < m.cols) {
          ++m.curCol;
        } else if (m.curRow < m.rows - 1) {
          flush();
          m.curCol = 0;
          ++m.curRow;
        } else {
          m.pendingWrap = true;  // the cursor stays in the grid
        }
      }
    }
  }
  flush();
  PlaceCaret();
  if (win::IsBatchMode() && !echo.empty()) win::WriteConsoleText(echo);
}

}  // namespace tilmor
