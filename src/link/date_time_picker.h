// The rules of "KTS Logger - Date and time picker" for the start and end of
// a deployment: what it shows when it opens, and the start-now choice.
#pragma once

#include <cstdint>

#include "core/time_record.h"
#include "link/logger_description.h"

namespace kts {

inline constexpr int64_t kMaxDefaultDeploymentSeconds = 31'536'000;  // 365 days

// Readings each memory class holds: 653,984, 1,300,000 or 2,793,456.
int64_t MemoryCapacityReadings(MemoryClass memory);

// The deployment that fills the memory: period (0 counts as a day) ×
// (capacity ÷ channels), at most 365 days.
int64_t DefaultDeploymentSeconds(int64_t periodSeconds, int channels, MemoryClass memory);

struct PickerTimes {
  TimeRecord start;
  TimeRecord end;
  bool startNow = false;
  bool startControlsShown = true;
  const char* startLabel = "Start time";
};

// What the picker shows on opening. Start: the start time when it is later
// than the host time, else the host time (the host time with start-now).
// End: kept when later than both the start and the host time, else start +
// DefaultDeploymentSeconds.
PickerTimes OpenDateTimePicker(const TimeRecord& start, const TimeRecord& end,
                               const TimeRecord& hostNow, bool startNow, const TimeRecord& period,
                               int channels, MemoryClass memory);

// The "Now" choice: "Start time - NOW" with the start controls hidden and
// the start at the host time; or back to "Start time".
void SetPickerStartNow(PickerTimes& p, bool startNow, const TimeRecord& hostNow);

}  // namespace kts
