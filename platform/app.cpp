// The Qt application object, and waking it for a request to end.
#include "app.h"

#include "screensaver.h"
#include "winuser.h"

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>

namespace win {
namespace {

// Deleted only by DestroyApplication: Qt must not be torn down by exit handlers.
QApplication* g_app = nullptr;
int g_argc = 0;
char** g_argv = nullptr;

void QuietHandler(QtMsgType, const QMessageLogContext&, const QString&) {}

// A request to end has come while Qt waits: the waits of the program see a
// quit message, and modal boxes and dialogs are closed, so that whoever
// opened them ends the run.
void OnInterruptWake(int fd) {
  char buf[64];
  while (::read(fd, buf, sizeof buf) > 0) {
  }
  PostQuitMessage(255);
  for (int guard = 0; guard < 32; ++guard) {
    ::QWidget* w = QApplication::activeModalWidget();
    if (!w) break;
    if (auto* dialog = qobject_cast<QDialog*>(w))
      dialog->done(QDialog::Rejected);
    else
      w->hide();
  }
}

}  // namespace

void CreateApplication(int argc, char** argv, bool batch) {
  if (g_app) return;
  if (batch) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!std::getenv("TILMOR_DEBUG")) qInstallMessageHandler(QuietHandler);
  }
  g_argc = argc > 0 ? 1 : 0;  // Qt must not eat program arguments
  g_argv = argv;
  g_app = new QApplication(g_argc, g_argv);
  QApplication::setQuitOnLastWindowClosed(false);
  if (int fd = InterruptWakeFd(); fd >= 0) {
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, g_app);
    QObject::connect(notifier, &QSocketNotifier::activated, [fd] { OnInterruptWake(fd); });
  }
  // Qt adopts the user's locale; numbers are always read and written with a point.
  std::setlocale(LC_NUMERIC, "C");
  InstallScreenSaverMode();
}

bool ApplicationExists() { return g_app != nullptr; }

void DestroyApplication() {
  delete g_app;
  g_app = nullptr;
}

void PumpPendingEvents() {
  if (!g_app) return;
  // Looking at the queue costs little, but not nothing: a tight program loop
  // checks at most every 2 ms.
  static QElapsedTimer clock;
  if (clock.isValid() && clock.elapsed() < 2) return;
  clock.start();
  QApplication::processEvents(QEventLoop::AllEvents);
}

void ProcessEvents() {
  if (g_app) QApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace win
