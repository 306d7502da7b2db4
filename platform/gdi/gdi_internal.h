// What the drawing primitives need of contexts and objects kept by gdi.cpp.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>

#include "wingdi.h"

namespace win::detail {

struct PenInfo {
  bool null = false;
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct BrushInfo {
  bool null = false;
  int hatch = -1;  // -1 solid, else HS_*
  COLORREF color = 0;
};

struct DcColors {
  COLORREF text = 0, bk = 0xFFFFFF;
  int bkMode = OPAQUE;
  int stretch = BLACKONWHITE;
};

// The image a context draws into, with pending scrolls applied; null when
// the context or its window is gone.
QImage* DrawSurface(HDC hdc);
// Tells a window that an area of its surface was drawn.
void DrawChanged(HDC hdc, const QRect& area);
bool CurrentPen(HDC hdc, PenInfo* out);
bool CurrentBrush(HDC hdc, BrushInfo* out);
bool ContextColors(HDC hdc, DcColors* out);
// The context's current position (MoveToEx/LineTo); null without context.
POINT* CurrentPosition(HDC hdc);
HGDIOBJ NewBrush(const BrushInfo& brush);
// Sets what a font made by FontObject draws beyond its Qt font.
void SetFontExtras(HGDIOBJ font, int escapement, bool oem, int charSet);

// Fills a rectangle (clipped to the image) with a brush: solid, or its
// hatch aligned to the context origin over the background when opaque.
void FillWithBrush(QImage& img, const QRect& r, const BrushInfo& brush, const DcColors& colors);

}  // namespace win::detail
