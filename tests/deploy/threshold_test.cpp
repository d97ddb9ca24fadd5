#include "deploy/threshold.h"

#include <gtest/gtest.h>

#include <cmath>

#include "deploy/threshold_screen.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;

// Channel 1 a thermistor reading 20 °C at mid-scale and falling as the
// count rises; channel 2 a pressure channel of 0 to 100 dbar over the counts.
class Threshold : public DeployTest {
 protected:
  void SetUp() override {
    DeployTest::SetUp();
    s.coefficients.c[0] = {1.0 / 293.15, -2.5e-4, 0.0, 0.0};
    s.coefficients.c[1] = {0.0, 100.0, 0.0, 0.0};
    s.coefficients.c[2] = {0.0, 60.0, 0.0, 0.0};
    d.block.startMode = kStartAboveThreshold;
  }
  void QueueAnswer(Answer a) { t.ui.answers.push_back(a); }
};

TEST_F(Threshold, RawCountsOfALevel) {
  // Rising channel: the highest count whose value is not above the level.
  EXPECT_EQ(engToRaw(s, 50.0, 1), 0x800000u);
  EXPECT_EQ(engToRaw(s, 0.0, 1), 0u);
  EXPECT_EQ(engToRaw(s, 1000.0, 1), 0xFFFFFFu);
  for (double level : {0.01, 12.34, 79.99}) {
    const uint32_t raw = engToRaw(s, level, 1);
    EXPECT_LE(rawToEng(s, static_cast<int32_t>(raw), 1), level);
    EXPECT_GT(rawToEng(s, static_cast<int32_t>(raw + 1), 1), level);
  }

  // Thermistor: counts fall as the temperature rises.
  EXPECT_EQ(engToRaw(s, 20.0, 0), 0x800000u);
  const uint32_t warm = engToRaw(s, 25.0, 0), cold = engToRaw(s, 5.0, 0);
  EXPECT_LT(warm, cold);
  EXPECT_NEAR(rawToEng(s, static_cast<int32_t>(warm), 0), 25.0, 1e-4);
  EXPECT_NEAR(rawToEng(s, static_cast<int32_t>(cold), 0), 5.0, 1e-4);

  // A channel the logger does not have.
  EXPECT_EQ(rawToEng(s, 100, 3), -1000.0);
  EXPECT_EQ(engToRaw(s, 1.0, 3), 0u);
}

TEST_F(Threshold, LimitsOfTheSensor) {
  const ThresholdRange pressure = thresholdLimits(s, 1);
  EXPECT_EQ(pressure.minimum, 0.0);    // the value at count 0
  EXPECT_EQ(pressure.maximum, 79.99);  // 79.999995 at 0xCCCCCC, rounded down
  const ThresholdRange temperature = thresholdLimits(s, 0);
  EXPECT_EQ(temperature.maximum, 100.0);
  const double coldest = rawToEng(s, 0xFFFFFD, 0);
  EXPECT_GE(temperature.minimum, coldest);
  EXPECT_LT(temperature.minimum, coldest + 0.01);

  EXPECT_EQ(RawLimitOf('T'), 0xFFFFFDu);  // rollover class 0
  EXPECT_EQ(RawLimitOf('C'), 0xFD70A2u);  // class 2
  EXPECT_EQ(RawLimitOf('P'), 0xDFFFFFu);  // class 1
}

TEST_F(Threshold, ApplyingALevelWithinTheLimits) {
  d.block.thresholdChannel = 2;  // conductivity
  d.block.thresholdLevel = 1.1;
  EXPECT_EQ(ApplyThresholdLevel(s, LevelCheck::Screen, nullptr), kLevelWithinLimits);
  EXPECT_EQ(d.block.thresholdLevel, 1.1);  // not 1.11
  EXPECT_EQ(d.block.thresholdRawLimit, 0xFD70A2u);
  EXPECT_DOUBLE_EQ(d.block.thresholdLimitValue, 60.0 * 0xFD70A2 / 16777216.0);
  EXPECT_EQ(d.block.thresholdRaw, engToRaw(s, 1.1, 2));

  d.block.thresholdLevel = 1.231;
  ApplyThresholdLevel(s, LevelCheck::Screen, nullptr);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, 1.24);
  d.block.thresholdLevel = 1.231;  // the enable sequence takes the level as it is
  ApplyThresholdLevel(s, LevelCheck::Enable, nullptr);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, 1.231);
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(Threshold, ALevelBeyondTheSensorIsOfferedItsLimit) {
  ThresholdScreen screen;
  d.block.thresholdChannel = 1;
  d.block.thresholdLevel = -5.0;
  QueueAnswer(Answer::No);
  EXPECT_EQ(ApplyThresholdLevel(s, LevelCheck::Screen, &screen), kLevelRefused);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].caption, "Required threshold below minimum");
  EXPECT_EQ(t.ui.messages[0].text,
            "Minimum threshold for this sensor is 0.00\nDo you wish to accept this value?");
  EXPECT_EQ(t.ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(d.block.thresholdLevel, -5.0);

  d.block.thresholdLevel = 95.0;
  QueueAnswer(Answer::Yes);
  EXPECT_EQ(ApplyThresholdLevel(s, LevelCheck::Enable, nullptr), kLevelMovedToLimit);
  EXPECT_EQ(t.ui.messages.back().caption, "Required threshold above maximum");
  EXPECT_EQ(t.ui.messages.back().text,
            "Maximum threshold for this sensor is 79.99\nDo you wish to accept this value?");
  EXPECT_EQ(d.block.thresholdLevel, 79.99);
  EXPECT_EQ(d.block.thresholdRaw, engToRaw(s, 79.99, 1));

  // A channel or level the logger cannot test is refused outright.
  d.block.thresholdChannel = 7;
  EXPECT_EQ(ApplyThresholdLevel(s, LevelCheck::Enable, nullptr), kLevelRefused);
  d.block.thresholdChannel = 1;
  d.block.thresholdLevel = std::nan("");
  EXPECT_EQ(ApplyThresholdLevel(s, LevelCheck::Enable, nullptr), kLevelRefused);
}

