#include "deploy/setup_texts.h"

#include <gtest/gtest.h>

#include "deploy/setup_screen.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;
using Entries = std::vector<std::string>;

class SetupTexts : public DeployTest {
 protected:
  SetupScreen screen;
};

TEST_F(SetupTexts, StartListOffersThresholdsOnlyWhereTheLoggerHasThem) {
  s.link.identity.model = "HV-2000";  // outside the QZ family the list only shows the mode
  d.block.startMode = kStartNow;
  EXPECT_EQ(StartList(s).entries, (Entries{"Start at 'Start of logging'", "Start NOW"}));
  EXPECT_EQ(StartList(s).selected, 1);
  EXPECT_EQ(SelectStartEntry(s, screen, 0), 0);

  s.link.identity.model = "QZ-740";
  EXPECT_EQ(StartList(s).entries, (Entries{"No thresholding"}));
  EXPECT_FALSE(StartList(s).enabled);

  // Without a capabilities table the conductivity-temperature models can.
  s.link.identity.model = "QZ-740-MC";
  const Entries all{"No thresholding", "Start when ABOVE threshold", "Start when BELOW threshold"};
  EXPECT_EQ(StartList(s).entries, all);
  s.description.capabilityWordsRead = true;
  EXPECT_EQ(StartList(s).entries, (Entries{"No thresholding"}));
  s.description.conventionalThresholding = true;
  EXPECT_EQ(StartList(s).entries, all);
  d.block.startMode = kStartBelowThreshold;
  EXPECT_EQ(StartList(s).selected, 2);
  d.block.startMode = kStartNow;
  EXPECT_EQ(StartList(s).selected, 0);
}

TEST_F(SetupTexts, ChoosingAndLeavingAThresholdStart) {
  s.description.conventionalThresholding = true;
  s.description.powerSaveThresholding = true;
  s.description.averaging = true;
  d.averagingEnabled = true;
  screen.backup.startMode = kStartAtTime;  // a timed start when the screen opened
  screen.mainButton = kResumeEnableButton;

  ASSERT_EQ(SelectStartEntry(s, screen, 1), 1);
  EXPECT_EQ(d.block.startMode, kStartAboveThreshold);
  EXPECT_FALSE(d.averagingEnabled);
  EXPECT_TRUE(screen.thresholdButtonShown);
  EXPECT_TRUE(d.changedSinceBatch);
  EXPECT_EQ(screen.mainButton, kEnableLoggingButton);
  EXPECT_EQ(AveragingText(d), "Prohibited by thresholding");

  d.block.thresholdTestMode = 1;
  d.checkPeriod = MakePeriod(0, 0, 30);
  ASSERT_EQ(SelectStartEntry(s, screen, 0), 1);
  EXPECT_EQ(d.block.startMode, kStartAtTime);  // the timed start comes back
  EXPECT_EQ(d.block.thresholdTestMode, 0u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 0, 0));
  EXPECT_FALSE(screen.thresholdButtonShown);
  EXPECT_TRUE(screen.averagingControlsShown);

  // Opened on a threshold start, "No thresholding" starts at once.
  screen.backup.startMode = kStartBelowThreshold;
  d.block.startMode = kStartBelowThreshold;
  d.changedSinceBatch = false;
  screen.mainButton = kResumeButton;
  ASSERT_EQ(SelectStartEntry(s, screen, 2), 1);
  EXPECT_FALSE(d.changedSinceBatch);
  EXPECT_EQ(screen.mainButton, kResumeButton);
  ASSERT_EQ(SelectStartEntry(s, screen, 0), 1);
  EXPECT_EQ(d.block.startMode, kStartNow);
  EXPECT_EQ(SelectStartEntry(s, screen, 3), 0);
}

TEST_F(SetupTexts, RealTimeListAndTheStorageInhibitFlag) {
  EXPECT_TRUE(RealTimeList(s).entries.empty());
  s.description.externalDataConnector = true;
  EXPECT_EQ(RealTimeList(s).entries, (Entries{"Not Enabled", "Enabled"}));
  s.description.startOptionByte = true;
  EXPECT_EQ(RealTimeList(s).entries,
            (Entries{"Not Enabled", "Enabled", "Enabled - NO data storage"}));

  s.ports.currentBaud = 19200;
  d.block.oemFlags = 0x6;
  ASSERT_EQ(SelectRealTimeEntry(s, 2), 1);
  EXPECT_EQ(d.realTimeOutput, 1u);
  EXPECT_EQ(d.block.oemFlags, 0x7u);
  EXPECT_EQ(RealTimeList(s).selected, 2);
  EXPECT_EQ(d.realTimeBaud, 19200u);
  EXPECT_EQ(d.realTimeBaudCode, 13u);  // 9216000 / (32 × 19200) − 2

  ASSERT_EQ(SelectRealTimeEntry(s, 1), 1);
  EXPECT_EQ(d.block.oemFlags, 0x6u);
  EXPECT_EQ(RealTimeList(s).selected, 1);
  ASSERT_EQ(SelectRealTimeEntry(s, 0), 1);
  EXPECT_EQ(d.realTimeOutput, 0u);
  EXPECT_EQ(d.realTimeBaudCode, 0u);
  EXPECT_EQ(SelectRealTimeEntry(s, 3), 0);
}

}  // namespace
}  // namespace kts
