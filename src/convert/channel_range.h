// Storing a computed value in a float row, and the running minimum and
// maximum of a channel, which sit after its samples (elements n and n + 1).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "data/data_set.h"

namespace kts {

// Whether `channels` rows of `sampleCount` samples, each followed by its
// minimum and maximum, at `stride` floats apart, lie inside the row store.
inline bool RowLayoutHolds(int channels, int sampleCount, int stride) {
  if (channels < 0 || channels > kMaxChannels) return false;
  if (sampleCount < 0 || stride < 2 || stride - 2 < sampleCount) return false;
  return int64_t{channels} * stride <= kRowStoreFloats;
}

// The float a result is stored as: the invalid marker −1000 for a result
// that is not a number, infinite or beyond the float range, so that rows,
// files and plots only ever see finite values.
inline float StoredValue(double v) {
  constexpr double kFloatMax = std::numeric_limits<float>::max();
  if (!(v >= -kFloatMax && v <= kFloatMax)) return -1000.0f;
  return static_cast<float>(v);
}

// Starts from the largest and smallest float, so any valid value (above
// −1000, finite) moves it; a channel without one keeps 300 / −300.
struct ChannelRange {
  float minimum = std::numeric_limits<float>::max();
  float maximum = std::numeric_limits<float>::lowest();

  void add(float v) {
    if (!(v > -1000.0f) || !std::isfinite(v)) return;
    if (v < minimum) minimum = v;
    if (v > maximum) maximum = v;
  }
  bool empty() const { return minimum > maximum; }
  // Writes the range into the row's minimum and maximum slots.
  void store(float* row, int sampleCount) const {
    row[sampleCount] = empty() ? 300.0f : minimum;
    row[sampleCount + 1] = empty() ? -300.0f : maximum;
  }
};

}  // namespace kts
