#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "batch.h"
#include "wintypes.h"

namespace {

using win::ActionKind;
using win::BatchAction;
using win::ParseBatchScript;
using win::TakeBatchAction;

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override { win::ClearBatchScript(); }
  void TearDown() override { win::ClearBatchScript(); }

  // Takes the next action whatever its kind.
  static std::optional<BatchAction> Next() {
    return TakeBatchAction({ActionKind::Answer, ActionKind::File, ActionKind::Text});
  }
};

TEST_F(BatchTest, AnswerWordsAndIds) {
  std::string error;
  ASSERT_TRUE(ParseBatchScript("answer OK\nanswer CANCEL\nanswer YES\nanswer NO\n"
                               "answer ABORT\nanswer RETRY\nanswer IGNORE\nanswer 11\n",
                               &error))
      << error;
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE, 11}) {
    auto act = Next();
    ASSERT_TRUE(act.has_value()) << id;
    EXPECT_EQ(act->kind, ActionKind::Answer);
    EXPECT_EQ(act->answer, id);
  }
  EXPECT_FALSE(Next().has_value());
}

TEST_F(BatchTest, FileTextCancelCommentsAndBlankLines) {
  std::string error;
  ASSERT_TRUE(ParseBatchScript("# answers for the test\n"
                               "\n"
                               "   \n"
                               "file /tmp/my data/a.txt\r\n"
                               "text \"say \\\"hi\\\" \\\\ now\"\n"
                               "text \"\"\n"
                               "file C:\\TEMP\\X.DAT\n"
                               "cancel\n"
                               "text \"Gr\xC3\xBC\xC3\x9F\x65\"\n"
                               "file /tmp/\xC3\xA4.txt",
                               &error))
      << error;
  auto a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::File);
  EXPECT_EQ(a->value, "/tmp/my data/a.txt");
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Text);
  EXPECT_EQ(a->value, "say \"hi\" \\ now");
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Text);
  EXPECT_EQ(a->value, "");
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "C:\\TEMP\\X.DAT");  // backslashes in paths are no escapes
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Cancel);
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "Gr\xFC\xDF" "e");  // UTF-8 script, Windows-1252 values
  a = Next();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "/tmp/\xE4.txt");
  EXPECT_FALSE(Next());
}

