#include "keytable.h"

namespace ide {

const std::vector<KeyBinding>& WordStarTable() {
  using C = EditorCommand;
  static const std::vector<KeyBinding> table = [] {
    std::vector<KeyBinding> t = {
        {0, Qt::Key_E, C::LineUp},          {0, Qt::Key_X, C::LineDown},
        {0, Qt::Key_S, C::CharLeft},        {0, Qt::Key_D, C::CharRight},
        {0, Qt::Key_A, C::WordLeft},        {0, Qt::Key_F, C::WordRight},
        {0, Qt::Key_R, C::PageUp},          {0, Qt::Key_C, C::PageDown},
        {0, Qt::Key_W, C::ScrollUp},        {0, Qt::Key_Z, C::ScrollDown},
        {0, Qt::Key_G, C::DeleteChar},      {0, Qt::Key_T, C::DeleteWordRight},
        {0, Qt::Key_Y, C::DeleteLine},      {0, Qt::Key_H, C::DeleteBack},
        {0, Qt::Key_N, C::InsertLineBreak}, {0, Qt::Key_V, C::ToggleOverwrite},
        {0, Qt::Key_L, C::FindNext},
        {Qt::Key_Q, Qt::Key_S, C::LineStart},     {Qt::Key_Q, Qt::Key_D, C::LineEnd},
        {Qt::Key_Q, Qt::Key_R, C::DocumentStart}, {Qt::Key_Q, Qt::Key_C, C::DocumentEnd},
        {Qt::Key_Q, Qt::Key_E, C::WindowTop},     {Qt::Key_Q, Qt::Key_X, C::WindowBottom},
        {Qt::Key_Q, Qt::Key_Y, C::DeleteToLineEnd},
        {Qt::Key_Q, Qt::Key_F, C::Find},          {Qt::Key_Q, Qt::Key_A, C::Replace},
        {Qt::Key_K, Qt::Key_B, C::BlockBegin},    {Qt::Key_K, Qt::Key_K, C::BlockEnd},
        {Qt::Key_K, Qt::Key_C, C::BlockCopy},     {Qt::Key_K, Qt::Key_V, C::BlockMove},
        {Qt::Key_K, Qt::Key_Y, C::BlockDelete},   {Qt::Key_K, Qt::Key_H, C::BlockHide},
        {Qt::Key_K, Qt::Key_R, C::ReadFile},      {Qt::Key_K, Qt::Key_W, C::WriteBlock},
        {Qt::Key_K, Qt::Key_T, C::MarkWord},
        {Qt::Key_Q, Qt::Key_B, C::GotoBlockBegin}, {Qt::Key_Q, Qt::Key_K, C::GotoBlockEnd},
    };
    // Ctrl+K 1..0 sets bookmark 1..10, Ctrl+Q 1..0 goes there.
    for (int k = 1; k <= 10; ++k) {
      int key = Qt::Key_0 + k % 10;
      t.push_back({Qt::Key_K, key, C::SetBookmark, k});
      t.push_back({Qt::Key_Q, key, C::GotoBookmark, k});
    }
    return t;
  }();
  return table;
}

bool IsDefaultTableKey(QKeyCombination key) {
  if (key.keyboardModifiers() != Qt::ControlModifier) return false;
  switch (key.key()) {
    case Qt::Key_C:
    case Qt::Key_X:
    case Qt::Key_V:
    case Qt::Key_Z:
    case Qt::Key_Y: return true;
    default: return false;
  }
}

bool IsPrefixKey(QKeyCombination key) {
  return key.keyboardModifiers() == Qt::ControlModifier &&
         (key.key() == Qt::Key_K || key.key() == Qt::Key_Q);
}

const KeyBinding* FindBinding(int prefix, QKeyCombination key) {
  Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
  if (prefix == 0 && mods != Qt::ControlModifier) return nullptr;
  if (prefix != 0 && mods != Qt::ControlModifier && mods != Qt::NoModifier) return nullptr;
  for (const KeyBinding& b : WordStarTable())
    if (b.prefix == prefix && b.key == key.key()) return &b;
  return nullptr;
}

}  // namespace ide
