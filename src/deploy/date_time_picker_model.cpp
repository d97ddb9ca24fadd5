#include "deploy/date_time_picker_model.h"

#include <algorithm>

#include "core/session.h"
#include "core/time_math.h"
#include "deploy/deployment_rules.h"
#include "deploy/estimates.h"
#include "deploy/validation.h"
#include "link/date_time_picker.h"

namespace kts {
namespace {

bool IsTimeOfDay(const TimeRecord& t) {
  return t.hour < 24 && t.minute < 60 && t.second < 60;
}

TimeRecord WithoutMilliseconds(TimeRecord t) {
  t.millisecond = 0;
  return t;
}

int64_t ClampAveraging(int64_t seconds) {
  return std::clamp<int64_t>(seconds, 1, kMaxAveragingSeconds);
}

SamplingChoice ChoiceFor(const DeploymentParameters& d) {
  if (d.block.samplingMode == kProfilingMode) return SamplingChoice::Profiling;
  switch (SamplingSeconds(d.samplingPeriod)) {
    case 10:
      return SamplingChoice::TenSeconds;
    case 60:
      return SamplingChoice::Minute;
    case 3600:
      return SamplingChoice::Hour;
    case 86'400:
      return SamplingChoice::Day;
    default:
      return SamplingChoice::LetMeChoose;
  }
}

void ShowStartNow(DateTimePickerModel& p, bool now) {
  p.nowChecked = now;
  p.startControlsShown = !now;
  p.startLabel = now ? "Start time - NOW" : "Start time";
}

void ShowAveragingAllowed(DateTimePickerModel& p, bool allowed) {
  p.averagingBoxEnabled = allowed;
  p.averagingLabel = allowed ? "Enable averaging:" : "Averaging prohibited by profiling";
  if (!allowed) p.averagingChecked = false;
  p.averagingPickerEnabled = allowed && p.averagingChecked;
}

int Revalidate(Session& s, DateTimePickerModel& p) {
  const int result = validateDeployment(s, &p.screen, true);
  if (result == kDeploymentValid) showEstimates(s, &p.screen);
  return result;
}

// After a changed time: an end that no longer lies ahead is moved to the
// start, so the user sees where the deployment now begins.
void RevalidateTimes(Session& s, DateTimePickerModel& p) {
  const int result = validateDeployment(s, &p.screen, true);
  if (result == kStartNotBeforeEnd || result == kEndNotAfterLoggerTime)
    s.deployment.endTime = p.nowChecked ? s.deployment.loggerTime : s.deployment.startTime;
  else if (result == kDeploymentValid)
    showEstimates(s, &p.screen);
}

}  // namespace

const char* SamplingChoiceText(SamplingChoice c) {
  switch (c) {
    case SamplingChoice::TenSeconds:
      return "One sample every ten seconds";
    case SamplingChoice::Minute:
      return "One sample every minute";
    case SamplingChoice::Hour:
      return "One sample every hour";
    case SamplingChoice::Day:
      return "One sample every day";
    case SamplingChoice::Profiling:
      return "6Hz profiling";
    case SamplingChoice::LetMeChoose:
      break;
  }
  return "Let me choose";
}

void PickerOpen(Session& s, DateTimePickerModel& p) {
  DeploymentParameters& d = s.deployment;
  p.saved = d;
  p.outcome = DialogOutcome::Open;

  const TimeRecord host = WithoutMilliseconds(s.clock.localNow());
  const bool now = d.block.startMode == kStartNow;
  ShowStartNow(p, now);
  const PickerTimes times =
      OpenDateTimePicker(d.startTime, d.endTime, host, now, d.samplingPeriod,
                         DeploymentChannels(s), s.description.memoryClass());
  d.startTime = times.start;
  d.endTime = times.end;

  p.profilingChoiceShown = s.description.profiling6Hz;
  p.choice = ChoiceFor(d);
  if (p.choice == SamplingChoice::Profiling && !p.profilingChoiceShown)
    p.choice = SamplingChoice::LetMeChoose;
  p.periodPickerShown = p.choice == SamplingChoice::LetMeChoose;
  p.periodPicker = PickerPeriod(d.samplingPeriod);

  p.averagingControlsShown = s.description.averaging;
  p.averagingChecked = d.averagingEnabled;
  p.averagingPicker = PeriodFromSeconds(ClampAveraging(d.averagingPeriod));
  ShowAveragingAllowed(p, p.choice != SamplingChoice::Profiling);

  Revalidate(s, p);
}

int PickerSetNow(Session& s, DateTimePickerModel& p, bool now) {
  DeploymentParameters& d = s.deployment;
  ShowStartNow(p, now);
  d.block.startMode = now ? kStartNow : kStartAtTime;
  if (now) d.startTime = d.loggerTime;
  Revalidate(s, p);
  return 1;
}

int PickerSetStart(Session& s, DateTimePickerModel& p, const TimeRecord& start) {
  if (!p.startControlsShown) return 0;
  s.deployment.startTime = WithoutMilliseconds(start);
  RevalidateTimes(s, p);
  return 1;
}

int PickerSetEnd(Session& s, DateTimePickerModel& p, const TimeRecord& end) {
  s.deployment.endTime = WithoutMilliseconds(end);
  RevalidateTimes(s, p);
  return 1;
}

int PickerChooseSampling(Session& s, DateTimePickerModel& p, SamplingChoice choice) {
  DeploymentParameters& d = s.deployment;
  if (choice == SamplingChoice::Profiling) {
    if (!p.profilingChoiceShown) return 0;
    d.block.samplingMode = kProfilingMode;
    d.averagingEnabled = false;
    ShowAveragingAllowed(p, false);
    p.periodPickerShown = false;
  } else {
    switch (choice) {
      case SamplingChoice::TenSeconds:
        p.periodPicker = MakePeriod(0, 0, 10);
        break;
      case SamplingChoice::Minute:
        p.periodPicker = MakePeriod(0, 1, 0);
        break;
      case SamplingChoice::Hour:
        p.periodPicker = MakePeriod(1, 0, 0);
        break;
      case SamplingChoice::Day:
        p.periodPicker = MakePeriod(0, 0, 0);
        break;
      default:
        break;  // "Let me choose" keeps the picker's value
    }
    d.samplingPeriod = PeriodFromPicker(p.periodPicker);
    d.block.samplingMode = 0;
    ShowAveragingAllowed(p, true);
    p.periodPickerShown = choice == SamplingChoice::LetMeChoose;
  }
  p.choice = choice;
  Revalidate(s, p);
  return 1;
}

int PickerSetPeriod(Session& s, DateTimePickerModel& p, const TimeRecord& value) {
  if (!p.periodPickerShown || !IsTimeOfDay(value)) return 0;
  p.periodPicker = MakePeriod(value.hour, value.minute, value.second);
  s.deployment.samplingPeriod = PeriodFromPicker(p.periodPicker);
  // The validation decides afresh whether the logger may power down.
  s.deployment.block.powerFlag = 0;
  Revalidate(s, p);
  return 1;
}

int PickerSetAveraging(Session& s, DateTimePickerModel& p, bool enabled) {
  if (!p.averagingControlsShown || !p.averagingBoxEnabled) return 0;
  DeploymentParameters& d = s.deployment;
  p.averagingChecked = enabled;
  p.averagingPickerEnabled = enabled;
  d.averagingEnabled = enabled;
  if (enabled) d.averagingPeriod = static_cast<uint32_t>(PeriodSeconds(p.averagingPicker));
  Revalidate(s, p);
  return 1;
}

int PickerSetAveragingPeriod(Session& s, DateTimePickerModel& p, const TimeRecord& value) {
  if (!p.averagingPickerEnabled || !IsTimeOfDay(value)) return 0;
  const int64_t seconds = ClampAveraging(PeriodSeconds(value));
  p.averagingPicker = PeriodFromSeconds(seconds);
  s.deployment.averagingPeriod = static_cast<uint32_t>(seconds);
  Revalidate(s, p);
  return 1;
}

void PickerAccept(Session& s, DateTimePickerModel& p, SetupScreen* setup) {
  DeploymentParameters& d = s.deployment;
  d.startTime = WithoutMilliseconds(d.startTime);
  d.endTime = WithoutMilliseconds(d.endTime);
  if (!s.description.waves) {
    d.samplingPeriod = PeriodFromPicker(p.periodPicker);
    d.block.samplingMode = p.choice == SamplingChoice::Profiling ? kProfilingMode : 0;
  }
  if (s.description.averaging) {
    d.averagingEnabled = p.averagingChecked;
    d.averagingPeriod = static_cast<uint32_t>(ClampAveraging(PeriodSeconds(p.averagingPicker)));
  } else {
    d.averagingEnabled = false;
    d.averagingPeriod = 0;
  }
  (setup ? *setup : s.setup).mainButton = kEnableLoggingButton;
  d.changedSinceBatch = true;
  p.outcome = DialogOutcome::Accepted;
}

void PickerDiscard(Session& s, DateTimePickerModel& p) {
  s.deployment = p.saved;
  p.outcome = DialogOutcome::Discarded;
}

}  // namespace kts
