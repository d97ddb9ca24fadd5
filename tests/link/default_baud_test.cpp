#include "link/default_baud.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

TEST(DefaultBaud, ByteAndRate) {
  EXPECT_EQ(DefaultBaudFromByte(13), 19200);
  EXPECT_EQ(DefaultBaudFromByte(28), 9600);
  EXPECT_EQ(DefaultBaudFromByte(238), 1200);
  EXPECT_EQ(DefaultBaudFromByte(254), 0);  // a divisor of 0
  EXPECT_EQ(DefaultBaudFromByte(255), 288000);
  EXPECT_EQ(DefaultBaudByte(19200), 13);
  EXPECT_EQ(DefaultBaudByte(2400), 118);
  EXPECT_EQ(DefaultBaudByte(0), -1);
  EXPECT_EQ(DefaultBaudByte(1000), -1);
  for (int rate : kStandardRates) EXPECT_EQ(DefaultBaudFromByte(DefaultBaudByte(rate)), rate);
}

LoggerScript WithDefaultByte(uint8_t d) {
  LoggerScript script;
  script.tables["R0300"] = {d};
  return script;
}

TEST(DefaultBaud, ReadsTheTable) {
  LinkRig rig(WithDefaultByte(13));
  ASSERT_TRUE(rig.t.openLogger(rig.peer.path()));
  EXPECT_EQ(ReadDefaultBaud(rig.s()), 19200);
  EXPECT_EQ(rig.s().description.defaultBaud, 19200);

  LinkRig zero(WithDefaultByte(254));
  ASSERT_TRUE(zero.t.openLogger(zero.peer.path()));
  EXPECT_EQ(ReadDefaultBaud(zero.s()), 0);
  EXPECT_EQ(zero.t.ui.lastStatus(), "Default baudrate retrieve error");
  EXPECT_EQ(zero.s().description.defaultBaud, 2400);
}

TEST(DefaultBaud, WritesAndComparesTheReadBack) {
  LinkRig rig(WithDefaultByte(13));
  Session& s = rig.s();
  ASSERT_TRUE(rig.t.openLogger(rig.peer.path()));
  ASSERT_TRUE(WriteDefaultBaud(s, 9600));
  EXPECT_EQ(rig.logger.table("R0300"), (std::vector<uint8_t>{28}));
  EXPECT_EQ(rig.t.ui.lastStatus(), "Default baudrate write success");
  EXPECT_EQ(s.description.defaultBaud, 9600);

  // Rates the logger does not allow are refused before anything is sent.
  const size_t sent = rig.logger.commands().size();
  EXPECT_FALSE(WriteDefaultBaud(s, 1200));  // below the lowest, 2400
  EXPECT_FALSE(WriteDefaultBaud(s, 14400));
  rig.peer.settled();
  EXPECT_EQ(rig.logger.commands().size(), sent);
  EXPECT_EQ(s.description.defaultBaud, 9600);

  LoggerScript garbling = WithDefaultByte(13);
  garbling.garbledWrites = {"S0300"};
  LinkRig bad(garbling);
  ASSERT_TRUE(bad.t.openLogger(bad.peer.path()));
  EXPECT_FALSE(WriteDefaultBaud(bad.s(), 4800));
  EXPECT_EQ(bad.t.ui.lastStatus(), "Default baudrate compare error");
}

}  // namespace
}  // namespace kts
