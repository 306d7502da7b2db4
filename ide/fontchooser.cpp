#include "fontchooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace ide {

const std::vector<std::pair<QString, QColor>>& FontChooser::Colors() {
  static const std::vector<std::pair<QString, QColor>> colors = {
      {"Schwarz", QColor(0, 0, 0)},        {"Dunkelrot", QColor(128, 0, 0)},
      {"Grün", QColor(0, 128, 0)},         {"Oliv", QColor(128, 128, 0)},
      {"Marineblau", QColor(0, 0, 128)},   {"Lila", QColor(128, 0, 128)},
      {"Blaugrün", QColor(0, 128, 128)},   {"Grau", QColor(128, 128, 128)},
      {"Silber", QColor(192, 192, 192)},   {"Rot", QColor(255, 0, 0)},
      {"Hellgrün", QColor(0, 255, 0)},     {"Gelb", QColor(255, 255, 0)},
      {"Blau", QColor(0, 0, 255)},         {"Fuchsie", QColor(255, 0, 255)},
      {"Aquamarin", QColor(0, 255, 255)},  {"Weiß", QColor(255, 255, 255)}};
  return colors;
}

FontChooser::FontChooser(QWidget* parent, const QFont& font, const QColor& color) : QDialog(parent) {
  setWindowTitle(tr("Schriftart"));
  fonts_ = new QFontDialog(font, this);
  fonts_->setOptions(QFontDialog::MonospacedFonts | QFontDialog::NoButtons);
  fonts_->setWindowFlags(Qt::Widget);
  colors_ = new QComboBox(this);
  int current = 0;
  for (size_t i = 0; i < Colors().size(); ++i) {
    QPixmap swatch(16, 12);
    swatch.fill(Colors()[i].second);
    colors_->addItem(QIcon(swatch), Colors()[i].first, Colors()[i].second);
    if (Colors()[i].second == color) current = static_cast<int>(i);
  }
  colors_->setCurrentIndex(current);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* colorRow = new QHBoxLayout;
  auto* label = new QLabel(tr("&Farbe:"), this);
  label->setBuddy(colors_);
  colorRow->addWidget(label);
  colorRow->addWidget(colors_);
  colorRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fonts_);
  layout->addLayout(colorRow);
  layout->addWidget(buttons);
}

QFont FontChooser::font() const { return fonts_->currentFont(); }

QColor FontChooser::color() const { return colors_->currentData().value<QColor>(); }

}  // namespace ide
