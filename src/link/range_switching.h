// Range switching: the extended channel capabilities (table 04) and the
// range switching behaviour (table 05), and what they mean for the
// channels' types and reading times.
#pragma once

#include <cstdint>

namespace kts {

struct Session;
struct LoggerDescription;

struct SensorRow {
  uint8_t letter;
  const char* name;
  int autorangeMs;  // time an autoranging read adds
};
inline constexpr int kSensorRows = 15;
const SensorRow& SensorTableRow(int i);

// A channel's reading time: 200 ms at a fixed gain, else the sensor's
// autorange time + 400 ms. A letter with no row takes the last row's time.
int ChannelReadingTimeMs(uint8_t letter, int gainSetting);

// Both tables back to "no range switching": byte 0 is 1, the rest 0xFF.
void InstallDefaultRangeTables(LoggerDescription& d);

// After every read or write: autoranging channel types, each channel's
// reading time, the logger's reading time and byte 0 of table 05 (the
// channel, from 1, with the longest reading time).
void InterpretRangeSwitching(LoggerDescription& d);

// "R0400" then "R0500". A failed "R0400" keeps its default silently; a
// failed "R0500" keeps its default and shows "Range switching behaviour
// retrieve error" (false).
bool ReadRangeSwitching(Session& s);

// Reconnects, then sends each table and reads it back. 1 written, 0 a
// failure (its message in the status bar), 2 a logger without range
// switching.
int WriteRangeSwitching(Session& s);

}  // namespace kts