TEST_F(BatchTest, BadLinesAreRejected) {
  for (const char* bad : {"answer MAYBE", "answer", "answer -1", "file", "text hi",
                          "text \"open", "text \"a\"b\"", "cancel now", "click OK",
                          "answer OK\npress", "press x", "press 1 2", "settext 101", "settext 101 hi",
                          "select 101", "select 101 -1", "dblclick 5", "scroll 7", "choose", "choose -2",
                          "choose \"x", "menu", "menu some", "dir"}) {
    std::string error;
    EXPECT_FALSE(ParseBatchScript(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  std::string error;
  EXPECT_TRUE(ParseBatchScript("", &error));
  EXPECT_FALSE(Next());
}

TEST_F(BatchTest, ControlMenuAndChooserActions) {
  std::string error;
  ASSERT_TRUE(ParseBatchScript("press 1000\n"
                               "settext 101 \"Zeile 1\\nZeile \\\"2\\\"\\tx\"\n"
                               "select 101 3\n"
                               "dblclick 101 0\n"
                               "scroll 1004 -5\n"
                               "choose 2\n"
                               "choose \"M\xC3\xBCller\"\n"
                               "menu 32767\n"
                               "menu none\n"
                               "dir C:\\Daten\n",
                               &error))
      << error;
  auto a = win::TakeNextAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Press);
  EXPECT_EQ(a->id, 1000);
  a = win::TakeNextAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::SetText);
  EXPECT_EQ(a->id, 101);
  EXPECT_EQ(a->value, "Zeile 1\r\nZeile \"2\"\tx");
  EXPECT_EQ(win::DescribeAction(*a), "settext 101 \"Zeile 1\\nZeile \\\"2\\\"\tx\"");
  a = win::TakeNextAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Select);
  EXPECT_EQ(a->index, 3);
  EXPECT_EQ(win::DescribeAction(*a), "select 101 3");
  a = win::TakeNextAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::DblClick);
  EXPECT_EQ(a->index, 0);
  a = win::TakeNextAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Scroll);
  EXPECT_EQ(a->id, 1004);
  EXPECT_EQ(a->index, -5);  // a position may be negative, an entry may not
  // Choices and folders answer dialogs: a dialog looking for them skips the
  // input actions before them.
  EXPECT_TRUE(win::IsInputAction(ActionKind::Menu));
  EXPECT_FALSE(win::IsInputAction(ActionKind::Choose));
  a = TakeBatchAction({ActionKind::Dir});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Dir);
  EXPECT_EQ(a->value, "C:\\Daten");
  a = TakeBatchAction({ActionKind::Choose});
  ASSERT_TRUE(a);
  EXPECT_FALSE(a->byText);
  EXPECT_EQ(a->index, 2);
  a = TakeBatchAction({ActionKind::Choose});
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->byText);
  EXPECT_EQ(a->value, "M\xFCller");
  EXPECT_EQ(win::DescribeAction(*a), "choose \"M\xC3\xBCller\"");
  ASSERT_NE(win::PeekNextAction(), nullptr);
  EXPECT_EQ(win::PeekNextAction()->id, 32767);
  a = win::TakeInputAction();
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Menu);
  EXPECT_FALSE(a->none);
  a = win::TakeInputAction();
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->none);
  EXPECT_EQ(win::DescribeAction(*a), "menu none");
  EXPECT_EQ(win::PeekNextAction(), nullptr);
  EXPECT_FALSE(win::TakeNextAction());
}

TEST_F(BatchTest, TakeFirstFittingActionInOrder) {
  ASSERT_TRUE(ParseBatchScript("answer YES\nfile /a\ntext \"t\"\nfile /b\n", nullptr));
  auto a = TakeBatchAction({ActionKind::File});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "/a");
  a = TakeBatchAction({ActionKind::Text, ActionKind::File});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Text);
  a = TakeBatchAction({ActionKind::Answer});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->answer, IDYES);
  EXPECT_FALSE(TakeBatchAction({ActionKind::Answer}));
  EXPECT_FALSE(TakeBatchAction({ActionKind::Text}));
  a = TakeBatchAction({ActionKind::File});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "/b");
  EXPECT_FALSE(TakeBatchAction({ActionKind::File}));
}

TEST_F(BatchTest, CancelFitsEveryDialog) {
  ASSERT_TRUE(ParseBatchScript("file /a\ncancel\ncancel\ncancel\nanswer OK\n", nullptr));
  auto a = TakeBatchAction({ActionKind::Answer});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Cancel);  // before the later OK
  a = TakeBatchAction({ActionKind::Text});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Cancel);
  a = TakeBatchAction({});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->kind, ActionKind::Cancel);
  a = TakeBatchAction({ActionKind::File});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->value, "/a");
  a = TakeBatchAction({ActionKind::Answer});
  ASSERT_TRUE(a);
  EXPECT_EQ(a->answer, IDOK);
}

TEST_F(BatchTest, BoxLines) {
  EXPECT_EQ(win::FormatBoxLine("T", "a\r\nb\rc\nd"), "[T] a | b | c | d\n");
  EXPECT_EQ(win::FormatBoxLine("", ""), "[] \n");
  EXPECT_EQ(win::FormatBoxLine("TRACE:", "Zeile      1: \r\nPRINT 1"),
            "[TRACE:] Zeile      1:  | PRINT 1\n");
  EXPECT_EQ(win::FormatBoxLine("X", "\r\n\r\n"), "[X]  |  | \n");
  EXPECT_EQ(win::FormatBoxLine("Z\xE4hler", "\x80 5"), "[Z\xC3\xA4hler] \xE2\x82\xAC 5\n");
}

}  // namespace
