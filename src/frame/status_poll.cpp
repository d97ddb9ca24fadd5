// The status polling of the open logger dialog, one round per tick.
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "deploy/validation.h"
#include "frame/command_ids.h"
#include "frame/frame.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"

namespace kts {
namespace {

// The memory pointer of a logger that holds no data yet.
uint32_t EmptyMemoryPointer(const Session& s) {
  const LoggerIdentity& id = s.link.identity;
  if (id.extended) return static_cast<uint32_t>(s.description.parameterBlockLength);
  if (IsHvModel(id)) return FirmwareAtLeast(id, 1.5) ? 131087u : 131072u;
  return 131102u;
}

// A QZ logger that stopped early can carry on where it left off.
bool ResumePossible(const Session& s) {
  const LoggerIdentity& id = s.link.identity;
  return IsQzFamily(id) && FirmwareAbove(id, 2.45) && s.link.memoryPointer > 0x2001Eu &&
         CompareTimes(s.deployment.endTime, s.link.loggerClock) > 0 &&
         (s.link.status == kLoggingComplete || s.link.status == kStoppedByUser) &&
         s.deployment.block.startMode < 2 && s.deployment.block.samplingMode == 0;
}

}  // namespace

void Frame::pollStatus() {
  AppState& app = s_.app;
  AppState::PolledFields& f = app.polled;
  if (!CommGet(s_, 0)) {
    app.statusPolling = false;
    app.activeDialogCommand = 0;
    w_.endActiveDialog();
    return;
  }
  f.identity = IdentityText(s_.link.identity);
  if (CommGet(s_, 1)) f.loggerClock = FormatDisplayDateTime(s_.link.loggerClock).str();
  f.hostClock = FormatDisplayDateTime(s_.clock.localNow()).str();
  if (CommGet(s_, 6)) f.memoryUsed = Format("%u", static_cast<unsigned>(s_.link.memoryPointer));

  const bool setupOpen = app.activeDialogCommand == kCmdSetup;
  MessageLine& line = setupOpen ? s_.setup.message : f.message;
  std::string& mainButton = setupOpen ? s_.setup.mainButton : f.mainButton;
  if (!CommGet(s_, 9)) return;  // the fields keep what they showed
  const int status = s_.link.status;
  if (setupOpen) {
    if (IsIdleStatus(status)) {
      s_.setup.enableLoggingEnabled = true;
      mainButton = ResumePossible(s_) ? kResumeEnableButton : kEnableLoggingButton;
    } else {
      s_.setup.enableLoggingEnabled = false;
      mainButton = kStopLoggerButton;
    }
  }

  f.statusLine = StatusName(status);
  if (s_.description.reportsBattery && CommGet(s_, 21) && s_.link.battery >= 0) {
    const double volts = s_.link.battery * 0.0816485 + 0.25417;
    f.statusLine = Format("%s - Battery %.2f volts", StatusName(status), volts);
  }

  const bool empty = s_.link.memoryPointer <= EmptyMemoryPointer(s_);
  if (empty && mainButton == kStopLoggerButton) {
    line.show(setupOpen ? "Logger is logging or enabled - You may stop the logger."
                        : "No data in memory - You may stop the logger.",
              MessageIndicator::Warning);
  } else {
    const std::string& t = line.text;
    if (!Contains(t, "Error") && !Contains(t, "oo") && !Contains(t, "always") &&
        !Contains(t, "inhibit") && setupOpen) {
      validateDeployment(s_, &s_.setup, true, ValidationOccasion::Refresh);
    }
    if (Contains(line.text, "oo") || Contains(line.text, "inhibit"))
      line.indicator = MessageIndicator::Warning;
    else if (!line.text.empty())
      line.indicator = MessageIndicator::Info;
    if (mainButton == kResumeButton)
      line.show("You may resume data collection.", MessageIndicator::Warning);
  }

  f.retrieveAllShown = app.activeDialogCommand == kCmdRetrieveData && app.retrieveAllKeyHeld;
}

}  // namespace kts
