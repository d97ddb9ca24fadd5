// A session with scripted services, for tests.
#pragma once

#include "core/session.h"
#include "fake_clock.h"
#include "platform/clipboard.h"
#include "platform/serial_port.h"
#include "scripted_ui.h"

namespace kts::test {

struct TestSession {
  ScriptedUi ui;
  FakeClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  Session s{ui, clock, opener, clipboard};

  // Points the logger port at a device (a pseudo-terminal) and opens it.
  bool openLogger(const std::string& device, int baud = 19200);
};

}  // namespace kts::test
