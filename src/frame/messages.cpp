#include "frame/messages.h"

#include <array>
#include <cstddef>

namespace kts {
namespace {

#define KTS_BUSY_TEXT(line)                                                       \
  "Logging in progress or enabled.\n" line                                        \
  "\n\nUse 'Retrieve data' menu item to stop logger - \n 'Retrieve Data' or "    \
  "'STOP Logger' button."

constexpr std::array<const char*, kMessageEntries> MakeEnglish() {
  std::array<const char*, kMessageEntries> t{};
  for (auto& e : t) e = "";
  t[kMsgWindowTitle] = "KTS Data Loggers";
  t[kMsgReady] = "Ready";
  t[kMsgError] = "Error";
  t[kMsgUnableToOpenFile] = "Unable to open file: %s";
  t[kMsgAlreadyExists] = "%s already exists.\nContinue to overwrite this file?";
  t[kMsgTimer] = "TIMER";
  t[kMsgTooManyTimers] = "Too many timers";
  t[kMsgCalibration] = "Calibration";
  t[kMsgCalibrationHistory] = "Calibration History";
  t[kMsgCalibrationWhileLogging] =
      KTS_BUSY_TEXT("Cannot read the calibration coefficients at this time.");
  t[kMsgFetchWhileLogging] = KTS_BUSY_TEXT("Cannot fetch live readings at this time.");
  t[kMsgDefaultBaudWhileLogging] = KTS_BUSY_TEXT("Cannot set the default baudrate at this time.");
  t[kMsgLatencyWhileLogging] = KTS_BUSY_TEXT("Cannot set the latency at this time.");
  t[kMsgFetch] = "Fetch";
  t[kMsgFileRead] = "File Read";
  t[kMsgUnsavedData] =
      "Retrieved data has not been saved.\nDo you wish to return to save the data now?";
  t[kMsgGpsTest] = "GPS Test";
  t[kMsgGpsUnable] =
      "Unable to connect to GPS\nCheck the Comm Port selection under "
      "'Configuration'->'COM settings'.";
  t[kMsgSetDefaultBaud] = "Set Default Baudrate";
  t[kMsgSetLatency] = "Set Latency";
  t[kMsgAttemptingToConnect] = "Attempting to connect to KTS Data Logger on COM%1d.";
  t[kMsgConnected] = "KTS Data Logger: %s %5.2f %06d connected on COM%1d at %ld baud.";
  t[kMsgAssessingConfiguration] = "Assessing the logger configuration";
  t[kMsgAssessingCapabilities] = "Assessing logger capabilities ";
  return t;
}

#undef KTS_BUSY_TEXT

constexpr std::array<const char*, kMessageEntries> kEnglish = MakeEnglish();

}  // namespace

const char* MessageText(int languageIndex, int entry) {
  if (entry < 0 || entry >= kMessageEntries) return "";
  if (languageIndex < 0 || languageIndex >= kLanguages) return "";
  // The second language has no texts of its own yet.
  return kEnglish[static_cast<std::size_t>(entry)];
}

}  // namespace kts
