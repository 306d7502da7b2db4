// @GETPIXEL and @GETRVALUE, @GETGVALUE, @GETBVALUE. In 15-bit mode they use
// the layout of @RGB and the drawing commands (red in bits 0-4, green 5-9,
// blue 10-14), so a colour drawn reads back as the same value.
#include "drawing.h"
#include "fnargs.h"
#include "functions.h"
#include "mainwindow.h"

namespace tilmor {
namespace {

int32_t Packed(const Interp& in, COLORREF c) {
  if (in.trueColor) return static_cast<int32_t>(c);
  if (c == CLR_INVALID) return -1;
  return GetRValue(c) / 8 + (GetGValue(c) / 8) * 32 + (GetBValue(c) / 8) * 1024;
}

void GetPixelFn(Interp& in) {
  int32_t x = ReadNum(in, ',').lval;
  int32_t y = ReadNum(in, ')').lval;
  HDC dc = MW().dc;
  SetResultLong(in, kLong, Packed(in, dc ? GetPixel(dc, x, y) : CLR_INVALID));
}

// The component `which` (0 red, 1 green, 2 blue) of a colour value.
template <int Which>
void Component(Interp& in) {
  int32_t c = ReadNum(in, ')').lval;
  int32_t v = in.trueColor ? (c >> (8 * Which)) & 0xFF : (c >> (5 * Which)) & 31;
  SetResultLong(in, kInteger, v);
}

}  // namespace

void RegisterColorFunctions() {
  RegisterFunction("GETPIXEL", GetPixelFn);
  RegisterFunction("GETRVALUE", Component<0>);
  RegisterFunction("GETGVALUE", Component<1>);
  RegisterFunction("GETBVALUE", Component<2>);
}

}  // namespace tilmor
