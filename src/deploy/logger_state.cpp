#include "deploy/logger_state.h"

#include <algorithm>
#include <cmath>

#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "deploy/deployment_rules.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "platform/status_line.h"

namespace kts {
namespace {

constexpr uint32_t kOlderMemoryBase = 0x20000;

TimeRecord WholeSeconds(TimeRecord t) {
  t.millisecond = 0;
  return t;
}

}  // namespace

bool IsActiveOldQz760(const Session& s, int status) {
  const LoggerIdentity& id = s.link.identity;
  return Contains(id.model, "QZ-760") && !FirmwareAbove(id, 4.99) && IsRunningStatus(status);
}

int readLoggerState(Session& s, LoggerStateTexts& texts, MessageLine& message) {
  texts.loggerName = IdentityText(s.link.identity);
  if (CommGet(s, 9) != 1) {
    ShowStatus(s.ui, "Error: Status read incorrectly");
    return -1;
  }
  const int status = s.link.status;
  texts.status = StatusName(status);
  if (IsActiveOldQz760(s, status)) return status;

  DeploymentParameters& d = s.deployment;
  d.hostTime = WholeSeconds(s.clock.localNow());
  texts.hostTime = FormatDisplayDateTime(d.hostTime).str();
  if (CommGet(s, 1) == 1) {
    d.loggerTime = WholeSeconds(s.link.loggerClock);
    texts.loggerTime = FormatDisplayDateTime(d.loggerTime).str();
  } else {
    // Every check of the deployment reckons from this clock: an unread one
    // must not pass for the year 2000.
    message.show("TIMEOUT: Logger date/time read incorrectly", MessageIndicator::Warning);
    return -1;
  }
  if (CommGet(s, 3) == 1)
    texts.startTime = FormatDisplayDateTime(d.startTime).str();
  else
    message.show("TIMEOUT: Start date/time read incorrectly", MessageIndicator::Warning);
  if (CommGet(s, 4) == 1)
    texts.endTime = FormatDisplayDateTime(d.endTime).str();
  else
    message.show("TIMEOUT: End date/time read incorrectly", MessageIndicator::Warning);
  if (CommGet(s, 2) == 1)
    texts.period = FormatPeriod(d.samplingPeriod).str();
  else
    message.show("TIMEOUT: Period read incorrectly", MessageIndicator::Warning);

  if (CommGet(s, 16) != 1) return -1;
  return status;
}

double MemoryUsagePercent(const Session& s, uint32_t pointer) {
  const LoggerIdentity& id = s.link.identity;
  double percent;
  if (HasCapabilitiesTable(s)) {
    percent = pointer * 100.0 / 8'380'368.0;
  } else {
    const bool larger = ((IsHvModel(id) || IsLvModel(id)) && FirmwareAbove(id, 3.15)) ||
                        (IsQzFamily(id) && FirmwareAbove(id, 4.0));
    const double used = static_cast<double>(pointer) - kOlderMemoryBase;
    percent = used * 100.0 / (larger ? 3'900'000.0 : 1'961'952.0);
  }
  return std::clamp(percent, 0.0, 100.0);
}

int64_t MemoryReadings(const Session& s, uint32_t pointer) {
  const LoggerIdentity& id = s.link.identity;
  const int64_t header = std::max(s.description.parameterBlockLength, 0);
  int64_t words;
  if (HasCapabilitiesTable(s)) {
    if (pointer < header) return 0;
    words = (pointer - header + 2) / 3;  // a part word past the header counts
  } else {
    words = (int64_t{pointer} - kOlderMemoryBase) / 3;
    if (IsHvModel(id) && FirmwareAbove(id, 1.5) && !FirmwareAtLeast(id, 2.15)) words -= 5;
    if (IsHvModel(id) && FirmwareAbove(id, 2.15)) words -= 10;
    if (IsLvModel(id) && FirmwareAbove(id, 1.5)) words -= 10;
    if (IsQzFamily(id)) words -= header / 3;
  }
  return std::max<int64_t>(words, 0);
}

std::string MemoryUsageText(const Session& s, uint32_t pointer) {
  const double percent = MemoryUsagePercent(s, pointer);
  const int64_t words = MemoryReadings(s, pointer);
  const int64_t channels = DeploymentChannels(s);
  if (s.description.asciiOutput())
    return Format("%.1f%%, %dK bytes", percent, static_cast<int>(std::lround(words / 1000.0)));
  if (static_cast<double>(words) / channels > 999.0)
    return Format("%.1f%%, %dK readings", percent,
                  static_cast<int>(std::lround(static_cast<double>(words) / (channels * 1000.0))));
  if (words > 0) return Format("<0.1%%, %d readings", static_cast<int>(words / channels));
  return "0%, 0 readings";
}

bool MemoryIsEmpty(const Session& s, uint32_t pointer) {
  const LoggerIdentity& id = s.link.identity;
  if (HasCapabilitiesTable(s)) return pointer < 49;
  if (IsHvModel(id)) {
    if (!FirmwareAbove(id, 1.5)) return pointer <= 0x20000;
    if (!FirmwareAbove(id, 2.15)) return pointer < 0x20010;
    return pointer < 0x2001F;
  }
  return pointer < 0x2001F;
}

}  // namespace kts
