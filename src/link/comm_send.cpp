#include <cstring>
#include <string>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "link/coefficients.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr int kSetupCommand = 115;  // "&Setup" of the main window

// Set-and-verify: the setting is accepted when the query's reply contains
// the sent text from its third character on. A setting that does not read
// back shows its message and returns 0, so the caller stops before any
// further command; all but the start characteristic ask for Setup again.
int SetAndVerify(Session& s, const std::string& sent, const char* query, const char* tag,
                 const char* failure, bool reopenSetup) {
  SendSimple(s, sent);
  if (QueryTagged(s, query, tag) && Contains(s.reply.text(), std::string_view(sent).substr(2)))
    return 1;
  s.ui.message({failure, "Reset Logger", Icon::Error, Buttons::Ok, Answer::Ok});
  if (reopenSetup) s.app.postedCommand = kSetupCommand;
  return 0;
}

int SendAveraging(Session& s) {
  const LoggerDescription& d = s.description;
  if (s.link.identity.extended && !d.averaging) return 1;  // nothing to send
  std::string command = "W0100";
  if (s.deployment.averagingEnabled) {
    const uint32_t length = (s.deployment.averagingPeriod * AveragingMultiplier(s)) & 0xFFFF;
    command = Format("W%02X%02X", length & 0xFF, (length >> 8) & 0xFF);
  }
  if (!s.link.identity.extended) {
    SendSimple(s, command);
    return 1;
  }
  return SetAndVerify(s, command, "X", "BST",
                      "Averaging length set incorrectly.\nTry again.\nContact KTS if the problem "
                      "persists.",
                      true);
}

// The mode code of "!A": start modes 0 and 1 as they are; thresholding
// modes 2 and 3 give 4 and 5, or 6 and 7 with the power-save option. The
// modes of a temperature threshold channel are exchanged in the code only,
// since the thermistor equation runs opposite to the counts.
uint32_t ThresholdModeCode(const Session& s) {
  const DeploymentBlock& b = s.deployment.block;
  uint32_t mode = b.startMode;
  if (mode < 2) return mode;
  const uint32_t channel = b.thresholdChannel;
  if (channel < static_cast<uint32_t>(kMaxChannels) && s.description.channelTypes[channel] == 'T')
    mode = mode == 2 ? 3 : 2;
  return mode + (b.thresholdTestMode == 1 ? 4 : 2);
}

int SendThreshold(Session& s) {
  const LoggerDescription& d = s.description;
  if (s.link.identity.extended && !d.conventionalThresholding) return 1;
  const DeploymentBlock& b = s.deployment.block;
  if (d.powerSaveThresholding)
    SendSimple(s, "!K" + FormatWireDuration(s.deployment.checkPeriod).str());
  uint32_t flags = b.powerFlag;
  if (d.profiling6Hz) flags |= b.samplingMode;
  const uint32_t mode = ThresholdModeCode(s) + flags;
  const uint32_t limit = b.thresholdRawLimit & 0xFFFFFF;
  const uint32_t level = b.thresholdRaw & 0xFFFFFF;
  SendSimple(s, Format("!A%02X%02X%02X%02X%02X%02X%02X%02X", mode & 0xFF,
                       b.thresholdChannel & 0xFF, (limit >> 16) & 0xFF, (limit >> 8) & 0xFF,
                       limit & 0xFF, (level >> 16) & 0xFF, (level >> 8) & 0xFF, level & 0xFF));
  return 1;
}

int SendRealTime(Session& s) {
  if (s.link.identity.extended && !s.description.externalDataConnector) return 1;
  const std::string command = s.deployment.realTimeOutput
                                  ? Format("!B%02X", s.deployment.realTimeBaudCode & 0xFF)
                                  : std::string("!B00");
  SendSimple(s, command);
  return 1;
}

// "!1": start byte (start mode bit 0 + power flag + profiling flag + 32
// with real-time output), then the three OEM option bytes.
std::string StartCharacteristicCommand(const Session& s) {
  const DeploymentBlock& b = s.deployment.block;
  const LoggerDescription& d = s.description;
  uint32_t start = (b.startMode & 1) + b.powerFlag;
  if (d.profiling6Hz) start += b.samplingMode;
  if (s.deployment.realTimeOutput) start += 32;
  const uint32_t oem = d.startOptionByte ? b.oemFlags : 0;
  return Format("!1%02X%02X%02X%02X", start & 0xFF, oem & 0xFF, (oem >> 8) & 0xFF,
                (oem >> 16) & 0xFF);
}

