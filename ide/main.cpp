// tilmed32 [@PROJECT | FILE]...: the development environment.
#include <QApplication>

#include "frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(ide::kAppTitle);
  QStringList args = QApplication::arguments();
  args.removeFirst();
  ide::FrameWindow frame;
  frame.show();
  frame.Start(args);
  return QApplication::exec();
}
