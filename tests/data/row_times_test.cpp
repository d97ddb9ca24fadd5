#include "data/row_times.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/time_format.h"

namespace kts {
namespace {

struct RowTimesTest : ::testing::Test {
  std::unique_ptr<DataSet> data = std::make_unique<DataSet>();
  void SetUp() override {
    data->startTime = MakeTime(2026, 3, 1, 12, 0, 0);
    data->samplePeriod = MakePeriod(0, 0, 10);
    data->sampleCount = 6;
  }
  std::string timeOf(RowTimes& r) { return FormatClock(r.next()).str(); }
};

TEST_F(RowTimesTest, StepByThePeriodFromTheStartTime) {
  RowTimes rows(*data);
  EXPECT_EQ(timeOf(rows), "12:00:00");
  EXPECT_EQ(timeOf(rows), "12:00:10");
  EXPECT_EQ(timeOf(rows), "12:00:20");
}

TEST_F(RowTimesTest, AStampRestartsTheTimesAndTheLaterOfTwoWins) {
  data->stampCount = 2;
  data->stamps[0].sampleIndex = 2;
  data->stamps[0].time = MakeTime(2026, 3, 1, 13, 0, 0);
  data->stamps[1].sampleIndex = 2;
  data->stamps[1].time = MakeTime(2026, 3, 1, 14, 0, 5);
  RowTimes rows(*data);
  timeOf(rows);
  EXPECT_EQ(timeOf(rows), "12:00:10");
  EXPECT_EQ(timeOf(rows), "14:00:05");
  EXPECT_EQ(timeOf(rows), "14:00:15");
}

TEST_F(RowTimesTest, SixHertzRowsSnapToWholeSeconds) {
  data->samplingMode = 64;
  RowTimes rows(*data);
  // Six rows share a second; the seventh starts the next (0.99999… snaps up).
  for (int i = 0; i < 6; ++i) EXPECT_EQ(timeOf(rows), "12:00:00") << i;
  EXPECT_EQ(timeOf(rows), "12:00:01");
}

TEST_F(RowTimesTest, ARangeStartsAtTheTimeOfItsFirstSample) {
  data->stampCount = 1;
  data->stamps[0].sampleIndex = 1;
  data->stamps[0].time = MakeTime(2026, 3, 1, 18, 0, 0);
  RowTimes rows(*data, 3);
  EXPECT_EQ(timeOf(rows), "18:00:20");
  EXPECT_EQ(timeOf(rows), "18:00:30");
}

}  // namespace
}  // namespace kts
