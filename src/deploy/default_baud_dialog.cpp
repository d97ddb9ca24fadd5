// "Set Default Baud Rate": the rate a logger answers at after power-up.
#include <algorithm>

#include "core/session.h"
#include "deploy/deployment_rules.h"
#include "deploy/logger_functions.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/default_baud.h"
#include "link/serial_link.h"

namespace kts {

int editDefaultBaud(Session& s, DefaultBaudDialog& dialog) {
  ForceCapabilityReread(s);
  s.link.reread.coefficients = true;
  if (CommGet(s, 16) != 1) return 0;
  ReadCapabilities(s);
  if (!HasCapabilitiesTable(s)) {
    s.ui.message({"The default baudrate for this type of logger cannot be set by this command.",
                  "Default baudrate", Icon::Error, Buttons::Ok, Answer::Ok});
    return 0;
  }
  dialog.current = ReadDefaultBaud(s);
  dialog.rates.clear();
  for (int rate : kStandardRates)
    if (rate >= s.description.lowestDefaultBaud) dialog.rates.push_back(rate);
  if (dialog.rates.empty()) dialog.rates.push_back(kStandardRates.back());
  const auto at = std::find(dialog.rates.begin(), dialog.rates.end(), dialog.current);
  dialog.selected = at == dialog.rates.end() ? static_cast<int>(dialog.rates.size()) - 1
                                             : static_cast<int>(at - dialog.rates.begin());
  return 1;
}

int AcceptDefaultBaud(Session& s, DefaultBaudDialog& dialog) {
  if (dialog.selected < 0 || dialog.selected >= static_cast<int>(dialog.rates.size())) return 0;
  const int rate = dialog.rates[static_cast<size_t>(dialog.selected)];
  if (!Reconnect(s)) return 0;
  bool ok = WriteDefaultBaud(s, rate);
  if (ok) {
    s.ports.currentBaud = rate;
    SetCommBaud(s, rate);
    DelayMs(s, 200);
    s.link.connected = false;
    ok = Reconnect(s);
  }
  if (!ok) {
    s.ui.message({"Attempt to change default baudrate has failed.", "Default baudrate",
                  Icon::Error, Buttons::Ok, Answer::Ok});
    return 0;
  }
  return 1;
}

}  // namespace kts
