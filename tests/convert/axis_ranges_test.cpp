#include "convert/axis_ranges.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "convert/channel_types.h"
#include "data/data_set.h"

namespace kts {
namespace {

class AxisRangesTest : public ::testing::Test {
 protected:
  DataSet d;
  // Channels given by type and their minimum and maximum; two samples each.
  void setChannels(const std::vector<std::tuple<uint8_t, float, float>>& channels) {
    d.sampleCount = 2;
    d.stride = 4;
    d.measuredChannels = d.totalChannels = static_cast<int>(channels.size());
    for (size_t c = 0; c < channels.size(); ++c) {
      const auto [type, lo, hi] = channels[c];
      d.types[c] = type;
      d.row(static_cast<int>(c))[2] = lo;
      d.row(static_cast<int>(c))[3] = hi;
    }
  }
};

TEST_F(AxisRangesTest, GroupsTakeTheExtremesOfTheirDisplayedChannels) {
  // Pressure and Paroscientific share group 1; conductivity and specific
  // conductivity share group 2.
  setChannels({{'P', 2, 40}, {'L', -1, 20}, {'C', 30, 50}, {'s', 45, 60}, {'T', 4, 9}});
  const AxisRanges r = ComputeAxisRanges(d, 0b01111);
  EXPECT_EQ(r.minimum[1], -1.0f);
  EXPECT_EQ(r.maximum[1], 40.0f);
  EXPECT_EQ(r.minimum[2], 30.0f);
  EXPECT_EQ(r.maximum[2], 60.0f);
  // The temperature channel is not displayed: its group spans ±30,000.
  EXPECT_EQ(r.minimum[0], -30000.0f);
  EXPECT_EQ(r.maximum[0], 30000.0f);

  const AxisRanges onlyL = ComputeAxisRanges(d, 0b00010);
  EXPECT_EQ(onlyL.minimum[1], -1.0f);
  EXPECT_EQ(onlyL.maximum[1], 20.0f);

  // Beyond ±30,000 (conductivity in µS/cm) the range is the channel's own.
  setChannels({{'C', 40000, 52000}});
  const AxisRanges high = ComputeAxisRanges(d, 1);
  EXPECT_EQ(high.minimum[2], 40000.0f);
  EXPECT_EQ(high.maximum[2], 52000.0f);
}

TEST_F(AxisRangesTest, ConstantChannelsAreWidened) {
  setChannels({{'T', 5.0f, 5.0f}, {'C', 1e6f, 1e6f}, {'H', 0, 0}});
  AxisRanges r = ComputeAxisRanges(d, 0b111);
  EXPECT_EQ(r.minimum[0], 5.0f);
  EXPECT_EQ(r.maximum[0], 5.0009f);
  EXPECT_EQ(r.minimum[8], 0.0f);
  EXPECT_EQ(r.maximum[8], 0.0009f);
  // At a million 0.0009 is lost in float rounding; the width follows the value.
  EXPECT_EQ(r.minimum[2], 1e6f);
  EXPECT_GT(r.maximum[2], 1e6f);
  EXPECT_LT(r.maximum[2], 1e6f + 2.0f);

  setChannels({{'T', -2e10f, -2e10f}, {'P', 3.4e38f, 3.4e38f}});
  r = ComputeAxisRanges(d, 0b11);
  EXPECT_GT(r.maximum[0], r.minimum[0]);
  EXPECT_EQ(r.minimum[0], -2e10f);
  EXPECT_TRUE(std::isfinite(r.maximum[1]));
  EXPECT_GT(r.maximum[1], r.minimum[1]);
}

TEST_F(AxisRangesTest, ReversedAndBadRangesStaySane) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  // A channel without one valid value keeps 300 / −300.
  setChannels({{'T', 300, -300}, {'P', nan, std::numeric_limits<float>::infinity()}, {'Q', 1, 2}});
  const AxisRanges r = ComputeAxisRanges(d, 0xFFFFFFFF);
  EXPECT_EQ(r.minimum[0], -300.0f);
  EXPECT_EQ(r.maximum[0], 300.0f);
  EXPECT_EQ(r.minimum[1], -30000.0f);
  EXPECT_EQ(r.maximum[1], 30000.0f);
  EXPECT_EQ(r.minimum[AxisGroupOf('Q')], 1.0f);  // unknown types plot on group 22

  d.stride = 1;  // counts that do not describe the store: nothing is read
  const AxisRanges none = ComputeAxisRanges(d, 0xFFFFFFFF);
  for (int g = 0; g < kAxisGroupCount; ++g)
    EXPECT_EQ(none.maximum[static_cast<size_t>(g)], 30000.0f);
}

}  // namespace
}  // namespace kts
