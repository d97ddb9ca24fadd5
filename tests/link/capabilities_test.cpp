#include "link/capabilities.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "link/connection.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

TEST(BaudWord, DefaultAndExpressRates) {
  int def = 0, express = 0;
  InterpretBaudWord(96u << 24 | 57600, &def, &express);
  EXPECT_EQ(def, 9600);
  EXPECT_EQ(express, 57600);
  InterpretBaudWord(96u << 24 | 38400, &def, &express);
  EXPECT_EQ(express, 19200);  // not an express rate
  InterpretBaudWord(192u << 24 | 115200, &def, &express);
  EXPECT_EQ(def, 19200);
  EXPECT_EQ(express, 115200);
  InterpretBaudWord(12u << 24, &def, &express);
  EXPECT_EQ(def, 1200);
  EXPECT_EQ(express, 19200);
  InterpretBaudWord(50u << 24 | 19200, &def, &express);
  EXPECT_EQ(def, 2400);  // 5000 is not a standard rate
}

LoggerDescription Rules(const char* model, float firmware, bool radio = false,
                        uint32_t startMode = 0) {
  LoggerIdentity id{model, firmware, 1, false};
  LoggerDescription d;
  ApplyModelRules(id, radio, startMode, d);
  return d;
}

TEST(ModelRules, StopAndSuspendCodeByModelAndVersion) {
  EXPECT_EQ(Rules("HV-3070", 1.49f).stopSuspendCode, 1);
  EXPECT_EQ(Rules("HV-3070", 1.50f).stopSuspendCode, 4);
  EXPECT_EQ(Rules("HV-3070", 2.14f).stopSuspendCode, 4);
  EXPECT_EQ(Rules("HV-3070", 2.15f).stopSuspendCode, 3);
  EXPECT_EQ(Rules("LV-3070", 1.00f).stopSuspendCode, 3);
  EXPECT_EQ(Rules("LV-3070", 3.00f).stopSuspendCode, 4);
  EXPECT_EQ(Rules("LV-3070", 3.14f).stopSuspendCode, 4);
  EXPECT_EQ(Rules("LV-3070", 3.15f).stopSuspendCode, 3);
  EXPECT_EQ(Rules("QZ-740", 2.44f).stopSuspendCode, 2);
  EXPECT_EQ(Rules("QZ-740", 2.45f).stopSuspendCode, 3);
  EXPECT_EQ(Rules("QZ-740", 2.45f, false, 2).stopSuspendCode, 2);  // thresholding start
}

TEST(ModelRules, FeaturesByModelAndVersion) {
  EXPECT_EQ(Rules("HV-3070", 3.14f).memoryType, 0);
  EXPECT_EQ(Rules("HV-3070", 3.15f).memoryType, 2);
  EXPECT_EQ(Rules("QZ-740", 3.99f).memoryType, 0);
  EXPECT_EQ(Rules("QZ-740", 4.00f).memoryType, 2);

  EXPECT_FALSE(Rules("HV-3070", 3.0f).averaging);
  EXPECT_FALSE(Rules("LV-3070", 3.0f).averaging);
  EXPECT_FALSE(Rules("QZ-740-MD", 3.0f).averaging);
  EXPECT_FALSE(Rules("QZ-740-MVq", 3.0f).averaging);
  EXPECT_TRUE(Rules("QZ-740", 3.0f).averaging);

  const LoggerDescription mc = Rules("QZ-740-MC", 4.24f);
  EXPECT_TRUE(mc.conventionalThresholding);
  EXPECT_FALSE(mc.powerSaveThresholding);
  EXPECT_TRUE(Rules("QZ-740-MC", 4.25f).powerSaveThresholding);
  EXPECT_FALSE(Rules("QZ-740", 4.25f).conventionalThresholding);

  EXPECT_EQ(Rules("QZ-740", 2.64f).expressRate, 0);
  EXPECT_EQ(Rules("QZ-740", 2.65f).expressRate, 57600);
  EXPECT_EQ(Rules("QZ-740", 2.65f, true).expressRate, 0);  // not over radio modems

  EXPECT_TRUE(Rules("QZ-740-U", 3.0f).externalDataConnector);
  EXPECT_FALSE(Rules("QZ-740", 3.0f).externalDataConnector);
  EXPECT_TRUE(Rules("QZ-760", 3.0f).profiling6Hz);

  EXPECT_TRUE(Rules("QZ-740", 2.00f).frontEndThroughComms);
  EXPECT_FALSE(Rules("QZ-740", 2.09f).reportsBattery);
  EXPECT_TRUE(Rules("QZ-740", 2.10f).reportsBattery);
  EXPECT_FALSE(Rules("HV-3070", 3.0f).frontEndThroughComms);
}

// An extended logger that announces every feature word.
LoggerScript EveryWord() {
  LoggerScript script;
  script.identity = "KTS YP-930 6.51 000930";
  script.words = {
      {0, 0x007FFFFF},  // bits 0–22
      {1, 3},           // 8 Meg
      {3, 47},          // parameter block
      {5, 0x52},        // code 2, option 4 and option 6
      {7, 3},           // both thresholdings
      {8, kConfigRangeSwitching | kConfigMicroSalinometer},
      {13, 96u << 24 | 57600},
      {20, 2},
      {21, 1},
      {22, 1},
      {23, 1},
  };
  script.minimumVersion = "6.01WIN";
  return script;
}

