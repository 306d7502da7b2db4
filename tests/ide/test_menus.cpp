// Every menu item with its caption and shortcut, the merged menus of an
// editor window, the tool bar and the status bar.
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <QLabel>
#include <QTableWidget>

#include "ansitable.h"
#include "ide_test.h"

namespace idetest {
namespace {

class MenuTest : public IdeTest {
 protected:
  // "caption [shortcut]" of each visible menu, items in order, submenus
  // indented; separators as "-".
  QStringList Describe(QMenu* menu, const QString& indent = "  ") {
    QStringList out;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      QString line = indent + a->text();
      if (!a->shortcut().isEmpty()) line += " [" + a->shortcut().toString(QKeySequence::PortableText) + "]";
      out << line;
      if (a->menu()) out << Describe(a->menu(), indent + "  ");
    }
    return out;
  }
  QStringList MenuBar() {
    QStringList out;
    for (QAction* a : frame_->menuBar()->actions()) {
      if (!a->isVisible() || !a->menu()) continue;
      out << a->text();
      out << Describe(a->menu());
    }
    return out;
  }
  static QStringList Marks(const QString& indent) {
    QStringList out;
    for (int k = 1; k <= 10; ++k) out << indent + "&" + QString::number(k % 10);
    return out;
  }
};

const QStringList kHelper = {"&Helfer",          "  Datenbank&struktur", "  &Tabellen bearbeiten",
                             "  &Fenster gestalten", "  &Dialoge gestalten", "  &Menüdesigner",
                             "  &Benutzermenü"};
const QStringList kWindow = {"&Fenster",         "  &Nebeneinander", "  &Untereinander", "  &Überlappend",
                             "  &Icons anordnen", "  &Alle schließen [Ctrl+F3]", "  &Rechner",
                             "  Ansi-&Tabelle",   "  Termin-&Kalender"};
const QStringList kHelp = {"&?",
                           "  &TILMOR²-Hilfe [F1]",
                           "  &Referenz [Alt+F1]",
                           "  &Kontextabhängig [Ctrl+F1]",
                           "  &Editor",
                           "  &Suche in der Hilfe...",
                           "  &Hilfe verwenden",
                           "  &Über..."};

TEST_F(MenuTest, TheFrameMenusWithoutEditor) {
  Frame();
  QStringList expected = {"&Datei",
                          "  Neues P&rojekt...",
                          "  &Projekt öffnen...",
                          "  Pro&jekt speichern als...",
                          "  Projekt schlie&ßen",
                          "  &Neue Datei",
                          "  Datei &öffnen... [F3]",
                          "  Programm &aufrufen...",
                          "  &Ende"};
  expected << kHelper << kWindow << kHelp;
  EXPECT_EQ(MenuBar(), expected);
}

TEST_F(MenuTest, AnEditorMergesItsMenusBeforeTheFramesOwn) {
  Frame();
  frame_->NewFile();
  QStringList expected = {"&Datei",
                          "  Neues P&rojekt...",
                          "  &Projekt öffnen...",
                          "  Pro&jekt speichern als...",
                          "  Projekt schlie&ßen",
                          "  &Neue Datei",
                          "  Datei &öffnen... [F3]",
                          "  Datei s&chließen [Alt+F3]",
                          "  Datei &speichern [F2]",
                          "  Datei speichern &als... [Alt+F2]",
                          "  D&rucker einrichten...",
                          "  &Drucken...",
                          "  Progra&mm aufrufen...",
                          "  &Ende [Alt+X]",
                          "&Bearbeiten",
                          "  &Rückgängig [Alt+Backspace]",
                          "  Wider&rufen [Alt+Shift+Backspace]",  // Qt spells Shift+Alt so
                          "  &Ausschneiden [Shift+Del]",
                          "  &Kopieren [Ctrl+Ins]",
                          "  &Einfügen [Shift+Ins]",
                          "  &Löschen [Ctrl+Del]",
                          "  Alles aus&wählen [Alt+Ins]",
                          "  Alles lös&chen [Alt+Del]",
                          "  Einfügen a&us Datei... [Ctrl+R]",
                          "  Kopiere&n als Datei... [Ctrl+W]",
                          "  Da&tum + Zeit [F5]",
                          "  &Zwischenablage",
                          "  &Setze Merker"};
  expected << Marks("    ");
  expected << QStringList{"&Suchen",
                          "  &Finden... [Ctrl+F]",
                          "  &Ersetzen... [Ctrl+A]",
                          "  &Weitersuchen [Ctrl+L]",
                          "  Gehe zu &Zeile... [Ctrl+J]",
                          "  Gehe zu &Merker"};
  expected << Marks("    ");
  expected << QStringList{"&Tilmor",
                          "  &Ausführen (Interpreter) [F7]",
                          "  als Scri&pt-Datei ausführen",
                          "  &Compilieren [F9]",
                          "  Sta&rten [F8]",
                          "  &Exe-Datei erstellen...",
                          "  &Screensaver erstellen...",
                          "&Optionen",
                          "  &Toolbar",
                          "  Zeilen&umbruch",
                          "  Ta&bulator...",
                          "  &Schrift...",
                          "  &Runtime-Modul des Projektes...",
                          "  &Include-Pfad..."};
  expected << kHelper << kWindow << kHelp;
  EXPECT_EQ(MenuBar(), expected);
  EXPECT_EQ(frame_->FindAction("&Datei/&Projekt öffnen...")->statusTip(), "Ein TILMOR²-Projekt öffnen");
}

TEST_F(MenuTest, TheMenusFollowTheActiveWindow) {
  Frame();
  frame_->NewFile();
  ASSERT_NE(frame_->FindAction("&Tilmor/&Compilieren"), nullptr);
  EXPECT_TRUE(frame_->FindAction("&Tilmor/&Compilieren")->isEnabled());
  frame_->Editors()[0]->parentWidget()->close();
  QApplication::processEvents();
  EXPECT_EQ(frame_->FindAction("&Tilmor/&Compilieren"), nullptr);
  EXPECT_NE(frame_->FindAction("&Datei/Programm &aufrufen..."), nullptr);
  EXPECT_EQ(frame_->FindAction("&Datei/Datei &speichern"), nullptr);
}

TEST_F(MenuTest, FindNextIsDisabledUntilASearch) {
  Frame();
  frame_->NewFile()->setText("abc");
  QAction* next = frame_->FindAction("&Suchen/&Weitersuchen");
  ASSERT_NE(next, nullptr);
  EXPECT_FALSE(next->isEnabled());
  frame_->Search().text = "b";
  frame_->FindInEditor(frame_->ActiveEditor());
  EXPECT_TRUE(next->isEnabled());
}

TEST_F(MenuTest, TheEditMenuEnablesByClipboardAndSelection) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("Hallo Welt");
  QApplication::clipboard()->clear();
  QMenu* edit = frame_->FindAction("&Bearbeiten")->menu();
  Q_EMIT edit->aboutToShow();
  EXPECT_FALSE(frame_->FindAction("&Bearbeiten/&Einfügen")->isEnabled());
  EXPECT_FALSE(frame_->FindAction("&Bearbeiten/&Kopieren")->isEnabled());
  EXPECT_FALSE(frame_->FindAction("&Bearbeiten/&Ausschneiden")->isEnabled());
  EXPECT_FALSE(frame_->FindAction("&Bearbeiten/&Löschen")->isEnabled());
  e->setSelection(0, 0, 0, 5);
  QApplication::clipboard()->setText("Text");
  Q_EMIT edit->aboutToShow();
  EXPECT_TRUE(frame_->FindAction("&Bearbeiten/&Einfügen")->isEnabled());
  EXPECT_TRUE(frame_->FindAction("&Bearbeiten/&Kopieren")->isEnabled());
  EXPECT_TRUE(frame_->FindAction("&Bearbeiten/&Löschen")->isEnabled());
  frame_->FindAction("&Bearbeiten/&Löschen")->trigger();
  EXPECT_EQ(e->text(), " Welt");
}

