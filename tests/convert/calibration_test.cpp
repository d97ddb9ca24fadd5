#include "convert/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kts {
namespace {

constexpr Coefficients kThermistor{0.0035, -0.00025, 2.7e-06, 2.3e-08};

TEST(Thermistor, CheckValuesWithDefaultCoefficients) {
  struct Row {
    int32_t raw;
    double celsius;
  };
  const Row rows[] = {{1677722, 64.234996},  {4194304, 36.578301},   {8388608, 12.564286},
                      {12582912, -8.451374}, {15099494, -26.971742}, {16777215, -152.670943},
                      {16777216, -273.15}};
  for (const Row& r : rows)
    EXPECT_NEAR(ConvertTemperature(r.raw, kThermistor), r.celsius, 0.51e-6) << r.raw;
  EXPECT_DOUBLE_EQ(ConvertTemperature(8388608, kThermistor), 1 / 0.0035 - 273.15);
}

TEST(Thermistor, InvalidWordsAndCoefficientsGiveTheMarker) {
  for (int32_t raw : {0, -1, -5000000, 16777217, 30000000})
    EXPECT_EQ(ConvertTemperature(raw, kThermistor), -1000.0) << raw;
  EXPECT_EQ(ConvertTemperature(8388608, {0, 1, 0, 0}), -1000.0);  // s = 0
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ConvertTemperature(4194304, {nan, 0, 0, 0}), -1000.0);
  EXPECT_EQ(ConvertTemperature(4194304, {inf, 0, 0, 0}), -1000.0);
  EXPECT_EQ(ConvertTemperature(4194304, {0.0035, -inf, 0, 0}), -1000.0);
}

TEST(Polynomial, CheckValues) {
  EXPECT_DOUBLE_EQ(ConvertPolynomial(8388608, {0, 1, 0, 0}), 0.5);
  EXPECT_DOUBLE_EQ(ConvertPolynomial(25165824, {0, 1, 0, 0}), 1.5);
  EXPECT_DOUBLE_EQ(ConvertPolynomial(4194304, {1, 2, 3, 4}), 1.75);
  EXPECT_DOUBLE_EQ(ConvertPolynomial(-1048576, {1, 2, 3, 4}), 0.8857421875);
}

TEST(ConvertRaw, TemperatureEquationForTypeTAndEveryChannelOfAnHvModel) {
  EXPECT_NEAR(ConvertRaw(8388608, 'T', kThermistor, false), 12.564286, 1e-6);
  EXPECT_DOUBLE_EQ(ConvertRaw(8388608, 'P', {0, 1, 0, 0}, false), 0.5);
  EXPECT_NEAR(ConvertRaw(8388608, 'P', kThermistor, true), 12.564286, 1e-6);
  EXPECT_EQ(ConvertRaw(0, 'P', {0, 1, 0, 0}, true), -1000.0);
}

TEST(Rollover, ClassesApplyWithBitZeroOfTheCapabilityByte) {
  // Class 2 (conductivity): from 0xFD70A2 on.
  EXPECT_EQ(CorrectRollover(0xFD70A1, 'C', 1, false), 0xFD70A1);
  EXPECT_EQ(CorrectRollover(0xFD70A2, 'C', 1, false), 0xFD70A2 - 16777216);
  // Class 1 (pressure): from 0xDFFFFF on.
  EXPECT_EQ(CorrectRollover(0xDFFFFE, 'P', 1, false), 0xDFFFFE);
  EXPECT_EQ(CorrectRollover(0xDFFFFF, 'P', 1, false), 0xDFFFFF - 16777216);
  // Class 0 (temperature) never moves.
  EXPECT_EQ(CorrectRollover(0xFFFFFF, 'T', 1, false), 0xFFFFFF);
  // 'A' is class 2 unless the logger reports engineering units level 1.
  EXPECT_EQ(CorrectRollover(0xE00000, 'A', 1, false), 0xE00000);
  EXPECT_EQ(CorrectRollover(0xE00000, 'A', 1, true), 0xE00000 - 16777216);
  // Unknown letters take the 'U' row's class 1.
  EXPECT_EQ(CorrectRollover(0xE00000, 'Q', 1, false), 0xE00000 - 16777216);
  // Only 24 bits of the word count.
  EXPECT_EQ(CorrectRollover(0x7F000010, 'T', 1, false), 0x10);
}

TEST(Rollover, OddWordsMoveTowardsTheirSignBitWithoutTheCapability) {
  EXPECT_EQ(CorrectRollover(0x000011, 'T', 0xFE, false), 0x000011 + 16777216);
  EXPECT_EQ(CorrectRollover(0x800001, 'T', 0xFE, false), 0x800001 - 16777216);
  EXPECT_EQ(CorrectRollover(0x800002, 'T', 0xFE, false), 0x800002);
}

}  // namespace
}  // namespace kts
