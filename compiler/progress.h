// The compiler's progress window: a small text window of 34 columns by 12
// rows in which text is placed by column and row.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace tilmor::comp {

class ProgressWindow : public QWidget {
 public:
  static constexpr int kColumns = 34;
  static constexpr int kRows = 12;

  ProgressWindow();

  // Writes Windows-1252 text from column, row (from 1); what does not fit
  // into the row is dropped.
  void TextAt(int column, int row, const std::string& text);
  // Row `row` (from 1) as Windows-1252 text of kColumns characters.
  std::string Row(int row) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<std::string> rows_;
  int cellWidth_ = 8;
  int cellHeight_ = 13;
};

}  // namespace tilmor::comp
