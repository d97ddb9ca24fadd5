#include "sim/channel_signal.h"

#include <algorithm>
#include <cmath>

namespace kts::sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFullScale = 16777216.0;
constexpr double kTideSeconds = 44714.0;  // the principal lunar tide, M2
constexpr double kDaySeconds = 86400.0;
constexpr double kLowestFraction = 0.02;
constexpr double kHighestFraction = 0.85;  // below every rollover threshold

uint64_t SplitMix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

double Polynomial(const Coefficients& c, double v) {
  return ((c[3] * v + c[2]) * v + c[1]) * v + c[0];
}

double Wave(double seconds, double period, double phase = 0.0) {
  return std::sin(2 * kPi * seconds / period + phase);
}

// Positive part of the daylight curve: 0 at night, 1 at noon.
double Daylight(double seconds) {
  const double dayFraction = std::fmod(seconds, kDaySeconds) / kDaySeconds;
  return std::max(0.0, std::sin(2 * kPi * (dayFraction - 0.25)));
}

Coefficients TypicalCoefficients(uint8_t letter, bool thermistor) {
  if (thermistor) return {3.5e-3, -2.5e-4, 2.7e-6, 2.3e-8};
  // clang-format off
  switch (letter) {
    case 'P': case 'L': return {-10.0, 1050.0, 2.0, -1.0};
    case 'C': case 'S': return {-0.1, 80.0, 0.5, 0.0};
    case 'D': case 'K': return {-1.0, 160.0, 0.0, 0.0};
    case 'J': return {0.0, 600.0, 0.0, 0.0};
    case 'Y': case 'y': return {-0.2, 3000.0, 0.0, 0.0};
    case 'F': case 'f': case 'G': case 'g': return {-0.02, 160.0, 0.0, 0.0};
    case 'I': case 'i': return {0.0, 1600.0, 0.0, 0.0};
    case 'R': return {0.0, 3000.0, 0.0, 0.0};
    case 'H': return {0.0, 14.0, 0.0, 0.0};
    case 'N': return {0.0, 110.0, 0.0, 0.0};
    case 'V': case 'M': return {0.0, 5.0, 0.0, 0.0};
    case 'E': case 'A': return {0.0, 120.0, 0.0, 0.0};
    default: return {0.0, 2.0, 0.0, 0.0};
  }
  // clang-format on
}

double Thermistor(double x, const Coefficients& c) {
  const double L = std::log(1.0 / x - 1.0);
  return 1.0 / Polynomial(c, L) - 273.15;
}

double Convert(double x, bool thermistor, const Coefficients& c) {
  return thermistor ? Thermistor(x, c) : Polynomial(c, x);
}

}  // namespace

uint64_t NoiseKey(uint64_t seed, int channel, uint64_t index, uint64_t stream) {
  return SplitMix(SplitMix(seed ^ (stream << 48)) ^ (static_cast<uint64_t>(channel) << 40) ^ index);
}

double UniformNoise(uint64_t key) {
  return static_cast<double>(SplitMix(key) >> 11) * 0x1.0p-53;
}

double GaussianNoise(uint64_t key) {
  // Box–Muller from two independent uniforms of the same key.
  const double u1 = std::max(UniformNoise(key), 1e-300);
  const double u2 = UniformNoise(key ^ 0xA5A5A5A5A5A5A5A5ULL);
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(2 * kPi * u2);
}

Coefficients SimulatedCoefficients(uint8_t letter, bool thermistor, int channel, int generation,
                                   uint64_t seed) {
  Coefficients c = TypicalCoefficients(letter, thermistor);
  for (size_t i = 0; i < c.size(); ++i) {
    const double u = 2.0 * UniformNoise(NoiseKey(seed, channel, i, 1000 + generation)) - 1.0;
    c[i] *= 1.0 + 0.003 * u;  // a sensor is never quite the textbook one
  }
  return c;
}

