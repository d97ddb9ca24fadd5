// "Set latency": the first timing value of the configuration table, kept in
// units of 10 ms in bytes 1 and 2. The rest of the table goes back to the
// logger exactly as it was read.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "core/session.h"
#include "core/text.h"
#include "deploy/deployment_rules.h"
#include "deploy/logger_functions.h"
#include "link/commands.h"
#include "link/protocol.h"
#include "platform/status_line.h"

namespace kts {

int editLatency(Session& s, LatencyDialog& dialog) {
  s.link.reread.configuration = true;
  if (CommGet(s, 16) != 1 || !s.link.identity.extended) {
    s.ui.message({"Unable to read current configuration table", "Change latency", Icon::Warning,
                  Buttons::Ok, Answer::Ok});
    dialog.open = false;
    return 0;
  }
  dialog.latencyText = Format("%d", s.description.latencyMs);
  dialog.open = true;
  return 1;
}

int AcceptLatency(Session& s, LatencyDialog& dialog, const std::string& text) {
  int ms = -1;
  const char* end = text.data() + text.size();
  const auto parsed = std::from_chars(text.data(), end, ms);
  if (parsed.ec != std::errc() || parsed.ptr != end || ms < 0 || ms > LatencyDialog::kMaxLatencyMs) {
    ShowStatus(s.ui, "Error: latency must be a whole number of milliseconds from 0 to 655350");
    return 0;
  }
  const LoggerDescription& d = s.description;
  const int n = DeploymentChannels(s) * 2 + 5;
  if (d.configTableLength < n) {
    ShowStatus(s.ui, "Configuration table retrieve error");
    return 0;
  }
  CommGet(s, 0);
  std::array<uint8_t, 256> table = d.configTable;
  const int units = ms / 10;
  table[1] = static_cast<uint8_t>(units & 0xFF);
  table[2] = static_cast<uint8_t>(units >> 8);
  if (!SendTable(s, "S0100", n, table.data())) {
    ShowStatus(s.ui, "Configuration table send error");
    return 0;
  }
  std::array<uint8_t, 256> back{};
  if (ReadTable(s, "R0100", back.data(), static_cast<int>(back.size())) != 1) {
    ShowStatus(s.ui, "Configuration table retrieve error");
    return 0;
  }
  if (std::memcmp(back.data(), table.data(), static_cast<size_t>(n)) != 0) {
    ShowStatus(s.ui, "Configuration table compare error");
    return 0;
  }
  ShowStatus(s.ui, "Latency update successful");
  s.link.reread.configuration = true;
  dialog.latencyText = Format("%d", units * 10);
  dialog.open = false;
  return 1;
}

}  // namespace kts
