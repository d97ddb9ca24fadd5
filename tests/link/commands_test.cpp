#include "link/commands.h"

#include <gtest/gtest.h>

#include <atomic>

#include "link/logger_status.h"
#include "link/protocol.h"
#include "pty_peer.h"
#include "test_session.h"

namespace kts {
namespace {

// A peer answering each command of a small table, one reply per command.
class ReplyPeer {
 public:
  explicit ReplyPeer(std::vector<std::pair<std::string, std::string>> table) : table_(std::move(table)) {}
  void operator()(test::PtyPeer& p, std::string& pending) {
    bool matched = true;
    while (matched && !pending.empty()) {
      matched = false;
      for (const auto& [command, reply] : table_) {
        if (pending.rfind(command, 0) == 0) {
          pending.erase(0, command.size());
          if (!reply.empty()) p.reply(reply);
          matched = true;
          break;
        }
      }
      if (!matched && pending.size() > 24) pending.erase(0, 1), matched = true;
    }
  }

 private:
  std::vector<std::pair<std::string, std::string>> table_;
};

TEST(StatusReply, OlderAndExtendedLoggers) {
  int code = -1, second = -1;
  ASSERT_TRUE(ParseStatusReply("Logger status 02", false, &code, &second));
  EXPECT_EQ(code, 2);
  ASSERT_TRUE(ParseStatusReply("Logger status 09", false, &code, &second));
  EXPECT_EQ(code, 7);
  ASSERT_TRUE(ParseStatusReply("Logger status 0402", true, &code, &second));
  EXPECT_EQ(code, 8);
  EXPECT_EQ(second, 2);
  ASSERT_TRUE(ParseStatusReply("Logger status 0400", true, &code, &second));
  EXPECT_EQ(code, 4);
  ASSERT_TRUE(ParseStatusReply("Logger status 7F00", true, &code, &second));
  EXPECT_EQ(code, 7);
  ASSERT_TRUE(ParseStatusReply("Logger status 0800", true, &code, &second));
  EXPECT_EQ(code, 8);
  EXPECT_FALSE(ParseStatusReply("Logger status", true, &code, &second));
  EXPECT_FALSE(ParseStatusReply("garbage", true, &code, &second));
  EXPECT_STREQ(StatusName(8), "Logging Stopped by User");
  EXPECT_STREQ(StatusName(99), "Memory Error");
}

TEST(CommGet, StatusAndMemoryPointerOverThePseudoTerminal) {
  test::PtyPeer peer(ReplyPeer({{"T", "Logger status 0500"}, {"G", "00E07F00CDP"}}));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.link.identity.extended = true;
  ASSERT_EQ(CommGet(t.s, 9), 1);
  EXPECT_EQ(t.s.link.status, 5);
  ASSERT_EQ(CommGet(t.s, 6), 1);
  EXPECT_EQ(t.s.link.memoryPointer, 0x7FE000u);  // least significant byte first
  EXPECT_STREQ(t.s.link.memoryPointerReply, "00E07F00CDP");
}

TEST(CommGet, AFailedTimeQueryLeavesTheFieldUnchanged) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  test::TestSession t;
  t.clock.realSleeps = false;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.deployment.startTime = MakeTime(2026, 1, 2, 3, 4, 5);
  EXPECT_EQ(CommGet(t.s, 3), 0);
  EXPECT_EQ(t.s.deployment.startTime, MakeTime(2026, 1, 2, 3, 4, 5));
  EXPECT_EQ(t.s.reply.text(), "000101000000");
}

TEST(CommGet, UnknownNumbersShowTheDebugMessage) {
  test::TestSession t;
  EXPECT_EQ(CommGet(t.s, 41), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text, "Unknown CommGet command");
  EXPECT_EQ(t.ui.messages[0].caption, "DEBUG");
  EXPECT_EQ(CommGet(t.s, 5), 0);
  EXPECT_EQ(t.ui.messages.size(), 2u);
}

TEST(CommSend, NumbersNotInTheTableOnlyWait) {
  test::TestSession t;
  t.clock.realSleeps = false;
  const int64_t before = t.clock.monotonicMs();
  EXPECT_EQ(CommSend(t.s, 5), 1);
  EXPECT_EQ(CommSend(t.s, 40), 1);
  EXPECT_GE(t.clock.monotonicMs() - before, 100);
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST(CommSend, ASettingThatReadsBackIsAccepted) {
  test::PtyPeer peer(ReplyPeer({{"!402", ""}, {"!5", "02RAT"}}));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.deployment.burstRate = 2;
  EXPECT_EQ(CommSend(t.s, 30), 1);
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST(CommSend, ASettingThatDoesNotReadBackStopsTheCaller) {
  test::PtyPeer peer(ReplyPeer({{"!404", ""}, {"!5", "01RAT"}}));
  test::TestSession t;
  t.clock.realSleeps = false;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.deployment.burstRate = 4;
  EXPECT_EQ(CommSend(t.s, 30), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text,
            "High sampling rate set incorrectly.\nTry again.\nContact KTS if the problem persists.");
  EXPECT_EQ(t.ui.messages[0].caption, "Reset Logger");
  EXPECT_EQ(t.s.app.postedCommand, 115);
}

TEST(CommSend, TheStartCharacteristicFailureDoesNotAskForSetupAgain) {
  test::PtyPeer peer(ReplyPeer({{"!1", ""}, {"!2", "00000000STC"}}));
  test::TestSession t;
  t.clock.realSleeps = false;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.deployment.block.startMode = kStartNow;
  EXPECT_EQ(CommSend(t.s, 28), 0);
  EXPECT_EQ(t.s.app.postedCommand, 0);
}

TEST(CommSend, ResumeSucceedsWhenTheLoggerRunsAgain) {
  std::atomic<int> resumes{0};
  test::PtyPeer peer([&](test::PtyPeer& p, std::string& pending) {
    for (size_t at; (at = pending.find("!R")) != std::string::npos;) {
      pending.erase(at, 2);
      ++resumes;
    }
    if (pending.find('T') != std::string::npos) p.reply(resumes >= 2 ? "Logger status 02" : "Logger status 05");
    pending.clear();
  });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  EXPECT_EQ(CommSend(t.s, 23), 1);
  EXPECT_EQ(resumes.load(), 2);
  EXPECT_EQ(t.ui.lastStatus(), "Logger resumed sampling");
}

TEST(CommSend, ResumeGivesUpAfterFiveTries) {
  test::PtyPeer peer(ReplyPeer({{"!R", ""}, {"T", "Logger status 05"}}));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  EXPECT_EQ(CommSend(t.s, 23), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text, "Logger failed to resume.");
  EXPECT_EQ(t.ui.messages[0].caption, "Resume");
}

TEST(CommSend, ThresholdCodesExchangeTheSenseOfATemperatureChannel) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.description.channelCount = 2;
  t.s.description.channelTypes = {'T', 'P'};
  DeploymentBlock& b = t.s.deployment.block;
  b.startMode = kStartAboveThreshold;
  b.thresholdChannel = 0;
  b.thresholdRawLimit = 0xDFFFFF;
  b.thresholdRaw = 0x123456;
  ASSERT_EQ(CommSend(t.s, 18), 1);
  b.thresholdChannel = 1;
  b.thresholdTestMode = 1;
  ASSERT_EQ(CommSend(t.s, 18), 1);
  const std::string sent = peer.settled();
  EXPECT_NE(sent.find("!A0500DFFFFF123456"), std::string::npos) << sent;  // above on 'T' → below code
  EXPECT_NE(sent.find("!A0601DFFFFF123456"), std::string::npos) << sent;
  EXPECT_EQ(b.startMode, kStartAboveThreshold);  // the record keeps the user's sense
}

}  // namespace
}  // namespace kts
