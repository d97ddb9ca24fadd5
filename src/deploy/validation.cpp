#include "deploy/validation.h"

#include <algorithm>
#include <string>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_screen.h"

namespace kts {
namespace {

constexpr int kGoOn = -1;
constexpr int kAcceptEndTime = 1;
constexpr int kAcceptSamplingPeriod = 2;
// The questions cannot loop: either proposal fits the memory by design.
constexpr int kMaxProposalRounds = 3;

const char* ResultMessage(int result) {
  switch (result) {
    case kStartNotAfterLoggerTime:
      return "Error: Start time less than or equal to Logger time.";
    case kStartNotBeforeEnd:
      return "Error: Start time greater than or equal to End time.";
    case kEndNotAfterLoggerTime:
      return "Error: End time before the current time.";
    case kTooManySamples:
      return "Error: Too many samples requested.";
    case kPeriodShorterThanAveraging:
      return "Error: Sampling period shorter than Averaging period.";
    case kPeriodShorterThanMinimum:
      return "Error: Sampling period shorter than minimum period defined by parameters and "
             "sensors.";
    default:
      return "";
  }
}

// Steps 1 to 5: the order of the times.
int CheckTimes(Session& s, bool existingOnly) {
  DeploymentParameters& d = s.deployment;
  // A threshold start has no known start; the logger may wait up to a year.
  if (IsThresholdStart(d.block.startMode) && s.setup.open) d.endTime = AddOneYear(d.loggerTime);
  if (!existingOnly && d.block.startMode == kStartAtTime) {
    if (CompareTimes(d.startTime, d.loggerTime) <= 0) return kStartNotAfterLoggerTime;
    if (CompareTimes(d.startTime, d.endTime) >= 0) return kStartNotBeforeEnd;
  } else if (CompareTimes(d.endTime, d.loggerTime) <= 0) {
    return kEndNotAfterLoggerTime;
  }
  return existingOnly ? kDeploymentValid : kGoOn;
}

struct Proposal {
  TimeRecord end;
  TimeRecord period;
  bool periodOffered = false;
  std::string text;
};

// Steps 6 and 7: the readings the deployment needs against the memory, and
// what would fit when they are too many.
bool TooManyReadings(const Session& s, Proposal* p) {
  const DeploymentParameters& d = s.deployment;
  if (d.block.startMode != kStartAtTime && d.block.startMode != kStartNow) return false;
  const int64_t channels = DeploymentChannels(s);
  const int64_t period = SamplingSeconds(d.samplingPeriod);
  const TimeRecord start = EffectiveStart(d);
  const int64_t duration = DiffSeconds(d.endTime, start);
  const bool profiling = d.block.samplingMode == kProfilingMode;
  const int64_t required = profiling ? duration * 6 * channels : (duration / period) * channels;
  const MemoryClass memory = s.description.memoryClass();
  const int64_t capacity = MemoryCapacityReadings(memory);
  if (required <= capacity) return false;

  const int64_t samples = capacity / channels;
  int64_t fitting;
  if (profiling)
    fitting = capacity / (channels * 6);
  else if (memory == MemoryClass::ExtraLarge)
    fitting = (samples - 20) * period;
  else
    fitting = (samples - 1) * period;
  p->end = AddSeconds(start, fitting);
  const int64_t proposed = duration / samples + 1;
  p->period = PeriodFromSeconds(proposed);
  // A period beyond a day cannot be programmed, so it is not offered.
  p->periodOffered = !profiling && !s.description.waves && proposed <= 86'400;

  const TimeText endText = FormatDisplayDateTime(d.endTime);
  const TimeText proposedEnd = FormatDisplayDateTime(p->end);
  if (profiling) {
    p->text = Format(
        "Your choice of End time at %s\n with 6Hz Sampling requires too many samples for this "
        "logger.\n\nYou may change the End time to %s\n\n",
        endText.c_str(), proposedEnd.c_str());
  } else if (!p->periodOffered) {
    p->text = Format(
        "Your choice of End time at %s\n with a Sampling period of %s requires too many samples "
        "for this logger.\n\nYou may change the End time to %s.",
        endText.c_str(), FormatPeriod(d.samplingPeriod).c_str(), proposedEnd.c_str());
  } else {
    p->text = Format(
        "Your choice of End time at %s\n with a Sampling period of %s requires too many samples "
        "for this logger.\n\nYou may change the End time to %s\n\n or the Sampling period to "
        "%02d:%02d:%02d.",
        endText.c_str(), FormatPeriod(d.samplingPeriod).c_str(), proposedEnd.c_str(),
        p->period.hour, p->period.minute, p->period.second);
  }
  return true;
}

// Returns false when the user closed the question.
bool AcceptProposal(Session& s, const Proposal& p) {
  Question q;
  q.caption = "Too many samples requested";
  q.text = p.text;
  q.buttons.push_back({kAcceptEndTime, "Accept End Time"});
  if (p.periodOffered) q.buttons.push_back({kAcceptSamplingPeriod, "Accept Sampling Period"});
  // No default: a run that cannot ask changes nothing and is refused.
  q.defaultId = kQuestionClosed;
  const int answer = s.ui.ask(q);
  DeploymentParameters& d = s.deployment;
  if (answer == kAcceptEndTime) {
    d.startTime = EffectiveStart(d);
    d.endTime = p.end;
  } else if (answer == kAcceptSamplingPeriod && p.periodOffered) {
    d.samplingPeriod = p.period;
  } else {
    return false;
  }
  d.changedSinceBatch = true;
  return true;
}

// Steps 9 to 12: averaging, sensor times and the power flag.
int CheckPeriods(Session& s) {
  DeploymentParameters& d = s.deployment;
  if (!d.averagingEnabled) d.averagingPeriod = 0;
  computeMinimumPeriods(s);
  const int64_t period = SamplingSeconds(d.samplingPeriod);
  if (d.averagingEnabled && period < int64_t{d.averagingPeriod}) return kPeriodShorterThanAveraging;
  if (d.block.samplingMode != kProfilingMode && period < d.minimumPeriod)
    return kPeriodShorterThanMinimum;
  d.block.powerFlag = (period >= d.minimumPeriod && period < d.powerCyclePeriod) ? kPowerFlag : 0;
  return kDeploymentValid;
}

int RunChecks(Session& s, bool existingOnly) {
  for (int round = 0;; ++round) {
    const int times = CheckTimes(s, existingOnly);
    if (times != kGoOn) return times;
    Proposal p;
    if (!TooManyReadings(s, &p)) return CheckPeriods(s);
    if (round + 1 >= kMaxProposalRounds || !AcceptProposal(s, p)) return kTooManySamples;
  }
}

}  // namespace

bool ChecksExistingSettingsOnly(const Session& s, const SetupScreen& screen,
                                ValidationOccasion occasion) {
  switch (occasion) {
    case ValidationOccasion::Enable:
      return Contains(screen.mainButton, kResumeButton);
    case ValidationOccasion::Refresh:
      return !s.deployment.changedSinceBatch &&
             (!HasCapabilitiesTable(s) || (s.description.words[0] & 0x80) != 0);
    case ValidationOccasion::Edit:
      break;
  }
  return false;
}

void computeMinimumPeriods(Session& s) {
  DeploymentParameters& d = s.deployment;
  const int64_t channels = DeploymentChannels(s);
  int64_t realTime = 0;
  if (d.realTimeOutput == 1) {
    int64_t baud = d.realTimeBaud ? d.realTimeBaud : s.ports.currentBaud;
    baud = std::max<int64_t>(baud, 1);
    realTime = (channels * 3 + 13) * 10 * 1000 / baud + 1;
  }
  const int64_t averagingSeconds = d.averagingEnabled ? d.averagingPeriod : 0;
  const int64_t averaging = averagingSeconds ? (averagingSeconds * 6 - 1) * 167 : 0;
  const int64_t latency = std::max(s.description.latencyMs, 0);
  const int64_t measurement = std::max(s.description.readingTimeMs, 0);
  const auto ceilSeconds = [](int64_t ms) { return static_cast<float>((ms + 999) / 1000); };
  d.powerCyclePeriod =
      ceilSeconds(latency + measurement + 140 + realTime + averaging + channels * 20 + 30);
  d.minimumPeriod = ceilSeconds(measurement + channels * 20 + realTime + averaging);
}

int validateDeployment(Session& s, SetupScreen* screen, bool clearMessageFirst,
                       ValidationOccasion occasion) {
  SetupScreen& target = screen ? *screen : s.setup;
  if (clearMessageFirst) target.message.clear();
  const bool existingOnly = ChecksExistingSettingsOnly(s, target, occasion);
  const int result = RunChecks(s, existingOnly);
  if (result == kDeploymentValid) {
    target.enableLoggingEnabled = true;
    return result;
  }
  target.message.show(ResultMessage(result), MessageIndicator::Warning);
  target.enableLoggingEnabled = false;
  // The programmed end has passed: the old settings can no longer be used.
  if (existingOnly && occasion == ValidationOccasion::Refresh && result == kEndNotAfterLoggerTime)
    s.deployment.changedSinceBatch = true;
  return result;
}

}  // namespace kts
