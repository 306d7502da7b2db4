// The ANSI character table of the "&Fenster" menu: the 256 characters of
// Windows-1252 with their codes.
#pragma once

#include <QDialog>

class QLabel;
class QTableWidget;

namespace ide {

class AnsiTable : public QDialog {
 public:
  explicit AnsiTable(QWidget* parent);
  QTableWidget* table() const { return table_; }
  QLabel* info() const { return info_; }
  // The text shown for code `code`.
  static QString Describe(int code);

 private:
  QTableWidget* table_;
  QLabel* info_;
};

}  // namespace ide
