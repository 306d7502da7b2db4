// The frame's menus, the merged menus of the editor windows and the tool bar.
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QToolBar>

#include "frame.h"
#include "helpwindow.h"
#include "prompts.h"
#include "toolbaricons.h"

namespace ide {

QAction* FrameWindow::Act(QMenu* menu, const QString& caption, std::function<void()> f,
                          const QKeySequence& key) {
  QAction* a = menu->addAction(caption);
  if (!key.isEmpty()) {
    a->setShortcut(key);
    menuKeys_.insert(key[0].toCombined());
  }
  connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
  return a;
}

void FrameWindow::EditorAction(QMenu* menu, const QString& caption,
                               std::function<void(EditorWindow*)> f, const QKeySequence& key) {
  QAction* a = Act(
      menu, caption,
      [this, f = std::move(f)] {
        if (EditorWindow* e = ActiveEditor()) f(e);
      },
      key);
  editorActions_.push_back(a);
}

void FrameWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  using K = QKeySequence;

  // Frame "&Datei"; the editor's "&Datei" shares its project and file items.
  frameFileMenu_ = bar->addMenu(tr("&Datei"));
  QMenu* f = frameFileMenu_;
  QAction* newProject = Act(f, tr("Neues P&rojekt..."), [this] { NewProject(); });
  QAction* openProject = Act(f, tr("&Projekt öffnen..."), [this] { OpenProjectDialog(); });
  openProject->setStatusTip(tr("Ein TILMOR²-Projekt öffnen"));
  QAction* saveProject = Act(f, tr("Pro&jekt speichern als..."), [this] { SaveProjectAsDialog(); });
  QAction* closeProject = Act(f, tr("Projekt schlie&ßen"), [this] { CloseProject(); });
  f->addSeparator();
  QAction* newFile = Act(f, tr("&Neue Datei"), [this] { NewFile(); });
  QAction* openFile = Act(f, tr("Datei &öffnen..."), [this] { OpenFileDialog(); }, K(Qt::Key_F3));
  f->addSeparator();
  Act(f, tr("Programm &aufrufen..."), [this] { CallProgramDialog(); });
  f->addSeparator();
  Act(f, tr("&Ende"), [this] { close(); });

  // The editor's "&Datei".
  QMenu* ef = bar->addMenu(tr("&Datei"));
  editorMenus_.push_back(ef);
  ef->addAction(newProject);
  ef->addAction(openProject);
  ef->addAction(saveProject);
  ef->addAction(closeProject);
  ef->addSeparator();
  ef->addAction(newFile);
  ef->addAction(openFile);
  EditorAction(ef, tr("Datei s&chließen"), [](EditorWindow* e) { e->parentWidget()->close(); },
               K(Qt::ALT | Qt::Key_F3));
  EditorAction(ef, tr("Datei &speichern"), [](EditorWindow* e) { e->Save(); }, K(Qt::Key_F2));
  EditorAction(ef, tr("Datei speichern &als..."), [](EditorWindow* e) { e->SaveAs(); },
               K(Qt::ALT | Qt::Key_F2));
  ef->addSeparator();
  EditorAction(ef, tr("D&rucker einrichten..."), [this](EditorWindow*) { PrinterSetup(); });
  EditorAction(ef, tr("&Drucken..."), [this](EditorWindow* e) { PrintEditor(e); });
  ef->addSeparator();
  EditorAction(ef, tr("Progra&mm aufrufen..."), [this](EditorWindow*) { CallProgramDialog(); });
  ef->addSeparator();
  EditorAction(ef, tr("&Ende"), [this](EditorWindow*) { close(); }, K(Qt::ALT | Qt::Key_X));

