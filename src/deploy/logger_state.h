// What the setup and retrieval screens read from a logger when they open:
// its status, clocks, deployment times and channels, and how much of its
// memory holds data.
#pragma once

#include <cstdint>
#include <string>

#include "deploy/setup_screen.h"

namespace kts {

struct Session;
struct LoggerIdentity;
struct LoggerDescription;

// The texts a screen shows for the logger's state.
struct LoggerStateTexts {
  std::string loggerName;  // "KTS %s %5.2f %06d"
  std::string statusName;
  std::string hostTime;
  std::string loggerTime;
  std::string startTime;
  std::string endTime;
  std::string period;
};

// Reads the status (failure: "Error: Status read incorrectly" on the status
// line, −1), then, except on a running QZ-760 below firmware 4.99, the host
// and logger clocks, the start and end times and the sampling period (a
// failed query leaves its field and says so on the message line), then the
// channel configuration (a failure gives −1). Returns the status code.
int readLoggerState(Session& s, LoggerStateTexts& texts, MessageLine& message);

// A QZ-760 below firmware 4.99 that is enabled, logging, thresholding or
// profiling answers nothing but the stop command.
bool IsActiveOldQz760(const LoggerIdentity& id, int status);

// Readings held by the memory (3-byte words, never below 0).
int MemoryReadings(const LoggerIdentity& id, const LoggerDescription& d, uint32_t pointer);
// "%.1f%%, %dK bytes", "%.1f%%, %dK readings", "<0.1%%, %d readings" or
// "0%%, 0 readings".
std::string MemoryUsageText(const LoggerIdentity& id, const LoggerDescription& d, uint32_t pointer);

}  // namespace kts
