// The compiler's progress window: a small text window of 34 columns by 12
// rows in which text is placed by column and row.
#pragma once

#include <string>
#include <vector>

#include "winuser.h"

namespace tilmor::comp {

class ProgressWindow {
 public:
  static constexpr int kColumns = 34;
  static constexpr int kRows = 12;

  // Made hidden; Show() shows it.
  ProgressWindow();
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Show();
  HWND hwnd() const { return hwnd_; }
  // Writes Windows-1252 text from column, row (from 1); what does not fit
  // into the row is dropped.
  void TextAt(int column, int row, const std::string& text);
  // Row `row` (from 1) as Windows-1252 text of kColumns characters.
  std::string Row(int row) const;

 private:
  void DrawRow(int row);

  HWND hwnd_ = 0;
  std::vector<std::string> rows_;
};

}  // namespace tilmor::comp