  // "&Bearbeiten".
  QMenu* edit = bar->addMenu(tr("&Bearbeiten"));
  editorMenus_.push_back(edit);
  EditorAction(edit, tr("&Rückgängig"), [](EditorWindow* e) { e->undo(); },
               K(Qt::ALT | Qt::Key_Backspace));
  EditorAction(edit, tr("Wider&rufen"), [](EditorWindow* e) { e->redo(); },
               K(Qt::SHIFT | Qt::ALT | Qt::Key_Backspace));
  edit->addSeparator();
  EditorAction(edit, tr("&Ausschneiden"), [](EditorWindow* e) { e->cut(); },
               K(Qt::SHIFT | Qt::Key_Delete));
  cutAction_ = editorActions_.back();
  EditorAction(edit, tr("&Kopieren"), [](EditorWindow* e) { e->copy(); },
               K(Qt::CTRL | Qt::Key_Insert));
  copyAction_ = editorActions_.back();
  EditorAction(edit, tr("&Einfügen"), [](EditorWindow* e) { e->paste(); },
               K(Qt::SHIFT | Qt::Key_Insert));
  pasteAction_ = editorActions_.back();
  EditorAction(edit, tr("&Löschen"), [](EditorWindow* e) { e->DeleteSelection(); },
               K(Qt::CTRL | Qt::Key_Delete));
  deleteAction_ = editorActions_.back();
  edit->addSeparator();
  EditorAction(edit, tr("Alles aus&wählen"), [](EditorWindow* e) { e->selectAll(true); },
               K(Qt::ALT | Qt::Key_Insert));
  EditorAction(edit, tr("Alles lös&chen"), [](EditorWindow* e) { e->ClearAll(); },
               K(Qt::ALT | Qt::Key_Delete));
  edit->addSeparator();
  EditorAction(edit, tr("Einfügen a&us Datei..."), [](EditorWindow* e) { e->InsertFromFileDialog(); },
               K(Qt::CTRL | Qt::Key_R));
  EditorAction(edit, tr("Kopiere&n als Datei..."), [](EditorWindow* e) { e->CopyAsFileDialog(); },
               K(Qt::CTRL | Qt::Key_W));
  EditorAction(edit, tr("Da&tum + Zeit"), [](EditorWindow* e) { e->InsertDateTime(); },
               K(Qt::Key_F5));
  edit->addSeparator();
  EditorAction(edit, tr("&Zwischenablage"),
               [this](EditorWindow*) { StartAccessory("clipbrd.exe", "CLIPBRD.EXE"); });
  QMenu* setMark = edit->addMenu(tr("&Setze Merker"));
  connect(edit, &QMenu::aboutToShow, this, [this] { UpdateEditMenu(); });
  // The state is shown in the open menu; the keys work whenever there is
  // something to do (each command checks for itself).
  connect(edit, &QMenu::aboutToHide, this, [this] {
    for (QAction* a : {cutAction_, copyAction_, pasteAction_, deleteAction_}) a->setEnabled(ActiveEditor() != nullptr);
  });

  // "&Suchen".
  QMenu* search = bar->addMenu(tr("&Suchen"));
  editorMenus_.push_back(search);
  EditorAction(search, tr("&Finden..."), [this](EditorWindow*) { ShowFind(); }, K(Qt::CTRL | Qt::Key_F));
  EditorAction(search, tr("&Ersetzen..."), [this](EditorWindow*) { ShowReplace(); },
               K(Qt::CTRL | Qt::Key_A));
  EditorAction(search, tr("&Weitersuchen"), [this](EditorWindow*) { FindNext(); },
               K(Qt::CTRL | Qt::Key_L));
  findNextAction_ = editorActions_.back();
  EditorAction(search, tr("Gehe zu &Zeile..."), [](EditorWindow* e) { e->GotoLineDialog(); },
               K(Qt::CTRL | Qt::Key_J));
  QMenu* gotoMark = search->addMenu(tr("Gehe zu &Merker"));
  for (int k = 1; k <= 10; ++k) {
    QString caption = "&" + QString::number(k % 10);
    EditorAction(setMark, caption, [k](EditorWindow* e) { e->SetBookmark(k); });
    EditorAction(gotoMark, caption, [k](EditorWindow* e) { e->GotoBookmark(k); });
  }

  // "&Tilmor".
  QMenu* tilmor = bar->addMenu(tr("&Tilmor"));
  editorMenus_.push_back(tilmor);
  EditorAction(tilmor, tr("&Ausführen (Interpreter)"), [this](EditorWindow* e) { RunInterpreter(e); },
               K(Qt::Key_F7));
  EditorAction(tilmor, tr("als Scri&pt-Datei ausführen"), [this](EditorWindow* e) { RunScript(e); });
  EditorAction(tilmor, tr("&Compilieren"), [this](EditorWindow* e) { Compile(e); }, K(Qt::Key_F9));
  EditorAction(tilmor, tr("Sta&rten"), [this](EditorWindow* e) { StartCompiled(e); }, K(Qt::Key_F8));
  tilmor->addSeparator();
  EditorAction(tilmor, tr("&Exe-Datei erstellen..."), [this](EditorWindow* e) { MakeExecutable(e, false); });
  EditorAction(tilmor, tr("&Screensaver erstellen..."), [this](EditorWindow* e) { MakeExecutable(e, true); });

