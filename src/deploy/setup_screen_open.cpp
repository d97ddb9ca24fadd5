// Opening the setup screen: the logger's state, then the deployment it
// holds, read the way its family keeps it.
#include <algorithm>
#include <span>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "data/header_settings.h"
#include "data/image_layout.h"
#include "deploy/deployment_rules.h"
#include "deploy/logger_state.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_texts.h"
#include "deploy/validation.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/range_switching.h"

namespace kts {
namespace {

bool IsYpLogger(const Session& s) {
  return Contains(s.link.identity.model, "YP");
}

// Outside the QZ and YP families the logger is asked for each setting.
void ReadQueriedDeployment(Session& s) {
  DeploymentParameters& d = s.deployment;
  const LoggerDescription& caps = s.description;
  d.block.startMode = kStartAtTime;
  d.block.powerFlag = 0;
  d.realTimeOutput = 0;
  d.averagingEnabled = false;
  d.burstEnabled = false;
  CommGet(s, 28);
  if (caps.waves) {
    CommGet(s, 31);
    CommGet(s, 32);
  }
  if (caps.externalDataConnector) CommGet(s, 10);
  if (!caps.averaging) return;
  if (CommGet(s, 17) != 1) d.averagingEnabled = false;
  if (caps.highRate && caps.waves) CommGet(s, 30);
  const uint32_t divisor = AveragingMultiplier(s);
  uint32_t seconds = d.averagingEnabled ? s.link.averagingLength / divisor : 0;
  if (seconds == 0) {
    seconds = 1;
    d.averagingEnabled = false;
  }
  d.averagingPeriod = seconds;
}

// The QZ and YP families keep the deployment as the parameter block that
// also heads their memory image.
bool ReadBlockDeployment(Session& s) {
  if (CommGet(s, 16) != 1) return false;
  CommGet(s, 10);
  if (CommGet(s, 20) != 1) return true;  // its message is shown; the fields stay
  const std::span<const uint8_t> block(s.reply.data(), static_cast<size_t>(s.reply.length));
  DecodeContext context;
  context.identity = s.link.identity;
  context.description = s.description;
  context.coefficients = s.coefficients;
  const ImageLayout layout = ComputeImageLayout(context.identity, context.description,
                                                static_cast<int>(block.size()));
  DecodeHeaderSettings(block, layout, context, s.deployment);
  return true;
}

// A QZ logger that stopped before its end time with data in memory may go
// on adding to it with the settings it holds.
bool OffersResume(const Session& s) {
  const DeploymentParameters& d = s.deployment;
  const int status = s.setup.status;
  return IsQzLogger(s) && FirmwareAbove(s.link.identity, 2.45) && s.setup.memoryPointer > 0x2001E &&
         CompareTimes(d.endTime, d.loggerTime) > 0 && (status == 4 || status == 8) &&
         d.block.startMode < 2 && d.block.samplingMode == 0;
}

}  // namespace

void ShowSetupTexts(Session& s) {
  SetupScreen& screen = s.setup;
  const DeploymentParameters& d = s.deployment;
  screen.texts.startTime = StartTimeText(d);
  screen.texts.endTime = FormatDisplayDateTime(d.endTime).str();
  screen.texts.period = PeriodText(d);
}

int openSetupScreen(Session& s) {
  SetupScreen& screen = s.setup;
  DeploymentParameters& d = s.deployment;
  const auto prepare = std::move(screen.prepareRealTimeFiles);
  screen = SetupScreen{};
  screen.prepareRealTimeFiles = prepare;
  screen.open = true;
  s.app.activeDialogCommand = kSetupCommandId;
  d.changedSinceBatch = false;

  const int status = readLoggerState(s, screen.texts, screen.message);
  if (status < 0) {
    screen.open = false;
    s.app.activeDialogCommand = 0;
    return 0;
  }
  screen.status = status;
  if (IsActiveOldQz760(s, status)) {
    screen.message.show(
        "QZ-760 Logger active - update of this window suspended, you may stop the logger",
        MessageIndicator::Warning);
    screen.fieldsHidden = true;
    screen.mainButton = kStopLoggerButton;
    screen.enableLoggingEnabled = true;
    return 1;
  }
  ReadCapabilities(s);
  if (!HasCapabilitiesTable(s)) d.changedSinceBatch = true;

  if (s.description.configFlags & kConfigRangeSwitching) ReadRangeSwitching(s);
  screen.rangeSwitchingButtonShown = s.description.hasRangeSwitching;
  screen.acceptBatchEnabled = s.batch.available;

  if (CommGet(s, 6) == 1) screen.memoryPointer = s.link.memoryPointer;
  screen.memoryUsage = MemoryUsageText(s, screen.memoryPointer);

  if (!IsQzLogger(s) && !IsYpLogger(s)) {
    ReadQueriedDeployment(s);
  } else if (!ReadBlockDeployment(s)) {
    screen.open = false;
    s.app.activeDialogCommand = 0;
    return 0;
  }

  if (OffersResume(s)) {
    screen.mainButton = kResumeEnableButton;
    if (d.block.startMode == kStartAtTime) d.block.startMode = kStartNow;
  }
  screen.autorunShown = s.description.startOptionByte && s.description.externalPower;
  screen.autorunChecked = screen.autorunShown && (d.block.oemFlags & 2) != 0;
  screen.averagingControlsShown = s.description.averaging && !IsThresholdStart(d.block.startMode);
  screen.thresholdButtonShown =
      IsThresholdStart(d.block.startMode) && s.description.powerSaveThresholding;

  ShowSetupTexts(s);
  screen.backup = d.block;
  validateDeployment(s, &screen, false, ValidationOccasion::Refresh);
  screen.restartDisplayShown = d.realTimeOutput == 1 && (status == 2 || status == 6);
  return 1;
}

}  // namespace kts
