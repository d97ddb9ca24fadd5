#include "link/protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "core/checksum.h"
#include "core/text.h"
#include "link/serial_link.h"
#include "pty_peer.h"
#include "test_session.h"

namespace kts {
namespace {

int CountOf(const std::string& s, std::string_view what) {
  int n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
  return n;
}

// A peer that serves one table the way a logger does: echo and length,
// then 16-byte chunks, each after the host's ACK.
class TablePeer {
 public:
  TablePeer(std::string command, std::string table, std::string lengthDigits = {})
      : command_(std::move(command)), table_(std::move(table)), lengthDigits_(std::move(lengthDigits)) {}

  void operator()(test::PtyPeer& p, std::string& pending) {
    for (;;) {
      if (pending.rfind(command_, 0) == 0) {
        pending.erase(0, command_.size());
        p.reply(command_ + (lengthDigits_.empty() ? Format("%02X", static_cast<int>(table_.size()))
                                                  : lengthDigits_));
        sent_ = 0;
        continue;
      }
      if (!pending.empty() && pending[0] == static_cast<char>(kAck)) {
        pending.erase(0, 1);
        if (sent_ < table_.size()) {
          const size_t chunk = std::min<size_t>(16, table_.size() - sent_);
          p.reply(table_.substr(sent_, chunk));
          sent_ += chunk;
        }
        continue;
      }
      if (pending.size() > command_.size() || (!pending.empty() && command_.rfind(pending, 0) != 0))
        pending.erase(0, 1);
      else
        break;
    }
  }

 private:
  std::string command_, table_, lengthDigits_;
  size_t sent_ = 0;
};

std::string WithTableCheck(std::string data) {
  data.push_back(static_cast<char>(
      TableCheckByte(reinterpret_cast<const uint8_t*>(data.data()), data.size())));
  return data;
}

TEST(QueryTagged, RetriesUntilTheTaggedReplyComes) {
  std::atomic<int> asked{0};
  test::PtyPeer peer([&](test::PtyPeer& p, std::string& pending) {
    for (char c : pending)
      if (c == 'T' && ++asked == 3) p.reply("Logger status 02");
    pending.clear();
  });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  EXPECT_TRUE(QueryTagged(t.s, "T", "Logger"));
  EXPECT_EQ(asked.load(), 3);
  EXPECT_EQ(t.s.reply.text(), "Logger status 02");
}

TEST(QueryTagged, FiveFailuresLeaveTheFailureText) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    // A reply of 50 characters or more is rejected even with its tag.
    p.reply(std::string(47, '0') + "CTD");
    pending.clear();
  });
  test::TestSession t;
  t.clock.realSleeps = true;
  ASSERT_TRUE(t.openLogger(peer.path()));
  EXPECT_FALSE(QueryTagged(t.s, "B", "CTD"));
  EXPECT_EQ(t.s.reply.text(), "000101000000");
  EXPECT_EQ(CountOf(peer.settled(), "B"), 5);
}

TEST(QueryTagged, NulBytesAndFloodsNeverOverrunTheReplyBuffer) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    std::string flood(5000, '\xAA');
    flood[3] = '\0';
    p.reply(flood);
    pending.clear();
  });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  EXPECT_FALSE(QueryTagged(t.s, "!5", "RAT"));
  EXPECT_EQ(t.s.reply.text(), "000101000000");
}

TEST(ReadTable, ChunksOfSixteenEachAcknowledged) {
  const std::string table = WithTableCheck(std::string("\x03\x1e\x00\x02\x00TCPabcdefgh", 16));
  ASSERT_EQ(table.size(), 17u);
  test::PtyPeer peer(TablePeer("R0100", table));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[64] = {};
  int length = 0;
  EXPECT_EQ(ReadTable(t.s, "R0100", out, sizeof out, &length), 1);
  EXPECT_EQ(length, 17);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 17), table);
  // One ACK after the length, one after each of the 16- and 1-byte chunks.
  EXPECT_EQ(CountOf(peer.settled(), "\x06"), 3);
}

TEST(ReadTable, AWrongChecksumIsAReadError) {
  std::string table = WithTableCheck("\x01\x02\x03");
  table.back() ^= 1;
  test::PtyPeer peer(TablePeer("R0300", table));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[16];
  EXPECT_EQ(ReadTable(t.s, "R0300", out, sizeof out), 0);
}

