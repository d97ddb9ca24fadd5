// The value range of each plot axis group, from the minimum and maximum of
// the channels on display.
#pragma once

#include <array>
#include <cstdint>

namespace kts {

struct DataSet;

inline constexpr int kAxisGroupCount = 23;

struct AxisRanges {
  std::array<float, kAxisGroupCount> minimum{};
  std::array<float, kAxisGroupCount> maximum{};
};

// For each axis group, the smallest minimum and largest maximum of the
// displayed channels (bit c of `displayedMask` for channel c) of that group.
// A group without a displayed channel spans −30,000 to 30,000. The result
// always has maximum > minimum, both finite: a range narrower than 0.0009
// (or, for large values, than a millionth of the value, so that the width
// survives float rounding) is widened upwards, and a channel whose minimum
// or maximum is not finite is left out.
AxisRanges ComputeAxisRanges(const DataSet& d, uint32_t displayedMask);

}  // namespace kts
