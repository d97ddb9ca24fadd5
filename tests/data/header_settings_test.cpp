#include "data/header_settings.h"

#include <gtest/gtest.h>

#include <array>

#include "convert/calibration.h"
#include "core/checksum.h"

namespace kts {
namespace {

constexpr Coefficients kIdentity{0.0, 1.0, 0.0, 0.0};

// A 30-byte parameter block as a logger above firmware 2.65 keeps it: the
// last byte makes the block sum to 0xA5.
class HeaderSettingsTest : public ::testing::Test {
 protected:
  HeaderSettingsTest() {
    ctx.identity.model = "QZ-740";
    ctx.identity.firmware = 3.00f;
    for (auto& c : ctx.coefficients.c) c = kIdentity;
    layout.headerLength = 30;
    layout.channels = 2;
    layout.types = {'P', 'T'};
  }

  void set24(size_t at, uint32_t v) {
    header[at] = static_cast<uint8_t>(v >> 16);
    header[at + 1] = static_cast<uint8_t>(v >> 8);
    header[at + 2] = static_cast<uint8_t>(v);
  }
  bool decode() {
    header[29] = 0;
    header[29] = TableCheckByte(header.data(), 29);
    return DecodeHeaderSettings(header, layout, ctx, d);
  }

  std::array<uint8_t, 30> header{};
  ImageLayout layout;
  DecodeContext ctx;
  DeploymentParameters d;
};

TEST_F(HeaderSettingsTest, ThresholdStartCodesBecomeStartModesAndLevels) {
  header[15] = 0x80 | 2;
  header[16] = 255;
  set24(17, 0x400000);
  set24(20, 0x123456);
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.powerFlag, kPowerFlag);
  EXPECT_EQ(d.block.startMode, kStartAboveThreshold);
  EXPECT_EQ(d.block.thresholdChannel, 0u);
  EXPECT_EQ(d.block.thresholdRaw, 0x400000u);  // level A is the threshold for codes 2 and 3
  EXPECT_EQ(d.block.thresholdRawLimit, 0xDFFFFFu);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, 0.25);
  EXPECT_DOUBLE_EQ(d.block.thresholdLimitValue, 0xDFFFFF / 16777216.0);
  EXPECT_EQ(d.block.thresholdTestMode, 0u);

  // Codes 4 and 5 read as threshold starts only with the limit at its ceiling.
  header[15] = 4;
  set24(17, 0xDFFFFF);
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.startMode, kStartAboveThreshold);
  EXPECT_EQ(d.block.thresholdRaw, 0x123456u);
  header[15] = 5;
  set24(17, 0x200000);
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.startMode, 5u);
  EXPECT_EQ(d.block.powerFlag, 0u);

  header[15] = 1;
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.startMode, kStartNow);
  header[15] = 0x40 | 1;  // bit 6 without the profiling capability: an unknown code
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.startMode, kStartAtTime);
  EXPECT_EQ(d.block.samplingMode, 0u);
  ctx.description.profiling6Hz = true;
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.startMode, kStartNow);
  EXPECT_EQ(d.block.samplingMode, kProfilingMode);
}

TEST_F(HeaderSettingsTest, ATemperatureThresholdSwapsAboveAndBelow) {
  header[15] = 3;
  header[16] = 1;
  set24(17, 0x800000);
  ctx.coefficients.c[1] = {3.354e-3, 2.56e-4, 0.0, 0.0};
  ASSERT_TRUE(decode());
  EXPECT_EQ(d.block.thresholdChannel, 1u);
  EXPECT_EQ(d.block.startMode, kStartAboveThreshold);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, ConvertTemperature(0x800000, ctx.coefficients.c[1]));
}