TEST(ReadCapabilities, EveryWordAndBitOfAnExtendedLogger) {
  LinkRig rig(EveryWord());
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  s.description.channelCount = 5;  // configuration fields are not the capability read's
  bool modemSleep = false;
  s.linkHooks.showModemSleepItem = [&](Session&, bool present) { modemSleep = present; };

  ASSERT_EQ(ReadCapabilities(s), 1);
  const LoggerDescription& d = s.description;
  EXPECT_EQ(rig.logger.commands(),
            (std::vector<std::string>{"A", "!000", "!001", "!003", "!005", "!007", "!008", "!00D",
                                      "!W", "!014", "!015", "!016", "!017"}));
  EXPECT_TRUE(d.hasCapabilityTable());
  EXPECT_EQ(d.memoryClass(), MemoryClass::ExtraLarge);
  EXPECT_TRUE(d.profiling6Hz);
  EXPECT_EQ(d.parameterBlockLength, 47);
  EXPECT_TRUE(d.hysteresis);
  EXPECT_EQ(d.stopSuspendCode, 2);
  EXPECT_TRUE(d.option4 && !d.option5 && d.option6);
  EXPECT_TRUE(d.averaging && d.conventionalThresholding && d.powerSaveThresholding);
  EXPECT_EQ(d.configFlags, kConfigRangeSwitching | kConfigMicroSalinometer);
  EXPECT_TRUE(d.uvCommands && d.frontEndThroughComms && d.reportsBattery);
  EXPECT_TRUE(d.externalDataConnector);
  EXPECT_EQ(d.defaultBaud, 9600);
  EXPECT_EQ(d.expressRate, 57600);
  EXPECT_TRUE(d.hasMinimumSoftwareVersion);
  EXPECT_TRUE(d.startCharacteristicCommands && d.startOptionByte && d.waves && d.highRate &&
              d.externalPower);
  EXPECT_EQ(d.engineeringUnitsLevel, 2);
  EXPECT_EQ(d.modemControl, 1);
  EXPECT_EQ(d.memoryTest, 1);
  EXPECT_EQ(d.dataBuoy, 1);
  EXPECT_TRUE(d.microSalinometerSettings);
  EXPECT_TRUE(modemSleep);
  EXPECT_EQ(d.channelCount, 5);
  EXPECT_TRUE(rig.t.ui.messages.empty());  // this software is recent enough
  EXPECT_TRUE(rig.t.ui.sawStatus("Assessing logger capabilities "));

  // Read once per logger.
  EXPECT_FALSE(s.link.reread.capabilities);
  EXPECT_EQ(ReadCapabilities(s), 1);
  EXPECT_EQ(rig.logger.commands().size(), 13u);

  // Forcing a re-read resets the capability fields and reads again.
  ForceCapabilityReread(s);
  EXPECT_TRUE(s.link.reread.configuration);
  s.description.waves = false;
  EXPECT_EQ(ReadCapabilities(s), 1);
  EXPECT_TRUE(s.description.waves);
}

TEST(ReadCapabilities, AWrongEchoGivesZeroAndAnError) {
  LoggerScript script = EveryWord();
  script.wordEcho = {{1, 2}};
  script.words[0] = 0x3;  // memory type and profiling
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  EXPECT_EQ(ReadCapabilities(s), 0);
  EXPECT_TRUE(rig.t.ui.sawStatus("Read capabilities error"));
  EXPECT_EQ(s.description.words[1], 0u);
  EXPECT_EQ(s.description.memoryClass(), MemoryClass::Standard);
  EXPECT_TRUE(s.description.profiling6Hz);  // word 0 itself was fine
}

TEST(ReadCapabilities, ALoggerNeedingNewerSoftwareIsWarned) {
  LoggerScript script = EveryWord();
  script.words = {{0, 1u << 13}};
  script.minimumVersion = "6.10WIN";
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  ReadCapabilities(s);
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  const Message& m = rig.t.ui.messages[0];
  EXPECT_EQ(m.caption, "Minimum Windows Version");
  EXPECT_EQ(m.icon, Icon::Error);
  EXPECT_NE(m.text.find("6.10"), std::string::npos);
  EXPECT_NE(m.text.find("6.01"), std::string::npos);
  EXPECT_FLOAT_EQ(s.description.minimumSoftwareVersion, 6.10f);
}

TEST(ReadCapabilities, QzLoggersReadWordsFrom425AndKeepTheirModelRules) {
  LoggerScript script;
  script.identity = "KTS QZ-740-MC 4.25 000740";
  script.words = {{0, 1u << 5}};  // averaging only
  LinkRig rig(script);
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  ReadCapabilities(s);
  EXPECT_EQ(rig.logger.count("!000"), 1);
  EXPECT_TRUE(s.description.hasCapabilityTable());
  EXPECT_TRUE(s.description.conventionalThresholding && s.description.powerSaveThresholding);
  EXPECT_EQ(s.description.memoryType, 2);
  EXPECT_EQ(s.description.expressRate, 57600);

  rig.logger.setIdentity("KTS QZ-740-MC 4.24 000741");
  ASSERT_TRUE(Connect(s));  // another logger: the flags are set again
  ReadCapabilities(s);
  EXPECT_EQ(rig.logger.count("!000"), 1);  // no words before 4.25
  EXPECT_FALSE(s.description.hasCapabilityTable());
  EXPECT_TRUE(s.description.conventionalThresholding);
  EXPECT_FALSE(s.description.powerSaveThresholding);
}

}  // namespace
}  // namespace kts
