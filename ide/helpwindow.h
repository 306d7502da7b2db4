// The help window: the reference pages with contents, keyword index and
// text search, and the list of every name the interpreter knows.
#pragma once

#include <QWidget>
#include <memory>

#include "reference.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

namespace ide {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(QWidget* parent = nullptr, const QString& directory = Reference::DefaultDirectory());

  // The help calls of the menus.
  void ShowContents();
  // A keyword (exact): its page, else the index at the keyword.
  void ShowKeyword(const QString& keyword);
  // A partial keyword: the index at it, and the page when one keyword is it.
  void ShowSearch(const QString& partial);
  void ShowTopic(const QString& topic);
  void ShowHelpOnHelp();

  const Reference& reference() const { return *reference_; }
  QTextBrowser* browser() const { return browser_; }
  QTabWidget* tabs() const { return tabs_; }
  QLineEdit* indexEdit() const { return indexEdit_; }
  QListWidget* indexList() const { return indexList_; }
  QLineEdit* searchEdit() const { return searchEdit_; }
  QListWidget* searchList() const { return searchList_; }
  // The file shown ("" for the generated list of names).
  QString CurrentPage() const { return current_; }
  bool OpenPage(const QString& file);
  void ShowNameList();
  // The list of names as HTML (each name linked to its page when it has one).
  QString NameListHtml() const;

 private:
  void Present();
  void FillIndex(const QString& prefix);
  void RunSearch();

  std::unique_ptr<Reference> reference_;
  QTabWidget* tabs_;
  QListWidget* contents_;
  QLineEdit* indexEdit_;
  QListWidget* indexList_;
  QLineEdit* searchEdit_;
  QListWidget* searchList_;
  QTextBrowser* browser_;
  QString current_;
};

}  // namespace ide
