#include "sim/sample_encoder.h"

#include <algorithm>

#include "core/time_math.h"
#include "sim/channel_signal.h"

namespace kts::sim {

SampleEncoder::SampleEncoder(const Profile& p, uint64_t seed)
    : profile_(p), seed_(seed), hv_(IsHvModel(p)) {
  setRangeTables(p.extendedCaps, p.rangeSwitching);
}

void SampleEncoder::configure(const std::vector<ProfileChannel>& channels,
                              const std::vector<Coefficients>& coefficients) {
  channels_.assign(channels.begin(),
                   channels.begin() + std::min<size_t>(channels.size(), kMaxSimChannels));
  coefficients_ = coefficients;
  coefficients_.resize(channels_.size(), Coefficients{0, 1, 0, 0});
}

void SampleEncoder::setRangeTables(const std::array<uint8_t, 25>& extendedCaps,
                                   const std::array<uint8_t, 25>& rangeSwitching) {
  extendedCaps_ = extendedCaps;
  rangeSwitching_ = rangeSwitching;
}

bool SampleEncoder::thermistor(int channel) const {
  return hv_ || letter(channel) == 'T';
}

bool SampleEncoder::autoranging(int channel) const {
  if (channel < 0 || channel >= 24) return false;
  const uint8_t r = rangeSwitching_[static_cast<size_t>(channel) + 1];
  const int mode = r & 7, gain = (r >> 3) & 3;
  return gain < 3 && (mode == 5 || mode == 6);
}

const Coefficients& SampleEncoder::coefficients(int channel) const {
  return coefficients_[static_cast<size_t>(channel)];
}

int SampleEncoder::pressureChannel() const {
  for (int c = 0; c < channelCount(); ++c)
    if (letter(c) == 'P') return c;
  return channelCount() > 1 ? 1 : 0;
}

uint32_t SampleEncoder::shape(int channel, uint32_t count, double value) const {
  if (autoranging(channel)) {
    // Gain code in bits 1–2, bit 0 clear: the range byte chooses autoranging.
    // A fixed gain keeps the range chosen in bits 5–7 (the first entry, the
    // most sensitive range, is gain code 3).
    const uint8_t r = rangeSwitching_[static_cast<size_t>(channel) + 1];
    const int gain =
        ((r >> 3) & 3) == 0 ? AutorangeGain(letter(channel), value) : 3 - ((r >> 5) & 3);
    return (count & ~7u) | static_cast<uint32_t>(gain << 1);
  }
  // Without the rollover class an odd word would be read as rolled over.
  if (channel < 24 && !(extendedCaps_[static_cast<size_t>(channel) + 1] & 1)) return count & ~1u;
  return count;
}

void SampleEncoder::sample(int64_t ticks, uint64_t index, uint32_t* words, uint64_t stream) const {
  const double seconds = static_cast<double>(ticks) / kTicksPerSecond;
  const bool shallow = HasWaves(profile_);
  for (int c = 0; c < channelCount(); ++c) {
    const uint8_t type = hv_ ? 'T' : letter(c);
    const double v = ChannelValue(type, seconds, NoiseKey(seed_, c, index, stream), shallow);
    words[c] = shape(c, CountForValue(v, thermistor(c), coefficients(c)), v);
  }
}

uint32_t SampleEncoder::burstWord(int64_t ticks, uint64_t index) const {
  const int c = pressureChannel();
  const double seconds = static_cast<double>(ticks) / kTicksPerSecond;
  const double mean = ChannelValue('P', seconds, NoiseKey(seed_, c, index, 7), true);
  const double v = WaveBurstValue(profile_, mean, seconds, NoiseKey(seed_, c, index, 8));
  return CountForValue(v, thermistor(c), coefficients(c));
}

double SampleEncoder::value(int channel, uint32_t word) const {
  return ValueForCount(word, thermistor(channel), coefficients(channel));
}

}  // namespace kts::sim