TEST_F(MenuTest, TheWindowMenuListsTheWindows) {
  Frame();
  frame_->NewFile();
  Write("a.tmf", "A");
  frame_->OpenFile(QString::fromStdString(Path("a.tmf")));
  QMenu* w = frame_->FindAction("&Fenster")->menu();
  Q_EMIT w->aboutToShow();
  QStringList captions;
  for (QAction* a : w->actions())
    if (!a->isSeparator()) captions << a->text();
  ASSERT_GE(captions.size(), 2);
  EXPECT_EQ(captions[captions.size() - 2], "&1 OhneName");
  EXPECT_EQ(captions.back().toStdString(), "&2 " + Path("a.tmf"));
}

TEST_F(MenuTest, FourteenToolButtonsWithTheirHints) {
  Frame();
  QStringList hints;
  for (QAction* a : frame_->ToolBar()->actions())
    if (!a->isSeparator()) hints << a->toolTip();
  EXPECT_EQ(hints, (QStringList{"Hilfe zum Editor anzeigen", "Datei öffnen", "Datei speichern",
                                "Letzte Änderung rückgängig machen",
                                "markierten Text ausschneiden und in Zwischenablage speichern",
                                "markierten Text in Zwischenablage kopieren", "Text aus Zwischenablage einfügen",
                                "Textpassage suchen", "Textfenster hintereinander anordnen",
                                "Textfenster nebeneinander anordnen", "Benutzermenü aufrufen/ändern",
                                "Programm ausführen (Interpreter)", "Datei drucken", "Programm beenden"}));
  for (QAction* a : frame_->ToolBar()->actions()) {
    if (a->isSeparator()) continue;
    EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
  }
}

TEST_F(MenuTest, FileButtonsDoNothingWithoutAWindow) {
  Frame();
  for (QAction* a : frame_->ToolBar()->actions()) {
    QString hint = a->toolTip();
    if (hint == "Datei speichern" || hint == "Programm ausführen (Interpreter)" || hint == "Datei drucken" ||
        hint == "Textpassage suchen" || hint == "Letzte Änderung rückgängig machen")
      a->trigger();
  }
  EXPECT_TRUE(prompts_.log.empty());
  EXPECT_TRUE(launched_.empty());
}

