// The compiler's surface over the window layer.
#include "windowui.h"

#include "app.h"
#include "dialogs.h"
#include "messages.h"

namespace tilmor::comp {

void WindowCompilerUi::OpenProgress() {
  if (batch_ || window_) return;
  window_ = std::make_unique<ProgressWindow>();
  window_->Show();
  win::ProcessEvents();
}

void WindowCompilerUi::TextAt(int column, int row, const std::string& text) {
  if (!window_) return;
  window_->TextAt(column, row, text);
  win::PumpPendingEvents();
}

void WindowCompilerUi::CloseProgress() {
  window_.reset();
  win::ProcessEvents();
}

std::string WindowCompilerUi::ChooseSource() {
  return win::AskOpenFileName("TILMOR\xB2-" + MessageText(800), "*.TMF|*.TMF");
}

void WindowCompilerUi::Box(const std::string& text, const std::string& title, UINT type) {
  MessageBoxA(0, text.c_str(), title.c_str(), type);
}

}  // namespace tilmor::comp
