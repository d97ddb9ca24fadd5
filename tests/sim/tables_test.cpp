// Tables, calibration history and its upload, through the host's ReadTable
// and SendTable over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <cstring>

#include "core/checksum.h"
#include "core/text.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

using test::Exchange;

std::vector<uint8_t> Read(Session& s, const std::string& command, int* result) {
  uint8_t table[300];
  int length = 0;
  *result = ReadTable(s, command, table, sizeof table, &length);
  return std::vector<uint8_t>(table,
                              table + (length > 0 ? length - 1 : 0));  // without the check byte
}

TEST(Tables, ConfigurationDefaultBaudAndRsAdvancedOfAnExtendedLogger) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  int r = 0;
  EXPECT_EQ(Read(rig.s(), "R0100", &r),
            (std::vector<uint8_t>{3, 30, 0, 2, 0, 'C', 1, 'T', 2, 'P', 3}));
  EXPECT_EQ(r, 1);
  EXPECT_EQ(Read(rig.s(), "R0300", &r), (std::vector<uint8_t>{13}));  // 288000 / 19200 − 2
  EXPECT_EQ(Read(rig.s(), "R0700", &r), (std::vector<uint8_t>{0x04, 0, 0, 0}));
  EXPECT_EQ(r, 1);
  Read(rig.s(), "R0500", &r);
  EXPECT_EQ(r, -1) << "no range switching table";
  Read(rig.s(), "R0100", &r);
  EXPECT_EQ(r, 1) << "the ACK after an absent table is not taken for a command";

  test::SimRig old("qz", {"records = 10"});
  ASSERT_TRUE(old.ok()) << old.error;
  Read(old.s(), "R0100", &r);
  EXPECT_EQ(r, 0);
  EXPECT_TRUE(Contains(old.s().reply.text(), "Unknown command"));
}

TEST(Tables, RangeSwitchingTablesAreReadAndWrittenBack) {
  test::SimRig rig("rangeswitch", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  int r = 0;
  std::vector<uint8_t> caps = Read(s, "R0400", &r);
  ASSERT_EQ(r, 1);
  ASSERT_EQ(caps.size(), 25u);
  EXPECT_EQ(caps[3], 0xFD);
  std::vector<uint8_t> ranges = Read(s, "R0500", &r);
  ASSERT_EQ(ranges.size(), 25u);
  EXPECT_EQ(ranges[3], 0xE6);  // turbidity: autoranging (mode 6)
  EXPECT_EQ(ranges[4], 0xE5);  // fluorometer: autoranging (mode 5)
  EXPECT_EQ(ranges[5], 0xFF);

  ranges[3] = 0x8E;  // fixed gain, second range
  ASSERT_TRUE(SendTable(s, "S0500", 25, ranges.data()));
  EXPECT_EQ(Read(s, "R0500", &r), ranges);
  EXPECT_FALSE(SendTable(s, "S0500", 3, ranges.data())) << "a table keeps its length";
  EXPECT_FALSE(SendTable(s, "S0700", 4, ranges.data())) << "the RS advanced table is read-only";
  EXPECT_EQ(Read(s, "R0500", &r), ranges) << "and nothing was lost";
}

TEST(Tables, TheMicroSalinometerStandardization) {
  test::SimRig rig("yp930");
  ASSERT_TRUE(rig.ok()) << rig.error;
  int r = 0;
  std::vector<uint8_t> t = Read(rig.s(), "R0600", &r);
  ASSERT_EQ(r, 1);
  ASSERT_EQ(t.size(), 33u);
  EXPECT_EQ(t[0], 1);
  double k15;
  std::memcpy(&k15, &t[17], 8);
  EXPECT_DOUBLE_EQ(k15, 0.99986);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&t[25]), 4), "P163");

  const double standard1 = 1.0031;
  std::memcpy(&t[1], &standard1, 8);
  ASSERT_TRUE(SendTable(rig.s(), "S0600", 33, t.data()));
  EXPECT_EQ(Read(rig.s(), "R0600", &r), t);
}

TEST(Tables, ANewDefaultRateTakesOverAfterItIsReadBack) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  int r = 0;
  // A wrong check byte is refused and changes nothing; so is a byte that
  // gives no standard rate (288000 / 252).
  WriteComm(s, PortRole::Logger, "S030002");
  ASSERT_TRUE(WaitAck(s));
  const uint8_t bad[2] = {28, 0x00};
  WriteBytes(s, PortRole::Logger, bad, 2);
  EXPECT_FALSE(WaitAck(s));
  uint8_t odd = 250;
  EXPECT_FALSE(SendTable(s, "S0300", 1, &odd));
  EXPECT_EQ(Read(s, "R0300", &r), (std::vector<uint8_t>{13}));

  uint8_t d = 28;  // 9600
  ASSERT_TRUE(SendTable(s, "S0300", 1, &d));
  EXPECT_EQ(Read(s, "R0300", &r), (std::vector<uint8_t>{28}));
  SetCommBaud(s, 9600);
  DelayMs(s, 200);
  EXPECT_EQ(test::Exchange(s, "A", 24), "KTS QZ-740 6.51 001234\r\n");
  EXPECT_EQ(rig.sim->snapshot().rate, 9600);
}

