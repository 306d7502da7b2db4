// Printing a program: every line, or the selected lines, each after its
// number right-aligned in six characters and ": ", in the editor's font.
#pragma once

#include <QFont>
#include <QStringList>
#include <optional>

class QPrinter;

namespace ide {

struct TextSelection {
  int lineFrom, indexFrom, lineTo, indexTo;  // 0-based, as the editor gives them
};

// The printed lines. With a selection only its lines: the first line's
// characters before the selection are blanks, the last line ends where the
// selection ends. Tabs become blanks up to the next multiple of `tabSize`.
QStringList PrintedLines(const QStringList& lines, const std::optional<TextSelection>& selection,
                         int tabSize);

// Lays the lines out on the printer's pages; false when it cannot paint.
bool PrintLines(QPrinter& printer, const QStringList& printed, const QFont& font);

// Lines per page for `font` on the printer.
int LinesPerPage(QPrinter& printer, const QFont& font);

}  // namespace ide
