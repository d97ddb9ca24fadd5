// What every sub-command starts from: a session with the terminal as its
// user, the system clock and the termios serial ports.
#pragma once

#include <memory>
#include <string>

#include "cli/arguments.h"
#include "cli/terminal_ui.h"
#include "core/session.h"
#include "platform/clipboard.h"
#include "platform/host_clock.h"
#include "platform/serial_port.h"

namespace kts::cli {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

struct CliContext {
  TerminalUi ui;
  SystemClock clock;
  TermiosOpener opener;
  NoClipboard clipboard;
  std::unique_ptr<Session> session = std::make_unique<Session>(ui, clock, opener, clipboard);

  CliContext() = default;
  CliContext(const CliContext&) = delete;
  CliContext& operator=(const CliContext&) = delete;
  // A logger port left open is closed with its line settings put back.
  ~CliContext();

  // Applies the options every sub-command shares (--base, --port, --yes,
  // --quiet) over the settings file of the base directory, which is read
  // but never written. False (with a message on stderr) when one of them is
  // unusable.
  bool applyCommonOptions(const Arguments& args);
};

// Options every sub-command takes.
void AddCommonOptions(OptionSpec& spec);

}  // namespace kts::cli
