// "KTS Logger - Date and time picker": edits the start and end times, the
// start-now choice, the sampling period and the averaging of the
// deployment in place, validating after every change; Discard puts back
// what the deployment held when the picker opened.
#pragma once

#include <array>

#include "core/time_record.h"
#include "deploy/deployment_parameters.h"
#include "deploy/setup_screen.h"

namespace kts {

struct Session;

enum class SamplingChoice { TenSeconds, Minute, Hour, Day, Profiling, LetMeChoose };
inline constexpr std::array<SamplingChoice, 6> kSamplingChoices{
    SamplingChoice::TenSeconds, SamplingChoice::Minute,    SamplingChoice::Hour,
    SamplingChoice::Day,        SamplingChoice::Profiling, SamplingChoice::LetMeChoose};
const char* SamplingChoiceText(SamplingChoice c);

inline constexpr int64_t kMaxAveragingSeconds = 10'800;  // 03:00:00

struct DateTimePickerModel {
  static constexpr const char* kTitle = "KTS Logger - Date and time picker";

  SetupScreen screen;  // the picker's own message line
  const char* startLabel = "Start time";
  bool startControlsShown = true;
  bool nowChecked = false;

  bool profilingChoiceShown = false;  // profiling capability only
  SamplingChoice choice = SamplingChoice::LetMeChoose;
  bool periodPickerShown = false;
  TimeRecord periodPicker;  // as shown: a day reads 00:00:00

  bool averagingControlsShown = false;  // averaging capability only
  const char* averagingLabel = "Enable averaging:";
  bool averagingBoxEnabled = true;
  bool averagingChecked = false;
  bool averagingPickerEnabled = false;
  TimeRecord averagingPicker;  // "HH':'mm':'ss"

  DialogOutcome outcome = DialogOutcome::Open;

  // What Discard restores: the deployment as it was on opening.
  DeploymentParameters saved;
};

// Opening: the start shown is the start time when it lies ahead of the host
// clock, else the host time; the end is kept when it lies after both, else
// it is the start plus the time the memory lasts (at most 365 days). Then
// the choices follow the deployment, the validation runs on a cleared
// message line and, when it passes, the estimates are shown.
void PickerOpen(Session& s, DateTimePickerModel& p);

// Each change validates again and shows the estimates when that passes.
// The setters return 0 (and change nothing) for a value the picker cannot
// take: a hidden control, or a time of day out of range.
int PickerSetNow(Session& s, DateTimePickerModel& p, bool now);
int PickerSetStart(Session& s, DateTimePickerModel& p, const TimeRecord& start);
int PickerSetEnd(Session& s, DateTimePickerModel& p, const TimeRecord& end);
int PickerChooseSampling(Session& s, DateTimePickerModel& p, SamplingChoice choice);
int PickerSetPeriod(Session& s, DateTimePickerModel& p, const TimeRecord& value);
int PickerSetAveraging(Session& s, DateTimePickerModel& p, bool enabled);
int PickerSetAveragingPeriod(Session& s, DateTimePickerModel& p, const TimeRecord& value);

// Accept relabels the setup screen's main button (the main setup screen
// when none is given) "Enable logging".
void PickerAccept(Session& s, DateTimePickerModel& p, SetupScreen* setup);
void PickerDiscard(Session& s, DateTimePickerModel& p);

}  // namespace kts
