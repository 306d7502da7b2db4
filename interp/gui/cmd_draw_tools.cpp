// The drawing tools: USEPEN, USEBRUSH, USEFONT, TEXTCOLOR, CHARSET,
// SETTRUECOLOR and the text angle (ORIENTATION).
#include "argreader.h"
#include "commands.h"
#include "control.h"
#include "drawing.h"
#include "fnargs.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

// A new object goes into the drawing contexts; the one made before is
// deleted, and at the first replacement the object it replaced, so one
// object of each kind made by the program is alive.
void Replace(HGDIOBJ& current, HGDIOBJ made) {
  if (!made) return;
  HGDIOBJ before = 0;
  for (HDC dc : DrawContexts()) {
    HGDIOBJ old = SelectObject(dc, made);
    if (!before) before = old;
  }
  DeleteObject(current ? current : before);
  current = made;
}

void CmdUsePen(Interp& in, int) {
  int32_t style = ReadLong(in, ','), width = ReadLong(in, ',');
  int32_t color = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  // On paper thin dashed lines stay thin; solid and wide ones scale.
  if (width > 1 || style == 0) width = PageUnits(width);
  Replace(DS_Draw().pen, CreatePen(style, width, ConvertColor(in, color)));
}

void CmdUseBrush(Interp& in, int) {
  int32_t style = ReadLong(in, ',');
  int32_t color = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  LOGBRUSH lb;
  lb.lbColor = ConvertColor(in, color);
  if (style == 0) {
    lb.lbStyle = BS_NULL;
  } else if (style == 1) {
    lb.lbStyle = BS_SOLID;
  } else {
    lb.lbStyle = BS_HATCHED;
    lb.lbHatch = style - 2;
  }
  Replace(DS_Draw().brush, CreateBrushIndirect(&lb));
}

void CmdUseFont(Interp& in, int) {
  ReadArg(in, ',', kAny);
  std::string name = ResultText(in);
  int32_t height = ReadLong(in, ','), width = ReadLong(in, ','), bold = ReadLong(in, ','), italic = ReadLong(in, ',');
  int32_t underline = ReadLong(in, ' ');
  if (!RequireWindow(in)) return;
  height = PageUnits(height), width = PageUnits(width);
  DrawState& d = DS_Draw();
  HGDIOBJ font = CreateFontA(height, width, d.angle, d.angle, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0,
                             underline ? 1 : 0, 0, d.charset, 0, 0, 0, 0, name.c_str());
  Replace(MW().currentFont, font);
}

void CmdTextColor(Interp& in, int) {
  int32_t fg = ReadLong(in, ',');
  int32_t bg = ReadLong(in, ' ');
  DrawState& d = DS_Draw();
  d.textFg = ConvertColor(in, fg);
  d.textTransparent = bg == -1;
  if (!d.textTransparent) d.textBg = ConvertColor(in, bg);
}

void CmdCharset(Interp& in, int) {
  static const DWORD kSets[] = {ANSI_CHARSET, OEM_CHARSET, SYMBOL_CHARSET};
  int32_t n = ReadLong(in, ' ');
  if (n >= 0 && n <= 2) DS_Draw().charset = kSets[n];
}

// The text angle of later USEFONT calls, in tenths of a degree.
void CmdOrientation(Interp& in, int) { DS_Draw().angle = ReadLong(in, ' '); }

void CmdSetTrueColor(Interp& in, int) { in.trueColor = ReadLong(in, ' ') != 0; }

}  // namespace

void RegisterDrawingTools() {
  RegisterCommand("USEPEN", CmdUsePen);
  RegisterCommand("USEBRUSH", CmdUseBrush);
  RegisterCommand("USEFONT", CmdUseFont);
  RegisterCommand("TEXTCOLOR", CmdTextColor);
  RegisterCommand("CHARSET", CmdCharset);
  RegisterCommand("SETTRUECOLOR", CmdSetTrueColor);
  RegisterCommand("ORIENTATION", CmdOrientation);
}

}  // namespace tilmor
