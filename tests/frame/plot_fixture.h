// A session holding a small data set for the plot tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "convert/channel_range.h"
#include "core/session.h"
#include "frame/plot_model.h"
#include "test_session.h"

namespace kts::test {

class PlotFixture : public ::testing::Test {
 protected:
  TestSession t;
  Session& s = t.s;

  // Channels of the given type letters, n samples each, value(c, i).
  void load(const std::string& types, int n, const std::function<float(int, int)>& value) {
    DataSet& d = s.data;
    d.measuredChannels = d.totalChannels = static_cast<int>(types.size());
    d.sampleCount = n;
    d.stride = n + 2;
    d.stampCount = 0;
    d.startTime = MakeTime(2024, 3, 5, 12, 0, 0);
    d.samplePeriod = MakePeriod(0, 1, 0);
    for (int c = 0; c < d.totalChannels; ++c) {
      d.types[static_cast<size_t>(c)] = static_cast<uint8_t>(types[static_cast<size_t>(c)]);
      ChannelRange range;
      for (int i = 0; i < n; ++i) {
        d.row(c)[i] = value(c, i);
        range.add(d.row(c)[i]);
      }
      range.store(d.row(c), n);
    }
  }
  void addStamp(int sample, int type, uint32_t gainMask = 0, int gain = 0) {
    StampEntry& e = s.data.stamps[static_cast<size_t>(s.data.stampCount++)];
    e = StampEntry{};
    e.sampleIndex = sample;
    e.type = type;
    e.gainMask = gainMask;
    for (int c = 0; c < kMaxChannels; ++c)
      if (gainMask & (1u << c)) e.gains[static_cast<size_t>(c)] = gain;
    e.time = MakeTime(2024, 3, 6, 0, 0, 0);
  }
  // Loads and shows: P = 803, so 80 divisions.
  void show(const std::string& types, int n, const std::function<float(int, int)>& value) {
    s.plot.plotWidth = 803;
    load(types, n, value);
    ASSERT_EQ(StartDisplay(s), DisplayStart::Shown);
  }
};

}  // namespace kts::test
