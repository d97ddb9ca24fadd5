#include "gui/application.h"

#include <cstring>

#include "frame/main_layout.h"

namespace kts::gui {

Application::Application(int width)
    : screenWidth(width),
      session(std::make_unique<Session>(ui, clock, opener, clipboard)),
      window(std::make_unique<MainWindow>(*session, ComputeMainLayout(width).plotWidth)) {
  ui.attach(window.get(), window->statusBarView());
}

bool Application::start(const StartOptions& options) {
  StartOptions o = options;
  o.screenWidth = screenWidth;
  window->show();
  return window->frame().startUp(o);
}

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine c;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
      c.help = true;
    } else if (!std::strcmp(a, "--base")) {
      if (i + 1 >= argc) {
        c.error = "--base needs a directory";
        return c;
      }
      c.baseDirectory = argv[++i];
    } else if (a[0] == '-' && a[1] == '-') {
      c.error = std::string("unknown option ") + a;
      return c;
    } else if (c.file.empty()) {
      c.file = a;
    } else {
      c.error = "only one file can be opened";
      return c;
    }
  }
  return c;
}

}  // namespace kts::gui
