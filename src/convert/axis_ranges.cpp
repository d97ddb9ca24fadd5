#include "convert/axis_ranges.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "convert/channel_range.h"
#include "convert/channel_types.h"
#include "data/data_set.h"

namespace kts {

namespace {

// The range of a group without a displayed channel.
constexpr float kEmptyMinimum = -30000.0f;
constexpr float kEmptyMaximum = 30000.0f;
constexpr double kMinimumWidth = 0.0009f;  // float, as the plot has always held it
constexpr double kRelativeWidth = 1e-6;    // about 8 float steps at any magnitude

// Widens [lo, hi] to the smallest sane width, computed in double so that
// the width is not lost in float rounding; the result stays within the
// float range.
void Widen(float& lo, float& hi) {
  const double low = lo;
  const double width = std::max(kMinimumWidth, std::fabs(low) * kRelativeWidth);
  if (low + width <= static_cast<double>(hi)) return;
  constexpr double kFloatMax = std::numeric_limits<float>::max();
  if (low + width > kFloatMax) {
    hi = static_cast<float>(kFloatMax);
    lo = static_cast<float>(kFloatMax - width);
    return;
  }
  hi = static_cast<float>(low + width);
}

}  // namespace

AxisRanges ComputeAxisRanges(const DataSet& d, uint32_t displayedMask) {
  // Groups start empty rather than at 30,000 / −30,000, which would cut off
  // any channel beyond ±30,000 (conductivity in µS/cm reaches 60,000).
  AxisRanges r;
  r.minimum.fill(std::numeric_limits<float>::max());
  r.maximum.fill(std::numeric_limits<float>::lowest());
  std::array<bool, kAxisGroupCount> used{};
  const int channels = std::clamp(d.totalChannels, 0, kMaxChannels);
  const int n = d.sampleCount;
  const bool layoutHolds = RowLayoutHolds(channels, n, d.stride);
  for (int c = 0; layoutHolds && c < channels; ++c) {
    if (!(displayedMask & (1u << c))) continue;
    const float* row = d.row(c);
    if (!std::isfinite(row[n]) || !std::isfinite(row[n + 1])) continue;
    const size_t g = static_cast<size_t>(AxisGroupOf(d.types[static_cast<size_t>(c)]));
    r.minimum[g] = std::min(r.minimum[g], row[n]);
    r.maximum[g] = std::max(r.maximum[g], row[n + 1]);
    used[g] = true;
  }
  for (size_t g = 0; g < kAxisGroupCount; ++g) {
    if (!used[g]) {
      r.minimum[g] = kEmptyMinimum;
      r.maximum[g] = kEmptyMaximum;
      continue;
    }
    if (r.minimum[g] > r.maximum[g]) std::swap(r.minimum[g], r.maximum[g]);
    Widen(r.minimum[g], r.maximum[g]);
  }
  return r;
}

}  // namespace kts