TEST_F(MenuTest, TheStatusBarShowsPositionModificationAndProject) {
  Frame();
  frame_->OpenProject(Path("demo.prj"));
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("eins\r\nzwei\r\n");
  e->setCursorPosition(1, 3);
  frame_->UpdateStatus();
  EXPECT_EQ(frame_->StatusTexts(),
            (QStringList{"2 :  4", "Geändert", QString::fromStdString("Projekt: " + Path("demo.prj"))}));
  e->setModified(false);
  EXPECT_EQ(frame_->StatusTexts()[1], "");
}

TEST_F(MenuTest, TheAboutBoxHasTheTitle) {
  Frame();
  frame_->FindAction("&?/&Über...")->trigger();
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_TRUE(prompts_.log[0].startsWith("[ZEL-TILMOR-Editor 5.0a-32] ")) << prompts_.log[0].toStdString();
}

TEST_F(MenuTest, WindowsTileSideBySideAndAbove) {
  Frame();
  frame_->resize(800, 600);
  frame_->NewFile();
  frame_->NewFile();
  frame_->TileSideBySide();
  QList<QMdiSubWindow*> subs = frame_->Area()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(subs.size(), 2);
  EXPECT_EQ(subs[0]->geometry().top(), subs[1]->geometry().top());
  EXPECT_LT(subs[0]->geometry().right(), subs[1]->geometry().left());
  EXPECT_EQ(subs[0]->width(), subs[1]->width());
  frame_->TileAbove();
  EXPECT_EQ(subs[0]->geometry().left(), subs[1]->geometry().left());
  EXPECT_LT(subs[0]->geometry().bottom(), subs[1]->geometry().top());
}

}  // namespace
}  // namespace idetest

namespace idetest {
namespace {

class WindowMenuTest : public IdeTest {};

TEST_F(WindowMenuTest, TheEditKeysWorkAfterTheMenuClosed) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("abc");
  QMenu* edit = frame_->FindAction("&Bearbeiten")->menu();
  Q_EMIT edit->aboutToShow();  // no selection: disabled while shown
  EXPECT_FALSE(frame_->FindAction("&Bearbeiten/&Löschen")->isEnabled());
  Q_EMIT edit->aboutToHide();
  e->setSelection(0, 1, 0, 2);
  QAction* del = frame_->FindAction("&Bearbeiten/&Löschen");
  EXPECT_TRUE(del->isEnabled());
  del->trigger();
  EXPECT_EQ(e->text(), "ac");
  e->setCursorPosition(0, 0);
  del->trigger();
  EXPECT_EQ(e->text(), "ac") << "nothing selected, nothing deleted";
}

TEST_F(WindowMenuTest, TheAnsiTable) {
  Frame();
  frame_->FindAction("&Fenster/Ansi-&Tabelle")->trigger();
  auto* table = frame_->findChild<ide::AnsiTable*>();
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(table->isVisible());
  EXPECT_EQ(table->table()->rowCount() * table->table()->columnCount(), 256);
  EXPECT_EQ(table->table()->item(4, 1)->text(), "A");
  EXPECT_EQ(table->table()->item(0xE, 4)->text(), "ä");
  EXPECT_EQ(table->table()->item(8, 0)->text(), "€") << "Windows-1252, not Latin-1";
  EXPECT_EQ(table->table()->item(0, 9)->text(), "") << "control characters stay empty";
  table->table()->setCurrentCell(0xE, 4);
  EXPECT_EQ(table->info()->text(), "Zeichen: ä   Dezimal: 228   Hexadezimal: E4");
  frame_->ShowAnsiTable();
  EXPECT_EQ(frame_->findChildren<ide::AnsiTable*>().size(), 1) << "one table only";
}

TEST_F(WindowMenuTest, MinimisedWindowsAreArrangedAlongTheBottom) {
  Frame();
  frame_->resize(800, 600);
  frame_->NewFile();
  frame_->NewFile();
  frame_->NewFile();
  QList<QMdiSubWindow*> subs = frame_->Area()->subWindowList(QMdiArea::CreationOrder);
  subs[0]->showMinimized();
  subs[2]->showMinimized();
  subs[0]->move(300, 10);
  subs[2]->move(5, 200);
  frame_->FindAction("&Fenster/&Icons anordnen")->trigger();
  int bottom = frame_->Area()->viewport()->height();
  EXPECT_EQ(subs[0]->geometry().bottom() + 1, bottom);
  EXPECT_EQ(subs[2]->geometry().bottom() + 1, bottom);
  EXPECT_EQ(subs[0]->x(), 0);
  EXPECT_EQ(subs[2]->x(), subs[0]->width());
  EXPECT_FALSE(subs[1]->isMinimized());
}

}  // namespace
}  // namespace idetest
