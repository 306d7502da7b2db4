#include "qtui.h"

#include "app.h"
#include "dialogs.h"
#include "messages.h"

namespace tilmor::comp {

void QtCompilerUi::OpenProgress() {
  if (batch_ || window_) return;
  window_ = std::make_unique<ProgressWindow>();
  window_->show();
  win::ProcessEvents();
}

void QtCompilerUi::TextAt(int column, int row, const std::string& text) {
  if (!window_) return;
  window_->TextAt(column, row, text);
  win::PumpPendingEvents();
}

void QtCompilerUi::CloseProgress() {
  window_.reset();
  win::ProcessEvents();
}

std::string QtCompilerUi::ChooseSource() {
  return win::AskOpenFileName("TILMOR\xB2-" + MessageText(800), "*.TMF|*.TMF");
}

void QtCompilerUi::Box(const std::string& text, const std::string& title, UINT type) {
  MessageBoxA(0, text.c_str(), title.c_str(), type);
}

}  // namespace tilmor::comp
