#include "deploy/validation.h"

#include <gtest/gtest.h>

#include "core/time_format.h"
#include "deploy/setup_screen.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;

class Validation : public DeployTest {
 protected:
  SetupScreen screen;

  int Validate(ValidationOccasion occasion = ValidationOccasion::Edit) {
    return validateDeployment(s, &screen, true, occasion);
  }
  void ExpectRefused(int result, const char* message) {
    EXPECT_EQ(Validate(), result);
    EXPECT_EQ(screen.message.text, message);
    EXPECT_EQ(screen.message.indicator, MessageIndicator::Warning);
    EXPECT_FALSE(screen.enableLoggingEnabled);
  }
};

TEST_F(Validation, TimesMustBeInOrder) {
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_TRUE(screen.enableLoggingEnabled);
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Hidden);

  d.startTime = loggerNow;
  ExpectRefused(kStartNotAfterLoggerTime, "Error: Start time less than or equal to Logger time.");

  d.startTime = AddSeconds(loggerNow, 1);
  d.endTime = d.startTime;
  ExpectRefused(kStartNotBeforeEnd, "Error: Start time greater than or equal to End time.");

  // With start-now only the end is checked, against the logger time.
  d.block.startMode = kStartNow;
  d.endTime = loggerNow;
  ExpectRefused(kEndNotAfterLoggerTime, "Error: End time before the current time.");
  d.endTime = AddSeconds(loggerNow, 60);
  EXPECT_EQ(Validate(), kDeploymentValid);
}

TEST_F(Validation, WithoutAScreenTheMainSetupScreenIsUsed) {
  d.startTime = loggerNow;
  s.setup.enableLoggingEnabled = true;
  EXPECT_EQ(validateDeployment(s, nullptr, false), kStartNotAfterLoggerTime);
  EXPECT_EQ(s.setup.message.text, "Error: Start time less than or equal to Logger time.");
  EXPECT_FALSE(s.setup.enableLoggingEnabled);
}

// 3 channels on a standard memory hold 217994 samples (653982 readings).
TEST_F(Validation, StandardMemoryBoundary) {
  LastingSeconds(int64_t{217994} * 60 + 59);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_TRUE(t.ui.questions.empty());

  LastingSeconds(int64_t{217995} * 60);
  const TimeRecord start = d.startTime, end = d.endTime;
  const TimeRecord proposedEnd = AddSeconds(start, int64_t{217994 - 1} * 60);
  t.ui.questionAnswers.push_back(1);  // "Accept End Time"
  EXPECT_EQ(Validate(), kDeploymentValid);
  ASSERT_EQ(t.ui.questions.size(), 1u);
  const Question& q = t.ui.questions[0];
  EXPECT_EQ(q.caption, "Too many samples requested");
  EXPECT_EQ(q.text, "Your choice of End time at " + FormatDisplayDateTime(end).str() +
                        "\n with a Sampling period of 00:01:00 requires too many samples for "
                        "this logger.\n\nYou may change the End time to " +
                        FormatDisplayDateTime(proposedEnd).str() +
                        "\n\n or the Sampling period to 00:01:01.");
  ASSERT_EQ(q.buttons.size(), 2u);
  EXPECT_EQ(q.buttons[0].text, "Accept End Time");
  EXPECT_EQ(q.buttons[1].text, "Accept Sampling Period");
  EXPECT_EQ(d.endTime, proposedEnd);
  EXPECT_EQ(d.startTime, start);
  EXPECT_TRUE(screen.enableLoggingEnabled);
}

TEST_F(Validation, AcceptingThePeriodRunsTheChecksAgain) {
  LastingSeconds(int64_t{217995} * 60);
  d.block.powerFlag = kPowerFlag;     // stale: recomputed by the second round
  t.ui.questionAnswers.push_back(2);  // "Accept Sampling Period"
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(0, 1, 1));
  EXPECT_EQ(d.block.powerFlag, 0u);
  EXPECT_EQ(t.ui.questions.size(), 1u);
  EXPECT_TRUE(d.changedSinceBatch);
}

