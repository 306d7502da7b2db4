#include "prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "codepage.h"
#include "filefilter.h"
#include "fontchooser.h"
#include "printersetup.h"

namespace ide {
namespace {

Prompts g_real;
Prompts* g_current = nullptr;

QString QtFilterOf(const std::string& filter) {
  return QString::fromStdString(win::Cp1252ToUtf8(QtFilter(filter)));
}

QMessageBox::StandardButton Box(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(QObject::tr("&Ja"));
  if (QAbstractButton* b = box.button(QMessageBox::No)) b->setText(QObject::tr("&Nein"));
  if (QAbstractButton* b = box.button(QMessageBox::Cancel)) b->setText(QObject::tr("Abbrechen"));
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

Answer Prompts::Question(QWidget* parent, const QString& title, const QString& text) {
  switch (Box(parent, QMessageBox::Question, title, text,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

void Prompts::Information(QWidget* parent, const QString& title, const QString& text) {
  Box(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

void Prompts::Error(QWidget* parent, const QString& title, const QString& text) {
  Box(parent, QMessageBox::Critical, title, text, QMessageBox::Ok);
}

std::optional<QString> Prompts::Input(QWidget* parent, const QString& title, const QString& prompt,
                                      const QString& preset) {
  QInputDialog d(parent);
  d.setWindowTitle(title);
  d.setLabelText(prompt);
  d.setTextValue(preset);
  d.setOkButtonText(QObject::tr("OK"));
  d.setCancelButtonText(QObject::tr("Abbrechen"));
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.textValue();
}

std::optional<QString> Prompts::OpenFile(QWidget* parent, const FileDialogRequest& r) {
  QString name = QFileDialog::getOpenFileName(parent, r.title, r.initial, QtFilterOf(r.filter));
  if (name.isEmpty()) return std::nullopt;
  return name;
}

std::optional<QString> Prompts::SaveFile(QWidget* parent, const FileDialogRequest& r) {
  QFileDialog d(parent, r.title, r.initial, QtFilterOf(r.filter));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  if (!r.defaultExt.isEmpty()) d.setDefaultSuffix(r.defaultExt);
  if (!r.overwritePrompt) d.setOption(QFileDialog::DontConfirmOverwrite);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return d.selectedFiles().front();
}

std::optional<QFont> Prompts::ChooseFont(QWidget* parent, const QFont& initial, QColor& color) {
  FontChooser d(parent, initial, color);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  color = d.color();
  return d.font();
}

bool Prompts::PrinterSetup(QWidget* parent, QPrinter& printer) {
  PrinterSetupDialog d(parent, printer);
  return d.exec() == QDialog::Accepted;
}

std::optional<PrintChoice> Prompts::PrintDialog(QWidget* parent, QPrinter& printer,
                                                const PrintRequest& r) {
  QPrintDialog d(&printer, parent);
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintPageRange;
  if (r.selectionAvailable) options |= QAbstractPrintDialog::PrintSelection;
  d.setOptions(options);
  d.setMinMax(1, r.pageCount);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  PrintChoice c;
  c.selectionOnly = d.printRange() == QAbstractPrintDialog::Selection;
  return c;
}

Prompts& Ask() { return g_current ? *g_current : g_real; }

void SetPrompts(Prompts* prompts) { g_current = prompts; }

}  // namespace ide
