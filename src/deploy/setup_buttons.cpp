// The setup screen's buttons other than the main one.
#include "core/session.h"
#include "core/time_format.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_sequence.h"
#include "deploy/threshold.h"
#include "deploy/validation.h"
#include "link/clock_sync.h"
#include "link/range_switching.h"

namespace kts {
namespace {

void CloseScreen(Session& s, SetupOutcome outcome) {
  s.setup.open = false;
  s.app.activeDialogCommand = 0;
  s.setup.outcome = outcome;
}

// After the clock was set the logger time is the host time.
void TakeClocks(Session& s) {
  DeploymentParameters& d = s.deployment;
  d.loggerTime = s.link.loggerClock;
  d.loggerTime.millisecond = 0;
  d.hostTime = s.clock.localNow();
  d.hostTime.millisecond = 0;
  s.setup.texts.loggerTime = FormatDisplayDateTime(d.loggerTime).str();
  s.setup.texts.hostTime = FormatDisplayDateTime(d.hostTime).str();
}

void ShowAndValidate(Session& s) {
  ShowSetupTexts(s);
  validateDeployment(s, &s.setup, true);
}

}  // namespace

int SyncToPc(Session& s) {
  if (s.setup.simulation) return 0;
  const bool set = SynchronizeClock(s);
  if (set) TakeClocks(s);
  validateDeployment(s, &s.setup, true);
  return set ? 1 : 0;
}

int AcceptBatchValues(Session& s) {
  SetupScreen& screen = s.setup;
  DeploymentParameters& d = s.deployment;
  const BatchValues& b = s.batch;
  if (!b.available || screen.simulation) return 0;
  if (d.changedSinceBatch) {
    const Answer a = s.ui.message(
        {"You have made a change to the setup parameters since the batch values were set.\nDo "
         "you want to accept the previous batch values?",
         "Something Changed", Icon::Question, Buttons::YesNo, Answer::No});
    if (a != Answer::Yes) {
      d.changedSinceBatch = false;
      s.batch.available = false;
      screen.acceptBatchEnabled = false;
      return 0;
    }
  }
  if (!SynchronizeClock(s)) return 0;
  TakeClocks(s);
  d.startTime = b.startTime;
  d.endTime = b.endTime;
  d.samplingPeriod = b.samplingPeriod;
  if (!IsQzLogger(s) && !s.description.waves) {
    d.block.startMode = b.block.startMode == kStartNow ? kStartNow : kStartAtTime;
    d.realTimeOutput = 0;
    d.averagingEnabled = false;
  } else {
    d.block = b.block;
    d.averagingEnabled = b.averagingEnabled;
    d.averagingPeriod = b.averagingPeriod;
    d.realTimeOutput = b.realTimeOutput;
    d.burstEnabled = b.burstEnabled;
    d.burstRate = b.burstRate;
    d.burstLength = b.burstLength;
    d.burstPeriod = b.burstPeriod;
  }
  ShowAndValidate(s);
  return 1;
}

void RestartDisplay(Session& s) {
  s.deployment.realTimeOutput = 1;
  s.setup.restartRealTimeDisplay = true;
  CloseScreen(s, SetupOutcome::Closed);
}

void CancelSetup(Session& s) {
  CloseScreen(s, SetupOutcome::Closed);
}

void SetupAfterPicker(Session& s, bool accepted) {
  if (!accepted) return;
  s.deployment.changedSinceBatch = true;
  ShowAndValidate(s);
  if (s.description.hysteresis) checkHysteresis(s, nullptr);
}

void SetupAfterThreshold(Session& s, bool accepted) {
  if (!accepted) return;
  s.deployment.changedSinceBatch = true;
  ShowAndValidate(s);
}

int SetupRangeSwitchingAccepted(Session& s) {
  const int written = WriteRangeSwitching(s);
  if (written != 0) return 1;
  // Show what the logger really holds.
  ReadRangeSwitching(s);
  s.ui.message({"Unable to set range switching mode as requested.\nTry again.",
                "Range switching mode", Icon::Warning, Buttons::Ok, Answer::Ok});
  return 0;
}

}  // namespace kts