// Latency 300 ms, measurement 7000 ms, one channel: the logger needs 8 s.
TEST_F(Threshold, PowerSavingPeriodLeavesTimeToMeasure) {
  UseChannels("P");
  s.description.readingTimeMs = 7000;
  ThresholdScreen screen;
  screen.message.show("old", MessageIndicator::Warning);
  d.checkPeriod = MakePeriod(0, 0, 0);
  EXPECT_EQ(checkPowerSavingPeriod(s, &screen), 1);
  EXPECT_EQ(screen.message.text, "");
  d.checkPeriod = MakePeriod(0, 1, 0);  // not shorter than the sampling period
  EXPECT_EQ(checkPowerSavingPeriod(s, &screen), 1);
  d.checkPeriod = MakePeriod(0, 0, 8);
  EXPECT_EQ(checkPowerSavingPeriod(s, &screen), 1);

  d.checkPeriod = MakePeriod(0, 0, 5);
  EXPECT_EQ(checkPowerSavingPeriod(s, &screen), 0);
  EXPECT_EQ(d.checkPeriod, MakePeriod(0, 0, 8));
  EXPECT_EQ(screen.message.text,
            "Power saving period was too short.\nIt has been changed.\nContinuous checking is "
            "still an option.");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Info);
  EXPECT_EQ(screen.choice, PowerSavingChoice::LetMeChoose);
  EXPECT_TRUE(screen.checkPickerShown);
  EXPECT_EQ(screen.checkPicker, MakePeriod(0, 0, 8));
}

TEST_F(Threshold, HysteresisRules) {
  const std::string minimum =
      " seconds - one sampling period.\nThis minimum period has been "
      "inserted into the current setup.";
  const std::string maximum =
      " seconds.\nThis maximum period has been inserted into the "
      "configuration.";
  const std::string multiple =
      "The hysteresis period must be an integer multiple of the "
      "sampling.\nThe nearest period has been inserted into the current "
      "setup.";
  struct Case {
    int period;  // sampling period, seconds
    uint32_t before, after;
    std::string message;  // empty: left alone
  } cases[] = {
      {60, 0, 0, ""},
      {60, 120, 120, ""},
      {60, 45, 60, "The minimum hysteresis period is 60" + minimum},
      {60, 150, 120, multiple},
      {1, 70000, 65535, "The maximum hysteresis period is 65535" + maximum},
      {60, 4'000'000, 3'932'100, "The maximum hysteresis period is 3932100" + maximum},
      {0, 100, 86400, "The minimum hysteresis period is 86400" + minimum},  // 00:00:00 is a day
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    t.ui.messages.clear();
    d.samplingPeriod = MakePeriod(0, c.period / 60, c.period % 60);
    d.block.hysteresisPeriod = c.before;
    ThresholdScreen screen;
    EXPECT_EQ(checkHysteresis(s, &screen), c.message.empty() ? 1 : 0);
    EXPECT_EQ(d.block.hysteresisPeriod, c.after);
    if (c.message.empty()) {
      EXPECT_TRUE(t.ui.messages.empty());
      continue;
    }
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].caption, "Hysteresis setting");
    EXPECT_EQ(t.ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(t.ui.messages[0].text, c.message);
    EXPECT_EQ(screen.hysteresisText, std::to_string(c.after));
  }

  // Profiling counts six samples a second in sixteen bits.
  d.block.samplingMode = kProfilingMode;
  d.block.hysteresisPeriod = 10923;
  EXPECT_EQ(checkHysteresis(s, nullptr), 0);
  EXPECT_EQ(d.block.hysteresisPeriod, 10922u);
  EXPECT_EQ(t.ui.messages.back().text,
            "The maximum hysteresis period is 10922 seconds.\nThis maximum period has been "
            "inserted into the current setup.");
}

TEST_F(Threshold, Description) {
  d.block.thresholdChannel = 1;
  d.block.thresholdLevel = 10.5;
  EXPECT_EQ(describeThreshold(s), "Channel: 2 (Pressure), threshold:10.50, continuous");
  d.block.thresholdChannel = 0;
  d.block.thresholdTestMode = 1;
  d.checkPeriod = MakePeriod(0, 0, 30);
  EXPECT_EQ(describeThreshold(s), "Channel: 1 (Temperature), threshold:10.50, tested at 00:00:30");
  EXPECT_EQ(ChannelTypeName('R'), "PAR");
  EXPECT_EQ(ChannelTypeName('E'), "Echo");
  EXPECT_EQ(ChannelTypeName('Q'), "Unknown");
}

}  // namespace
}  // namespace kts
