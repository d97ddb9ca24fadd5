#include "frame/plot_labels.h"

#include <gtest/gtest.h>

#include <string>

#include "plot_fixture.h"

namespace kts::test {
namespace {

using PlotLabelsTest = PlotFixture;

std::string At(const AxisLabels& labels, int x, int y) {
  for (int k = 0; k < labels.count; ++k) {
    const PlotLabel& l = labels.items[static_cast<size_t>(k)];
    if (l.x == x && l.y == y) return l.text;
  }
  return "<none>";
}

TEST_F(PlotLabelsTest, TimeAxisShowsTheVisibleSpanFromTheStamps) {
  show("TP", 8001, [](int c, int i) { return static_cast<float>(c + i % 7); });
  AxisLabels labels = TimeAxisLabels(s);
  EXPECT_EQ(At(labels, 160, 310), "2024/Mar/05");
  EXPECT_EQ(At(labels, 160, 330), "12:00:00");
  EXPECT_EQ(At(labels, 963, 310), "2024/Mar/11");  // 8000 minutes later
  EXPECT_EQ(At(labels, 963, 330), "01:20:00");
  EXPECT_EQ(At(labels, 160, 290), "0  ");
  EXPECT_EQ(At(labels, 963, 290), "  8000");
  EXPECT_EQ(At(labels, 561, 290), "    100.00 readings per division    ");
  EXPECT_EQ(At(labels, 561, 310), "01:40:00 per division");

  // A time stamp restarts the count; a range change does not.
  addStamp(4000, kStampTime);
  addStamp(6000, kStampGain, 0b1, 1);
  labels = TimeAxisLabels(s);
  EXPECT_EQ(At(labels, 963, 310), "2024/Mar/08");  // Mar 6 00:00 + 4000 minutes
  EXPECT_EQ(At(labels, 963, 330), "18:40:00");

  s.data.samplingMode = kProfilingMode;
  s.plot.scrollOffset = -12;  // a centred zoom box
  labels = TimeAxisLabels(s);
  EXPECT_EQ(At(labels, 561, 310), "1/6 second per reading");
  EXPECT_EQ(At(labels, 160, 290), "  ");

  s.app.xyPlotMode = true;
  s.plot.xChannel = 1;
  labels = TimeAxisLabels(s);
  EXPECT_EQ(At(labels, 160, 310), "1.0000   ");
  EXPECT_EQ(At(labels, 963, 310), "7.0000   ");
  EXPECT_EQ(At(labels, 561, 290), "<none>");
}

TEST_F(PlotLabelsTest, ValueAxisAndCursorReadout) {
  show("AyT", 101, [](int c, int i) { return c == 2 ? 5.0f : static_cast<float>(i); });
  AxisLabels labels = ValueAxisLabels(s);
  EXPECT_EQ(At(labels, 155, kReadoutY), "Channel  1");
  // Depth: the largest value at the bottom.
  EXPECT_EQ(At(labels, 135, 35), "     0.0000");
  EXPECT_EQ(At(labels, 135, 135), "    50.0000");
  EXPECT_EQ(At(labels, 135, 235), "   100.0000");
  EXPECT_EQ(At(labels, 120, 75), "   5.0000/div");
  EXPECT_EQ(At(labels, 110, 270), "Depth m");

  SelectChannel(s, 1, false);
  addStamp(30, kStampGain, 0b010, 2);
  addStamp(80, kStampGain, 0b100, 0);  // another channel's change
  s.plot.readingsPerDivision = 1.0f;
  s.plot.pixelsPerReading = 10.0f;
  SetCursorAt(s, 500);
  EXPECT_EQ(CursorReadout(s), "2024/Mar/05 12:50:00   50.0000 (125FTU)");
  s.plot.statisticsMode = true;
  SetCursorAt(s, 200);
  EXPECT_EQ(CursorReadout(s), "2024/Mar/05 12:20:00   20.0000000");  // before the change
  ClearCursor(s);
  EXPECT_EQ(CursorReadout(s), "");
}

TEST_F(PlotLabelsTest, UnitsLabelsByGroupAndModel) {
  show("T", 3, [](int, int i) { return static_cast<float>(i); });
  s.data.context.identity.model = "QZ-740";
  s.data.context.description.conductivityMicroSiemens = true;
  EXPECT_EQ(UnitsLabel(s, 2), "uS/cm");
  EXPECT_EQ(UnitsLabel(s, 7), "\xB5Mol.m-2.s-1");
  EXPECT_EQ(UnitsLabel(s, 22), "Unknown");
  s.settings.derived.oxygenUnit = OxygenUnit::MicroMolPerL;
  s.settings.derived.optodeUnit = OxygenUnit::MgPerL;
  EXPECT_EQ(UnitsLabel(s, 19), "\xB5Mol/l");
  EXPECT_EQ(UnitsLabel(s, 20), "mg/l");
  s.data.context.identity.model = "YP-930";
  EXPECT_EQ(UnitsLabel(s, 2), "volt ratio");
  s.data.context.identity.model = "HLV-4070";
  EXPECT_EQ(UnitsLabel(s, 6), "deciBars");
  EXPECT_EQ(UnitsLabel(s, 0), "degrees C");
  s.data.context.identity.model = "HV-3070";
  EXPECT_EQ(UnitsLabel(s, 1), "degrees C");
}

TEST_F(PlotLabelsTest, ButtonsAndControlsFollowTheData) {
  show("T", 10, [](int, int i) { return static_cast<float>(i); });
  PlotControls c = PlotControlsOf(s);
  EXPECT_FALSE(c.allButton);
  EXPECT_FALSE(ChannelButtonFaceOf(s, 0).visible);  // one channel: no buttons
  EXPECT_TRUE(c.scaleButtons);
  EXPECT_FALSE(c.upDown);

  show("TTPPPPPPPPPPP", 10, [](int, int i) { return static_cast<float>(i); });
  c = PlotControlsOf(s);
  EXPECT_TRUE(c.allButton);
  EXPECT_EQ(c.allHeight, 48);
  EXPECT_FALSE(c.scaleButtons);  // two groups plotted
  EXPECT_TRUE(c.upDown);
  EXPECT_TRUE(c.zoomIn && c.zoomOut && c.reset);
  SelectChannel(s, 0, false);
  SelectChannel(s, 1, true);
  EXPECT_TRUE(PlotControlsOf(s).scaleButtons);  // one group

  const ChannelButtonFace nine = ChannelButtonFaceOf(s, 9);
  EXPECT_TRUE(nine.visible);
  EXPECT_EQ(nine.colour, 1);
  EXPECT_FALSE(nine.whiteText);
  EXPECT_EQ(nine.text, "P 10");
  EXPECT_TRUE(ChannelButtonFaceOf(s, 12).visible);
  EXPECT_FALSE(ChannelButtonFaceOf(s, 13).visible);
  EXPECT_TRUE(ChannelButtonFaceOf(s, 7).whiteText);

  s.app.xyPlotMode = true;
  c = PlotControlsOf(s);
  EXPECT_STREQ(c.xyCaption, "time Plot");
  EXPECT_FALSE(c.zoomIn || c.zoomOut || c.reset || c.scaleButtons);
}

}  // namespace
}  // namespace kts::test
