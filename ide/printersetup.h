// The printer set-up dialog: which printer, the paper and the orientation,
// as the Windows dialog offers them; applied to the editor's printer.
#pragma once

#include <QDialog>
#include <QPageSize>

class QComboBox;
class QPrinter;
class QRadioButton;

namespace ide {

class PrinterSetupDialog : public QDialog {
 public:
  PrinterSetupDialog(QWidget* parent, QPrinter& printer);

  // Puts the choice on the printer (done by accept()).
  void Apply();
  void accept() override;

  QComboBox* printers() const { return printers_; }
  QComboBox* papers() const { return papers_; }
  QRadioButton* portrait() const { return portrait_; }
  QRadioButton* landscape() const { return landscape_; }

  // The paper sizes offered.
  static const std::vector<QPageSize::PageSizeId>& Papers();

 private:
  QPrinter& printer_;
  QComboBox* printers_;
  QComboBox* papers_;
  QRadioButton* portrait_;
  QRadioButton* landscape_;
};

}  // namespace ide
