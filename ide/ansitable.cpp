#include "ansitable.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "codepage.h"

namespace ide {
namespace {

QString CharOf(int code) {
  if (code < 32 || code == 127) return QString();
  char32_t u = win::Cp1252ToUnicode(static_cast<unsigned char>(code));
  if (u == 0xFFFD || (u >= 0x80 && u < 0xA0)) return QString();
  return QString::fromUcs4(&u, 1);
}

}  // namespace

QString AnsiTable::Describe(int code) {
  QString c = CharOf(code);
  return tr("Zeichen: %1   Dezimal: %2   Hexadezimal: %3")
      .arg(c.isEmpty() ? "-" : c)
      .arg(code)
      .arg(QString::number(code, 16).toUpper().rightJustified(2, '0'));
}

AnsiTable::AnsiTable(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Ansi-Tabelle"));
  table_ = new QTableWidget(16, 16, this);
  QStringList columns, rows;
  for (int i = 0; i < 16; ++i) {
    columns << QString::number(i, 16).toUpper();
    rows << QString::number(i * 16, 16).toUpper().rightJustified(2, '0');
  }
  table_->setHorizontalHeaderLabels(columns);
  table_->setVerticalHeaderLabels(rows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  for (int code = 0; code < 256; ++code) {
    auto* item = new QTableWidgetItem(CharOf(code));
    item->setTextAlignment(Qt::AlignCenter);
    item->setToolTip(Describe(code));
    table_->setItem(code / 16, code % 16, item);
  }
  info_ = new QLabel(Describe(0), this);
  connect(table_, &QTableWidget::currentCellChanged, this,
          [this](int row, int column, int, int) { info_->setText(Describe(row * 16 + column)); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(info_);
  resize(560, 480);
}

}  // namespace ide
