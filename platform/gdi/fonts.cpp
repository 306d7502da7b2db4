// CreateFontA: logical fonts mapped to installed fonts, drawn without
// antialiasing.
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "fontobjects.h"
#include "gdi/gdi_internal.h"
#include "wingdi.h"

using namespace win::detail;

namespace {

// The cell height (ascent + descent) of a font at a pixel size.
int CellHeight(QFont f, int pixels) {
  f.setPixelSize(pixels);
  return QFontMetrics(f).height();
}

}  // namespace

HGDIOBJ CreateFontA(int height, int width, int escapement, int /*orientation*/, int weight, DWORD italic,
                    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD /*outPrecision*/, DWORD /*clipPrecision*/,
                    DWORD /*quality*/, DWORD /*pitchAndFamily*/, LPCSTR face) {
  std::string name = face ? face : "";
  if (name.empty() && charSet == SYMBOL_CHARSET) name = "Symbol";
  QFont f = MatchFont(name, 0, weight > 0 ? weight : FW_NORMAL, italic != 0);
  f.setUnderline(underline != 0);
  f.setStrikeOut(strikeOut != 0);
  f.setKerning(false);
  f.setStyleStrategy(QFont::NoAntialias);
  // Negative heights are the character height, positive ones the cell
  // height with the internal leading; 0 is a default size.
  int pixels = 16;
  if (height < 0) {
    pixels = std::min(-height, 2000);
  } else if (height > 0) {
    const int want = std::min(height, 2000);
    pixels = want;
    while (pixels > 1 && CellHeight(f, pixels) > want) --pixels;
  }
  f.setPixelSize(std::max(1, pixels));
  if (width > 0) {
    const int natural = QFontMetrics(f).averageCharWidth();
    if (natural > 0) f.setStretch(std::clamp(width * 100 / natural, 1, 4000));
  }
  HGDIOBJ h = FontObject(f);
  if (!h) return 0;
  const bool oem = charSet == OEM_CHARSET;
  SetFontExtras(h, escapement, oem, static_cast<int>(charSet & 0xFF));
  return h;
}
