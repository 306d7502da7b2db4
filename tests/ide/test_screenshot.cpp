// The frame with two editor windows, grabbed for a look.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>

#include <QTextBrowser>

#include "helpwindow.h"
#include "ide_test.h"

namespace idetest {
namespace {

class ScreenshotTest : public IdeTest {};

TEST_F(ScreenshotTest, FrameWithTwoEditors) {
  Write("demo.tmf",
        "' Ein kleines Beispiel\r\nDECLARE I%\r\n$O+\r\nSTART:\r\nLET I% = 1\r\nWHILE @LT(I%,4)\r\n"
        "  PRINT \"Zeile \"; I%; \" von \"; $TILMVER\r\n  INC I%\r\nWEND\r\nCASE %ERROR: GOTO START\r\nEND\r\n");
  Write("lib.inc", "PROC AUSGABE\r\n  PRINT @UPPER$(\"text\")  ' groß\r\nENDPROC\r\n");
  Frame({}, false);
  frame_->resize(900, 600);
  QApplication::processEvents();
  frame_->Start({QString::fromStdString(Path("demo.tmf")), QString::fromStdString(Path("lib.inc"))});
  frame_->OpenProject(Path("beispiel.prj"));
  QApplication::processEvents();
  // As opened: each new window takes a good part of the area.
  for (QMdiSubWindow* sub : frame_->Area()->subWindowList()) {
    EXPECT_GE(sub->width(), frame_->Area()->width() / 2);
    EXPECT_GE(sub->height(), frame_->Area()->height() / 2);
  }
  frame_->grab().save(QString::fromStdString(std::string(TILMOR_TEST_BINARY_DIR) + "/tilmed32-opened.png"));
  frame_->TileSideBySide();
  frame_->Editors()[0]->setCursorPosition(6, 4);
  frame_->Editors()[0]->setFocus();
  frame_->UpdateStatus();
  QApplication::processEvents();
  QPixmap shot = frame_->grab();
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.size(), frame_->size());
  std::string png = std::string(TILMOR_TEST_BINARY_DIR) + "/tilmed32-frame.png";
  EXPECT_TRUE(shot.save(QString::fromStdString(png)));
  // The picture is not empty: the editors' text darkens some pixels.
  QImage img = shot.toImage();
  int dark = 0;
  for (int y = 0; y < img.height(); y += 2)
    for (int x = 0; x < img.width(); x += 2)
      if (qGray(img.pixel(x, y)) < 80) ++dark;
  EXPECT_GT(dark, 200);
}

}  // namespace
}  // namespace idetest

namespace idetest {
namespace {

TEST_F(ScreenshotTest, TheHelpWindowAtAFunction) {
  Frame();
  ide::EditorWindow* e = frame_->NewFile();
  e->setText("PRINT @MID$(A$, 2, 3)\r\n");
  e->setCursorPosition(0, 9);
  frame_->ContextHelp(e);
  ide::HelpWindow* h = frame_->Help();
  EXPECT_EQ(h->CurrentPage(), "zeichenketten.md");
  EXPECT_TRUE(h->browser()->toPlainText().contains("@MID$(s,p,n)"));
  QPixmap shot = h->grab();
  EXPECT_TRUE(shot.save(QString::fromStdString(std::string(TILMOR_TEST_BINARY_DIR) + "/tilmed32-help.png")));
}

}  // namespace
}  // namespace idetest
