// Runtime errors and warnings, raised by number with an extra text. The
// error level decides: -1 returns silently, 0..2 show a box and end the
// program (warnings: level 1 asks, level 2 ends, others go on silently).
#pragma once

#include <string_view>

#include "interp.h"

namespace tilmor {

// Returns only at error level -1; otherwise throws ProgramEnd.
void RuntimeError(Interp& in, int number, std::string_view extra = {});
// Returns unless the user cancels or the error level is 2.
void Warning(Interp& in, int number, std::string_view extra = {});

// Hook for the window layer: called before an error box (cursor shown) and
// after a box that lets the program go on (main window refreshed).
struct ErrorHooks {
  void (*beforeBox)(Interp&) = nullptr;
  void (*afterBox)(Interp&) = nullptr;
};
void SetErrorHooks(ErrorHooks hooks);

}  // namespace tilmor
