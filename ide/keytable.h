// The WordStar-style key table of the editor windows, beside the default
// (CUA) table of the editor control. Keys of the menus come first, then
// the default table's Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z and Ctrl+Y; every
// other key of this table is the WordStar command. Two-key commands begin
// with Ctrl+K or Ctrl+Q; their second key counts with or without Ctrl.
#pragma once

#include <QKeySequence>
#include <vector>

namespace ide {

enum class EditorCommand {
  LineUp, LineDown, CharLeft, CharRight, WordLeft, WordRight, PageUp, PageDown,
  ScrollUp, ScrollDown, DeleteChar, DeleteWordRight, DeleteLine, DeleteBack, DeleteToLineEnd,
  InsertLineBreak, LineStart, LineEnd, DocumentStart, DocumentEnd, WindowTop, WindowBottom,
  ToggleOverwrite, BlockBegin, BlockEnd, BlockCopy, BlockMove, BlockDelete, BlockHide,
  GotoBlockBegin, GotoBlockEnd, MarkWord,
  ReadFile, WriteBlock, Find, Replace, FindNext,
  SetBookmark, GotoBookmark,  // with the bookmark's number
};

struct KeyBinding {
  int prefix;  // 0, or Qt::Key_K / Qt::Key_Q (with Ctrl)
  int key;     // Qt::Key_..., with Ctrl when the binding is a one-key command
  EditorCommand command;
  int argument = 0;
};

const std::vector<KeyBinding>& WordStarTable();

// The default table's keys that stay the default table's.
bool IsDefaultTableKey(QKeyCombination key);

// The binding of a key (prefix 0: a one-key command, which holds Ctrl);
// nullptr when none. `prefix` is the first key of a two-key command.
const KeyBinding* FindBinding(int prefix, QKeyCombination key);
// True when the key starts a two-key command (Ctrl+K, Ctrl+Q).
bool IsPrefixKey(QKeyCombination key);

}  // namespace ide
