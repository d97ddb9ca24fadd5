// The seawater equations against the published check values and against
// values worked out independently with this system's definitions, each to
// the number of digits the tables give.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/oxygen_solubility.h"
#include "convert/practical_salinity.h"
#include "convert/seawater_depth.h"
#include "convert/sound_speed.h"
#include "convert/specific_conductivity.h"

namespace kts {
namespace {

// Half a unit of the last digit given, with room for the tables' own rounding.
constexpr double k6 = 0.51e-6;
constexpr double k4 = 0.51e-4;
constexpr double kPatm = 10.1325f;  // the float setting, as the system holds it
constexpr double kT68 = 1.00024;

TEST(Depth, UnescoPublishedTable) {
  struct Row {
    double p, lat0, lat30, lat45, lat90;
  };
  const Row rows[] = {{500, 496.65, 496.00, 495.34, 494.03},
                      {5000, 4915.04, 4908.56, 4902.08, 4889.13},
                      {10000, 9725.47, 9712.65, 9699.84, 9674.23}};
  for (const Row& r : rows) {
    EXPECT_NEAR(DepthUnesco1983(r.p, 0), r.lat0, 0.005) << r.p;
    EXPECT_NEAR(DepthUnesco1983(r.p, 30), r.lat30, 0.005) << r.p;
    EXPECT_NEAR(DepthUnesco1983(r.p, 45), r.lat45, 0.005) << r.p;
    EXPECT_NEAR(DepthUnesco1983(r.p, 90), r.lat90, 0.005) << r.p;
  }
  EXPECT_NEAR(DepthUnesco1983(10000, 30), 9712.653072, k6);
}

TEST(Depth, UnescoAsTheSystemComputesIt) {
  EXPECT_NEAR(DepthUnesco1983(1000, LatitudeDegrees(45, 0)), 989.499864, k6);
  EXPECT_NEAR(DepthUnesco1983(1000, 0), 992.117096, k6);
  EXPECT_NEAR(DepthUnesco1983(1000, 90), 986.884822, k6);
  EXPECT_NEAR(DepthUnesco1983(1000, LatitudeDegrees(33, 30.0)), 990.522241, k6);
  EXPECT_NEAR(DepthUnesco1983(100, 30), 99.295362, k6);
  EXPECT_NEAR(DepthUnesco1983(5000, 60), 4895.604664, k6);
  EXPECT_NEAR(DepthUnesco1983(1000 - kPatm, 45), 979.497426, k6);
  EXPECT_EQ(DepthUnesco1983(0, 17), 0.0);
}

TEST(Depth, SouthernLatitudesTakeTheMinutesWithTheSignOfTheDegrees) {
  EXPECT_DOUBLE_EQ(LatitudeDegrees(-33, 30.0), -33.5);
  EXPECT_DOUBLE_EQ(LatitudeDegrees(-33, -30.0), -33.5);
  EXPECT_DOUBLE_EQ(LatitudeDegrees(33, 30.0), 33.5);
  EXPECT_DOUBLE_EQ(LatitudeDegrees(0, -30.0), -0.5);
  EXPECT_NEAR(DepthUnesco1983(1000, LatitudeDegrees(-33, 30.0)), 990.522241, k6);
}

TEST(Depth, SimplifiedWithFloatDensity) {
  EXPECT_NEAR(DepthSimplified(1000, 1.0281f), 991.845317, k6);
  EXPECT_NEAR(DepthSimplified(1000 - kPatm, 1.0281f), 981.795444, k6);
  EXPECT_NEAR(DepthSimplified(100, 1.0f), 101.971618, k6);
  EXPECT_NEAR(DepthSimplified(5000, 1.0281f), 4959.226584, k6);
  EXPECT_NEAR(DepthSimplified(10000, 1.0281f), 9918.453167, k6);
  EXPECT_EQ(DepthSimplified(0, 1.2f), 0.0);
}

TEST(Salinity, PublishedCheckValues) {
  EXPECT_NEAR(SalinityPss78(1.0 * kConductivity35_15_0, 15 / kT68, 0), 35.000000, k6);
  EXPECT_NEAR(SalinityPss78(1.2 * kConductivity35_15_0, 20 / kT68, 2000), 37.245628, k6);
  EXPECT_NEAR(SalinityPss78(0.65 * kConductivity35_15_0, 5 / kT68, 1500), 27.995347, k6);
  EXPECT_NEAR(SalinityPss78(1.888091 * kConductivity35_15_0, 40 / kT68, 10000), 40.0000, 0.51e-4);
  // The published ratios carry 8 digits, which fixes S to about 2e-6.
  EXPECT_NEAR(SalinityFromRatioPss78(1.0568875, 20 / kT68), 37.245628, 2e-6);
  EXPECT_NEAR(SalinityFromRatioPss78(0.81705885, 5 / kT68), 27.995347, 2e-6);
}

TEST(Salinity, PublishedInverseTableReturnsTheSalinity) {
  struct Row {
    double S, t68, p, R;
  };
  const Row rows[] = {{25, 0, 0, 0.498008},     {25, 10, 0, 0.654990}, {25, 0, 1000, 0.506244},
                      {25, 10, 1000, 0.662975}, {40, 10, 0, 1.000073}, {40, 30, 0, 1.529967}};
  for (const Row& r : rows)
    EXPECT_NEAR(SalinityPss78(r.R * kConductivity35_15_0, r.t68 / kT68, r.p), r.S, 3e-5) << r.R;
}

TEST(Salinity, AsTheSystemComputesIt) {
  struct Row {
    double C, T, p, S;
  };
  const Row rows[] = {
      {42.914, 14.996401, 0, 35.000000},
      {51.4968, 19.995201, 2000, 37.245628},
      {27.8941, 4.998800, 1500, 27.995347},
      {81.025537, 39.990402, 10000, 39.999996},
      {42.914, 15, 0, 34.996770},
      {42.914, 15, 100, 34.956199},
      {35, 10, 0, 31.856061},
      {50, 25, 1000, 32.445192},
      {30, 5, 2000, 30.136225},
      {55, 30, 0, 32.741666},
      {60, 35, 5000, 31.694316},
      {10, 20, 0, 6.298894},
      {4, 10, 0, 3.045149},
  };
  for (const Row& r : rows) EXPECT_NEAR(SalinityPss78(r.C, r.T, r.p), r.S, k6) << r.C << " " << r.T;
  // Below the scale's range the plain polynomial stands: not 0, not invalid.
  EXPECT_NEAR(SalinityPss78(0, 10, 0), 0.005281, k6);
  EXPECT_TRUE(std::isnan(SalinityPss78(-1, 10, 0)));
}

TEST(Salinity, FromMeasuredRatio) {
  EXPECT_NEAR(SalinityFromRatioPss78(1, 3.7), 35.000000, k6);
  EXPECT_NEAR(SalinityFromRatioPss78(0.9, 20), 31.106939, k6);
  EXPECT_NEAR(SalinityFromRatioPss78(1.1, 24), 38.971414, k6);
  EXPECT_NEAR(SalinityFromRatioPss78(0.5, 18), 16.267038, k6);
}

TEST(SpecificConductivity, CorrectedTo25C) {
  EXPECT_NEAR(SpecificConductivity25(42.914, 15), 53.045735, k6);
  EXPECT_NEAR(SpecificConductivity25(35, 10), 49.053959, k6);
  EXPECT_NEAR(SpecificConductivity25(50, 25), 50.000000, k6);
  EXPECT_NEAR(SpecificConductivity25(30, 5), 48.543689, k6);
  EXPECT_NEAR(SpecificConductivity25(55, 30), 50.205386, k6);
  EXPECT_NEAR(SpecificConductivity25(60, 35), 50.377834, k6);
  EXPECT_NEAR(SpecificConductivity25(10, 20), 11.055832, k6);
  EXPECT_EQ(SpecificConductivity25(0, 10), 0.0);
}

TEST(SoundSpeed, ChenMilleroGaugeCheckValues) {
  EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(40, 40 / kT68, 10000), 1732.0037, k4);
  EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(40, 40, 10000), 1732.0175, k4);
}

