#include "link/serial_link.h"

#include <gtest/gtest.h>

#include <chrono>

#include "pty_peer.h"
#include "test_session.h"

namespace kts {
namespace {

TEST(CommTimeouts, OpenComputesOneCharacterPerByte) {
  EXPECT_EQ(OpenTimeouts(1200, 0).readMultiplier, 9);
  EXPECT_EQ(OpenTimeouts(2400, 0).readMultiplier, 5);
  EXPECT_EQ(OpenTimeouts(4800, 0).readMultiplier, 3);
  EXPECT_EQ(OpenTimeouts(9600, 0).readMultiplier, 2);
  EXPECT_EQ(OpenTimeouts(19200, 0).readMultiplier, 1);
  EXPECT_EQ(OpenTimeouts(115200, 0).readMultiplier, 1);
  EXPECT_EQ(OpenTimeouts(19200, 0).readConstant, 20);
  EXPECT_EQ(OpenTimeouts(19200, 1).readConstant, 100);
  // At 1200 baud a 120-byte read waits at most 9 × 120 + 20 ms; at 19200, 140 ms.
  EXPECT_EQ(ReadTimeoutMs(OpenTimeouts(1200, 0), 120), 1100);
  EXPECT_EQ(ReadTimeoutMs(OpenTimeouts(19200, 0), 120), 140);
  EXPECT_EQ(WriteTimeoutMs(OpenTimeouts(19200, 0), 17), 37);
}

TEST(CommTimeouts, ARateChangeUsesTheRoundedMultiplierAndSixtyMilliseconds) {
  EXPECT_EQ(BaudChangeTimeouts(1200, 0).readMultiplier, 9);
  EXPECT_EQ(BaudChangeTimeouts(19200, 0).readMultiplier, 1);
  EXPECT_EQ(BaudChangeTimeouts(57600, 0).readMultiplier, 1);
  EXPECT_EQ(BaudChangeTimeouts(19200, 0).readConstant, 60);
  EXPECT_EQ(BaudChangeTimeouts(19200, 2).readConstant, 100);
}

TEST(SerialLink, EveryReadWaitsTheRadioDelayFirst) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    p.reply(pending);
    pending.clear();
  });
  test::TestSession t;
  t.clock.realSleeps = false;  // count the waits instead of sleeping them
  ASSERT_TRUE(t.openLogger(peer.path()));
  t.s.ports.radioDelayEnabled = true;
  t.s.ports.radioDelayMs = 250;
  const int64_t before = t.clock.monotonicMs();
  uint8_t buffer[8];
  ReadComm(t.s, PortRole::Logger, buffer, sizeof buffer, 1);
  ReadComm(t.s, PortRole::Logger, buffer, sizeof buffer, 1);
  EXPECT_GE(t.clock.monotonicMs() - before, 500);
}

TEST(SerialLink, ReadsAreZeroTerminatedAndBoundedByTheBuffer) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    p.reply(std::string(100, 'Z'));
    pending.clear();
  });
  test::TestSession t;
  ASSERT_TRUE(t.openLogger(peer.path()));
  WriteComm(t.s, PortRole::Logger, "x");
  uint8_t buffer[11];
  std::memset(buffer, 0xEE, sizeof buffer);
  // Asking for more than the buffer holds reads only what fits.
  EXPECT_EQ(ReadComm(t.s, PortRole::Logger, buffer, sizeof buffer, 50), 10);
  EXPECT_EQ(buffer[10], 0);
  // A read that times out leaves an empty zero-terminated buffer.
  DiscardInput(t.s);
  t.clock.realSleeps = true;
  uint8_t quiet[4] = {1, 2, 3, 4};
  t.s.loggerPort->discardInput();
  EXPECT_EQ(ReadComm(t.s, PortRole::Logger, quiet, sizeof quiet, 3), 0);
  EXPECT_EQ(quiet[0], 0);
}

TEST(SerialLink, APortHeldByAnotherProgramIsReportedWithItsName) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  test::TestSession holder, t;
  ASSERT_TRUE(holder.openLogger(peer.path()));
  EXPECT_FALSE(t.openLogger(peer.path()));
  ReportPortError(t.s, true);
  EXPECT_EQ(t.ui.lastStatus(), "Unable to open " + peer.path() +
                                   " - bad port setting or another application holds the port.");
  EXPECT_TRUE(t.ui.statuses.back().warningIcon);
  EXPECT_FALSE(t.s.link.connected);

  test::TestSession com;
  com.s.ports.loggerPort = 3;
  com.s.ports.map.device[3] = "/dev/ttyKTSabsent";
  EXPECT_FALSE(OpenCommPort(com.s, PortRole::Logger, 19200, 0));
  ReportPortError(com.s, true);
  EXPECT_EQ(com.ui.lastStatus(),
            "Unable to open COM3 - bad port setting or another application holds the port.");
  ReportPortError(com.s, false);
  EXPECT_EQ(com.ui.lastStatus(), "Unable to Communicate with Logger on COM3");
}

TEST(SerialLink, ScanFindsPresentPortsAndCloseGivesThePortBack) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  test::TestSession t;
  t.s.ports.map.device[2] = peer.path();
  for (int n = 1; n <= kMaxComPort; ++n)
    if (n != 2) t.s.ports.map.device[static_cast<size_t>(n)] = "/dev/ttyKTSabsent";
  ScanCommPorts(t.s);
  EXPECT_TRUE(t.s.ports.present[2]);
  EXPECT_FALSE(t.s.ports.present[1]);
  const int foundBaud = peer.lineBaud();

  t.s.ports.loggerPort = 2;
  ASSERT_TRUE(OpenCommPort(t.s, PortRole::Logger, 2400, 0));
  EXPECT_EQ(peer.lineBaud(), 2400);
  CloseCommPort(t.s, PortRole::Logger);
  EXPECT_FALSE(IsPortOpen(t.s, PortRole::Logger));
  EXPECT_EQ(peer.lineBaud(), foundBaud);  // the settings found at the scan are back
}

}  // namespace
}  // namespace kts