  // "&Optionen".
  QMenu* options = bar->addMenu(tr("&Optionen"));
  editorMenus_.push_back(options);
  toolbarAction_ = Act(options, tr("&Toolbar"), [this] { SetToolbarVisible(!toolbarVisible_); });
  toolbarAction_->setCheckable(true);
  EditorAction(options, tr("Zeilen&umbruch"), [](EditorWindow* e) { e->SetWordWrap(!e->WordWrap()); });
  wrapAction_ = editorActions_.back();
  wrapAction_->setCheckable(true);
  EditorAction(options, tr("Ta&bulator..."), [](EditorWindow* e) { e->TabSizeDialog(); });
  EditorAction(options, tr("&Schrift..."), [](EditorWindow* e) { e->FontDialog(); });
  options->addSeparator();
  EditorAction(options, tr("&Runtime-Modul des Projektes..."), [this](EditorWindow*) { RuntimeModuleDialog(); });
  EditorAction(options, tr("&Include-Pfad..."), [this](EditorWindow*) { IncludePathDialog(); });
  connect(options, &QMenu::aboutToShow, this, [this] {
    toolbarAction_->setChecked(toolbarVisible_);
    EditorWindow* e = ActiveEditor();
    wrapAction_->setChecked(e && e->WordWrap());
  });

  // "&Helfer".
  QMenu* helper = bar->addMenu(tr("&Helfer"));
  Act(helper, tr("Datenbank&struktur"), [this] { StartHelper("STRUKTUR.HLF"); });
  Act(helper, tr("&Tabellen bearbeiten"), [this] { StartHelper("TABELLEN.HLF"); });
  Act(helper, tr("&Fenster gestalten"), [this] { StartHelper("FENSTER.HLF"); });
  Act(helper, tr("&Dialoge gestalten"), [this] { StartHelper("DIALOGE.HLF"); });
  Act(helper, tr("&Menüdesigner"), [this] { StartHelper("MENUE.HLF"); });
  Act(helper, tr("&Benutzermenü"), [this] { StartHelper("BENUTZER.HLF"); });

  // "&Fenster".
  windowMenu_ = bar->addMenu(tr("&Fenster"));
  QMenu* w = windowMenu_;
  Act(w, tr("&Nebeneinander"), [this] { TileSideBySide(); });
  Act(w, tr("&Untereinander"), [this] { TileAbove(); });
  Act(w, tr("&Überlappend"), [this] { mdi_->cascadeSubWindows(); });
  Act(w, tr("&Icons anordnen"), [this] { ArrangeIcons(); });
  Act(w, tr("&Alle schließen"), [this] { CloseAllEditors(); }, K(Qt::CTRL | Qt::Key_F3));
  w->addSeparator();
  Act(w, tr("&Rechner"), [this] { StartAccessory("calc.exe", "CALC.EXE"); });
  Act(w, tr("Ansi-&Tabelle"), [this] { ShowAnsiTable(); });
  Act(w, tr("Termin-&Kalender"), [this] { StartAccessory("calendar.exe", "CALENDAR.EXE"); });
  connect(w, &QMenu::aboutToShow, this, [this] { FillWindowMenu(); });

  // "&?".
  QMenu* h = bar->addMenu(tr("&?"));
  Act(h, tr("&TILMOR²-Hilfe"), [this] { Help()->ShowContents(); }, K(Qt::Key_F1));
  Act(h, tr("&Referenz"), [this] { Help()->ShowKeyword("Referenz"); }, K(Qt::ALT | Qt::Key_F1));
  Act(h, tr("&Kontextabhängig"), [this] { ContextHelp(ActiveEditor()); }, K(Qt::CTRL | Qt::Key_F1));
  Act(h, tr("&Editor"), [this] { Help()->ShowTopic("Editor"); });
  Act(h, tr("&Suche in der Hilfe..."), [this] { Help()->ShowSearch(QString()); });
  Act(h, tr("&Hilfe verwenden"), [this] { Help()->ShowHelpOnHelp(); });
  h->addSeparator();
  Act(h, tr("&Über..."), [this] {
    Ask().Information(this, kAppTitle,
                      tr("ZEL-TILMOR-Editor 5.0a-32\n\nDie Entwicklungsumgebung für TILMOR²-Programme:"
                         "\nBearbeiten, Ausführen, Compilieren und Starten."));
  });
}

void FrameWindow::MergeMenus() {
  if (closing_) return;
  EditorWindow* e = ActiveEditor();
  bool has = e != nullptr;
  frameFileMenu_->menuAction()->setVisible(!has);
  for (QMenu* m : editorMenus_) m->menuAction()->setVisible(has);
  for (QAction* a : editorActions_) a->setEnabled(has);
  findNextAction_->setEnabled(has && searched_);
  wrapAction_->setChecked(has && e->WordWrap());
  UpdateStatus();
}

