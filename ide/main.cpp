// tilmed32 [@PROJECT | FILE]...: the development environment.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "frame.h"
#include "version.h"

namespace {

const char kUsage[] =
    "Usage: tilmed32 [@PROJECT.PRJ] [FILE...]\n"
    "The TILMOR development environment: edits, runs, compiles and starts TILMOR programs.\n"
    "Each argument in order: @NAME opens the project NAME, any other name a file.\n"
    "Without arguments the project used last is opened again.\n"
    "\n"
    "Options:\n"
    "  --help               show this help and end\n"
    "  --version            show the version and end\n"
    "  --                   end of the options: the next word is a file\n"
    "\n"
    "Settings are kept in TILMED32.INI in the Windows directory ($TILMOR_WINDIR,\n"
    "else ~/.config/tilmor). See tilmed32(1).\n";

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tilmed32 (TILMOR for Linux) %s\n", TILMOR_SYSTEM_VERSION);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--") == 0) first = 2;
  QStringList args;
  for (int i = first; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  // Qt takes its own options (-platform ...) only before the files.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setApplicationName(ide::kAppTitle);
  QApplication::setWindowIcon(QIcon::fromTheme("tilmed32"));
  ide::FrameWindow frame;
  frame.show();
  frame.Start(args);
  return QApplication::exec();
}
