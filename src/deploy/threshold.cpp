#include "deploy/threshold.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "convert/calibration.h"
#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "core/time_format.h"
#include "deploy/deployment_rules.h"
#include "deploy/threshold_screen.h"

namespace kts {
namespace {

// Levels are kept to 0.01; the tolerance keeps 1.1 (110.00000000000001
// hundredths in binary) from rounding up to 1.11.
constexpr double kHundredthsTolerance = 1e-7;

// Adding 0.0 turns a rounded −0.0 into 0.0, which prints without a sign.
double CeilHundredths(double x) {
  return std::ceil(x * 100.0 - kHundredthsTolerance) / 100.0 + 0.0;
}
double FloorHundredths(double x) {
  return std::floor(x * 100.0 + kHundredthsTolerance) / 100.0 + 0.0;
}

bool IsLoggerChannel(const Session& s, int channel) {
  return channel >= 0 && channel < DeploymentChannels(s);
}

uint8_t TypeOf(const Session& s, int channel) {
  return s.description.channelTypes[static_cast<size_t>(channel)];
}

// The thermistor equation serves temperature channels and every channel of
// an HV model; its value falls as the count rises.
bool UsesThermistor(const Session& s, int channel) {
  return TypeOf(s, channel) == 'T' || IsHvLogger(s);
}

bool AskToAcceptLimit(Session& s, const char* caption, const char* format, double limit) {
  Message m;
  m.text = Format(format, limit);
  m.caption = caption;
  m.icon = Icon::Question;
  m.buttons = Buttons::YesNo;
  m.defaultAnswer = Answer::No;
  return s.ui.message(m) == Answer::Yes;
}

void AnnounceHysteresis(Session& s, const std::string& text) {
  s.ui.message({text, "Hysteresis setting", Icon::Warning, Buttons::Ok, Answer::Ok});
}

}  // namespace

double rawToEng(const Session& s, int32_t raw, int channel) {
  if (!IsLoggerChannel(s, channel)) return kInvalidValue;
  return ConvertRaw(raw, TypeOf(s, channel), s.coefficients.c[static_cast<size_t>(channel)],
                    IsHvLogger(s));
}

uint32_t engToRaw(const Session& s, double level, int channel) {
  if (!IsLoggerChannel(s, channel)) return 0;
  const bool falling = UsesThermistor(s, channel);
  int64_t raw = 0x800000;
  for (int64_t step = 0x800000; step > 0; step /= 2) {
    const double value = rawToEng(s, static_cast<int32_t>(raw), channel);
    if (falling ? value < level : value > level) raw -= step;
    raw += step / 2;
  }
  return static_cast<uint32_t>(std::clamp<int64_t>(raw, 0, 0xFFFFFF));
}

ThresholdRange thresholdLimits(const Session& s, int channel) {
  if (!IsLoggerChannel(s, channel)) return {};
  ThresholdRange r;
  if (UsesThermistor(s, channel)) {
    r.minimum = rawToEng(s, 0xFFFFFD, channel);
    r.maximum = 100.0;
  } else {
    r.minimum = s.coefficients.c[static_cast<size_t>(channel)][0];  // the value at count 0
    r.maximum = rawToEng(s, 0xCCCCCC, channel);
  }
  r.minimum = CeilHundredths(r.minimum);
  r.maximum = FloorHundredths(r.maximum);
  return r;
}

uint32_t RawLimitOf(uint8_t type) {
  switch (RowOf(type).rolloverClass) {
    case 0:
      return 0xFFFFFD;
    case 2:
      return 0xFD70A2;
    default:
      return 0xDFFFFF;
  }
}

int ApplyThresholdLevel(Session& s, LevelCheck where, ThresholdScreen* screen) {
  DeploymentBlock& b = s.deployment.block;
  const int channel = static_cast<int>(b.thresholdChannel);
  if (!IsLoggerChannel(s, channel) || !std::isfinite(b.thresholdLevel)) {
    s.ui.message(
        {"The threshold level or channel is not valid for this logger.\nCheck the "
         "thresholding configuration.",
         "Thresholding configuration", Icon::Warning, Buttons::Ok, Answer::Ok});
    return kLevelRefused;
  }
  if (where == LevelCheck::Screen) b.thresholdLevel = CeilHundredths(b.thresholdLevel);
  b.thresholdRawLimit = RawLimitOf(TypeOf(s, channel));
  b.thresholdLimitValue = rawToEng(s, static_cast<int32_t>(b.thresholdRawLimit), channel);
  b.thresholdRaw = engToRaw(s, b.thresholdLevel, channel);

  const ThresholdRange range = thresholdLimits(s, channel);
  const bool below = b.thresholdLevel < range.minimum;
  if (!below && !(b.thresholdLevel > range.maximum)) return kLevelWithinLimits;
  const double limit = below ? range.minimum : range.maximum;
  if (!AskToAcceptLimit(
          s, below ? "Required threshold below minimum" : "Required threshold above maximum",
          below ? "Minimum threshold for this sensor is %.2f\nDo you wish to accept this value?"
                : "Maximum threshold for this sensor is %.2f\nDo you wish to accept this value?",
          limit))
    return kLevelRefused;
  b.thresholdLevel = limit;
  b.thresholdRaw = engToRaw(s, limit, channel);
  if (screen) screen->levelText = Format("%.2f", limit);
  return kLevelMovedToLimit;
}

int checkPowerSavingPeriod(Session& s, ThresholdScreen* screen) {
  if (screen) screen->message.clear();
  DeploymentParameters& d = s.deployment;
  const int64_t check = PeriodSeconds(d.checkPeriod);
  const int64_t period = SamplingSeconds(d.samplingPeriod);
  if (check == 0 || check >= period) return 1;
  const int64_t powerUpMs = std::max(s.description.latencyMs, 0) +
                            std::max(s.description.readingTimeMs, 0) + 170 +
                            int64_t{DeploymentChannels(s)} * 20;
  const int64_t minimum = (powerUpMs + 999) / 1000;
  if (check >= minimum) return 1;
  d.checkPeriod = PeriodFromSeconds(minimum);
  if (screen) {
    screen->message.show(
        "Power saving period was too short.\nIt has been changed.\nContinuous checking is still "
        "an option.",
        MessageIndicator::Info);
    screen->choice = PowerSavingChoice::LetMeChoose;
    screen->checkPickerShown = true;
    screen->checkPicker = d.checkPeriod;
  }
  return 0;
}

int checkHysteresis(Session& s, ThresholdScreen* screen) {
  DeploymentParameters& d = s.deployment;
  const int64_t h = d.block.hysteresisPeriod;
  if (h == 0) return 1;
  int64_t corrected = h;
  std::string text;
  if (d.block.samplingMode == kProfilingMode) {
    // The logger counts six samples a second in a 16-bit count.
    if (h * 6 > 65535) {
      corrected = 65535 / 6;
      text = Format(
          "The maximum hysteresis period is %lld seconds.\nThis maximum period has "
          "been inserted into the current setup.",
          static_cast<long long>(corrected));
    }
  } else {
    const int64_t period = SamplingSeconds(d.samplingPeriod);
    const int64_t count = h / period;
    if (count == 0) {
      corrected = period;
      text = Format(
          "The minimum hysteresis period is %lld seconds - one sampling period.\nThis "
          "minimum period has been inserted into the current setup.",
          static_cast<long long>(corrected));
    } else if (count > 65535) {
      // The longest period the 16-bit sample count can carry.
      corrected = 65535 * period;
      text = Format(
          "The maximum hysteresis period is %lld seconds.\nThis maximum period has "
          "been inserted into the configuration.",
          static_cast<long long>(corrected));
    } else if (h % period != 0) {
      corrected = h - h % period;
      text =
          "The hysteresis period must be an integer multiple of the sampling.\nThe nearest "
          "period has been inserted into the current setup.";
    }
  }
  if (corrected == h) return 1;
  d.block.hysteresisPeriod = static_cast<uint32_t>(corrected);
  if (screen) screen->hysteresisText = Format("%lld", static_cast<long long>(corrected));
  AnnounceHysteresis(s, text);
  return 0;
}

std::string ChannelTypeName(uint8_t type) {
  const ChannelTypeRow& row = RowOf(type);
  std::string_view name = row.listFormat;
  const size_t dash = name.find(" - ");
  if (dash != std::string_view::npos) name.remove_prefix(dash + 3);
  name = name.substr(0, name.find('\t'));
  if (name.empty() || Contains(name, "%")) {
    name = row.columnLabel;
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  }
  return std::string(name);
}

std::string describeThreshold(const Session& s) {
  const DeploymentParameters& d = s.deployment;
  const uint32_t channel = d.block.thresholdChannel;
  const uint8_t type = channel < static_cast<uint32_t>(kMaxChannels)
                           ? s.description.channelTypes[channel]
                           : uint8_t{'U'};
  const std::string name = ChannelTypeName(type);
  const int number = static_cast<int>(std::min<uint32_t>(channel, 1000)) + 1;
  if (d.block.thresholdTestMode == 0)
    return Format("Channel:%2d (%s), threshold:%.2f, continuous", number, name.c_str(),
                  d.block.thresholdLevel);
  return Format("Channel:%2d (%s), threshold:%.2f, tested at %s", number, name.c_str(),
                d.block.thresholdLevel, FormatPeriod(d.checkPeriod).c_str());
}

}  // namespace kts
