// "KTS Logger - Thresholding configuration": the level, channel, power-
// saving check period and hysteresis of a threshold start. Choices change
// the deployment at once; Discard puts back what it held on opening.
#pragma once

#include <string>
#include <vector>

#include "core/time_record.h"
#include "deploy/deployment_parameters.h"
#include "deploy/setup_screen.h"

namespace kts {

struct Session;

enum class PowerSavingChoice { Continuous, Every10Seconds, Every30Seconds, LetMeChoose };
const char* PowerSavingChoiceText(PowerSavingChoice c);

struct ThresholdScreen {
  static constexpr const char* kTitle = "KTS Logger - Thresholding configuration";
  static constexpr const char* kPeriodNote = "(This period can be changed in the Setup dialog)";
  static constexpr const char* kHysteresisNote =
      "After a thresholding session, the logger will collect data for";

  const char* senseLabel = "When ABOVE the threshold of";
  std::string levelText;  // "%.2f"

  // One entry per channel in channel order, autoranging turbidity left out,
  // so a list position is not a channel index: `channelOfEntry` maps it.
  std::vector<std::string> channelEntries;
  std::vector<int> channelOfEntry;
  int selectedEntry = 0;

  std::string samplingText;  // "data will be sampled at:"

  PowerSavingChoice choice = PowerSavingChoice::Continuous;
  bool periodicChoicesEnabled = false;  // periodic-test capability
  bool checkPickerShown = false;
  TimeRecord checkPicker;  // "HH':'mm':'ss"

  bool hysteresisShown = false;  // hysteresis capability
  bool hysteresisBoxEnabled = true;
  bool hysteresisChecked = false;
  std::string hysteresisText;  // seconds; editable only while checked

  MessageLine message;
  DialogOutcome outcome = DialogOutcome::Open;

  // What Discard restores.
  DeploymentBlock savedBlock;
  TimeRecord savedCheckPeriod;
  bool savedHysteresisEnabled = false;
};

void OpenThresholdScreen(Session& s, ThresholdScreen& t);
void ChoosePowerSaving(Session& s, ThresholdScreen& t, PowerSavingChoice choice);
void SetHysteresisChecked(ThresholdScreen& t, bool checked);
// Returns 1 when the screen closed as accepted, 0 when it stays open (a
// question was asked, an entry is not a number, or a period was raised).
int AcceptThresholdScreen(Session& s, ThresholdScreen& t);
void DiscardThresholdScreen(Session& s, ThresholdScreen& t);

}  // namespace kts
