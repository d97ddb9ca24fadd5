#include "link/speed_change.h"

#include "core/session.h"
#include "core/text.h"
#include "link/connection.h"
#include "link/serial_link.h"
#include "platform/serial_port.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr const char* kWaitingForTimeout = "Unable to connect to logger, waiting for timeout %d";

// Counts down ten seconds, one message a second, through `show`.
template <typename Show>
void WaitTenSeconds(Session& s, Show show) {
  for (int left = 10; left >= 1; --left) {
    show(Format(kWaitingForTimeout, left));
    DelayMs(s, 1000);
  }
}

}  // namespace

std::string SpeedChangeCommand(const LoggerIdentity& id, int baud) {
  if (baud <= 0) return {};
  if (IsQzFamily(id) || id.extended) {
    if (baud == 115200) return "!E01";
    const int code = 288000 / baud - 2;
    if (code < 0 || code > 255) return {};
    return Format("!E%02X", code);
  }
  const bool hv = IsHvModel(id);
  const bool supported = (hv && FirmwareAtLeast(id, 2.15) && !FirmwareAtLeast(id, 3.00)) ||
                         ((hv || IsLvModel(id)) && FirmwareAtLeast(id, 3.15));
  if (!supported) return {};
  return baud == 28800 ? "!E00" : "!E01";
}

bool SetLoggerSpeed(Session& s, int baud) {
  if (!Connect(s)) return false;
  const std::string command = SpeedChangeCommand(s.link.identity, baud);
  if (command.empty() || !IsSupportedBaud(baud)) return s.link.connected;
  WriteComm(s, PortRole::Logger, command);
  DelayMs(s, 200);
  s.ports.currentBaud = baud;
  s.link.connected = false;
  return Reconnect(s);
}

bool SpeedUpForRetrieval(Session& s) {
  if (s.description.expressRate > 0 && !s.ports.radioDelayEnabled) {
    bool speedUp = true;
    if (s.ports.currentBaud < 19200) {
      const Answer answer = s.ui.message(
          {"The default baudrate is less than the standard rate.\nThis suggests that you are "
           "using a long cable for download.\n\nDo you want to try to increase the download "
           "speed?",
           "Retrieve data - speed-up", Icon::Warning, Buttons::YesNo, Answer::No});
      speedUp = answer == Answer::Yes;
    }
    s.link.savedRate = s.ports.currentBaud;
    if (!speedUp) {
      Reconnect(s);
    } else {
      SetLoggerSpeed(s, s.description.expressRate);
      if (!s.link.connected) {
        s.ports.currentBaud = s.link.savedRate;
        Reconnect(s);
      }
      if (!s.link.connected) {
        WaitTenSeconds(s, [&](const std::string& text) { ShowStatus(s.ui, text); });
        s.ports.currentBaud = s.link.savedRate;
        Reconnect(s);
      }
    }
  }
  if (s.link.connected) return true;
  ShowRetrievalMessage(s, "Unable to connect to logger");
  EndRetrievalBusy(s);
  return false;
}

void RestoreSpeedAfterRetrieval(Session& s) {
  const int saved = s.link.savedRate;
  if (s.description.expressRate > 0 && saved > 0 && s.ports.currentBaud != saved &&
      !s.ports.radioDelayEnabled) {
    SetLoggerSpeed(s, saved);
    if (!s.link.connected) {
      WaitTenSeconds(s, [&](const std::string& text) { ShowRetrievalMessage(s, text); });
      Reconnect(s);
    }
  }
  StartTimer(s, 1000, true);
  EnableMenus(s, MenuGroup::LoggerCommands, true);
}

}  // namespace kts
