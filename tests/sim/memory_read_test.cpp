// Memory reads from the logger's side: the check byte, the fixed forms of
// older loggers, the flash calibration area and the oldest "Z"/"Y" set.
#include <gtest/gtest.h>

#include <cstring>

#include "core/checksum.h"
#include "core/text.h"
#include "link/protocol.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

using test::Exchange;

std::string Slice(const std::vector<uint8_t>& image, uint32_t base, uint32_t start, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    const size_t at = start - base + i;
    out.push_back(static_cast<char>(at < image.size() ? image[at] : 0xFF));
  }
  return out;
}

std::string WithSum(std::string data) {
  data.push_back(
      static_cast<char>(ByteSum(reinterpret_cast<const uint8_t*>(data.data()), data.size())));
  return data;
}

TEST(MemoryRead, OlderLoggersAnswerBankBoundaryFormsWithTheCountsTheHostExpects) {
  // One voltage channel, enough records to pass 0x100000.
  test::SimRig rig("qz", {"channels = V", "records = 310000", "stamps = none", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  const std::vector<uint8_t> image = rig.sim->image();
  ASSERT_GT(0x20000 + image.size(), 0x100400u);

  // 126 data bytes up to the bank end, then the next block goes on from there.
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x0FF780, 0x100000), 127),
            WithSum(Slice(image, 0x20000, 0x0FF780, 126)));
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x0FF7FE, 0x0FF7FE + 480), 481),
            WithSum(Slice(image, 0x20000, 0x0FF7FE, 480)));
  // A start ending in FF00 that reaches the bank end: 255 bytes.
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x0AFF00, 0x0B0000), 256),
            WithSum(Slice(image, 0x20000, 0x0AFF00, 255)));
  // The same forms beyond the data read erased flash, with the same counts.
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x2FF780, 0x300000), 127).size(), 127u);
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x3FF780, 0x3FF9FE), 127),
            WithSum(std::string(126, '\xFF')));
  // Hex digits in either case.
  EXPECT_EQ(Exchange(s, "I00000100aaffffff", 19), "Invalid parameter\r\n");
  EXPECT_EQ(Exchange(s, "I00000b0000ff0a00", 256), WithSum(Slice(image, 0x20000, 0x0AFF00, 255)));
}

TEST(MemoryRead, TheOldestRecorderSendsNoCheckByte) {
  test::SimRig rig("hv140", {"records = 100", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  const std::vector<uint8_t> image = rig.sim->image();
  EXPECT_EQ(Exchange(rig.s(), ReadMemoryCommand(0x20000, 0x20000 + 30), 30),
            Slice(image, 0x20000, 0x20000, 30));
  EXPECT_EQ(Exchange(rig.s(), ReadMemoryCommand(0x0FF780, 0x100000), 127).size(), 126u);
  EXPECT_EQ(Exchange(rig.s(), ReadMemoryCommand(0x02FF00, 0x030000), 256).size(), 255u);
}

TEST(MemoryRead, ExtendedLoggersReadStraightAcrossBanks) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  EXPECT_EQ(Exchange(rig.s(), ReadMemoryCommand(0x0FF780, 0x100000), 0x881).size(), 0x881u);
  EXPECT_EQ(Exchange(rig.s(), "", 10), "") << "and nothing more";
}

TEST(MemoryRead, OlderQzConfigurationAndParameterBlock) {
  test::SimRig rig("qz", {"records = 20", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  const std::string config = Exchange(s, "I00000200c9ff0100", 55);
  ASSERT_EQ(config.size(), 55u);
  const auto* b = reinterpret_cast<const uint8_t*>(config.data());
  EXPECT_EQ(b[54], ByteSum(b, 54));
  EXPECT_EQ(b[53], 2);                // channels
  EXPECT_EQ(b[51] | b[52] << 8, 30);  // latency / 10 ms
  EXPECT_EQ(b[49] | b[50] << 8, 2);   // reading time / 100 ms
  EXPECT_EQ(b[47], 'T');
  EXPECT_EQ(b[45], 'P');

  const std::string block = Exchange(s, "I1E00020000000200", 31);
  ASSERT_EQ(block.size(), 31u);
  const auto* h = reinterpret_cast<const uint8_t*>(block.data());
  EXPECT_EQ(h[30], ByteSum(h, 30));
  EXPECT_EQ(ByteSum(h, 30), kTableSum) << "firmware above 2.65: the header sums to 0xA5";
}

TEST(MemoryRead, BadRequestsAreRefused) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x100, 0x100), 19), "Invalid parameter\r\n");
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0x200, 0x100), 19), "Invalid parameter\r\n");
  EXPECT_EQ(Exchange(s, ReadMemoryCommand(0, 0x20000), 19), "Invalid parameter\r\n");
  EXPECT_EQ(Exchange(s, "I0000010000000Z00", 19), "Invalid parameter\r\n");
  EXPECT_EQ(Exchange(s, "A", 24).substr(0, 10), "KTS QZ-740") << "and the logger still listens";
}