// The published table was made with the IPTS-68 coefficients; with ITS-90
// input the two sets agree within 0.0095 m/s.
TEST(SoundSpeed, ChenMilleroAgainstThePublishedTable) {
  struct Row {
    double S, t68, c0, c500, c1000;
  };
  const Row rows[] = {
      {25, 0, 1435.8, 1520.4, 1610.4},  {25, 10, 1477.7, 1561.3, 1647.4},
      {25, 20, 1510.3, 1593.6, 1676.8}, {25, 30, 1535.2, 1619.0, 1700.6},
      {25, 40, 1553.4, 1638.0, 1719.2}, {35, 0, 1449.1, 1534.0, 1623.2},
      {35, 10, 1489.8, 1573.4, 1659.0}, {35, 20, 1521.5, 1604.5, 1687.2},
      {35, 30, 1545.6, 1629.0, 1710.1}, {35, 40, 1563.2, 1647.3, 1727.8},
  };
  constexpr double tolerance = 0.05 + 0.0095;
  for (const Row& r : rows) {
    const double T = r.t68 / kT68;
    EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(r.S, T, 0), r.c0, tolerance) << r.S << " " << r.t68;
    EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(r.S, T, 5000), r.c500, tolerance);
    EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(r.S, T, 10000), r.c1000, tolerance);
  }
}

