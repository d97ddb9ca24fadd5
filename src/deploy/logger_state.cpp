#include "deploy/logger_state.h"

#include <algorithm>
#include <cmath>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "link/commands.h"
#include "link/configuration.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr uint32_t kOlderMemoryStart = 0x20000;

}  // namespace

bool IsActiveOldQz760(const LoggerIdentity& id, int status) {
  return Contains(id.model, "QZ-760") && !FirmwareAtLeast(id, 4.99) && IsRunningStatus(status);
}

int readLoggerState(Session& s, LoggerStateTexts& texts, MessageLine& message) {
  texts.loggerName = IdentityText(s.link.identity);
  if (CommGet(s, 9) != 1) {
    ShowStatus(s.ui, "Error: Status read incorrectly");
    return -1;
  }
  const int status = s.link.status;
  texts.statusName = StatusName(status);
  if (IsActiveOldQz760(s.link.identity, status)) return status;

  s.deployment.hostTime = s.clock.localNow();
  texts.hostTime = FormatDisplayDateTime(s.deployment.hostTime).str();
  if (CommGet(s, 1) == 1) {
    s.deployment.loggerTime = s.link.loggerClock;
    texts.loggerTime = FormatDisplayDateTime(s.link.loggerClock).str();
  }
  if (CommGet(s, 3) == 1)
    texts.startTime = FormatDisplayDateTime(s.deployment.startTime).str();
  else
    message.show("TIMEOUT: Start date/time read incorrectly", MessageIndicator::Warning);
  if (CommGet(s, 4) == 1)
    texts.endTime = FormatDisplayDateTime(s.deployment.endTime).str();
  else
    message.show("TIMEOUT: End date/time read incorrectly", MessageIndicator::Warning);
  if (CommGet(s, 2) == 1)
    texts.period = FormatPeriod(s.deployment.samplingPeriod).str();
  else
    message.show("TIMEOUT: Period read incorrectly", MessageIndicator::Warning);

  if (CommGet(s, 16) != 1) return -1;
  return status;
}

int MemoryReadings(const LoggerIdentity& id, const LoggerDescription& d, uint32_t pointer) {
  const int64_t header = d.parameterBlockLength;
  const int64_t p = pointer;
  int64_t words = 0;
  if (d.hasCapabilityTable()) {
    words = p < header ? 0 : (p - header + 2) / 3;
  } else {
    words = (p - kOlderMemoryStart) / 3;
    const bool hv = IsHvModel(id), lv = IsLvModel(id);
    if (hv && FirmwareAbove(id, 1.5) && !FirmwareAtLeast(id, 2.15)) words -= 5;
    if (hv && FirmwareAbove(id, 2.15)) words -= 10;
    if (lv && FirmwareAbove(id, 1.5)) words -= 10;
    if (IsQzFamily(id)) words -= header / 3;
  }
  return static_cast<int>(std::clamp<int64_t>(words, 0, INT32_MAX));
}

std::string MemoryUsageText(const LoggerIdentity& id, const LoggerDescription& d,
                            uint32_t pointer) {
  double percent = 0.0;
  if (d.hasCapabilityTable()) {
    percent = pointer * 100.0 / 8380368.0;
  } else {
    const bool large = ((IsHvModel(id) || IsLvModel(id)) && FirmwareAbove(id, 3.15)) ||
                       (IsQzFamily(id) && FirmwareAbove(id, 4.0));
    percent = (static_cast<double>(pointer) - kOlderMemoryStart) * 100.0 /
              (large ? 3900000.0 : 1961952.0);
  }
  percent = std::clamp(percent, 0.0, 100.0);
  const int words = MemoryReadings(id, d, pointer);
  const int channels = std::max(1, d.channelCount);
  if (d.asciiOutput())
    return Format("%.1f%%, %dK bytes", percent, static_cast<int>(std::lround(words / 1000.0)));
  if (words / channels > 999)
    return Format("%.1f%%, %dK readings", percent,
                  static_cast<int>(std::lround(words / (channels * 1000.0))));
  if (words > 0) return Format("<0.1%%, %d readings", words / channels);
  return "0%, 0 readings";
}

}  // namespace kts
