// The one time record of the system: logger clock, start and end times,
// stamps and (with hours, minutes and seconds only) periods and durations.
#pragma once

#include <cstdint>

namespace kts {

struct TimeRecord {
  uint16_t year = 2000;
  uint16_t month = 1;
  uint16_t dayOfWeek = 0;  // not used by the logic
  uint16_t day = 1;
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t millisecond = 0;

  bool operator==(const TimeRecord&) const = default;
};
static_assert(sizeof(TimeRecord) == 16, "stamp tables store the record as eight 16-bit fields");

// A duration (sampling period, burst interval) built from hours, minutes, seconds.
inline TimeRecord MakePeriod(int hours, int minutes, int seconds) {
  TimeRecord t;
  t.hour = static_cast<uint16_t>(hours);
  t.minute = static_cast<uint16_t>(minutes);
  t.second = static_cast<uint16_t>(seconds);
  return t;
}

inline TimeRecord MakeTime(int year, int month, int day, int hour = 0, int minute = 0,
                           int second = 0, int millisecond = 0) {
  TimeRecord t;
  t.year = static_cast<uint16_t>(year);
  t.month = static_cast<uint16_t>(month);
  t.day = static_cast<uint16_t>(day);
  t.hour = static_cast<uint16_t>(hour);
  t.minute = static_cast<uint16_t>(minute);
  t.second = static_cast<uint16_t>(second);
  t.millisecond = static_cast<uint16_t>(millisecond);
  return t;
}

// Whole seconds of a period: hours × 3600 + minutes × 60 + seconds (0 stays 0).
inline int64_t PeriodSeconds(const TimeRecord& p) {
  return int64_t{p.hour} * 3600 + int64_t{p.minute} * 60 + p.second;
}

}  // namespace kts
