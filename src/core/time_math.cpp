#include "core/time_math.h"

namespace kts {
namespace {

// Howard Hinnant's days-from-civil, shifted to count from 1601-01-01.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  // Normalise the month first so that month 0 or 13 roll into the year.
  int64_t m0 = m - 1;
  y += (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
  m0 = ((m0 % 12) + 12) % 12;
  m = m0 + 1;
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 134774;  // 134774 days from 1601 to 1970
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468 - 134774;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = yoe + era * 400;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

}  // namespace

int64_t ToTicks(const TimeRecord& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day);
  const int64_t seconds = days * 86400 + int64_t{t.hour} * 3600 + int64_t{t.minute} * 60 + t.second;
  return seconds * kTicksPerSecond + int64_t{t.millisecond} * kTicksPerMillisecond;
}

TimeRecord FromTicks(int64_t ticks) {
  if (ticks < 0) ticks = 0;
  const int64_t totalMs = ticks / kTicksPerMillisecond;
  const int64_t totalSeconds = totalMs / 1000;
  const int64_t days = totalSeconds / 86400;
  const int64_t secondOfDay = totalSeconds % 86400;
  int64_t y, m, d;
  CivilFromDays(days, y, m, d);
  TimeRecord t;
  t.year = static_cast<uint16_t>(y);
  t.month = static_cast<uint16_t>(m);
  t.day = static_cast<uint16_t>(d);
  t.hour = static_cast<uint16_t>(secondOfDay / 3600);
  t.minute = static_cast<uint16_t>(secondOfDay % 3600 / 60);
  t.second = static_cast<uint16_t>(secondOfDay % 60);
  t.millisecond = static_cast<uint16_t>(totalMs % 1000);
  return t;
}

TimeRecord AddSeconds(const TimeRecord& t, int64_t seconds) {
  return FromTicks(ToTicks(t) + seconds * kTicksPerSecond);
}

TimeRecord AddMilliseconds(const TimeRecord& t, int64_t milliseconds) {
  return FromTicks(ToTicks(t) + milliseconds * kTicksPerMillisecond);
}

int64_t DiffSeconds(const TimeRecord& a, const TimeRecord& b) {
  return (ToTicks(a) - ToTicks(b)) / kTicksPerSecond;
}

int64_t SignedDiffSeconds(const TimeRecord& a, const TimeRecord& b) {
  const int64_t d = ToTicks(a) - ToTicks(b);
  return d >= 0 ? d / kTicksPerSecond : -((-d) / kTicksPerSecond);
}

int CompareTimes(const TimeRecord& a, const TimeRecord& b) {
  const int64_t ta = ToTicks(a), tb = ToTicks(b);
  return ta < tb ? -1 : (ta > tb ? 1 : 0);
}

int64_t SecondsSince2000(const TimeRecord& t) {
  static constexpr int kCommon[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  static constexpr int kLeap[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
  int64_t days = 0;
  for (int y = 2000; y < t.year; ++y) days += (y % 4 == 0) ? 366 : 365;
  const int month = (t.month >= 1 && t.month <= 12) ? t.month : 1;
  days += (t.year % 4 == 0) ? kLeap[month - 1] : kCommon[month - 1];
  days += t.day >= 1 ? t.day - 1 : 0;
  return days * 86400 + int64_t{t.hour} * 3600 + int64_t{t.minute} * 60 + t.second;
}

}  // namespace kts
