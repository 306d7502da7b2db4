// The editor's highlighting of TILMOR programs, styled line by line from
// the classification the interpreter's own tables give.
#pragma once

#include "qsci.h"

namespace ide {

class TilmorLexer : public QsciLexerCustom {
 public:
  explicit TilmorLexer(QObject* parent = nullptr);
  const char* language() const override;
  QString description(int style) const override;
  void styleText(int start, int end) override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
  QColor defaultPaper(int style) const override;

  // The editor font and text colour: every style takes the font (with its
  // own weight and slant), the plain text the colour.
  void ApplyFont(const QFont& font, const QColor& color);

 private:
  QFont base_;
  QColor text_;
};

}  // namespace ide
