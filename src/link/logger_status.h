// Logger status codes and their names.
#pragma once

#include <string_view>

namespace kts {

enum LoggerStatus : int {
  kNotEnabled = 0,
  kEnabled = 1,
  kLogging = 2,
  kThresholdingEnabled = 3,
  kLoggingComplete = 4,
  kLoggingSuspended = 5,
  kProfilingActive = 6,
  kMemoryError = 7,
  kStoppedByUser = 8,
};

// "Not Enabled" … "Logging Stopped by User"; "Memory Error" outside 0..8.
const char* StatusName(int code);
// 0, 4 and 8 count as idle.
inline bool IsIdleStatus(int code) { return code == 0 || code == 4 || code == 8; }
// Running again after a resume or an enable: 1, 2, 3 or 6.
inline bool IsRunningStatus(int code) { return code == 1 || code == 2 || code == 3 || code == 6; }

// The status in a "T" reply: the two hex digits after "Logger status" (and
// on extended loggers the second byte after them). Older loggers: codes
// above 6 are 7. Extended: 4 with second byte 2 is 8; other codes above 6
// except 8 are 7. False when the reply holds no status.
bool ParseStatusReply(std::string_view reply, bool extended, int* code, int* secondByte);

}  // namespace kts
