// kts-logger: the desktop program.
#include <QApplication>
#include <QScreen>
#include <cstdio>

#include "gui/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("kts-logger");
  QApplication::setWindowIcon(QIcon(":/kts-logger.svg"));
  const kts::gui::CommandLine c = kts::gui::ParseCommandLine(argc, argv);
  if (c.help || !c.error.empty()) {
    if (!c.error.empty()) std::fprintf(stderr, "kts-logger: %s\n", c.error.c_str());
    std::fprintf(c.help ? stdout : stderr,
                 "usage: kts-logger [--base DIR] [FILE.hex | FILE.dat]\n\n"
                 "DIR holds the settings files and the dat, hex and mat folders\n"
                 "(default: the current directory).\n");
    return c.help ? 0 : 2;
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int width = screen ? screen->availableGeometry().width() : 1000;
  kts::gui::Application program(width);
  kts::StartOptions options;
  options.baseDirectory = c.baseDirectory;
  options.commandLine = c.file;
  if (!program.start(options)) return 0;
  return QApplication::exec();
}
