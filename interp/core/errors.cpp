#include "errors.h"

#include "chars.h"
#include "dialogs.h"
#include "messages.h"

namespace tilmor {
namespace {

ErrorHooks g_hooks;

[[noreturn]] void ShowAndEnd(Interp& in, const std::string& message) {
  MessageBoxA(in.mainWindow, in.DisplayText().c_str(), message.c_str(), MB_ICONERROR);
  throw ProgramEnd{kExitRuntimeError};
}

}  // namespace

void SetErrorHooks(ErrorHooks hooks) { g_hooks = hooks; }

void RuntimeError(Interp& in, int number, std::string_view extra) {
  std::string message = MessageText(number);
  message += extra;
  Cut255(message);
  if (g_hooks.beforeBox) g_hooks.beforeBox(in);
  in.errorState = 2;
  if (in.errorLevel == -1) {
    in.lastError = number;
    return;
  }
  ShowAndEnd(in, message);
}

void Warning(Interp& in, int number, std::string_view extra) {
  std::string message = MessageText(number);
  message += extra;
  Cut255(message);
  in.errorState = 1;
  if (in.errorLevel == 2) {
    if (g_hooks.beforeBox) g_hooks.beforeBox(in);
    in.errorState = 2;
    ShowAndEnd(in, message);
  }
  if (in.errorLevel == 1) {
    int answer = MessageBoxA(in.mainWindow, in.DisplayText().c_str(), message.c_str(),
                             MB_OKCANCEL | MB_ICONEXCLAMATION);
    if (answer == IDCANCEL) {
      RuntimeError(in, 999);
      return;  // only at error level -1, which cannot be the case here
    }
    if (g_hooks.afterBox) g_hooks.afterBox(in);
  }
  in.lastError = number;
}

}  // namespace tilmor
