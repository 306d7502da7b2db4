#include "finddialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frame.h"

namespace ide {

FindDialog::FindDialog(FrameWindow* frame) : QDialog(frame), frame_(frame) {
  setWindowTitle(tr("Suchen"));
  setModal(false);
  text_ = new QLineEdit(this);
  auto* label = new QLabel(tr("Suchen &nach:"), this);
  label->setBuddy(text_);
  wholeWord_ = new QCheckBox(tr("Nur &ganzes Wort suchen"), this);
  matchCase_ = new QCheckBox(tr("Groß-/&Kleinschreibung"), this);
  auto* direction = new QGroupBox(tr("Richtung"), this);
  up_ = new QRadioButton(tr("Nach &oben"), direction);
  down_ = new QRadioButton(tr("Nach &unten"), direction);
  down_->setChecked(true);
  auto* dl = new QHBoxLayout(direction);
  dl->addWidget(up_);
  dl->addWidget(down_);
  find_ = new QPushButton(tr("&Weitersuchen"), this);
  find_->setDefault(true);
  auto* cancel = new QPushButton(tr("Abbrechen"), this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);
  grid->addWidget(find_, 0, 3);
  grid->addWidget(wholeWord_, 1, 0, 1, 2);
  grid->addWidget(cancel, 1, 3);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(direction, 1, 2, 2, 1);
  connect(find_, &QPushButton::clicked, this, [this] {
    Take();
    frame_->FindInEditor(frame_->ActiveEditor());
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void FindDialog::Preset() {
  const SearchOptions& s = frame_->Search();
  text_->setText(s.text);
  wholeWord_->setChecked(s.wholeWord);
  matchCase_->setChecked(s.matchCase);
  (s.backwards ? up_ : down_)->setChecked(true);
  text_->selectAll();
}

void FindDialog::Take() {
  SearchOptions& s = frame_->Search();
  s.text = text_->text();
  s.wholeWord = wholeWord_->isChecked();
  s.matchCase = matchCase_->isChecked();
  s.backwards = up_->isChecked();
}

ReplaceDialog::ReplaceDialog(FrameWindow* frame) : QDialog(frame), frame_(frame) {
  setWindowTitle(tr("Ersetzen"));
  setModal(false);
  text_ = new QLineEdit(this);
  replacement_ = new QLineEdit(this);
  auto* findLabel = new QLabel(tr("Suchen &nach:"), this);
  findLabel->setBuddy(text_);
  auto* replaceLabel = new QLabel(tr("Ersetzen &durch:"), this);
  replaceLabel->setBuddy(replacement_);
  wholeWord_ = new QCheckBox(tr("Nur &ganzes Wort suchen"), this);
  matchCase_ = new QCheckBox(tr("Groß-/&Kleinschreibung"), this);
  find_ = new QPushButton(tr("&Weitersuchen"), this);
  find_->setDefault(true);
  replace_ = new QPushButton(tr("&Ersetzen"), this);
  replaceAll_ = new QPushButton(tr("&Alle ersetzen"), this);
  auto* cancel = new QPushButton(tr("Abbrechen"), this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(text_, 0, 1);
  grid->addWidget(find_, 0, 2);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replacement_, 1, 1);
  grid->addWidget(replace_, 1, 2);
  grid->addWidget(wholeWord_, 2, 0, 1, 2);
  grid->addWidget(replaceAll_, 2, 2);
  grid->addWidget(matchCase_, 3, 0, 1, 2);
  grid->addWidget(cancel, 3, 2);
  connect(find_, &QPushButton::clicked, this, [this] {
    Take();
    frame_->FindInEditor(frame_->ActiveEditor());
  });
  connect(replace_, &QPushButton::clicked, this, [this] {
    Take();
    frame_->ReplaceInEditor(frame_->ActiveEditor(), false);
  });
  connect(replaceAll_, &QPushButton::clicked, this, [this] {
    Take();
    frame_->ReplaceInEditor(frame_->ActiveEditor(), true);
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void ReplaceDialog::Preset() {
  const SearchOptions& s = frame_->Search();
  text_->setText(s.text);
  replacement_->setText(frame_->ReplaceText());
  wholeWord_->setChecked(s.wholeWord);
  matchCase_->setChecked(s.matchCase);
  text_->selectAll();
}

void ReplaceDialog::Take() {
  SearchOptions& s = frame_->Search();
  s.text = text_->text();
  s.wholeWord = wholeWord_->isChecked();
  s.matchCase = matchCase_->isChecked();
  s.backwards = false;
  frame_->ReplaceText() = replacement_->text();
}

}  // namespace ide
