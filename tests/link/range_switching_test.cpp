#include "link/range_switching.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "link/range_switching_dialog.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

constexpr uint8_t Range(int mode, int gain, int bits = 0) {
  return static_cast<uint8_t>(mode | gain << 3 | bits << 5);
}

LoggerDescription Channels(const std::string& letters) {
  LoggerDescription d;
  d.channelCount = static_cast<int>(letters.size());
  for (size_t c = 0; c < letters.size(); ++c) d.channelTypes[c] = static_cast<uint8_t>(letters[c]);
  d.configuredReadingTimeMs = d.readingTimeMs = 300;
  return d;
}

TEST(RangeInterpretation, TypesAndReadingTimes) {
  LoggerDescription d = Channels("YFTYI");
  d.rangeSwitching[1] = Range(6, 0);  // autoranging turbidity: 'y', 0 + 400 ms
  d.rangeSwitching[2] = Range(5, 0);  // autoranging fluorometer: 'f', 460 + 400 ms
  d.rangeSwitching[3] = Range(7, 3);  // no range switching
  d.rangeSwitching[4] = Range(0, 1);  // fixed gain: 200 ms
  d.rangeSwitching[5] = Range(0, 3);  // no gain setting: not switching, 200 ms
  InterpretRangeSwitching(d);
  EXPECT_EQ(std::string(d.channelTypes.begin(), d.channelTypes.begin() + 5), "yfTYI");
  EXPECT_EQ(d.channelReadingTimeMs[0], 400);
  EXPECT_EQ(d.channelReadingTimeMs[1], 860);
  EXPECT_EQ(d.channelReadingTimeMs[2], 0);
  EXPECT_EQ(d.channelReadingTimeMs[3], 200);
  EXPECT_EQ(d.channelReadingTimeMs[4], 200);
  EXPECT_TRUE(d.hasRangeSwitching);
  EXPECT_EQ(d.readingTimeMs, 860);
  EXPECT_EQ(d.rangeSwitching[0], 2);  // the slowest channel, from 1

  // A letter outside the sensor table takes the last row's time; a later,
  // slower channel takes byte 0.
  d.rangeSwitching[3] = Range(0, 0);
  InterpretRangeSwitching(d);
  EXPECT_EQ(d.channelReadingTimeMs[2], 1260);
  EXPECT_EQ(d.readingTimeMs, 1260);
  EXPECT_EQ(d.rangeSwitching[0], 3);

  // Without range switching the configured reading time stands.
  LoggerDescription plain = Channels("TP");
  plain.rangeSwitching[0] = 9;
  InterpretRangeSwitching(plain);
  EXPECT_FALSE(plain.hasRangeSwitching);
  EXPECT_EQ(plain.readingTimeMs, 300);
  EXPECT_EQ(plain.rangeSwitching[0], 1);

  EXPECT_EQ(ChannelReadingTimeMs('Y', 0), 1260);
  EXPECT_STREQ(SensorTableRow(10).name, "PAR - Licor");
}

LoggerScript RangeLogger() {
  LoggerScript script;
  script.identity = "KTS HLV-4070 6.51 004070";
  std::vector<uint8_t> caps(25, 0xFF), ranges(25, 0xFF);
  caps[0] = ranges[0] = 1;
  script.tables["R0400"] = caps;
  script.tables["R0500"] = ranges;
  return script;
}

TEST(RangeSwitchingTables, ReadFailuresKeepTheDefaults) {
  LoggerScript script = RangeLogger();
  script.tables["R0400"][1] = 0;
  script.corruptTables = {"R0500"};
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_TRUE(rig.t.openLogger(rig.peer.path()));
  s.description = Channels("Y");
  EXPECT_FALSE(ReadRangeSwitching(s));
  EXPECT_EQ(s.description.extendedChannelCaps[1], 0);  // table 04 was read
  EXPECT_EQ(s.description.rangeSwitching, LoggerDescription::DefaultRangeTable());
  EXPECT_EQ(rig.t.ui.lastStatus(), "Range switching behaviour retrieve error");
}

TEST(RangeSwitchingTables, WritesBothTablesAndReadsThemBack) {
  LinkRig rig(RangeLogger());
  Session& s = rig.s();
  s.description = Channels("YF");
  EXPECT_EQ(WriteRangeSwitching(s), 2);  // no range switching flag: nothing sent
  rig.peer.settled();
  EXPECT_TRUE(rig.logger.commands().empty());

  s.description.configFlags = kConfigRangeSwitching;
  s.description.rangeSwitching[1] = Range(6, 1, 5);
  s.description.rangeSwitching[2] = Range(5, 0, 7);
  ASSERT_EQ(WriteRangeSwitching(s), 1);
  EXPECT_EQ(rig.logger.commands(),
            (std::vector<std::string>{"A", "S04001A", "R0400", "S05001A", "R0500"}));
  const std::vector<uint8_t> stored = rig.logger.table("R0500");
  ASSERT_EQ(stored.size(), 25u);
  EXPECT_EQ(stored[0], 2);  // the slowest channel went with the gains
  EXPECT_EQ(stored[1], Range(6, 1, 5));
  EXPECT_TRUE(rig.t.ui.sawStatus("Extended channel capabilities write success"));
  EXPECT_TRUE(rig.t.ui.sawStatus("Range switching behaviour write success"));
  EXPECT_EQ(rig.t.ui.lastStatus(),
            "Range switching behaviour and Extended channel capabilities write success");
  EXPECT_EQ(s.description.channelTypes[0], 'y');
}

