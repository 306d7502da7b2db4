// The interpreter's one main window: a character terminal (a grid of text
// cells with cursor, colours, four fonts and scrolling) and the drawing
// surface of the graphics commands. Everything drawn into it is drawn a
// second time into a screen-sized shadow bitmap it repaints itself from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interp.h"
#include "wingdi.h"
#include "winuser.h"

namespace tilmor {

struct MainWindowState {
  HWND hwnd = 0;
  HDC dc = 0;      // %HDC, kept for the whole run
  HDC memDc = 0;   // %HDC2, the shadow bitmap's context
  HGDIOBJ shadow = 0;
  HGDIOBJ oldBitmap = 0;
  int screenW = 640, screenH = 480;
  int x = 0, y = 0, w = 640, h = 480;  // window placement
  int gw = 640, gh = 480;              // the copy the graphics commands use
  DWORD style = WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  std::string title = "ZEL-TILMOR\xB2 INTERPRETER 5.0b-32";
  std::string titleFormat = "%s";
  int cols = 80, rows = 32;  // the text grid
  int bufCols = 0, bufRows = 0;
  std::vector<char> chars;
  std::vector<uint8_t> attrs, fonts;
  int firstLine = 0;  // the ring's first row
  int curCol = 0, curRow = 0;
  bool pendingWrap = false;  // the last cell of the last row was written
  int originCol = 0, originRow = 0, maxOriginCol = 0, maxOriginRow = 0;
  int cellW = 1, lineH = 1, caretOffset = 0;
  uint8_t attr = 0xF0;  // low nibble foreground, high nibble background
  int font = 2;
  HGDIOBJ fontTable[4] = {0, 0, 0, 0};
  int metricCount = 2;
  int tallest = 2;
  bool exists = false;
  bool textShown = false;  // batch mode: text went to standard output in the window's place
  bool breakCheck = true;
  bool hasFocus = false;
  bool caretWanted = false;
  bool caretCreated = false;
  bool noMenu = false, transparent = false, dialogStyle = false;
  HMENU menu = 0;  // the menu bar
  HMENU currentMenu = 0, parentMenu = 0;  // what APPENDMENU fills; saved by SUBPOPUP
  bool nestedMenu = false;
  int autoPaint = 2;
  bool inPaint = false;
  HWND paintHwnd = 0;
  HDC savedDc = 0, savedMemDc = 0;
  HGDIOBJ clsBrush = 0;
  bool printing = false;  // an open print job (printing commands)
  HGDIOBJ currentFont = 0;  // %FONT: the font last made by the program
};

MainWindowState& MW();
Interp& TheInterp();
void BindInterp(Interp* in);

// Creates the main window on first use.
void EnsureMainWindow(Interp& in);
// True when the main window exists; in batch mode a window that text
// output stood in for so far is made now, as it would be on a screen.
bool HaveMainWindow(Interp& in);
// Registers the classes "DIALOG" and, at creation, "FENSTER".
void RegisterWindowClasses();

// The 16 colours of COLOR, CLS and the text attributes.
COLORREF PaletteColor(int index);
// A program's colour value: 15-bit RGB, or a COLORREF in true-colour mode.
COLORREF ConvertColor(const Interp& in, int32_t value);

// Output to both contexts: the window's and the shadow's. Begin selects the
// current font and the attribute's colours.
void BeginOutput();
void EndOutput();

// Text output into the grid (PRINT and INPUT echo).
void WriteText(Interp& in, std::string_view text);
// The text output of the interpreter state: the grid of the bound state.
TextOutput* MainWindowText();
void PlaceCaret();
void RecomputeCellMetrics();
void RedrawGrid();

// The main window procedure and the dialog window procedure.
LRESULT MainWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT DialogWindowProc(HWND, UINT, WPARAM, LPARAM);
// The procedure of the modeless dialogs the program makes: the dialog
// window procedure's handling of focus, commands, timer, scroll bars,
// clicks and paint; FALSE (not handled) for everything else.
BOOL ModelessDialogProc(HWND, UINT, WPARAM, LPARAM);

// Recording a character into the event record (window procedures).
void RecordChar(Interp& in, uint8_t c);

// Processes every waiting window message (the pump of the main loop, the
// waits and the polls).
void PumpMessages(Interp& in);
// The main loop's cheap pump: looks at the queue only when something waits
// or a few milliseconds have passed.
void PumpBetweenLines(Interp& in);

// End of the program: on a desktop the window stays until the user closes
// it; the screenshot is taken first.
void ProgramEnded(Interp& in, int code, const std::string& screenshot);
void TeardownWindow(Interp& in);

void RegisterWindowCommands();
void RegisterMenuCommands();
void RegisterEventFunctions();

}  // namespace tilmor
