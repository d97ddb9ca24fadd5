#include "link/configuration.h"

#include <gtest/gtest.h>

#include "core/checksum.h"
#include "core/session.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/rs_advanced.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

// "R0100": count, latency / 10 ms, reading time / 100 ms, letter and address per channel.
std::vector<uint8_t> ConfigTable(const std::string& letters, int latency10 = 25,
                                 int reading100 = 3) {
  std::vector<uint8_t> t = {
      static_cast<uint8_t>(letters.size()), static_cast<uint8_t>(latency10 & 0xFF),
      static_cast<uint8_t>(latency10 >> 8), static_cast<uint8_t>(reading100 & 0xFF),
      static_cast<uint8_t>(reading100 >> 8)};
  for (size_t k = 0; k < letters.size(); ++k) {
    t.push_back(static_cast<uint8_t>(letters[k]));
    t.push_back(static_cast<uint8_t>(0x10 + k));
  }
  return t;
}

LoggerScript Extended(uint32_t configFlags = 0) {
  LoggerScript script;
  script.identity = "KTS HLV-4070 6.51 004070";
  script.words = {{0, 1u << 7}, {8, configFlags}};
  return script;
}

// Connects and reads the configuration; the capabilities come first.
int Read(LinkRig& rig) {
  if (!Connect(rig.s())) return -99;
  return CommGet(rig.s(), 16);
}

TEST(ReadConfiguration, TheExtendedTableGivesChannelsAndTiming) {
  LoggerScript script = Extended();
  script.tables["R0100"] = ConfigTable("TSP", 25, 3);
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_EQ(Read(rig), 1);
  const LoggerDescription& d = s.description;
  EXPECT_EQ(d.channelCount, 3);
  EXPECT_EQ(std::string(d.channelTypes.begin(), d.channelTypes.begin() + 3), "TCP");
  EXPECT_FALSE(d.conductivityMicroSiemens);  // listed as 'S': mS/cm
  EXPECT_EQ(d.frontEndAddress[2], 0x12);
  EXPECT_EQ(d.latencyMs, 250);
  EXPECT_EQ(d.readingTimeMs, 300);
  EXPECT_EQ(d.configTableLength, 12);
  EXPECT_EQ(d.rsAdvanced, kRsBinaryOutput);
  EXPECT_TRUE(rig.t.ui.sawStatus("Assessing the logger configuration"));
  EXPECT_FALSE(s.link.reread.configuration);
  // No range switching or RS advanced tables without their flags.
  EXPECT_EQ(rig.logger.count("R0400") + rig.logger.count("R0700"), 0);
  // Read once per logger.
  EXPECT_EQ(CommGet(s, 16), 1);
  EXPECT_EQ(rig.logger.count("R0100"), 1);
}

TEST(ReadConfiguration, AnUnusableExtendedTableMeansNotYetConfigured) {
  const std::vector<uint8_t> tooShort = {3, 25, 0, 3, 0, 'T', 1, 'P', 2};
  for (const auto& table : {ConfigTable(""), ConfigTable(std::string(25, 'T')), tooShort}) {
    LoggerScript script = Extended();
    script.tables["R0100"] = table;
    LinkRig rig(script);
    EXPECT_EQ(Read(rig), -1) << table.size();
    EXPECT_EQ(rig.t.ui.lastStatus(), "Logger not yet configured");
    EXPECT_EQ(rig.s().description.channelCount, 1);
    EXPECT_TRUE(rig.s().link.reread.configuration);
  }
  LoggerScript absent = Extended();
  absent.absentTables = {"R0100"};
  LinkRig noTable(absent);
  EXPECT_EQ(Read(noTable), -1);
  EXPECT_EQ(noTable.t.ui.lastStatus(), "Logger not yet configured");

  LoggerScript corrupt = Extended();
  corrupt.tables["R0100"] = ConfigTable("TP");
  corrupt.corruptTables = {"R0100"};
  LinkRig bad(corrupt);
  EXPECT_EQ(Read(bad), 0);
  EXPECT_EQ(bad.t.ui.lastStatus(), "GetConfigTable error");
}

TEST(ReadConfiguration, BasicLevelLoggersTakeTheirChannelsFromTheModel) {
  LinkRig pair(Extended(kConfigBasicRs));
  ASSERT_EQ(Read(pair), 1);
  EXPECT_EQ(pair.s().description.channelCount, 2);
  EXPECT_EQ(pair.s().description.channelTypes[0], 'T');
  EXPECT_EQ(pair.s().description.channelTypes[1], 'P');
  EXPECT_EQ(pair.logger.count("R0100"), 0);

  LoggerScript hv = Extended(kConfigBasicRs);
  hv.identity = "KTS HV-3070 5.10 003070";
  LinkRig single(hv);
  ASSERT_EQ(Read(single), 1);
  EXPECT_EQ(single.s().description.channelCount, 1);
  EXPECT_EQ(single.s().description.channelTypes[0], 'T');
}

