#include "link/coefficient_set.h"

#include <cmath>
#include <cstring>

#include "link/logger_identity.h"

namespace kts {

CalibrationGeneration GenerationOf(const LoggerIdentity& id) {
  if (id.extended) return CalibrationGeneration::History;
  if (IsQzFamily(id)) return CalibrationGeneration::Flash;
  return CalibrationGeneration::Single;
}

ChannelCoefficients DefaultCoefficients(uint8_t channelType, CalibrationGeneration generation,
                                        bool hvModel) {
  if (channelType == 'T') return {0.0035, -0.00025, 2.7e-06, 2.3e-08};
  if (generation == CalibrationGeneration::Single && !hvModel) return {0.0, 100.0, 0.0, 0.0};
  return {0.0, 1.0, 0.0, 0.0};
}

void InstallDefaultCoefficients(CoefficientSet& set, const LoggerDescription& d,
                                const LoggerIdentity& id) {
  const CalibrationGeneration generation = GenerationOf(id);
  const bool hv = IsHvModel(id);
  for (size_t k = 0; k < set.c.size(); ++k) {
    // The oldest loggers have a single channel; only it is theirs.
    const bool present = static_cast<int>(k) < d.channelCount;
    set.c[k] = present ? DefaultCoefficients(d.channelTypes[k], generation, hv)
                       : ChannelCoefficients{0.0, 1.0, 0.0, 0.0};
  }
  set.date = {};
  set.readFromLogger = false;
}

void PackCoefficients(const ChannelCoefficients& c, uint8_t out[32]) {
  for (size_t k = 0; k < 4; ++k) {
    uint64_t bits;
    std::memcpy(&bits, &c[k], sizeof bits);
    for (size_t b = 0; b < 8; ++b) out[8 * k + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
}

ChannelCoefficients UnpackCoefficients(const uint8_t in[32]) {
  ChannelCoefficients c{};
  for (size_t k = 0; k < 4; ++k) {
    uint64_t bits = 0;
    for (size_t b = 0; b < 8; ++b) bits |= uint64_t{in[8 * k + b]} << (8 * b);
    std::memcpy(&c[k], &bits, sizeof bits);
  }
  return c;
}

bool AllFinite(const ChannelCoefficients& c) {
  for (double v : c)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace kts
