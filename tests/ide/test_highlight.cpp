// The highlighting of program lines, and its agreement with the names the
// interpreter knows.
#include "highlight.h"
#include "ide_test.h"
#include "lexer.h"
#include "names.h"

namespace idetest {
namespace {

using ide::ClassifyLine;
using ide::Style;

// The style of each character, one letter per style ("." plain).
std::string Styles(std::string_view line, bool continued = false) {
  static const char kLetters[] = ".CKFSstLDN";
  std::string out(line.size(), '.');
  for (const ide::Span& s : ClassifyLine(line, continued).spans)
    for (int i = s.start; i < s.start + s.length; ++i) out[static_cast<size_t>(i)] = kLetters[static_cast<int>(s.style)];
  return out;
}

TEST(Highlight, CommandStringNumberAndComment) {
  EXPECT_EQ(Styles("PRINT \"it's\" ' Bemerkung"),
               "CCCCC.ssssss.ttttttttttt");
  EXPECT_EQ(Styles("print 12, 3.5"), "CCCCC.NN..NNN");
  EXPECT_EQ(Styles("' ganz"), "tttttt");
  EXPECT_EQ(Styles("REM alles"), "ttttttttt");
}

TEST(Highlight, TheCommentRuleOfTheLoader) {
  // Apostrophes inside parentheses do not start a comment.
  EXPECT_EQ(Styles("@X(',') 'c"), "........tt");
  EXPECT_EQ(Styles("PRINT \"'\" ' c"), "CCCCC.sss.ttt");
}

TEST(Highlight, FunctionsAndSystemVariables) {
  EXPECT_EQ(Styles("LET A% = @LEN(B$)"), "CCC......FFFF....");
  EXPECT_EQ(Styles("PRINT %ERROR, $TILMVER"), "CCCCC.SSSSSS..SSSSSSSS");
  EXPECT_EQ(Styles("PRINT @NOSUCH(1), %NOSUCH"), "CCCCC.........N..........") << "unknown names stay plain";
  EXPECT_EQ(Styles("PRINT A%, B$"), "CCCCC.......") << "variables are no system variables";
  EXPECT_EQ(Styles("PRINT @$(1)"), "CCCCC.FF.N.") << "parameter functions";
  EXPECT_EQ(Styles("PRINT $1F"), "CCCCC.NNN") << "$ with hexadecimal digits is a number";
  EXPECT_EQ(Styles("PRINT $FF, $C0DE"), "CCCCC.NNN..NNNNN") << "also when the first digit is a letter";
  EXPECT_EQ(Styles("PRINT $FG"), "CCCCC....") << "not all hexadecimal: a plain name";
}

TEST(Highlight, KeywordsLabelsAndProcedures) {
  EXPECT_EQ(Styles("WHILE @LT(I%,3)"), "KKKKK.FFF....N.");
  EXPECT_EQ(Styles("ANFANG:"), "LLLLLLL");
  EXPECT_EQ(Styles("GOTO ANFANG"), "KKKK.......");
  EXPECT_EQ(Styles("MEINEPROC 1"), "..........N") << "a procedure call is no command";
  EXPECT_EQ(Styles("@MEINE(1)"), ".......N.") << "nor a user function";
  EXPECT_EQ(Styles("CASE @EQU(A%,1): PRINT 1"), "KKKK.FFFF....N...CCCCC.N");
}

TEST(Highlight, Directives) {
  EXPECT_EQ(Styles("$I lib.inc"), "DDDDDDDDDD");
  EXPECT_EQ(Styles("$i lib.inc"), "..........") << "only the exact include directive";
  EXPECT_EQ(Styles("$P+"), "DDD");
  EXPECT_EQ(Styles("$o+"), "DDD") << "operator mode in any case";
}

TEST(Highlight, ContinuationLinesJoin) {
  ide::LineStyle first = ClassifyLine("PRINT 1,\\", false);
  EXPECT_TRUE(first.continues);
  // The joined part is parameters: no command word, no comment.
  EXPECT_EQ(Styles("  PRINT 'x'", true), "...........");
  EXPECT_FALSE(ClassifyLine("  2", true).continues);
  EXPECT_TRUE(ClassifyLine("  2,\\", true).continues);
  EXPECT_TRUE(ClassifyLine("PRINT 1,\\ ' Bemerkung", false).continues) << "the comment goes first";
}

TEST(Highlight, EveryNameOfTheInterpreterIsHighlighted) {
  for (const std::string& w : tilmor::CommandWords()) {
    if (w == "REM" || w == "CASE" || w == "CASENOT") continue;
    std::string line = w + " 1";
    ide::LineStyle s = ClassifyLine(line, false);
    ASSERT_FALSE(s.spans.empty()) << w;
    EXPECT_EQ(s.spans[0].start, 0) << w;
    EXPECT_EQ(s.spans[0].length, static_cast<int>(w.size())) << w;
    EXPECT_TRUE(s.spans[0].style == Style::Command || s.spans[0].style == Style::Keyword) << w;
  }
  for (const std::string& f : tilmor::FunctionNames()) {
    std::string line = "PRINT @" + f + "(1)";
    bool found = false;
    for (const ide::Span& s : ClassifyLine(line, false).spans)
      found = found || (s.start == 6 && s.length == static_cast<int>(f.size()) + 1 && s.style == Style::Function);
    EXPECT_TRUE(found) << f;
  }
  for (const std::string& v : tilmor::SystemVariableNamesKnown()) {
    std::string line = "PRINT " + v;
    bool found = false;
    for (const ide::Span& s : ClassifyLine(line, false).spans)
      found = found || (s.start == 6 && s.length == static_cast<int>(v.size()) && s.style == Style::SystemVariable);
    EXPECT_TRUE(found) << v;
  }
  EXPECT_GT(tilmor::CommandWords().size(), 100u);
  EXPECT_GT(tilmor::FunctionNames().size(), 100u);
  EXPECT_GT(tilmor::SystemVariableNamesKnown().size(), 20u);
}

class LexerTest : public IdeTest {};

TEST_F(LexerTest, TheEditorStylesWithTheLexer) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("PRINT 1,\\\r\n 'x'\r\nEND ' Ende\r\n");
  e->recolor();
  auto styleAt = [e](int line, int index) {
    long pos = e->positionFromLineIndex(line, index);
    return static_cast<int>(e->SendScintilla(QsciScintilla::SCI_GETSTYLEAT, pos));
  };
  EXPECT_EQ(styleAt(0, 0), static_cast<int>(Style::Command));
  EXPECT_EQ(styleAt(0, 6), static_cast<int>(Style::Number));
  EXPECT_EQ(styleAt(1, 1), static_cast<int>(Style::Default)) << "joined: the apostrophe is no comment";
  EXPECT_EQ(styleAt(2, 0), static_cast<int>(Style::Command));
  EXPECT_EQ(styleAt(2, 5), static_cast<int>(Style::Comment));
  // Ending the first line otherwise changes how the second is read.
  e->setSelection(0, 8, 0, 9);
  e->removeSelectedText();
  e->recolor();
  EXPECT_EQ(styleAt(1, 1), static_cast<int>(Style::Comment));
}

}  // namespace
}  // namespace idetest
