// Context help: the word at the cursor, and the help window it opens.
#include <QLineEdit>
#include <map>
#include <QToolBar>
#include <QRegularExpression>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBrowser>

#include "contexthelp.h"
#include "helpwindow.h"
#include "ide_test.h"
#include "names.h"

namespace idetest {
namespace {

using ide::ContextWord;

TEST(ContextWord, InsideAFunctionName) {
  // Cursor inside LEN: the scan stops at "@" and at "(".
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 8), "LEN");
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 7), "LEN") << "right after the @";
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 10), "LEN") << "at the parenthesis";
}

TEST(ContextWord, TheWordRule) {
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 3), "PRINT");
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 0), "PRINT");
  EXPECT_EQ(ContextWord("PRINT @LEN(A$)", 12), "A$") << "$ is no delimiter";
  EXPECT_EQ(ContextWord("X%=@ADD(X%,1)", 9), "X%");
  EXPECT_EQ(ContextWord("A.B", 1), "A") << "the point delimits";
  EXPECT_EQ(ContextWord("MY_VAR", 4), "VAR") << "so does the underscore";
  EXPECT_EQ(ContextWord("  PRINT", 1), "") << "blanks hold no word";
  EXPECT_EQ(ContextWord("IF \"TEXT\"", 5), "TEXT");
  EXPECT_EQ(ContextWord("WAITKEY", 99), "WAITKEY") << "a column past the end";
  EXPECT_EQ(ContextWord("", 0), "");
}

TEST(ContextWord, OnlyTheFirst255CharactersCount) {
  std::string line(254, ' ');
  line += "ABCDEF";
  EXPECT_EQ(ContextWord(line, 256), "A");
}

class HelpTest : public IdeTest {};

TEST_F(HelpTest, ContextHelpAsksForTheWordAtTheCursor) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("PRINT @LEN(A$)\r\n");
  e->setCursorPosition(0, 8);
  frame_->FindAction("&?/&Kontextabhängig")->trigger();
  ide::HelpWindow* h = frame_->Help();
  EXPECT_TRUE(h->isVisible());
  EXPECT_EQ(h->tabs()->currentIndex(), 1);
  EXPECT_EQ(h->indexEdit()->text(), "LEN");
  EXPECT_EQ(h->CurrentPage(), h->reference().PageOf("@LEN"));
  EXPECT_FALSE(h->CurrentPage().isEmpty()) << "@LEN has a page";
}

TEST_F(HelpTest, TheMenuItemsOfHelp) {
  Frame();
  ide::HelpWindow* h = frame_->Help();
  frame_->FindAction("&?/&TILMOR²-Hilfe")->trigger();
  EXPECT_EQ(h->CurrentPage(), "inhalt.md");
  EXPECT_EQ(h->tabs()->currentIndex(), 0);
  frame_->FindAction("&?/&Referenz")->trigger();
  EXPECT_EQ(h->CurrentPage(), h->reference().PageOf("Referenz"));
  EXPECT_FALSE(h->CurrentPage().isEmpty());
  frame_->FindAction("&?/&Editor")->trigger();
  EXPECT_EQ(h->CurrentPage(), "editor.md");
  frame_->FindAction("&?/&Hilfe verwenden")->trigger();
  EXPECT_EQ(h->CurrentPage(), "hilfe.md");
  frame_->FindAction("&?/&Suche in der Hilfe...")->trigger();
  EXPECT_EQ(h->tabs()->currentIndex(), 1);
  EXPECT_EQ(h->indexEdit()->text(), "");
  for (QAction* a : frame_->ToolBar()->actions())
    if (a->toolTip() == "Hilfe zum Editor anzeigen") a->trigger();
  EXPECT_EQ(h->CurrentPage(), "editor.md");
}

TEST_F(HelpTest, TheIndexFiltersAndOpens) {
  ide::HelpWindow h(nullptr);
  h.indexEdit()->setText("dec");
  ASSERT_GT(h.indexList()->count(), 0);
  for (int i = 0; i < h.indexList()->count(); ++i)
    EXPECT_TRUE(h.indexList()->item(i)->text().startsWith("DEC", Qt::CaseInsensitive));
  Q_EMIT h.indexList()->itemActivated(h.indexList()->item(0));
  EXPECT_EQ(h.CurrentPage(), h.reference().PageOf(h.indexList()->item(0)->text()));
  EXPECT_TRUE(h.browser()->toPlainText().contains(h.indexList()->item(0)->text(), Qt::CaseInsensitive));
}

