// Font objects between the GDI and the controls: the Qt font a font handle
// stands for, a font object for a Qt font, and the installed font that
// stands in for a Windows face name.
#pragma once

#include <QFont>

#include <string>

#include "wintypes.h"

namespace win::detail {

// The Qt font of a font object (stock or made); false when `font` is none.
bool QtFontOf(HGDIOBJ font, QFont* out);
// A new font object for a Qt font (deleted with DeleteObject).
HGDIOBJ FontObject(const QFont& font);
// The installed font for a Windows face name and size in points: "Helv",
// "MS Sans Serif", "Arial" and the like to a sans-serif, "Courier New" and
// "Courier" to a monospaced, "Times New Roman" to a serif font; an empty
// name is the system font.
QFont MatchFont(const std::string& face, int points, int weight = 400, bool italic = false);

}  // namespace win::detail
