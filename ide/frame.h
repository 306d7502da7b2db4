// The frame window of the editor: the editor windows in a multi-document
// area, the menus (the active editor's merged in), the tool bar, the
// status bar, the project and the settings in TILMED32.INI.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor.h"
#include "settings.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QPrinter;

namespace ide {

class FindDialog;
class ReplaceDialog;
class HelpWindow;

constexpr const char* kAppTitle = "ZEL-TILMOR-Editor 5.0a-32";

class FrameWindow : public QMainWindow, public EditorHost {
 public:
  // `programDir`: where the editor's own programs lie (Windows-1252, with
  // a separator at the end); "" for the running program's directory.
  explicit FrameWindow(const std::string& programDir = {});
  ~FrameWindow() override;

  // After show(): the project of the settings without arguments, else each
  // argument in order ("@name" a project, any other a file).
  void Start(const QStringList& arguments);

  // EditorHost
  std::string DialogFilter() const override { return filter_; }
  void EditorRequest(EditorWindow* editor, Request request) override;
  bool IsMenuShortcut(QKeyCombination key) const override;

  // State, for the menus and the tests.
  EditorWindow* ActiveEditor() const;
  std::vector<EditorWindow*> Editors() const;  // in creation order
  const std::string& ProjectName() const { return project_; }
  const std::string& WorkingDirectory() const { return workdir_; }
  const std::string& RuntimeModule() const { return runtime_; }
  const std::string& ProgramDir() const { return programDir_; }
  bool ToolbarVisible() const { return toolbarVisible_; }
  QToolBar* ToolBar() const { return toolbar_; }
  QMdiArea* Area() const { return mdi_; }
  // The texts of the three status panels.
  QStringList StatusTexts() const;
  // The action of a menu item by its caption path ("&Datei/Datei &öffnen...").
  QAction* FindAction(const QString& path) const;

  // File commands.
  EditorWindow* NewFile();
  EditorWindow* OpenFile(const QString& name);
  void OpenFileDialog();
  bool CloseAllEditors();

  // Projects.
  void OpenProject(const std::string& name);
  void SaveProject(const std::string& name) const;
  void NewProject();
  void OpenProjectDialog();
  void SaveProjectAsDialog();
  void CloseProject();

  // The question before tools: false when cancelled.
  bool AskSaveAll();
  // Tools of the "&Tilmor" menu for an editor window.
  void RunInterpreter(EditorWindow* e);
  void RunScript(EditorWindow* e);
  void Compile(EditorWindow* e);
  void StartCompiled(EditorWindow* e);
  void MakeExecutable(EditorWindow* e, bool screenSaver);
  // Helper programs, accessories and "Programm aufrufen...".
  void StartHelper(const std::string& file);
  void StartAccessory(const std::string& program, const std::string& shown);
  void CallProgramDialog();

  // Options.
  void SetToolbarVisible(bool visible);
  void RuntimeModuleDialog();
  void IncludePathDialog();

  // Searching in the active window.
  void ShowFind();
  void ShowReplace();
  void FindNext();
  bool FindInEditor(EditorWindow* e, bool showMessage = true);
  void ReplaceInEditor(EditorWindow* e, bool all);
  FindDialog* Finder() const { return findDialog_; }
  ReplaceDialog* Replacer() const { return replaceDialog_; }
  SearchOptions& Search() { return search_; }
  QString& ReplaceText() { return replaceText_; }

  // Printing.
  void PrinterSetup();
  void PrintEditor(EditorWindow* e);
  QPrinter& Printer();

  // Help.
  HelpWindow* Help();
  void ContextHelp(EditorWindow* e);

  // Windows.
  void TileSideBySide();
  void TileAbove();
  void ArrangeIcons();
  void ShowAnsiTable();

  void UpdateStatus();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Tile(Qt::Orientation along);
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  QAction* Act(QMenu* menu, const QString& caption, std::function<void()> f,
               const QKeySequence& key = {});
  void EditorAction(QMenu* menu, const QString& caption, std::function<void(EditorWindow*)> f,
                    const QKeySequence& key = {});
  void MergeMenus();
  void FillWindowMenu();
  void UpdateEditMenu();
  EditorWindow* AddEditor(EditorWindow* e);
  void WriteSettings();
  void Launch(const std::string& commandLine);

  std::string programDir_;
  std::string workdir_;
  std::string runtime_;
  std::string project_;
  std::string filter_;
  bool toolbarVisible_ = true;

  QMdiArea* mdi_;
  QToolBar* toolbar_ = nullptr;
  QLabel* statusPos_ = nullptr;
  QLabel* statusModified_ = nullptr;
  QLabel* statusProject_ = nullptr;

  QMenu* frameFileMenu_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  std::vector<QMenu*> editorMenus_;
  std::vector<QAction*> editorActions_;  // enabled with an editor
  std::vector<QAction*> windowListActions_;
  QAction* findNextAction_ = nullptr;
  QAction* toolbarAction_ = nullptr;
  QAction* wrapAction_ = nullptr;
  QAction* cutAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* deleteAction_ = nullptr;
  std::set<int> menuKeys_;

  SearchOptions search_;
  QString replaceText_;
  bool searched_ = false;
  FindDialog* findDialog_ = nullptr;
  ReplaceDialog* replaceDialog_ = nullptr;
  QPrinter* printer_ = nullptr;
  HelpWindow* help_ = nullptr;
  QWidget* ansiTable_ = nullptr;
  bool closing_ = false;
};

}  // namespace ide
