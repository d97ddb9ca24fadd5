// Live readings and real-time output records, and a logging logger keeping
// its memory, clock and status in step (driven on a simulated clock).
#include <gtest/gtest.h>

#include <cstring>

#include "core/checksum.h"
#include "core/text.h"
#include "core/time_math.h"
#include "link/commands.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "sim/logger_engine.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

// A binary record: one zero byte, the tag, 6 time bytes, 3 bytes a channel,
// the check byte (sum of tag, time and counts) and CR LF.
void ExpectBinaryRecord(const std::string& r, const char* tag, int channels) {
  ASSERT_EQ(r.size(), 3u * channels + 13) << sim::EscapeBytes(r);
  EXPECT_EQ(r[0], '\0');
  EXPECT_EQ(r.substr(1, 3), tag);
  const auto* body = reinterpret_cast<const uint8_t*>(r.data() + 1);
  EXPECT_EQ(static_cast<uint8_t>(r[10 + 3 * channels]),
            ByteSum(body, 9 + 3 * static_cast<size_t>(channels)));
  EXPECT_EQ(r.substr(r.size() - 2), "\r\n");
}

// A fetch answers after the channels' reading time.
std::string FetchText(Session& s, const std::string& command) {
  WriteComm(s, PortRole::Logger, command);
  DelayMs(s, 300);
  uint8_t buffer[200];
  const int n = ReadComm(s, PortRole::Logger, buffer, sizeof buffer, 120);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(n));
}

TEST(LiveReadings, BinaryAndSingleChannelFetches) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  s.link.identity.extended = true;
  s.description.channelCount = 3;
  ASSERT_EQ(CommGet(s, 7), 1);  // "F00" and the fetch wait
  ExpectBinaryRecord(std::string(s.reply.raw()), "TIM", 3);
  s.fetch.allChannels = false;
  s.fetch.fetchCode = 2;
  ASSERT_EQ(CommGet(s, 7), 1);  // "F02": one count, line end taken off
  ASSERT_EQ(s.reply.text().size(), 6u);
  EXPECT_EQ(s.reply.text().find_first_not_of("0123456789ABCDEF"), std::string_view::npos);

  test::SimRig hv("hv2", {"records = 10"});
  ASSERT_TRUE(hv.ok()) << hv.error;
  const std::string plain = FetchText(hv.s(), "F05");
  ExpectBinaryRecord(plain.substr(0, 16), "TIM", 1);
  EXPECT_EQ(plain.substr(16), "Unknown command\r\nUnknown command\r\n")
      << "'F' alone is the command";
}

TEST(LiveReadings, EngineeringUnitsWhenTheOptionByteAsksForThem) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  SendSimple(rig.s(), "!100040000");  // option byte bit 2: engineering units
  const std::string r = FetchText(rig.s(), "F00");
  double c = 0, t = 0, p = 0;
  ASSERT_EQ(std::sscanf(r.c_str(), "TIM %lf %lf %lf FET", &c, &t, &p), 3) << r;
  EXPECT_NEAR(c, 38.2, 2.5);
  EXPECT_NEAR(t, 11.5, 4);
  EXPECT_NEAR(p, 50, 3);
  EXPECT_EQ(r.substr(r.size() - 5), "FET\r\n");

  test::SimRig blank("extended", {"records = 10", "calibration_records = 0"});
  ASSERT_TRUE(blank.ok()) << blank.error;
  SendSimple(blank.s(), "!100040000");
  EXPECT_EQ(FetchText(blank.s(), "F00"), "Not calibrated FET\r\n");
}

TEST(LiveReadings, RealTimeRecordsFlowWhileLogging) {
  test::SimRig rig("yp930");
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  // Start now at six readings a second, real-time output on, no storage.
  SendSimple(s, "!161010000");
  SendSimple(s, "!B0D");
  SendSimple(s, "L000101000000");
  SendSimple(s, "M991231235959");
  EXPECT_EQ(test::Exchange(s, "P", 25), "Logger started in mode 02");
  const uint32_t pointer = rig.sim->snapshot().memoryPointer;
  std::string line;
  uint8_t buffer[512];
  for (int i = 0; i < 20 && line.size() < 4 * 22; ++i)
    line.append(reinterpret_cast<char*>(buffer),
                static_cast<size_t>(ReadComm(s, PortRole::Logger, buffer, sizeof buffer, 400)));
  ASSERT_GE(line.size(), 3u * 22);
  for (size_t at = 0; at + 22 <= line.size(); at += 22)
    ExpectBinaryRecord(line.substr(at, 22), "TIM", 3);
  EXPECT_EQ(rig.sim->snapshot().memoryPointer, pointer) << "data storage inhibited";
  SendSimple(s, "!9");
}

// The engine on a clock the test moves: an hour of tide-and-wave logging.
TEST(LiveLogging, AnHourOfTideAndWavesGoesIntoMemoryAndOutInRealTime) {
  sim::Profile p;
  ASSERT_TRUE(sim::LoadBuiltinProfile("hkv", p, nullptr));
  std::string error;
  ASSERT_TRUE(
      sim::ApplyProfileLines("records = 0\nstatus = 0\nclock = 2026-12-01 00:00:00\n", p, &error))
      << error;
  sim::ExchangeLog log;
  sim::EngineTime now{1000, ToTicks(MakeTime(2026, 12, 1, 0, 0, 0))};
  sim::LoggerEngine engine(p, 1, log, now);
  auto say = [&](const std::string& command) {
    engine.receive(reinterpret_cast<const uint8_t*>(command.data()), command.size(), 19200, now);
  };
  say("L261201000010M261201020000K001000");  // ten-minute tide records for two hours
  say("!60002010000!404!120000000!B0D");     // 512-sample bursts hourly at 4 Hz, real-time on
  say("P");
  std::string out;
  for (const sim::Outgoing& o : engine.takeOutput()) out += o.bytes;
  EXPECT_EQ(out, "Logger started in mode 01");
  // Through the hour in quarter seconds.
  std::string realTime;
  for (int step = 0; step < 4 * 3900; ++step) {
    now.monoMs += 250;
    now.wallTicks += 250 * kTicksPerMillisecond;
    engine.tick(now);
    for (const sim::Outgoing& o : engine.takeOutput()) realTime += o.bytes;
  }
  EXPECT_EQ(engine.status(), 2);
  const std::vector<uint8_t>& image = engine.memory().image();
  // Header, two bursts (each a BST stamp, 512 words and a TIM stamp) and
  // seven tide records.
  EXPECT_EQ(image.size(), 48u + 2 * (12 + 512 * 3 + 12) + 7 * 6);
  EXPECT_EQ(std::string(image.begin() + 51, image.begin() + 54), "BST");
  // Every record is 19 bytes here: two channels, or a pair of wave samples.
  int bst = 0, seq = 0, tim = 0;
  ASSERT_EQ(realTime.size() % 19, 0u);
  for (size_t at = 0; at + 19 <= realTime.size(); at += 19) {
    ExpectBinaryRecord(realTime.substr(at, 19), realTime.substr(at + 1, 3).c_str(), 2);
    const std::string tag = realTime.substr(at + 1, 3);
    bst += tag == "BST", seq += tag == "SEQ", tim += tag == "TIM";
  }
  EXPECT_EQ(bst, 2);
  EXPECT_EQ(seq, 2 * 255);
  EXPECT_EQ(tim, 7);
  // The end of the deployment ends the logging.
  now.wallTicks += 3600 * kTicksPerSecond;
  engine.tick(now);
  EXPECT_EQ(engine.status(), 4);
}

}  // namespace
}  // namespace kts
