#include "printing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace ide {
namespace {

// Expands tabs; `column` is where the text starts.
QString ExpandTabs(const QString& text, int tabSize, int column = 0) {
  QString out;
  for (QChar c : text) {
    if (c == '\t' && tabSize > 0) {
      int blanks = tabSize - (column + static_cast<int>(out.size())) % tabSize;
      out += QString(blanks, ' ');
    } else {
      out += c;
    }
  }
  return out;
}

QString Numbered(int line, const QString& text) {
  return QString::number(line).rightJustified(6, ' ') + ": " + text;
}

}  // namespace

QStringList PrintedLines(const QStringList& lines, const std::optional<TextSelection>& selection,
                         int tabSize) {
  QStringList out;
  if (!selection) {
    for (int i = 0; i < lines.size(); ++i) out << Numbered(i + 1, ExpandTabs(lines[i], tabSize));
    return out;
  }
  const TextSelection& s = *selection;
  for (int i = s.lineFrom; i <= s.lineTo && i < lines.size(); ++i) {
    QString line = lines[i];
    int end = i == s.lineTo ? std::min(s.indexTo, static_cast<int>(line.size())) : static_cast<int>(line.size());
    if (i == s.lineFrom) {
      int start = std::min(s.indexFrom, end);
      QString before = ExpandTabs(line.left(start), tabSize);
      QString rest = ExpandTabs(line.mid(start, end - start), tabSize, static_cast<int>(before.size()));
      out << Numbered(i + 1, QString(before.size(), ' ') + rest);
    } else {
      out << Numbered(i + 1, ExpandTabs(line.left(end), tabSize));
    }
  }
  return out;
}

int LinesPerPage(QPrinter& printer, const QFont& font) {
  QFontMetrics fm(font, &printer);
  int height = printer.pageLayout().paintRectPixels(printer.resolution()).height();
  return std::max(1, height / std::max(1, fm.lineSpacing()));
}

bool PrintLines(QPrinter& printer, const QStringList& printed, const QFont& font) {
  QPainter p;
  if (!p.begin(&printer)) return false;
  p.setFont(font);
  QFontMetrics fm(p.font(), &printer);
  int perPage = LinesPerPage(printer, p.font());
  int pages = std::max(1, static_cast<int>((printed.size() + perPage - 1) / perPage));
  // The pages the print dialog asked for (all when none were given).
  int first = printer.fromPage() > 0 ? printer.fromPage() : 1;
  int last = printer.toPage() > 0 ? std::min(printer.toPage(), pages) : pages;
  for (int page = first; page <= last; ++page) {
    if (page > first) printer.newPage();
    int y = fm.ascent();
    for (int i = (page - 1) * perPage; i < std::min(static_cast<int>(printed.size()), page * perPage); ++i) {
      p.drawText(0, y, printed[i]);
      y += fm.lineSpacing();
    }
  }
  return p.end();
}

}  // namespace ide
