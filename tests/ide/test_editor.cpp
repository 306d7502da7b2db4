// Editor windows: searching, line jumps, bookmarks, saving and the save
// question, the file commands, the options and the key tables.
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>

#include "finddialogs.h"
#include "ide_test.h"
#include "settings.h"

namespace idetest {
namespace {

class EditorTest : public IdeTest {
 protected:
  ide::EditorWindow* Editor(const std::string& text) {
    if (!frame_) Frame();
    ide::EditorWindow* e = frame_->NewFile();
    e->setText(QString::fromStdString(text));
    e->setCursorPosition(0, 0);
    return e;
  }
  QString LastMessage() const { return prompts_.log.empty() ? QString() : prompts_.log.back(); }
};

TEST_F(EditorTest, FindThroughTheDialogSelectsMatchesInTurn) {
  ide::EditorWindow* e = Editor("PRINT a\r\nprint b\r\nPRINT c\r\n");
  frame_->ShowFind();
  ide::FindDialog* d = frame_->Finder();
  d->text()->setText("PRINT");
  d->matchCase()->setChecked(true);
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  int l1, i1, l2, i2;
  e->getSelection(&l1, &i1, &l2, &i2);
  EXPECT_EQ(l1, 0);
  EXPECT_EQ(e->selectedText(), "PRINT");
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  e->getSelection(&l1, &i1, &l2, &i2);
  EXPECT_EQ(l1, 2) << "with case matching the lower-case line is passed";
  EXPECT_TRUE(prompts_.log.empty());
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(LastMessage(), "[Information] \"PRINT\"  nicht gefunden!");
}

TEST_F(EditorTest, FindBackwardsWholeWordsAndFindNext) {
  ide::EditorWindow* e = Editor("ab abc ab\r\n");
  e->setCursorPosition(0, 9);
  frame_->Search() = {"ab", false, true, true};
  ASSERT_TRUE(frame_->FindInEditor(e));
  int l1, i1, l2, i2;
  e->getSelection(&l1, &i1, &l2, &i2);
  EXPECT_EQ(i1, 7);
  frame_->FindNext();
  e->getSelection(&l1, &i1, &l2, &i2);
  EXPECT_EQ(i1, 0) << "the whole-word search passes abc";
  frame_->FindNext();
  EXPECT_EQ(LastMessage(), "[Information] \"ab\"  nicht gefunden!");
}

TEST_F(EditorTest, TheFindDialogsControlsChooseHowToSearch) {
  ide::EditorWindow* e = Editor("ab Ab abc ab\r\n");
  e->setCursorPosition(0, 12);
  frame_->ShowFind();
  ide::FindDialog* d = frame_->Finder();
  d->text()->setText("ab");
  d->up()->setChecked(true);
  d->wholeWord()->setChecked(true);
  d->matchCase()->setChecked(false);
  auto found = [&] {
    int l1, i1, l2, i2;
    e->getSelection(&l1, &i1, &l2, &i2);
    return i1;
  };
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(found(), 10) << "upwards from the end";
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(found(), 3) << "any case, and abc is no whole word";
  d->matchCase()->setChecked(true);
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(found(), 0);
  d->down()->setChecked(true);
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(found(), 10) << "downwards, passing Ab and abc";
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(LastMessage(), "[Information] \"ab\"  nicht gefunden!");
  // The dialog's choice is the one "Weitersuchen" uses.
  EXPECT_TRUE(frame_->Search().matchCase);
  EXPECT_TRUE(frame_->Search().wholeWord);
  EXPECT_FALSE(frame_->Search().backwards);
}

TEST_F(EditorTest, TheSearchTextsAreSharedByAllWindows) {
  Editor("x");
  frame_->ShowFind();
  frame_->Finder()->text()->setText("gemeinsam");
  QTest::mouseClick(frame_->Finder()->findButton(), Qt::LeftButton);
  Editor("y");
  frame_->ShowReplace();
  EXPECT_EQ(frame_->Replacer()->text()->text(), "gemeinsam");
  frame_->Replacer()->replacement()->setText("neu");
  QTest::mouseClick(frame_->Replacer()->replaceButton(), Qt::LeftButton);
  frame_->ShowReplace();
  EXPECT_EQ(frame_->Replacer()->replacement()->text(), "neu");
}

TEST_F(EditorTest, ReplaceOneAllAndTheMessageWithOneBlank) {
  ide::EditorWindow* e = Editor("a1 a2 a3\r\n");
  frame_->ShowReplace();
  ide::ReplaceDialog* d = frame_->Replacer();
  d->text()->setText("a");
  d->replacement()->setText("bb");
  QTest::mouseClick(d->replaceButton(), Qt::LeftButton);
  EXPECT_EQ(e->text(), "bb1 a2 a3\r\n");
  QTest::mouseClick(d->replaceButton(), Qt::LeftButton);
  EXPECT_EQ(e->text(), "bb1 bb2 a3\r\n");
  EXPECT_TRUE(e->isModified());
  QTest::mouseClick(d->replaceAllButton(), Qt::LeftButton);
  EXPECT_EQ(e->text(), "bb1 bb2 bb3\r\n");
  EXPECT_TRUE(prompts_.log.empty());
  d->text()->setText("zz");
  QTest::mouseClick(d->replaceAllButton(), Qt::LeftButton);
  EXPECT_EQ(LastMessage(), "[Information] \"zz\" nicht gefunden!");
  QTest::mouseClick(d->replaceButton(), Qt::LeftButton);
  EXPECT_EQ(LastMessage(), "[Information] \"zz\" nicht gefunden!");
  QTest::mouseClick(d->findButton(), Qt::LeftButton);
  EXPECT_EQ(LastMessage(), "[Information] \"zz\"  nicht gefunden!");
  e->undo();
  EXPECT_EQ(e->text(), "bb1 bb2 a3\r\n") << "replacing all is one step to undo";
}

TEST_F(EditorTest, GoToLine) {
  ide::EditorWindow* e = Editor("1\r\n2\r\n3\r\n4\r\n");
  prompts_.inputs = {QString("3")};
  e->GotoLineDialog();
  EXPECT_EQ(prompts_.log.back(), "[Gehe zu] Zeilennummer (1 - 4): <1>");
  EXPECT_EQ(e->CursorLine(), 3);
  EXPECT_EQ(e->CursorColumn(), 1);
  prompts_.inputs = {QString("99")};
  e->GotoLineDialog();
  EXPECT_EQ(e->CursorLine(), 5) << "the control's last line";
  prompts_.inputs = {QString("zwei")};
  e->setCursorPosition(1, 0);
  e->GotoLineDialog();
  EXPECT_EQ(e->CursorLine(), 2) << "no number: ignored";
  prompts_.inputs = {std::nullopt};
  e->GotoLineDialog();
  EXPECT_EQ(e->CursorLine(), 2);
}

TEST_F(EditorTest, TenBookmarks) {
  ide::EditorWindow* e = Editor("null\r\neins\r\nzwei\r\ndrei\r\n");
  e->setCursorPosition(1, 2);
  frame_->FindAction("&Bearbeiten/&Setze Merker/&1")->trigger();
  e->setCursorPosition(3, 4);
  frame_->FindAction("&Bearbeiten/&Setze Merker/&0")->trigger();
  e->setCursorPosition(0, 0);
  frame_->FindAction("&Suchen/Gehe zu &Merker/&0")->trigger();
  EXPECT_EQ(e->CursorLine(), 4);
  EXPECT_EQ(e->CursorColumn(), 5);
  frame_->FindAction("&Suchen/Gehe zu &Merker/&1")->trigger();
  EXPECT_EQ(e->CursorLine(), 2);
  EXPECT_EQ(e->CursorColumn(), 3);
  // A bookmark follows its line; setting it again moves it.
  e->insertAt("neu\r\n", 0, 0);
  frame_->FindAction("&Suchen/Gehe zu &Merker/&1")->trigger();
  EXPECT_EQ(e->CursorLine(), 3);
  e->setCursorPosition(0, 1);
  e->SetBookmark(1);
  e->setCursorPosition(4, 0);
  EXPECT_TRUE(e->GotoBookmark(1));
  EXPECT_EQ(e->CursorLine(), 1);
  EXPECT_FALSE(e->GotoBookmark(5)) << "never set";
}

TEST_F(EditorTest, SaveAsCancelledLeavesOhneNameModified) {
  ide::EditorWindow* e = Editor("neu");
  prompts_.saveFiles = {std::nullopt};
  frame_->FindAction("&Datei/Datei &speichern")->trigger();
  EXPECT_EQ(e->fileName(), "OhneName");
  EXPECT_EQ(e->windowTitle(), "OhneName");
  EXPECT_TRUE(e->isModified());
  ASSERT_EQ(prompts_.fileRequests.size(), 1u);
  EXPECT_EQ(prompts_.fileRequests[0].defaultExt, "tmf");
  EXPECT_TRUE(prompts_.fileRequests[0].overwritePrompt);
  EXPECT_EQ(prompts_.fileRequests[0].filter, frame_->DialogFilter());
  EXPECT_EQ(prompts_.fileRequests[0].initial, "OhneName");
}

TEST_F(EditorTest, TypedUmlautsAreSavedAsWindows1252) {
  ide::EditorWindow* e = Editor("");
  // Key events carrying the characters, as a German keyboard sends them.
  auto type = [&](Qt::Key key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::sendKeyEvent(QTest::Click, e, key, text, mods);
  };
  QTest::keyClicks(e, "PRINT \"Gr");
  type(Qt::Key_Udiaeresis, "ü");
  type(Qt::Key_ssharp, "ß");
  QTest::keyClicks(e, "e, ");
  type(Qt::Key_Adiaeresis, "Ä", Qt::ShiftModifier);
  QTest::keyClicks(e, "rger\"");
  QTest::keyClick(e, Qt::Key_Return);
  prompts_.saveFiles = {QString::fromStdString(Path("typed.tmf"))};
  ASSERT_TRUE(e->Save());
  EXPECT_EQ(Read("typed.tmf"), "PRINT \"Gr\xFC\xDF" "e, \xC4rger\"\r\n");
}

TEST_F(EditorTest, SaveAsTakesTheNameAndTheCaptionLosesTheDirectory) {
  ide::EditorWindow* e = Editor("PRINT \"Grüße\"\r\n");
  prompts_.saveFiles = {QString::fromStdString(Path("prog.tmf"))};
  EXPECT_TRUE(e->Save());
  EXPECT_EQ(e->fileName().toStdString(), Path("prog.tmf"));
  EXPECT_EQ(e->windowTitle(), "prog.tmf");
  EXPECT_FALSE(e->isModified());
  EXPECT_EQ(Read("prog.tmf"), "PRINT \"Gr\xFC\xDF" "e\"\r\n") << "saved as Windows-1252";
  e->append("END\r\n");
  EXPECT_TRUE(e->Save()) << "a named window saves without a dialog";
  EXPECT_EQ(Read("prog.tmf"), "PRINT \"Gr\xFC\xDF" "e\"\r\nEND\r\n");
}

TEST_F(EditorTest, OpeningKeepsTheEncodingAndLineEnds) {
  Write("utf8.tmf", "PRINT \"\xC3\xA4\"\n");
  Write("ansi.tmf", "PRINT \"\xE4\"\r\n");
  Frame();
  ide::EditorWindow* u = frame_->OpenFile(QString::fromStdString(Path("utf8.tmf")));
  ide::EditorWindow* a = frame_->OpenFile(QString::fromStdString(Path("ansi.tmf")));
  ASSERT_TRUE(u && a);
  EXPECT_EQ(u->text(), "PRINT \"ä\"\n");
  EXPECT_EQ(a->text(), "PRINT \"ä\"\r\n");
  EXPECT_EQ(u->windowTitle().toStdString(), Path("utf8.tmf"));
  EXPECT_EQ(u->CursorLine(), 1);
  EXPECT_FALSE(u->isModified());
  u->append("END\n");
  a->append("END\r\n");
  u->Save();
  a->Save();
  EXPECT_EQ(Read("utf8.tmf"), "PRINT \"\xC3\xA4\"\nEND\n");
  EXPECT_EQ(Read("ansi.tmf"), "PRINT \"\xE4\"\r\nEND\r\n");
}

TEST_F(EditorTest, ClosingAModifiedWindowAsks) {
  Write("a.tmf", "alt");
  Frame();
  ide::EditorWindow* e = frame_->OpenFile(QString::fromStdString(Path("a.tmf")));
  e->setText("neu");
  prompts_.questions = {ide::Answer::Cancel};
  EXPECT_FALSE(e->parentWidget()->close());
  EXPECT_EQ(prompts_.log.back().toStdString(), "[Frage:] Änderungen in " + Path("a.tmf") + " speichern?");
  EXPECT_EQ(frame_->Editors().size(), 1u);
  prompts_.questions = {ide::Answer::No};
  EXPECT_TRUE(e->parentWidget()->close());
  QApplication::processEvents();
  EXPECT_TRUE(frame_->Editors().empty());
  EXPECT_EQ(Read("a.tmf"), "alt");
  e = frame_->OpenFile(QString::fromStdString(Path("a.tmf")));
  e->setText("neu");
  prompts_.questions = {ide::Answer::Yes};
  EXPECT_TRUE(e->parentWidget()->close());
  EXPECT_EQ(Read("a.tmf"), "neu");
  ExpectAllAnswersUsed();
}

TEST_F(EditorTest, CloseAllAsksEachModifiedWindow) {
  Frame();
  Editor("eins");
  ide::EditorWindow* unchanged = Editor("");
  unchanged->setModified(false);
  Editor("drei");
  prompts_.questions = {ide::Answer::No, ide::Answer::No};
  frame_->FindAction("&Fenster/&Alle schließen")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(frame_->Editors().empty());
  EXPECT_EQ(prompts_.log.size(), 2u);
}

TEST_F(EditorTest, InsertFromFileAndCopyAsFile) {
  Write("teil.inc", "A = 1\nB = 2\n");
  ide::EditorWindow* e = Editor("eins\r\nzwei\r\ndrei\r\n");
  e->setCursorPosition(1, 0);
  prompts_.openFiles = {QString::fromStdString(Path("teil.inc"))};
  frame_->FindAction("&Bearbeiten/Einfügen a&us Datei...")->trigger();
  EXPECT_EQ(e->text(), "eins\r\nA = 1\r\nB = 2\r\nzwei\r\ndrei\r\n");
  EXPECT_EQ(e->CursorLine(), 4);
  // The selected lines, whole.
  e->setSelection(1, 2, 2, 1);
  prompts_.saveFiles = {QString::fromStdString(Path("block.tmf"))};
  frame_->FindAction("&Bearbeiten/Kopiere&n als Datei...")->trigger();
  EXPECT_EQ(Read("block.tmf"), "A = 1\r\nB = 2\r\n");
  // Without a selection nothing is asked.
  e->setCursorPosition(0, 0);
  frame_->FindAction("&Bearbeiten/Kopiere&n als Datei...")->trigger();
  ExpectAllAnswersUsed();
}

TEST_F(EditorTest, AnUnreadableInsertIsReported) {
  ide::EditorWindow* e = Editor("x");
  EXPECT_FALSE(e->InsertFile(QString::fromStdString(Path("fehlt.inc"))));
  EXPECT_EQ(LastMessage().toStdString(), "[Fehler] Die Datei " + Path("fehlt.inc") + " kann nicht gelesen werden.");
  EXPECT_EQ(e->text(), "x");
}

TEST_F(EditorTest, LongLinesAreCutWhenCopiedAsFile) {
  ide::EditorWindow* e = Editor(std::string(300, 'x') + "\r\nkurz\r\n");
  e->setSelection(0, 0, 1, 2);
  ASSERT_TRUE(e->WriteSelectedLines(QString::fromStdString(Path("lang.txt"))));
  EXPECT_EQ(Read("lang.txt"), std::string(256, 'x') + "\r\nkurz\r\n");
}

TEST_F(EditorTest, DateAndTimeAtTheCursor) {
  ide::EditorWindow* e = Editor("[]");
  e->setCursorPosition(0, 1);
  QString before = ide::EditorWindow::DateTimeText();
  frame_->FindAction("&Bearbeiten/Da&tum + Zeit")->trigger();
  QString after = ide::EditorWindow::DateTimeText();
  QString text = e->text();
  EXPECT_TRUE(text == "[" + before + "]" || text == "[" + after + "]") << text.toStdString();
  EXPECT_TRUE(before.endsWith(" ")) << before.toStdString();
  EXPECT_TRUE(before.contains(" - "));
  EXPECT_TRUE(before.contains(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
}

TEST_F(EditorTest, ClearAllAndSelectAll) {
  ide::EditorWindow* e = Editor("a\r\nb\r\n");
  frame_->FindAction("&Bearbeiten/Alles aus&wählen")->trigger();
  EXPECT_EQ(e->selectedText(), "a\r\nb\r\n");
  frame_->FindAction("&Bearbeiten/Alles lös&chen")->trigger();
  EXPECT_EQ(e->text(), "");
  frame_->FindAction("&Bearbeiten/&Rückgängig")->trigger();
  EXPECT_EQ(e->text(), "a\r\nb\r\n");
  frame_->FindAction("&Bearbeiten/Wider&rufen")->trigger();
  EXPECT_EQ(e->text(), "");
}

TEST_F(EditorTest, TabSizeIsAskedAndWritten) {
  ide::EditorWindow* e = Editor("");
  EXPECT_EQ(e->tabWidth(), 8);
  prompts_.inputs = {QString("4")};
  frame_->FindAction("&Optionen/Ta&bulator...")->trigger();
  EXPECT_EQ(prompts_.log.back(), "[Tabulator] Position: <8>");
  EXPECT_EQ(e->tabWidth(), 4);
  EXPECT_EQ(ide::ReadTabSize(), 4);
  prompts_.inputs = {QString("vier")};
  frame_->FindAction("&Optionen/Ta&bulator...")->trigger();
  EXPECT_EQ(e->tabWidth(), 4);
  EXPECT_EQ(ide::ReadTabSize(), 4);
  // New windows take the setting.
  EXPECT_EQ(Editor("")->tabWidth(), 4);
}

TEST_F(EditorTest, TheFontIsAskedWrittenAndApplied) {
  ide::EditorWindow* e = Editor("PRINT 1");
  prompts_.font = [](const QFont& initial, QColor& color) {
    EXPECT_TRUE(initial.fixedPitch());
    color = QColor(0, 0, 128);
    QFont f("DejaVu Sans Mono", 14);
    f.setBold(true);
    return std::optional<QFont>(f);
  };
  frame_->FindAction("&Optionen/&Schrift...")->trigger();
  ide::FontSetting f = ide::ReadFont();
  EXPECT_EQ(f.name, "DejaVu Sans Mono");
  EXPECT_EQ(f.size, 14);
  EXPECT_EQ(f.color, 128L << 16);
  EXPECT_EQ(e->lexer()->font(0).pointSize(), 14);
  EXPECT_TRUE(e->lexer()->font(0).bold()) << "the chosen style";
  EXPECT_EQ(e->lexer()->color(0), QColor(0, 0, 128));
}

TEST_F(EditorTest, WordWrapToggles) {
  ide::EditorWindow* e = Editor(std::string(500, 'w'));
  QAction* wrap = frame_->FindAction("&Optionen/Zeilen&umbruch");
  wrap->trigger();
  EXPECT_TRUE(e->WordWrap());
  EXPECT_EQ(e->wrapMode(), QsciScintilla::WrapWord);
  EXPECT_EQ(e->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(e->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  wrap->trigger();
  EXPECT_FALSE(e->WordWrap());
  EXPECT_EQ(e->wrapMode(), QsciScintilla::WrapNone);
}

TEST_F(EditorTest, TheControlIsConfigured) {
  ide::EditorWindow* e = Editor("");
  EXPECT_TRUE(e->autoIndent());
  EXPECT_TRUE(e->indentationsUseTabs());
  EXPECT_EQ(e->SendScintilla(QsciScintilla::SCI_GETMARGINRIGHT), 5);
  EXPECT_TRUE(e->lexer()->font(0).fixedPitch());
  EXPECT_EQ(ide::ReadFont().name, "FixedSys");
  // Overwrite mode shows a block caret.
  QTest::keyClick(e, Qt::Key_Insert);
  EXPECT_TRUE(e->overwriteMode());
  EXPECT_EQ(e->SendScintilla(QsciScintilla::SCI_GETCARETSTYLE), QsciScintilla::CARETSTYLE_BLOCK);
  QTest::keyClick(e, Qt::Key_Insert);
  EXPECT_EQ(e->SendScintilla(QsciScintilla::SCI_GETCARETSTYLE), QsciScintilla::CARETSTYLE_LINE);
  // Auto-indent keeps the indentation of the line before.
  QTest::keyClick(e, Qt::Key_Tab);
  QTest::keyClicks(e, "PRINT 1");
  QTest::keyClick(e, Qt::Key_Return);
  QTest::keyClicks(e, "END");
  EXPECT_EQ(e->text(), "\tPRINT 1\r\n\tEND");
}

TEST_F(EditorTest, WordStarKeys) {
  ide::EditorWindow* e = Editor("eins zwei\r\nzwei\r\ndrei\r\n");
  e->setCursorPosition(1, 2);
  QTest::keyClick(e, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(e->CursorLine(), 1) << "Ctrl+E: line up";
  QTest::keyClick(e, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(e->CursorColumn(), 4) << "Ctrl+D: right";
  QTest::keyClick(e, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(e->CursorColumn(), 3) << "Ctrl+S: left";
  QTest::keyClick(e, Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(e->CursorLine(), 4) << "Ctrl+Q Ctrl+C: end of text";
  QTest::keyClick(e, Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_R);
  EXPECT_EQ(e->CursorLine(), 1) << "Ctrl+Q R: start of text";
  QTest::keyClick(e, Qt::Key_G, Qt::ControlModifier);
  EXPECT_TRUE(e->text().startsWith("ins zwei")) << "Ctrl+G deletes the character";
  QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(e->text(), "eins zwei\r\nzwei\r\ndrei\r\n") << "Ctrl+Z is the default table's undo";
  QTest::keyClick(e, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(e->text(), "ins zwei\r\nzwei\r\ndrei\r\n") << "Ctrl+Y is the default table's redo";
  // Bookmarks by key: Ctrl+K 3 sets, Ctrl+Q 3 goes.
  e->setCursorPosition(2, 1);
  QTest::keyClick(e, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_3);
  e->setCursorPosition(0, 0);
  QTest::keyClick(e, Qt::Key_Q, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_3, Qt::ControlModifier);
  EXPECT_EQ(e->CursorLine(), 3);
  EXPECT_EQ(e->CursorColumn(), 2);
}

TEST_F(EditorTest, WordStarBlocks) {
  ide::EditorWindow* e = Editor("eins zwei drei\r\nvier\r\n");
  auto keys = [&](Qt::Key prefix, Qt::Key key) {
    QTest::keyClick(e, prefix, Qt::ControlModifier);
    QTest::keyClick(e, key);
  };
  // Ctrl+K B and Ctrl+K K mark "zwei", Ctrl+K C copies it to the cursor.
  e->setCursorPosition(0, 5);
  keys(Qt::Key_K, Qt::Key_B);
  e->setCursorPosition(0, 9);
  keys(Qt::Key_K, Qt::Key_K);
  EXPECT_EQ(e->selectedText(), "zwei");
  e->setCursorPosition(1, 4);
  keys(Qt::Key_K, Qt::Key_C);
  EXPECT_EQ(e->text(), "eins zwei drei\r\nvierzwei\r\n");
  // The copy is the block now; Ctrl+Q B and Ctrl+Q K go to its marks.
  e->setCursorPosition(0, 0);
  keys(Qt::Key_Q, Qt::Key_B);
  EXPECT_EQ(e->CursorLine(), 2);
  EXPECT_EQ(e->CursorColumn(), 5);
  keys(Qt::Key_Q, Qt::Key_K);
  EXPECT_EQ(e->CursorColumn(), 9);
  // Marks follow text typed before them.
  e->setCursorPosition(1, 0);
  QTest::keyClicks(e, "xy");
  keys(Qt::Key_Q, Qt::Key_B);
  EXPECT_EQ(e->CursorColumn(), 7);
  // Ctrl+K T marks the word at the cursor; Ctrl+K V moves it.
  e->setCursorPosition(0, 12);
  keys(Qt::Key_K, Qt::Key_T);
  EXPECT_EQ(e->selectedText(), "drei");
  e->setCursorPosition(0, 0);
  keys(Qt::Key_K, Qt::Key_V);
  EXPECT_EQ(e->text(), "dreieins zwei \r\nxyvierzwei\r\n");
  // Ctrl+K Y deletes the block wherever the cursor is; Ctrl+K H hides the marks.
  e->setCursorPosition(1, 3);
  keys(Qt::Key_K, Qt::Key_Y);
  EXPECT_EQ(e->text(), "eins zwei \r\nxyvierzwei\r\n");
  keys(Qt::Key_K, Qt::Key_T);
  keys(Qt::Key_K, Qt::Key_H);
  EXPECT_FALSE(e->hasSelectedText());
  int line = e->CursorLine();
  keys(Qt::Key_Q, Qt::Key_B);
  EXPECT_EQ(e->CursorLine(), line) << "no marks, no move";
}

TEST_F(EditorTest, MenuKeysWinOverTheControlsOwn) {
  ide::EditorWindow* e = Editor("eins zwei\r\n");
  frame_->activateWindow();
  e->setFocus();
  if (!QTest::qWaitForWindowActive(frame_.get())) GTEST_SKIP() << "the platform activates no window";
  // Ctrl+A is "&Ersetzen..." here, not the control's select-all.
  QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(e->hasSelectedText());
  ASSERT_NE(frame_->Replacer(), nullptr);
  EXPECT_TRUE(frame_->Replacer()->isVisible());
  frame_->Replacer()->close();
  // Ctrl+Del deletes the selection ("&Löschen"), not the word right.
  e->setSelection(0, 0, 0, 2);
  QTest::keyClick(e, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(e->text(), "ns zwei\r\n");
  // F7 runs the interpreter.
  e->setModified(false);
  QTest::keyClick(e, Qt::Key_F7);
  EXPECT_EQ(launched_, (std::vector<std::string>{"SHTILMOR.EXE \"OhneName\""}));
  // Alt+Backspace undoes.
  QTest::keyClick(e, Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(e->text(), "eins zwei\r\n");
}

TEST_F(EditorTest, TheStatusBarFollowsTheKeys) {
  ide::EditorWindow* e = Editor("");
  QTest::keyClicks(e, "PRINT");
  EXPECT_EQ(frame_->StatusTexts()[0], "1 :  6");
  EXPECT_EQ(frame_->StatusTexts()[1], "Geändert");
  QTest::keyClick(e, Qt::Key_Return);
  QTest::keyClick(e, Qt::Key_X);
  EXPECT_EQ(frame_->StatusTexts()[0], "2 :  2");
  // A click past the end of the first line.
  QTest::mouseClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(e->viewport()->width() - 20, 3));
  EXPECT_EQ(frame_->StatusTexts()[0], "1 :  6");
}

TEST_F(EditorTest, CtrlKCtrlRInsertsAFileAndCtrlKCtrlWWritesTheBlock) {
  Write("x.inc", "X\n");
  ide::EditorWindow* e = Editor("a\r\nb\r\n");
  e->setCursorPosition(1, 0);
  prompts_.openFiles = {QString::fromStdString(Path("x.inc"))};
  QTest::keyClick(e, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(e->text(), "a\r\nX\r\nb\r\n");
  e->setSelection(0, 0, 1, 1);
  prompts_.saveFiles = {QString::fromStdString(Path("w.tmf"))};
  QTest::keyClick(e, Qt::Key_K, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(Read("w.tmf"), "a\r\nX\r\n");
  ExpectAllAnswersUsed();
}

TEST_F(EditorTest, TheContextMenu) {
  ide::EditorWindow* e = Editor("Hallo");
  QApplication::clipboard()->clear();
  std::unique_ptr<QMenu> menu(e->CreateContextMenu(nullptr));
  QStringList captions;
  for (QAction* a : menu->actions()) captions << a->text();
  EXPECT_EQ(captions, (QStringList{"&Rückgängig", "&Ausschneiden", "&Kopieren", "&Einfügen", "&Setze Merker",
                                   "Gehe zu &Merker", "&Hilfe", "Aus&führen (Interpreter)"}));
  EXPECT_FALSE(menu->actions()[1]->isEnabled());
  EXPECT_FALSE(menu->actions()[3]->isEnabled());
  EXPECT_EQ(menu->actions()[4]->menu()->actions().size(), 10);
  e->selectAll(true);
  QApplication::clipboard()->setText("t");
  menu.reset(e->CreateContextMenu(nullptr));
  EXPECT_TRUE(menu->actions()[1]->isEnabled());
  EXPECT_TRUE(menu->actions()[3]->isEnabled());
  e->setModified(false);
  prompts_.questions.clear();
  menu->actions()[7]->trigger();
  ASSERT_EQ(launched_.size(), 1u);
  EXPECT_EQ(launched_[0], "SHTILMOR.EXE \"OhneName\"");
}

}  // namespace
}  // namespace idetest
