// The main window over a session with the Qt user interface and its
// settings in a fresh directory.
#pragma once

#include <memory>

#include "core/session.h"
#include "fake_clock.h"
#include "frame/main_layout.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "platform/clipboard.h"
#include "platform/serial_port.h"
#include "temp_dir.h"

namespace kts::test {

struct GuiRig {
  TempDir base;
  TempDir registry;
  gui::QtUi ui;
  FakeClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  std::unique_ptr<Session> s = std::make_unique<Session>(ui, clock, opener, clipboard);
  std::unique_ptr<gui::MainWindow> window;

  GuiRig() {
    s->settings.baseDirectory = base.path();
    window = std::make_unique<gui::MainWindow>(*s, ComputeMainLayout(1000).plotWidth);
    ui.attach(window.get(), window->statusBarView());
  }

  bool start(std::string commandLine = {}) {
    StartOptions o;
    o.baseDirectory = base.path();
    o.registryDirectory = registry.path();
    o.commandLine = std::move(commandLine);
    o.screenWidth = 1000;
    window->show();
    return window->frame().startUp(o);
  }

  QString status() const { return window->statusBarView()->message(); }
};

}  // namespace kts::test
