// A host clock whose "now" a test sets. Pauses really wait (the peer at the
// other end of a pseudo-terminal runs in real time) and move "now" along.
#pragma once

#include "core/time_math.h"
#include "platform/host_clock.h"

namespace kts::test {

class FakeClock : public HostClock {
 public:
  explicit FakeClock(TimeRecord now = MakeTime(2026, 12, 7, 12, 0, 0)) : now_(now) {}
  TimeRecord localNow() override { return now_; }
  int64_t monotonicMs() override { return real_.monotonicMs() + shiftedMs_; }
  void sleepMs(int ms) override {
    if (realSleeps) real_.sleepMs(ms);
    else shiftedMs_ += ms;
    now_ = AddMilliseconds(now_, ms);
  }
  void set(TimeRecord t) { now_ = t; }
  void advanceMs(int64_t ms) {
    now_ = AddMilliseconds(now_, ms);
    shiftedMs_ += ms;
  }

  bool realSleeps = true;

 private:
  TimeRecord now_;
  SystemClock real_;
  int64_t shiftedMs_ = 0;
};

}  // namespace kts::test
