#include "platform/port_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kts {
namespace {

TEST(PortMap, DefaultDevicesByComNumber) {
  EXPECT_EQ(DefaultComDevice(1), "/dev/ttyS0");
  EXPECT_EQ(DefaultComDevice(5), "/dev/ttyUSB0");
  EXPECT_EQ(DefaultComDevice(12), "/dev/ttyUSB7");
  EXPECT_EQ(DefaultComDevice(13), "/dev/ttyACM0");
  EXPECT_EQ(DefaultComDevice(17), "");
  EXPECT_EQ(DefaultComDevice(0), "");
}

TEST(PortMap, ComNumbersAsUsersWriteThem) {
  EXPECT_EQ(ParseComNumber("3"), 3);
  EXPECT_EQ(ParseComNumber("COM3"), 3);
  EXPECT_EQ(ParseComNumber("com16"), 16);
  EXPECT_EQ(ParseComNumber("COM17"), 0);
  EXPECT_EQ(ParseComNumber("/dev/ttyUSB0"), 0);
  EXPECT_EQ(ParseComNumber(""), 0);
}

TEST(PortMap, StableNamesArePreferredWhereTheyExist) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kts_byid_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path device = dir / "ttyFAKE0";
  std::ofstream(device) << "";
  fs::create_symlink(device, dir / "usb-KTS_Cable_1234-if00");
  EXPECT_EQ(PreferStableName(device.string(), dir.string()),
            (dir / "usb-KTS_Cable_1234-if00").string());
  EXPECT_EQ(PreferStableName("/dev/does-not-exist", dir.string()), "/dev/does-not-exist");
  fs::remove_all(dir);
}

TEST(PortMap, UserMappingRoundTripsThroughItsFile) {
  const std::string path = (std::filesystem::temp_directory_path() / "kts_ports_test.ini").string();
  PortMap map;
  map.device[7] = "/dev/serial/by-id/usb-FTDI-if00";
  ASSERT_TRUE(WritePortMap(path, map));
  PortMap back;
  ASSERT_TRUE(ReadPortMap(path, back));
  EXPECT_EQ(back.deviceFor(7), "/dev/serial/by-id/usb-FTDI-if00");
  EXPECT_EQ(back.device[6], "");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace kts
