// The setup screen's rules that need no logger, the setup simulation, and
// the output format, default baud rate and latency dialogs.
#include <gtest/gtest.h>

#include "core/session.h"
#include "deploy_fixture.h"
#include "deploy/logger_functions.h"
#include "deploy/logger_state.h"
#include "deploy/realtime_check.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_simulation.h"
#include "link/connection.h"
#include "sim_rig.h"

namespace kts {
namespace {

using test::DeployTest;

class MemoryUsage : public DeployTest {};

TEST_F(MemoryUsage, ReadingsAndPercentOfALoggerWithCapabilities) {
  s.description.capabilityWordsRead = true;
  s.description.parameterBlockLength = 48;
  UseChannels("CTP");
  EXPECT_EQ(MemoryUsageText(s, 0), "0%, 0 readings");
  EXPECT_EQ(MemoryUsageText(s, 47), "0%, 0 readings");
  // One part word past the header counts as a reading.
  EXPECT_EQ(MemoryReadings(s, 49), 1);
  EXPECT_EQ(MemoryUsageText(s, 48 + 3 * 30), "<0.1%, 10 readings");
  EXPECT_EQ(MemoryUsageText(s, 48 + 3 * 3 * 2500), "0.3%, 3K readings");
  EXPECT_EQ(MemoryUsagePercent(s, 0xFFFFFFFF), 100.0);
  s.description.rsAdvanced = 0x08;  // a logger that stores text bytes
  EXPECT_EQ(MemoryUsageText(s, 48 + 3 * 1600), "0.1%, 2K bytes");
}

TEST_F(MemoryUsage, OlderLoggersCountFromTheirMemoryBase) {
  s.description.capabilityWordsRead = false;
  s.link.identity.model = "HV-3070";
  s.link.identity.firmware = 2.20f;
  UseChannels("T");
  // Below the base is empty, never negative.
  EXPECT_EQ(MemoryUsageText(s, 0x10000), "0%, 0 readings");
  EXPECT_EQ(MemoryReadings(s, 0x20000 + 3 * 15), 5);  // ten words of header kept
  EXPECT_TRUE(MemoryIsEmpty(s, 0x2001E));
  EXPECT_FALSE(MemoryIsEmpty(s, 0x2001F));
}

TEST(EraseProgress, OlderLoggersMoveByTheirMemoryButWithinBounds) {
  EXPECT_DOUBLE_EQ(OlderEraseIncrement(0x60000), 10.0);
  EXPECT_DOUBLE_EQ(OlderEraseIncrement(0x400000), 100.0 / 126.0);
  EXPECT_DOUBLE_EQ(OlderEraseIncrement(0x1000000), 0.7);
  // A pointer below 128 KiB would divide by zero or go backwards.
  EXPECT_DOUBLE_EQ(OlderEraseIncrement(0x10000), 50.0);
  EXPECT_DOUBLE_EQ(OlderEraseIncrement(0), 50.0);
}

class RealTime : public DeployTest {};

TEST_F(RealTime, TheLineMustCarryEveryRecord) {
  UseChannels("CTP");
  d.realTimeOutput = 1;
  s.ports.currentBaud = 19200;
  d.samplingPeriod = MakePeriod(0, 0, 1);
  EXPECT_EQ(realTimeBaudSufficient(s), 1);

  s.ports.currentBaud = 2400;
  d.block.samplingMode = kProfilingMode;
  EXPECT_EQ(realTimeBaudSufficient(s), 1);  // binary records fit
  d.block.oemFlags = 4;
  EXPECT_EQ(realTimeBaudSufficient(s), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].caption, "Real-time output channel capacity insufficient");
  EXPECT_NE(t.ui.messages[0].text.find("requires a default baud rate greater than 3120."),
            std::string::npos);

