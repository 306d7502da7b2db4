// Message boxes and the open-file dialog for real, on Qt's offscreen
// platform: a timer answers the modal dialog the way a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QScreen>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

#include "app.h"
#include "qt_app.h"
#include "batch.h"
#include "dialogs.h"

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { EnsureTestApplication(false); }
  void TearDown() override { win::DestroyApplication(); }
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Runs `act` on the dialog once it is open.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    }
  });
  timer->start();
}

void ClickButton(QWidget* w, const QString& text) {
  for (QPushButton* b : w->findChildren<QPushButton*>()) {
    if (b->text().remove('&') == text) {
      b->click();
      return;
    }
  }
  ADD_FAILURE() << "no button " << text.toStdString();
}

TEST(MessageBox, ButtonsGiveTheirIds) {
  win::SetBatchMode(false);
  struct Case {
    UINT type;
    const char* click;
    int id;
  } cases[] = {{MB_OK, "OK", IDOK},
               {MB_OKCANCEL, "Abbrechen", IDCANCEL},
               {MB_YESNO, "Nein", IDNO},
               {MB_YESNOCANCEL, "Ja", IDYES},
               {MB_RETRYCANCEL, "Wiederholen", IDRETRY},
               {MB_ABORTRETRYIGNORE, "Ignorieren", IDIGNORE}};
  for (const Case& c : cases) {
    QString title;
    WhenModal([&](QWidget* w) {
      title = w->windowTitle();
      ClickButton(w, c.click);
    });
    EXPECT_EQ(MessageBoxA(0, "Text", "Gr\xFC\xDF" "e", c.type | MB_ICONQUESTION), c.id) << c.click;
    EXPECT_EQ(title, QString::fromUtf8("Grüße"));
  }
}

// A box's title is often its message; it must not be cut off by a box
// narrower than the title: the box is at least as wide as the title in a
// bold title font plus room for the title bar's icon and close button.
TEST(MessageBox, WideEnoughForItsTitle) {
  win::SetBatchMode(false);
  QFont bold = QApplication::font();
  bold.setBold(true);
  QFontMetrics fm(bold);
  const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
  struct Case {
    std::string title, text;
  } cases[] = {
      {"Variable nicht declariert: LANGER_VARIABLENNAME_DER_NICHT_PASST%", "Zeile      3:\r\nPRINT X%"},
      {"Datei kann nicht erzeugt werden: C:\\VERZEICHNIS\\UNTERVERZEICHNIS\\DATEI.TXT", "x"},
      {"T", "A text much longer than its title, which decides the width by itself anyway"},
  };
  for (const Case& c : cases) {
    int width = 0, natural = 0;
    QString title;
    WhenModal([&](QWidget* w) {
      title = w->windowTitle();
      width = w->width();
      static_cast<QDialog*>(w)->accept();
    });
    MessageBoxA(0, c.text.c_str(), c.title.c_str(), MB_OK | MB_ICONERROR);
    {
      QMessageBox plain(QMessageBox::Critical, QString(), QString::fromStdString(c.text));
      plain.addButton("OK", QMessageBox::AcceptRole);
      plain.show();
      natural = plain.width();
    }
    SCOPED_TRACE(c.title);
    EXPECT_EQ(title.toStdString(), c.title);
    int need = fm.horizontalAdvance(title) + 4 * fm.height();
    EXPECT_GE(width, std::min(need, screen - 2 * fm.height()));
    EXPECT_GE(width, natural);  // never narrower than Qt would make it
  }

  // A title of a whole short string fits the screen, not more.
  int width = 0;
  WhenModal([&](QWidget* w) {
    width = w->width();
    static_cast<QDialog*>(w)->accept();
  });
  MessageBoxA(0, "t", std::string(255, 'W').c_str(), MB_OK);
  EXPECT_GT(width, 0);
  EXPECT_LE(width, screen);
}

TEST(MessageBox, EscapeMeansCancelWhereThereIsOne) {
  win::SetBatchMode(false);
  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(MessageBoxA(0, "t", "c", MB_OKCANCEL), IDCANCEL);
}

TEST(MessageBox, BatchModeWritesTheLineAndTakesTheScriptAnswer) {
  win::SetBatchMode(true);
  ASSERT_TRUE(win::ParseBatchScript("answer NO\n", nullptr));
  testing::internal::CaptureStderr();
  int first = MessageBoxA(0, "a\r\nb", "T", MB_YESNO);
  int second = MessageBoxA(0, "x", "T2", MB_RETRYCANCEL);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[T] a | b\n[T2] x\n");
  EXPECT_EQ(first, IDNO);
  EXPECT_EQ(second, IDRETRY);  // no answer left: the first button
  win::SetBatchMode(false);
}

TEST(OpenFileDialog, ReturnsTheChosenPathAndCancels) {
  win::SetBatchMode(false);
  QTemporaryDir dir;
  QFile f(dir.filePath("prog.TMF"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  std::string filter = win::FilterFromBars("Tilmor-Source (*.tmf)|*.TMF|All (*.*)|*.*");
  char file[256] = {0};
  OPENFILENAMEA ofn;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = "Laden";
  std::string initial = dir.path().toStdString();
  ofn.lpstrInitialDir = initial.c_str();
  QStringList filters;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(d, nullptr);
    filters = d->nameFilters();
    d->selectFile(dir.filePath("prog.TMF"));
    static_cast<QDialog*>(d)->accept();
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(std::string(file), dir.filePath("prog.TMF").toStdString());
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].contains("*.tmf")) << filters[0].toStdString();
  EXPECT_TRUE(filters[1].endsWith("(*)")) << filters[1].toStdString();

  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
}

TEST(OpenFileDialog, BatchModeTakesFileActionsOrCancels) {
  win::SetBatchMode(true);
  ASSERT_TRUE(win::ParseBatchScript("answer OK\nfile C:\\x\\y.tmf\n", nullptr));
  char file[8] = {0};
  OPENFILENAMEA ofn;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  EXPECT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file, "C:\\x\\y.");  // cut to the buffer
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(win::TakeBatchAction({win::ActionKind::Answer})->answer, IDOK);
  win::SetBatchMode(false);
}

}  // namespace
