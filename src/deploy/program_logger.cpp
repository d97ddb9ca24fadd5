// After the erase: the status must show an erased logger; then each setting
// is sent and read back, the times are sent and read back, and the logger
// is enabled. The first setting that does not read back ends it all, before
// any time is sent and before the enable command.
#include <cstdio>
#include <cstring>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "deploy/deployment_log.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_internal.h"
#include "deploy/setup_sequence.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr const char* kResetCaption = "Reset Logger";

void ShowError(Session& s, const char* text, const char* caption) {
  s.ui.message({text, caption, Icon::Error, Buttons::Ok, Answer::Ok});
}

// The settings that go before the times, in their order.
bool SendSettings(Session& s) {
  const LoggerDescription& caps = s.description;
  DeploymentParameters& d = s.deployment;
  if (IsQzLogger(s)) {
    if (CommSend(s, 18) != 1) return false;
    if (caps.hysteresis && CommSend(s, 25) != 1) return false;
  }
  if (Contains(s.link.identity.model, "YP") && d.block.samplingMode == 0)
    d.block.powerFlag = kPowerFlag;
  if (caps.averaging && CommSend(s, 17) != 1) return false;
  if (caps.externalDataConnector) {
    if (CommSend(s, 19) != 1) return false;
    if (d.realTimeOutput == 1 && caps.asciiOutput()) s.setup.fetchLiveReadings = true;
  }
  if (caps.startCharacteristicCommands && CommSend(s, 29) != 1) return false;
  if (caps.waves && (CommSend(s, 31) != 1 || CommSend(s, 32) != 1)) return false;
  if (caps.highRate && CommSend(s, 30) != 1) return false;
  return true;
}

void SaveBatchValues(Session& s) {
  const DeploymentParameters& d = s.deployment;
  BatchValues& b = s.batch;
  b.startTime = d.startTime;
  b.endTime = d.endTime;
  b.samplingPeriod = d.samplingPeriod;
  b.block = d.block;
  b.averagingEnabled = d.averagingEnabled;
  b.averagingPeriod = d.averagingPeriod;
  b.realTimeOutput = d.realTimeOutput;
  b.burstEnabled = d.burstEnabled;
  b.burstRate = d.burstRate;
  b.burstLength = d.burstLength;
  b.burstPeriod = d.burstPeriod;
  b.available = true;
}

// Sends a time, reads it back into the record and compares; the record
// keeps what was sent.
bool SetTime(Session& s, int send, int query, TimeRecord& field) {
  const TimeRecord sent = field;
  CommSend(s, send);
  const bool read = CommGet(s, query) == 1;
  const TimeRecord back = field;
  field = sent;
  return read && back == sent;
}

bool SetPeriod(Session& s) {
  TimeRecord& period = s.deployment.samplingPeriod;
  const TimeRecord sent = period;
  CommSend(s, 2);
  const bool read = CommGet(s, 2) == 1;
  const TimeRecord back = period;
  period = sent;
  return read && back.hour == sent.hour && back.minute == sent.minute && back.second == sent.second;
}

}  // namespace

int EnableReplyStatus(std::string_view reply) {
  size_t at = reply.find("Logger status");
  size_t skip = std::strlen("Logger status");
  if (at == std::string_view::npos) {
    at = reply.find("Logger started");
    skip = std::strlen("Logger started in mode");
    if (at == std::string_view::npos) return kMemoryError;
  }
  char digits[8] = {};
  const std::string_view rest = reply.substr(std::min(reply.size(), at + skip));
  std::memcpy(digits, rest.data(), std::min(rest.size(), sizeof digits - 1));
  unsigned code = 0;
  if (std::sscanf(digits, "%2X", &code) != 1) return kMemoryError;
  return code > 6 ? kMemoryError : static_cast<int>(code);
}

std::string EnableStatusText(std::string_view reply, int status, const TimeRecord& start) {
  std::string text(reply);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  if (text.size() < 22) return text;
  text.resize(22);
  if (status == kEnabled)
    text += Format(": 'Enabled' to start at %s", FormatDisplayDateTime(start).c_str());
  else
    text += Format(": %s", StatusName(status));
  return text;
}

SetupOutcome programLogger(Session& s) {
  SetupScreen& screen = s.setup;
  DeploymentParameters& d = s.deployment;
  screen.eraseWait = false;

  if (CommGet(s, 9) != 1) {
    ShowError(s, "Unable to communicate with logger.\nTry again.\nContact KTS if the problem persists.",
              kResetCaption);
    return CloseFailed(s, true);
  }
  const std::string_view reply = s.reply.text();
  if (Contains(reply, "Logger status 7F")) {
    const Answer again = s.ui.message(
        {"The logger status indicates that the logger failed to erase properly.\n\nTry to erase "
         "again?\n\nContact KTS if the problem persists.",
         kResetCaption, Icon::Question, Buttons::YesNo, Answer::No});
    if (again == Answer::Yes && Reconnect(s)) return RestartErase(s);
    return CloseFailed(s, true);
  }
  if (!Contains(reply, "Logger status 00")) {
    ShowError(s, "Logger status is incorrect.\nTry again.\nContact KTS if the problem persists.",
              kResetCaption);
    return CloseFailed(s, true);
  }

  // A setting that does not read back has shown its message already.
  if (!SendSettings(s)) return CloseFailed(s, true);
  SaveBatchValues(s);

  if (d.block.startMode != kStartAtTime) {
    if (CommGet(s, 1) != 1) {
      ShowError(s,
                "Unable to communicate with logger.\nTry again.\nContact KTS if the problem persists.",
                kResetCaption);
      return CloseFailed(s, true);
    }
    d.startTime = StartNowTime(s.link.loggerClock);
    // Rounding up may pass the end of a short deployment.
    if (CompareTimes(d.startTime, d.endTime) >= 0) {
      ShowError(s, "Error: Start time greater than or equal to End time.", "Logger Enable");
      return CloseFailed(s, true);
    }
  }
  if (!SetTime(s, 3, 3, d.startTime)) {
    ShowError(s, "Start time set incorrectly.\nTry again.\nContact KTS if the problem persists.",
              kResetCaption);
    return CloseFailed(s, true);
  }
  if (!SetTime(s, 4, 4, d.endTime)) {
    ShowError(s, "End time set incorrectly.\nTry again.\nContact KTS if the problem persists.",
              kResetCaption);
    return CloseFailed(s, true);
  }
  if (!SetPeriod(s)) {
    ShowError(s, "Period set incorrectly.\nTry again.\nContact KTS if the problem persists.",
              kResetCaption);
    return CloseFailed(s, true);
  }

  CommSend(s, 8);
  ReadReply(s, 120);
  screen.enableReply = std::string(s.reply.text());
  const int status = EnableReplyStatus(screen.enableReply);
  ShowStatus(s.ui, EnableStatusText(screen.enableReply, status, d.startTime));
  if (!IsRunningStatus(status)) {
    ShowError(s, "Logger has not been enabled.\nTry again.\nIf problem persists contact KTS.",
              "Logger Enable");
    return CloseFailed(s, true);
  }
  s.link.status = status;
  screen.status = status;
  screen.open = false;
  screen.mainButtonsShown = true;
  s.app.activeDialogCommand = 0;
  if (screen.fetchLiveReadings) s.app.postedCommand = kFetchLiveReadingsId;
  writeDeploymentLog(s, kOutcomeEnabled);
  screen.outcome = SetupOutcome::Enabled;
  return SetupOutcome::Enabled;
}

}  // namespace kts
