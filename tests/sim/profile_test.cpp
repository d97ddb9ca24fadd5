#include "sim/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "sim/hex_image.h"
#include "sim/simulated_logger.h"

namespace kts::sim {
namespace {

std::string ParseError(const std::string& text) {
  Profile p;
  std::string error;
  EXPECT_FALSE(ParseProfile(text, p, &error)) << text;
  return error;
}

TEST(Profile, EveryBuiltInProfileLoadsAndIsConsistent) {
  const std::vector<std::string> names = BuiltinProfileNames();
  for (const char* wanted : {"extended", "qz", "hv140", "hv2", "lv", "hkv", "rangeswitch", "yp930"})
    EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
  for (const std::string& name : names) {
    Profile p;
    std::string error;
    ASSERT_TRUE(LoadBuiltinProfile(name, p, &error)) << error;
    EXPECT_EQ(p.name, name);
    // The family rules the host applies follow from model and firmware.
    if (p.hasWord[0] && HasFeature(p, 2)) {
      EXPECT_EQ(HeaderLength(p), static_cast<int>(Word(p, 3)));
    }
    EXPECT_EQ(HeaderLength(p) % 3, 0) << name << ": the header must end on a word";
  }
  Profile hv;
  ASSERT_TRUE(LoadBuiltinProfile("hv140", hv, nullptr));
  EXPECT_FALSE(SendsCheckByte(hv));
  EXPECT_EQ(HeaderLength(hv), 0);
  EXPECT_EQ(MemoryBase(hv), 0x20000u);
  EXPECT_EQ(SpeedCommandOf(hv), SpeedCommand::None);
  ASSERT_TRUE(LoadBuiltinProfile("hv2", hv, nullptr));
  EXPECT_TRUE(SendsCheckByte(hv));
  EXPECT_EQ(HeaderLength(hv), 30);
  EXPECT_EQ(SpeedCommandOf(hv), SpeedCommand::HvLv);
  Profile ext;
  ASSERT_TRUE(LoadBuiltinProfile("extended", ext, nullptr));
  EXPECT_TRUE(IsExtended(ext));
  EXPECT_EQ(MemoryBase(ext), 0u);
  EXPECT_EQ(HeaderLength(ext), 48);
  EXPECT_EQ(EngineeringUnitsLevel(ext), 1);
}

TEST(Profile, ErrorsNameTheLineAndWhatIsWrong) {
  EXPECT_EQ(ParseError("model = QZ-740\ncolour = blue\n"), "line 2: unknown key 'colour'");
  EXPECT_EQ(ParseError("baud = 12345"),
            "line 1: baud: one of 1200, 2400, 4800, 9600, 19200, 28800, 38400, 57600, 115200");
  EXPECT_EQ(ParseError("\n# comment\nfirmware"), "line 3: expected 'key = value'");
  EXPECT_EQ(ParseError("serial ="), "line 1: 'serial' has no value");
  EXPECT_EQ(ParseError("serial = 1234567"),
            "line 1: serial: '1234567' is not a whole number from 0 to 999999");
  EXPECT_EQ(ParseError("start = 2026-02-30x 00:00:00"),
            "line 1: start: expected YYYY-MM-DD hh:mm:ss with a year from 2000 to 2099");
  EXPECT_EQ(ParseError("period = 00:00:00"), "line 1: period: expected hh:mm:ss, not 00:00:00");
  EXPECT_EQ(
      ParseError("channels = T P 7"),
      "line 1: channels: each channel is a type letter, optionally ':' and an address byte in hex");
  EXPECT_EQ(ParseError("channels = T:1G"), "line 1: channels: 'T:1G' has no valid address byte");
  std::string many = "channels =";
  for (int i = 0; i < 25; ++i) many += " T";
  EXPECT_EQ(ParseError(many), "line 1: channels: at most 24");
  EXPECT_EQ(ParseError("channels = T P\ncoefficients.3 = 1 2 3 4"),
            "coefficients.3: the logger has only 2 channels");
  EXPECT_EQ(ParseError("coefficients.1 = 1 2 x 4"), "line 1: coefficients.1: 'x' is not a number");
  EXPECT_EQ(ParseError("burst_length = 600"),
            "line 1: burst_length: 0 (no bursts), 512, 1024, 2048 or 4096");
  EXPECT_EQ(ParseError("status = 7"),
            "line 1: status: 0 to 5 or 8 (profiling and memory error are not simulated)");
  EXPECT_EQ(ParseError("model = HV-3070\nchannels = T P"),
            "channels: an HV recorder has one channel");
  EXPECT_EQ(ParseError("start = 2026-02-01 00:00:00\nend = 2026-01-01 00:00:00"),
            "end: the deployment ends before it starts");
  EXPECT_EQ(ParseError("model = X\nbase = qz"),
            "line 2: 'base' must be the first key of a profile");
  EXPECT_EQ(ParseError("base = nosuch"), "line 1: no built-in profile named 'nosuch'");
  EXPECT_EQ(ParseError("threshold = 0102"),
            "line 1: threshold: the eight bytes of \"!A\" as 16 hex digits");
  EXPECT_EQ(ParseError(std::string(70000, '#')), "the profile is larger than 64 KiB");
}

TEST(Profile, ABaseProfileTakesLaterKeysOnTop) {
  Profile p;
  std::string error;
  ASSERT_TRUE(
      ParseProfile("base = qz   # start from the older QZ\nserial = 77\nchannels = T:01 C:05 P\n"
                   "capability.7 = 0x3\nthreshold = 05 01 00 10 00 00 20 00\n",
                   p, &error))
      << error;
  EXPECT_EQ(p.model, "QZ-740");
  EXPECT_EQ(p.firmware, 430);
  EXPECT_EQ(p.serial, 77);
  ASSERT_EQ(p.channels.size(), 3u);
  EXPECT_EQ(p.channels[1].letter, 'C');
  EXPECT_EQ(p.channels[1].address, 5);
  EXPECT_EQ(Word(p, 7), 3u);
  EXPECT_EQ(p.threshold[0], 5);
  EXPECT_EQ(p.threshold[6], 0x20);
  EXPECT_EQ(p.calibration, CalibrationKind::Flash);
}

TEST(Profile, FilesAreReadWithTheirNameInEveryMessage) {
  const std::string path = testing::TempDir() + "/sim_profile_test.profile";
  {
    std::ofstream f(path);
    f << "base = hv2\nserial = 42\nrecords = 10\n";
  }
  Profile p;
  std::string error;
  ASSERT_TRUE(LoadProfileFile(path, p, &error)) << error;
  EXPECT_EQ(p.serial, 42);
  EXPECT_EQ(p.name, path);
  {
    std::ofstream f(path);
    f << "records = many\n";
  }
  EXPECT_FALSE(LoadProfileFile(path, p, &error));
  EXPECT_EQ(error, path + ": line 1: records: 'many' is not a whole number from 0 to 3000000");
  std::remove(path.c_str());
  EXPECT_FALSE(LoadProfileFile(path, p, &error));
  EXPECT_EQ(error, "cannot open the profile file " + path);
  EXPECT_FALSE(LoadBuiltinProfile("nosuch", p, &error));
  EXPECT_NE(error.find("no built-in profile named 'nosuch' (known: extended"), std::string::npos)
      << error;
}

TEST(HexImage, TheImageAfterTheRulerIsRead) {
  const std::string file =
      "KTS QZ-740  6.51 001234 (Windows: 6.01)\nHost time     26/12/07 12:00:00\n"
      "Number of bytes of data 25\n|     |     |     |     |     |     |     |\n"
      "000102030405060708090A0B0C0D0E0F101112131415abcd\nEF";
  HexImage image;
  std::string error;
  ASSERT_TRUE(ParseHexImage(file, &image, &error)) << error;
  EXPECT_EQ(image.model, "QZ-740");
  ASSERT_EQ(image.bytes.size(), 25u);
  EXPECT_EQ(image.bytes[0], 0x00);
  EXPECT_EQ(image.bytes[23], 0xCD);
  EXPECT_EQ(image.bytes[24], 0xEF);

  EXPECT_FALSE(ParseHexImage("hello\nNumber of bytes of data 1\n|\n00", &image, &error));
  EXPECT_EQ(error, "not a KTS HEX file: its first line names no KTS logger");
  EXPECT_FALSE(ParseHexImage("KTS QZ-740 6.51 1\nno count here\n", &image, &error));
  EXPECT_EQ(error, "not a KTS HEX file: no \"Number of bytes of data\" line");
  EXPECT_FALSE(
      ParseHexImage("KTS QZ-740 6.51 1\nNumber of bytes of data 4\n|  |\n0102", &image, &error));
  EXPECT_EQ(error, "the file holds only 2 of its 4 bytes of data");
  EXPECT_FALSE(
      ParseHexImage("KTS QZ-740 6.51 1\nNumber of bytes of data 2\n|  |\n01\nG2", &image, &error));
  EXPECT_EQ(error, "line 5: 'G' is not a hex digit");
  EXPECT_FALSE(
      ParseHexImage("KTS QZ-740 6.51 1\nNumber of bytes of data 9999999999\n", &image, &error));
  EXPECT_EQ(error, "9999999999 bytes of data is more than a logger memory holds (8 MiB)");
  EXPECT_FALSE(LoadHexImage("/nonexistent/x.hex", &image, &error));
  EXPECT_EQ(error, "cannot open the HEX file /nonexistent/x.hex");
}

TEST(SimulatedLoggerStart, BadInputIsRefusedWithItsReason) {
  std::string error;
  SimOptions o;
  o.profile = "nosuch";
  EXPECT_EQ(SimulatedLogger::Start(o, &error), nullptr);
  EXPECT_NE(error.find("no built-in profile named 'nosuch'"), std::string::npos);
  o.profile = "qz";
  o.settings = {"records = -1"};
  EXPECT_EQ(SimulatedLogger::Start(o, &error), nullptr);
  EXPECT_EQ(
      error,
      "setting 'records = -1': line 1: records: '-1' is not a whole number from 0 to 3000000");
  o.settings = {};
  o.hexFile = "/nonexistent/x.hex";
  EXPECT_EQ(SimulatedLogger::Start(o, &error), nullptr);
  EXPECT_EQ(error, "cannot open the HEX file /nonexistent/x.hex");
  o.hexFile = {};
  o.logFile = "/nonexistent/dir/sim.log";
  EXPECT_EQ(SimulatedLogger::Start(o, &error), nullptr);
  EXPECT_NE(error.find("cannot open the log file /nonexistent/dir/sim.log"), std::string::npos);
}

}  // namespace
}  // namespace kts::sim
