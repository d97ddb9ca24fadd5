// The memory retrieval engine: block planning on its own, then whole
// retrievals against the simulated logger over a pseudo-terminal, with the
// faults a real line brings.
#include "link/memory_retrieval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/session.h"
#include "link/capabilities.h"
#include "link/commands.h"
#include "link/connection.h"
#include "link/protocol.h"
#include "sim_rig.h"

namespace kts {
namespace {

LoggerIdentity Id(const char* model, float firmware) {
  LoggerIdentity id{model, firmware, 1, false};
  id.extended = FirmwareAbove(id, 4.99);
  return id;
}

TEST(RetrievalPlan, BlockSizeFollowsTheRate) {
  EXPECT_EQ(RetrievalBlockSize(1200), 60);
  EXPECT_EQ(RetrievalBlockSize(2400), 120);
  EXPECT_EQ(RetrievalBlockSize(4800), 240);
  EXPECT_EQ(RetrievalBlockSize(9600), 480);
  EXPECT_EQ(RetrievalBlockSize(19200), 480);
  EXPECT_EQ(RetrievalBlockSize(28800), 480);
  EXPECT_EQ(RetrievalBlockSize(57600), 960);
  EXPECT_EQ(RetrievalBlockSize(115200), 960);
}

TEST(RetrievalPlan, RangeByFamilyWithItsClamps) {
  LoggerDescription d;
  MemoryRange r = RetrievalRange(Id("QZ-740", 6.51f), d, 0x900000);
  EXPECT_EQ(r.start, 0u);
  EXPECT_EQ(r.end, 0x7FE000u);
  r = RetrievalRange(Id("QZ-740", 6.51f), d, 1234);
  EXPECT_EQ(r.end, 1234u);
  r = RetrievalRange(Id("HV-3070", 2.20f), d, 0x500000);
  EXPECT_EQ(r.start, 0x20000u);
  EXPECT_EQ(r.end, 0x1FF7FEu);
  d.memoryType = 2;
  EXPECT_EQ(RetrievalRange(Id("LV-3070", 3.20f), d, 0x500000).end, 0x3FF7FEu);
  // A pointer below the start leaves nothing to read.
  r = RetrievalRange(Id("QZ-740", 4.30f), d, 0x10000);
  EXPECT_LE(r.end, r.start);
}

TEST(RetrievalPlan, BankBoundariesOfOlderLoggers) {
  // The bank end itself: 126 data bytes and the check byte.
  BlockRequest b = PlanBlock(0x0FF780, 0x300000, 480, false, false);
  EXPECT_EQ(b.end, 0x100000u);
  EXPECT_EQ(b.count, 127);
  EXPECT_EQ(b.dataBytes, 126);
  b = PlanBlock(0x2FF780, 0x300000, 960, false, true);  // no check byte
  EXPECT_EQ(b.end, 0x300000u);
  EXPECT_EQ(b.count, 126);
  EXPECT_EQ(b.dataBytes, 126);
  // The data end before the bank does: the request stops at the data.
  b = PlanBlock(0x1FF780, 0x1FF7FE, 480, false, false);
  EXPECT_EQ(b.end, 0x1FF7FEu);
  EXPECT_EQ(b.count, 127);
  b = PlanBlock(0x1FF780, 0x1FF800, 480, false, false);
  EXPECT_EQ(b.end, 0x1FF800u);
  EXPECT_EQ(b.count, 129);
  // Fewer than 126 bytes left: an ordinary block.
  b = PlanBlock(0x1FF780, 0x1FF790, 480, false, false);
  EXPECT_EQ(b.end, 0x1FF790u);
  EXPECT_EQ(b.count, 17);
  // The top of the large memory.
  b = PlanBlock(0x3FF780, 0x3FF7FE, 960, false, false);
  EXPECT_EQ(b.end, 0x3FF7FEu);
  EXPECT_EQ(b.count, 127);
  // A start ending in FF00: up to the next bank, 255 data bytes.
  b = PlanBlock(0x0AFF00, 0x300000, 480, false, false);
  EXPECT_EQ(b.end, 0x0B0000u);
  EXPECT_EQ(b.count, 256);
  EXPECT_EQ(b.dataBytes, 255);
  b = PlanBlock(0x0AFF00, 0x300000, 240, false, false);
  EXPECT_EQ(b.end, 0x0AFFF0u) << "a block shorter than 256 bytes is left alone";
  // Extended loggers read straight across.
  b = PlanBlock(0x0FF780, 0x300000, 960, true, false);
  EXPECT_EQ(b.end, 0x0FF780u + 960);
  EXPECT_EQ(b.count, 961);
}

TEST(RetrievalPlan, EarlyHvRecordersEndOnAWholeSample) {
  BlockRequest b = PlanBlock(0x20000, 0x20000 + 100, 120, false, true);
  EXPECT_EQ(b.count, 99);
  EXPECT_EQ(b.end, 0x20000u + 99);
  EXPECT_EQ(b.memoryEnd, 0x20000u + 99);
  // A later logger with a check byte keeps every byte.
  b = PlanBlock(0x20000, 0x20000 + 100, 120, false, false);
  EXPECT_EQ(b.count, 101);
  EXPECT_EQ(b.memoryEnd, 0x20000u + 100);
  // Two bytes left: nothing whole to read.
  b = PlanBlock(0x20000, 0x20002, 120, false, true);
  EXPECT_EQ(b.dataBytes, 0);
}

TEST(RetrievalPlan, AMillionBytesAt19200TakeTwoThousandEightyFourBlocks) {
  int blocks = 0;
  for (uint32_t at = 0; at < 1'000'000; ++blocks)
    at += static_cast<uint32_t>(
        PlanBlock(at, 1'000'000, RetrievalBlockSize(19200), true, false).dataBytes);
  EXPECT_EQ(blocks, 2084);
}

TEST(RetrievalPlan, RemainingTimeTexts) {
  EXPECT_EQ(RemainingTimeText(192000, 19200), "Estimated download time remaining 1:40");
  EXPECT_EQ(RemainingTimeText(1'000'000, 115200), "Estimated download time remaining 2:05");
  EXPECT_EQ(RemainingTimeText(1000, 19200), "Estimated download time remaining < 1 second");
  EXPECT_EQ(RemainingTimeText(0, 9600), "Estimated download time remaining < 1 second");
}

// A connected session that knows the logger's tables and memory pointer.
bool Prepare(test::SimRig& rig) {
  Session& s = rig.s();
  return Connect(s) && ReadCapabilities(s) == 1 && CommGet(s, 6) == 1;
}

int RunToEnd(Session& s) {
  int blocks = 0;
  while (RetrievalTick(s)) ++blocks;
  return blocks + 1;
}

std::vector<uint8_t> Image(const Session& s) {
  return {s.image.bytes.get(), s.image.bytes.get() + s.image.length};
}

// The logger's memory over the range read (a logging logger goes on
// recording behind it).
std::vector<uint8_t> Memory(test::SimRig& rig, size_t n = 0) {
  const RetrievalState& r = rig.s().retrieval;
  return rig.sim->readMemory(r.firstAddress, n ? n : r.memoryEnd - r.firstAddress);
}

struct WholeRetrieval {
  const char* profile;
  std::vector<std::string> settings;
  int expectedRate;
  int expectedBlock;
};

class Retrieves : public ::testing::TestWithParam<WholeRetrieval> {};

TEST_P(Retrieves, TheSimulatorsMemoryByteForByte) {
  const WholeRetrieval& w = GetParam();
  test::SimRig rig(w.profile, w.settings);
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  const int rateBefore = s.ports.currentBaud;
  std::vector<int> timers;
  s.linkHooks.startTimer = [&](Session&, int ms, bool) { timers.push_back(ms); };
  std::vector<bool> menus;
  s.linkHooks.enableMenus = [&](Session&, MenuGroup g, bool on) {
    if (g == MenuGroup::LoggerCommands) menus.push_back(on);
  };

  ASSERT_TRUE(StartRetrieval(s));
  EXPECT_EQ(menus, std::vector<bool>{false}) << "no other command while reading";
  EXPECT_EQ(s.ports.currentBaud, w.expectedRate);
  EXPECT_EQ(s.retrieval.blockSize, w.expectedBlock);
  ASSERT_FALSE(timers.empty());
  EXPECT_EQ(timers.back(), w.expectedBlock * 10000 / w.expectedRate);
  RunToEnd(s);
  FinishRetrieval(s);

  EXPECT_EQ(s.retrieval.end, RetrievalEnd::Complete) << rig.t.ui.messageTexts();
  EXPECT_TRUE(s.retrieval.complete);
  const std::vector<uint8_t> memory = Memory(rig);
  EXPECT_EQ(s.retrieval.memoryEnd, std::min<uint32_t>(s.link.memoryPointer, 0x7FE000));
  EXPECT_EQ(Image(s), memory);
  EXPECT_EQ(s.retrieval.blocksRetransmitted, 0);
  EXPECT_EQ(s.retrieval.blocksRequested,
            static_cast<int>((memory.size() + w.expectedBlock - 1) / w.expectedBlock));
  EXPECT_EQ(s.ports.currentBaud, rateBefore) << "back at the rate before";
  EXPECT_EQ(menus, (std::vector<bool>{false, true}));
  EXPECT_EQ(timers.back(), 1000) << "the one-second timer again";
  EXPECT_EQ(rig.sim->snapshot().rate, rateBefore);
  EXPECT_EQ(rig.t.ui.progressReports.back().first, 100);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Estimated download time remaining < 1 second");
}

INSTANTIATE_TEST_SUITE_P(
    AtSeveralRates, Retrieves,
    ::testing::Values(WholeRetrieval{"extended", {"records = 4000"}, 115200, 960},
                      WholeRetrieval{"qz", {"records = 3000", "baud = 19200"}, 57600, 960},
                      WholeRetrieval{"hv2", {"records = 2000"}, 19200, 480},
                      WholeRetrieval{"hv140", {"records = 700"}, 2400, 120},
                      WholeRetrieval{"hv140", {"records = 300", "baud = 4800"}, 4800, 240},
                      WholeRetrieval{"hv140", {"records = 100", "baud = 1200"}, 1200, 60},
                      WholeRetrieval{"lv", {"records = 1500", "baud = 9600"}, 9600, 480}));

TEST(Retrieval, EarlyHvRecorderDropsAPartSampleAtTheEnd) {
  test::SimRig rig("hv140", {"records = 200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  s.link.memoryPointer += 2;  // two stray bytes past the last whole sample
  ASSERT_TRUE(StartRetrieval(s));
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_TRUE(s.retrieval.complete);
  EXPECT_EQ(s.image.length % 3, 0);
  EXPECT_EQ(Image(s), Memory(rig));
}

TEST(Retrieval, OlderLoggerAcrossBankEnds) {
  // A QZ voltage logger whose data pass the first 1 MiB bank.
  test::SimRig rig("qz", {"channels = V", "records = 310000", "stamps = none", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  ASSERT_TRUE(StartRetrieval(s));
  ASSERT_EQ(s.retrieval.blockSize, 960);
  struct Stretch {
    uint32_t from, to;
  };
  // Two 960-byte blocks lead exactly onto 0x0FF780 and onto 0x0AFF00.
  for (const Stretch st : {Stretch{0x0FF000, 0x100900}, Stretch{0x0AFB40, 0x0B0500}}) {
    s.retrieval.running = true;
    s.retrieval.startAddress = st.from;
    s.retrieval.memoryEnd = st.to;
    s.retrieval.imageOffset = 0;
    rig.sim->clearExchanges();
    RunToEnd(s);
    EXPECT_EQ(s.retrieval.end, RetrievalEnd::Complete);
    EXPECT_EQ(Image(s), rig.sim->readMemory(st.from, st.to - st.from)) << std::hex << st.from;
    EXPECT_EQ(s.retrieval.blocksRetransmitted, 0);
  }
  const std::vector<std::string> commands = rig.sim->commands();
  EXPECT_NE(std::find(commands.begin(), commands.end(), ReadMemoryCommand(0x0AFF00, 0x0B0000)),
            commands.end());
  FinishRetrieval(s);
}

TEST(Retrieval, BadCheckBytesAreAskedForAgain) {
  test::SimRig rig("qz", {"records = 2000", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  ASSERT_TRUE(StartRetrieval(s));
  sim::Faults f;
  f.badCheckReads = {2, 3, 7};
  rig.sim->setFaults(f);
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_TRUE(s.retrieval.complete);
  EXPECT_EQ(s.retrieval.blocksRetransmitted, 3);
  EXPECT_EQ(Image(s), Memory(rig));
  EXPECT_TRUE(rig.t.ui.messages.empty()) << rig.t.ui.messageTexts();
}

TEST(Retrieval, FiveFailuresAtAFastRateFallBackTo19200) {
  test::SimRig rig("extended", {"records = 3000"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  std::vector<int> timers;
  s.linkHooks.startTimer = [&](Session&, int ms, bool) { timers.push_back(ms); };
  ASSERT_TRUE(StartRetrieval(s));
  ASSERT_EQ(s.ports.currentBaud, 115200);
  const double increment = s.retrieval.increment;
  sim::Faults f;
  f.badCheckReads = {2, 3, 4, 5, 6};
  rig.sim->setFaults(f);
  ASSERT_TRUE(RetrievalTick(s));
  ASSERT_TRUE(RetrievalTick(s));  // five failures, then 480 bytes at 19200
  EXPECT_EQ(s.ports.currentBaud, 19200);
  EXPECT_EQ(rig.sim->snapshot().rate, 19200);
  EXPECT_EQ(s.retrieval.blockSize, 480);
  EXPECT_DOUBLE_EQ(s.retrieval.increment, increment / 2);
  EXPECT_EQ(timers.back(), 250);
  EXPECT_EQ(s.retrieval.blocksRetransmitted, 5);
  EXPECT_EQ(s.retrieval.imageOffset, 960 + 480);
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_TRUE(s.retrieval.complete);
  EXPECT_EQ(Image(s), Memory(rig));
}

TEST(Retrieval, ALoggerThatStopsAnsweringAtTheFastRateIsReadAt19200) {
  test::SimRig rig("extended", {"records = 2000"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  ASSERT_TRUE(StartRetrieval(s));
  ASSERT_TRUE(RetrievalTick(s));
  sim::Faults f;
  f.oneRate = 19200;  // the logger drops back and ignores rate changes
  rig.sim->setFaults(f);
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_EQ(s.retrieval.end, RetrievalEnd::Complete) << rig.t.ui.messageTexts();
  EXPECT_EQ(s.ports.currentBaud, 19200);
  EXPECT_EQ(Image(s), Memory(rig));
}

TEST(Retrieval, TenFailuresEndWithTheCountsAndKeepTheVerifiedBlocks) {
  test::SimRig rig("qz", {"records = 2000", "baud = 19200"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  s.description.expressRate = 0;  // stay at 19200: 480-byte blocks
  ASSERT_TRUE(StartRetrieval(s));
  sim::Faults f;
  f.badCheckReads = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  rig.sim->setFaults(f);
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_EQ(s.retrieval.end, RetrievalEnd::BlockFailed);
  EXPECT_FALSE(s.retrieval.complete);
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  EXPECT_EQ(rig.t.ui.messages[0].text,
            "Download error.\n12 blocks requested, 9 blocks retransmitted.");
  EXPECT_EQ(rig.t.ui.messages[0].caption, "Retrieve Data");
  EXPECT_EQ(rig.t.ui.messages[0].icon, Icon::Warning);
  ASSERT_EQ(s.image.length, 960);
  EXPECT_EQ(Image(s), Memory(rig, 960));
}

TEST(Retrieval, DroppedRepliesAndLineNoiseStillGiveTheExactImage) {
  test::SimRig rig("extended", {"records = 6000"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  ASSERT_TRUE(StartRetrieval(s));
  sim::Faults f;
  f.seed = 7;
  f.droppedReplies = {2, 9};
  f.noiseRate = 1e-4;
  rig.sim->setFaults(f);
  RunToEnd(s);
  FinishRetrieval(s);
  ASSERT_EQ(s.retrieval.end, RetrievalEnd::Complete) << rig.t.ui.messageTexts();
  EXPECT_GE(s.retrieval.blocksRetransmitted, 2);
  EXPECT_EQ(Image(s), Memory(rig));
}

TEST(Retrieval, ASilentLoggerAfterAPauseEndsWithoutAMessage) {
  test::SimRig rig("hv2", {"records = 3000"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  s.description.expressRate = 0;
  ASSERT_TRUE(StartRetrieval(s));
  ASSERT_TRUE(RetrievalTick(s));
  ASSERT_TRUE(RetrievalTick(s));
  sim::Faults f;
  f.silentAfter = 0;
  rig.sim->setFaults(f);
  rig.t.clock.advanceMs(6000);  // the window was held up for six seconds
  EXPECT_FALSE(RetrievalTick(s));
  FinishRetrieval(s);
  EXPECT_EQ(s.retrieval.end, RetrievalEnd::LinkLost);
  EXPECT_TRUE(rig.t.ui.messages.empty()) << rig.t.ui.messageTexts();
  ASSERT_EQ(s.image.length, 960);
  EXPECT_EQ(Image(s), Memory(rig, 960));
}

TEST(Retrieval, AKeepAliveAfterAPauseWakesTheLoggerAndGoesOn) {
  test::SimRig rig("hv2", {"records = 1000"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  ASSERT_TRUE(StartRetrieval(s));
  ASSERT_TRUE(RetrievalTick(s));
  rig.sim->clearExchanges();
  rig.t.clock.advanceMs(6000);
  ASSERT_TRUE(RetrievalTick(s));
  EXPECT_EQ(rig.sim->commands().front(), "A");
  RunToEnd(s);
  FinishRetrieval(s);
  EXPECT_TRUE(s.retrieval.complete);
  EXPECT_EQ(Image(s), Memory(rig));
}

TEST(Retrieval, EmptyMemoryEndsAtOnce) {
  test::SimRig rig("extended", {"records = 0", "status = 0"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  ASSERT_TRUE(Prepare(rig));
  Session& s = rig.s();
  s.link.memoryPointer = 0;
  EXPECT_FALSE(StartRetrieval(s)) << "an extended logger with pointer 0 fails";
  EXPECT_FALSE(s.retrieval.running);

  // An older logger whose pointer is at the start of its data area.
  test::SimRig older("qz", {"records = 10"});
  ASSERT_TRUE(older.ok()) << older.error;
  ASSERT_TRUE(Prepare(older));
  Session& o = older.s();
  o.link.memoryPointer = 0x20000;
  older.sim->clearExchanges();
  EXPECT_TRUE(StartRetrieval(o));
  EXPECT_FALSE(o.retrieval.running);
  EXPECT_EQ(o.retrieval.end, RetrievalEnd::NothingToRead);
  EXPECT_EQ(older.t.ui.lastStatus(), "No data in memory.");
  EXPECT_TRUE(older.sim->commands().empty()) << "no rate change for nothing";
  FinishRetrieval(o);
  EXPECT_EQ(o.image.length, 0);
}

}  // namespace
}  // namespace kts
