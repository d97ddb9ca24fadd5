// The logger answers only at its own rate; "!E" moves it; --pace holds
// replies to the line rate.
#include <gtest/gtest.h>

#include <chrono>

#include "link/protocol.h"
#include "link/serial_link.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

using test::Exchange;

// "!E" as the host sends it: then 200 ms before anything else.
void ChangeRate(Session& s, const char* command) {
  WriteComm(s, PortRole::Logger, command);
  DelayMs(s, 200);
}

bool Answers(Session& s, int baud) {
  SetCommBaud(s, baud);
  const bool answered = Exchange(s, "A", 24).rfind("KTS ", 0) == 0;
  DelayMs(s, 20);
  DiscardInput(s);  // the rest of a longer identity
  return answered;
}

TEST(LineRate, TheLoggerAnswersAtItsOwnRateOnly) {
  test::SimRig rig("qz", {"records = 10"}, 19200);  // the logger is at 9600
  ASSERT_TRUE(rig.ok()) << rig.error;
  EXPECT_EQ(Exchange(rig.s(), "A", 24), "");
  EXPECT_FALSE(Answers(rig.s(), 4800));
  EXPECT_TRUE(Answers(rig.s(), 9600));
  EXPECT_FALSE(Answers(rig.s(), 19200));
}

TEST(LineRate, RateCodesMoveTheLoggerAfterTheCommand) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  ChangeRate(s, "!E03");  // 288000 / 5
  EXPECT_FALSE(Answers(s, 19200));
  EXPECT_TRUE(Answers(s, 57600));
  ChangeRate(s, "!E01");
  EXPECT_TRUE(Answers(s, 115200));
  // What follows a rate change in the same breath was sent at the old rate.
  EXPECT_EQ(Exchange(s, "!E0DA", 24), "");
  EXPECT_TRUE(Answers(s, 19200));
  EXPECT_EQ(Exchange(s, "!E00", 19), "Invalid parameter\r\n") << "no rate has code 0";
  EXPECT_TRUE(Answers(s, 19200));

  sim::Faults f;
  f.oneRate = 19200;
  rig.sim->setFaults(f);
  ChangeRate(s, "!E03");
  EXPECT_FALSE(Answers(s, 57600)) << "a logger that answers at one rate only";
  EXPECT_TRUE(Answers(s, 19200));
}

TEST(LineRate, HvRecordersHaveTheirOwnTwoCodes) {
  test::SimRig rig("hv2", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ChangeRate(rig.s(), "!E00");
  EXPECT_TRUE(Answers(rig.s(), 28800));
  ChangeRate(rig.s(), "!E01");
  EXPECT_TRUE(Answers(rig.s(), 19200));

  test::SimRig old("hv140", {"records = 10"});
  ASSERT_TRUE(old.ok()) << old.error;
  ChangeRate(old.s(), "!E01");
  EXPECT_TRUE(Answers(old.s(), 2400)) << "firmware 1.40 cannot change its rate";
}

TEST(LineRate, PacedRepliesTakeTheirLineTime) {
  sim::SimOptions o = test::SimRig::Options("extended", {"records = 200"});
  o.pace = true;
  test::SimRig rig(o);
  ASSERT_TRUE(rig.ok()) << rig.error;
  const auto start = std::chrono::steady_clock::now();
  const std::string block = Exchange(rig.s(), ReadMemoryCommand(0, 960), 961);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  EXPECT_EQ(block.size(), 961u);
  EXPECT_GE(ms.count(), 480) << "961 bytes of 10 bits at 19200 baud take 500 ms";
}

}  // namespace
}  // namespace kts
