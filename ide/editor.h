// An editor window: one text file in the editor control, with bookmarks,
// search, the two key tables and the file commands of its menu.
#pragma once

#include "qsci.h"

#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "keytable.h"
#include "settings.h"
#include "wintext.h"

class QMenu;

namespace ide {

class TilmorLexer;
class EditorWindow;

// What an editor window asks of the frame.
class EditorHost {
 public:
  enum class Request { Find, Replace, FindNext, ContextHelp, RunInterpreter, Status };
  virtual ~EditorHost() = default;
  virtual std::string DialogFilter() const = 0;  // Windows-1252
  virtual void EditorRequest(EditorWindow* editor, Request request) = 0;
  // Keys the frame's menus own; the editor's key tables leave them alone.
  virtual bool IsMenuShortcut(QKeyCombination key) const = 0;
};

struct SearchOptions {
  QString text;
  bool matchCase = false;
  bool wholeWord = false;
  bool backwards = false;
};

class EditorWindow : public QsciScintilla {
 public:
  static constexpr const char* kNewName = "OhneName";

  EditorWindow(EditorHost* host, const QString& fileName, QWidget* parent = nullptr);
  ~EditorWindow() override;

  const QString& fileName() const { return fileName_; }
  bool IsNew() const { return fileName_ == kNewName; }

  // Loads the named file; false (nothing changed) when it cannot be read.
  bool LoadFile(const QString& name);
  // "Datei speichern": a new window goes through SaveAs.
  bool Save();
  // "Datei speichern als...": false when cancelled or not written.
  bool SaveAs();
  bool WriteTo(const QString& name);
  // The question before closing a modified window; false for Cancel (or a
  // failed save).
  bool QueryClose();
  // Closing without asking again (the frame asked already).
  void SetCloseConfirmed(bool confirmed) { closeConfirmed_ = confirmed; }

  // 1-based cursor line and column.
  int CursorLine() const;
  int CursorColumn() const;
  QString StatusPosition() const;  // "line :  column"

  // Bookmarks 1 to 10 (the item "&0" is 10).
  void SetBookmark(int k);
  bool GotoBookmark(int k);
  // "Gehe zu &Zeile...": the input box, then GotoLine.
  void GotoLineDialog();
  void GotoLine(int line);

  void InsertDateTime();
  static QString DateTimeText();
  void InsertFromFileDialog();
  bool InsertFile(const QString& name);
  void CopyAsFileDialog();
  bool WriteSelectedLines(const QString& name);
  void DeleteSelection();
  void ClearAll();

  void SetWordWrap(bool on);
  bool WordWrap() const { return wrap_; }
  void SetTabSize(int tab);
  void TabSizeDialog();
  void ApplyFont(const FontSetting& f);
  void FontDialog();
  const FontSetting& Font() const { return font_; }

  // Selects the next match from the cursor; false when there is none.
  bool Find(const SearchOptions& o);
  bool ReplaceOne(const SearchOptions& o, const QString& with);
  int ReplaceAll(const SearchOptions& o, const QString& with);

  // The editor's own context menu (a new menu each time).
  QMenu* CreateContextMenu(QWidget* parent);
  // Runs a command of the key tables.
  void Execute(EditorCommand c, int argument = 0);

  // The lines of the text, without line ends.
  QStringList Lines() const;
  // Selection as 0-based line/index pairs; false without one.
  bool Selection(int& lineFrom, int& indexFrom, int& lineTo, int& indexTo) const;

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  static bool ReadNamed(const QString& name, std::string& bytes);
  bool WriteNamed(const QString& name, const QString& content);
  void Configure();
  void UpdateCaret();
  void Status();
  void DropControlBindings();
  long SearchFlags(const SearchOptions& o) const;
  // Byte range of the next match in the direction asked, from `from`.
  bool Search(const SearchOptions& o, long from, long& matchStart, long& matchEnd);

  EditorHost* host_;
  QString fileName_;
  FileEncoding encoding_ = FileEncoding::Cp1252;
  TilmorLexer* lexer_;
  FontSetting font_;
  bool wrap_ = false;
  bool closeConfirmed_ = false;
  int prefix_ = 0;                 // first key of a two-key command
  std::array<int, 11> bookmarkColumn_{};
  // WordStar block marks: they stay while the cursor moves and follow edits.
  long blockBegin_ = -1, blockEnd_ = -1;
  int blockIndicator_ = -1;
  bool BlockMarked() const { return blockBegin_ >= 0 && blockEnd_ > blockBegin_; }
  void ShowBlock();
  void FollowEdit(int position, int type, int length);
};

}  // namespace ide
