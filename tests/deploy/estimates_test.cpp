#include "deploy/estimates.h"

#include <gtest/gtest.h>

#include <string_view>

#include "deploy/setup_screen.h"
#include "deploy_fixture.h"

namespace kts {
namespace {

using test::DeployTest;

int Current(LoggerSeries series, std::string_view types) {
  return EstimatorCurrent(
      series,
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(types.data()), types.size()));
}

TEST(EstimatorCurrent, ThermistorStringsAndChannels) {
  EXPECT_EQ(Current(LoggerSeries::Other, ""), 10);
  EXPECT_EQ(Current(LoggerSeries::Other, "TTTTTTT"), 10 + 7 * 2);
  EXPECT_EQ(Current(LoggerSeries::Other, "TTTTTTTT"), 10 + 14);
  EXPECT_EQ(Current(LoggerSeries::Other, std::string(15, 'T')), 10 + 14 + 7 * 2);
  EXPECT_EQ(Current(LoggerSeries::Other, std::string(16, 'T')), 10 + 15);
  EXPECT_EQ(Current(LoggerSeries::Other, std::string(23, 'T')), 10 + 15 + 7 * 2);
  EXPECT_EQ(Current(LoggerSeries::Other, std::string(24, 'T')), 10 + 16);
  EXPECT_EQ(Current(LoggerSeries::Other, std::string(25, 'T')), 10 + 15 + 9 * 2);
  EXPECT_EQ(Current(LoggerSeries::Other, "PCSLFGfgIiYyNHMVDRKQ"),
            10 + 2 + 7 + 7 + 5 + 15 * 4 + 30 * 2 + 6 * 2 + 15 + 2 * 5 + 100 + 2);
  // The -3070 and -4070 series draw their base current whatever they measure.
  EXPECT_EQ(Current(LoggerSeries::Series3070, "TPK"), 12);
  EXPECT_EQ(Current(LoggerSeries::Series4070, "TPK"), 5);
  EXPECT_EQ(SeriesOf("KTS-3070"), LoggerSeries::Series3070);
  EXPECT_EQ(SeriesOf("KTS-4070"), LoggerSeries::Series4070);
  EXPECT_EQ(SeriesOf("QZ-740"), LoggerSeries::Other);
}

// Temperature, pressure and conductivity (21 mA) on a standard memory.
class Estimates : public DeployTest {
 protected:
  SetupScreen screen;
  void ExpectLine(const char* memory, const char* battery, bool exceeds) {
    showEstimates(s, &screen);
    std::string expected = std::string("Estimates:\tthe memory usage is ") + memory +
                           "%\n\t\tand battery usage is " + battery + "mAH.";
    if (exceeds) expected += " This exceeds the nominal capacity.";
    EXPECT_EQ(screen.message.text, expected);
    EXPECT_EQ(screen.message.indicator,
              exceeds ? MessageIndicator::Info : MessageIndicator::Hidden);
  }
};

TEST_F(Estimates, CurrentTableEstimator) {
  LastingSeconds(86400);
  // 100 × 86400 / (217994 × 60); 1440 samples × 21 mA × 0.5 s + 86400 × 0.03.
  ExpectLine("0.7", "5", false);

  d.averagingEnabled = true;  // on 10.5 s a sample
  d.averagingPeriod = 10;
  ExpectLine("0.7", "89", false);

  d.averagingEnabled = false;
  d.block.powerFlag = kPowerFlag;  // kept powered: the whole day at 21 mA
  ExpectLine("0.7", "504", false);
  s.description.capabilityWordsRead = true;  // newer loggers draw half
  ExpectLine("0.7", "252", false);

  s.description.capabilityWordsRead = false;
  LastingSeconds(3 * 86400);
  ExpectLine("2.0", "1512", true);

  d.block.powerFlag = 0;
  d.block.samplingMode = kProfilingMode;  // six samples a second, always on
  LastingSeconds(86400);
  ExpectLine("237.8", "504", false);

  // A deployment whose end lies before its start is estimated as empty.
  d.block.samplingMode = 0;
  d.endTime = AddSeconds(d.startTime, -100);
  ExpectLine("0.0", "0", false);
}

TEST_F(Estimates, OlderSeriesUseTheirBaseCurrent) {
  s.link.identity.model = "HV-3070";
  UseChannels("T");
  LastingSeconds(86400);
  ExpectLine("0.2", "3", false);  // 1440 × 12 mA × 0.5 s + 2592 mAs
}

TEST_F(Estimates, ThresholdStartsCannotBeEstimated) {
  d.block.startMode = kStartBelowThreshold;
  screen.message.indicator = MessageIndicator::Warning;
  showEstimates(s, &screen);
  EXPECT_EQ(screen.message.text,
            "When set for thresholding, it is not possible to estimate the memory or battery "
            "usage");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Hidden);
}

