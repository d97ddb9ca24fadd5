// The host clock behind "now", a millisecond clock and the protocol pauses.
// Tests replace it to set "now".
#pragma once

#include <cstdint>

#include "core/time_record.h"

namespace kts {

class HostClock {
 public:
  virtual ~HostClock() = default;
  // Local wall-clock time, with milliseconds.
  virtual TimeRecord localNow() = 0;
  // A millisecond clock that never goes back.
  virtual int64_t monotonicMs() = 0;
  // Waits at least `ms` milliseconds.
  virtual void sleepMs(int ms) = 0;
};

class SystemClock final : public HostClock {
 public:
  TimeRecord localNow() override;
  int64_t monotonicMs() override;
  void sleepMs(int ms) override;
};

}  // namespace kts
