// The main loop: one line after the other is prepared, traced, dispatched
// and executed; waiting window messages are pumped between lines.
#pragma once

#include <string>
#include <vector>

#include "interp.h"

namespace tilmor {

// Runs lines until the last one or until the stop flag is set.
void RunMainLoop(Interp& in);
// Executes the current line (already incremented).
void ExecuteLine(Interp& in);

// The words a line may begin with that the loop handles before the command
// tables: those doing nothing (REM, ENDIF, DEF) and the CASE guards.
std::vector<std::string> LineWords();

// Hooks of the window layer used by the loop.
struct LoopHooks {
  void (*pump)(Interp&) = nullptr;            // between lines, now and then
  void (*afterTrace)(Interp&) = nullptr;      // main window refreshed
  void (*informationBox)(Interp&) = nullptr;  // menu item 255
};
void SetLoopHooks(LoopHooks hooks);

// Set by the window layer when a message was posted: the pump runs after
// the current line instead of a few hundred lines later.
extern volatile int g_loopAttention;

}  // namespace tilmor
