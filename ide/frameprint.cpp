// Printer set-up and printing the active editor window.
#include <QPrinter>

#include "frame.h"
#include "printing.h"
#include "prompts.h"

namespace ide {

QPrinter& FrameWindow::Printer() {
  if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
  return *printer_;
}

void FrameWindow::PrinterSetup() { Ask().PrinterSetup(this, Printer()); }

void FrameWindow::PrintEditor(EditorWindow* e) {
  if (!e) return;
  QStringList lines = e->Lines();
  QFont font = e->lexer()->defaultFont(0);
  PrintRequest r;
  r.selectionAvailable = e->hasSelectedText();
  r.pageCount = std::max(1, static_cast<int>((lines.size() + LinesPerPage(Printer(), font) - 1) /
                                             LinesPerPage(Printer(), font)));
  std::optional<PrintChoice> choice = Ask().PrintDialog(this, Printer(), r);
  if (!choice) return;
  std::optional<TextSelection> selection;
  TextSelection s;
  if (choice->selectionOnly && e->Selection(s.lineFrom, s.indexFrom, s.lineTo, s.indexTo)) selection = s;
  PrintLines(Printer(), PrintedLines(lines, selection, e->tabWidth()), font);
}

}  // namespace ide
