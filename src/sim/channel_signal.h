// The simulated sea and the sensors in it: what each channel type reads at
// a given time, the calibration coefficients the logger carries, and the
// raw 24-bit counts a sensor with those coefficients produces. The
// simulator keeps its own copy of the two calibration equations (it runs
// them backwards to make counts), so a slip on either side shows up as a
// mismatch instead of being shared.
#pragma once

#include <cstdint>

#include "sim/profile.h"

namespace kts::sim {

// Deterministic noise: a value in [0, 1) and a standard normal value, each
// a pure function of the key.
double UniformNoise(uint64_t key);
double GaussianNoise(uint64_t key);
uint64_t NoiseKey(uint64_t seed, int channel, uint64_t index, uint64_t stream = 0);

// Coefficients of a channel (0-based) in calibration generation g (0 is the
// current calibration, 1 the one before it …): the usual coefficients of
// the channel type, each moved a little by the seed and the generation.
Coefficients SimulatedCoefficients(uint8_t letter, bool thermistor, int channel, int generation,
                                   uint64_t seed);

// What a channel of this type reads `seconds` after 1601-01-01 (so that the
// tide and the day keep their phase whatever the deployment).
double ChannelValue(uint8_t letter, double seconds, uint64_t noiseKey, bool shallow);

// Pressure during a wave burst: the mean plus two swell components.
double WaveBurstValue(const Profile& p, double meanPressure, double seconds, uint64_t noiseKey);

// The count whose conversion gives the value, kept inside 2 %…85 % of full
// scale; and the conversion itself (thermistor or polynomial).
uint32_t CountForValue(double value, bool thermistor, const Coefficients& c);
double ValueForCount(uint32_t count, bool thermistor, const Coefficients& c);

// Gain code (0 widest … 3 most sensitive) an autoranging sensor picks.
int AutorangeGain(uint8_t letter, double value);

}  // namespace kts::sim
