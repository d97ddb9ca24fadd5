#include "deploy/date_time_picker_model.h"

#include <gtest/gtest.h>

#include "deploy/validation.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;

class Picker : public DeployTest {
 protected:
  DateTimePickerModel p;
  void SetUp() override {
    DeployTest::SetUp();
    s.description.averaging = true;
    s.description.profiling6Hz = true;
  }
};

TEST_F(Picker, OpeningProposesAStartAheadAndAnEndTheMemoryCanHold) {
  // Start and end in the past: the start becomes the host time and the end
  // the time the memory lasts: 2 channels at 10 s on a standard memory.
  UseChannels("TP");
  d.startTime = MakeTime(2026, 1, 1);
  d.endTime = MakeTime(2026, 2, 1);
  d.samplingPeriod = MakePeriod(0, 0, 10);
  const TimeRecord host = MakeTime(2026, 12, 7, 12, 5, 0, 250);
  t.clock.set(host);
  PickerOpen(s, p);
  EXPECT_EQ(d.startTime, MakeTime(2026, 12, 7, 12, 5, 0));
  EXPECT_EQ(DiffSeconds(d.endTime, d.startTime), 3'269'920);
  EXPECT_EQ(p.choice, SamplingChoice::TenSeconds);
  EXPECT_FALSE(p.periodPickerShown);
  EXPECT_EQ(p.screen.message.text.rfind("Estimates:", 0), 0u);  // valid, so estimated

  // A slow period is capped at 365 days; a start and end ahead are kept.
  d.startTime = MakeTime(2020, 1, 1);
  d.endTime = MakeTime(2020, 2, 1);
  d.samplingPeriod = MakePeriod(1, 0, 0);
  PickerOpen(s, p);
  EXPECT_EQ(DiffSeconds(d.endTime, d.startTime), 31'536'000);
  EXPECT_EQ(p.choice, SamplingChoice::Hour);
  const TimeRecord start = MakeTime(2027, 1, 1), end = MakeTime(2027, 2, 1);
  d.startTime = start;
  d.endTime = end;
  PickerOpen(s, p);
  EXPECT_EQ(d.startTime, start);
  EXPECT_EQ(d.endTime, end);

  // Discard puts back what the deployment held, not what the picker showed.
  d.startTime = MakeTime(2020, 1, 1);
  PickerOpen(s, p);
  PickerDiscard(s, p);
  EXPECT_EQ(d.startTime, MakeTime(2020, 1, 1));
  EXPECT_EQ(p.outcome, DialogOutcome::Discarded);
}

TEST_F(Picker, ChoiceFollowsTheDeploymentOnOpening) {
  d.samplingPeriod = MakePeriod(24, 0, 0);
  PickerOpen(s, p);
  EXPECT_EQ(p.choice, SamplingChoice::Day);
  EXPECT_EQ(p.periodPicker, MakePeriod(0, 0, 0));  // a day shows as 00:00:00

  d.block.samplingMode = kProfilingMode;
  d.averagingEnabled = true;
  PickerOpen(s, p);
  EXPECT_EQ(p.choice, SamplingChoice::Profiling);
  EXPECT_FALSE(p.averagingChecked);
  EXPECT_STREQ(p.averagingLabel, "Averaging prohibited by profiling");

  // Without the capability profiling is neither chosen nor offered.
  s.description.profiling6Hz = false;
  PickerOpen(s, p);
  EXPECT_EQ(p.choice, SamplingChoice::LetMeChoose);
  EXPECT_EQ(PickerChooseSampling(s, p, SamplingChoice::Profiling), 0);
}

TEST_F(Picker, SamplingChoicesAndThePeriodPicker) {
  PickerOpen(s, p);
  d.averagingEnabled = true;
  p.averagingChecked = true;
  ASSERT_EQ(PickerChooseSampling(s, p, SamplingChoice::Profiling), 1);
  EXPECT_EQ(d.block.samplingMode, kProfilingMode);
  EXPECT_FALSE(d.averagingEnabled);  // profiling cannot average
  EXPECT_EQ(PickerSetAveraging(s, p, true), 0);

  ASSERT_EQ(PickerChooseSampling(s, p, SamplingChoice::Day), 1);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(24, 0, 0));
  EXPECT_EQ(d.block.samplingMode, 0u);
  EXPECT_TRUE(p.averagingBoxEnabled);
  EXPECT_STREQ(p.averagingLabel, "Enable averaging:");
  EXPECT_EQ(PickerSetPeriod(s, p, MakePeriod(0, 5, 0)), 0);  // picker hidden

  ASSERT_EQ(PickerChooseSampling(s, p, SamplingChoice::LetMeChoose), 1);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(24, 0, 0));
  d.block.powerFlag = kPowerFlag;
  s.description.readingTimeMs = 100'000;  // a period the validation refuses
  ASSERT_EQ(PickerSetPeriod(s, p, MakePeriod(0, 0, 0)), 1);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(24, 0, 0));
  ASSERT_EQ(PickerSetPeriod(s, p, MakePeriod(0, 0, 5)), 1);
  EXPECT_EQ(d.block.powerFlag, 0u);  // cleared before the validation
  EXPECT_EQ(p.screen.message.text,
            "Error: Sampling period shorter than minimum period defined by parameters and "
            "sensors.");
  EXPECT_EQ(PickerSetPeriod(s, p, MakePeriod(25, 0, 0)), 0);
  EXPECT_EQ(PickerSetPeriod(s, p, MakePeriod(0, 60, 0)), 0);
}

