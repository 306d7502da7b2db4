// Batch-mode input: the script's input actions, then standard input, turned
// into real platform input for the windows.
#pragma once

#include <string>

#include "wintypes.h"

namespace win {

struct BatchAction;

// The window that clicks, moves, resizes and closes go to; keys go to the
// window with the focus, else to this one.
void SetInputTarget(HWND hwnd);
HWND InputTarget();

// Delivers the next input when the previous one has been taken: a script
// action, else (when `waiting`) one byte of standard input. False when
// nothing is left to deliver.
bool DeliverBatchInput(bool waiting);
// Delivers one script input action (type, key, click, move, wait) to a
// dialog now: keys to its focused control, clicks and moves to the control
// under the point (client coordinates of the dialog); a press is released
// at once.
void DeliverInputAction(const BatchAction& action, HWND scope);
// The program polled input (@INKEY$, %MOUSEKEY ...) and has looked at it:
// in batch mode the next script action is delivered for the next look, when
// the previous one has been taken.
void PollInput();

// Saves a window's client pixels as a PNG; false on failure.
bool SaveWindowPng(HWND hwnd, const std::string& path);

}  // namespace win
