// The compiler's real surface: the progress window (not shown in batch
// mode), the common open-file dialog and message boxes, which in batch
// mode go to standard error and take their answers from the script.
#pragma once

#include <memory>

#include "compiler.h"
#include "progress.h"

namespace tilmor::comp {

class WindowCompilerUi : public CompilerUi {
 public:
  explicit WindowCompilerUi(bool batch) : batch_(batch) {}
  void OpenProgress() override;
  void TextAt(int column, int row, const std::string& text) override;
  void CloseProgress() override;
  std::string ChooseSource() override;
  void Box(const std::string& text, const std::string& title, UINT type) override;

  ProgressWindow* window() const { return window_.get(); }

 private:
  bool batch_;
  std::unique_ptr<ProgressWindow> window_;
};

}  // namespace tilmor::comp
