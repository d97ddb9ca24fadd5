// What the setup and retrieval screens read from a logger when they open:
// its name, status, clocks and deployment times, and how full its memory is.
#pragma once

#include <cstdint>
#include <string>

#include "deploy/setup_screen.h"

namespace kts {

struct Session;

// Shows the logger's name and status, then (except on an active QZ-760
// below firmware 4.99, whose times cannot be read while it runs) the host
// and logger clocks, the start and end times and the sampling period, and
// reads the channel configuration. Returns the status code, or −1 when the
// status or the configuration could not be read.
int readLoggerState(Session& s, LoggerStateTexts& texts, MessageLine& message);

// The memory-usage text: "%.1f%%, %dK bytes", "%.1f%%, %dK readings",
// "<0.1%%, %d readings" or "0%%, 0 readings".
std::string MemoryUsageText(const Session& s, uint32_t pointer);
double MemoryUsagePercent(const Session& s, uint32_t pointer);
int64_t MemoryReadings(const Session& s, uint32_t pointer);

// No data behind the pointer: at most the image header of a logger with a
// capabilities table, or the family's empty-memory address.
bool MemoryIsEmpty(const Session& s, uint32_t pointer);

// A QZ-760 below firmware 4.99 cannot be set up while it runs (status 1, 2,
// 3 or 6): it can only be stopped.
bool IsActiveOldQz760(const Session& s, int status);

}  // namespace kts
