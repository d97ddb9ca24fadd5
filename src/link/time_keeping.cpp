#include "link/time_keeping.h"

#include <algorithm>

#include "core/time_math.h"
#include "platform/host_clock.h"

namespace kts {

bool IsNextSample(SampleSequence& seq, const TimeRecord& t, int64_t periodSeconds) {
  const int64_t now = SecondsSince2000(t);
  const int64_t previous = seq.previous;
  seq.previous = now;
  if (now < previous) return false;
  return now <= previous + periodSeconds;
}

int ElapsedMsCapped(ElapsedTimer& timer, HostClock& clock) {
  const int64_t now = clock.monotonicMs();
  const int64_t elapsed = timer.started ? now - timer.previousMs : 1000;
  timer.started = true;
  timer.previousMs = now;
  return static_cast<int>(std::clamp<int64_t>(elapsed, 0, 1000));
}

void StartCountdown(Countdown& c, HostClock& clock) {
  c.started = true;
  c.startMs = clock.monotonicMs();
}

int CountdownLeft(const Countdown& c, HostClock& clock) {
  if (!c.started) return 0;
  const int64_t elapsedSeconds = (clock.monotonicMs() - c.startMs) / 1000;
  return static_cast<int>(
      std::clamp<int64_t>(kCountdownSeconds - elapsedSeconds, 0, kCountdownSeconds));
}

}  // namespace kts
