#include "printersetup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ide {

const std::vector<QPageSize::PageSizeId>& PrinterSetupDialog::Papers() {
  static const std::vector<QPageSize::PageSizeId> papers{
      QPageSize::A4,     QPageSize::A3,    QPageSize::A5,        QPageSize::B5,
      QPageSize::Letter, QPageSize::Legal, QPageSize::Executive, QPageSize::EnvelopeDL,
      QPageSize::EnvelopeC5};
  return papers;
}

PrinterSetupDialog::PrinterSetupDialog(QWidget* parent, QPrinter& printer)
    : QDialog(parent), printer_(printer) {
  setWindowTitle(tr("Druckereinrichtung"));

  auto* printerBox = new QGroupBox(tr("Drucker"), this);
  printers_ = new QComboBox(printerBox);
  // Without a print system the editor still prints into PDF files.
  const QStringList names = QPrinterInfo::availablePrinterNames();
  printers_->addItems(names);
  QString current = printer.printerName();
  if (current.isEmpty()) current = QPrinterInfo::defaultPrinterName();
  if (!current.isEmpty() && !names.contains(current)) printers_->addItem(current);
  if (printers_->count() > 0) printers_->setCurrentIndex(std::max(0, printers_->findText(current)));
  printers_->setPlaceholderText(tr("Kein Drucker eingerichtet"));
  printers_->setEnabled(printers_->count() > 0);
  auto* pf = new QFormLayout(printerBox);
  pf->addRow(tr("&Name:"), printers_);

  auto* paperBox = new QGroupBox(tr("Papier"), this);
  papers_ = new QComboBox(paperBox);
  QPageSize::PageSizeId now = printer.pageLayout().pageSize().id();
  for (QPageSize::PageSizeId id : Papers()) {
    papers_->addItem(QPageSize::name(id), static_cast<int>(id));
    if (id == now) papers_->setCurrentIndex(papers_->count() - 1);
  }
  auto* af = new QFormLayout(paperBox);
  af->addRow(tr("&Größe:"), papers_);

  auto* orientationBox = new QGroupBox(tr("Orientierung"), this);
  portrait_ = new QRadioButton(tr("&Hochformat"), orientationBox);
  landscape_ = new QRadioButton(tr("&Querformat"), orientationBox);
  bool wide = printer.pageLayout().orientation() == QPageLayout::Landscape;
  (wide ? landscape_ : portrait_)->setChecked(true);
  auto* ol = new QVBoxLayout(orientationBox);
  ol->addWidget(portrait_);
  ol->addWidget(landscape_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* lower = new QHBoxLayout;
  lower->addWidget(paperBox, 1);
  lower->addWidget(orientationBox);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(printerBox);
  layout->addLayout(lower);
  layout->addWidget(buttons);
}

void PrinterSetupDialog::Apply() {
  // A printer chosen here prints on its queue, not into the PDF file a
  // print dialog may have chosen before.
  if (printers_->count() > 0 && printers_->currentText() != printer_.printerName()) {
    printer_.setOutputFormat(QPrinter::NativeFormat);
    printer_.setPrinterName(printers_->currentText());
  }
  auto id = static_cast<QPageSize::PageSizeId>(papers_->currentData().toInt());
  printer_.setPageSize(QPageSize(id));
  printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PrinterSetupDialog::accept() {
  Apply();
  QDialog::accept();
}

}  // namespace ide
