#include "lexer.h"

#include "qsci.h"

#include "highlight.h"

namespace ide {
namespace {

bool IsBold(int style) {
  return style == static_cast<int>(Style::Command) || style == static_cast<int>(Style::Keyword) ||
         style == static_cast<int>(Style::Label);
}

}  // namespace

TilmorLexer::TilmorLexer(QObject* parent) : QsciLexerCustom(parent), text_(Qt::black) {
  base_ = QFont("Monospace", 10);
  base_.setStyleHint(QFont::TypeWriter);
  base_.setFixedPitch(true);
}

const char* TilmorLexer::language() const { return "TILMOR"; }

QString TilmorLexer::description(int style) const {
  switch (static_cast<Style>(style)) {
    case Style::Default: return "Text";
    case Style::Command: return "Befehl";
    case Style::Keyword: return "Schlüsselwort";
    case Style::Function: return "Funktion";
    case Style::SystemVariable: return "Systemvariable";
    case Style::String: return "Zeichenkette";
    case Style::Comment: return "Kommentar";
    case Style::Label: return "Sprungmarke";
    case Style::Directive: return "Direktive";
    case Style::Number: return "Zahl";
  }
  return {};
}

QColor TilmorLexer::defaultColor(int style) const {
  switch (static_cast<Style>(style)) {
    case Style::Default: return text_;
    case Style::Command: return QColor(0, 0, 128);
    case Style::Keyword: return QColor(0, 0, 255);
    case Style::Function: return QColor(0, 112, 112);
    case Style::SystemVariable: return QColor(128, 0, 128);
    case Style::String: return QColor(160, 0, 0);
    case Style::Comment: return QColor(0, 128, 0);
    case Style::Label: return QColor(128, 64, 0);
    case Style::Directive: return QColor(128, 128, 0);
    case Style::Number: return QColor(192, 80, 0);
  }
  return text_;
}

QFont TilmorLexer::defaultFont(int style) const {
  QFont f = base_;
  if (IsBold(style)) f.setBold(true);
  if (style == static_cast<int>(Style::Comment)) f.setItalic(true);
  return f;
}

QColor TilmorLexer::defaultPaper(int) const { return Qt::white; }

void TilmorLexer::ApplyFont(const QFont& font, const QColor& color) {
  base_ = font;
  text_ = color;
  for (int style = 0; style < kStyleCount; ++style) {
    setFont(defaultFont(style), style);
    setColor(defaultColor(style), style);
  }
}

// Line state: bit 0 the line ends with "\", bit 1 it was styled as joined
// to the line before. Past the range asked for, styling goes on while a
// line's joining changed.
void TilmorLexer::styleText(int start, int end) {
  QsciScintilla* e = editor();
  if (!e) return;
  auto state = [e](int line) { return static_cast<int>(e->SendScintilla(QsciScintilla::SCI_GETLINESTATE, line)); };
  int line = static_cast<int>(e->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start));
  const int lines = e->lines();
  bool continued = line > 0 && (state(line - 1) & 1) != 0;
  for (; line < lines; ++line) {
    int lineStart = static_cast<int>(e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line));
    if (lineStart >= end && ((state(line) & 2) != 0) == continued) break;
    int next = line + 1 < lines
                   ? static_cast<int>(e->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line + 1))
                   : e->length();
    QByteArray bytes = e->text(line).toUtf8();
    while (!bytes.isEmpty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.chop(1);
    LineStyle ls = ClassifyLine(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                                continued);
    startStyling(lineStart);
    int pos = 0;
    for (const Span& sp : ls.spans) {
      if (sp.start > pos) setStyling(sp.start - pos, static_cast<int>(Style::Default));
      setStyling(sp.length, static_cast<int>(sp.style));
      pos = sp.start + sp.length;
    }
    if (next > lineStart + pos) setStyling(next - lineStart - pos, static_cast<int>(Style::Default));
    e->SendScintilla(QsciScintilla::SCI_SETLINESTATE, line, (ls.continues ? 1 : 0) | (continued ? 2 : 0));
    continued = ls.continues;
  }
}

}  // namespace ide