TEST_F(Validation, ClosingTheQuestionRefusesTheDeployment) {
  LastingSeconds(int64_t{217995} * 60);
  const TimeRecord end = d.endTime;
  ExpectRefused(kTooManySamples, "Error: Too many samples requested.");
  EXPECT_EQ(d.endTime, end);
  EXPECT_EQ(d.samplingPeriod, MakePeriod(0, 1, 0));
}

TEST_F(Validation, StartNowProposalStartsAtTheLoggerTime) {
  d.block.startMode = kStartNow;
  d.startTime = MakeTime(2020, 1, 1);
  d.samplingPeriod = MakePeriod(0, 0, 0);  // a day
  d.endTime = AddSeconds(loggerNow, int64_t{217995} * 86400);
  t.ui.questionAnswers.push_back(1);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.startTime, loggerNow);
  EXPECT_EQ(d.endTime, AddSeconds(loggerNow, int64_t{217993} * 86400));
}

TEST_F(Validation, ExtraLargeMemoryKeepsTwentySamplesInReserve) {
  s.description.memoryType = 3;
  LastingSeconds(int64_t{2793456 / 3 + 1} * 60);
  t.ui.questionAnswers.push_back(1);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(DiffSeconds(d.endTime, d.startTime), int64_t{2793456 / 3 - 20} * 60);

  s.description.memoryType = 2;  // large: one in reserve
  LastingSeconds(int64_t{1300000 / 3 + 1} * 60);
  t.ui.questionAnswers.push_back(1);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(DiffSeconds(d.endTime, d.startTime), int64_t{1300000 / 3 - 1} * 60);
}

TEST_F(Validation, ProfilingAndWaveLoggersAreOfferedOnlyTheEndTime) {
  d.block.samplingMode = kProfilingMode;
  LastingSeconds(653984 / 18 + 1);    // six samples a second on 3 channels
  t.ui.questionAnswers.push_back(2);  // a hidden button is no answer
  ExpectRefused(kTooManySamples, "Error: Too many samples requested.");
  ASSERT_EQ(t.ui.questions.size(), 1u);
  EXPECT_EQ(t.ui.questions[0].buttons.size(), 1u);
  EXPECT_NE(t.ui.questions[0].text.find("\n with 6Hz Sampling requires too many samples"),
            std::string::npos);
  EXPECT_EQ(t.ui.questions[0].text.substr(t.ui.questions[0].text.size() - 2), "\n\n");
  t.ui.questionAnswers.push_back(1);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(DiffSeconds(d.endTime, d.startTime), 653984 / 18);

  d.block.samplingMode = 0;
  s.description.waves = true;
  LastingSeconds(int64_t{217995} * 60);
  t.ui.questions.clear();
  Validate();
  ASSERT_EQ(t.ui.questions.size(), 1u);
  EXPECT_EQ(t.ui.questions[0].buttons.size(), 1u);
  const std::string& text = t.ui.questions[0].text;
  EXPECT_EQ(text.back(), '.');
  EXPECT_EQ(text.find("or the Sampling period"), std::string::npos);
}

TEST_F(Validation, ThresholdStartsEndAYearAfterTheLoggerTime) {
  d.block.startMode = kStartAboveThreshold;
  d.samplingPeriod = MakePeriod(0, 0, 1);
  d.endTime = AddSeconds(loggerNow, 10);
  EXPECT_EQ(Validate(), kDeploymentValid);  // only while the main setup screen is open
  EXPECT_EQ(d.endTime, AddSeconds(loggerNow, 10));

  s.setup.open = true;
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.endTime, MakeTime(2027, 12, 7, 12, 0, 0));
  EXPECT_TRUE(t.ui.questions.empty());  // a year at 1 s would not fit: no capacity test

  d.block.startMode = kStartBelowThreshold;
  d.loggerTime = MakeTime(2028, 2, 29, 8, 30, 0);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.endTime, MakeTime(2029, 2, 28, 8, 30, 0));
}

TEST_F(Validation, AveragingLongerThanThePeriodIsRefused) {
  d.samplingPeriod = MakePeriod(0, 0, 30);
  d.averagingEnabled = true;
  d.averagingPeriod = 31;
  ExpectRefused(kPeriodShorterThanAveraging,
                "Error: Sampling period shorter than Averaging period.");
  d.averagingPeriod = 10;
  EXPECT_EQ(Validate(), kDeploymentValid);

  // Switched off, the averaging period is forgotten.
  d.averagingEnabled = false;
  d.averagingPeriod = 3600;
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.averagingPeriod, 0u);
}

