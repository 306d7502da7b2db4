// The real dialogs behind the editor's questions, answered by clicking
// their buttons; and the file filters they are given.
#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "filefilter.h"
#include "fontchooser.h"
#include "ide_test.h"
#include "settings.h"

namespace idetest {
namespace {

// Runs `answer` on the modal dialog once it is open.
void WhenModal(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) {
      ADD_FAILURE() << "no modal dialog";
      return;
    }
    answer(w);
  });
}

QAbstractButton* ButtonWithText(QWidget* w, const QString& text) {
  for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

class RealPrompts : public IdeTest {
 protected:
  void SetUp() override {
    IdeTest::SetUp();
    ide::SetPrompts(nullptr);
  }
};

TEST_F(RealPrompts, TheQuestionHasGermanButtonsAndTellsWhichWasPressed) {
  const std::vector<std::pair<QString, ide::Answer>> cases = {
      {"&Ja", ide::Answer::Yes}, {"&Nein", ide::Answer::No}, {"Abbrechen", ide::Answer::Cancel}};
  for (const auto& [button, expected] : cases) {
    QStringList texts;
    QString title, text;
    WhenModal([&, button = button](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) texts << b->text();
      ButtonWithText(box, button)->click();
    });
    ide::Answer a = ide::Ask().Question(nullptr, "Frage:", "Änderungen in X speichern?");
    EXPECT_EQ(a, expected) << button.toStdString();
    EXPECT_EQ(title, "Frage:");
    EXPECT_EQ(text, "Änderungen in X speichern?");
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"&Ja", "&Nein", "Abbrechen"}));
  }
}

TEST_F(RealPrompts, TheInputBoxGivesTheTextOrNothing) {
  WhenModal([](QWidget* w) {
    auto* d = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Gehe zu");
    EXPECT_EQ(d->labelText(), "Zeilennummer (1 - 9):");
    EXPECT_EQ(d->textValue(), "1");
    d->setTextValue("7");
    d->accept();
  });
  EXPECT_EQ(ide::Ask().Input(nullptr, "Gehe zu", "Zeilennummer (1 - 9):", "1"), QString("7"));
  WhenModal([](QWidget* w) { ButtonWithText(w, "Abbrechen")->click(); });
  EXPECT_EQ(ide::Ask().Input(nullptr, "Tabulator", "Position:", "8"), std::nullopt);
}

TEST_F(RealPrompts, TheSaveDialogAddsTheDefaultExtension) {
  ide::FileDialogRequest r;
  r.title = "Speichern unter";
  r.filter = ide::kDefaultFilter;
  r.initial = QString::fromStdString(Path("OhneName"));
  r.defaultExt = "tmf";
  WhenModal([](QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Speichern unter");
    EXPECT_EQ(d->nameFilters().front(), "Tilmor-Dateien (*.tmf *.TMF)");
    d->selectFile("neu");
    QMetaObject::invokeMethod(d, "accept");
  });
  std::optional<QString> chosen = ide::Ask().SaveFile(nullptr, r);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->toStdString(), Path("neu.tmf"));
}

TEST_F(RealPrompts, TheFontChooserOffersTheSixteenColours) {
  QFont f("DejaVu Sans Mono", 11);
  ide::FontChooser d(nullptr, f, QColor(128, 0, 0));
  EXPECT_EQ(ide::FontChooser::Colors().size(), 16u);
  EXPECT_EQ(d.color(), QColor(128, 0, 0)) << "preset with the editor's colour";
  auto* colors = d.findChild<QComboBox*>();
  ASSERT_NE(colors, nullptr);
  colors->setCurrentIndex(colors->findText("Blau"));
  EXPECT_EQ(d.color(), QColor(0, 0, 255));
  EXPECT_EQ(d.font().pointSize(), 11);
}

TEST(FileFilter, TheWindowsFormBecomesQts) {
  EXPECT_EQ(ide::QtFilter(ide::kDefaultFilter),
            "Tilmor-Dateien (*.tmf *.TMF);;TilmorScript-Dateien (*.tms *.TMS);;Include-Dateien (*.inc *.INC);;"
            "Alle Dateien (*)");
  EXPECT_EQ(ide::QtFilter("Programme|*.exe;*.pif;*.bat|Alle Dateien|*.*"),
            "Programme (*.exe *.EXE *.pif *.PIF *.bat *.BAT);;Alle Dateien (*)");
  EXPECT_EQ(ide::QtFilter("Tilmor-Programme|*.tmc"), "Tilmor-Programme (*.tmc *.TMC)");
  EXPECT_EQ(ide::QtFilter("Gemischt|*.Tmf"), "Gemischt (*.Tmf *.tmf *.TMF)");
  EXPECT_EQ(ide::QtFilter("ohne Muster"), "") << "a description without patterns is no filter";
}

TEST(FileFilter, TheDefaultExtension) {
  EXPECT_EQ(ide::WithDefaultExtension("/a/b/neu", "prj"), "/a/b/neu.prj");
  EXPECT_EQ(ide::WithDefaultExtension("/a/b.d/neu", "prj"), "/a/b.d/neu.prj") << "a point in a directory";
  EXPECT_EQ(ide::WithDefaultExtension("C:\\X\\alt.txt", "prj"), "C:\\X\\alt.txt");
  EXPECT_EQ(ide::WithDefaultExtension("neu", ""), "neu");
}

}  // namespace
}  // namespace idetest
