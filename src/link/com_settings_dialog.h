// "KTS Logger - COM Settings": the logger port, the GPS port and rate, and
// the radio-modem delay.
#pragma once

#include <string>
#include <vector>

namespace kts {

struct Session;

inline constexpr const char* kComSettingsTitle = "KTS Logger - COM Settings";
inline constexpr int kMaxRadioDelayMs = 10000;

struct ComSettingsDialog {
  std::vector<std::string> loggerPorts;  // "COM%d" of each present port, ascending
  int loggerSelection = -1;              // −1: the current port is not listed (kept on OK)
  std::vector<std::string> gpsPorts;     // "Not used", then the same entries
  int gpsSelection = 0;                  // −1: the current GPS port is not listed (kept)
  std::vector<std::string> gpsRates;     // the five standard rates
  int gpsRateSelection = -1;
  bool radioModems = false;    // "Radio Modems used"
  std::string radioDelayText;  // the "msec" field

  bool gpsRateEnabled() const { return gpsSelection != 0; }
  bool radioDelayEnabled() const { return radioModems; }
};

// Fills the lists from the present ports and the current settings, and
// shows "Select Communication Port".
ComSettingsDialog OpenComSettings(Session& s);

// OK: true when the settings were taken (written through the settings
// hook, the logger port closed and a reconnect asked of the main window);
// false when a message was shown and the dialog stays open.
bool ComSettingsOk(Session& s, const ComSettingsDialog& dialog);

}  // namespace kts
