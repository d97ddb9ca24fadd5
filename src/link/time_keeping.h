// Small clocks that remember one previous value each: the next-sample test
// of real-time and wave records, the capped elapsed time of a display step,
// and the 20-second countdown. Their state lives in the session.
#pragma once

#include <cstdint>

#include "core/time_record.h"

namespace kts {

class HostClock;

struct SampleSequence {
  int64_t previous = 0;  // seconds since 2000 of the previous record
};

struct ElapsedTimer {
  bool started = false;
  int64_t previousMs = 0;
};

struct Countdown {
  bool started = false;
  int64_t startMs = 0;
};

inline constexpr int kCountdownSeconds = 20;

struct TimeKeeping {
  SampleSequence sampleSequence;
  ElapsedTimer elapsed;
  Countdown countdown;
};

// True when t follows the previous record by no more than one sampling
// period (so no time stamp is needed before it); false when t is earlier
// than the previous record or further away. t becomes the previous record.
bool IsNextSample(SampleSequence& seq, const TimeRecord& t, int64_t periodSeconds);

// Milliseconds since the previous call, at most 1000; the first call counts
// as a full second.
int ElapsedMsCapped(ElapsedTimer& timer, HostClock& clock);

// The countdown runs on the millisecond clock, so a change of the wall clock
// (a daylight-saving step, a user setting the time) cannot stretch it.
void StartCountdown(Countdown& c, HostClock& clock);
// 20 minus the whole seconds since StartCountdown, never below 0 (0 when it
// was never started).
int CountdownLeft(const Countdown& c, HostClock& clock);

}  // namespace kts
