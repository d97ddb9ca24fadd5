#include "deploy/threshold_screen.h"

#include <charconv>
#include <cmath>

#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_texts.h"
#include "deploy/threshold.h"

namespace kts {
namespace {

// Locale-independent, so a level reads the same whatever the desktop's
// decimal separator; surrounding blanks are allowed.
bool ParseLevel(const std::string& text, double* level) {
  const char* first = text.data();
  const char* last = first + text.size();
  while (first < last && (*first == ' ' || *first == '\t')) ++first;
  while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
  if (first < last && *first == '+') ++first;
  double v = 0.0;
  const auto [end, error] = std::from_chars(first, last, v);
  if (error != std::errc() || end != last || first == last || !std::isfinite(v)) return false;
  *level = v;
  return true;
}

bool ParseSeconds(const std::string& text, uint32_t* seconds) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return false;
  uint64_t v = 0;
  for (; i < text.size() && text[i] != ' '; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<uint64_t>(text[i] - '0');
    if (v > 0xFFFFFFFFu) return false;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  *seconds = static_cast<uint32_t>(v);
  return true;
}

std::string ChannelEntry(uint8_t type, int channel) {
  const char* format = RowOf(type).listFormat;
  if (*format == '\0') return Format("%d - %s\t", channel + 1, ChannelTypeName(type).c_str());
  return Format(format, channel + 1);
}

PowerSavingChoice ChoiceFor(const TimeRecord& check) {
  switch (PeriodSeconds(check)) {
    case 0:
      return PowerSavingChoice::Continuous;
    case 10:
      return PowerSavingChoice::Every10Seconds;
    case 30:
      return PowerSavingChoice::Every30Seconds;
    default:
      return PowerSavingChoice::LetMeChoose;
  }
}

// Hysteresis needs a periodic test on loggers without a capabilities table.
void DisableHysteresisWhenContinuous(const Session& s, ThresholdScreen& t) {
  if (t.choice != PowerSavingChoice::Continuous || HasCapabilitiesTable(s)) return;
  t.hysteresisChecked = false;
  t.hysteresisBoxEnabled = false;
}

}  // namespace

const char* PowerSavingChoiceText(PowerSavingChoice c) {
  switch (c) {
    case PowerSavingChoice::Continuous:
      return "Continuously -  (Power is kept ON)";
    case PowerSavingChoice::Every10Seconds:
      return "Every 10 seconds";
    case PowerSavingChoice::Every30Seconds:
      return "Every 30 seconds";
    case PowerSavingChoice::LetMeChoose:
      break;
  }
  return "Let me choose";
}

void OpenThresholdScreen(Session& s, ThresholdScreen& t) {
  const DeploymentParameters& d = s.deployment;
  t.savedBlock = d.block;
  t.savedCheckPeriod = d.checkPeriod;
  t.savedHysteresisEnabled = d.hysteresisEnabled;
  t.outcome = DialogOutcome::Open;
  t.message.clear();

  t.senseLabel = d.block.startMode == kStartAboveThreshold ? "When ABOVE the threshold of"
                                                           : "When BELOW the threshold of";
  t.levelText = Format("%.2f", d.block.thresholdLevel);

  t.channelEntries.clear();
  t.channelOfEntry.clear();
  t.selectedEntry = 0;
  const int channels = DeploymentChannels(s);
  for (int c = 0; c < channels; ++c) {
    const uint8_t type = s.description.channelTypes[static_cast<size_t>(c)];
    if (type == 'y') continue;  // autoranging turbidity cannot start a deployment
    if (static_cast<uint32_t>(c) == d.block.thresholdChannel)
      t.selectedEntry = static_cast<int>(t.channelEntries.size());
    t.channelEntries.push_back(ChannelEntry(type, c));
    t.channelOfEntry.push_back(c);
  }

  t.samplingText = PeriodText(d);
  t.choice = ChoiceFor(d.checkPeriod);
  t.checkPickerShown = t.choice == PowerSavingChoice::LetMeChoose;
  t.checkPicker = d.checkPeriod;
  t.periodicChoicesEnabled = s.description.powerSaveThresholding;

  t.hysteresisShown = s.description.hysteresis;
  t.hysteresisBoxEnabled = true;
  t.hysteresisChecked = d.block.hysteresisPeriod != 0;
  t.hysteresisText = Format("%u", d.block.hysteresisPeriod);
  DisableHysteresisWhenContinuous(s, t);
}

void ChoosePowerSaving(Session& s, ThresholdScreen& t, PowerSavingChoice choice) {
  if (choice != PowerSavingChoice::Continuous && !t.periodicChoicesEnabled) return;
  DeploymentParameters& d = s.deployment;
  t.choice = choice;
  t.hysteresisBoxEnabled = true;
  switch (choice) {
    case PowerSavingChoice::Continuous:
      d.block.thresholdTestMode = 0;
      d.checkPeriod = MakePeriod(0, 0, 0);
      break;
    case PowerSavingChoice::Every10Seconds:
    case PowerSavingChoice::Every30Seconds:
      d.block.thresholdTestMode = 1;
      d.checkPeriod = MakePeriod(0, 0, choice == PowerSavingChoice::Every10Seconds ? 10 : 30);
      break;
    case PowerSavingChoice::LetMeChoose:
      d.block.thresholdTestMode = 1;
      if (PeriodSeconds(d.checkPeriod) == 0) d.checkPeriod = d.samplingPeriod;
      t.checkPicker = d.checkPeriod;
      t.checkPickerShown = true;
      return;
  }
  t.checkPicker = d.checkPeriod;
  t.checkPickerShown = false;
  checkPowerSavingPeriod(s, &t);
  DisableHysteresisWhenContinuous(s, t);
}

void SetHysteresisChecked(ThresholdScreen& t, bool checked) {
  if (t.hysteresisShown && t.hysteresisBoxEnabled) t.hysteresisChecked = checked;
}

int AcceptThresholdScreen(Session& s, ThresholdScreen& t) {
  DeploymentParameters& d = s.deployment;
  const TimeRecord& check = t.checkPicker;
  if (check.hour >= 24 || check.minute >= 60 || check.second >= 60) {
    t.message.show("Error: The power saving period is not a valid time.",
                   MessageIndicator::Warning);
    return 0;
  }
  if (t.selectedEntry < 0 || t.selectedEntry >= static_cast<int>(t.channelOfEntry.size())) {
    t.message.show("Error: No channel has been chosen for thresholding.",
                   MessageIndicator::Warning);
    return 0;
  }
  double level = 0.0;
  if (!ParseLevel(t.levelText, &level)) {
    t.message.show("Error: The threshold level must be a number.", MessageIndicator::Warning);
    return 0;
  }
  uint32_t hysteresis = 0;
  const bool hysteresisOn = t.hysteresisShown && t.hysteresisChecked;
  if (hysteresisOn && !ParseSeconds(t.hysteresisText, &hysteresis)) {
    t.message.show("Error: The hysteresis period must be a whole number of seconds.",
                   MessageIndicator::Warning);
    return 0;
  }

  d.checkPeriod = MakePeriod(check.hour, check.minute, check.second);
  // A check period of 00:00:00 is a continuous test.
  d.block.thresholdTestMode = PeriodSeconds(d.checkPeriod) == 0 ? 0 : 1;
  d.block.thresholdChannel =
      static_cast<uint32_t>(t.channelOfEntry[static_cast<size_t>(t.selectedEntry)]);
  d.block.thresholdLevel = level;
  if (ApplyThresholdLevel(s, LevelCheck::Screen, &t) != kLevelWithinLimits) return 0;

  d.hysteresisEnabled = hysteresisOn;
  d.block.hysteresisPeriod = hysteresisOn ? hysteresis : 0;
  if (hysteresisOn) checkHysteresis(s, &t);
  if (!checkPowerSavingPeriod(s, &t)) return 0;
  d.changedSinceBatch = true;
  t.outcome = DialogOutcome::Accepted;
  return 1;
}

void DiscardThresholdScreen(Session& s, ThresholdScreen& t) {
  DeploymentParameters& d = s.deployment;
  d.block = t.savedBlock;
  d.checkPeriod = t.savedCheckPeriod;
  d.hysteresisEnabled = t.savedHysteresisEnabled;
  t.outcome = DialogOutcome::Discarded;
}

}  // namespace kts
