#include "frame/plot_columns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "frame/plot_geometry.h"
#include "plot_fixture.h"

namespace kts::test {
namespace {

using PlotColumnsTest = PlotFixture;

// The reference: every sample mapped on its own, grouped by column.
std::vector<ColumnSpan> NaiveColumns(const PlotView& v, const float* row, SampleWindow w,
                                     const ValueMap& map) {
  std::vector<ColumnSpan> out;
  for (int i = w.first; i <= w.last; ++i) {
    const int x = SampleX(v, i);
    const int y = map.map(row[i]);
    if (out.empty() || out.back().x != x) {
      out.push_back({x, y, y, y, y});
      continue;
    }
    ColumnSpan& c = out.back();
    c.lastY = y;
    c.minY = std::min(c.minY, y);
    c.maxY = std::max(c.maxY, y);
  }
  return out;
}

void ExpectSameColumns(const Session& s, TraceColumns& columns, int channel, int left, int right) {
  const SampleWindow w = SamplesForColumns(s, left, right);
  const ValueMap map = MakeValueMap(s.plot, ChannelGroup(s.data, channel));
  const std::vector<ColumnSpan> naive = NaiveColumns(s.plot, s.data.row(channel), w, map);
  ASSERT_EQ(columns.reduce(s.plot, s.data.row(channel), w, map), static_cast<int>(naive.size()));
  for (size_t k = 0; k < naive.size(); ++k) {
    const ColumnSpan& a = columns.spans()[k];
    const ColumnSpan& b = naive[k];
    ASSERT_TRUE(a.x == b.x && a.firstY == b.firstY && a.lastY == b.lastY && a.minY == b.minY &&
                a.maxY == b.maxY)
        << "column " << k << " at x " << b.x;
  }
}

TEST_F(PlotColumnsTest, ColumnSpansMatchEverySampleDrawnOnItsOwn) {
  std::mt19937 random(7);
  std::normal_distribution<float> step(0.0f, 0.3f);
  std::vector<float> walk(20'000);
  float value = 10.0f;
  for (size_t i = 0; i < walk.size(); ++i) {
    value += step(random);
    walk[i] = i % 997 == 5 ? -1000.0f : value;  // invalid readings are drawn as they are
  }
  show("TA", 20'000, [&](int c, int i) {
    return c == 0 ? walk[static_cast<size_t>(i)] : -walk[static_cast<size_t>(i)];
  });
  TraceColumns columns;
  for (int channel : {0, 1}) {
    SCOPED_TRACE(channel);
    ExpectSameColumns(s, columns, channel, 0, s.plot.plotWidth);  // the whole data set
    ExpectSameColumns(s, columns, channel, 120, 340);             // a damaged strip
    ZoomIn(s);
    s.plot.scrollOffset = 4321;
    ExpectSameColumns(s, columns, channel, 0, s.plot.plotWidth);
    for (float r : {0.3f, 1.37f, 7.3f, 33.3f, 249.9f}) {  // column edges that fall between samples
      SetReadingsPerDivision(s.plot, r);
      ExpectSameColumns(s, columns, channel, 0, s.plot.plotWidth);
    }
    s.plot.scrollOffset = -37;  // a narrow zoom box, centred
    ExpectSameColumns(s, columns, channel, 0, s.plot.plotWidth);
    s.plot.verticalOffset = 40;  // values pushed off the plot clamp to ±1000
    s.plot.unitsPerDivision[0] = s.plot.unitsPerDivision[12] = 0.0001f;
    ExpectSameColumns(s, columns, channel, 0, s.plot.plotWidth);
    ResetView(s);
    RescaleCurrentGroup(s);
  }
}

TEST_F(PlotColumnsTest, SampleWindowStaysInsideTheData) {
  show("T", 1, [](int, int) { return 4.0f; });
  SampleWindow w = SamplesForColumns(s, 0, s.plot.plotWidth);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 0);
  TraceColumns columns;
  ASSERT_EQ(columns.reduce(s.plot, s.data.row(0), w, MakeValueMap(s.plot, 0)), 1);
  EXPECT_EQ(columns.spans()[0].x, 0);  // the single reading is a point

  show("T", 500, [](int, int i) { return static_cast<float>(i); });
  s.plot.scrollOffset = -100;
  w = SamplesForColumns(s, 0, s.plot.plotWidth);
  EXPECT_EQ(w.first, 0);
  EXPECT_LE(w.last, 499);
  s.plot.scrollOffset = 600;  // beyond the end: nothing to draw
  w = SamplesForColumns(s, 0, s.plot.plotWidth);
  EXPECT_GT(w.first, w.last);
  s.data.sampleCount = 0;
  w = SamplesForColumns(s, 0, s.plot.plotWidth);
  EXPECT_GT(w.first, w.last);
}

TEST_F(PlotColumnsTest, StampMarksFollowTheStampType) {
  show("TyPCTTTTTT", 100, [](int, int i) { return static_cast<float>(i); });
  s.data.context.description.waves = true;
  s.settings.showRangeChanges = true;
  addStamp(10, kStampTime);
  addStamp(20, kStampBurst);
  addStamp(20, kStampTime);  // behind the burst mark: not drawn again
  addStamp(30, kStampRtc);
  addStamp(30, kStampTime);
  addStamp(40, kStampGain, 1u << 8, 1);  // channel 8: a range change, not a stamp line
  addStamp(50, kStampGain, 0b11, 2);
  addStamp(60, kStampGain, 1u << 1, 2);
  addStamp(60, kStampTime);
  addStamp(70, kStampRecovery);
  std::vector<StampMark> marks(32);
  auto kinds = [&](SampleWindow w) {
    const int n = CollectStampMarks(s, w, marks.data(), static_cast<int>(marks.size()));
    std::vector<MarkKind> out;
    for (int k = 0; k < n; ++k) out.push_back(marks[static_cast<size_t>(k)].kind);
    return out;
  };
  using K = MarkKind;
  EXPECT_EQ(kinds({0, 99}),
            (std::vector<K>{K::StampLine, K::BurstTick, K::ClockLine, K::ClockLine,
                            K::GainSingleTick, K::GainAllTick, K::GainSingleTick, K::ClockLine}));
  EXPECT_EQ(marks[0].x, SampleX(s.plot, 10));
  EXPECT_EQ(kinds({25, 45}), (std::vector<K>{K::ClockLine, K::ClockLine, K::GainSingleTick}));

  SelectChannel(s, 0, false);  // only some of the several-channel change plotted
  EXPECT_EQ(kinds({50, 50}), (std::vector<K>{K::GainSomeTick}));
  EXPECT_EQ(kinds({40, 40}), (std::vector<K>{}));  // channel 8 not plotted
  s.settings.showRangeChanges = false;
  s.data.context.description.waves = false;
  EXPECT_EQ(kinds({20, 60}), (std::vector<K>{K::ClockLine, K::ClockLine}));
  EXPECT_EQ(CollectStampMarks(s, {0, 99}, marks.data(), 1), 1);  // bounded by the buffer
}

}  // namespace
}  // namespace kts::test
