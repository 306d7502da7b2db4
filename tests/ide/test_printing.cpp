// Printing with line numbers: the printed lines, the selection rule, and a
// real print to a PDF file.
#include <QComboBox>
#include <QPrinter>
#include <QRadioButton>
#include <regex>
#include <cstdlib>
#include <filesystem>

#include "ide_test.h"
#include "printersetup.h"
#include "printing.h"

namespace idetest {
namespace {

TEST(PrintedLines, NumbersRightAlignedInSixCharacters) {
  QStringList lines{"PRINT 1", "", "END"};
  EXPECT_EQ(ide::PrintedLines(lines, std::nullopt, 8),
            (QStringList{"     1: PRINT 1", "     2: ", "     3: END"}));
  EXPECT_EQ(ide::PrintedLines(QStringList(100000, "x"), std::nullopt, 8)[99999], "100000: x")
      << "wider numbers are not cut";
}

TEST(PrintedLines, TheSelectionRule) {
  QStringList lines{"eins zwei", "drei vier", "fünf sechs", "sieben"};
  // From line 2 column 5 to line 3 column 4.
  ide::TextSelection s{1, 5, 2, 4};
  EXPECT_EQ(ide::PrintedLines(lines, s, 8), (QStringList{"     2:      vier", "     3: fünf"}));
  // Within one line.
  ide::TextSelection one{0, 2, 0, 6};
  EXPECT_EQ(ide::PrintedLines(lines, one, 8), (QStringList{"     1:   ns z"}));
}

TEST(PrintedLines, TabsBecomeBlanks) {
  QStringList lines{"\tA\tB", "x\ty"};
  EXPECT_EQ(ide::PrintedLines(lines, std::nullopt, 4), (QStringList{"     1:     A   B", "     2: x   y"}));
  // Before the selection a tab keeps its width as blanks.
  ide::TextSelection s{0, 2, 1, 2};
  EXPECT_EQ(ide::PrintedLines(lines, s, 4), (QStringList{"     1: " + QString(8, ' ') + "B", "     2: x   "}));
}

class PrintTest : public IdeTest {
 protected:
  std::string PdfText(const std::string& pdf) {
    std::string txt = pdf + ".txt";
    std::string cmd = "pdftotext -layout '" + pdf + "' '" + txt + "' 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return "<pdftotext failed>";
    return Read(txt);
  }
};

TEST_F(PrintTest, APrintToPdfWithLineNumbersAndTheSelection) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftotext is missing (scripts/install-deps.sh installs poppler-utils)";
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("PRINT \"eins\"\r\nPRINT \"zwei\"\r\nEND\r\n");
  std::string pdf = Path("alles.pdf");
  bool selectionOffered = true;
  prompts_.print = [&](QPrinter& printer, const ide::PrintRequest& r) {
    selectionOffered = r.selectionAvailable;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    return std::optional<ide::PrintChoice>(ide::PrintChoice{false});
  };
  frame_->FindAction("&Datei/&Drucken...")->trigger();
  EXPECT_FALSE(selectionOffered) << "no selection, no choice of it";
  std::string text = PdfText(pdf);
  EXPECT_NE(text.find("1: PRINT \"eins\""), std::string::npos) << text;
  EXPECT_NE(text.find("2: PRINT \"zwei\""), std::string::npos) << text;
  EXPECT_NE(text.find("3: END"), std::string::npos) << text;

