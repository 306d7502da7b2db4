// The clipboard under the offscreen platform: Windows-1252 with CR LF in
// the program, Unicode with LF on the host.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "app.h"
#include "clipboard.h"

namespace {

class ClipboardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (win::ApplicationExists()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static char arg0[] = "data_tests";
    static char* argv[] = {arg0, nullptr};
    win::CreateApplication(1, argv, true);
    created_ = true;
  }
  static void TearDownTestSuite() {
    if (created_) win::DestroyApplication();
    created_ = false;
  }
  static bool created_;
};
bool ClipboardTest::created_ = false;

TEST_F(ClipboardTest, TextGoesOutAsUnicodeAndComesBackAsWindows1252) {
  ASSERT_TRUE(win::ClipboardAvailable());
  ASSERT_TRUE(win::PutClipboardText("Gr\xFC\xDF" "e \x80"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Grüße €"));
  EXPECT_EQ(win::ClipboardText(), "Gr\xFC\xDF" "e \x80");
  // What others put there arrives converted, "?" for what has no byte.
  QGuiApplication::clipboard()->setText(QString::fromUtf8("Ärger \u4E2D"));
  EXPECT_EQ(win::ClipboardText(), "\xC4rger ?");
}

TEST_F(ClipboardTest, LineEnds) {
  win::PutClipboardText("a\r\nb\rc");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "a\nb\nc");
  EXPECT_EQ(win::ClipboardText(), "a\r\nb\r\nc");
}

TEST_F(ClipboardTest, LengthLimitsAndClearing) {
  win::PutClipboardText(std::string(300, 'x'));
  EXPECT_EQ(QGuiApplication::clipboard()->text().size(), 254);
  QGuiApplication::clipboard()->setText(QString(300, 'y'));
  EXPECT_EQ(win::ClipboardText(), std::string(255, 'y'));
  // Line ends that grow on the way in still give at most 255 characters.
  QGuiApplication::clipboard()->setText(QString(200, '\n'));
  EXPECT_EQ(win::ClipboardText().size(), 255u);
  win::ClearClipboard();
  EXPECT_EQ(win::ClipboardText(), "");
}

}  // namespace
