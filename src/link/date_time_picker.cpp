#include "link/date_time_picker.h"

#include <algorithm>

#include "core/time_math.h"

namespace kts {

int64_t MemoryCapacityReadings(MemoryClass memory) {
  switch (memory) {
    case MemoryClass::ExtraLarge:
      return 2'793'456;
    case MemoryClass::Large:
      return 1'300'000;
    case MemoryClass::Standard:
      break;
  }
  return 653'984;
}

int64_t DefaultDeploymentSeconds(int64_t periodSeconds, int channels, MemoryClass memory) {
  const int64_t period = periodSeconds > 0 ? periodSeconds : 86'400;
  const int64_t samples = MemoryCapacityReadings(memory) / std::max(channels, 1);
  return std::min(period * samples, kMaxDefaultDeploymentSeconds);
}

void SetPickerStartNow(PickerTimes& p, bool startNow, const TimeRecord& hostNow) {
  p.startNow = startNow;
  p.startControlsShown = !startNow;
  p.startLabel = startNow ? "Start time - NOW" : "Start time";
  if (startNow) p.start = hostNow;
}

PickerTimes OpenDateTimePicker(const TimeRecord& start, const TimeRecord& end,
                               const TimeRecord& hostNow, bool startNow, const TimeRecord& period,
                               int channels, MemoryClass memory) {
  PickerTimes p;
  p.start = CompareTimes(start, hostNow) > 0 ? start : hostNow;
  // With start-now the deployment begins at the host time, so the default
  // end is reckoned from there.
  SetPickerStartNow(p, startNow, hostNow);
  if (CompareTimes(end, p.start) > 0 && CompareTimes(end, hostNow) > 0) {
    p.end = end;
  } else {
    p.end = AddSeconds(p.start, DefaultDeploymentSeconds(PeriodSeconds(period), channels, memory));
  }
  return p;
}

}  // namespace kts
