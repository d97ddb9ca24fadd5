#include "convert/derived_channels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "convert/channel_types.h"
#include "convert/derived_plan.h"
#include "convert/oxygen_solubility.h"
#include "convert/practical_salinity.h"
#include "convert/sound_speed.h"
#include "test_session.h"

namespace kts {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr double kPatm = 10.1325f;

using Channel = std::pair<uint8_t, std::vector<float>>;

class DerivedChannels : public ::testing::Test {
 protected:
  test::TestSession t;
  Session& s = t.s;
  DataSet& d = t.s.data;
  DerivedUnits& u = t.s.settings.derived;

  void SetUp() override { s.data.context.description.conductivityMicroSiemens = false; }

  // Measured channels with their samples (all of one length), min and max set
  // as the decoder leaves them.
  void setData(const std::vector<Channel>& channels) {
    const int n = channels.empty() ? 0 : static_cast<int>(channels[0].second.size());
    d.measuredChannels = d.totalChannels = static_cast<int>(channels.size());
    d.sampleCount = n;
    d.stride = n + 2;
    for (size_t c = 0; c < channels.size(); ++c) {
      d.types[c] = channels[c].first;
      float* row = d.row(static_cast<int>(c));
      for (int i = 0; i < n; ++i) row[i] = channels[c].second[static_cast<size_t>(i)];
      row[n] = 300.0f;
      row[n + 1] = -300.0f;
    }
  }
  std::vector<uint8_t> derivedTypes() const {
    return {d.types.begin() + d.measuredChannels, d.types.begin() + d.totalChannels};
  }
  int channel(uint8_t type) const {
    for (int c = d.measuredChannels; c < d.totalChannels; ++c)
      if (d.types[static_cast<size_t>(c)] == type) return c;
    ADD_FAILURE() << "no derived channel of type " << int(type);
    return 0;
  }
  float at(uint8_t type, int i) { return d.row(channel(type))[i]; }
  float minimum(uint8_t type) { return d.row(channel(type))[d.sampleCount]; }
  float maximum(uint8_t type) { return d.row(channel(type))[d.sampleCount + 1]; }
  void allOn() {
    u.depthOn = u.salinityOn = u.specificConductivityOn = u.soundSpeedOn = u.oxygenOn = true;
    u.optodeConcentrationOn = u.optodeSaturationOn = true;
  }
};

TEST_F(DerivedChannels, AppendedInOrderOnlyWhenTheirInputsExist) {
  allOn();
  s.data.context.identity.model = "HKV-2";
  setData({{'J', {200}}, {'D', {80}}, {'P', {20}}, {'C', {40}}, {'T', {10}}});
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{
                                kTypeDepth, 'S', 's', 'X', 'u', kTypeSignificantWaveHeight,
                                kTypeTidalSlope, kTypeOptodeConcentration, kTypeOptodeSaturation}));

  s.data.context.identity.model = "TDR-2050";
  u.soundSpeed = SoundSpeedEquation::Wilson;
  setData({{'C', {40}}, {'T', {10}}});
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{'S', 's', 'W'}));

  // No pressure: no depth; no conductivity: no salinity, specific
  // conductivity or speed of sound; no temperature: no optode saturation.
  u.soundSpeed = SoundSpeedEquation::DelGrosso;
  setData({{'T', {10}}, {'K', {90}}, {'J', {200}}});
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(),
            (std::vector<uint8_t>{'X', kTypeOptodeConcentration, kTypeOptodeSaturation}));
  setData({{'J', {200}}, {'L', {20}}});
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{kTypeDepth, kTypeOptodeConcentration}));
  EXPECT_TRUE(t.ui.statuses.empty());
}

TEST_F(DerivedChannels, RunningAgainReplacesTheDerivedChannels) {
  u.salinityOn = u.depthOn = true;
  setData({{'P', {20}}, {'C', {40}}, {'T', {10}}});
  AppendDerivedChannels(s);
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{kTypeDepth, 'S'}));
  u.depthOn = false;
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{'S'}));
  u = DerivedUnits{};
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, 3);
}

