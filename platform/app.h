// The Qt application object of the interpreter's one thread.
#pragma once

#include "interrupt.h"

namespace win {

// Creates the application object; in batch mode on the offscreen platform.
// Qt's own diagnostics are dropped in batch mode unless TILMOR_DEBUG is set.
void CreateApplication(int argc, char** argv, bool batch);
bool ApplicationExists();
void DestroyApplication();

// Processes what the window system has waiting, without blocking. Cheap to
// call often: it looks at the clock and the event queue first.
void PumpPendingEvents();
// Processes events unconditionally (inside waits and modal loops).
void ProcessEvents();
// The window system's bell, where the desktop has no bell sound.
void WindowBell();

}  // namespace win
