#include "deploy/estimates.h"

#include <algorithm>

#include "core/session.h"
#include "core/text.h"
#include "core/time_math.h"
#include "deploy/deployment_rules.h"
#include "deploy/setup_screen.h"

namespace kts {
namespace {

constexpr int64_t kFlashBytes = 0x7FE000;

int ThermistorCurrent(int count) {
  if (count == 24) return 16;                     // a string of 24
  if (count >= 16) return 15 + (count - 16) * 2;  // a string of 16 and single sensors
  if (count >= 8) return 14 + (count - 8) * 2;    // a string of 8 and single sensors
  return count * 2;
}

int ChannelCurrent(uint8_t type) {
  switch (type) {
    case 'C':
    case 'S':
      return 7;
    case 'L':
      return 5;
    case 'F':
    case 'G':
    case 'f':
    case 'g':
      return 15;
    case 'I':
    case 'i':
      return 30;
    case 'Y':
    case 'y':
      return 6;
    case 'N':
      return 15;
    case 'K':
      return 100;
    default:
      return 2;  // P, H, M, V, D, R and any other letter
  }
}

// The whole seconds the deployment lasts; never negative.
int64_t DeploymentSeconds(const DeploymentParameters& d) {
  return std::max<int64_t>(DiffSeconds(d.endTime, EffectiveStart(d)), 0);
}

void CurrentTableEstimate(Session& s, SetupScreen& screen) {
  const DeploymentParameters& d = s.deployment;
  const int channels = DeploymentChannels(s);
  const bool profiling = d.block.samplingMode == kProfilingMode;
  const double period =
      profiling ? 1.0 / 6.0 : static_cast<double>(SamplingSeconds(d.samplingPeriod));
  const double duration = static_cast<double>(DeploymentSeconds(d));
  const int64_t samplesInMemory = MemoryCapacityReadings(s.description.memoryClass()) / channels;
  const double memoryPercent = duration * 100.0 / (static_cast<double>(samplesInMemory) * period);
  // Samples are counted only for a logger that powers down, never profiling.
  const double samples =
      static_cast<double>(DeploymentSeconds(d) / SamplingSeconds(d.samplingPeriod));

  const LoggerSeries series = SeriesOf(s.link.identity.model);
  const bool table = HasCapabilitiesTable(s);
  const double current = EstimatorCurrent(
      series,
      std::span<const uint8_t>(s.description.channelTypes.data(), static_cast<size_t>(channels)));

  double charge;  // milliampere-seconds
  if (d.block.powerFlag == 0 && !profiling) {
    // Powered down between samples: on only for each measurement.
    double onMs = std::max(s.description.latencyMs, 0) + std::max(s.description.readingTimeMs, 0);
    if (d.averagingEnabled) onMs += d.averagingPeriod * 1000.0;
    charge = samples * current * onMs / 1000.0 + duration * 0.03;
  } else {
    charge = duration * current;
  }
  double battery = charge / 3600.0;
  if (series == LoggerSeries::Other && table) battery /= 2.0;

  if (battery <= 1000.0) {
    screen.message.show(Format("Estimates:\tthe memory usage is %.1f%%\n\t\tand battery usage is "
                               "%.0fmAH.",
                               memoryPercent, battery),
                        MessageIndicator::Hidden);
  } else {
    screen.message.show(Format("Estimates:\tthe memory usage is %.1f%%\n\t\tand battery usage is "
                               "%.0fmAH. This exceeds the nominal capacity.",
                               memoryPercent, battery),
                        MessageIndicator::Info);
  }
}

}  // namespace

LoggerSeries SeriesOf(std::string_view model) {
  if (Contains(model, "3070")) return LoggerSeries::Series3070;
  if (Contains(model, "4070")) return LoggerSeries::Series4070;
  return LoggerSeries::Other;
}

int EstimatorCurrent(LoggerSeries series, std::span<const uint8_t> channelTypes) {
  // Loggers of these series with a capabilities table take the charge-per-
  // event estimate instead, so their base current is that of the old ones.
  if (series == LoggerSeries::Series3070) return 12;
  if (series == LoggerSeries::Series4070) return 5;
  int current = 10;
  int thermistors = 0;
  for (uint8_t type : channelTypes) {
    if (type == 'T')
      ++thermistors;
    else
      current += ChannelCurrent(type);
  }
  return current + ThermistorCurrent(thermistors);
}

void showEstimates(Session& s, SetupScreen* screen) {
  SetupScreen& target = screen ? *screen : s.setup;
  if (IsThresholdStart(s.deployment.block.startMode)) {
    target.message.show(
        "When set for thresholding, it is not possible to estimate the memory or battery usage",
        MessageIndicator::Hidden);
    return;
  }
  if (HasCapabilitiesTable(s) && Contains(s.link.identity.model, "070")) {
    if (!chargeEstimate(s, &target)) target.message.indicator = MessageIndicator::Info;
    return;
  }
  CurrentTableEstimate(s, target);
}

int chargeEstimate(Session& s, SetupScreen* screen) {
  DeploymentParameters& d = s.deployment;
  const int64_t channels = DeploymentChannels(s);
  const bool profiling = d.block.samplingMode == kProfilingMode;
  const int64_t periodSeconds = SamplingSeconds(d.samplingPeriod);
  const float period = profiling ? 1.0f / 6.0f : static_cast<float>(periodSeconds);
  // Samples in a number of seconds, counted exactly.
  const auto samplesIn = [&](int64_t seconds) {
    return profiling ? seconds * 6 : seconds / periodSeconds;
  };
  const int64_t duration = DeploymentSeconds(d);
  const int64_t memoryBytes =
      std::max<int64_t>(kFlashBytes - std::max(s.description.parameterBlockLength, 0), 0);
  const int64_t burstPeriod = PeriodSeconds(d.burstPeriod);
  const bool bursts = d.burstEnabled && burstPeriod > 0;

  // How long the memory lasts.
  float lasts;
  if (!bursts) {
    lasts = static_cast<float>(memoryBytes / (channels * 3)) * period;
  } else {
    const int64_t bytesPerBurstPeriod =
        samplesIn(burstPeriod) * 6 + 24 + int64_t{d.burstLength} * 3;
    lasts = static_cast<float>(memoryBytes / bytesPerBurstPeriod * burstPeriod);
  }
  const float memoryPercent = lasts > 0.0f ? static_cast<float>(duration) * 100.0f / lasts : 100.0f;

  // Charge in ampere-seconds, event by event.
  const int64_t samples = samplesIn(duration);
  float charge = static_cast<float>(duration) * 0.00003f;
  int64_t burstCount = 0;
  int64_t burstSeconds = 0;
  if (bursts && d.burstRate > 0) {
    burstCount = duration / burstPeriod;
    burstSeconds = d.burstLength / d.burstRate;
    charge +=
        static_cast<float>(burstCount) * (static_cast<float>(d.burstLength) * 0.00034f / 2.0f +
                                          static_cast<float>(burstSeconds) * 0.0007f);
  }
  const float plainSamples = static_cast<float>(std::max<int64_t>(samples - burstCount, 0));
  if (!d.averagingEnabled) {
    charge += plainSamples * 0.0016f;
  } else {
    const int64_t averaging = d.averagingPeriod;
    charge += (static_cast<float>(averaging) * 0.0007f + 0.00034f) * plainSamples;
    if (averaging > burstSeconds)
      charge +=
          static_cast<float>(burstCount) * 0.0007f * static_cast<float>(averaging - burstSeconds);
  }
  const float battery = charge * 0.2777778f;
  d.estimatedMemoryPercent = memoryPercent;
  d.estimatedChargeMah = battery;

  const float nominal = Contains(s.link.identity.model, "-QH") ? 4000.0f : 1000.0f;
  const bool within = battery <= nominal;
  if (screen) {
    screen->message.show(
        Format(within ? "Estimates:\tmemory usage is %.1f%%\n\t\tbattery usage is %.0fmAH."
                      : "Estimates:\tmemory usage is %.1f%%\n\t\tbattery usage is %.0fmAH. This "
                        "exceeds the nominal capacity.",
               static_cast<double>(memoryPercent), static_cast<double>(battery)),
        MessageIndicator::Hidden);
  }
  return within ? 1 : 0;
}

}  // namespace kts
