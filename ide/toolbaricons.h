// The pictures of the tool buttons: the desktop theme's where it has one,
// else the style's, else a small drawing of our own.
#pragma once

#include <QIcon>

class QStyle;

namespace ide {

enum class ToolIcon { Help, Open, Save, Undo, Cut, Copy, Paste, Find, Cascade, Tile, UserMenu, Run, Print, Exit, Document };

QIcon ToolBarIcon(ToolIcon icon, QStyle* style);

}  // namespace ide
