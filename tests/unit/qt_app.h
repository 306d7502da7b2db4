// The Qt application object for tests that need windows, on the offscreen
// platform; made once and kept for the whole test program.
#pragma once

#include <QByteArray>

#include "app.h"

inline void EnsureTestApplication(bool batch) {
  if (win::ApplicationExists()) return;
  static char arg0[] = "unit_tests";
  static char* argv[] = {arg0, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  win::CreateApplication(1, argv, batch);
}