TEST(Tables, ALatencyChangeGoesIntoTheConfiguration) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  int r = 0;
  std::vector<uint8_t> config = Read(rig.s(), "R0100", &r);
  config[1] = 25;  // 250 ms
  ASSERT_TRUE(SendTable(rig.s(), "S0100", static_cast<int>(config.size()), config.data()));
  EXPECT_EQ(Read(rig.s(), "R0100", &r), config);
  config[0] = 5;  // five channels in a table with room for three
  EXPECT_FALSE(SendTable(rig.s(), "S0100", static_cast<int>(config.size()), config.data()));
}

TEST(CalibrationHistory, RecordsNewestFirstWithTheirCoefficients) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  int r = 0;
  std::vector<uint8_t> h = Read(s, "V000000", &r);
  ASSERT_EQ(r, 1);
  EXPECT_EQ(std::string(h.begin(), h.end()), "CAL261030150000");  // a month before the deployment
  h = Read(s, "V010000", &r);
  EXPECT_EQ(std::string(h.begin(), h.end()), "CAL251030140000");
  h = Read(s, "V020000", &r);
  EXPECT_EQ(std::string(h.begin(), h.end()).substr(0, 3), "CMM") << "an interrupted upload";
  Read(s, "V030000", &r);
  EXPECT_EQ(r, -1);
  Read(s, "V000004", &r);
  EXPECT_EQ(r, -1) << "three channels";
  std::vector<uint8_t> c = Read(s, "V000002", &r);
  ASSERT_EQ(c.size(), 32u);
  double temperature[4];
  std::memcpy(temperature, c.data(), 32);
  EXPECT_NEAR(temperature[0], 0.0035, 0.00002);
  EXPECT_NE(temperature[0], 0.0035);
}

// The host's upload: open with "A", one 33-byte record per channel, close with "Z".
int Upload(Session& s, int channels, const double (*sets)[4], int closeAfter = -1) {
  const uint8_t open = 'A', close = 'Z';
  if (!SendTable(s, "U0000", 1, &open)) return 0;
  for (int k = 1; k <= channels && k != closeAfter; ++k) {
    uint8_t data[34] = {};
    std::memcpy(data, sets[k - 1], 32);
    if (!SendTable(s, Format("U%02X%02X", k & 0xFF, k >> 8), 33, data)) return -k;
  }
  return SendTable(s, "U0000", 1, &close) ? 1 : 100;
}

TEST(CalibrationHistory, AnUploadBecomesTheNewestRecord) {
  test::SimRig rig("extended", {"records = 10", "channels = T:02"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  const double sets[1][4] = {{0.00349, -0.00025, 2.7e-6, 2.3e-8}};
  ASSERT_EQ(Upload(s, 1, sets), 1);
  int r = 0;
  std::vector<uint8_t> h = Read(s, "V000000", &r);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 3), "CAL");
  std::vector<uint8_t> c = Read(s, "V000001", &r);
  EXPECT_EQ(std::memcmp(c.data(), sets[0], 32), 0);
  Read(s, "V000002", &r);
  EXPECT_EQ(r, -1) << "one channel";
  EXPECT_EQ(Read(s, "V010000", &r).size(), 15u) << "the previous current record moved down";
  EXPECT_EQ(rig.sim->snapshot().historyRecords, 4);
}

TEST(CalibrationHistory, RefusalsCarryTheirFaultCode) {
  const double sets[1][4] = {};
  const uint8_t open = 'A';
  {
    test::SimRig full("extended", {"records = 10", "history_capacity = 3"});
    ASSERT_TRUE(full.ok()) << full.error;
    EXPECT_FALSE(SendTable(full.s(), "U0000", 1, &open));
    EXPECT_TRUE(Contains(full.s().reply.raw(), "F1\x15")) << "no more room";
  }
  test::SimRig rig("extended", {"records = 10", "channels = T:01"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  EXPECT_EQ(Upload(rig.s(), 1, sets, /*closeAfter=*/1), 100);
  EXPECT_TRUE(Contains(rig.s().reply.raw(), "F0\x15")) << "a channel missing at the close";
  int r = 0;
  std::vector<uint8_t> h = Read(rig.s(), "V000000", &r);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 3), "CMM");

  sim::Faults f;
  f.uploadFault = 2;
  rig.sim->setFaults(f);
  EXPECT_FALSE(SendTable(rig.s(), "U0000", 1, &open));
  EXPECT_TRUE(Contains(rig.s().reply.raw(), "F2\x15"));
  EXPECT_TRUE(SendTable(rig.s(), "U0000", 1, &open)) << "the fault was used up";
}

}  // namespace
}  // namespace kts
