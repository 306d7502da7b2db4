// Screen-saver mode of a program made by the editor: its windows fill the
// screen, the mouse pointer is hidden, and any key, button or mouse move
// ends the run as a request from outside would.
#pragma once

namespace win {

// Turns the mode on when TILMOR_SCREENSAVER is "1"; called once the
// application object exists.
void InstallScreenSaverMode();
bool ScreenSaverMode();

}  // namespace win
