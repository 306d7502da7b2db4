// The font dialog of the editor: fixed-pitch fonts, their style and size,
// the effects and the colour (the sixteen colours of the Windows dialog).
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;

namespace ide {

class FontChooser : public QDialog {
 public:
  FontChooser(QWidget* parent, const QFont& font, const QColor& color);
  QFont font() const;
  QColor color() const;

  // The colours offered, as the Windows font dialog names them.
  static const std::vector<std::pair<QString, QColor>>& Colors();

 private:
  QFontDialog* fonts_;
  QComboBox* colors_;
};

}  // namespace ide
