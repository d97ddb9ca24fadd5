// "Enable logging": every confirmation comes before anything in the logger
// changes; then the logger is stopped if need be, erased, and programmed.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/session.h"
#include "core/text.h"
#include "core/time_math.h"
#include "deploy/deployment_log.h"
#include "deploy/deployment_rules.h"
#include "deploy/logger_state.h"
#include "deploy/realtime_check.h"
#include "deploy/setup_internal.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_texts.h"
#include "deploy/threshold.h"
#include "deploy/validation.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "link/serial_link.h"

namespace kts {
namespace {

constexpr double kTableEraseIncrement = 0.8333333;
constexpr const char* kEraseText = "Waiting for logger to reset";

enum ResumeChoice : int { kContinueToAdd = 6, kEraseOldReadings = 7 };

bool AskYesNo(Session& s, const char* text, const char* caption) {
  return s.ui.message({text, caption, Icon::Question, Buttons::YesNo, Answer::No}) == Answer::Yes;
}

// "stop": the buttons come back, the screen stays open, nothing more happens.
SetupOutcome Stop(Session& s) {
  s.setup.mainButtonsShown = true;
  s.setup.outcome = SetupOutcome::Stopped;
  return SetupOutcome::Stopped;
}

// The logger stops outputting in real time while it is reprogrammed.
void StopLogger(Session& s) {
  CommSend(s, 13);
  DeploymentParameters& d = s.deployment;
  const uint32_t output = d.realTimeOutput;
  d.realTimeOutput = 0;
  ApplyRealTimeBaudCode(s);
  CommSend(s, 19);
  // What the user chose is programmed again after the erase.
  d.realTimeOutput = output;
  ApplyRealTimeBaudCode(s);
}

bool HasOlderDataToKeep(const Session& s, uint32_t pointer) {
  const LoggerIdentity& id = s.link.identity;
  if (IsHvModel(id) && !FirmwareAbove(id, 1.5)) return pointer > 0x20000;
  if (IsHvModel(id)) return pointer > 0x2000F;
  if (IsLvModel(id) && FirmwareAbove(id, 1.5)) return pointer > 0x2001E;
  if (IsQzFamily(id) && !FirmwareAbove(id, 2.45) && !HasCapabilitiesTable(s))
    return pointer > 0x2001E;
  return false;
}

// Loggers that can add to the data they hold.
bool CanContinueToAdd(const Session& s, uint32_t pointer) {
  const LoggerIdentity& id = s.link.identity;
  if (HasCapabilitiesTable(s)) return pointer != 0;
  return IsQzFamily(id) && FirmwareAbove(id, 2.45) && pointer > 0x2001E;
}

SetupOutcome StopLoggerButton(Session& s) {
  CommSend(s, 13);
  s.deployment.realTimeOutput = 0;
  ApplyRealTimeBaudCode(s);
  CommSend(s, 19);
  s.setup.open = false;
  s.app.activeDialogCommand = 0;
  s.app.postedCommand = kSetupCommandId;
  s.setup.outcome = SetupOutcome::LoggerStopped;
  return SetupOutcome::LoggerStopped;
}

// Real-time output needs a calibrated logger and a line fast
// enough for it.
bool PrepareRealTime(Session& s) {
  DeploymentParameters& d = s.deployment;
  if (!s.description.externalDataConnector) {
    d.realTimeOutput = 0;
  } else if (d.realTimeOutput == 1 && !s.coefficients.readFromLogger) {
    s.ui.message({"Logger not yet calibrated - realtime operation prohibited", "KTS Logger Setup",
                  Icon::Warning, Buttons::Ok, Answer::Ok});
    return false;
  }
  if (!realTimeBaudSufficient(s)) return false;
  if (d.realTimeOutput != 1) {
    ApplyRealTimeBaudCode(s);
    return true;
  }
  if (s.app.retrievedDataPresent && !s.app.retrievedDataSaved &&
      AskYesNo(s, "Retrieved data has not been saved.\nDo you wish to return to save the data now?",
               "Real-time Data Collection Initialization")) {
    s.setup.open = false;
    s.app.activeDialogCommand = 0;
    return false;
  }
  s.app.retrievedDataPresent = false;
  s.app.retrievedDataSaved = false;
  ApplyRealTimeBaudCode(s);
  if (s.setup.prepareRealTimeFiles && !s.setup.prepareRealTimeFiles(s)) return false;
  s.setup.realTimeChosen = true;
  return true;
}

// The clocks and the status are read again: the screen may have been open
// for a long time.
bool ReadFreshState(Session& s) {
  DeploymentParameters& d = s.deployment;
  if (CommGet(s, 1) != 1) {
    s.setup.message.show("TIMEOUT: Logger date/time read incorrectly", MessageIndicator::Warning);
    return false;
  }
  d.loggerTime = s.link.loggerClock;
  d.loggerTime.millisecond = 0;
  d.hostTime = s.clock.localNow();
  d.hostTime.millisecond = 0;
  if (CommGet(s, 9) != 1) {
    s.setup.message.show("Error: Status read incorrectly", MessageIndicator::Warning);
    return false;
  }
  s.setup.status = s.link.status;
  return true;
}

bool ConfirmOemFlags(Session& s) {
  if (!s.description.startOptionByte) return true;
  const uint32_t oem = s.deployment.block.oemFlags & 3;
  const char* text = nullptr;
  if (oem == 3)
    text =
        "You have chosen to enable automatic start on powerup\n\nand to inhibit data storage - no "
        "data will be stored in the logger.\n\nAre these what you want?";
  else if (oem == 1)
    text =
        "You have chosen to inhibit data storage.\nNo data will be stored in the logger.\n\nIs "
        "this what you want?";
  else if (oem == 2)
    text = "You have chosen to enable automatic start on powerup.\n\nIs this what you want?";
  return !text || AskYesNo(s, text, "OEM settings");
}

// "Continue to add": the settings the logger holds stay; only the start
// characteristic, threshold, real-time and averaging settings are sent
// again, each read back, before the resume command.
SetupOutcome ContinueToAdd(Session& s) {
  const LoggerDescription& caps = s.description;
  SetupScreen& screen = s.setup;
  bool ok = CommGet(s, 0) == 1;
  if (ok && caps.startCharacteristicCommands) ok = CommSend(s, 29) == 1;
  if (ok && (!HasCapabilitiesTable(s) || caps.conventionalThresholding) && IsQzLogger(s))
    ok = CommSend(s, 18) == 1;
  if (ok && caps.externalDataConnector) ok = CommSend(s, 19) == 1;
  if (ok && caps.averaging) ok = CommSend(s, 17) == 1;
  if (ok) ok = CommSend(s, 23) == 1;
  if (!ok) return CloseFailed(s, true);
  writeDeploymentLog(s, kOutcomeResumed);
  screen.open = false;
  s.app.activeDialogCommand = 0;
  screen.mainButtonsShown = true;
  if (s.deployment.realTimeOutput == 1 && caps.asciiOutput()) {
    screen.fetchLiveReadings = true;
    s.app.postedCommand = kFetchLiveReadingsId;
  }
  screen.outcome = SetupOutcome::Resumed;
  return SetupOutcome::Resumed;
}

// The erase, and how fast its progress bar moves.
SetupOutcome StartErase(Session& s, bool always) {
  SetupScreen& screen = s.setup;
  const uint32_t pointer = screen.memoryPointer;
  bool erase;
  if (HasCapabilitiesTable(s)) {
    erase = always || pointer != 0 || screen.status >= 1;
    screen.eraseIncrement = kTableEraseIncrement;
  } else {
    erase = always || pointer != 0x20000;
    screen.eraseIncrement = OlderEraseIncrement(pointer);
  }
  if (!erase) return programLogger(s);
  CommSend(s, 12);
  screen.eraseProgress = 0.0;
  screen.eraseWait = true;
  s.ui.progress(0, kEraseText);
  screen.outcome = SetupOutcome::EraseWaiting;
  return SetupOutcome::EraseWaiting;
}

}  // namespace

TimeRecord StartNowTime(const TimeRecord& loggerTime) {
  TimeRecord t = loggerTime;
  t.millisecond = 0;
  t = AddSeconds(t, 10);
  if (t.second % 10 != 0) t = AddSeconds(t, 10 - t.second % 10);
  return t;
}

bool ClocksFarApart(const TimeRecord& host, const TimeRecord& logger) {
  return std::llabs(DiffSeconds(host, logger)) > 1800;
}

double OlderEraseIncrement(uint32_t pointer) {
  const int64_t blocks = 2 * (int64_t{pointer / 65536} - 1);
  // A pointer in the first 128 KiB would divide by zero or go backwards.
  if (blocks <= 0) return 50.0;
  return std::clamp(100.0 / static_cast<double>(blocks), 0.7, 50.0);
}

SetupOutcome enableLogging(Session& s) {
  SetupScreen& screen = s.setup;
  DeploymentParameters& d = s.deployment;
  screen.outcome = SetupOutcome::None;
  if (screen.simulation) return Stop(s);
  if (screen.mainButton == kStopLoggerButton) return StopLoggerButton(s);

  // Data not yet downloaded.
  screen.resuming = Contains(screen.mainButton, kResumeButton);
  if (CommGet(s, 6) == 1) screen.memoryPointer = s.link.memoryPointer;
  const bool pointerRead = Contains(s.reply.text(), "CDP");
  const bool empty = pointerRead && MemoryIsEmpty(s, screen.memoryPointer);
  if (!empty && std::string_view(s.link.memoryPointerReply) != s.retrieved.memoryPointerReply) {
    const char* text =
        screen.resuming
            ? "The logger contains data that has not been downloaded.\n\nThese data may be lost if "
              "you continue.\n\nDo you want to continue?"
            : "The logger contains data that has not been downloaded.\n\nThese data will be lost "
              "if you continue.\n\nDo you want to continue?";
    if (!AskYesNo(s, text, "Setup")) return Stop(s);
    screen.dataLossAccepted = true;
  }

  // The automatic start box.
  if (screen.autorunShown && screen.autorunChecked)
    d.block.oemFlags |= 2u;
  else
    d.block.oemFlags &= ~2u;

  // A threshold within the sensor's range.
  if (IsQzLogger(s) && IsThresholdStart(d.block.startMode) &&
      ApplyThresholdLevel(s, LevelCheck::Enable, nullptr) == kLevelRefused)
    return Stop(s);

  if (!PrepareRealTime(s)) return screen.open ? Stop(s) : (screen.outcome = SetupOutcome::Closed);

  // The clocks and the deployment, checked on fresh readings.
  if (!ReadFreshState(s)) return Stop(s);
  if (ClocksFarApart(d.hostTime, d.loggerTime) &&
      !AskYesNo(s, "Logger time and Host time differ by more than 30 minutes.\nDo you want to continue?",
                "Setup Logger"))
    return Stop(s);
  if (validateDeployment(s, &screen, true, ValidationOccasion::Enable) != kDeploymentValid)
    return Stop(s);

  screen.mainButtonsShown = false;
  if (screen.status == 2 || screen.status == 3) {
    if (!AskYesNo(s, "Logger still collecting data.\nDo you wish to continue?", "Setup"))
      return Stop(s);
    StopLogger(s);
  }
  if (!ConfirmOemFlags(s)) return Stop(s);

  // Data in memory, kept or erased.
  const uint32_t pointer = screen.memoryPointer;
  const bool endAhead = CompareTimes(d.endTime, d.loggerTime) > 0;
  const bool addable = CanContinueToAdd(s, pointer);
  if (HasOlderDataToKeep(s, pointer) || (addable && (!endAhead || !screen.resuming))) {
    if (!screen.dataLossAccepted &&
        !AskYesNo(s, "Memory contains data\nDo you wish to continue?", "Logger Enable"))
      return Stop(s);
  } else if (addable) {
    Question q;
    q.caption = "Setup";
    q.heading = "The logger contains data";
    q.text = "You may continue to add data to the logger using all the previous settings or\nerase "
             "the memory.";
    q.buttons = {{kContinueToAdd, "Continue to add"}, {kEraseOldReadings, "Erase old readings"}};
    q.defaultId = kQuestionClosed;
    const int answer = s.ui.ask(q);
    if (answer == kContinueToAdd) return ContinueToAdd(s);
    if (answer != kEraseOldReadings) return Stop(s);
  }

  // From here on the logger changes.
  s.ui.progress(0, kEraseText);
  screen.message.show(kEraseText, MessageIndicator::Info);
  if (CommGet(s, 0) != 1) return CloseFailed(s, true);
  if (IsQzLogger(s) && !HasCapabilitiesTable(s)) SendSimple(s, "!9");
  return StartErase(s, false);
}

int SetupEraseTick(Session& s) {
  SetupScreen& screen = s.setup;
  if (!screen.eraseWait) return 0;
  screen.eraseProgress += screen.eraseIncrement;
  s.ui.progress(static_cast<int>(std::min(screen.eraseProgress, 100.0)), kEraseText);
  bool finished = false;
  if (HasCapabilitiesTable(s)) {
    WriteComm(s, PortRole::Logger, "T");
    ReadReply(s, 120);
    const std::string_view reply = s.reply.text();
    finished = Contains(reply, "Logger status") && !Contains(reply, "Logger status 7F");
  }
  if (!finished && screen.eraseProgress <= 100.0) return 1;
  screen.eraseWait = false;
  programLogger(s);
  return screen.eraseWait ? 1 : 0;
}

SetupOutcome CloseFailed(Session& s, bool log) {
  SetupScreen& screen = s.setup;
  screen.open = false;
  screen.eraseWait = false;
  screen.mainButtonsShown = true;
  s.app.activeDialogCommand = 0;
  s.app.postedCommand = kSetupCommandId;
  if (log) writeDeploymentLog(s, kOutcomeSetupFailed);
  screen.outcome = SetupOutcome::Failed;
  return SetupOutcome::Failed;
}

SetupOutcome RestartErase(Session& s) {
  return StartErase(s, true);
}

}  // namespace kts