// A -3070 logger with a capabilities table, one channel at 60 s for a day.
class ChargeEstimate : public Estimates {
 protected:
  void SetUp() override {
    Estimates::SetUp();
    s.link.identity.model = "KTS-3070";
    s.description.capabilityWordsRead = true;
    UseChannels("P");
    LastingSeconds(86400);
  }
};

TEST_F(ChargeEstimate, SamplesOnly) {
  showEstimates(s, &screen);
  EXPECT_EQ(screen.message.text, "Estimates:\tmemory usage is 0.1%\n\t\tbattery usage is 1mAH.");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Hidden);
  // 86400 × 100 / (2793462 × 60); (2.592 + 1440 × 0.0016) × 0.2777778.
  EXPECT_NEAR(d.estimatedMemoryPercent, 0.05155, 1e-4);
  EXPECT_NEAR(d.estimatedChargeMah, 1.36, 1e-3);
  EXPECT_EQ(chargeEstimate(s, nullptr), 1);
}

TEST_F(ChargeEstimate, Bursts) {
  d.burstEnabled = true;
  d.burstRate = 4;
  d.burstLength = 1024;
  d.burstPeriod = MakePeriod(1, 0, 0);
  // 8380386 bytes ÷ (60 × 6 + 24 + 1024 × 3) = 2424 hours of memory.
  EXPECT_EQ(chargeEstimate(s, &screen), 1);
  EXPECT_EQ(screen.message.text, "Estimates:\tmemory usage is 1.0%\n\t\tbattery usage is 4mAH.");
  EXPECT_NEAR(d.estimatedMemoryPercent, 100.0 / 101.0, 1e-4);
  // 24 bursts of 1024 samples over 256 s; 1416 samples outside them.
  EXPECT_NEAR(d.estimatedChargeMah, (2.592 + 24 * 0.35328 + 1416 * 0.0016) * 0.2777778, 1e-3);

  d.averagingEnabled = true;
  d.averagingPeriod = 300;  // longer than a burst: the excess is charged too
  chargeEstimate(s, nullptr);
  EXPECT_NEAR(d.estimatedChargeMah,
              (2.592 + 24 * 0.35328 + 0.21034 * 1416 + 24 * 0.0007 * 44) * 0.2777778, 1e-2);

  // Without a rate the bursts cannot be estimated; the samples still are.
  d.averagingEnabled = false;
  d.burstRate = 0;
  chargeEstimate(s, nullptr);
  EXPECT_NEAR(d.estimatedChargeMah, 1.36, 1e-3);
}

TEST_F(ChargeEstimate, NominalCapacity) {
  LastingSeconds(int64_t{100} * 86400);
  d.averagingEnabled = true;
  d.averagingPeriod = 50;  // about 1486 mAh
  s.link.identity.model = "KTS-QH-4070";
  showEstimates(s, &screen);
  EXPECT_EQ(screen.message.text, "Estimates:\tmemory usage is 5.2%\n\t\tbattery usage is 1486mAH.");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Hidden);

  s.link.identity.model = "KTS-4070";
  EXPECT_EQ(chargeEstimate(s, nullptr), 0);
  showEstimates(s, &screen);
  EXPECT_EQ(screen.message.text,
            "Estimates:\tmemory usage is 5.2%\n\t\tbattery usage is 1486mAH. This exceeds the "
            "nominal capacity.");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Info);
}

}  // namespace
}  // namespace kts
