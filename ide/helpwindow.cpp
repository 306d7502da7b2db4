#include "helpwindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "names.h"

namespace ide {
namespace {

constexpr const char* kStartPage = "inhalt.md";
constexpr const char* kHelpOnHelp = "hilfe.md";
constexpr const char* kNameList = "namen:";

}  // namespace

HelpWindow::HelpWindow(QWidget* parent, const QString& directory)
    : QWidget(parent, Qt::Window), reference_(std::make_unique<Reference>(directory)) {
  setWindowTitle(tr("TILMOR²-Hilfe"));
  tabs_ = new QTabWidget(this);

  contents_ = new QListWidget(this);
  for (const ReferencePage& p : reference_->pages()) {
    auto* item = new QListWidgetItem(p.title, contents_);
    item->setData(Qt::UserRole, p.file);
  }
  auto* names = new QListWidgetItem(tr("Alle Befehle, Funktionen und Systemvariablen"), contents_);
  names->setData(Qt::UserRole, QString(kNameList));
  connect(contents_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    QString file = item->data(Qt::UserRole).toString();
    if (file == kNameList)
      ShowNameList();
    else
      OpenPage(file);
  });
  connect(contents_, &QListWidget::itemClicked, contents_, &QListWidget::itemActivated);
  tabs_->addTab(contents_, tr("&Inhalt"));

  auto* indexPage = new QWidget(this);
  indexEdit_ = new QLineEdit(indexPage);
  indexList_ = new QListWidget(indexPage);
  auto* il = new QVBoxLayout(indexPage);
  il->addWidget(new QLabel(tr("Geben Sie die ersten Buchstaben des Wortes ein:"), indexPage));
  il->addWidget(indexEdit_);
  il->addWidget(indexList_);
  connect(indexEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { FillIndex(t); });
  connect(indexEdit_, &QLineEdit::returnPressed, this, [this] {
    if (indexList_->count() > 0) OpenPage(reference_->PageOf(indexList_->item(0)->text()));
  });
  connect(indexList_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { OpenPage(reference_->PageOf(item->text())); });
  connect(indexList_, &QListWidget::itemClicked, indexList_, &QListWidget::itemActivated);
  tabs_->addTab(indexPage, tr("In&dex"));

  auto* searchPage = new QWidget(this);
  searchEdit_ = new QLineEdit(searchPage);
  auto* searchButton = new QPushButton(tr("&Suchen"), searchPage);
  searchList_ = new QListWidget(searchPage);
  auto* sl = new QVBoxLayout(searchPage);
  auto* row = new QHBoxLayout;
  row->addWidget(searchEdit_);
  row->addWidget(searchButton);
  sl->addWidget(new QLabel(tr("Suchen nach Wörtern im Text:"), searchPage));
  sl->addLayout(row);
  sl->addWidget(searchList_);
  connect(searchButton, &QPushButton::clicked, this, [this] { RunSearch(); });
  connect(searchEdit_, &QLineEdit::returnPressed, this, [this] { RunSearch(); });
  connect(searchList_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    OpenPage(item->data(Qt::UserRole).toString());
    // Find the words on the page.
    browser_->find(searchEdit_->text().split(' ', Qt::SkipEmptyParts).value(0));
  });
  connect(searchList_, &QListWidget::itemClicked, searchList_, &QListWidget::itemActivated);
  tabs_->addTab(searchPage, tr("&Suchen"));

  browser_ = new QTextBrowser(this);
  browser_->setSearchPaths({reference_->directory()});
  browser_->setOpenExternalLinks(true);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
    current_ = url.fileName();
  });

  auto* split = new QSplitter(this);
  split->addWidget(tabs_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);
  resize(820, 560);
  FillIndex(QString());
}

void HelpWindow::Present() {
  show();
  raise();
  activateWindow();
}

bool HelpWindow::OpenPage(const QString& file) {
  if (file.isEmpty()) return false;
  bool exists = false;
  for (const ReferencePage& p : reference_->pages()) exists = exists || p.file == file;
  if (!exists) return false;
  browser_->setSource(QUrl::fromLocalFile(reference_->directory() + "/" + file),
                      QTextDocument::MarkdownResource);
  current_ = file;
  return true;
}

void HelpWindow::FillIndex(const QString& prefix) {
  indexList_->clear();
  indexList_->addItems(reference_->KeywordsStartingWith(prefix));
  if (indexList_->count() > 0) indexList_->setCurrentRow(0);
}

void HelpWindow::RunSearch() {
  searchList_->clear();
  QStringList words = searchEdit_->text().split(' ', Qt::SkipEmptyParts);
  for (const ReferencePage& p : reference_->pages()) {
    bool all = !words.isEmpty();
    for (const QString& w : words) all = all && p.text.contains(w, Qt::CaseInsensitive);
    if (!all) continue;
    auto* item = new QListWidgetItem(p.title, searchList_);
    item->setData(Qt::UserRole, p.file);
  }
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  OpenPage(kStartPage);
  Present();
}

void HelpWindow::ShowKeyword(const QString& keyword) {
  QString page = reference_->PageOf(keyword);
  indexEdit_->setText(keyword);
  tabs_->setCurrentIndex(1);
  if (!page.isEmpty()) OpenPage(page);
  Present();
}

void HelpWindow::ShowSearch(const QString& partial) {
  tabs_->setCurrentIndex(1);
  indexEdit_->setText(partial);
  indexEdit_->setFocus();
  QString page = reference_->PageOf(partial);
  if (!partial.isEmpty() && !page.isEmpty()) OpenPage(page);
  Present();
}

void HelpWindow::ShowTopic(const QString& topic) {
  QString page = reference_->PageOf(topic);
  if (!page.isEmpty()) OpenPage(page);
  Present();
}

void HelpWindow::ShowHelpOnHelp() {
  OpenPage(kHelpOnHelp);
  Present();
}

QString HelpWindow::NameListHtml() const {
  auto section = [this](const QString& title, const std::vector<std::string>& names, const QString& prefix) {
    QString html = "<h2>" + title.toHtmlEscaped() + "</h2><p>";
    for (const std::string& n : names) {
      QString name = prefix + QString::fromStdString(n);
      QString page = reference_->PageOf(name);
      if (page.isEmpty())
        html += name.toHtmlEscaped();
      else
        html += "<a href=\"" + page + "\">" + name.toHtmlEscaped() + "</a>";
      html += " &nbsp; ";
    }
    return html + "</p>";
  };
  QString html = "<h1>" + tr("Alle Befehle, Funktionen und Systemvariablen").toHtmlEscaped() + "</h1>";
  html += "<p>" + tr("Die Namen, die der Interpreter kennt. Verweise führen zur Beschreibung.").toHtmlEscaped() +
          "</p>";
  html += section(tr("Befehle"), tilmor::CommandWords(), "");
  html += section(tr("Funktionen"), tilmor::FunctionNames(), "@");
  html += section(tr("Systemvariablen"), tilmor::SystemVariableNamesKnown(), "");
  return html;
}

void HelpWindow::ShowNameList() {
  browser_->setHtml(NameListHtml());
  current_.clear();
  Present();
}

}  // namespace ide
