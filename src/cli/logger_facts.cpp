#include "cli/logger_facts.h"

#include "cli/command_line.h"

#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "deploy/logger_state.h"
#include "link/commands.h"
#include "link/logger_status.h"

namespace kts::cli {
namespace {

constexpr int kStatusQuery = 9;
constexpr int kMemoryPointerQuery = 6;
constexpr int kCoefficientsQuery = 10;
constexpr int kConfigurationQuery = 16;

std::string CalibrationDateText(const CoefficientSet& set) {
  TimeRecord t =
      MakeTime(set.date[0] + 2000, set.date[1], set.date[2], set.date[3], set.date[4], set.date[5]);
  return FormatDisplayDateTime(t).str();
}

void ReadCalibration(CliContext& context, LoggerFacts& facts) {
  Session& s = *context.session;
  // A logger that is not idle answers calibration reads only when its
  // capabilities say so; asking anyway could disturb the deployment.
  if (!IsIdleStatus(facts.status) && !s.description.option4) {
    facts.calibration = "not read: the logger is " + std::string(StatusName(facts.status)) +
                        " and cannot be asked for its calibration while logging";
    return;
  }
  facts.coefficientsRead = CommGet(s, kCoefficientsQuery) == 1;
  facts.coefficientsShown = true;
  if (facts.coefficientsRead)
    facts.calibration = "read from the logger, dated " + CalibrationDateText(s.coefficients);
  else
    facts.calibration = "Logger not yet calibrated - using defaults";
}

}  // namespace

bool ReadLoggerFacts(CliContext& context, const char* command, LoggerFacts& facts) {
  Session& s = *context.session;
  if (CommGet(s, kStatusQuery) != 1) {
    ReportFailure(context, command, "Error: Status read incorrectly");
    return false;
  }
  facts.status = s.link.status;
  const int configuration = CommGet(s, kConfigurationQuery);
  if (configuration != 1) {
    ReportFailure(context, command,
                  configuration < 0 ? "Logger not yet configured"
                                    : "Unable to read the logger configuration.\nTry again.\n"
                                      "Contact KTS if the problem persists.");
    return false;
  }
  if (CommGet(s, kMemoryPointerQuery) != 1) {
    ReportFailure(context, command, "Error: Memory pointer read incorrectly");
    return false;
  }
  facts.memoryPointer = s.link.memoryPointer;
  facts.memoryUsed = MemoryUsageText(s, s.link.memoryPointer);
  ReadCalibration(context, facts);
  return true;
}

std::string ChannelLabel(const Session& s, int k) {
  const uint8_t letter = s.description.channelTypes[static_cast<size_t>(k)];
  std::string text = ChannelListText(letter, k + 1);
  while (!text.empty() && (text.back() == '\t' || text.back() == ' ')) text.pop_back();
  if (!text.empty()) return text;
  std::string_view label = RowOf(letter).columnLabel;
  while (!label.empty() && label.front() == ' ') label.remove_prefix(1);
  while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
  return Format("%d - %.*s", k + 1, static_cast<int>(label.size()), label.data());
}

const char* ChannelUnit(const Session& s, int k) {
  return UnitText(s.description.channelTypes[static_cast<size_t>(k)], s.link.identity.model,
                  s.description.conductivityMicroSiemens);
}

}  // namespace kts::cli
