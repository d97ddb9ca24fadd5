#include "deploy/threshold_screen.h"

#include <gtest/gtest.h>

#include "deploy/threshold.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;
using Entries = std::vector<std::string>;

// A QZ logger with temperature, autoranging turbidity and pressure.
class ThresholdScreenTest : public DeployTest {
 protected:
  ThresholdScreen screen;
  void SetUp() override {
    DeployTest::SetUp();
    UseChannels("TyP");
    s.coefficients.c[0] = {1.0 / 293.15, -2.5e-4, 0.0, 0.0};
    s.coefficients.c[2] = {0.0, 100.0, 0.0, 0.0};
    s.description.capabilityWordsRead = true;
    s.description.powerSaveThresholding = true;
    s.description.hysteresis = true;
    d.block.startMode = kStartBelowThreshold;
    d.block.thresholdChannel = 2;
    d.block.thresholdLevel = 12.5;
  }
};

TEST_F(ThresholdScreenTest, OpeningShowsTheDeployment) {
  d.checkPeriod = MakePeriod(0, 0, 30);
  OpenThresholdScreen(s, screen);
  EXPECT_STREQ(screen.senseLabel, "When BELOW the threshold of");
  EXPECT_EQ(screen.levelText, "12.50");
  EXPECT_EQ(screen.channelEntries, (Entries{"1 - Temperature\t", "3 - Pressure\t"}));
  EXPECT_EQ(screen.channelOfEntry, (std::vector<int>{0, 2}));
  EXPECT_EQ(screen.selectedEntry, 1);
  EXPECT_EQ(screen.choice, PowerSavingChoice::Every30Seconds);

  // Continuous testing on a logger without a capabilities table: no hysteresis.
  s.description.capabilityWordsRead = false;
  d.checkPeriod = MakePeriod(0, 0, 0);
  d.block.hysteresisPeriod = 120;
  OpenThresholdScreen(s, screen);
  EXPECT_FALSE(screen.hysteresisChecked);
  SetHysteresisChecked(screen, true);
  EXPECT_FALSE(screen.hysteresisChecked);
  ChoosePowerSaving(s, screen, PowerSavingChoice::Every10Seconds);
  EXPECT_TRUE(screen.hysteresisBoxEnabled);
}

TEST_F(ThresholdScreenTest, PowerSavingChoices) {
  OpenThresholdScreen(s, screen);
  ChoosePowerSaving(s, screen, PowerSavingChoice::Every10Seconds);
  EXPECT_EQ(d.block.thresholdTestMode, 1u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 0, 10));
  EXPECT_FALSE(screen.checkPickerShown);

  ChoosePowerSaving(s, screen, PowerSavingChoice::Continuous);
  EXPECT_EQ(d.block.thresholdTestMode, 0u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 0, 0));

  // "Let me choose" starts from the sampling period.
  ChoosePowerSaving(s, screen, PowerSavingChoice::LetMeChoose);
  EXPECT_EQ(d.block.thresholdTestMode, 1u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 1, 0));
  EXPECT_TRUE(screen.checkPickerShown);
  EXPECT_EQ(screen.checkPicker, MakePeriod(0, 1, 0));

  // A logger that cannot test periodically only tests continuously.
  s.description.powerSaveThresholding = false;
  OpenThresholdScreen(s, screen);
  EXPECT_FALSE(screen.periodicChoicesEnabled);
  ChoosePowerSaving(s, screen, PowerSavingChoice::Every30Seconds);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 1, 0));
}

TEST_F(ThresholdScreenTest, AcceptStoresTheListedChannel) {
  OpenThresholdScreen(s, screen);
  screen.selectedEntry = 1;  // the third channel: turbidity is not listed
  screen.levelText = " 25.3 ";
  screen.hysteresisChecked = true;
  screen.hysteresisText = "150";
  ChoosePowerSaving(s, screen, PowerSavingChoice::Every30Seconds);
  ASSERT_EQ(AcceptThresholdScreen(s, screen), 1);
  EXPECT_EQ(screen.outcome, DialogOutcome::Accepted);
  EXPECT_EQ(d.block.thresholdChannel, 2u);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, 25.3);
  EXPECT_EQ(d.block.thresholdRaw, engToRaw(s, d.block.thresholdLevel, 2));
  EXPECT_EQ(d.block.thresholdTestMode, 1u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 0, 30));
  EXPECT_EQ(d.block.hysteresisPeriod, 120u);  // whole sampling periods
  EXPECT_TRUE(d.hysteresisEnabled);
  EXPECT_TRUE(d.changedSinceBatch);

  // Hysteresis unchecked: off.
  OpenThresholdScreen(s, screen);
  screen.hysteresisChecked = false;
  ASSERT_EQ(AcceptThresholdScreen(s, screen), 1);
  EXPECT_EQ(d.block.hysteresisPeriod, 0u);
  EXPECT_FALSE(d.hysteresisEnabled);
}

TEST_F(ThresholdScreenTest, ScreenStaysOpenUntilEverythingIsAcceptable) {
  OpenThresholdScreen(s, screen);

  for (const char* text : {"", "abc", "12.5x", "1,5", "1e999", "nan"}) {
    screen.levelText = text;
    EXPECT_EQ(AcceptThresholdScreen(s, screen), 0) << text;
    EXPECT_EQ(screen.message.text, "Error: The threshold level must be a number.");
  }
  screen.levelText = "10";
  screen.hysteresisChecked = true;
  for (const char* text : {"", "-5", "1.5", "99999999999"}) {
    screen.hysteresisText = text;
    EXPECT_EQ(AcceptThresholdScreen(s, screen), 0) << text;
    EXPECT_EQ(screen.message.text,
              "Error: The hysteresis period must be a whole number of seconds.");
  }
  screen.hysteresisChecked = false;
  screen.checkPicker = MakePeriod(0, 61, 0);
  EXPECT_EQ(AcceptThresholdScreen(s, screen), 0);
  screen.checkPicker = MakePeriod(0, 0, 0);

  // A level below the sensor's minimum that the user refuses to raise.
  screen.levelText = "-3";
  t.ui.answers.push_back(Answer::No);
  EXPECT_EQ(AcceptThresholdScreen(s, screen), 0);
  EXPECT_EQ(screen.levelText, "-3");
  EXPECT_EQ(screen.outcome, DialogOutcome::Open);
  // Raised, it is shown; Accept must be pressed again.
  t.ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(AcceptThresholdScreen(s, screen), 0);
  EXPECT_EQ(screen.levelText, "0.00");
  EXPECT_EQ(AcceptThresholdScreen(s, screen), 1);

  // Discard puts the opening block back.
  OpenThresholdScreen(s, screen);
  const DeploymentBlock opened = d.block;
  ChoosePowerSaving(s, screen, PowerSavingChoice::LetMeChoose);
  DiscardThresholdScreen(s, screen);
  EXPECT_EQ(d.block, opened);
  EXPECT_EQ(screen.outcome, DialogOutcome::Discarded);
}

}  // namespace
}  // namespace kts
