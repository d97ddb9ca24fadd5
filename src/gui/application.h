// Everything one run of the desktop program owns: the platform services,
// the session and the main window, built in the order they need each other.
#pragma once

#include <memory>
#include <string>

#include "core/session.h"
#include "gui/main_window.h"
#include "gui/qt_clipboard.h"
#include "gui/qt_ui.h"
#include "platform/host_clock.h"
#include "platform/serial_port.h"

namespace kts::gui {

struct Application {
  explicit Application(int screenWidth);

  // Start-up of the frame; false when the program must end at once.
  bool start(const StartOptions& options);

  int screenWidth;
  QtUi ui;
  SystemClock clock;
  TermiosOpener opener;
  QtClipboard clipboard;
  std::unique_ptr<Session> session;
  std::unique_ptr<MainWindow> window;
};

// Command-line options: "--base DIR" and one optional file name.
struct CommandLine {
  std::string baseDirectory = ".";
  std::string file;
  std::string error;  // empty when the arguments were understood
  bool help = false;
};
CommandLine ParseCommandLine(int argc, char** argv);

}  // namespace kts::gui