  s.ports.currentBaud = 1200;
  EXPECT_EQ(realTimeBaudSufficient(s), 0);
  EXPECT_NE(t.ui.messages.back().text.find("using the current Sampling Period\nrequires a default "
                                           "baud rate greater than 1320."),
            std::string::npos);
  d.realTimeOutput = 0;
  EXPECT_EQ(realTimeBaudSufficient(s), 1);
}

class Simulation : public DeployTest {};

TEST_F(Simulation, OpensOnTheModelDefaultsAndNeverEnables) {
  t.clock.set(MakeTime(2026, 12, 7, 15, 42, 10));
  ASSERT_EQ(OpenSetupSimulation(s, SimulatedModel::Hkv4070), 1);
  EXPECT_TRUE(s.setup.open);
  EXPECT_TRUE(s.setup.simulation);
  EXPECT_EQ(s.setup.texts.loggerName, "HKV-4070");
  EXPECT_EQ(d.startTime, MakeTime(2026, 12, 8));
  EXPECT_EQ(d.endTime, MakeTime(2027, 3, 8));
  EXPECT_EQ(s.description.channelCount, 2);
  EXPECT_TRUE(d.burstEnabled);
  EXPECT_EQ(d.burstLength, 512u);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(0, 30, 0));
  EXPECT_FALSE(s.setup.enableLoggingEnabled);
  EXPECT_EQ(enableLogging(s), SetupOutcome::Stopped);

  SimulatedModel m;
  EXPECT_TRUE(SimulatedModelFromName("HNV-3070-QH", &m));
  EXPECT_EQ(m, SimulatedModel::Hnv3070Qh);
  EXPECT_FALSE(SimulatedModelFromName("QZ-999", &m));
}

TEST_F(Simulation, AQzLoggerNeedsItsSensors) {
  EXPECT_EQ(OpenSetupSimulation(s, SimulatedModel::Qz740), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text,
            "You have not selected a set of sensors for your QZ logger.\nA logger with no sensors "
            "cannot be simulated.");
  EXPECT_EQ(t.ui.messages[0].caption, "QZ logger simulation");
  EXPECT_FALSE(s.setup.open);

  QzSensors q;
  q.conductivity = q.temperature = q.pressure = true;
  q.thermistorString = 24;  // more than the logger has channels for
  ASSERT_EQ(OpenSetupSimulation(s, SimulatedModel::Qz760, q), 1);
  EXPECT_EQ(s.description.channelCount, 24);
  EXPECT_EQ(s.description.channelTypes[0], 'C');
  EXPECT_TRUE(s.description.profiling6Hz);
  EXPECT_TRUE(s.setup.thresholdButtonShown);
}

class OutputFormat : public DeployTest {};

TEST_F(OutputFormat, TextsFollowTheCapabilityAndTheFlag) {
  OutputFormatDialog dialog;
  s.description.engineeringUnitsLevel = 0;
  ASSERT_EQ(editOutputFormat(s, dialog), 1);
  EXPECT_FALSE(dialog.okShown);
  EXPECT_EQ(dialog.text,
            "This logger can only output fetched data and real-time data in binary format");
  EXPECT_EQ(AcceptOutputFormat(s, dialog), 0);

  s.description.engineeringUnitsLevel = 1;
  ASSERT_EQ(editOutputFormat(s, dialog), 1);
  EXPECT_EQ(dialog.text, "This logger is set to output fetched data in\nBINARY FORMAT");
  EXPECT_EQ(dialog.okText, "Set the output to ENGINEERING UNITS");
  d.block.oemFlags = 4;
  s.description.externalDataConnector = true;
  ASSERT_EQ(editOutputFormat(s, dialog), 1);
  EXPECT_EQ(dialog.text,
            "This logger is set to output fetched data and real-time data in ENGINEERING UNITS");
  EXPECT_EQ(dialog.okText, "Set the output to BINARY FORMAT");
}