double ChannelValue(uint8_t letter, double s, uint64_t key, bool shallow) {
  const double g = GaussianNoise(key);
  const double tide = Wave(s, kTideSeconds);
  const double day = Wave(std::fmod(s, kDaySeconds) - 6 * 3600.0, kDaySeconds);
  // clang-format off
  switch (letter) {
    case 'T': return 11.5 + 2.0 * day + 0.5 * tide + 0.02 * g;
    case 'P': case 'L': return (shallow ? 9.5 : 50.0) + 1.2 * tide + 0.01 * g;
    case 'C': case 'S': return 38.2 + 0.8 * Wave(s, kTideSeconds, 1.0) + 0.3 * day + 0.01 * g;
    case 'D': case 'K': return 92.0 + 5.0 * day + 0.3 * g;
    case 'J': return 260.0 + 10.0 * day + g;
    case 'Y': case 'y': {
      // Clear water with a resuspension event every six hours.
      const double event = std::pow(std::max(0.0, Wave(s, 21600.0)), 12.0);
      return 2.5 + 1.5 * day + 180.0 * event + 0.2 * std::fabs(g);
    }
    case 'F': case 'f': case 'G': case 'g':
      return std::max(0.05, 0.8 + 2.5 * Daylight(s) + 0.05 * g);
    case 'I': case 'i': return 20.0 + 80.0 * Daylight(s) + g;
    case 'R': return 1.0 + 1400.0 * Daylight(s) + 0.5 * std::fabs(g);
    case 'H': return 8.05 + 0.03 * day + 0.003 * g;
    case 'N': return 88.0 + 3.0 * day + 0.2 * g;
    case 'V': return 3.6 - 0.3 * std::fmod(s, 60 * kDaySeconds) / (60 * kDaySeconds) + 0.001 * g;
    case 'M': return 2.5 + 0.01 * g;
    case 'E': case 'A': return 20.0 + 1.2 * tide + 0.01 * g;
    default: return 0.5 + 0.1 * day + 0.01 * g;
  }
  // clang-format on
}

double WaveBurstValue(const Profile& p, double meanPressure, double s, uint64_t key) {
  const double h = p.waveHeight / 2;
  const double period = p.wavePeriod > 0.5 ? p.wavePeriod : 8.0;
  return meanPressure + h * Wave(s, period) + 0.4 * h * Wave(s, period * 1.7, 1.0) +
         0.005 * GaussianNoise(key);
}

uint32_t CountForValue(double value, bool thermistor, const Coefficients& c) {
  double lo = kLowestFraction, hi = kHighestFraction;
  const double atLo = Convert(lo, thermistor, c), atHi = Convert(hi, thermistor, c);
  if (!std::isfinite(atLo) || !std::isfinite(atHi) || atLo == atHi)
    return static_cast<uint32_t>(kFullScale / 2);
  const bool rising = atHi > atLo;
  // Outside the sensor's span the count sticks at the end of the span.
  if (rising ? value <= atLo : value >= atLo) return static_cast<uint32_t>(lo * kFullScale);
  if (rising ? value >= atHi : value <= atHi) return static_cast<uint32_t>(hi * kFullScale);
  for (int i = 0; i < 48; ++i) {
    const double mid = 0.5 * (lo + hi);
    const double v = Convert(mid, thermistor, c);
    if ((v < value) == rising)
      lo = mid;
    else
      hi = mid;
  }
  return static_cast<uint32_t>(std::lround(0.5 * (lo + hi) * kFullScale));
}

double ValueForCount(uint32_t count, bool thermistor, const Coefficients& c) {
  const double x = (count & 0xFFFFFF) / kFullScale;
  if (thermistor && (x <= 0.0 || x >= 1.0)) return -1000.0;
  return Convert(x, thermistor, c);
}

int AutorangeGain(uint8_t letter, double value) {
  double ranges[3] = {5, 15, 50};  // fluorometers, µg/l
  if (letter == 'Y' || letter == 'y') ranges[0] = 25, ranges[1] = 125, ranges[2] = 500;
  if (letter == 'I' || letter == 'i') ranges[0] = 15, ranges[1] = 50, ranges[2] = 500;
  if (value < ranges[0]) return 3;
  if (value < ranges[1]) return 2;
  if (value < ranges[2]) return 1;
  return 0;
}

}  // namespace kts::sim
