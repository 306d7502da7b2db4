// Preparing a stored line for execution or compilation: trimmed, optionally
// translated from infix form, split into command word and parameter text.
#pragma once

#include <string>
#include <string_view>

namespace tilmor {

struct PreparedLine {
  std::string cmd;    // upper-cased first word, "@" for a call-form line
  std::string param;  // rest of the line, trimmed, case kept
};

// A call-form text starts with "@", or holds "(" at position 2 or later with
// a plain word (none of the 23 excluded characters) before it.
bool IsCallFormText(std::string_view text);

// Splits an already trimmed (and translated) line.
PreparedLine SplitLine(std::string_view line);

// The infix translation applied to a whole line while operator mode is on.
std::string TranslateIfNeeded(std::string_view line, bool operatorMode);

// Trim, translate (operator mode), call-form test, split.
PreparedLine PrepareLine(std::string_view stored, bool operatorMode);

inline bool IsOperatorModeSwitch(std::string_view cmd) { return cmd == "$O+" || cmd == "$O-"; }

}  // namespace tilmor
