#include "screensaver.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace win {
namespace {

bool g_on = false;

// Small jitter of the pointer is no move.
constexpr int kMoveTolerance = 4;

class Watcher : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* object, QEvent* e) override {
    switch (e->type()) {
      case QEvent::Show: {
        auto* w = qobject_cast<QWidget*>(object);
        if (w && w->isWindow() && !qobject_cast<QDialog*>(w) && !(w->windowFlags() & Qt::Popup) &&
            !w->isFullScreen() && w->windowType() != Qt::ToolTip)
          w->setWindowState(w->windowState() | Qt::WindowFullScreen);
        break;
      }
      case QEvent::KeyPress:
      case QEvent::MouseButtonPress:
      case QEvent::Wheel: End(); break;
      case QEvent::MouseMove: {
        QPointF p = static_cast<QMouseEvent*>(e)->globalPosition();
        if (!seen_) {
          seen_ = true;
          first_ = p;
        } else if ((p - first_).manhattanLength() > kMoveTolerance) {
          End();
        }
        break;
      }
      default: break;
    }
    return false;
  }

 private:
  void End() {
    if (ended_) return;
    ended_ = true;
    // The way a request from outside ends the run.
    std::raise(SIGTERM);
  }
  bool seen_ = false;
  bool ended_ = false;
  QPointF first_;
};

}  // namespace

void InstallScreenSaverMode() {
  const char* v = std::getenv("TILMOR_SCREENSAVER");
  if (g_on || !v || std::strcmp(v, "1") != 0 || !qApp) return;
  // The mode is this program's only, not that of the programs it starts.
  unsetenv("TILMOR_SCREENSAVER");
  g_on = true;
  qApp->installEventFilter(new Watcher(qApp));
  QApplication::setOverrideCursor(Qt::BlankCursor);
}

bool ScreenSaverMode() { return g_on; }

}  // namespace win
