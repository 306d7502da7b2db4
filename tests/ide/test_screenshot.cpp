// The frame with two editor windows, grabbed for a look.
#include <QMdiArea>
#include <QPixmap>

#include "ide_test.h"

namespace idetest {
namespace {

class ScreenshotTest : public IdeTest {};

TEST_F(ScreenshotTest, FrameWithTwoEditors) {
  Write("demo.tmf",
        "' Ein kleines Beispiel\r\nDECLARE I%\r\n$O+\r\nSTART:\r\nLET I% = 1\r\nWHILE @LT(I%,4)\r\n"
        "  PRINT \"Zeile \"; I%; \" von \"; $TILMVER\r\n  INC I%\r\nWEND\r\nCASE %ERROR: GOTO START\r\nEND\r\n");
  Write("lib.inc", "PROC AUSGABE\r\n  PRINT @UPPER$(\"text\")  ' groß\r\nENDPROC\r\n");
  Frame({QString::fromStdString(Path("demo.tmf")), QString::fromStdString(Path("lib.inc"))});
  frame_->OpenProject(Path("beispiel.prj"));
  frame_->resize(900, 600);
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