TEST_F(Picker, AveragingPeriodIsClamped) {
  d.samplingPeriod = MakePeriod(6, 0, 0);
  PickerOpen(s, p);
  EXPECT_EQ(PickerSetAveragingPeriod(s, p, MakePeriod(0, 10, 0)), 0);  // box unchecked
  ASSERT_EQ(PickerSetAveraging(s, p, true), 1);
  EXPECT_TRUE(d.averagingEnabled);
  ASSERT_EQ(PickerSetAveragingPeriod(s, p, MakePeriod(0, 0, 0)), 1);
  EXPECT_EQ(d.averagingPeriod, 1u);
  EXPECT_EQ(p.averagingPicker, MakePeriod(0, 0, 1));
  ASSERT_EQ(PickerSetAveragingPeriod(s, p, MakePeriod(4, 0, 0)), 1);
  EXPECT_EQ(d.averagingPeriod, 10'800u);
  EXPECT_EQ(p.averagingPicker, MakePeriod(3, 0, 0));

  // Without the capability the accepted deployment does not average.
  s.description.averaging = false;
  PickerAccept(s, p, nullptr);
  EXPECT_FALSE(d.averagingEnabled);
  EXPECT_EQ(d.averagingPeriod, 0u);
}

TEST_F(Picker, StartNowAndChangedTimes) {
  PickerOpen(s, p);
  ASSERT_EQ(PickerSetNow(s, p, true), 1);
  EXPECT_EQ(d.block.startMode, kStartNow);
  EXPECT_STREQ(p.startLabel, "Start time - NOW");
  EXPECT_FALSE(p.startControlsShown);
  EXPECT_EQ(d.startTime, loggerNow);
  EXPECT_EQ(PickerSetStart(s, p, MakeTime(2027, 1, 1)), 0);

  // An end that is no longer ahead moves to the logger time while start-now…
  ASSERT_EQ(PickerSetEnd(s, p, MakeTime(2026, 1, 1)), 1);
  EXPECT_EQ(p.screen.message.text, "Error: End time before the current time.");
  EXPECT_EQ(d.endTime, loggerNow);

  // …and to the start otherwise.
  ASSERT_EQ(PickerSetNow(s, p, false), 1);
  EXPECT_EQ(d.block.startMode, kStartAtTime);
  EXPECT_STREQ(p.startLabel, "Start time");
  const TimeRecord start = MakeTime(2027, 3, 1, 10, 0, 0);
  ASSERT_EQ(PickerSetStart(s, p, start), 1);
  EXPECT_EQ(p.screen.message.text, "Error: Start time greater than or equal to End time.");
  EXPECT_EQ(d.endTime, start);
  ASSERT_EQ(PickerSetEnd(s, p, MakeTime(2027, 3, 2, 10, 0, 0, 999)), 1);
  EXPECT_EQ(validateDeployment(s, &p.screen, true), kDeploymentValid);
}

TEST_F(Picker, AcceptTakesThePickersAndRelabelsTheMainButton) {
  s.setup.mainButton = kResumeButton;
  d.block.startMode = kStartNow;
  PickerOpen(s, p);
  PickerChooseSampling(s, p, SamplingChoice::Profiling);
  PickerAccept(s, p, nullptr);
  EXPECT_EQ(d.block.samplingMode, kProfilingMode);
  EXPECT_EQ(s.setup.mainButton, kEnableLoggingButton);
  EXPECT_TRUE(d.changedSinceBatch);
  EXPECT_EQ(p.outcome, DialogOutcome::Accepted);

  // Discard after changes restores the start mode and sampling mode too.
  PickerOpen(s, p);
  PickerSetNow(s, p, false);
  PickerChooseSampling(s, p, SamplingChoice::Minute);
  PickerDiscard(s, p);
  EXPECT_EQ(d.block.startMode, kStartNow);
  EXPECT_EQ(d.block.samplingMode, kProfilingMode);
}

}  // namespace
}  // namespace kts