// The memory copy of older QZ loggers: 54 bytes, their sum, then the
// memory read's own check byte.
std::vector<uint8_t> OlderTable(int count, const std::string& letters) {
  std::vector<uint8_t> t(55, 0);
  t[53] = static_cast<uint8_t>(count);
  t[51] = 30;  // latency 300 ms
  t[49] = 4;   // reading time 400 ms
  for (size_t k = 0; k < letters.size(); ++k) t[47 - 2 * k] = static_cast<uint8_t>(letters[k]);
  t[54] = ByteSum(t.data(), 54);
  t.push_back(ByteSum(t.data(), 55));
  return t;
}

TEST(ReadConfiguration, OlderQzLoggersReadTheMemoryCopy) {
  LoggerScript script;
  script.identity = "KTS QZ-740 4.00 000740";
  script.memoryTable = OlderTable(2, "TS");
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_EQ(Read(rig), 1);
  EXPECT_EQ(s.description.channelCount, 2);
  EXPECT_EQ(s.description.channelTypes[0], 'T');
  EXPECT_EQ(s.description.channelTypes[1], 'C');
  EXPECT_EQ(s.description.latencyMs, 300);
  EXPECT_EQ(s.description.readingTimeMs, 400);
  EXPECT_EQ(s.description.configTableLength, 55);
  EXPECT_EQ(rig.logger.count("R0100"), 0);
}

TEST(ReadConfiguration, AnOlderTableCountingThirtyChannelsMeansOne) {
  LoggerScript script;
  script.identity = "KTS QZ-740 4.00 000740";
  script.memoryTable = OlderTable(30, "T");
  LinkRig rig(script);
  ASSERT_EQ(Read(rig), 1);
  EXPECT_EQ(rig.s().description.channelCount, 1);
  EXPECT_EQ(rig.s().description.latencyMs, 300);
  EXPECT_EQ(rig.s().description.readingTimeMs, 200);
}

TEST(ReadConfiguration, AnOlderTableWithABadSumFailsAfterFiveTries) {
  LoggerScript script;
  script.identity = "KTS QZ-740 4.00 000740";
  script.memoryTable = OlderTable(2, "TP");
  script.memoryTable[54] ^= 1;
  LinkRig rig(script);
  EXPECT_EQ(Read(rig), 0);
  EXPECT_EQ(rig.logger.count("I00000200C9FF0100"), 5);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Configuration Table read failed.");
  EXPECT_TRUE(rig.s().link.reread.configuration);
}

TEST(ReadConfiguration, OtherOlderLoggersHaveOneChannelWithoutAsking) {
  LoggerScript script;
  script.identity = "KTS HV-3070 3.05 003070";
  LinkRig rig(script);
  ASSERT_EQ(Read(rig), 1);
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(rig.s().description.channelCount, 1);
  EXPECT_EQ(rig.s().description.channelTypes[0], 'T');
}

TEST(ReadConfiguration, RangeSwitchingAndRsAdvancedTablesFollowTheirFlags) {
  LoggerScript script = Extended(kConfigRangeSwitching | kConfigAdvanced);
  script.tables["R0100"] = ConfigTable("TY");
  std::vector<uint8_t> caps(25, 0xFF), ranges(25, 0xFF);
  caps[0] = 1;
  caps[2] = 0;
  ranges[0] = 1;
  ranges[2] = 0x06;  // channel 2 autoranging turbidity
  script.tables["R0400"] = caps;
  script.tables["R0500"] = ranges;
  script.tables["R0700"] = {kRsAsciiOutput | kRsSdCard, 0, 0, 0};
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_EQ(Read(rig), 1);
  EXPECT_EQ(s.description.channelTypes[1], 'y');
  EXPECT_TRUE(s.description.hasRangeSwitching);
  EXPECT_EQ(s.description.rsAdvanced, kRsAsciiOutput | kRsSdCard);
  EXPECT_TRUE(s.description.asciiOutput());
  EXPECT_STREQ(OutputFormatText(s.description.rsAdvanced), "Format: ASCII");
}

TEST(ReadConfiguration, AFailedRsAdvancedReadFailsTheConfiguration) {
  LoggerScript script = Extended(kConfigAdvanced);
  script.tables["R0100"] = ConfigTable("T");
  script.tables["R0700"] = {kRsAsciiOutput, 0, 0, 0};
  script.corruptTables = {"R0700"};
  LinkRig rig(script);
  EXPECT_EQ(Read(rig), 0);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Retrieve RS Advanced information failed");
  EXPECT_EQ(rig.s().description.rsAdvanced, kRsBinaryOutput);
}

TEST(RsAdvanced, DataBuoyDefaultsAndFormatTexts) {
  LoggerDescription d;
  d.dataBuoy = 1;
  InstallRsAdvancedDefault(d);
  EXPECT_EQ(d.rsAdvanced, kRsSerialCard | kRsAsciiOutput);
  EXPECT_STREQ(OutputFormatText(kRsBinaryOutput | kRsAsciiOutput), "Format: ASCII and Binary");
  EXPECT_STREQ(OutputFormatText(kRsBinaryOutput), "Format: Binary");
  EXPECT_STREQ(OutputFormatText(kRsSdCard), "Format: None set");
}

}  // namespace
}  // namespace kts
