// The logger's channels: which sensor each one is, with which coefficients,
// and the 24-bit words it stores for a sample (autoranging channels carry
// their gain code in bits 1–2).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sim/profile.h"

namespace kts::sim {

class SampleEncoder {
 public:
  SampleEncoder(const Profile& p, uint64_t seed);

  // The channel set and coefficients now in force (after a configuration
  // table or calibration write). Channels beyond 24 are ignored.
  void configure(const std::vector<ProfileChannel>& channels,
                 const std::vector<Coefficients>& coefficients);
  void setRangeTables(const std::array<uint8_t, 25>& extendedCaps,
                      const std::array<uint8_t, 25>& rangeSwitching);

  int channelCount() const { return static_cast<int>(channels_.size()); }
  uint8_t letter(int channel) const { return channels_[static_cast<size_t>(channel)].letter; }
  bool thermistor(int channel) const;
  bool autoranging(int channel) const;
  const Coefficients& coefficients(int channel) const;
  // The channel that records wave bursts: the first pressure channel.
  int pressureChannel() const;

  // The words of every channel for one sample; `stream` separates the
  // noise of stored records from that of live fetches.
  void sample(int64_t ticks, uint64_t index, uint32_t* words, uint64_t stream = 0) const;
  uint32_t burstWord(int64_t ticks, uint64_t index) const;
  // A word back in engineering units with the channel's coefficients.
  double value(int channel, uint32_t word) const;

  // Big-endian 3-byte words.
  static void PutWord(uint32_t word, uint8_t* out) {
    out[0] = static_cast<uint8_t>(word >> 16);
    out[1] = static_cast<uint8_t>(word >> 8);
    out[2] = static_cast<uint8_t>(word);
  }

 private:
  uint32_t shape(int channel, uint32_t count, double value) const;

  const Profile& profile_;
  uint64_t seed_;
  bool hv_;
  std::vector<ProfileChannel> channels_;
  std::vector<Coefficients> coefficients_;
  std::array<uint8_t, 25> extendedCaps_ = NoRangeSwitchingTable();
  std::array<uint8_t, 25> rangeSwitching_ = NoRangeSwitchingTable();
};

}  // namespace kts::sim