TEST_F(HelpTest, TheTextSearch) {
  ide::HelpWindow h(nullptr);
  h.searchEdit()->setText("Zeilennummer");
  Q_EMIT h.searchEdit()->returnPressed();
  ASSERT_GT(h.searchList()->count(), 0);
  for (int i = 0; i < h.searchList()->count(); ++i) {
    QString file = h.searchList()->item(i)->data(Qt::UserRole).toString();
    bool contains = false;
    for (const ide::ReferencePage& p : h.reference().pages())
      if (p.file == file) contains = p.text.contains("Zeilennummer", Qt::CaseInsensitive);
    EXPECT_TRUE(contains) << file.toStdString();
  }
  h.searchEdit()->setText("kommtnirgendsvorxyz");
  Q_EMIT h.searchEdit()->returnPressed();
  EXPECT_EQ(h.searchList()->count(), 0);
}

TEST_F(HelpTest, EveryLinkOfTheReferenceLeadsToAPage) {
  ide::Reference r(QString::fromStdString(SourceDir() + "/docs/reference"));
  ASSERT_GT(r.pages().size(), 5u);
  QRegularExpression link("\\]\\(([^)#]+\\.md)(#[^)]*)?\\)");
  for (const ide::ReferencePage& p : r.pages()) {
    EXPECT_FALSE(p.keywords.isEmpty()) << p.file.toStdString() << " has no keywords";
    for (auto it = link.globalMatch(p.text); it.hasNext();) {
      QString target = it.next().captured(1);
      EXPECT_FALSE(r.TitleOf(target).isEmpty()) << p.file.toStdString() << " links to " << target.toStdString();
    }
  }
}

TEST_F(HelpTest, EveryDescribedNameIsANameTheInterpreterKnows) {
  // A documented name that the interpreter does not know would mislead.
  ide::HelpWindow h(nullptr);
  QString list = h.NameListHtml();
  int names = 0;
  for (const ide::ReferencePage& p : h.reference().pages()) {
    for (const QString& k : p.names) {
      ++names;
      EXPECT_TRUE(list.contains(">" + k.toHtmlEscaped() + "</a>"))
          << k.toStdString() << " of " << p.file.toStdString() << " is not in the list of names";
    }
  }
  EXPECT_GT(names, 140);
}

TEST_F(HelpTest, EveryNameTheInterpreterKnowsIsDescribed) {
  // A name added to the interpreter needs its page; Ctrl+F1 on it would
  // otherwise find nothing.
  ide::HelpWindow h(nullptr);
  auto check = [&](const std::vector<std::string>& names, const char* prefix) {
    for (const std::string& n : names) {
      QString name = prefix + QString::fromStdString(n);
      EXPECT_FALSE(h.reference().PageOf(name).isEmpty()) << name.toStdString() << " has no page";
    }
  };
  check(tilmor::CommandWords(), "");
  check(tilmor::FunctionNames(), "@");
  check(tilmor::SystemVariableNamesKnown(), "");
}

TEST_F(HelpTest, EveryNameIsListedOnOnePage) {
  // Two pages naming one word: the index would open only the first.
  std::map<QString, QString> seen;
  ide::Reference r(QString::fromStdString(SourceDir() + "/docs/reference"));
  for (const ide::ReferencePage& p : r.pages())
    for (const QString& k : p.names) {
      auto [it, fresh] = seen.emplace(k.toUpper(), p.file);
      EXPECT_TRUE(fresh) << k.toStdString() << " on " << it->second.toStdString() << " and "
                         << p.file.toStdString();
    }
}

TEST_F(HelpTest, TheNameListComesFromTheInterpreter) {
  ide::HelpWindow h(nullptr);
  QString html = h.NameListHtml();
  for (const char* name : {"PRINT", "WAITKEY", "@LEN", "@MID$", "%ERROR", "$TILMVER", "WHILE"})
    EXPECT_TRUE(html.contains(name)) << name;
  EXPECT_TRUE(html.contains("<a href=\"" + h.reference().PageOf("PRINT") + "\">PRINT</a>"));
}

}  // namespace
}  // namespace idetest
