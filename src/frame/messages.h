// The message table: the user texts of the main window by entry number, one
// text per language. Entries that belong to other parts of the program stay
// empty here and are never shown through this table.
#pragma once

namespace kts {

inline constexpr int kLanguages = 2;

enum MessageEntry : int {
  kMsgWindowTitle = 0,
  kMsgReady = 1,
  kMsgError = 2,
  kMsgUnableToOpenFile = 3,
  kMsgAlreadyExists = 4,
  kMsgTimer = 5,
  kMsgTooManyTimers = 6,
  kMsgCalibration = 14,
  kMsgCalibrationHistory = 15,
  kMsgCalibrationWhileLogging = 20,
  kMsgFetchWhileLogging = 21,
  kMsgDefaultBaudWhileLogging = 22,
  kMsgLatencyWhileLogging = 23,
  kMsgFetch = 24,
  kMsgFileRead = 25,
  kMsgUnsavedData = 26,
  kMsgGpsTest = 27,
  kMsgGpsUnable = 28,
  kMsgSetDefaultBaud = 29,
  kMsgSetLatency = 30,
  kMsgAttemptingToConnect = 31,
  kMsgConnected = 32,
  kMsgAssessingConfiguration = 33,
  kMsgAssessingCapabilities = 34,
  kMessageEntries = 39,
};

// The text of an entry in a language. A language without its own text for
// an entry shows the English one, so no box or status line is ever blank.
// Out-of-range entries and languages give "".
const char* MessageText(int languageIndex, int entry);

}  // namespace kts
