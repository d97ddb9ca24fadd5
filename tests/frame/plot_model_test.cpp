#include "frame/plot_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "frame/plot_geometry.h"
#include "frame/xy_channel_dialog.h"
#include "plot_fixture.h"

namespace kts::test {
namespace {

float Ramp(int, int i) {
  return static_cast<float>(i % 100);
}

using PlotModelTest = PlotFixture;

TEST_F(PlotModelTest, OneSampleDataSetShowsOnePointAndEveryOperationStaysFinite) {
  show("TP", 1, [](int c, int) { return c == 0 ? 12.5f : 3.0f; });
  EXPECT_EQ(s.plot.readingsPerDivision, 0.0f);
  EXPECT_EQ(s.plot.pixelsPerReading, 0.0f);
  EXPECT_EQ(SampleX(s.plot, 0), 0);
  EXPECT_FALSE(ZoomIn(s));
  EXPECT_FALSE(ZoomOut(s));
  // Equal minimum and maximum: the range is widened upwards (not divided by
  // zero), so the constant sits on the bottom line.
  EXPECT_NEAR(MakeValueMap(s.plot, 0).map(12.5f), kPlotCentreY + 100, 1);
  SetCursorAt(s, 400);
  EXPECT_EQ(s.plot.cursorSample, 0);
  EXPECT_FLOAT_EQ(CursorValue(s), 12.5f);
  EXPECT_TRUE(ZoomToBox(s, 100, 50, 300, 150));
  ScaleStep(s, true);
  ScaleStep(s, false);
  for (int g : {0, 1})
    EXPECT_TRUE(std::isfinite(s.plot.unitsPerDivision[static_cast<size_t>(g)]) &&
                s.plot.unitsPerDivision[static_cast<size_t>(g)] > 0.0f);
}

TEST_F(PlotModelTest, ResetFitsTheWholeDataSetAcrossTheDivisions) {
  show("T", 8001, Ramp);
  EXPECT_EQ(Divisions(s.plot), 80);
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 100.0f);
  EXPECT_FLOAT_EQ(s.plot.pixelsPerReading, 0.1f);
  EXPECT_EQ(SampleX(s.plot, 8000), 800);
  EXPECT_EQ(s.plot.maxScroll, 0);
}

TEST_F(PlotModelTest, ZoomStepsThroughOneThreeTenAndStopsAtItsLimits) {
  show("T", 8001, Ramp);
  std::vector<float> seen;
  while (ZoomIn(s)) seen.push_back(s.plot.readingsPerDivision);
  EXPECT_EQ(seen, (std::vector<float>{30, 10, 3, 1}));
  EXPECT_FALSE(ZoomIn(s));  // 1 reading per division is the limit
  seen.clear();
  s.plot.scrollOffset = 500;
  while (ZoomOut(s)) seen.push_back(s.plot.readingsPerDivision);
  EXPECT_EQ(seen, (std::vector<float>{3, 10, 30, 100}));
  EXPECT_EQ(s.plot.scrollOffset, 0);  // at the whole data set
  // A leading digit of 4 or more: out to ten times the power, in to three.
  SetReadingsPerDivision(s.plot, 4.0f);
  ASSERT_TRUE(ZoomOut(s));
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 10.0f);
  SetReadingsPerDivision(s.plot, 40.0f);
  ASSERT_TRUE(ZoomIn(s));
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 30.0f);
  // The cap is the whole data set, not the next step.
  SetReadingsPerDivision(s.plot, 40.0f);
  ASSERT_TRUE(ZoomOut(s));
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 100.0f);
}