// One channel, 1500 ms measurement and 1000 ms latency: the minimum period
// is 2 s and the logger powers down between samples from 3 s.
TEST_F(Validation, PowerFlagWindow) {
  UseChannels("P");
  s.description.readingTimeMs = 1500;
  s.description.latencyMs = 1000;
  d.block.powerFlag = kPowerFlag;
  d.samplingPeriod = MakePeriod(0, 0, 3);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.minimumPeriod, 2.0f);
  EXPECT_EQ(d.powerCyclePeriod, 3.0f);
  EXPECT_EQ(d.block.powerFlag, 0u);

  d.samplingPeriod = MakePeriod(0, 0, 2);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.block.powerFlag, kPowerFlag);

  d.samplingPeriod = MakePeriod(0, 0, 1);
  ExpectRefused(kPeriodShorterThanMinimum,
                "Error: Sampling period shorter than minimum period defined by parameters and "
                "sensors.");
  // Profiling is not held to the minimum period.
  d.block.samplingMode = kProfilingMode;
  LastingSeconds(60);
  EXPECT_EQ(Validate(), kDeploymentValid);
  EXPECT_EQ(d.block.powerFlag, 0u);
}

TEST_F(Validation, RealTimeOutputAndAveragingLengthenTheMinimumPeriod) {
  UseChannels("P");
  s.description.readingTimeMs = 900;
  // (1 × 3 + 13) × 10 000 / 1200 + 1 = 134 ms of real-time output.
  d.realTimeOutput = 1;
  d.realTimeBaud = 1200;
  computeMinimumPeriods(s);
  EXPECT_EQ(d.minimumPeriod, 2.0f);
  d.realTimeBaud = 0;  // then the port's rate, and never a division by zero
  s.ports.currentBaud = 0;
  computeMinimumPeriods(s);
  EXPECT_GT(d.minimumPeriod, 100.0f);

  d.realTimeOutput = 0;
  d.averagingEnabled = true;
  d.averagingPeriod = 10;  // (60 − 1) × 167 = 9853 ms
  computeMinimumPeriods(s);
  EXPECT_EQ(d.minimumPeriod, 11.0f);
  EXPECT_EQ(d.powerCyclePeriod, 12.0f);
}

TEST_F(Validation, ExistingSettingsOnlyCheckTheEnd) {
  s.setup.mainButton = kResumeEnableButton;
  d.startTime = AddSeconds(loggerNow, -3600);               // started an hour ago
  d.endTime = AddSeconds(loggerNow, int64_t{400} * 86400);  // more than the memory holds
  EXPECT_EQ(validateDeployment(s, nullptr, true, ValidationOccasion::Enable), kDeploymentValid);
  EXPECT_TRUE(t.ui.questions.empty());
  EXPECT_EQ(validateDeployment(s, nullptr, true, ValidationOccasion::Edit),
            kStartNotAfterLoggerTime);

  // Refreshing a screen whose settings came unchanged from a logger without
  // a capabilities table: an end that has passed marks the settings changed.
  d.endTime = loggerNow;
  EXPECT_EQ(validateDeployment(s, nullptr, true, ValidationOccasion::Refresh),
            kEndNotAfterLoggerTime);
  EXPECT_TRUE(d.changedSinceBatch);
  EXPECT_FALSE(ChecksExistingSettingsOnly(s, s.setup, ValidationOccasion::Refresh));

  d.changedSinceBatch = false;
  s.description.capabilityWordsRead = true;
  EXPECT_FALSE(ChecksExistingSettingsOnly(s, s.setup, ValidationOccasion::Refresh));
  s.description.words[0] = 0x80;
  EXPECT_TRUE(ChecksExistingSettingsOnly(s, s.setup, ValidationOccasion::Refresh));
  s.setup.mainButton = kEnableLoggingButton;
  EXPECT_FALSE(ChecksExistingSettingsOnly(s, s.setup, ValidationOccasion::Enable));
}

}  // namespace
}  // namespace kts
