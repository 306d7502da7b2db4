// How a program comes to the window-system layer. The compiler and the
// tests link it in; the interpreter and the runtime module load it (with
// Qt) from a module beside the program the first time a window, a dialog,
// the clipboard or anything else of it is needed, so a program that never
// needs one starts and ends without Qt.
#pragma once

namespace win {

// At start: the command line for Qt and the mode. A program that links the
// layer in creates its application object here; one that loads it creates
// it when the module is loaded.
void PrepareApplication(int argc, char** argv, bool batch);
// Whether the layer is in the process (always, where it is linked in).
bool GuiLoaded();
// Runs `f` once the layer is there: at once, or right after loading it.
void WhenGuiLoaded(void (*f)());
// Called when the module cannot be loaded, after a line on standard error;
// it must not return (the default ends the process with exit code 255).
void SetGuiFailureHandler(void (*f)());
// Never loads the module: every need of it is a failure (for the fuzz
// target, which runs programs without windows).
void ForbidGui();

}  // namespace win
