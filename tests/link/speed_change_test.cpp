#include "link/speed_change.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "link/connection.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

LoggerIdentity Id(const char* model, float firmware) {
  LoggerIdentity id{model, firmware, 1, false};
  id.extended = FirmwareAbove(id, 4.99);
  return id;
}

TEST(SpeedChangeCommand, CodesAndVersionWindows) {
  // QZ-family and extended loggers name the rate by its divisor.
  EXPECT_EQ(SpeedChangeCommand(Id("HLV-4070", 6.00f), 19200), "!E0D");
  EXPECT_EQ(SpeedChangeCommand(Id("HLV-4070", 6.00f), 57600), "!E03");
  EXPECT_EQ(SpeedChangeCommand(Id("HLV-4070", 6.00f), 115200), "!E01");
  EXPECT_EQ(SpeedChangeCommand(Id("HLV-4070", 6.00f), 9600), "!E1C");
  EXPECT_EQ(SpeedChangeCommand(Id("QZ-740", 4.00f), 57600), "!E03");
  EXPECT_EQ(SpeedChangeCommand(Id("QZ-740", 4.00f), 0), "");

  // Older HV and LV loggers know two rates, within their version windows.
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 2.14f), 28800), "");
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 2.15f), 28800), "!E00");
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 2.99f), 19200), "!E01");
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 3.00f), 28800), "");
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 3.05f), 28800), "");
  EXPECT_EQ(SpeedChangeCommand(Id("HV-3070", 3.15f), 28800), "!E00");
  EXPECT_EQ(SpeedChangeCommand(Id("LV-3070", 2.50f), 28800), "");
  EXPECT_EQ(SpeedChangeCommand(Id("LV-3070", 3.15f), 19200), "!E01");
  EXPECT_EQ(SpeedChangeCommand(Id("PT-100", 4.50f), 28800), "");
}

TEST(SetLoggerSpeed, AnOldHvLoggerOutsideItsWindowGetsNoCommand) {
  LoggerScript script;
  script.identity = "KTS HV-3070 3.05 000777";
  LinkRig rig(script);
  EXPECT_TRUE(SetLoggerSpeed(rig.s(), 28800));
  rig.peer.settled();
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(rig.s().ports.currentBaud, 19200);
}

TEST(SetLoggerSpeed, AnHvLoggerMovesTo28800OnTheCustomRate) {
  LoggerScript script;
  script.identity = "KTS HV-3070 3.15 000777";
  script.speedChanges = {{"!E00", 28800}};
  LinkRig rig(script);
  ASSERT_TRUE(SetLoggerSpeed(rig.s(), 28800));
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"A", "!E00", "A"}));
  EXPECT_EQ(rig.logger.ratesOf("A"), (std::vector<int>{19200, 28800}));
  EXPECT_EQ(rig.peer.lineBaud(), 28800);
  EXPECT_EQ(rig.s().ports.currentBaud, 28800);
}

// An extended logger with an express rate of 57600.
LoggerScript Express() {
  LoggerScript script;
  script.identity = "KTS HLV-4070 6.51 004070";
  script.speedChanges = {{"!E03", 57600}, {"!E0D", 19200}};
  return script;
}

TEST(SpeedUpForRetrieval, RaisesTheRateAndRestoresItAfterwards) {
  LinkRig rig(Express());
  Session& s = rig.s();
  s.description.expressRate = 57600;
  std::vector<std::pair<int, bool>> timers;
  std::vector<std::pair<MenuGroup, bool>> menus;
  s.linkHooks.startTimer = [&](Session&, int ms, bool restart) {
    timers.emplace_back(ms, restart);
  };
  s.linkHooks.enableMenus = [&](Session&, MenuGroup g, bool on) { menus.emplace_back(g, on); };

  ASSERT_TRUE(SpeedUpForRetrieval(s));
  EXPECT_EQ(s.ports.currentBaud, 57600);
  EXPECT_EQ(s.link.savedRate, 19200);
  EXPECT_EQ(rig.peer.lineBaud(), 57600);
  EXPECT_TRUE(rig.t.ui.messages.empty());  // no question at the standard rate

  RestoreSpeedAfterRetrieval(s);
  EXPECT_EQ(s.ports.currentBaud, 19200);
  EXPECT_TRUE(s.link.connected);
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"A", "!E03", "A", "A", "!E0D", "A"}));
  EXPECT_EQ(rig.logger.ratesOf("A"), (std::vector<int>{19200, 57600, 57600, 19200}));
  EXPECT_EQ(timers, (std::vector<std::pair<int, bool>>{{1000, true}}));
  EXPECT_EQ(menus, (std::vector<std::pair<MenuGroup, bool>>{{MenuGroup::LoggerCommands, true}}));
}