  e->setSelection(1, 7, 2, 2);
  pdf = Path("auswahl.pdf");
  prompts_.print = [&](QPrinter& printer, const ide::PrintRequest& r) {
    selectionOffered = r.selectionAvailable;
    printer.setOutputFileName(QString::fromStdString(pdf));
    return std::optional<ide::PrintChoice>(ide::PrintChoice{true});
  };
  frame_->PrintEditor(e);
  EXPECT_TRUE(selectionOffered);
  text = PdfText(pdf);
  EXPECT_EQ(text.find("eins"), std::string::npos) << text;
  EXPECT_EQ(text.find("PRINT"), std::string::npos) << "before the selection: blanks\n" << text;
  EXPECT_NE(text.find("2:"), std::string::npos) << text;
  // Blanks for PRINT "; pdftotext gives their width only roughly.
  EXPECT_TRUE(std::regex_search(text, std::regex("2: +zwei\""))) << text;
  EXPECT_NE(text.find("3: EN"), std::string::npos) << text;
  EXPECT_EQ(text.find("END"), std::string::npos) << "the last line ends at the selection\n" << text;
}

TEST_F(PrintTest, ACancelledPrintDialogPrintsNothing) {
  Frame();
  frame_->NewFile()->setText("x");
  prompts_.print = [](QPrinter& printer, const ide::PrintRequest&) {
    printer.setOutputFileName("/nonexistent/never.pdf");
    return std::optional<ide::PrintChoice>();
  };
  frame_->PrintEditor(frame_->ActiveEditor());
  EXPECT_FALSE(std::filesystem::exists("/nonexistent/never.pdf"));
  frame_->FindAction("&Datei/D&rucker einrichten...")->trigger();
  EXPECT_EQ(prompts_.log.back(), "[Druckereinrichtung]");
}

TEST_F(PrintTest, OnlyThePagesChosenInThePrintDialog) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0 ||
      std::system("command -v pdfinfo >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "poppler-utils are missing (scripts/install-deps.sh installs them)";
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  QString text;
  for (int i = 1; i <= 400; ++i) text += QString("Zeile %1\r\n").arg(i);
  e->setText(text);
  std::string pdf = Path("seiten.pdf");
  int perPage = 0, offered = 0;
  prompts_.print = [&](QPrinter& printer, const ide::PrintRequest& r) {
    offered = r.pageCount;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    perPage = ide::LinesPerPage(printer, e->lexer()->defaultFont(0));
    printer.setFromTo(2, 3);
    return std::optional<ide::PrintChoice>(ide::PrintChoice{false});
  };
  frame_->FindAction("&Datei/&Drucken...")->trigger();
  ASSERT_GT(perPage, 10);
  EXPECT_EQ(offered, (401 + perPage - 1) / perPage) << "the dialog offers every page of the text";
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + pdf + ".info'").c_str()), 0);
  EXPECT_NE(Read("seiten.pdf.info").find("Pages:           2"), std::string::npos) << Read("seiten.pdf.info");
  std::string printed = PdfText(pdf);
  auto has = [&](int line) {
    // pdftotext drops the blanks a whole page begins its lines with.
    return std::regex_search(printed, std::regex("(^|\\s)" + std::to_string(line) + ": Zeile " + std::to_string(line) + "\\b"));
  };
  EXPECT_FALSE(has(perPage)) << "page 1 is left out";
  EXPECT_TRUE(has(perPage + 1));
  EXPECT_TRUE(has(3 * perPage));
  EXPECT_FALSE(has(3 * perPage + 1)) << "so is page 4";
}

TEST_F(PrintTest, TheSetUpChoosesPaperAndOrientationForTheNextPrint) {
  if (std::system("command -v pdfinfo >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdfinfo is missing (scripts/install-deps.sh installs poppler-utils)";
  Frame();
  frame_->NewFile()->setText("PRINT 1\r\n");
  auto choose = [](QPrinter& printer, QPageSize::PageSizeId paper, bool wide, bool ok) {
    ide::PrinterSetupDialog d(nullptr, printer);
    int at = d.papers()->findData(static_cast<int>(paper));
    if (at < 0) return false;
    d.papers()->setCurrentIndex(at);
    (wide ? d.landscape() : d.portrait())->setChecked(true);
    if (ok)
      d.accept();
    else
      d.reject();
    return ok;
  };
  prompts_.setup = [&](QPrinter& p) { return choose(p, QPageSize::A5, true, true); };
  frame_->FindAction("&Datei/D&rucker einrichten...")->trigger();
  // Cancelled: the choice before stays.
  prompts_.setup = [&](QPrinter& p) { return choose(p, QPageSize::Letter, false, false); };
  frame_->FindAction("&Datei/D&rucker einrichten...")->trigger();

  std::string pdf = Path("a5.pdf");
  prompts_.print = [&](QPrinter& printer, const ide::PrintRequest&) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    return std::optional<ide::PrintChoice>(ide::PrintChoice{false});
  };
  frame_->FindAction("&Datei/&Drucken...")->trigger();
  ASSERT_EQ(std::system(("pdfinfo '" + pdf + "' > '" + pdf + ".info'").c_str()), 0);
  std::string info = Read("a5.pdf.info");
  // A5 across: 210 x 148 mm.
  EXPECT_TRUE(std::regex_search(info, std::regex("Page size: +595[.0-9]* x 4(19|20)[.0-9]* pts"))) << info;

  // The dialog opens with what the printer has now.
  QPrinter printer;
  printer.setPageSize(QPageSize(QPageSize::Legal));
  printer.setPageOrientation(QPageLayout::Landscape);
  ide::PrinterSetupDialog d(nullptr, printer);
  EXPECT_EQ(d.papers()->currentData().toInt(), static_cast<int>(QPageSize::Legal));
  EXPECT_TRUE(d.landscape()->isChecked());
  EXPECT_FALSE(d.portrait()->isChecked());
}

}  // namespace
}  // namespace idetest
