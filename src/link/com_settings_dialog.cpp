#include "link/com_settings_dialog.h"

#include <charconv>

#include "core/session.h"
#include "core/text.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr int kConnectCommand = 262;  // the main window's connect command
constexpr const char* kConfigurationError = "Port Configuration Error";

// The COM number at a position of the present-port list, or 0.
int PresentPortAt(const PortConfig& ports, int position) {
  int seen = 0;
  for (int n = 1; n <= kMaxComPort; ++n) {
    if (!ports.present[static_cast<size_t>(n)]) continue;
    if (seen++ == position) return n;
  }
  return 0;
}

// The position of a COM number in the present-port list, or −1.
int PositionOfPort(const PortConfig& ports, int port) {
  int seen = 0;
  for (int n = 1; n <= kMaxComPort; ++n) {
    if (!ports.present[static_cast<size_t>(n)]) continue;
    if (n == port) return seen;
    ++seen;
  }
  return -1;
}

bool ParseDelay(const std::string& text, int* ms) {
  size_t start = text.find_first_not_of(' ');
  size_t end = text.find_last_not_of(' ');
  if (start == std::string::npos) return false;
  const char* first = text.data() + start;
  const char* last = text.data() + end + 1;
  const auto r = std::from_chars(first, last, *ms);
  return r.ec == std::errc() && r.ptr == last && *ms >= 0 && *ms <= kMaxRadioDelayMs;
}

}  // namespace

ComSettingsDialog OpenComSettings(Session& s) {
  const PortConfig& ports = s.ports;
  ComSettingsDialog d;
  d.gpsPorts.push_back("Not used");
  for (int n = 1; n <= kMaxComPort; ++n) {
    if (!ports.present[static_cast<size_t>(n)]) continue;
    d.loggerPorts.push_back(Format("COM%d", n));
    d.gpsPorts.push_back(Format("COM%d", n));
  }
  // A device given directly is not among the COM numbers.
  d.loggerSelection = ports.loggerDevice.empty() ? PositionOfPort(ports, ports.loggerPort) : -1;
  if (ports.gpsPort == 0) {
    d.gpsSelection = 0;
  } else {
    const int at = PositionOfPort(ports, ports.gpsPort);
    d.gpsSelection = at < 0 ? -1 : at + 1;
  }
  for (size_t i = 0; i < kStandardRates.size(); ++i) {
    d.gpsRates.push_back(Format("%d", kStandardRates[i]));
    if (kStandardRates[i] == ports.gpsBaud) d.gpsRateSelection = static_cast<int>(i);
  }
  d.radioModems = ports.radioDelayEnabled;
  d.radioDelayText = Format("%d", ports.radioDelayMs);
  ShowStatus(s.ui, "Select Communication Port");
  return d;
}

bool ComSettingsOk(Session& s, const ComSettingsDialog& dialog) {
  PortConfig next = s.ports;
  const int rates = static_cast<int>(kStandardRates.size());
  if (dialog.gpsRateSelection >= 0 && dialog.gpsRateSelection < rates)
    next.gpsBaud = kStandardRates[static_cast<size_t>(dialog.gpsRateSelection)];
  if (dialog.loggerSelection >= 0) {
    const int port = PresentPortAt(next, dialog.loggerSelection);
    if (port > 0) {
      next.loggerPort = port;
      next.loggerDevice.clear();
    }
  }
  if (dialog.gpsSelection == 0) {
    next.gpsPort = 0;
  } else if (dialog.gpsSelection > 0) {
    const int port = PresentPortAt(next, dialog.gpsSelection - 1);
    if (port > 0) next.gpsPort = port;
  }
  if (dialog.radioModems) {
    int ms = 0;
    if (!ParseDelay(dialog.radioDelayText, &ms)) {
      s.ui.message({Format("The radio modem delay must be a whole number of milliseconds "
                           "from 0 to %d.",
                           kMaxRadioDelayMs),
                    kConfigurationError, Icon::Warning, Buttons::Ok, Answer::Ok});
      return false;
    }
    next.radioDelayEnabled = true;
    next.radioDelayMs = ms;
  } else {
    next.radioDelayEnabled = false;
    next.radioDelayMs = 0;
  }
  if (next.gpsPort > 0 && next.gpsPort <= kMaxComPort &&
      next.map.deviceFor(next.gpsPort) == next.loggerDevicePath()) {
    s.ui.message(
        {"The connection to the logger and\n the connection to the GPS system\n  have "
         "been assigned to the same serial port.\n\nCheck your selections.",
         kConfigurationError, Icon::Warning, Buttons::Ok, Answer::Ok});
    return false;
  }

  // Ports are closed under the settings they were opened with, so each gets
  // its own settings back; the next connection opens the port now chosen.
  CloseCommPort(s, PortRole::Logger);
  if (next.gpsPort != s.ports.gpsPort || next.gpsBaud != s.ports.gpsBaud) {
    CloseCommPort(s, PortRole::Gps);
    s.app.gpsPortOpen = false;
  }
  s.link.connected = false;
  s.ports = next;
  if (s.linkHooks.saveSettings) s.linkHooks.saveSettings(s);
  s.app.postedCommand = kConnectCommand;
  return true;
}

}  // namespace kts
