#include "screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

QScreen* Primary() { return QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr; }

}  // namespace

int GetSystemMetrics(int index) {
  QScreen* s = Primary();
  if (!s) return index == SM_CXSCREEN ? 640 : index == SM_CYSCREEN ? 480 : 0;
  switch (index) {
    case SM_CXSCREEN: return s->geometry().width();
    case SM_CYSCREEN: return s->geometry().height();
    default: return 0;
  }
}

namespace win {

int DisplayBitsPerPixel() {
  QScreen* s = Primary();
  return s ? s->depth() : 32;
}

}  // namespace win
