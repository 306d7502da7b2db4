// The window-system layer linked into the program: it is always there.
#include "app.h"
#include "gui_module.h"

namespace win {

void PrepareApplication(int argc, char** argv, bool batch) { CreateApplication(argc, argv, batch); }
bool GuiLoaded() { return true; }
void WhenGuiLoaded(void (*f)()) { f(); }
void SetGuiFailureHandler(void (*)()) {}
void ForbidGui() {}

}  // namespace win