TEST(RangeSwitchingTables, AReadBackThatDiffersIsAnError) {
  LoggerScript script = RangeLogger();
  script.garbledWrites = {"S0500"};
  LinkRig rig(script);
  Session& s = rig.s();
  s.description = Channels("Y");
  s.description.configFlags = kConfigRangeSwitching;
  EXPECT_EQ(WriteRangeSwitching(s), 0);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Range switching behaviour compare error");
}

// Four channels: turbidity autoranging, fluorometer at fixed gain 2 on its
// third range, a thermistor that cannot switch, a UV fluorometer at gain 1.
LoggerDescription DialogChannels() {
  LoggerDescription d = Channels("YFTI");
  d.extendedChannelCaps.fill(0);
  d.extendedChannelCaps[3] = 0x02;
  d.rangeSwitching[1] = Range(6, 0, 7);
  d.rangeSwitching[2] = Range(0, 2, 6);
  d.rangeSwitching[3] = Range(0, 0);
  d.rangeSwitching[4] = Range(0, 1, 4);
  return d;
}

TEST(RangeSwitchingDialog, RowsShowTheChannelsThatCanSwitch) {
  LoggerDescription d = DialogChannels();
  RangeSwitchingDialog dialog(d);
  ASSERT_EQ(dialog.listedCount(), 3);
  EXPECT_TRUE(dialog.hasScrollBar());
  EXPECT_FALSE(dialog.oneRow());
  EXPECT_EQ(dialog.shownRows(), (std::vector<int>{0, 1}));

  const RangeRowView turbidity = dialog.row(0);
  EXPECT_EQ(turbidity.channel, 0);
  EXPECT_EQ(turbidity.label, "1 - Turbidity\t");
  EXPECT_STREQ(turbidity.ranges[3], "2500FTU");
  EXPECT_TRUE(turbidity.autoRanging);
  EXPECT_FALSE(turbidity.rangeListEnabled);

  const RangeRowView fluorometer = dialog.row(1);
  EXPECT_FALSE(fluorometer.autoRanging);
  EXPECT_TRUE(fluorometer.rangeListEnabled);
  EXPECT_FALSE(fluorometer.autoRangingAvailable);  // gain setting 2
  EXPECT_EQ(fluorometer.selectedRange, 2);
  EXPECT_STREQ(fluorometer.ranges[0], "5ug/l");

  const RangeRowView uv = dialog.row(2);
  EXPECT_EQ(uv.channel, 3);
  EXPECT_EQ(uv.label, "4 - Fluorometry-UV\t");
  EXPECT_TRUE(uv.autoRangingAvailable);
  EXPECT_STREQ(uv.ranges[1], "15QSU");

  dialog.scrollTo(3);
  EXPECT_EQ(dialog.shownRows(), (std::vector<int>{2}));
  dialog.scrollTo(99);
  EXPECT_EQ(dialog.scrollPosition(), 3);

  LoggerDescription one = DialogChannels();
  one.channelCount = 1;
  EXPECT_TRUE(RangeSwitchingDialog(one).oneRow());
  LoggerDescription none = DialogChannels();
  none.channelCount = 3;
  none.rangeSwitching[1] = none.rangeSwitching[2] = Range(0, 3);
  EXPECT_TRUE(RangeSwitchingDialog(none).empty());
}

TEST(RangeSwitchingDialog, ChoicesGoIntoTheTableAndCancelPutsItBack) {
  LoggerDescription d = DialogChannels();
  const auto before = d.rangeSwitching;
  RangeSwitchingDialog dialog(d);
  EXPECT_FALSE(dialog.okEnabled());

  // Fixed gain on the turbidity channel keeps its range entry (3): bits 7.
  ASSERT_TRUE(dialog.chooseFixedGain(0));
  EXPECT_EQ(d.rangeSwitching[1], Range(6, 1, 7));
  EXPECT_TRUE(dialog.okEnabled());
  ASSERT_TRUE(dialog.selectRange(0, 1));
  EXPECT_EQ(d.rangeSwitching[1], Range(6, 1, 5));
  EXPECT_EQ(dialog.row(0).selectedRange, 1);

  // Gain 2 cannot autorange, and keeps its gain when fixed again.
  EXPECT_FALSE(dialog.chooseAutoRanging(1));
  ASSERT_TRUE(dialog.chooseFixedGain(1));
  EXPECT_EQ(d.rangeSwitching[2], Range(0, 2, 6));

  ASSERT_TRUE(dialog.chooseAutoRanging(2));
  EXPECT_EQ(d.rangeSwitching[4], Range(0, 0, 7));
  EXPECT_FALSE(dialog.selectRange(2, 0));  // the list is off while auto-ranging
  EXPECT_FALSE(dialog.selectRange(0, 4));
  EXPECT_FALSE(dialog.chooseFixedGain(3));

  EXPECT_EQ(dialog.cancel(), -1);
  EXPECT_EQ(d.rangeSwitching, before);
}

}  // namespace
}  // namespace kts
