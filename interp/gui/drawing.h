// The drawing state of the graphics commands: current pen, brush and font,
// text colours, character set and angle, and the contexts every drawing
// goes to (the window's and the shadow bitmap's, or the one window of a
// STARTPAINT block).
#pragma once

#include <cstdint>
#include <string>

#include "interp.h"
#include "wingdi.h"

namespace tilmor {

struct DrawState {
  HGDIOBJ pen = 0, brush = 0;  // made by USEPEN, USEBRUSH (0: none yet)
  COLORREF textFg = RGB(0, 0, 0), textBg = RGB(255, 255, 255);
  bool textTransparent = false;
  DWORD charset = ANSI_CHARSET;
  int angle = 0;  // tenths of a degree (ORIENTATION)
  HDC memDc = 0;          // the memory bitmap of MLOADBMP and its context
  HGDIOBJ memBitmap = 0, memOld = 0;
  int32_t bmpX = 0, bmpY = 0;  // %BMPX, %BMPY: the last bitmap loaded or saved
  int32_t bmpCol = 0;          // &BMPCOL: colours of the last BMP file
};

DrawState& DS_Draw();

// The contexts a drawing goes to: the window's and the shadow bitmap's, or
// the one context of a STARTPAINT block. Kept in place: drawing in a loop
// allocates nothing.
struct DrawTargets {
  HDC dcs[2] = {0, 0};
  int count = 0;
  const HDC* begin() const { return dcs; }
  const HDC* end() const { return dcs + count; }
};
DrawTargets DrawContexts();
// A coordinate or size of a drawing command: times 10 while a print job is
// open, where a page holds 640 x 960 program units.
int32_t PageUnits(int32_t v);

// The main window for the drawing commands: made when it is needed.
void NeedWindow(Interp& in);
// For the commands that refuse to work without a window: true when the
// main window exists (made now when text output stood in for it) or a
// STARTPAINT block is open; otherwise error 237 and false.
bool RequireWindow(Interp& in);
// The four numbers of "a,b - c,d" (two corners, or a corner and a size),
// the last one ended by `after`.
struct Quad {
  int32_t a, b, c, d;
};
Quad ReadQuad(Interp& in, char after);

// A resource name that reads as a number stands for the resource's id.
LPCSTR ResourceName(const std::string& name);

void RegisterDrawingTools();
void RegisterDrawingShapes();
void RegisterColorFunctions();
void RegisterCursorCommands();
void RegisterBitmapCommands();
void RegisterIconCommands();
// The bitmap commands that refuse to work while a print job is open.
bool RefusedWhilePrinting(Interp& in, const char* name);

}  // namespace tilmor
