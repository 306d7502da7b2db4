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
  std::string filter = win::FilterFromBars("*.TMF|*.TMF");
  std::string title = "TILMOR\xB2-" + MessageText(800);
  char file[256] = {0};
  OPENFILENAMEA ofn;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&ofn)) return {};
  return file;
}

void QtCompilerUi::Box(const std::string& text, const std::string& title, UINT type) {
  MessageBoxA(0, text.c_str(), title.c_str(), type);
}

}  // namespace tilmor::comp