TEST(LoggerFunctions, OutputFormatIsWrittenAndReadBack) {
  test::SimRig rig("extended", {"status = 4", "start_byte = 0x81"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  OutputFormatDialog dialog;
  ASSERT_EQ(editOutputFormat(s, dialog), 1);
  EXPECT_EQ(dialog.okText, "Set the output to ENGINEERING UNITS");
  ASSERT_EQ(AcceptOutputFormat(s, dialog), 1) << rig.t.ui.messageTexts();
  // The logger's own start byte goes back with the new format.
  const sim::LoggerSnapshot after = rig.sim->snapshot();
  EXPECT_EQ(after.oemFlags, 4u);
  EXPECT_EQ(after.startByte, 0x81u);
  EXPECT_EQ(dialog.okText, "Set the output to BINARY FORMAT");
}

TEST(LoggerFunctions, OutputFormatNotTakenIsUndone) {
  sim::SimOptions o = test::SimRig::Options("extended", {"status = 4"});
  o.faults.ignoredSettings = {"!1"};
  test::SimRig rig(o);
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  OutputFormatDialog dialog;
  ASSERT_EQ(editOutputFormat(s, dialog), 1);
  EXPECT_EQ(AcceptOutputFormat(s, dialog), 0);
  EXPECT_EQ(s.deployment.block.oemFlags & 4, 0u);
  EXPECT_TRUE(rig.t.ui.sawMessage(
      "Start characteristic set incorrectly.\nTry again.\nContact KTS if the problem persists."));
}

TEST(LoggerFunctions, LatencyIsStoredInTensOfMillisecondsAndReadBack) {
  test::SimRig rig("extended", {"status = 4"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  LatencyDialog dialog;
  ASSERT_EQ(editLatency(s, dialog), 1) << rig.t.ui.messageTexts();
  EXPECT_EQ(dialog.latencyText, "300");
  EXPECT_EQ(AcceptLatency(s, dialog, "abc"), 0);
  EXPECT_EQ(AcceptLatency(s, dialog, "655351"), 0);
  EXPECT_TRUE(dialog.open);
  ASSERT_EQ(AcceptLatency(s, dialog, "255"), 1) << rig.t.ui.statusTexts();
  EXPECT_TRUE(rig.t.ui.sawStatus("Latency update successful"));
  EXPECT_FALSE(dialog.open);
  ASSERT_EQ(editLatency(s, dialog), 1);
  EXPECT_EQ(dialog.latencyText, "250");
  // The channels are as they were.
  EXPECT_EQ(s.description.channelCount, 3);
}

TEST(LoggerFunctions, LatencyOfAnOlderLoggerCannotBeSet) {
  test::SimRig rig("hv2", {});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  LatencyDialog dialog;
  EXPECT_EQ(editLatency(s, dialog), 0);
  EXPECT_TRUE(rig.t.ui.sawMessage("Unable to read current configuration table"));
}

TEST(LoggerFunctions, DefaultBaudListStartsAtTheLowestAllowedRate) {
  test::SimRig rig("extended", {"status = 4", "default_baud = 9600"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  DefaultBaudDialog dialog;
  ASSERT_EQ(editDefaultBaud(s, dialog), 1) << rig.t.ui.messageTexts();
  EXPECT_EQ(dialog.current, 9600);
  EXPECT_EQ(dialog.rates, (std::vector<int>{2400, 4800, 9600, 19200}));
  EXPECT_EQ(dialog.selected, 2);

  dialog.selected = 2;
  ASSERT_EQ(AcceptDefaultBaud(s, dialog), 1) << rig.t.ui.messageTexts();
  EXPECT_EQ(s.description.defaultBaud, 9600);
}

TEST(LoggerFunctions, DefaultBaudOfALoggerWithoutCapabilitiesIsRefused) {
  test::SimRig rig("hv2", {});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  DefaultBaudDialog dialog;
  EXPECT_EQ(editDefaultBaud(s, dialog), 0);
  EXPECT_TRUE(rig.t.ui.sawMessage(
      "The default baudrate for this type of logger cannot be set by this command."));
}

}  // namespace
}  // namespace kts
