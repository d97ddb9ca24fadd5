// Status, erase, enable, stop, suspend and resume, and the settings the host
// writes and reads back, driven through the host's own commands.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/text.h"
#include "core/time_format.h"
#include "core/time_math.h"
#include "link/commands.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

std::string Ask(Session& s, const char* command, const char* tag) {
  EXPECT_TRUE(QueryTagged(s, command, tag)) << command;
  return std::string(s.reply.text());
}

std::string Wire(const TimeRecord& t) {
  return FormatWireDateTime(t).str();
}

TEST(LoggerControl, EraseTakesItsTimeAndLeavesAnEmptyMemory) {
  test::SimRig rig("extended", {"records = 50", "erase_ms = 400"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  s.link.identity.extended = true;
  SendSimple(s, "!9");
  EXPECT_EQ(test::Exchange(s, "T", sizeof "Logger status 0402" - 1), "Logger status 0402")
      << "stopped by the user";
  EXPECT_EQ(CommSend(s, 12), 1);  // "!U01", 120 ms, "N"
  EXPECT_EQ(test::Exchange(s, "T", sizeof "Logger status 7F00" - 1), "Logger status 7F00")
      << "busy erasing";
  EXPECT_EQ(CommGet(s, 26), 0);
  const uint32_t before = rig.sim->snapshot().memoryPointer;
  EXPECT_EQ(test::PointerFromReply(Ask(s, "G", "CDP")), before)
      << "the old pointer until the erase ends";
  EXPECT_GT(before, 48u);
  DelayMs(s, 400);
  EXPECT_EQ(CommGet(s, 26), 1);
  EXPECT_EQ(test::Exchange(s, "T", sizeof "Logger status 0000" - 1), "Logger status 0000");
  EXPECT_EQ(test::Exchange(s, "G", sizeof "00000000CDP" - 1), "00000000CDP");
  EXPECT_TRUE(rig.sim->image().empty());

  test::SimRig old("qz", {"records = 50", "erase_ms = 100"});
  ASSERT_TRUE(old.ok()) << old.error;
  SendSimple(old.s(), "N");
  DelayMs(old.s(), 150);
  EXPECT_EQ(test::Exchange(old.s(), "T", sizeof "Logger status 00" - 1), "Logger status 00");
  EXPECT_EQ(test::Exchange(old.s(), "G", sizeof "00000200CDP" - 1), "00000200CDP")
      << "older loggers start at 0x20000";
}

TEST(LoggerControl, EnableAnswersWithTheNewStatus) {
  test::SimRig rig("extended", {"records = 0", "status = 0"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  const TimeRecord clock = rig.sim->snapshot().clock;
  SendSimple(s, "L" + Wire(AddSeconds(clock, 3600)));
  SendSimple(s, "M" + Wire(AddSeconds(clock, 86400)));
  SendSimple(s, "K000010");
  EXPECT_EQ(test::Exchange(s, "P", sizeof "Logger started in mode 01" - 1),
            "Logger started in mode 01")
      << "a timed start";
  EXPECT_EQ(test::Exchange(s, "G", sizeof "30000000CDP" - 1), "30000000CDP")
      << "the 48-byte header is written";
  EXPECT_EQ(test::Exchange(s, "D", 15), Wire(AddSeconds(clock, 3600)) + "CST");
  EXPECT_EQ(test::Exchange(s, "E", 15), Wire(AddSeconds(clock, 86400)) + "CET");
  EXPECT_EQ(test::Exchange(s, "C", sizeof "000010CSP" - 1), "000010CSP");
  EXPECT_EQ(test::Exchange(s, "P", sizeof "Logger started in mode 01" - 1),
            "Logger started in mode 01")
      << "already enabled";
  SendSimple(s, "!9");

  SendSimple(s, "!101000000");  // start now
  EXPECT_EQ(test::Exchange(s, "P", sizeof "Logger started in mode 02" - 1),
            "Logger started in mode 02");
  SendSimple(s, "!9");
  SendSimple(s, "!100000000");
  SendSimple(s, "!A0501E00000800000");  // start above a threshold
  EXPECT_EQ(test::Exchange(s, "P", sizeof "Logger started in mode 03" - 1),
            "Logger started in mode 03");
  SendSimple(s, "!9");
  SendSimple(s, "!A0000000000000000");
  SendSimple(s, "M" + Wire(AddSeconds(clock, -60)));
  EXPECT_EQ(test::Exchange(s, "P", sizeof "Logger started in mode 04" - 1),
            "Logger started in mode 04")
      << "its end has passed";
}

TEST(LoggerControl, SuspendResumeAndContinueAfterAStop) {
  test::SimRig rig("extended", {"records = 50"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  s.link.identity.extended = true;
  SendSimple(s, "!S");
  EXPECT_EQ(test::Exchange(s, "T", sizeof "Logger status 0500" - 1), "Logger status 0500");
  EXPECT_EQ(CommSend(s, 23), 1) << "the host's resume";
  EXPECT_EQ(s.link.status, 2);
  EXPECT_TRUE(rig.t.ui.sawStatus("Logger resumed sampling"));

  SendSimple(s, "!9");
  const uint32_t stopped = rig.sim->snapshot().memoryPointer;
  SendSimple(s, "!R");
  EXPECT_EQ(test::Exchange(s, "T", sizeof "Logger status 0200" - 1), "Logger status 0200")
      << "continues adding to its data";
  const std::vector<uint8_t> image = rig.sim->image();
  ASSERT_GE(image.size(), stopped + 12u);
  EXPECT_EQ(std::string(image.begin() + stopped + 3, image.begin() + stopped + 6), "TIM");

  test::SimRig old("qz", {"records = 50", "status = 2", "end = 2030-01-01 00:00:00"});
  ASSERT_TRUE(old.ok()) << old.error;
  SendSimple(old.s(), "!9");
  EXPECT_EQ(test::Exchange(old.s(), "T", sizeof "Logger status 04" - 1), "Logger status 04")
      << "older loggers report complete";
}

TEST(LoggerControl, SettingsReadBackAsTheHostChecksThem) {
  test::SimRig rig("hkv", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  s.link.identity.extended = true;
  s.description.averaging = true;
  s.deployment.averagingEnabled = true;
  s.deployment.averagingPeriod = 10;
  s.description.highRate = true;
  s.description.waves = true;  // only the tide-and-wave logger is asked its rate
  s.deployment.burstRate = 2;
  EXPECT_EQ(CommSend(s, 17), 1) << "W with the rate, read back with X";
  EXPECT_EQ(test::Exchange(s, "X", sizeof "1400BST" - 1), "1400BST");
  s.deployment.block.startMode = 1;
  s.deployment.realTimeOutput = 1;
  EXPECT_EQ(CommSend(s, 29), 1) << "!1, read back with !2";
  EXPECT_EQ(test::Exchange(s, "!2", sizeof "21000000STC" - 1), "21000000STC");
  EXPECT_EQ(CommSend(s, 30), 1) << "!4, read back with !5";
  s.deployment.burstEnabled = true;
  s.deployment.burstLength = 1024;
  s.deployment.burstPeriod = MakePeriod(1, 0, 0);
  EXPECT_EQ(CommSend(s, 31), 1) << "!6, read back with !7";
  EXPECT_EQ(CommGet(s, 31), 1);
  EXPECT_EQ(s.deployment.burstLength, 1024u);
  s.deployment.loggerHeight = 1.75;
  EXPECT_EQ(CommSend(s, 32), 1) << "!Y, read back with !Z";
  s.deployment.loggerHeight = 0;
  EXPECT_EQ(CommGet(s, 32), 1);
  EXPECT_DOUBLE_EQ(s.deployment.loggerHeight, 1.75);
  EXPECT_EQ(rig.t.ui.messages.size(), 0u) << rig.t.ui.messageTexts();

  SendSimple(s, "!A0601E12345ABCDEF");
  EXPECT_EQ(test::Exchange(s, "!L", sizeof "0601E12345ABCDEFTHR" - 1), "0601E12345ABCDEFTHR");
  SendSimple(s, "!B0D");
  EXPECT_EQ(test::Exchange(s, "!M", sizeof "0DBAU" - 1), "0DBAU");
  SendSimple(s, "!K001500");
  EXPECT_EQ(test::Exchange(s, "!P", sizeof "001500PSP" - 1), "001500PSP");
  SendSimple(s, "!H3412");
  EXPECT_EQ(test::Exchange(s, "!O", sizeof "3412HYS" - 1), "3412HYS");
  EXPECT_EQ(CommGet(s, 33), 1) << "!U02 then !T00 shows 0102";
  EXPECT_EQ(test::Exchange(s, "!W", sizeof "5.00WIN" - 1), "5.00WIN");
  EXPECT_EQ(test::Exchange(s, "!D", sizeof "A8BAT" - 1), "A8BAT");
}

TEST(LoggerControl, TheClockIsSetAndReadBack) {
  test::SimRig rig("qz", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  EXPECT_EQ(CommSend(s, 1, "261207120000"), 1);
  EXPECT_EQ(CommGet(s, 1), 1);
  EXPECT_LE(std::llabs(DiffSeconds(s.link.loggerClock, MakeTime(2026, 12, 7, 12, 0, 0))), 1);

  // Bad parameters change nothing and say so.
  EXPECT_EQ(test::Exchange(s, "J261332000000", 19), "Invalid parameter\r\n");
  EXPECT_EQ(test::Exchange(s, "K000000", 19), "Invalid parameter\r\n");
  EXPECT_EQ(test::Exchange(s, "W12G4", 19), "Invalid parameter\r\n");
  EXPECT_EQ(test::Exchange(s, "Q", 17), "Unknown command\r\n");
  EXPECT_EQ(test::Exchange(s, "!Q", 17), "Unknown command\r\n");
  EXPECT_EQ(CommGet(s, 1), 1);
  EXPECT_LE(std::llabs(DiffSeconds(s.link.loggerClock, MakeTime(2026, 12, 7, 12, 0, 0))), 2);
  // Line ends and stray acknowledgements between commands are skipped.
  EXPECT_EQ(test::Exchange(s, "\r\n\x06T", 16), "Logger status 04");
}

}  // namespace
}  // namespace kts
