#include "progress.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "codepage.h"
#include "compiler.h"

namespace tilmor::comp {

ProgressWindow::ProgressWindow() : rows_(kRows, std::string(kColumns, ' ')) {
  setWindowTitle(QString::fromStdString(win::Cp1252ToUtf8(kWindowTitle)));
  QFont font("DejaVu Sans Mono");
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(12);
  setFont(font);
  move(184, 128);
  resize(272, 164);
  QFontMetrics fm(font);
  cellWidth_ = std::max(1, fm.horizontalAdvance('M'));
  cellHeight_ = std::max(1, fm.height());
}

void ProgressWindow::TextAt(int column, int row, const std::string& text) {
  if (row < 1 || row > kRows || column < 1 || column > kColumns) return;
  std::string& r = rows_[static_cast<size_t>(row - 1)];
  size_t at = static_cast<size_t>(column - 1);
  r.replace(at, std::min(text.size(), r.size() - at), text.substr(0, r.size() - at));
  update();
}

std::string ProgressWindow::Row(int row) const {
  if (row < 1 || row > kRows) return {};
  return rows_[static_cast<size_t>(row - 1)];
}

void ProgressWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.setPen(palette().windowText().color());
  QFontMetrics fm(font());
  for (int r = 0; r < kRows; ++r) {
    const std::string& row = rows_[static_cast<size_t>(r)];
    for (int c = 0; c < kColumns; ++c) {
      char ch = row[static_cast<size_t>(c)];
      if (ch == ' ') continue;
      QString s = QString::fromStdString(win::Cp1252ToUtf8(std::string(1, ch)));
      p.drawText(c * cellWidth_, r * cellHeight_ + fm.ascent(), s);
    }
  }
}

}  // namespace tilmor::comp