TEST_F(PlotModelTest, ZoomKeepsTheRightEdgeInsideTheDataAndCentresTheCursor) {
  show("T", 8001, Ramp);
  ZoomIn(s);
  ZoomIn(s);  // 10 per division: 800 samples on screen
  ASSERT_TRUE(ScrollHorizontal(s, ScrollAction::End));
  EXPECT_EQ(s.plot.scrollOffset, 8000 - 800);
  ZoomOut(s);  // 30 per division: 2400 on screen
  EXPECT_EQ(s.plot.scrollOffset, 8000 - 2400);

  SetReadingsPerDivision(s.plot, 10.0f);
  s.plot.scrollOffset = 3000;
  SetCursorAt(s, 400);
  EXPECT_EQ(s.plot.cursorSample, 3400);
  ZoomIn(s);  // 3 per division: 240 on screen, centred on the cursor
  EXPECT_EQ(s.plot.scrollOffset, 3400 - 120);
  EXPECT_EQ(s.plot.cursorX, SampleX(s.plot, 3400));
  // Near the start the view cannot centre: the cursor moves instead.
  SetReadingsPerDivision(s.plot, 10.0f);
  s.plot.scrollOffset = 0;
  SetCursorAt(s, 50);
  ZoomIn(s);
  EXPECT_EQ(s.plot.scrollOffset, 0);
  EXPECT_EQ(s.plot.cursorX, SampleX(s.plot, 50));
}

TEST_F(PlotModelTest, ValuesFarOutsideTheRangeClampToThousandPixels) {
  show("TA", 100, [](int, int i) { return static_cast<float>(i); });
  const ValueMap temperature = MakeValueMap(s.plot, 0);
  EXPECT_EQ(temperature.map(1e30f), -kYClamp);
  EXPECT_EQ(temperature.map(-1e30f), kYClamp);
  EXPECT_NEAR(temperature.map(99.0f), kPlotCentreY - 100, 1);  // the range fills 200 pixels
  EXPECT_NEAR(temperature.map(0.0f), kPlotCentreY + 100, 1);
  // Depth grows downwards.
  const ValueMap depth = MakeValueMap(s.plot, kDepthGroup);
  EXPECT_GT(depth.map(99.0f), depth.map(0.0f));
  EXPECT_EQ(depth.map(1e30f), kYClamp);
  EXPECT_NEAR(depth.valueAt(depth.map(80.0f)), 80.0, 0.5);
}

TEST_F(PlotModelTest, ScaleStepsFollowOneTwoFiveAndKeepAFloor) {
  show("T", 100, [](int, int i) { return static_cast<float>(i) * 0.2f; });
  s.plot.unitsPerDivision[0] = 1.0f;
  ScaleStep(s, false);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 2.0f);
  ScaleStep(s, false);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 5.0f);
  ScaleStep(s, false);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 10.0f);
  ScaleStep(s, false);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 20.0f);
  s.plot.unitsPerDivision[0] = 0.2f;  // held as 0.2000000003 in float
  ScaleStep(s, true);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 0.1f);
  ScaleStep(s, true);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 0.05f);
  s.plot.unitsPerDivision[0] = 0.00012f;
  ScaleStep(s, true);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 0.0001f);
  ScaleStep(s, true);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 0.0001f);
  // The vertical range follows the scale: (max − min) / (2 u) divisions.
  s.plot.unitsPerDivision[0] = 1.0f;
  ScaleStep(s, false);
  EXPECT_EQ(s.plot.verticalRange, static_cast<int>(19.8 / 4.0));
  // "R" fills 20 divisions again.
  RescaleCurrentGroup(s);
  EXPECT_NEAR(s.plot.unitsPerDivision[0], 19.8f / 20.0f, 1e-5);
  EXPECT_EQ(s.plot.verticalOffset, 0);
}

