#include "convert/derived_units_dialog.h"

#include <gtest/gtest.h>

#include "convert/channel_types.h"
#include "test_session.h"

namespace kts {
namespace {

TEST(DerivedUnitsDialog, OpensWithTheSettingsAsTheFieldsShowThem) {
  const DerivedUnitsDialog d = OpenDerivedUnits(DerivedUnits{});
  EXPECT_EQ(d.atmosphericPressure, "10.1325");
  EXPECT_EQ(d.density, "1.0281");
  EXPECT_EQ(d.latitudeDegrees, "0");
  EXPECT_EQ(d.latitudeMinutes, "0.000");
  EXPECT_EQ(d.fixedTemperature, "15.00");
  EXPECT_EQ(d.fixedSalinity, "35.00");
  EXPECT_FALSE(d.choices.depthOn || d.choices.salinityOn || d.choices.soundSpeedOn ||
               d.choices.oxygenOn);
  EXPECT_FALSE(d.choices.depthSeawater);
}

TEST(DerivedUnitsDialog, OkStoresTheChoicesAndRecomputesTheData) {
  test::TestSession t;
  Session& s = t.s;
  s.data.measuredChannels = s.data.totalChannels = 1;
  s.data.types[0] = 'P';
  s.data.sampleCount = 1;
  s.data.stride = 3;
  s.data.row(0)[0] = 1010.1325f;

  DerivedUnitsDialog d = OpenDerivedUnits(s.settings.derived);
  d.choices.depthOn = true;
  d.choices.depthSeawater = true;
  d.latitudeDegrees = " -33 ";
  d.latitudeMinutes = "30.12345";
  d.atmosphericPressure = "+10.0";
  d.choices.soundSpeedOn = true;
  d.choices.soundSpeed = SoundSpeedEquation::Wilson;
  d.choices.oxygenUnit = OxygenUnit::MicroMolPerL;
  d.fixedSalinity = "0";
  ASSERT_EQ(DerivedUnitsOk(s, d), 1);
  EXPECT_TRUE(t.ui.messages.empty());
  const DerivedUnits& u = s.settings.derived;
  EXPECT_TRUE(u.depthOn && u.depthSeawater && u.soundSpeedOn);
  EXPECT_EQ(u.latitudeDegrees, -33);
  EXPECT_EQ(u.latitudeMinutes, 30.123f);
  EXPECT_EQ(u.atmosphericPressure, 10.0f);
  EXPECT_EQ(u.soundSpeed, SoundSpeedEquation::Wilson);
  EXPECT_EQ(u.oxygenUnit, OxygenUnit::MicroMolPerL);
  EXPECT_EQ(u.fixedSalinity, 0.0f);
  ASSERT_EQ(s.data.totalChannels, 2);
  EXPECT_EQ(s.data.types[1], kTypeDepth);
  EXPECT_NEAR(s.data.row(1)[0], 990.3, 0.5);
  EXPECT_EQ(OpenDerivedUnits(u).latitudeMinutes, "30.123");
}

TEST(DerivedUnitsDialog, BadNumbersAreRefusedAndChangeNothing) {
  struct Case {
    void (*edit)(DerivedUnitsDialog&);
    DerivedUnitsField field;
    const char* text;
  };
  const Case cases[] = {
      {[](DerivedUnitsDialog& d) { d.atmosphericPressure = ""; },
       DerivedUnitsField::AtmosphericPressure,
       "Atmospheric pressure must be a number from 0 to 20 dBar."},
      {[](DerivedUnitsDialog& d) { d.atmosphericPressure = "nan"; },
       DerivedUnitsField::AtmosphericPressure, nullptr},
      {[](DerivedUnitsDialog& d) { d.atmosphericPressure = "10,13"; },
       DerivedUnitsField::AtmosphericPressure, nullptr},
      {[](DerivedUnitsDialog& d) { d.latitudeDegrees = "33.5"; },
       DerivedUnitsField::LatitudeDegrees,
       "Latitude degrees must be a whole number from -90 to 90."},
      {[](DerivedUnitsDialog& d) { d.latitudeDegrees = "99999999999"; },
       DerivedUnitsField::LatitudeDegrees, nullptr},
      {[](DerivedUnitsDialog& d) { d.latitudeMinutes = "60"; }, DerivedUnitsField::LatitudeMinutes,
       "Latitude minutes must be a number below 60."},
      {[](DerivedUnitsDialog& d) { d.latitudeDegrees = "90", d.latitudeMinutes = "1"; },
       DerivedUnitsField::LatitudeMinutes,
       "Latitude must lie between 90 degrees south and 90 north."},
      {[](DerivedUnitsDialog& d) { d.density = "1028"; }, DerivedUnitsField::Density,
       "Water density must be a number from 0.5 to 2.0 g/cm3."},
      {[](DerivedUnitsDialog& d) { d.fixedTemperature = "inf"; },
       DerivedUnitsField::FixedTemperature,
       "The temperature to be used when no temperature sensor is present must be a number from "
       "-5.00 to 50.00 degrees C."},
      {[](DerivedUnitsDialog& d) { d.fixedSalinity = "-1"; }, DerivedUnitsField::FixedSalinity,
       "The salinity to be used when no conductivity sensor is present must be a number from 0.00 "
       "to 50.00 PSU."},
      {[](DerivedUnitsDialog& d) { d.choices.optodeUnit = OxygenUnit::MicroMolPerL; },
       DerivedUnitsField::OptodeUnit, "Optode concentration is calculated in ml/l or mg/l."},
  };
  for (const Case& c : cases) {
    test::TestSession t;
    DerivedUnitsDialog d = OpenDerivedUnits(t.s.settings.derived);
    d.choices.salinityOn = true;
    c.edit(d);
    EXPECT_EQ(DerivedUnitsOk(t.s, d), 0);
    EXPECT_EQ(d.focus, c.field);
    ASSERT_EQ(t.ui.messages.size(), 1u);
    if (c.text) {
      EXPECT_EQ(t.ui.messages[0].text, c.text);
    }
    EXPECT_EQ(t.ui.messages[0].caption, "Derived Units");
    EXPECT_FALSE(t.s.settings.derived.salinityOn);
  }
}

}  // namespace
}  // namespace kts
