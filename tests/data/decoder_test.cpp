#include "data/decoder.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

#include "convert/calibration.h"
#include "core/time_math.h"
#include "image_builder.h"

namespace kts {
namespace {

constexpr Coefficients kIdentity{0.0, 1.0, 0.0, 0.0};
constexpr Coefficients kThermistor{3.354e-3, 2.56e-4, 0.0, 0.0};
const TimeRecord kStart = MakeTime(2024, 3, 1, 12, 0, 0);

double Fraction(uint32_t word) {
  return word / 16777216.0;
}

class DecoderTest : public ::testing::Test {
 protected:
  DecoderTest() {
    ctx.identity.model = "QZ-740";
    ctx.identity.firmware = 3.00f;
    ctx.description.parameterBlockLength = 0;
    for (auto& c : ctx.coefficients.c) c = kIdentity;
  }

  void channels(std::initializer_list<uint8_t> types) {
    ctx.description.channelCount = static_cast<int>(types.size());
    size_t i = 0;
    for (uint8_t t : types) {
      ctx.description.channelTypes[i] = t;
      if (t == 'T') ctx.coefficients.c[i] = kThermistor;
      ++i;
    }
  }

  DecodeReport decode(const test::ImageBuilder& b, bool raw = false) {
    DecodeInput in;
    in.image = b.data.data();
    in.length = b.size();
    in.context = &ctx;
    in.startTime = start;
    in.samplePeriod = period;
    in.samplingMode = samplingMode;
    in.rawCounts = raw;
    return DecodeSamples(in, data);
  }

  float at(int channel, int sample) const { return data.row(channel)[sample]; }
  float minimum(int channel) const { return data.row(channel)[data.sampleCount]; }
  float maximum(int channel) const { return data.row(channel)[data.sampleCount + 1]; }
  const StampEntry& stamp(int i) const { return data.stamps[static_cast<size_t>(i)]; }