TEST_F(PlotModelTest, ChannelButtonsShiftClickAndTheUpDownControl) {
  show("TPC", 50, Ramp);
  EXPECT_EQ(s.plot.channelMask, 0b111u);
  RunPlotCommand(s, kCmdFirstChannelButton + 1, false);
  EXPECT_EQ(s.plot.channelMask, 0b010u);
  EXPECT_EQ(s.plot.currentChannelBit, 0b010u);
  EXPECT_EQ(s.plot.currentGroup, 1);
  // Shift-click on a plotted channel keeps it plotted; on another adds it.
  RunPlotCommand(s, kCmdFirstChannelButton + 1, true);
  EXPECT_EQ(s.plot.channelMask, 0b010u);
  RunPlotCommand(s, kCmdFirstChannelButton + 2, true);
  EXPECT_EQ(s.plot.channelMask, 0b110u);
  EXPECT_EQ(s.plot.currentChannelBit, 0b010u);
  // The up-down control walks the plotted channels and wraps.
  StepCurrentChannel(s, true);
  EXPECT_EQ(s.plot.currentChannelBit, 0b100u);
  EXPECT_EQ(s.plot.currentGroup, 2);
  StepCurrentChannel(s, true);
  EXPECT_EQ(s.plot.currentChannelBit, 0b010u);
  StepCurrentChannel(s, false);
  EXPECT_EQ(s.plot.currentChannelBit, 0b100u);
  // A plain click makes a plotted channel the only trace; with one channel
  // the up-down control keeps it.
  RunPlotCommand(s, kCmdFirstChannelButton + 2, false);
  EXPECT_EQ(s.plot.channelMask, 0b100u);
  StepCurrentChannel(s, true);
  StepCurrentChannel(s, false);
  EXPECT_EQ(s.plot.currentChannelBit, 0b100u);
  // Buttons beyond the data set do nothing; "ALL" brings every channel back.
  RunPlotCommand(s, kCmdFirstChannelButton + 20, false);
  EXPECT_EQ(s.plot.channelMask, 0b100u);
  RunPlotCommand(s, kCmdAllChannels);
  EXPECT_EQ(s.plot.channelMask, 0b111u);
  EXPECT_EQ(s.plot.currentChannelBit, 0b001u);
}

TEST_F(PlotModelTest, ZoomBoxRescalesTheGroupsOfThePlottedChannels) {
  // Temperature (group 0) and conductivity (group 2): the box must shrink
  // group 2, not group 1 (pressure, not on display).
  show("TC", 6401,
       [](int c, int i) { return c == 0 ? static_cast<float>(i % 40) : 30.0f + i % 20; });
  const float u0 = s.plot.unitsPerDivision[0];
  const float u1 = s.plot.unitsPerDivision[1];
  const float u2 = s.plot.unitsPerDivision[2];
  SetCursorAt(s, 10);
  ASSERT_TRUE(ZoomToBox(s, 400, 75, 200, 175));  // corners in any order
  EXPECT_FALSE(s.plot.cursorActive);
  EXPECT_EQ(s.plot.scrollOffset, 1600);  // 0.125 pixels per reading
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 1600.0f * 10 / 803);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], u0 * 0.5f);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[2], u2 * 0.5f);
  EXPECT_EQ(s.plot.unitsPerDivision[1], u1);
  EXPECT_EQ(s.plot.verticalOffset, 0);  // the box was centred on the centre line

  // A box narrower than one reading per division is centred, and an empty
  // box does nothing.
  ASSERT_TRUE(ZoomToBox(s, 100, 10, 102, 60));
  EXPECT_FLOAT_EQ(s.plot.readingsPerDivision, 1.0f);
  EXPECT_FALSE(ZoomToBox(s, 50, 10, 50, 60));
  // The scale never drops below its floor however often one zooms.
  for (int k = 0; k < 40; ++k) ZoomToBox(s, 0, 100, 400, 101);
  EXPECT_GE(s.plot.unitsPerDivision[0], 0.00005f);
  for (int x = -10; x < 900; x += 7) SampleAtX(s.plot, x);  // no division by zero
}

TEST_F(PlotModelTest, ScrollingIsClampedToTheData) {
  show("T", 8001, Ramp);
  ZoomIn(s);
  ZoomIn(s);  // 800 samples on screen
  const ScrollRanges r = SetScrollRanges(s);
  EXPECT_EQ(r.horizontalMax, 7999);
  EXPECT_EQ(r.horizontalPage, 800);
  EXPECT_EQ(s.plot.maxScroll, 8000 - 800);
  EXPECT_FALSE(ScrollHorizontal(s, ScrollAction::LineUp));
  EXPECT_TRUE(ScrollHorizontal(s, ScrollAction::PageDown));
  EXPECT_EQ(s.plot.scrollOffset, 100);
  EXPECT_TRUE(ScrollHorizontal(s, ScrollAction::Thumb, 1'000'000));
  EXPECT_EQ(s.plot.scrollOffset, s.plot.maxScroll);
  s.plot.verticalRange = 15;
  EXPECT_TRUE(ScrollVertical(s, ScrollAction::PageDown));
  EXPECT_TRUE(ScrollVertical(s, ScrollAction::PageDown));
  EXPECT_EQ(s.plot.verticalOffset, 15);
  EXPECT_TRUE(ScrollVertical(s, ScrollAction::Thumb, -400));
  EXPECT_EQ(s.plot.verticalOffset, -15);
}

