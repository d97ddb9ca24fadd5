#include "deploy/setup_texts.h"

#include <algorithm>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_screen.h"

namespace kts {
namespace {

// Thresholding without a capabilities table: the conductivity-temperature
// variants of the QZ family.
bool CanStartOnThreshold(const Session& s) {
  if (s.description.conventionalThresholding) return true;
  return !HasCapabilitiesTable(s) && IsQzLogger(s) && Contains(s.link.identity.model, "MC");
}

bool HasRealTimeStorageChoice(const Session& s) {
  return s.description.startOptionByte;
}

}  // namespace

ChoiceList StartList(const Session& s) {
  ChoiceList list;
  const uint32_t mode = s.deployment.block.startMode;
  if (!IsQzLogger(s)) {
    list.entries = {"Start at 'Start of logging'", "Start NOW"};
    list.selected = mode == kStartNow ? 1 : 0;
    return list;
  }
  list.entries = {"No thresholding"};
  if (CanStartOnThreshold(s)) {
    list.entries.push_back("Start when ABOVE threshold");
    list.entries.push_back("Start when BELOW threshold");
    list.enabled = true;
    if (IsThresholdStart(mode)) list.selected = static_cast<int>(mode) - 1;
  }
  return list;
}

int SelectStartEntry(Session& s, SetupScreen& screen, int index) {
  const ChoiceList list = StartList(s);
  if (!list.enabled || index < 0 || index >= static_cast<int>(list.entries.size())) return 0;
  DeploymentParameters& d = s.deployment;
  const uint32_t previous = d.block.startMode;
  const uint32_t opened = screen.backup.startMode;
  if (index == 0) {
    d.block.startMode = opened <= kStartNow ? opened : kStartNow;
    d.block.thresholdTestMode = 0;
    d.checkPeriod = MakePeriod(0, 0, 0);
    screen.thresholdButtonShown = false;
    screen.averagingControlsShown = s.description.averaging;
  } else {
    d.block.startMode = static_cast<uint32_t>(index) + 1;
    d.averagingEnabled = false;
    screen.averagingControlsShown = false;
    screen.thresholdButtonShown = s.description.powerSaveThresholding;
  }
  if (d.block.startMode != opened) d.changedSinceBatch = true;
  // Settings that differ from those in the logger cannot be resumed.
  if (Contains(screen.mainButton, kResumeButton) && d.block.startMode != previous)
    screen.mainButton = kEnableLoggingButton;
  return 1;
}

ChoiceList RealTimeList(const Session& s) {
  ChoiceList list;
  if (!s.description.externalDataConnector) return list;
  const DeploymentParameters& d = s.deployment;
  list.entries = {"Not Enabled", "Enabled"};
  list.enabled = true;
  list.selected = d.realTimeOutput == 1 ? 1 : 0;
  if (HasRealTimeStorageChoice(s)) {
    list.entries.push_back("Enabled - NO data storage");
    if (d.realTimeOutput == 1 && (d.block.oemFlags & 1)) list.selected = 2;
  }
  return list;
}

int SelectRealTimeEntry(Session& s, int index) {
  const ChoiceList list = RealTimeList(s);
  if (index < 0 || index >= static_cast<int>(list.entries.size())) return 0;
  DeploymentParameters& d = s.deployment;
  d.realTimeOutput = index == 0 ? 0 : 1;
  if (index == 2)
    d.block.oemFlags |= 1u;
  else
    d.block.oemFlags &= ~1u;
  ApplyRealTimeBaudCode(s);
  return 1;
}

void ApplyRealTimeBaudCode(Session& s) {
  DeploymentParameters& d = s.deployment;
  d.realTimeBaud = static_cast<uint32_t>(std::max(s.ports.currentBaud, 1));
  int64_t code = 0;
  if (d.realTimeOutput) code = 9'216'000 / (32 * int64_t{d.realTimeBaud}) - 2;
  d.realTimeBaudCode = static_cast<uint32_t>(std::clamp<int64_t>(code, 0, 255));
}

std::string AveragingText(const DeploymentParameters& d) {
  if (d.block.samplingMode == kProfilingMode) return "Prohibited by profiling";
  if (IsThresholdStart(d.block.startMode)) return "Prohibited by thresholding";
  if (d.averagingEnabled) return Format("%d seconds", static_cast<int>(d.averagingPeriod));
  return "No Averaging";
}

std::string PeriodText(const DeploymentParameters& d) {
  if (d.block.samplingMode == kProfilingMode) return "6Hz profiling";
  return FormatPeriod(d.samplingPeriod).str();
}

std::string StartTimeText(const DeploymentParameters& d) {
  if (d.block.startMode == kStartNow) return "NOW";
  return FormatDisplayDateTime(d.startTime).str();
}

std::string WaveRateText(const DeploymentParameters& d) {
  if (d.burstRate == 0) return "Not set";
  return Format("%3dHz", static_cast<int>(d.burstRate));
}

std::string BurstText(const DeploymentParameters& d) {
  if (!d.burstEnabled) return "Burst mode not selected";
  return Format("%d samples every %s", static_cast<int>(d.burstLength),
                FormatPeriod(d.burstPeriod).c_str());
}

std::string WaveAveragingText(const DeploymentParameters& d) {
  if (!d.averagingEnabled) return "Averaging not selected";
  return "Averaging over " + FormatPeriod(PeriodFromSeconds(d.averagingPeriod)).str();
}

}  // namespace kts
