// Small rules the deployment screens, checks, estimates and logs share:
// which kind of logger this is, how many readings its memory holds, and
// how periods and times of the deployment are reckoned.
#pragma once

#include "link/date_time_picker.h"  // MemoryCapacityReadings

#include <cstddef>  // logger_description.h needs size_t
#include <cstdint>

#include "core/time_record.h"
#include "link/logger_description.h"

namespace kts {

struct Session;
struct DeploymentParameters;

// A logger that answered the capability queries ("capabilities table").
bool HasCapabilitiesTable(const Session& s);
bool IsQzLogger(const Session& s);
bool IsHvLogger(const Session& s);

// The channel count, kept to 1..24 so that no check divides by zero or
// indexes past the channel tables.
int DeploymentChannels(const Session& s);

// Whole seconds of a sampling or check period; 00:00:00 counts as a day.
int64_t SamplingSeconds(const TimeRecord& period);

// The period record of a number of seconds (hours may exceed 23).
TimeRecord PeriodFromSeconds(int64_t seconds);

// The sampling period as the period picker shows it: a day reads 00:00:00.
TimeRecord PickerPeriod(const TimeRecord& period);
// And back: 00:00:00 from the picker is stored as 24:00:00.
TimeRecord PeriodFromPicker(const TimeRecord& picker);

// The first sample time the checks reckon with: the logger time unless the
// deployment starts at its start time.
TimeRecord EffectiveStart(const DeploymentParameters& d);

// The same date one year later; 29 February becomes 28 February.
TimeRecord AddOneYear(const TimeRecord& t);

bool IsThresholdStart(uint32_t startMode);

}  // namespace kts
