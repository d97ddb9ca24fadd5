#include "data/settings_file.h"

#include <gtest/gtest.h>

#include "base_directory_test.h"
#include "data/main_settings.h"

namespace kts {
namespace {

constexpr const char* kDefaultFile =
    "Port=COM1\n"
    "GPSComm=NOT USED\n"
    "Format=0\n"
    "Salinity=OFF\n"
    "Specific conductivity=OFF\n"
    "Dissolved oxygen: ml/l=OFF\n"
    "Dissolved oxygen (Optode concentration): ml/l=OFF\n"
    "Dissolved oxygen (Optode saturation)=OFF\n"
    "Speed of Sound: UNESCO=OFF\n"
    "Atmospheric pressure=10.132500\n"
    "Density=1.028100\n"
    "Latitude=0 0.000\n"
    "DO temperature=15.00\n"
    "DO salinity=35.00\n"
    "Depth Freshwater=OFF\n"
    "Micro-Salinometer average=30\n"
    "MATLAB frequency: 0 format: 0\n"
    "Online calibration lower depth=0.00\n"
    "Online calibration upper depth=10.00\n"
    "Online calibration lower pH=4.00\n"
    "Online calibration upper pH=10.00\n"
    "Online calibration lower O2=0.00\n"
    "Online calibration upper O2=100.00\n";

void ApplyText(std::string_view text, Settings& s, PortConfig& p) {
  ResetMainSettings(s, p);
  while (!text.empty()) {
    const size_t end = text.find('\n');
    ApplySettingsLine(text.substr(0, end), s, p);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
}

TEST(MainSettings, DefaultsAreWrittenInTheirOrder) {
  Settings s;
  PortConfig p;
  EXPECT_EQ(FormatMainSettings(s, p), kDefaultFile);
}

TEST(MainSettings, EverySettingSurvivesWritingAndReading) {
  Settings s;
  PortConfig p;
  p.loggerPort = 12;
  p.gpsPort = 3;
  p.gpsBaud = 9600;
  p.radioDelayEnabled = true;
  p.radioDelayMs = 250;
  s.timeColumns = 2;
  DerivedUnits& d = s.derived;
  d.salinityOn = d.specificConductivityOn = d.oxygenOn = d.optodeConcentrationOn = true;
  d.optodeSaturationOn = d.soundSpeedOn = d.depthOn = d.depthSeawater = true;
  d.oxygenUnit = OxygenUnit::MicroMolPerL;
  d.optodeUnit = OxygenUnit::MgPerL;
  d.soundSpeed = SoundSpeedEquation::Wilson;
  d.atmosphericPressure = 10.5f;
  d.density = 1.025f;
  d.latitudeDegrees = -45;
  d.latitudeMinutes = 30.25f;
  d.fixedTemperature = 4.5f;
  d.fixedSalinity = 30.25f;
  s.languageSupport = true;
  s.microSalinometerAverage = 12;
  s.matlabFrequency = 1;
  s.matlabFormat = 1;
  s.showRangeChanges = false;
  s.onlineLowerDepth = 1.5;
  s.onlineUpperO2 = 95.25;

  const std::string text = FormatMainSettings(s, p);
  EXPECT_NE(text.find("GPSComm=COM3\nGPS baudrate=9600\n"), std::string::npos);
  EXPECT_NE(text.find("Radio=250\n"), std::string::npos);
  EXPECT_NE(text.find("Depth Seawater=ON\n"), std::string::npos);
  EXPECT_NE(text.find("Gain not required for auto-ranging\n"), std::string::npos);

  Settings r;
  PortConfig q;
  ApplyText(text, r, q);
  EXPECT_EQ(FormatMainSettings(r, q), text);
  EXPECT_EQ(q.loggerPort, 12);
  EXPECT_TRUE(q.radioDelayEnabled);
  EXPECT_EQ(r.derived.oxygenUnit, OxygenUnit::MicroMolPerL);
  EXPECT_TRUE(r.derived.anyOn());
  EXPECT_FALSE(r.showRangeChanges);
}

TEST(MainSettings, SwitchesReadByKeyAndOnOff) {
  Settings s;
  PortConfig p;
  ApplyText("Speed of Sound: delGrosso=OFF\n", s, p);
  EXPECT_FALSE(s.derived.soundSpeedOn);
  EXPECT_EQ(s.derived.soundSpeed, SoundSpeedEquation::DelGrosso);

  ApplyText("Speed of Sound=ON\nDepth Simplified=ON\nDissolved oxygen: mg/l=ON\n", s, p);
  EXPECT_TRUE(s.derived.soundSpeedOn);
  EXPECT_EQ(s.derived.soundSpeed, SoundSpeedEquation::Unesco);
  EXPECT_TRUE(s.derived.depthOn);
  EXPECT_FALSE(s.derived.depthSeawater);
  EXPECT_TRUE(s.derived.oxygenOn);
  EXPECT_EQ(s.derived.oxygenUnit, OxygenUnit::MgPerL);

  ApplyText("Depth Seawater=OFF\nDissolved oxygen (Optode concentration): mg/l=OFF\n", s, p);
  EXPECT_FALSE(s.derived.depthOn);
  EXPECT_TRUE(s.derived.depthSeawater);
  EXPECT_EQ(s.derived.optodeUnit, OxygenUnit::MgPerL);
  EXPECT_FALSE(s.derived.anyOn());
}

TEST(MainSettings, DamagedLinesLeaveTheDefaults) {
  Settings s;
  PortConfig p;
  const std::string longLine = "Radio=" + std::string(200, '9');
  ApplyText(
      "Port=COM99\nGPSComm=COMx\nGPS baudrate=12345\nFormat=7\n"
      "Atmospheric pressure=nan\nDensity=-1\nLatitude=91 10.0\nDO salinity=\n"
      "Micro-Salinometer average=0\nMATLAB frequency: 5 format: -1\n" +
          longLine + "\nOnline calibration upper pH=inf\n\x01\xff garbage\nPort=",
      s, p);
  Settings defaults;
  PortConfig defaultPorts;
  EXPECT_EQ(FormatMainSettings(s, p), FormatMainSettings(defaults, defaultPorts));
}

TEST(MainSettings, OnlyTheFirst94CharactersOfALineCount) {
  Settings s;
  PortConfig p;
  ApplyText(std::string(90, ' ') + "Salinity=ON", s, p);
  EXPECT_FALSE(s.derived.salinityOn);
  ApplyText("Port=COM7\r\nSalinity=ON\r\n", s, p);
  EXPECT_EQ(p.loggerPort, 7);
  EXPECT_TRUE(s.derived.salinityOn);
}

using SettingsFileTest = test::BaseDirectoryTest;

TEST_F(SettingsFileTest, WithoutASettingsFileTheDefaultsAreWrittenAtOnce) {
  s.ports.loggerPort = 5;
  EXPECT_EQ(ReadSettings(s), 1);
  EXPECT_EQ(s.ports.loggerPort, 1);
  EXPECT_EQ(dir.read("kts.ini"), kDefaultFile);
  EXPECT_FALSE(s.settings.allowMultipleCopies);
}

TEST_F(SettingsFileTest, SettingsSurviveARestart) {
  s.ports.loggerPort = 4;
  s.settings.derived.salinityOn = true;
  s.settings.allowMultipleCopies = true;
  s.ports.map.device[4] = "/dev/serial/by-id/usb-logger";
  ASSERT_EQ(WriteSettings(s), 1);
  EXPECT_EQ(dir.read("kts_copies.ini"), "Allow multiple copies\n");

  test::TestSession again;
  again.s.settings.baseDirectory = dir.path();
  ASSERT_EQ(ReadSettings(again.s), 1);
  EXPECT_EQ(again.s.ports.loggerPort, 4);
  EXPECT_TRUE(again.s.settings.derived.salinityOn);
  EXPECT_TRUE(again.s.settings.allowMultipleCopies);
  EXPECT_EQ(again.s.ports.map.device[4], "/dev/serial/by-id/usb-logger");
  EXPECT_EQ(dir.entries(), 3);  // no temporary file left behind
}

TEST_F(SettingsFileTest, AFurtherCopyStartsFromACopyOfTheMainFileAndKeepsItsOwn) {
  dir.write("kts.ini", "Port=COM3\nSome line a later version wrote\n");
  s.settings.copyIndex = 1;
  EXPECT_EQ(MainSettingsPath(s.settings), dir.file("kts.002.ini"));
  ASSERT_EQ(ReadSettings(s), 1);
  EXPECT_EQ(dir.read("kts.002.ini"), "Port=COM3\nSome line a later version wrote\n");
  EXPECT_EQ(s.ports.loggerPort, 3);

  s.ports.loggerPort = 8;
  ASSERT_EQ(WriteSettings(s), 1);
  EXPECT_EQ(dir.read("kts.ini"), "Port=COM3\nSome line a later version wrote\n");
  EXPECT_NE(dir.read("kts.002.ini").find("Port=COM8\n"), std::string::npos);

  s.settings.copyIndex = 7;
  EXPECT_EQ(MainSettingsPath(s.settings), dir.file("kts.008.ini"));
}

TEST_F(SettingsFileTest, TheCopiesFileIsReadFromItsFirstLine) {
  dir.write("kts.ini", kDefaultFile);
  dir.write("kts_copies.ini", "Single copy only\nAllow multiple copies\n");
  ReadSettings(s);
  EXPECT_FALSE(s.settings.allowMultipleCopies);
  dir.write("kts_copies.ini", "Allow multiple copies");
  ReadSettings(s);
  EXPECT_TRUE(s.settings.allowMultipleCopies);
}

TEST_F(SettingsFileTest, AFailedWriteSaysSoOnTheStatusLine) {
  s.settings.baseDirectory = dir.file("missing");
  EXPECT_EQ(WriteSettings(s), 0);
  EXPECT_EQ(t.ui.lastStatus(), "Unable to write the settings file " + dir.file("missing") +
                                   "/kts.ini: No such file or directory");
  EXPECT_TRUE(t.ui.statuses.back().warningIcon);
  EXPECT_EQ(ReadSettings(s), 0);
}

}  // namespace
}  // namespace kts