TEST(SpeedUpForRetrieval, BelowTheStandardRateTheUserIsAskedFirst) {
  LoggerScript script = Express();
  script.answerBaud = 9600;
  LinkRig rig(script);
  Session& s = rig.s();
  s.description.expressRate = 57600;
  s.ports.currentBaud = 9600;
  ASSERT_TRUE(SpeedUpForRetrieval(s));  // the default answer: No
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  EXPECT_EQ(rig.t.ui.messages[0].caption, "Retrieve data - speed-up");
  EXPECT_EQ(rig.t.ui.messages[0].defaultAnswer, Answer::No);
  EXPECT_EQ(rig.logger.count("!E03"), 0);
  EXPECT_EQ(s.ports.currentBaud, 9600);
  EXPECT_EQ(s.link.savedRate, 9600);
}

// The main window's reconnect, failing a given number of times.
struct FlakyReconnect {
  int failures = 0;
  std::vector<int> rates;
  void operator()(Session& s) {
    rates.push_back(s.ports.currentBaud);
    s.link.connected = static_cast<int>(rates.size()) > failures;
  }
};

TEST(SpeedUpForRetrieval, FallsBackToTheSavedRateAfterTheCountdown) {
  LinkRig rig(Express());
  Session& s = rig.s();
  s.description.expressRate = 57600;
  FlakyReconnect reconnect{2, {}};
  s.linkHooks.reconnect = [&](Session& x) { reconnect(x); };
  const int64_t before = rig.t.clock.monotonicMs();

  ASSERT_TRUE(SpeedUpForRetrieval(s));
  // At the new rate, at the saved rate, and at the saved rate after ten seconds.
  EXPECT_EQ(reconnect.rates, (std::vector<int>{57600, 19200, 19200}));
  EXPECT_GE(rig.t.clock.monotonicMs() - before, 10000);
  std::vector<std::string> countdown;
  for (const auto& status : rig.t.ui.statuses)
    if (status.text.rfind("Unable to connect to logger, waiting", 0) == 0)
      countdown.push_back(status.text);
  ASSERT_EQ(countdown.size(), 10u);
  EXPECT_EQ(countdown.front(), "Unable to connect to logger, waiting for timeout 10");
  EXPECT_EQ(countdown.back(), "Unable to connect to logger, waiting for timeout 1");
}

TEST(SpeedUpForRetrieval, ALoggerThatNeverAnswersAgainEndsTheRetrieval) {
  LinkRig rig(Express());
  Session& s = rig.s();
  s.description.expressRate = 57600;
  FlakyReconnect reconnect{99, {}};
  s.linkHooks.reconnect = [&](Session& x) { reconnect(x); };
  std::vector<std::string> lines;
  int ended = 0;
  s.linkHooks.retrievalMessage = [&](Session&, std::string_view text) { lines.emplace_back(text); };
  s.linkHooks.endRetrievalBusy = [&](Session&) { ++ended; };
  EXPECT_FALSE(SpeedUpForRetrieval(s));
  EXPECT_EQ(lines, (std::vector<std::string>{"Unable to connect to logger"}));
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(s.ports.currentBaud, 19200);
}

TEST(SpeedUpForRetrieval, NoExpressRateOrARadioLinkKeepsTheRate) {
  test::TestSession t;
  t.s.link.connected = true;
  t.s.description.expressRate = 0;
  EXPECT_TRUE(SpeedUpForRetrieval(t.s));
  t.s.description.expressRate = 57600;
  t.s.ports.radioDelayEnabled = true;
  EXPECT_TRUE(SpeedUpForRetrieval(t.s));
  EXPECT_EQ(t.s.ports.currentBaud, 19200);
  EXPECT_TRUE(t.ui.messages.empty());
  t.s.link.connected = false;
  EXPECT_FALSE(SpeedUpForRetrieval(t.s));
  EXPECT_EQ(t.ui.lastStatus(), "Unable to connect to logger");  // no retrieval dialog hook
}

TEST(RestoreSpeedAfterRetrieval, CountsDownInTheRetrievalDialog) {
  LinkRig rig(Express());
  Session& s = rig.s();
  s.description.expressRate = 57600;
  s.ports.currentBaud = 57600;
  s.link.savedRate = 19200;
  FlakyReconnect reconnect{1, {}};
  s.linkHooks.reconnect = [&](Session& x) { reconnect(x); };
  std::vector<std::string> lines;
  s.linkHooks.retrievalMessage = [&](Session&, std::string_view text) { lines.emplace_back(text); };
  RestoreSpeedAfterRetrieval(s);
  rig.peer.settled();
  EXPECT_EQ(rig.logger.count("!E0D"), 1);
  EXPECT_EQ(reconnect.rates, (std::vector<int>{19200, 19200}));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[9], "Unable to connect to logger, waiting for timeout 1");
  EXPECT_TRUE(s.link.connected);
}

}  // namespace
}  // namespace kts