TEST_F(PlotModelTest, RealTimeLimitsOfZeroStillGiveAUsableScale) {
  show("TJX", 10, Ramp);
  s.settings.limits[0] = {35, -5};
  s.settings.limits[4] = {0, 0};
  ApplyRealTimeLimits(s);
  EXPECT_FLOAT_EQ(s.plot.groupMax[0], 35.0f);
  EXPECT_FLOAT_EQ(s.plot.groupMin[0], -5.0f);
  EXPECT_FLOAT_EQ(s.plot.unitsPerDivision[0], 2.0f);
  EXPECT_FLOAT_EQ(s.data.row(0)[10], -5.0f);
  EXPECT_FLOAT_EQ(s.data.row(0)[11], 35.0f);
  for (int g : {4, 19}) {  // limits 0/0, and a group the limits table has no line for
    EXPECT_GT(s.plot.groupMax[static_cast<size_t>(g)], s.plot.groupMin[static_cast<size_t>(g)]);
    EXPECT_GT(s.plot.unitsPerDivision[static_cast<size_t>(g)], 0.0f);
  }
  s.plot.rawView = true;
  ApplyRealTimeLimits(s);
  EXPECT_FLOAT_EQ(s.plot.groupMax[0], 1.0f);
  EXPECT_FLOAT_EQ(s.plot.groupMin[0], 0.0f);
}

TEST_F(PlotModelTest, StartDisplayOfStampsOnlyExplainsWhy) {
  load("T", 0, Ramp);
  EXPECT_EQ(StartDisplay(s), DisplayStart::NothingToShow);
  EXPECT_TRUE(t.ui.messages.empty());
  addStamp(0, kStampTime);
  EXPECT_EQ(StartDisplay(s), DisplayStart::OnlyStamps);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text,
            "There are no data to display.\nAll the reported readings were imbedded timestamps.");
  EXPECT_EQ(t.ui.messages[0].caption, "Display");
  EXPECT_FALSE(s.plot.displayPresent);
  // A row layout that does not fit the store is shown as no data at all.
  load("T", 10, Ramp);
  s.data.stride = 3;
  EXPECT_EQ(StartDisplay(s), DisplayStart::NothingToShow);
}

TEST_F(PlotModelTest, XyChannelChoiceStaysWithinTheChannels) {
  XyChannelDialog dialog(3);
  EXPECT_EQ(dialog.channel, 1);
  dialog.stepDown();
  EXPECT_EQ(dialog.channel, 1);
  dialog.stepUp();
  dialog.stepUp();
  dialog.stepUp();
  EXPECT_EQ(dialog.channel, 3);
  EXPECT_EQ(dialog.chosenChannel(), 2);
  EXPECT_FALSE(dialog.setText("two"));
  EXPECT_EQ(dialog.channel, 3);
  EXPECT_TRUE(dialog.setText(" 7 "));
  EXPECT_EQ(dialog.chosenChannel(), 0);  // above the channel count: channel 1
  EXPECT_TRUE(dialog.setText("-2"));
  EXPECT_EQ(dialog.chosenChannel(), 0);

  show("TPC", 20, Ramp);
  RunPlotCommand(s, kCmdFirstChannelButton + 1, false);
  EXPECT_FALSE(ToggleXyPlot(s, nullptr));  // cancelled
  EXPECT_FALSE(s.app.xyPlotMode);
  ASSERT_TRUE(dialog.setText("2"));
  ASSERT_TRUE(ToggleXyPlot(s, &dialog));
  EXPECT_TRUE(s.app.xyPlotMode);
  EXPECT_EQ(s.plot.xChannel, 1);
  EXPECT_EQ(s.plot.channelMask, 0b111u);
  ASSERT_TRUE(ToggleXyPlot(s, nullptr));
  EXPECT_FALSE(s.app.xyPlotMode);
}

}  // namespace
}  // namespace kts::test