void FrameWindow::UpdateEditMenu() {
  EditorWindow* e = ActiveEditor();
  bool selection = e && e->hasSelectedText();
  const QMimeData* clip = QApplication::clipboard()->mimeData();
  pasteAction_->setEnabled(e && clip && clip->hasText());
  cutAction_->setEnabled(selection);
  copyAction_->setEnabled(selection);
  deleteAction_->setEnabled(selection);
}

void FrameWindow::FillWindowMenu() {
  for (QAction* a : windowListActions_) {
    windowMenu_->removeAction(a);
    a->deleteLater();
  }
  windowListActions_.clear();
  std::vector<EditorWindow*> editors = Editors();
  if (editors.empty()) return;
  windowListActions_.push_back(windowMenu_->addSeparator());
  EditorWindow* active = ActiveEditor();
  int n = 0;
  for (EditorWindow* e : editors) {
    ++n;
    QString caption = (n < 10 ? "&" + QString::number(n) : QString::number(n)) + " " + e->windowTitle();
    QAction* a = windowMenu_->addAction(caption);
    a->setCheckable(true);
    a->setChecked(e == active);
    connect(a, &QAction::triggered, this, [this, e] {
      for (QMdiSubWindow* s : mdi_->subWindowList())
        if (s->widget() == e) mdi_->setActiveSubWindow(s);
    });
    windowListActions_.push_back(a);
  }
}

QAction* FrameWindow::FindAction(const QString& path) const {
  QStringList parts = path.split('/');
  QList<QAction*> actions = menuBar()->actions();
  QAction* found = nullptr;
  for (const QString& part : parts) {
    found = nullptr;
    for (QAction* a : actions) {
      if (a->text() == part && (a->isVisible() || a->menu() == nullptr)) {
        found = a;
        break;
      }
    }
    if (!found) return nullptr;
    actions = found->menu() ? found->menu()->actions() : QList<QAction*>();
  }
  return found;
}

void FrameWindow::BuildToolBar() {
  toolbar_ = addToolBar(tr("Werkzeuge"));
  toolbar_->setObjectName("toolbar");
  toolbar_->setMovable(false);
  auto button = [this](ToolIcon icon, const QString& hint, std::function<void()> f) {
    QAction* a = toolbar_->addAction(ToolBarIcon(icon, style()), hint);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
  };
  auto onEditor = [this](std::function<void(EditorWindow*)> f) {
    return [this, f = std::move(f)] {
      if (EditorWindow* e = ActiveEditor()) f(e);
    };
  };
  button(ToolIcon::Help, tr("Hilfe zum Editor anzeigen"), [this] { Help()->ShowTopic("Editor"); });
  button(ToolIcon::Open, tr("Datei öffnen"), [this] { OpenFileDialog(); });
  button(ToolIcon::Save, tr("Datei speichern"), onEditor([](EditorWindow* e) { e->Save(); }));
  button(ToolIcon::Undo, tr("Letzte Änderung rückgängig machen"), onEditor([](EditorWindow* e) { e->undo(); }));
  toolbar_->addSeparator();
  button(ToolIcon::Cut, tr("markierten Text ausschneiden und in Zwischenablage speichern"),
         onEditor([](EditorWindow* e) { e->cut(); }));
  button(ToolIcon::Copy, tr("markierten Text in Zwischenablage kopieren"),
         onEditor([](EditorWindow* e) { e->copy(); }));
  button(ToolIcon::Paste, tr("Text aus Zwischenablage einfügen"), onEditor([](EditorWindow* e) { e->paste(); }));
  button(ToolIcon::Find, tr("Textpassage suchen"), onEditor([this](EditorWindow*) { ShowFind(); }));
  toolbar_->addSeparator();
  button(ToolIcon::Cascade, tr("Textfenster hintereinander anordnen"), [this] { mdi_->cascadeSubWindows(); });
  button(ToolIcon::Tile, tr("Textfenster nebeneinander anordnen"), [this] { TileSideBySide(); });
  toolbar_->addSeparator();
  button(ToolIcon::UserMenu, tr("Benutzermenü aufrufen/ändern"), [this] { StartHelper("BENUTZER.HLF"); });
  button(ToolIcon::Run, tr("Programm ausführen (Interpreter)"),
         onEditor([this](EditorWindow* e) { RunInterpreter(e); }));
  button(ToolIcon::Print, tr("Datei drucken"), onEditor([this](EditorWindow* e) { PrintEditor(e); }));
  toolbar_->addSeparator();
  button(ToolIcon::Exit, tr("Programm beenden"), [this] { close(); });
}

}  // namespace ide