TEST_F(DerivedChannels, SourcesAreTheFirstChannelOfEachType) {
  u.salinityOn = true;
  u.depthOn = true;
  // The first pressure-like channel is the source, whichever of 'P' and 'L'.
  setData({{'L', {1000}}, {'T', {15}}, {'P', {5000}}, {'C', {42.914f}}, {'T', {25}}, {'C', {1}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at(kTypeDepth, 0), (1000 - kPatm) / (1.0281f * double{0.980665f}), 1e-4);
  EXPECT_NEAR(at('S', 0), SalinityPss78(42.914f, 15, 1000 - kPatm), 4e-6);
}

TEST_F(DerivedChannels, DepthWithEitherEquation) {
  u.depthOn = true;
  setData({{'P', {1000, 10.1325f, 5, -1000, kNaN, kInf}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at(kTypeDepth, 0), 981.795444, 1e-4);
  EXPECT_EQ(at(kTypeDepth, 1), 0.0f);  // exactly atmospheric
  EXPECT_LT(at(kTypeDepth, 2), 0.0f);  // below atmospheric: a valid negative depth
  for (int i = 3; i < 6; ++i) EXPECT_EQ(at(kTypeDepth, i), -1000.0f) << i;
  EXPECT_EQ(minimum(kTypeDepth), at(kTypeDepth, 2));
  EXPECT_EQ(maximum(kTypeDepth), at(kTypeDepth, 0));

  u.depthSeawater = true;
  u.latitudeDegrees = 45;
  AppendDerivedChannels(s);
  EXPECT_EQ(at(kTypeDepth, 0), 979.4974365234375f);
  EXPECT_EQ(at(kTypeDepth, 1), 0.0f);
  // A southern latitude gives the depth of its northern mirror.
  u.latitudeDegrees = -33;
  u.latitudeMinutes = 30;
  AppendDerivedChannels(s);
  const float south = at(kTypeDepth, 0);
  u.latitudeDegrees = 33;
  AppendDerivedChannels(s);
  EXPECT_EQ(at(kTypeDepth, 0), south);
}

TEST_F(DerivedChannels, SalinityConductivityAndSoundSpeed) {
  u.salinityOn = u.specificConductivityOn = u.soundSpeedOn = true;
  setData({{'C', {42.914f, 35, 0, 42.914f, 42.914f, -1000, 50}},
           {'T', {15, 10, 10, -1000, kNaN, 15, kInf}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at('S', 0), 34.996770, 4e-6);
  EXPECT_NEAR(at('S', 1), 31.856061, 4e-6);
  EXPECT_NEAR(at('S', 2), 0.005281, 1e-6);  // no conductivity is almost no salinity
  EXPECT_NEAR(at('s', 0), 53.045735, 4e-6);
  EXPECT_EQ(at('s', 2), 0.0f);
  // Without a pressure channel the sound speed takes the atmospheric pressure.
  EXPECT_FLOAT_EQ(at('u', 1), SoundSpeedChenMilleroWongZhu(SalinityPss78(35, 10, 0), 10, kPatm));
  for (int i = 3; i < 7; ++i) {
    EXPECT_EQ(at('S', i), -1000.0f) << i;
    EXPECT_EQ(at('s', i), -1000.0f) << i;
    EXPECT_EQ(at('u', i), -1000.0f) << i;
  }
  // Ranges come from the valid values only, and are not held inside ±300.
  EXPECT_NEAR(minimum('S'), 0.005281, 1e-6);
  EXPECT_NEAR(maximum('S'), 34.996770, 4e-6);
  EXPECT_GT(minimum('u'), 1400.0f);
  EXPECT_LT(maximum('u'), 1600.0f);
}

TEST_F(DerivedChannels, MicroSiemensAreDividedForSalinityOnly) {
  s.data.context.description.conductivityMicroSiemens = true;
  u.salinityOn = u.specificConductivityOn = true;
  setData({{'C', {42914}}, {'T', {15}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at('S', 0), 34.996770, 4e-6);
  EXPECT_NEAR(at('s', 0), 53045.735, 4e-3);
}

TEST_F(DerivedChannels, SalinityAndSoundSpeedNeedAValidPressureWhenThereIsOne) {
  u.salinityOn = u.soundSpeedOn = true;
  u.soundSpeed = SoundSpeedEquation::DelGrosso;
  setData(
      {{'P', {1010.1325f, -1000, kNaN}}, {'C', {42.914f, 42.914f, 42.914f}}, {'T', {15, 15, 15}}});
  AppendDerivedChannels(s);
  const double salinity = SalinityPss78(42.914f, 15, 1010.1325f - kPatm);
  EXPECT_NEAR(at('S', 0), salinity, 4e-6);
  EXPECT_FLOAT_EQ(at('d', 0), SoundSpeedDelGrosso(salinity, 15, 1010.1325f));
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(at('S', i), -1000.0f);
    EXPECT_EQ(at('d', i), -1000.0f);
  }
}

TEST_F(DerivedChannels, OxygenConcentrationFromMeasuredOrFixedInputs) {
  u.oxygenOn = true;
  // With conductivity and temperature: the computed salinity.
  setData({{'D', {80, 80, -1000, kNaN}},
           {'C', {42.914f, -1000, 42.914f, 42.914f}},
           {'T', {15, 15, 15, 15}}});
  AppendDerivedChannels(s);
  EXPECT_FLOAT_EQ(at('X', 0), OxygenConcentrationWeiss1970(80, 15, SalinityPss78(42.914f, 15, 0)));
  for (int i = 1; i < 4; ++i) EXPECT_EQ(at('X', i), -1000.0f) << i;

  // Temperature but no conductivity: the fixed salinity.
  u.oxygenUnit = OxygenUnit::MicroMolPerL;
  setData({{'T', {10, -1000}}, {'D', {80, 80}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at('X', 0), 225.742953, 3e-5);
  EXPECT_EQ(at('X', 1), -1000.0f);

  // Neither: the fixed temperature as well.
  u.oxygenUnit = OxygenUnit::MgPerL;
  u.fixedTemperature = 20;
  setData({{'K', {80}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at('X', 0), 5.899523, 1e-6);
}

TEST_F(DerivedChannels, OptodeConcentrationAndSaturation) {
  u.optodeConcentrationOn = u.optodeSaturationOn = true;
  u.optodeUnit = OxygenUnit::MgPerL;
  setData({{'J', {250, kNaN, 250}}, {'T', {10, 10, -1000}}});
  AppendDerivedChannels(s);
  EXPECT_NEAR(at(kTypeOptodeConcentration, 0), 7.999750, 1e-6);
  EXPECT_NEAR(at(kTypeOptodeSaturation, 0), 88.707300, 1e-5);
  EXPECT_EQ(at(kTypeOptodeConcentration, 1), -1000.0f);
  EXPECT_EQ(at(kTypeOptodeSaturation, 1), -1000.0f);
  EXPECT_NEAR(at(kTypeOptodeConcentration, 2), 7.999750, 1e-6);
  EXPECT_EQ(at(kTypeOptodeSaturation, 2), -1000.0f);

  u.optodeUnit = OxygenUnit::MlPerL;
  AppendDerivedChannels(s);
  EXPECT_NEAR(at(kTypeOptodeConcentration, 0), 5.598, 1e-6);
}

TEST_F(DerivedChannels, RangesStayFiniteAndEmptyChannelsKeep300) {
  allOn();
  setData({{'P', {-1000, kInf, 3e38f}},
           {'C', {kNaN, 3e38f, 3e38f}},
           {'T', {-1000, 10, -3e38f}},
           {'D', {kInf, 1e38f, 80}},
           {'J', {-1000, 3e38f, kNaN}}});
  AppendDerivedChannels(s);
  ASSERT_EQ(d.totalChannels, 5 + 7);
  for (int c = d.measuredChannels; c < d.totalChannels; ++c) {
    const float* row = d.row(c);
    for (int i = 0; i < d.sampleCount + 2; ++i)
      EXPECT_TRUE(std::isfinite(row[i])) << "channel " << c << " element " << i;
  }
  // Not one valid salinity: the range stays at 300 / −300.
  EXPECT_EQ(minimum('S'), 300.0f);
  EXPECT_EQ(maximum('S'), -300.0f);
}

TEST_F(DerivedChannels, NoMoreThan24ChannelsAndTheStatusLineSaysWhichWereLeftOut) {
  allOn();
  s.data.context.identity.model = "HKV";
  std::vector<Channel> channels{{'P', {20}}, {'C', {40}}, {'T', {10}}, {'D', {80}}, {'J', {200}}};
  while (channels.size() < 20) channels.push_back({'B', {1}});
  setData(channels);
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, 24);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{kTypeDepth, 'S', 's', 'X'}));
  ASSERT_EQ(t.ui.statuses.size(), 1u);
  EXPECT_EQ(t.ui.lastStatus(),
            "Unable to fit derived channels: Speed of sound, Significant wave height, Tidal "
            "slope, Optode concentration, Optode saturation");
  EXPECT_TRUE(t.ui.statuses.back().warningIcon);

  while (channels.size() < 24) channels.push_back({'B', {1}});
  setData(channels);
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, 24);
  EXPECT_EQ(t.ui.statuses.size(), 2u);
}

TEST_F(DerivedChannels, ChannelsMustFitTheRowStore) {
  u.depthOn = true;
  s.data.context.identity.model = "HKV";
  // 3,000,000 samples: three rows fit the store, the fourth would not.
  setData({{'P', std::vector<float>(3'000'000, 20.0f)}});
  AppendDerivedChannels(s);
  EXPECT_EQ(derivedTypes(), (std::vector<uint8_t>{kTypeDepth, kTypeSignificantWaveHeight}));
  EXPECT_EQ(t.ui.lastStatus(), "Unable to fit derived channels: Tidal slope");
  EXPECT_LE(int64_t{d.totalChannels} * d.stride, kRowStoreFloats);
}

TEST_F(DerivedChannels, InconsistentLayoutsGetNothingAppended) {
  u.depthOn = true;
  setData({{'P', {20, 30}}});
  d.stride = 3;  // shorter than n + 2
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, 1);
  setData({{'P', {20, 30}}});
  d.measuredChannels = 30;
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, kMaxChannels);
  d.measuredChannels = -2;
  AppendDerivedChannels(s);
  EXPECT_EQ(d.totalChannels, 0);
}

TEST_F(DerivedChannels, WaveHeightFollowsTheBurstStampsAndTheSlopeIsSymmetric) {
  s.data.context.identity.model = "HKV-1";
  setData({{'P', std::vector<float>(8, 20.0f)}});
  d.burstCount = 2;
  d.burstRecords[0].significantHeight = 1.5f;
  d.burstRecords[1].significantHeight = 2.5f;
  const auto stamp = [&](int index, int type, int burst) {
    StampEntry& e = d.stamps[static_cast<size_t>(d.stampCount++)];
    e.sampleIndex = index;
    e.type = type;
    e.burstNumber = burst;
  };
  stamp(2, kStampBurst, 0);
  stamp(3, kStampTime, 0);
  stamp(5, kStampBurst, 1);
  stamp(7, kStampBurst, 9);  // no such burst
  AppendDerivedChannels(s);
  const float expected[] = {0, 0, 1.5f, 1.5f, 1.5f, 2.5f, 2.5f, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(at(kTypeSignificantWaveHeight, i), expected[i]) << i;
  EXPECT_EQ(minimum(kTypeSignificantWaveHeight), 0.0f);
  EXPECT_EQ(maximum(kTypeSignificantWaveHeight), 2.5f);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(at(kTypeTidalSlope, i), 0.0f);
  EXPECT_EQ(minimum(kTypeTidalSlope), 0.0f);
  EXPECT_FALSE(std::signbit(minimum(kTypeTidalSlope)));
  EXPECT_EQ(maximum(kTypeTidalSlope), 0.0f);
}

TEST(RealTimeDerivedCount, ReservesForPressureSalinityGroupAndWaves) {
  const auto count = [](std::vector<uint8_t> types, bool waves) {
    return RealTimeDerivedChannelCount(types, waves);
  };
  EXPECT_EQ(count({}, false), 0);
  EXPECT_EQ(count({'L'}, false), 1);
  EXPECT_EQ(count({'T', 'C'}, false), 3);
  EXPECT_EQ(count({'P', 'T', 'C', 'D'}, false), 5);
  EXPECT_EQ(count({'T', 'C', 'K'}, false), 3);
  EXPECT_EQ(count({'T', 'D'}, false), 0);
  EXPECT_EQ(count({'P', 'T'}, true), 3);
}

}  // namespace
}  // namespace kts