// Reads one record of the QZ flash area the way the host does: the 6 header
// bytes, then 33 bytes per channel, each read with its check byte.
bool ReadFlashRecord(Session& s, uint32_t* offset, int channels, std::string* header,
                     std::vector<std::string>* entries) {
  const uint32_t at = 0x10000 + *offset;
  const std::string h = Exchange(s, ReadMemoryCommand(at, at + 6), 7);
  if (h.size() != 7 || static_cast<uint8_t>(h[0]) == 0xFF) return false;
  *header = h.substr(0, 6);
  *offset += 6;
  for (int c = 0; c < channels; ++c) {
    const uint32_t e = 0x10000 + *offset;
    const std::string entry = Exchange(s, ReadMemoryCommand(e, e + 33), 34);
    EXPECT_EQ(entry.size(), 34u);
    EXPECT_EQ(static_cast<uint8_t>(entry[33]),
              ByteSum(reinterpret_cast<const uint8_t*>(entry.data()), 33));
    entries->push_back(entry.substr(0, 32));
    *offset += 33;
  }
  return true;
}

TEST(MemoryRead, QzFlashCalibrationRecordsAreAppendedAndReadBack) {
  test::SimRig rig("qz", {"records = 20", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  uint32_t offset = 0;
  std::string header;
  std::vector<std::string> entries;
  int records = 0;
  while (ReadFlashRecord(s, &offset, 2, &header, &entries)) ++records;
  EXPECT_EQ(records, 3);
  EXPECT_EQ(offset, 3u * (6 + 2 * 33));
  // The newest (last) record is dated a month before the deployment.
  EXPECT_EQ(header, std::string("\x26\x08\x31\x15\x00\x00", 6));

  // Append a fourth: the date as 12 digits, then each channel's 32 bytes.
  const double t[4] = {0.0036, -0.00024, 2.5e-06, 2.0e-08};
  const double p[4] = {-10.5, 1001.25, 0.5, 0.0};
  SendSimple(s, Format("!C%02X%02X06", offset & 0xFF, offset >> 8) + "261207120000");
  uint32_t at = offset + 6;
  for (const double* c : {t, p}) {
    std::string hex;
    const auto* bytes = reinterpret_cast<const uint8_t*>(c);
    for (int i = 0; i < 32; ++i) hex += Format("%02X", bytes[i]);
    SendSimple(s, Format("!C%02X%02X20", at & 0xFF, at >> 8) + hex);
    at += 33;
  }
  entries.clear();
  ASSERT_TRUE(ReadFlashRecord(s, &offset, 2, &header, &entries));
  EXPECT_EQ(header, std::string("\x26\x12\x07\x12\x00\x00", 6));
  EXPECT_EQ(entries[0], std::string(reinterpret_cast<const char*>(t), 32));
  EXPECT_EQ(entries[1], std::string(reinterpret_cast<const char*>(p), 32));
  EXPECT_FALSE(ReadFlashRecord(s, &offset, 2, &header, &entries)) << "erased flash after it";
  const std::vector<uint8_t> area = rig.sim->readMemory(0x10000 + 216, 6);
  EXPECT_EQ(std::string(area.begin(), area.end()), std::string("\x26\x12\x07\x12\x00\x00", 6));

  EXPECT_EQ(Exchange(s, "!CFFFE06000000000000", 19), "Invalid parameter\r\n");
}

TEST(MemoryRead, TheOldestLoggersKeepOneSetBehindZ) {
  test::SimRig rig("hv2", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  std::string reply = Exchange(s, "Z", 35);
  ASSERT_EQ(reply.size(), 35u);
  EXPECT_EQ(reply.substr(32), "CAL");
  double c[4];
  std::memcpy(c, reply.data(), 32);
  EXPECT_NEAR(c[0], 0.0035, 0.0001);

  const double set[4] = {0.00351, -0.000251, 2.71e-06, 2.31e-08};
  WriteComm(s, PortRole::Logger, "Y");
  WriteBytes(s, PortRole::Logger, reinterpret_cast<const uint8_t*>(set), 32);
  reply = Exchange(s, "Z", 35);
  EXPECT_EQ(reply, std::string(reinterpret_cast<const char*>(set), 32) + "CAL");

  test::SimRig blank("hv2", {"records = 10", "calibration_records = 0"});
  ASSERT_TRUE(blank.ok()) << blank.error;
  EXPECT_EQ(Exchange(blank.s(), "Z", 3), "CAL") << "not calibrated";
  EXPECT_EQ(Exchange(rig.s(), "!C000006000000000000", 17), "Unknown command\r\n")
      << "no flash area";
}

}  // namespace
}  // namespace kts