// The system passes absolute pressure: P = p + Patm.
TEST(SoundSpeed, ThreeEquationsAsTheSystemComputesThem) {
  struct Row {
    double S, T, p, unesco, delGrosso, wilson;
  };
  const Row rows[] = {
      {35, 10, 0, 1489.9989, 1489.9541, 1490.4004},
      {35, 10, 1000, 1506.5159, 1506.3048, 1506.7202},
      {35, 2, 5000, 1542.8403, 1542.1604, 1542.5513},
      {30, 20, 500, 1524.3951, 1524.3384, 1524.4674},
      {0, 20, 0, 1482.5258, 1482.6524, 1483.1436},
      {35, 25, 0, 1534.5809, 1534.5237, 1534.8401},
      {38, 28, 200, 1548.0388, 1547.7977, 1548.1939},
      {40, 39.990402, 10000, 1732.1600, 1732.5588, 1735.2414},
  };
  for (const Row& r : rows) {
    const double P = r.p + kPatm;
    EXPECT_NEAR(SoundSpeedChenMilleroWongZhu(r.S, r.T, P), r.unesco, k4) << r.S << " " << r.T;
    EXPECT_NEAR(SoundSpeedDelGrosso(r.S, r.T, P), r.delGrosso, k4) << r.S << " " << r.T;
    // The last Wilson value was worked out with the kg/cm² form of the
    // equation, which differs from the MPa form used here by up to 0.0003 m/s
    // (1735.24151 here).
    const double wilsonTolerance = r.T > 39 ? 0.0003 : k4;
    EXPECT_NEAR(SoundSpeedWilson(r.S, r.T, P), r.wilson, wilsonTolerance) << r.S << " " << r.T;
  }
  // Deep and fresh are where the sign-flipped Wilson form is 21 and 4 m/s off.
  EXPECT_NEAR(SoundSpeedWilson(35, 2, 10000 + kPatm), 1631.2132, k4);
}

TEST(Oxygen, WeissSolubilityAndConcentrationUnits) {
  struct Row {
    double T, S, solubility, ml, mg, umol;
  };
  const Row rows[] = {
      {0, 0, 10.218032, 8.174426, 11.669810, 365.061686},
      {0, 35, 8.045035, 6.436028, 9.188073, 287.426564},
      {10, 35, 6.318518, 5.054814, 7.216253, 225.742953},
      {15, 35, 5.688192, 4.550554, 6.496371, 203.223189},
      {20, 35, 5.165595, 4.132476, 5.899523, 184.552253},
      {25, 0, 5.769102, 4.615282, 6.588776, 206.113857},
      {30, 35, 4.353043, 3.482435, 4.971524, 155.522043},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(OxygenSolubilityWeiss1970(r.T, r.S), r.solubility, k6) << r.T << " " << r.S;
    const double ml = OxygenConcentrationWeiss1970(80, r.T, r.S);
    EXPECT_NEAR(ml, r.ml, k6);
    EXPECT_NEAR(ml * kOxygenMgPerMl, r.mg, k6);
    EXPECT_NEAR(ml * kOxygenMicroMolPerMl, r.umol, k6);
  }
}

TEST(Oxygen, GarciaGordonCombinedFit) {
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(10, 35), 6.316, 0.0005);  // published
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(10, 35), 6.316109, k6);
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(0, 0), 10.224658, k6);
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(0, 35), 8.026718, k6);
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(20, 35), 5.169786, k6);
  EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(30, 35), 4.357967, k6);
}

TEST(Oxygen, OptodeSaturationAndConcentration) {
  struct Row {
    double T, S, J, solubility, saturation, mg, ml;
  };
  const Row rows[] = {
      {10, 35, 250, 6.316109, 88.707300, 7.999750, 5.598000},
      {20, 35, 200, 5.169786, 86.701467, 6.399800, 4.478400},
      {5, 0, 350, 8.931732, 87.821605, 11.199650, 7.837200},
      {25, 35, 180, 4.731933, 85.251674, 5.759820, 4.030560},
      {0, 35, 300, 8.026718, 83.763004, 9.599700, 6.717600},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(OxygenSolubilityGarciaGordon1992(r.T, r.S), r.solubility, k6) << r.T;
    EXPECT_NEAR(OptodeSaturationGarciaGordon1992(r.J, r.T, r.S), r.saturation, k6) << r.T;
    EXPECT_NEAR(r.J * kOptodeMgPerMicroMol, r.mg, k6);
    EXPECT_NEAR(r.J * kOptodeMlPerMicroMol, r.ml, k6);
  }
  // The factor 2.24114 rather than 100/44.659: a fully saturated reading is 100.0871 %.
  const double saturated = kOxygenMicroMolPerMl * OxygenSolubilityGarciaGordon1992(12, 30);
  EXPECT_NEAR(OptodeSaturationGarciaGordon1992(saturated, 12, 30), 100.0871, k4);
}

}  // namespace
}  // namespace kts
