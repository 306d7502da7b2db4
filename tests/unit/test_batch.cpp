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
                          "answer OK\npress 1"}) {
    std::string error;
    EXPECT_FALSE(ParseBatchScript(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  std::string error;
  EXPECT_TRUE(ParseBatchScript("", &error));
  EXPECT_FALSE(Next());
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
