// Text forms of the time record: on the wire, on screen and in files.
#pragma once

#include <string>
#include <string_view>

#include "core/time_record.h"

namespace kts {

// A formatted time held by value: no allocation, valid as long as it lives.
struct TimeText {
  char s[40] = {};
  const char* c_str() const { return s; }
  operator std::string_view() const { return s; }
  std::string str() const { return s; }
};

// Month abbreviations "Jan" … "Dec"; "???" outside 1..12.
const char* MonthAbbreviation(int month);

TimeText FormatWireDateTime(const TimeRecord& t);     // "%02d%02d%02d%02d%02d%02d", year − 2000
TimeText FormatWireDuration(const TimeRecord& t);     // "%02d%02d%02d"
TimeText FormatDisplayDateTime(const TimeRecord& t);  // "%04d/%s/%02d %02d:%02d:%02d"
TimeText FormatShortDateTime(const TimeRecord& t);    // "%02d/%02d/%02d %02d:%02d:%02d", year − 2000
TimeText FormatClock(const TimeRecord& t);            // "%02d:%02d:%02d"
TimeText FormatPeriod(const TimeRecord& t);           // "%02d:%02d:%02d"

// Parsers never fail: text they cannot read gives the fixed fallbacks.
// A date-time: the 12 digits before the first "C" (of "CTD", "CST", "CET");
// anything unreadable is 2000-01-01 00:00:00.000.
TimeRecord ParseWireDateTime(std::string_view reply);
// A duration: the 6 digits before "CSP" (or else "WAV"); out-of-range values
// give 00:01:00; no tag gives the zero record 2000-01-01 00:00:00.
TimeRecord ParseWireDuration(std::string_view reply);

// The reply left in the buffer by a failed tagged query.
inline constexpr std::string_view kFailedQueryText = "000101000000";

}  // namespace kts
