// Arithmetic on time records through a 64-bit count of 100-nanosecond units
// from 1601-01-01 (the same serial form the logger software has always used).
#pragma once

#include <cstdint>

#include "core/time_record.h"

namespace kts {

constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kTicksPerSecond = 10'000'000;

// Days are counted on the proleptic Gregorian calendar; fields out of their
// usual range (31 February, hour 24) roll over instead of failing.
int64_t ToTicks(const TimeRecord& t);
TimeRecord FromTicks(int64_t ticks);

TimeRecord AddSeconds(const TimeRecord& t, int64_t seconds);
TimeRecord AddMilliseconds(const TimeRecord& t, int64_t milliseconds);
// (a − b) in whole seconds, truncated towards zero.
int64_t DiffSeconds(const TimeRecord& a, const TimeRecord& b);
// The magnitude of a − b in whole seconds with the sign of a − b.
int64_t SignedDiffSeconds(const TimeRecord& a, const TimeRecord& b);
int CompareTimes(const TimeRecord& a, const TimeRecord& b);

// Seconds from 2000-01-01 00:00:00 counting every year divisible by 4 as a
// leap year, as the logger firmware does for its stamps.
int64_t SecondsSince2000(const TimeRecord& t);

}  // namespace kts