int SendHysteresis(Session& s) {
  const DeploymentBlock& b = s.deployment.block;
  uint32_t count;
  if (b.samplingMode == kProfilingMode) {
    count = b.hysteresisPeriod * 6;
  } else {
    int64_t period = PeriodSeconds(s.deployment.samplingPeriod);
    if (period == 0) period = 86400;
    count = static_cast<uint32_t>(b.hysteresisPeriod / period);
  }
  count &= 0xFFFF;
  SendSimple(s, Format("!H%02X%02X", count & 0xFF, (count >> 8) & 0xFF));
  return 1;
}

int SendWaveParameters(Session& s) {
  const DeploymentParameters& d = s.deployment;
  const std::string period = FormatWireDuration(d.burstPeriod).str();
  const std::string command =
      d.burstEnabled ? Format("!6%02X%02X%s", d.burstLength & 0xFF, (d.burstLength >> 8) & 0xFF,
                              period.c_str())
                     : "!60000" + period;
  return SetAndVerify(s, command, "!7", "WAV",
                      "Wave parameters set incorrectly.\nTry again.\nContact KTS if the problem "
                      "persists.",
                      true);
}

int SendLoggerHeight(Session& s) {
  uint8_t b[8];
  std::memcpy(b, &s.deployment.loggerHeight, sizeof b);
  std::string command = "!Y";
  for (uint8_t byte : b) command += Format("%02X", byte);
  return SetAndVerify(s, command, "!Z", "LHT",
                      "Logger height set incorrectly.\nTry again.\nContact KTS if the problem "
                      "persists.",
                      true);
}

// "!R" up to 5 times until the logger shows it is running again.
int Resume(Session& s) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    WriteComm(s, PortRole::Logger, "!R");
    const int got = CommGet(s, 9);
    if (Contains(s.reply.text(), "Logger started in mode") ||
        (got == 1 && IsRunningStatus(s.link.status))) {
      ShowStatus(s.ui, "Logger resumed sampling");
      return 1;
    }
  }
  s.ui.message({"Logger failed to resume.", "Resume", Icon::Warning, Buttons::Ok, Answer::Ok});
  return 0;
}

}  // namespace

uint32_t AveragingMultiplier(const Session& s) {
  if (!s.description.highRate) return 6;
  // Only the tide-and-wave logger can be asked its rate.
  if (!s.description.waves) return 4;
  const uint32_t rate = s.deployment.burstRate;
  return (rate == 1 || rate == 2 || rate == 4) ? rate : 4;
}

int CommSend(Session& s, int n, std::string_view parameter) {
  const DeploymentParameters& d = s.deployment;
  switch (n) {
    case 1: {
      const std::string digits =
          parameter.empty() ? FormatWireDateTime(s.clock.localNow()).str() : std::string(parameter);
      SendSimple(s, "J" + digits);
      return 1;
    }
    case 2: SendSimple(s, "K" + FormatWireDuration(d.samplingPeriod).str()); return 1;
    case 3: SendSimple(s, "L" + FormatWireDateTime(d.startTime).str()); return 1;
    case 4: SendSimple(s, "M" + FormatWireDateTime(d.endTime).str()); return 1;
    case 8: SendSimple(s, "P"); return 1;
    case 12:
      if (s.link.identity.extended) {
        WriteComm(s, PortRole::Logger, "!U01");
        DelayMs(s, 120);
      }
      SendSimple(s, "N");
      return 1;
    case 17: return SendAveraging(s);
    case 18: return SendThreshold(s);
    case 19: return SendRealTime(s);
    case 22: SendSimple(s, "!S"); return 1;
    case 23: return Resume(s);
    case 24: SendSimple(s, "!K" + FormatWireDuration(d.checkPeriod).str()); return 1;
    case 25: return SendHysteresis(s);
    case 28:
    case 29:
      return SetAndVerify(s, StartCharacteristicCommand(s), "!2", "STC",
                          "Start characteristic set incorrectly.\nTry again.\nContact KTS if the "
                          "problem persists.",
                          n == 29);
    case 30:
      return SetAndVerify(s, Format("!4%02X", d.burstRate & 0xFF), "!5", "RAT",
                          "High sampling rate set incorrectly.\nTry again.\nContact KTS if the "
                          "problem persists.",
                          true);
    case 31: return SendWaveParameters(s);
    case 32: return SendLoggerHeight(s);
    case 33:
      WriteComm(s, PortRole::Logger, "!U02");
      DelayMs(s, 120);
      SendSimple(s, "!T01");
      return 1;

    case 13:
      if (!Connect(s)) return 0;
      SendSimple(s, "!9");
      return 1;

    case 11: return WriteCoefficients(s);

    default:
      DelayMs(s, 50);
      return 1;
  }
}

}  // namespace kts
