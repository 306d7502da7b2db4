// The drawing commands: SETPIXEL, FILL, MOVETO, LINETO, LINE, RECTANGLE,
// ELLIPSE, ROUNDRECT, ARC, PIE, CHORD and DRAWTEXT, each drawn into the
// window and into the shadow bitmap.
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "drawing.h"
#include "fnargs.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

// x1,y1 - x2,y2 and what the separator after it introduces.
struct Box {
  int32_t x1, y1, x2, y2;
};
Box ReadBox(Interp& in, char after) {
  Quad q = ReadQuad(in, after);
  return Box{PageUnits(q.a), PageUnits(q.b), PageUnits(q.c), PageUnits(q.d)};
}

// x,y in drawing units.
int32_t Coord(Interp& in, char sep) { return PageUnits(ReadLong(in, sep)); }

void CmdSetPixel(Interp& in, int) {
  int32_t x = Coord(in, ','), y = Coord(in, ',');
  int32_t color = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  for (HDC dc : DrawContexts()) SetPixel(dc, x, y, ConvertColor(in, color));
}

void CmdFill(Interp& in, int) {
  int32_t x = Coord(in, ','), y = Coord(in, ',');
  int32_t color = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  for (HDC dc : DrawContexts()) FloodFill(dc, x, y, ConvertColor(in, color));
}

void CmdMoveTo(Interp& in, int) {
  int32_t x = Coord(in, ',');
  int32_t y = Coord(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) MoveToEx(dc, x, y, nullptr);
}

void CmdLineTo(Interp& in, int) {
  int32_t x = Coord(in, ',');
  int32_t y = Coord(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) LineTo(dc, x, y);
}

void CmdLine(Interp& in, int) {
  Box b = ReadBox(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) {
    MoveToEx(dc, b.x1, b.y1, nullptr);
    LineTo(dc, b.x2, b.y2);
  }
}

void CmdRectangle(Interp& in, int) {
  Box b = ReadBox(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) Rectangle(dc, b.x1, b.y1, b.x2, b.y2);
}

void CmdEllipse(Interp& in, int) {
  Box b = ReadBox(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) Ellipse(dc, b.x1, b.y1, b.x2, b.y2);
}

void CmdRoundRect(Interp& in, int) {
  Box b = ReadBox(in, ';');
  int32_t w = Coord(in, ',');
  int32_t h = Coord(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) RoundRect(dc, b.x1, b.y1, b.x2, b.y2, w, h);
}

// x1,y1 - x2,y2 ; x3,y3 ; x4,y4: the box, the start and the end point.
template <BOOL (*Draw)(HDC, int, int, int, int, int, int, int, int)>
void CmdArcLike(Interp& in, int) {
  Box b = ReadBox(in, ';');
  int32_t x3 = Coord(in, ','), y3 = Coord(in, ';');
  int32_t x4 = Coord(in, ',');
  int32_t y4 = Coord(in, ' ');
  NeedWindow(in);
  for (HDC dc : DrawContexts()) Draw(dc, b.x1, b.y1, b.x2, b.y2, x3, y3, x4, y4);
}

void CmdDrawText(Interp& in, int) {
  int32_t x = Coord(in, ','), y = Coord(in, ',');
  ReadArg(in, ' ', kAny);
  std::string text = ResultText(in);
  if (!RequireWindow(in)) return;
  const DrawState& d = DS_Draw();
  for (HDC dc : DrawContexts()) {
    // Text output selects the text window's fonts; DRAWTEXT takes the current one.
    if (MW().currentFont) SelectObject(dc, MW().currentFont);
    SetTextColor(dc, d.textFg);
    SetBkColor(dc, d.textBg);
    SetBkMode(dc, d.textTransparent ? TRANSPARENT : OPAQUE);
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
  }
}

}  // namespace

void RegisterDrawingShapes() {
  RegisterCommand("SETPIXEL", CmdSetPixel);
  RegisterCommand("FILL", CmdFill);
  RegisterCommand("MOVETO", CmdMoveTo);
  RegisterCommand("LINETO", CmdLineTo);
  RegisterCommand("LINE", CmdLine);
  RegisterCommand("RECTANGLE", CmdRectangle);
  RegisterCommand("ELLIPSE", CmdEllipse);
  RegisterCommand("ROUNDRECT", CmdRoundRect);
  RegisterCommand("ARC", CmdArcLike<Arc>);
  RegisterCommand("PIE", CmdArcLike<Pie>);
  RegisterCommand("CHORD", CmdArcLike<Chord>);
  RegisterCommand("DRAWTEXT", CmdDrawText);
}

}  // namespace tilmor