TEST_F(HeaderSettingsTest, AveragingRealTimeCheckPeriodAndHysteresisNeedTheirCapability) {
  header[23] = 60;  // 60 readings of 1/6 s
  header[25] = 13;
  header[26] = 0x01;
  header[27] = 0x30;
  header[28] = 0x00;
  d.realTimeOutput = 0;
  ASSERT_TRUE(decode());
  EXPECT_FALSE(d.averagingEnabled);
  EXPECT_EQ(d.averagingPeriod, 1u);
  EXPECT_EQ(d.realTimeOutput, 0u);
  EXPECT_EQ(PeriodSeconds(d.checkPeriod), 0);
  EXPECT_EQ(d.block.thresholdTestMode, 0u);

  ctx.description.averaging = true;
  ctx.description.externalDataConnector = true;
  ctx.description.powerSaveThresholding = true;
  ASSERT_TRUE(decode());
  EXPECT_TRUE(d.averagingEnabled);
  EXPECT_EQ(d.averagingPeriod, 10u);
  EXPECT_EQ(d.realTimeOutput, 1u);
  EXPECT_EQ(d.realTimeBaudCode, 13u);
  EXPECT_EQ(d.checkPeriod, MakePeriod(1, 30, 0));
  EXPECT_EQ(d.block.thresholdTestMode, 1u);

  header[23] = 0xA1;  // 64,801 readings: beyond three hours
  header[24] = 0xFD;
  ASSERT_TRUE(decode());
  EXPECT_FALSE(d.averagingEnabled);
}

TEST(HeaderHysteresis, CountsBecomeSecondsBySamplingPeriodOrSixHertz) {
  DecodeContext ctx;
  ctx.identity.firmware = 2.00f;  // no byte-sum check at this firmware
  ctx.description.hysteresis = true;
  ImageLayout layout;
  layout.headerLength = 30;
  DeploymentParameters d;
  d.samplingPeriod = MakePeriod(0, 0, 10);
  std::array<uint8_t, 31> header{};
  header[29] = 3;
  ASSERT_TRUE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_TRUE(d.hysteresisEnabled);
  EXPECT_EQ(d.block.hysteresisPeriod, 30u);

  ctx.description.profiling6Hz = true;
  header[15] = 0x40;
  header[29] = 0x2C;  // 300 readings at 6 Hz
  header[30] = 0x01;
  ASSERT_TRUE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_EQ(d.block.hysteresisPeriod, 50u);

  d.samplingPeriod = MakePeriod(24, 0, 0);
  header[15] = 0;
  header[29] = header[30] = 0xFF;  // would overflow 32 bits in seconds
  ASSERT_TRUE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_EQ(d.block.hysteresisPeriod, UINT32_MAX);

  header[29] = header[30] = 0;
  ASSERT_TRUE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_FALSE(d.hysteresisEnabled);
}

TEST_F(HeaderSettingsTest, AHeaderThatFailsItsSumResetsTheSettings) {
  d.block.startMode = kStartBelowThreshold;
  d.block.thresholdLevel = 12.5;
  d.averagingEnabled = true;
  d.averagingPeriod = 30;
  d.hysteresisEnabled = true;
  d.block.hysteresisPeriod = 60;
  d.checkPeriod = MakePeriod(0, 5, 0);
  header[15] = 2;
  header[29] = 0;
  header[29] = static_cast<uint8_t>(TableCheckByte(header.data(), 29) + 1);
  EXPECT_FALSE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_EQ(d.block.startMode, kStartAtTime);
  EXPECT_DOUBLE_EQ(d.block.thresholdLevel, 0.0);
  EXPECT_FALSE(d.averagingEnabled);
  EXPECT_EQ(d.averagingPeriod, 1u);
  EXPECT_FALSE(d.hysteresisEnabled);
  EXPECT_EQ(d.block.hysteresisPeriod, 0u);
  EXPECT_EQ(PeriodSeconds(d.checkPeriod), 0);

  // Up to firmware 2.65 the block carries no sum.
  ctx.identity.firmware = 2.65f;
  EXPECT_TRUE(DecodeHeaderSettings(header, layout, ctx, d));
  EXPECT_EQ(d.block.startMode, kStartAboveThreshold);
}

TEST_F(HeaderSettingsTest, AShortHeaderReadsItsMissingFieldsAsZero) {
  ctx.identity.firmware = 2.00f;
  ctx.description.averaging = true;
  const std::array<uint8_t, 18> shortHeader{};
  header[16] = 200;  // a channel no logger has
  d.block.startMode = kStartNow;
  EXPECT_TRUE(DecodeHeaderSettings(shortHeader, layout, ctx, d));
  EXPECT_EQ(d.block.startMode, kStartAtTime);
  EXPECT_FALSE(d.averagingEnabled);
  EXPECT_TRUE(DecodeHeaderSettings(std::span<const uint8_t>(header.data(), 17), layout, ctx, d));
  EXPECT_EQ(d.block.thresholdChannel, 0u);
}

}  // namespace
}  // namespace kts
