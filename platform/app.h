// The Qt application object of the interpreter's one thread.
#pragma once

namespace win {

// True when a window system can be reached (X11 or Wayland).
bool HasDisplay();
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

// Ctrl+C on the terminal: set by the signal handler, read by the pump.
void InstallInterruptHandler();
bool InterruptRequested();

}  // namespace win