TEST(ReadTable, LengthZeroMeansNoSuchTableAfterOneAck) {
  test::PtyPeer peer(TablePeer("R0700", "", "00"));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[16];
  EXPECT_EQ(ReadTable(t.s, "R0700", out, sizeof out), -1);
  EXPECT_EQ(CountOf(peer.settled(), "\x06"), 1);
}

TEST(ReadTable, UnknownCommandIsRefusedWithoutAck) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    if (pending.find("R0500") != std::string::npos) p.reply("R0500 Unknown command");
    pending.clear();
  });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[32];
  EXPECT_EQ(ReadTable(t.s, "R0500", out, sizeof out), 0);
  EXPECT_EQ(CountOf(peer.settled(), "\x06"), 0);
}

TEST(ReadTable, ALengthBeyondTheCallersBufferIsRefused) {
  test::PtyPeer peer(TablePeer("R0400", std::string(200, 'x'), "C8"));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[26];
  EXPECT_EQ(ReadTable(t.s, "R0400", out, sizeof out), 0);
}

TEST(ReadTable, ALengthThatIsNotTwoHexDigitsIsRefused) {
  // "-1" once read as a count of four thousand million bytes.
  for (const char* length : {"-1", " 5", "+8", "G0"}) {
    test::PtyPeer peer(TablePeer("R0400", std::string(300, 'x'), length));
    test::TestSession t;
    ASSERT_TRUE(t.openLogger(peer.path()));
    uint8_t out[26];
    EXPECT_EQ(ReadTable(t.s, "R0400", out, sizeof out), 0) << length;
  }
}

TEST(ReadTable, AShortChunkFails) {
  // The logger claims 20 bytes but sends only 17.
  test::PtyPeer peer(TablePeer("R0400", WithTableCheck(std::string(16, 'a')), "14"));
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  uint8_t out[64];
  EXPECT_EQ(ReadTable(t.s, "R0400", out, sizeof out), 0);
}

// A peer that acknowledges everything it is sent, or answers NAK at once.
void AckEverything(test::PtyPeer& p, std::string& pending, bool nak) {
  p.reply(std::string(1, static_cast<char>(nak ? kNak : kAck)));
  pending.clear();
}

TEST(SendTable, HeaderCountsTheCheckByteThenChunks) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) { AckEverything(p, pending, false); });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  const uint8_t data[3] = {1, 2, 3};
  ASSERT_TRUE(SendTable(t.s, "S0300", 3, data));
  const std::string sent = peer.settled();
  ASSERT_EQ(sent.size(), 7u + 4u);
  EXPECT_EQ(sent.substr(0, 7), "S030004");
  EXPECT_EQ(static_cast<uint8_t>(sent[10]), static_cast<uint8_t>(0xA5 - 6));
}

TEST(SendTable, ANakFailsAtOnce) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) { AckEverything(p, pending, true); });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  const uint8_t data[1] = {13};
  EXPECT_FALSE(SendTable(t.s, "S0300", 1, data));
  EXPECT_EQ(peer.settled(), "S030002");
}

TEST(SendTable, SilenceFailsAfterFiveWaits) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  const uint8_t data[1] = {13};
  EXPECT_FALSE(SendTable(t.s, "S0300", 1, data));
}

TEST(MemoryRead, AddressesGoLeastSignificantByteFirstEndBeforeStart) {
  EXPECT_EQ(ReadMemoryCommand(0x20000, 0x20000 + 30), "I1e00020000000200");
  EXPECT_EQ(ReadMemoryCommand(0x0FF780, 0x100000), "I0000100080f70f00");
}

TEST(HexBytes, ReadsPairsBeforeATag) {
  uint8_t b[4];
  const std::string_view reply = "00E07F00CDP";
  ASSERT_TRUE(ScanHexBytesBefore(reply, reply.find("CDP"), 4, b));
  EXPECT_EQ(b[0], 0x00);
  EXPECT_EQ(b[1], 0xE0);
  EXPECT_EQ(b[2], 0x7F);
  EXPECT_FALSE(ScanHexBytesBefore("7FCDP", 2, 4, b));  // too few characters before the tag
  EXPECT_FALSE(ScanHexBytesBefore("zzCDP", 2, 1, b));
}

}  // namespace
}  // namespace kts
