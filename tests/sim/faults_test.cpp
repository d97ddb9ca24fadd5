// Every kind of injected fault, seen from the host's side.
#include <gtest/gtest.h>

#include "core/checksum.h"
#include "core/text.h"
#include "link/commands.h"
#include "link/protocol.h"
#include "link/serial_link.h"
#include "sim_rig.h"
#include "sim_test_support.h"

namespace kts {
namespace {

using test::Exchange;

// Reads `blocks` blocks of 240 bytes and tells which ones had a good check byte.
std::string BlockPattern(Session& s, int blocks) {
  std::string pattern;
  for (int b = 0; b < blocks; ++b) {
    const std::string reply = Exchange(s, ReadMemoryCommand(240u * b, 240u * b + 240), 241);
    const bool good =
        reply.size() == 241 && static_cast<uint8_t>(reply[240]) ==
                                   ByteSum(reinterpret_cast<const uint8_t*>(reply.data()), 240);
    pattern.push_back(good ? '+' : '-');
  }
  return pattern;
}

TEST(Faults, WrongCheckBytesOnTheChosenReads) {
  test::SimRig rig("extended", {"records = 500"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  sim::Faults f;
  f.badCheckReads = {2, 3};
  rig.sim->setFaults(f);
  EXPECT_EQ(BlockPattern(rig.s(), 5), "+--++");
  EXPECT_EQ(BlockPattern(rig.s(), 2), "++") << "a read again is good";
}

TEST(Faults, BitNoiseIsRepeatableWithItsSeed) {
  sim::Faults f;
  f.noiseRate = 0.002;
  f.seed = 11;
  std::string patterns[3];
  for (int run = 0; run < 3; ++run) {
    test::SimRig rig("extended", {"records = 500"});
    ASSERT_TRUE(rig.ok()) << rig.error;
    if (run == 2) f.seed = 12;
    rig.sim->setFaults(f);
    patterns[run] = BlockPattern(rig.s(), 12);
  }
  EXPECT_EQ(patterns[0], patterns[1]);
  EXPECT_NE(patterns[0], patterns[2]);
  EXPECT_NE(patterns[0].find('-'), std::string::npos) << patterns[0];
  EXPECT_NE(patterns[0].find('+'), std::string::npos) << patterns[0];
}

TEST(Faults, DroppedRepliesAreRetriedByTheHost) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  sim::Faults f;
  f.droppedReplies = {1};
  rig.sim->setFaults(f);
  rig.sim->clearExchanges();
  EXPECT_TRUE(QueryTagged(rig.s(), "T", "Logger"));
  EXPECT_EQ(rig.sim->commands(), (std::vector<std::string>{"T", "T"}));

  // A drop rate gives the same gaps with the same seed: twelve commands at
  // once, and the logger's own log of which replies it dropped.
  auto pattern = [&rig](uint64_t seed) {
    sim::Faults g;
    g.dropRate = 0.5;
    g.seed = seed;
    rig.sim->setFaults(g);
    rig.sim->clearExchanges();
    WriteComm(rig.s(), PortRole::Logger, "TTTTTTTTTTTT");
    DelayMs(rig.s(), 150);
    DiscardInput(rig.s());
    std::string p;
    for (const sim::ExchangeEntry& e : rig.sim->exchanges()) {
      if (e.kind == sim::ExchangeEntry::Command) p.push_back('+');
      if (e.kind == sim::ExchangeEntry::Note && Contains(e.bytes, "dropped")) p.back() = '-';
    }
    return p;
  };
  const std::string a = pattern(5);
  EXPECT_EQ(a.size(), 12u);
  EXPECT_NE(a.find('-'), std::string::npos) << a;
  EXPECT_EQ(a, pattern(5));
  EXPECT_NE(a, pattern(6));
}

TEST(Faults, SilenceAfterSomeCommandsAndSlowReplies) {
  test::SimRig rig("extended", {"records = 10"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  sim::Faults f;
  f.silentAfter = 2;
  rig.sim->setFaults(f);
  EXPECT_FALSE(Exchange(s, "T", 18).empty());
  EXPECT_FALSE(Exchange(s, "T", 18).empty());
  EXPECT_TRUE(Exchange(s, "T", 18).empty());
  SendSimple(s, "!E03");
  EXPECT_TRUE(Exchange(s, "T", 18).empty());
  rig.sim->setFaults(sim::Faults{});
  EXPECT_EQ(Exchange(s, "T", 18), "Logger status 0200") << "a silent logger changed nothing";

  f = sim::Faults{};
  f.slowMs = 600;
  rig.sim->setFaults(f);
  EXPECT_EQ(Exchange(s, "T", 18), "") << "not within the read time";
  DelayMs(s, 400);
  uint8_t late[32];
  EXPECT_EQ(ReadComm(s, PortRole::Logger, late, sizeof late, 18), 18);
}

TEST(Faults, AnEraseThatFailsLeavesStatus7F) {
  test::SimRig rig("extended", {"records = 10", "erase_ms = 100", "status = 4"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  Session& s = rig.s();
  s.link.identity.extended = true;
  sim::Faults f;
  f.eraseFailures = 1;
  rig.sim->setFaults(f);
  CommSend(s, 12);
  DelayMs(s, 200);
  EXPECT_EQ(CommGet(s, 26), 0);
  EXPECT_EQ(Exchange(s, "T", 18), "Logger status 7F00");
  EXPECT_GT(rig.sim->snapshot().memoryPointer, 0u) << "nothing erased";
  CommSend(s, 12);
  DelayMs(s, 200);
  EXPECT_EQ(CommGet(s, 26), 1) << "the next erase works";
  EXPECT_EQ(rig.sim->snapshot().memoryPointer, 0u);
}

}  // namespace
}  // namespace kts
