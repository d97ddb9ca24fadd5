#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include <chrono>

#include "pty_peer.h"

namespace kts {
namespace {

using Clock = std::chrono::steady_clock;

TEST(TermiosPort, ReadsWhatThePeerSendsAndTimesOutOnSilence) {
  test::PtyPeer peer([](test::PtyPeer& p, std::string& pending) {
    if (pending.find('A') != std::string::npos) p.reply("KTS");
    pending.clear();
  });
  TermiosOpener opener;
  OpenFailure why;
  auto port = opener.open(peer.path(), 19200, 0, &why);
  ASSERT_TRUE(port) << static_cast<int>(why);
  ASSERT_EQ(port->write(reinterpret_cast<const uint8_t*>("A"), 1, 100), 1);
  uint8_t buffer[16] = {};
  EXPECT_EQ(port->read(buffer, 3, 1000), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "KTS");

  const auto start = Clock::now();
  EXPECT_EQ(port->read(buffer, 5, 150), 0);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(140));
}

TEST(TermiosPort, APortAlreadyHeldIsRefused) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  TermiosOpener opener;
  OpenFailure why;
  auto first = opener.open(peer.path(), 9600, 0, &why);
  ASSERT_TRUE(first);
  auto second = opener.open(peer.path(), 9600, 0, &why);
  EXPECT_FALSE(second);
  EXPECT_EQ(why, OpenFailure::Held);
  EXPECT_FALSE(opener.probe(peer.path(), nullptr));
  first.reset();
  EXPECT_TRUE(opener.probe(peer.path(), nullptr));
}

TEST(TermiosPort, MissingDevicesAndFilesThatAreNotTerminalsAreRefused) {
  TermiosOpener opener;
  OpenFailure why;
  EXPECT_FALSE(opener.open("/dev/ttyKTSnothere", 19200, 0, &why));
  EXPECT_EQ(why, OpenFailure::Missing);
  EXPECT_FALSE(opener.open("/dev/null", 19200, 0, &why));
  EXPECT_EQ(why, OpenFailure::NotATerminal);
}

TEST(TermiosPort, StandardAndCustomRatesReachTheLine) {
  test::PtyPeer peer([](test::PtyPeer&, std::string& pending) { pending.clear(); });
  TermiosOpener opener;
  auto port = opener.open(peer.path(), 2400, 0, nullptr);
  ASSERT_TRUE(port);
  EXPECT_EQ(peer.lineBaud(), 2400);
  ASSERT_TRUE(port->setBaud(28800));  // no Bnnn constant: termios2
  EXPECT_EQ(peer.lineBaud(), 28800);
  ASSERT_TRUE(port->setBaud(115200));
  EXPECT_EQ(peer.lineBaud(), 115200);
  EXPECT_FALSE(port->setBaud(12345));
  EXPECT_EQ(port->baud(), 115200);
}

}  // namespace
}  // namespace kts
