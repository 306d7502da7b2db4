// The find and replace dialogs: modeless, shared by all editor windows,
// preset with the texts of the last search.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ide {

class FrameWindow;

class FindDialog : public QDialog {
 public:
  explicit FindDialog(FrameWindow* frame);
  void Preset();
  QLineEdit* text() const { return text_; }
  QCheckBox* wholeWord() const { return wholeWord_; }
  QCheckBox* matchCase() const { return matchCase_; }
  QRadioButton* up() const { return up_; }
  QRadioButton* down() const { return down_; }
  QPushButton* findButton() const { return find_; }

 private:
  void Take();
  FrameWindow* frame_;
  QLineEdit* text_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QRadioButton* up_;
  QRadioButton* down_;
  QPushButton* find_;
};

class ReplaceDialog : public QDialog {
 public:
  explicit ReplaceDialog(FrameWindow* frame);
  void Preset();
  QLineEdit* text() const { return text_; }
  QLineEdit* replacement() const { return replacement_; }
  QCheckBox* wholeWord() const { return wholeWord_; }
  QCheckBox* matchCase() const { return matchCase_; }
  QPushButton* findButton() const { return find_; }
  QPushButton* replaceButton() const { return replace_; }
  QPushButton* replaceAllButton() const { return replaceAll_; }

 private:
  void Take();
  FrameWindow* frame_;
  QLineEdit* text_;
  QLineEdit* replacement_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QPushButton* find_;
  QPushButton* replace_;
  QPushButton* replaceAll_;
};

}  // namespace ide