  DecodeContext ctx;
  DataSet data;
  TimeRecord start = kStart;
  TimeRecord period = MakePeriod(0, 0, 10);
  uint32_t samplingMode = 0;
};

TEST_F(DecoderTest, RecordsWithoutStampsFillRowsWithMinimumAndMaximumAfterTheSamples) {
  channels({'P', 'C'});
  test::ImageBuilder b;
  b.record({0x400000, 0x100000}).record({0x800000, 0x300000}).record({0x200000, 0x200000});
  b.word(0x7FFFFF);  // a last record the logger never finished
  decode(b);

  ASSERT_EQ(data.sampleCount, 3);
  EXPECT_EQ(data.stride, 3 + 2);  // laid out for 7 words / 2 channels
  EXPECT_EQ(data.measuredChannels, 2);
  EXPECT_EQ(data.totalChannels, 2);
  EXPECT_FLOAT_EQ(at(0, 1), 0.5f);
  EXPECT_FLOAT_EQ(at(1, 2), 0.125f);
  EXPECT_FLOAT_EQ(minimum(0), 0.125f);
  EXPECT_FLOAT_EQ(maximum(0), 0.5f);
  EXPECT_FLOAT_EQ(minimum(1), 0.0625f);
  EXPECT_FLOAT_EQ(maximum(1), 0.1875f);
  // Channel 1 of the unfinished record starts at data.row(1): it is not in the data.
  EXPECT_EQ(data.stampCount, 0);
  EXPECT_EQ(data.runningTime, AddSeconds(kStart, 30));
  EXPECT_EQ(SampleTime(data, 2), AddSeconds(kStart, 20));
}

TEST_F(DecoderTest, AFirstColdStartupStampGivesSampleZeroItsTime) {
  channels({'P'});
  const TimeRecord cold = MakeTime(2024, 3, 5, 8, 30, 15);
  test::ImageBuilder b;
  b.stamp("CLD", cold).word(0x100000).word(0x200000).word(0x300000);
  decode(b);

  ASSERT_EQ(data.sampleCount, 3);
  ASSERT_EQ(data.stampCount, 1);
  EXPECT_EQ(stamp(0).type, kStampCold);
  EXPECT_EQ(stamp(0).sampleIndex, 0);
  EXPECT_EQ(stamp(0).time, cold);
  EXPECT_EQ(stamp(0).marker, 8);
  EXPECT_EQ(SampleTime(data, 0), cold);
  EXPECT_EQ(SampleTime(data, 2), AddSeconds(cold, 20));
  EXPECT_EQ(data.runningTime, AddSeconds(cold, 30));
}

TEST_F(DecoderTest, AStampInsideARecordAbandonsItAndTheNextWordStartsAFreshRecord) {
  channels({'P', 'C', 'D'});
  const TimeRecord t = MakeTime(2024, 3, 1, 13, 0, 0);
  test::ImageBuilder b;
  b.record({0x100000, 0x100000, 0x100000});
  b.word(0x200000).word(0xF00000 - 0x100000);  // two channels of record 1
  b.stamp("TIM", t);
  b.record({0x300000, 0x300000, 0x300000});
  decode(b);

  // Two records completed, one abandoned: three samples, none lost.
  ASSERT_EQ(data.sampleCount, 3);
  EXPECT_FLOAT_EQ(at(0, 1), 0.125f);
  EXPECT_FLOAT_EQ(at(2, 1), kInvalidValue);
  EXPECT_FLOAT_EQ(at(0, 2), 0.1875f);
  ASSERT_EQ(data.stampCount, 1);
  EXPECT_EQ(stamp(0).sampleIndex, 1);
  // The words it got count; the invalid marker does not.
  EXPECT_FLOAT_EQ(maximum(1), static_cast<float>(Fraction(0xE00000)));
  EXPECT_FLOAT_EQ(minimum(2), 0.0625f);
  EXPECT_FLOAT_EQ(maximum(2), 0.1875f);
  EXPECT_EQ(SampleTime(data, 2), AddSeconds(t, 10));
}

TEST_F(DecoderTest, BackToBackStampsShareTheSampleIndexAndTheLaterSetsTheTime) {
  channels({'P'});
  const TimeRecord first = MakeTime(2024, 3, 1, 12, 0, 30);
  const TimeRecord second = MakeTime(2024, 3, 1, 14, 0, 0);
  test::ImageBuilder b;
  b.word(0x100000).stamp("STP", first).stamp("WRM", second).word(0x200000);
  decode(b);

  ASSERT_EQ(data.sampleCount, 2);
  ASSERT_EQ(data.stampCount, 2);
  EXPECT_EQ(stamp(0).sampleIndex, 1);
  EXPECT_EQ(stamp(1).sampleIndex, 1);
  EXPECT_EQ(stamp(1).type, kStampWarm);
  EXPECT_EQ(SampleTime(data, 1), second);
  EXPECT_EQ(data.runningTime, AddSeconds(second, 10));
}

TEST_F(DecoderTest, AZeroWordWithoutACodeIsTheValueZero) {
  channels({'P'});
  test::ImageBuilder b;
  b.word(0).bytes({'X', 'Y', 'Z'}).word(0x400000);
  b.word(0).bytes({'T', 'I'});  // a code cut off by the end of the image
  decode(b);

  ASSERT_EQ(data.sampleCount, 4);
  EXPECT_FLOAT_EQ(at(0, 0), 0.0f);
  EXPECT_FLOAT_EQ(at(0, 1), static_cast<float>(Fraction(0x58595A)));
  EXPECT_FLOAT_EQ(at(0, 2), 0.25f);
  EXPECT_FLOAT_EQ(at(0, 3), 0.0f);
  EXPECT_EQ(data.stampCount, 0);
}

TEST_F(DecoderTest, AStampCutShortByTheEndOfTheImageEndsTheData) {
  channels({'P'});
  test::ImageBuilder b;
  b.word(0x100000).word(0).bytes({'T', 'I', 'M', 0x24, 0x03});
  const DecodeReport report = decode(b);
  EXPECT_EQ(data.sampleCount, 1);
  EXPECT_EQ(data.stampCount, 0);
  EXPECT_EQ(report.stampsRead, 0);
}

TEST_F(DecoderTest, ThermistorWordsThatCannotBeConvertedStayOutOfMinimumAndMaximum) {
  channels({'T'});
  ctx.description.extendedChannelCaps[1] = 0xFE;  // odd words roll over
  test::ImageBuilder b;
  b.word(0x400000).word(0).word(0x000001).word(0xC00000);
  decode(b);

  ASSERT_EQ(data.sampleCount, 4);
  EXPECT_FLOAT_EQ(at(0, 1), kInvalidValue);  // word 0
  EXPECT_FLOAT_EQ(at(0, 2), kInvalidValue);  // 1 + 2^24 after rollover
  const float low = static_cast<float>(ConvertTemperature(0xC00000, kThermistor));
  const float high = static_cast<float>(ConvertTemperature(0x400000, kThermistor));
  EXPECT_FLOAT_EQ(at(0, 0), high);
  EXPECT_FLOAT_EQ(minimum(0), std::min(low, high));
  EXPECT_FLOAT_EQ(maximum(0), std::max(low, high));
}

TEST_F(DecoderTest, AChannelWithoutAnyValidValueKeepsTheFixedRange) {
  channels({'T', 'P'});
  test::ImageBuilder b;
  b.record({0, 0x100000}).record({0, 0x200000});
  decode(b);
  EXPECT_FLOAT_EQ(minimum(0), 300.0f);
  EXPECT_FLOAT_EQ(maximum(0), -300.0f);
  EXPECT_FLOAT_EQ(minimum(1), 0.0625f);

  decode(b, /*raw=*/true);
  EXPECT_FLOAT_EQ(at(0, 0), 0.0f);  // raw counts: no equation, no invalid value
  EXPECT_FLOAT_EQ(minimum(0), 0.0f);
  EXPECT_FLOAT_EQ(maximum(0), 0.0f);
}

TEST_F(DecoderTest, RolloverFollowsTheChannelClassBeforeConversion) {
  channels({'P', 'C', 'M'});
  test::ImageBuilder b;
  b.record({0xE00000, 0xE00000, 0xFFFFFF});
  b.record({0xFE0000, 0xFE0000, 0x100000});
  decode(b);
  EXPECT_FLOAT_EQ(at(0, 0), static_cast<float>(Fraction(0xE00000) - 1.0));  // class 1
  EXPECT_FLOAT_EQ(at(1, 0), static_cast<float>(Fraction(0xE00000)));        // class 2: below
  EXPECT_FLOAT_EQ(at(1, 1), static_cast<float>(Fraction(0xFE0000) - 1.0));
  EXPECT_FLOAT_EQ(at(2, 0), static_cast<float>(Fraction(0xFFFFFF)));  // class 0

  decode(b, /*raw=*/true);
  EXPECT_FLOAT_EQ(at(0, 0), static_cast<float>(Fraction(0xE00000)));
}

TEST_F(DecoderTest, HeaderLengthAndChannelsOfLoggersWithoutCapabilityWords) {
  struct Case {
    const char* model;
    float firmware;
    int header;
    int channels;
    uint8_t type0;
  };
  const Case cases[] = {
      {"HV-3070", 1.40f, 0, 3, 'T'},  {"HV-3070", 2.00f, 15, 1, 'T'},
      {"HV-3070", 2.20f, 30, 1, 'T'}, {"LV-3070", 3.20f, 30, 1, 'P'},
      {"QZ-740", 3.00f, 30, 3, 'C'},  {"HLV-4070", 3.20f, 30, 3, 'C'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.model) + " " + std::to_string(c.firmware));
    ctx.identity.model = c.model;
    ctx.identity.firmware = c.firmware;
    ctx.description.parameterBlockLength = 30;
    channels({'C', 'T', 'P'});
    test::ImageBuilder b;
    b.fill(static_cast<size_t>(c.header), 0xEE).word(0x123456).word(0x234567).word(0x345678);
    const DecodeReport report = decode(b);
    EXPECT_EQ(report.headerLength, c.header);
    EXPECT_EQ(data.measuredChannels, c.channels);
    EXPECT_EQ(data.types[0], c.type0);
    EXPECT_EQ(data.sampleCount, 3 / c.channels);
  }
}

TEST_F(DecoderTest, CapabilityWordsGiveTheHeaderLength) {
  ctx.identity.model = "QZ-760";
  ctx.identity.firmware = 4.30f;
  ctx.description.capabilityWordsRead = true;
  ctx.description.parameterBlockLength = 7;  // not a whole number of words
  channels({'P'});
  test::ImageBuilder b;
  b.fill(7, 0xAA).word(0x100000).word(0x200000).bytes({0x30, 0x00});
  const DecodeReport report = decode(b);
  EXPECT_EQ(report.headerLength, 7);
  ASSERT_EQ(data.sampleCount, 2);  // 15 bytes after the header hold two whole words
  EXPECT_FLOAT_EQ(at(0, 1), 0.125f);
}

TEST_F(DecoderTest, AutorangingChannelsRecordGainChangesAsGainStamps) {
  channels({'T', 'y', 'f'});
  test::ImageBuilder b;
  b.record({0x400000, 0x100006, 0x100002});  // gains 3 and 1: always stamped at sample 0
  b.record({0x400000, 0x100006, 0x100002});  // unchanged
  b.record({0x400000, 0x100004, 0x100002});  // turbidity 3 → 2
  b.record({0x400000, 0x100000, 0x100000});  // both change
  decode(b);

  ASSERT_EQ(data.stampCount, 3);
  EXPECT_EQ(stamp(0).type, kStampGain);
  EXPECT_EQ(stamp(0).sampleIndex, 0);
  EXPECT_EQ(stamp(0).gainMask, 0b110u);
  EXPECT_EQ(stamp(0).gains[1], 3);
  EXPECT_EQ(stamp(0).gains[2], 1);
  EXPECT_EQ(stamp(0).time, kStart);
  EXPECT_EQ(stamp(0).marker, 12);
  EXPECT_EQ(stamp(1).sampleIndex, 2);
  EXPECT_EQ(stamp(1).gainMask, 0b010u);
  EXPECT_EQ(stamp(1).gains[1], 2);
  EXPECT_EQ(stamp(1).marker, 1);
  EXPECT_EQ(stamp(1).time, AddSeconds(kStart, 20));
  EXPECT_EQ(stamp(2).gainMask, 0b110u);
  EXPECT_EQ(stamp(2).gains[2], 0);
  // Gain stamps mark the data, they do not move the clock.
  EXPECT_EQ(SampleTime(data, 3), AddSeconds(kStart, 30));
}

TEST_F(DecoderTest, SixHertzProfilingStepsBy167MillisecondsAndDropsTheRemainder) {
  channels({'P'});
  samplingMode = 64;
  test::ImageBuilder b;
  for (int i = 0; i < 7; ++i) b.word(0x100000);
  decode(b);
  ASSERT_EQ(data.sampleCount, 7);
  EXPECT_EQ(data.runningTime, AddMilliseconds(kStart, 1167));

  test::ImageBuilder six;
  for (int i = 0; i < 6; ++i) six.word(0x100000);
  decode(six);
  EXPECT_EQ(data.runningTime, AddSeconds(kStart, 1));
  EXPECT_EQ(SampleTime(data, 3), AddMilliseconds(kStart, 500));
  EXPECT_EQ(SampleTime(data, 6), AddSeconds(kStart, 1));
}

TEST_F(DecoderTest, MoreStampsThanTheTableHoldsAreConsumedButNotStored) {
  channels({'P'});
  test::ImageBuilder b;
  for (int i = 0; i < kMaxStamps + 5; ++i) b.stamp("TIM", AddSeconds(kStart, i)).word(0x100000);
  b.word(0x200000);
  const DecodeReport report = decode(b);
  EXPECT_TRUE(report.stampsSuppressed);
  EXPECT_EQ(report.stampsRead, kMaxStamps + 5);
  EXPECT_EQ(data.stampCount, kMaxStamps);
  EXPECT_EQ(data.sampleCount, kMaxStamps + 6);
  EXPECT_FLOAT_EQ(at(0, kMaxStamps + 5), 0.125f);
  EXPECT_EQ(stamp(kMaxStamps - 1).sampleIndex, kMaxStamps - 1);
}

class WaveDecoderTest : public DecoderTest {
 protected:
  WaveDecoderTest() {
    ctx.description.waves = true;
    channels({'T', 'P'});
    ctx.coefficients.c[1] = {-10.0, 100.0, 0.0, 0.0};
  }
};

TEST_F(WaveDecoderTest, BurstWordsGoToTheirBurstConvertedWithThePressurePolynomial) {
  const TimeRecord burst = MakeTime(2024, 3, 1, 12, 30, 0);
  const TimeRecord back = MakeTime(2024, 3, 1, 12, 31, 0);
  test::ImageBuilder b;
  b.record({0x400000, 0x800000});
  b.stamp("BST", burst).word(0x400000).word(0x800000).word(0xC00000);
  b.stamp("TIM", back).record({0x400000, 0x400000});
  const DecodeReport report = decode(b);

  ASSERT_EQ(data.sampleCount, 2);
  EXPECT_FLOAT_EQ(at(1, 1), 15.0f);
  ASSERT_EQ(data.burstCount, 1);
  EXPECT_EQ(data.burstRecords[0].sampleCount, 3);
  EXPECT_EQ(data.burstRecords[0].start, burst);
  EXPECT_FLOAT_EQ(data.burst(0)[0], 15.0f);
  EXPECT_FLOAT_EQ(data.burst(0)[2], 65.0f);
  ASSERT_EQ(data.stampCount, 2);
  EXPECT_EQ(stamp(0).burstNumber, 0);
  EXPECT_EQ(stamp(0).marker, 10);
  EXPECT_EQ(stamp(1).marker, -1);  // same sample as the burst
  EXPECT_EQ(report.abandonedRecords, 0);
}

TEST_F(WaveDecoderTest, BurstsBeyondTheBurstStoreAreCountedAndLeftOut) {
  test::ImageBuilder b;
  b.stamp("BST", kStart);
  for (int i = 0; i < kBurstCapacity + 10; ++i) b.word(0x400000);
  for (int i = 1; i < kMaxBursts + 3; ++i) b.stamp("BST", AddSeconds(kStart, i)).word(0x400000);
  b.stamp("TIM", kStart).record({0x400000, 0x400000});
  const DecodeReport report = decode(b);

  EXPECT_EQ(data.burstCount, kMaxBursts);
  EXPECT_EQ(data.burstRecords[0].sampleCount, kBurstCapacity);
  EXPECT_EQ(data.burstRecords[kMaxBursts - 1].sampleCount, 1);
  EXPECT_EQ(report.burstsDropped, 3);
  EXPECT_EQ(report.burstSamplesDropped, 10);
  EXPECT_EQ(data.sampleCount, 1);
}

TEST_F(DecoderTest, BurstStampsOfLoggersWithoutWavesLeaveTheWordsAsSamples) {
  channels({'P'});
  test::ImageBuilder b;
  b.stamp("BST", kStart).word(0x100000).word(0x200000);
  decode(b);
  EXPECT_EQ(data.sampleCount, 2);
  EXPECT_EQ(data.burstCount, 1);
  EXPECT_EQ(data.burstRecords[0].sampleCount, 0);
}

TEST_F(DecoderTest, StampMarkersFollowTypeAndNeighbours) {
  channels({'P'});
  data.stampCount = 0;
  auto add = [&](int type, int sample, uint32_t mask = 0) {
    StampEntry& e = data.stamps[static_cast<size_t>(data.stampCount++)];
    e = StampEntry{};
    e.type = type;
    e.sampleIndex = sample;
    e.gainMask = mask;
  };
  add(kStampTime, 0);
  add(kStampRtc, 5);
  add(kStampTime, 5);
  add(kStampGain, 7, 1u << 4);
  add(kStampComms, 7);
  add(kStampComms, 8);
  add(kStampGain, 9);  // a logger's own gain stamp names no channel
  AssignStampMarkers(data);
  const int expected[] = {8, 9, 9, 4, 4, 8, 8};
  for (int i = 0; i < data.stampCount; ++i) EXPECT_EQ(stamp(i).marker, expected[i]) << i;
}

TEST_F(DecoderTest, ImagesTooBigForTheRowStoreAreCutAtIt) {
  channels({'P'});
  test::ImageBuilder b;
  b.fill(static_cast<size_t>(kRowStoreFloats) * 3, 0x11);
  const DecodeReport report = decode(b);
  EXPECT_EQ(report.rowSamplesDropped, 2);
  EXPECT_EQ(data.sampleCount, kRowStoreFloats - 2);
  EXPECT_EQ(data.stride, kRowStoreFloats);
  EXPECT_FLOAT_EQ(maximum(0), static_cast<float>(Fraction(0x111111)));
}

// Whatever the bytes and whatever the description claims, the decode stays
// inside its input and its stores (the sanitizer build checks the accesses).
TEST_F(DecoderTest, HostileImagesAndDescriptionsStayWithinTheStores) {
  std::mt19937 rng(20240301);
  const char* codes[] = {"TIM", "BST", "GAN", "CLD"};
  for (int round = 0; round < 200; ++round) {
    ctx.description.channelCount = static_cast<int>(rng() % 40) - 5;
    ctx.description.parameterBlockLength = static_cast<int>(rng() % 80) - 10;
    ctx.description.capabilityWordsRead = rng() % 2;
    ctx.description.waves = rng() % 2;
    ctx.description.engineeringUnitsLevel = static_cast<int>(rng() % 3);
    for (auto& t : ctx.description.channelTypes) t = static_cast<uint8_t>(rng());
    for (auto& e : ctx.description.extendedChannelCaps) e = static_cast<uint8_t>(rng());
    ctx.identity.model = rng() % 2 ? "HV-3070" : "QZ-760";
    ctx.identity.firmware = static_cast<float>(rng() % 600) / 100.0f;
    samplingMode = rng() % 2 ? 64 : 0;
    period = MakePeriod(static_cast<int>(rng() % 65536), static_cast<int>(rng() % 65536), 0);
    start = MakeTime(static_cast<int>(rng() % 65536), static_cast<int>(rng() % 65536), 1);
    test::ImageBuilder b;
    const int pieces = static_cast<int>(rng() % 400);
    for (int i = 0; i < pieces; ++i) {
      switch (rng() % 4) {
        case 0:
          b.stamp(codes[rng() % 4], FromTicks(static_cast<int64_t>(rng()) << 24));
          break;
        case 1:
          b.word(0);
          break;
        default:
          b.word(static_cast<uint32_t>(rng()) & 0xFFFFFF);
          break;
      }
    }
    b.fill(rng() % 3, 0);
    const DecodeReport report = decode(b, rng() % 4 == 0);
    ASSERT_GE(data.measuredChannels, 1);
    ASSERT_LE(data.measuredChannels, kMaxChannels);
    ASSERT_LE(data.sampleCount + 2, data.stride);
    ASSERT_LE(static_cast<int64_t>(data.stride) * data.measuredChannels, kRowStoreFloats);
    ASSERT_LE(data.stampCount, kMaxStamps);
    ASSERT_LE(data.burstCount, kMaxBursts);
    ASSERT_LE(report.headerLength, b.size());
    for (int c = 0; c < data.measuredChannels; ++c) ASSERT_FALSE(std::isnan(minimum(c)));
    SampleTime(data, static_cast<int>(rng()));
  }
}

}  // namespace
}  // namespace kts
