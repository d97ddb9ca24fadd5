#include <gtest/gtest.h>

#include "core/time_math.h"
#include "frame/command_ids.h"
#include "frame/setup_simulation.h"
#include "frame_fixture.h"
#include "link/logger_status.h"

namespace kts::test {
namespace {

TEST(SetupSimulation, ModelChoiceSetsIdentityTimesAndChannels) {
  FrameRig r;
  r.t.clock.set(MakeTime(2026, 12, 7, 15, 30, 12));
  r.s().link.status = kLogging;
  ASSERT_TRUE(ApplySetupSimulation(r.s(), 3));  // HV-3070
  EXPECT_EQ(r.s().link.identity.model, "HLV-4070");
  EXPECT_EQ(r.s().description.channelCount, 1);
  EXPECT_EQ(r.s().deployment.startTime, MakeTime(2026, 12, 8, 0, 0, 0));
  EXPECT_EQ(r.s().deployment.endTime, MakeTime(2027, 3, 8, 0, 0, 0));
  EXPECT_EQ(r.s().link.status, kNotEnabled);
  EXPECT_TRUE(r.s().app.simulation);
  EXPECT_FALSE(r.s().description.waves);

  ASSERT_TRUE(ApplySetupSimulation(r.s(), 2));  // the tide-and-wave logger
  EXPECT_EQ(r.s().link.identity.model, "HKV-4070");
  EXPECT_EQ(r.s().description.channelCount, 2);
  EXPECT_TRUE(r.s().description.waves);
  EXPECT_EQ(PeriodSeconds(r.s().deployment.samplingPeriod), 1800);
  EXPECT_FALSE(ApplySetupSimulation(r.s(), 7));
  EXPECT_FALSE(ApplySetupSimulation(r.s(), -1));
}

TEST(SetupSimulation, QzLoggerNeedsSensorsAndAtMost24Channels) {
  FrameRig r;
  r.s().link.identity.model = "QZ-740";
  EXPECT_FALSE(ApplySetupSimulation(r.s(), 4, QzSensorChoice{}));
  ASSERT_EQ(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].text,
            "You have not selected a set of sensors for your QZ logger.\nA logger with no sensors "
            "cannot be simulated.");
  EXPECT_EQ(r.ui().messages[0].caption, "QZ logger simulation");
  EXPECT_FALSE(r.s().app.simulation) << "a refused choice changes nothing";

  QzSensorChoice full;
  full.sensors.fill(true);
  full.thermistorElements = 24;
  EXPECT_FALSE(ApplySetupSimulation(r.s(), 5, full));
  EXPECT_EQ(r.ui().messages.size(), 2u);

  QzSensorChoice ctd;
  ctd.sensors[0] = ctd.sensors[1] = ctd.sensors[2] = true;
  ctd.thermistorElements = 8;
  ASSERT_TRUE(ApplySetupSimulation(r.s(), 5, ctd));
  EXPECT_EQ(r.s().link.identity.model, "QZ-760");
  EXPECT_EQ(r.s().description.channelCount, 11);
  EXPECT_EQ(r.s().description.channelTypes[0], 'C');
  EXPECT_EQ(r.s().description.channelTypes[10], 'T');
}

TEST(SetupSimulation, SetupWithoutALoggerOpensTheChosenSetupScreen) {
  FrameRig r;
  r.s().ports.loggerDevice = r.base.file("no-logger");
  r.w.dialogActions[DialogId::SetupSimulation] = [&] {
    return ApplySetupSimulation(r.s(), 2) ? 1 : 0;
  };
  r.frame->runCommand(kCmdSetup);
  EXPECT_EQ(r.w.dialogs, (std::vector<DialogId>{DialogId::SetupSimulation, DialogId::HkvSetup}));

  r.w.dialogs.clear();
  r.w.dialogResults[DialogId::SetupSimulation] = 0;
  r.w.dialogActions.clear();
  r.frame->runCommand(kCmdSetup);
  EXPECT_EQ(r.w.dialogs, std::vector<DialogId>{DialogId::SetupSimulation}) << "cancelled";
}

}  // namespace
}  // namespace kts::test
