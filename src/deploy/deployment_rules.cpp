#include "deploy/deployment_rules.h"

#include <algorithm>

#include "core/session.h"
#include "core/text.h"

namespace kts {

bool HasCapabilitiesTable(const Session& s) {
  return s.description.capabilityWordsRead;
}
bool IsQzLogger(const Session& s) {
  return Contains(s.link.identity.model, "QZ");
}
bool IsHvLogger(const Session& s) {
  return Contains(s.link.identity.model, "HV");
}

int DeploymentChannels(const Session& s) {
  return std::clamp(s.description.channelCount, 1, kMaxChannels);
}

int64_t SamplingSeconds(const TimeRecord& period) {
  const int64_t seconds = PeriodSeconds(period);
  return seconds == 0 ? 86'400 : seconds;
}

TimeRecord PeriodFromSeconds(int64_t seconds) {
  seconds = std::clamp<int64_t>(seconds, 0, 65535 * int64_t{3600});
  return MakePeriod(static_cast<int>(seconds / 3600), static_cast<int>(seconds % 3600 / 60),
                    static_cast<int>(seconds % 60));
}

TimeRecord PickerPeriod(const TimeRecord& period) {
  return PeriodSeconds(period) == 86'400 ? MakePeriod(0, 0, 0) : period;
}

TimeRecord PeriodFromPicker(const TimeRecord& picker) {
  const TimeRecord p = MakePeriod(picker.hour, picker.minute, picker.second);
  return PeriodSeconds(p) == 0 ? MakePeriod(24, 0, 0) : p;
}

TimeRecord EffectiveStart(const DeploymentParameters& d) {
  return d.block.startMode == kStartAtTime ? d.startTime : d.loggerTime;
}

TimeRecord AddOneYear(const TimeRecord& t) {
  TimeRecord r = t;
  r.year = static_cast<uint16_t>(t.year + 1);
  if (r.month == 2 && r.day == 29) r.day = 28;
  return r;
}

bool IsThresholdStart(uint32_t startMode) {
  return startMode == kStartAboveThreshold || startMode == kStartBelowThreshold;
}

}  // namespace kts
