#include "link/connection.h"

#include <gtest/gtest.h>

#include "core/session.h"
#include "link/commands.h"
#include "link_rig.h"

namespace kts {
namespace {

using test::LinkRig;
using test::LoggerScript;

LoggerScript Identity(const std::string& identity) {
  LoggerScript script;
  script.identity = identity;
  return script;
}

TEST(IdentityReply, ReadsTheFieldsAfterTheMakerWord) {
  LoggerIdentity id;
  ASSERT_TRUE(ParseIdentityReply("KTS QZ-740 6.51 001234\r\n", &id));
  EXPECT_EQ(id.model, "QZ-740");
  EXPECT_FLOAT_EQ(id.firmware, 6.51f);
  EXPECT_EQ(id.serial, 1234);
  EXPECT_TRUE(id.extended);

  // Line noise before the maker word is skipped.
  ASSERT_TRUE(ParseIdentityReply("\x13?KTS HV-3070 3.05 000042", &id));
  EXPECT_EQ(id.model, "HV-3070");
  EXPECT_EQ(id.serial, 42);
  EXPECT_FALSE(id.extended);

  // The extended command set starts at 5.00, compared with two decimals.
  ASSERT_TRUE(ParseIdentityReply("KTS QZ-740 4.99 1", &id));
  EXPECT_FALSE(id.extended);
  ASSERT_TRUE(ParseIdentityReply("KTS QZ-740 5.00 1", &id));
  EXPECT_TRUE(id.extended);
  ASSERT_TRUE(ParseIdentityReply("KTS QZ-740 4.995 1", &id));
  EXPECT_TRUE(id.extended);  // 4.995 reads as 5.00
}

TEST(IdentityReply, MalformedRepliesAreNoAnswerAndChangeNothing) {
  const std::string longest(kMaxModelLength, 'M');
  LoggerIdentity id;
  EXPECT_TRUE(ParseIdentityReply("KTS " + longest + " 6.51 1", &id));

  const LoggerIdentity before{"BEFORE", 1.0f, 7, false};
  for (const std::string& reply : {
           std::string("LOGGER QZ-740 6.51 001234"),    // no maker word
           std::string("KTS QZ-740 6.51"),              // no serial number
           std::string("KTS"),                          // nothing after it
           std::string("KTS " + longest + "M 6.51 1"),  // model word too long
           std::string("KTS QZ\xB5"
                       "740 6.51 1"),        // not ASCII
           std::string("KTS QZ-740 six 1"),  // version not a number
           std::string("KTS QZ-740 6.51x 1"),
           std::string("KTS QZ-740 1e9 1"),  // no five-character version
           std::string("KTS QZ-740 nan 1"),
           std::string("KTS QZ-740 6.51 -5"),  // serial numbers are not negative
           std::string("KTS QZ-740 6.51 12ab"),
           std::string("KTS QZ-740 6.51 99999999999"),  // beyond an int
       }) {
    LoggerIdentity out = before;
    EXPECT_FALSE(ParseIdentityReply(reply, &out)) << reply;
    EXPECT_EQ(out.model, "BEFORE") << reply;
  }
}

TEST(IdentityText, VersionInFiveCharactersAndSerialInSixDigits) {
  EXPECT_EQ(IdentityText({"QZ-740", 6.51f, 1234, true}), "KTS QZ-740  6.51 001234");
  EXPECT_EQ(IdentityText({"HV-3070", 12.5f, 1234567, true}), "KTS HV-3070 12.50 1234567");
  EXPECT_EQ(IdentityText(LoggerIdentity{}), "KTS UNKNOWN  0.00 000000");
}

TEST(Connect, FindsALoggerAnsweringOnlyAt2400OnTheThirdPass) {
  LoggerScript script = Identity("KTS QZ-740 6.51 001234");
  script.answerBaud = 2400;
  LinkRig rig(script);
  ASSERT_EQ(rig.s().ports.defaultRateIndex, 4);

  ASSERT_EQ(CommGet(rig.s(), 0), 1);
  EXPECT_TRUE(rig.s().link.connected);
  EXPECT_EQ(rig.s().ports.currentBaud, 2400);
  EXPECT_EQ(rig.s().ports.defaultRateIndex, 1);  // 2400 is the default from now on
  // Two tries at 19200, two at 1200, found with the first at 2400.
  EXPECT_EQ(rig.logger.ratesOf("A"), (std::vector<int>{19200, 19200, 1200, 1200, 2400}));
  EXPECT_EQ(rig.t.ui.connectionStates, (std::vector<std::string>{"Trying: 19200", "Trying: 1200",
                                                                 "Trying: 2400", "2400 baud"}));
  EXPECT_EQ(IdentityText(rig.s().link.identity), "KTS QZ-740  6.51 001234");
}

TEST(Connect, AReplyWithoutTheMakerWordIsNoAnswer) {
  LinkRig rig(Identity("LOGGER QZ-740 6.51 001234"));
  EXPECT_FALSE(Connect(rig.s()));
  EXPECT_EQ(rig.logger.count("A"), 12);  // six passes of two tries
  EXPECT_FALSE(rig.s().link.connected);
  EXPECT_EQ(rig.s().link.identity.model, "UNKNOWN");
  EXPECT_EQ(rig.s().ports.currentBaud, 19200);  // back to the stored default
  EXPECT_EQ(rig.s().ports.defaultRateIndex, 4);
  EXPECT_EQ(rig.t.ui.lastStatus(), "Unable to Communicate with Logger on " + rig.peer.path());
  EXPECT_EQ(rig.t.ui.connectionStates.back(), "Not connected");
}

TEST(Connect, AnIdentityWithANulByteNeverConnects) {
  LinkRig rig(Identity(std::string("KTS QZ-740\0garbage 6.51 001234", 30)));
  EXPECT_FALSE(Connect(rig.s()));
  EXPECT_FALSE(rig.s().link.connected);
  EXPECT_EQ(rig.s().link.identity.model, "UNKNOWN");
  EXPECT_EQ(rig.t.ui.lastStatus(), "Unable to Communicate with Logger on " + rig.peer.path());
}

TEST(Connect, APortThatCannotBeOpenedIsReported) {
  test::TestSession t;
  t.s.ports.loggerDevice = "/dev/ttyKTSabsent";
  EXPECT_FALSE(Connect(t.s));
  EXPECT_EQ(t.ui.lastStatus(),
            "Unable to open /dev/ttyKTSabsent - bad port setting or another "
            "application holds the port.");
  EXPECT_EQ(t.ui.connectionStates, (std::vector<std::string>{"Trying: 19200", "Not connected"}));
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST(Connect, RereadFlagsFollowTheLogger) {
  LinkRig rig(Identity("KTS QZ-740 4.99 001234"));
  Session& s = rig.s();
  s.link.reread = {false, false, false};
  ASSERT_TRUE(Connect(s));
  // The first logger: the tables must be read, and nobody is asked anything.
  EXPECT_TRUE(s.link.reread.capabilities && s.link.reread.coefficients &&
              s.link.reread.configuration);
  EXPECT_TRUE(rig.t.ui.messages.empty());
  EXPECT_EQ(s.link.previousSerial, 1234);
  EXPECT_FALSE(s.link.identity.extended);

  // The same logger again, on the port that answered: nothing to re-read.
  s.link.reread = {false, false, false};
  rig.logger.setIdentity("KTS QZ-740 5.00 001234");
  ASSERT_TRUE(Connect(s));
  EXPECT_FALSE(s.link.reread.capabilities || s.link.reread.coefficients ||
               s.link.reread.configuration);
  EXPECT_TRUE(s.link.identity.extended);
  EXPECT_EQ(rig.t.ui.connectionStates.size(), 3u);  // "Trying", "19200 baud", "19200 baud"

  // Another logger with the data already saved: re-read, still no question.
  s.app.retrievedDataPresent = s.app.retrievedDataSaved = true;
  rig.logger.setIdentity("KTS QZ-740 5.00 004321");
  ASSERT_TRUE(Connect(s));
  EXPECT_TRUE(s.link.reread.capabilities && s.link.reread.configuration);
  EXPECT_TRUE(rig.t.ui.messages.empty());
  EXPECT_EQ(s.link.previousSerial, 4321);
}

// A logger change with retrieved data not yet saved.
struct ChangeRig : LinkRig {
  ChangeRig() : LinkRig(Identity("KTS QZ-740 6.51 000111")) {
    Session& ss = s();
    ss.link.previousSerial = 222;
    ss.link.previousFirmware = 3.15f;
    ss.link.previousModel = "HV-3070";
    ss.link.reread = {false, false, false};
    ss.app.retrievedDataPresent = true;
    ss.linkHooks.hideDataDisplay = [this](Session&) { ++hidden; };
    ss.linkHooks.enableMenus = [this](Session&, MenuGroup g, bool on) {
      menus.emplace_back(g, on);
    };
    ss.linkHooks.redrawRetrievedData = [this](Session&) { ++redrawn; };
    ss.linkHooks.saveRetrievedData = [this](Session& x) {
      savedUnder = IdentityText(x.link.identity);
      x.app.retrievedDataSaved = true;
    };
  }
  int hidden = 0, redrawn = 0;
  std::vector<std::pair<MenuGroup, bool>> menus;
  std::string savedUnder;
};

TEST(Connect, ALoggerChangeWithUnsavedDataAsksAndNoDropsTheData) {
  ChangeRig rig;
  Session& s = rig.s();
  rig.t.ui.answers.push_back(Answer::No);
  ASSERT_TRUE(Connect(s));
  ASSERT_EQ(rig.t.ui.messages.size(), 1u);
  const Message& m = rig.t.ui.messages[0];
  EXPECT_EQ(m.text,
            "Logger has changed from 000222 to 000111.\nRetrieved data from 000222 has "
            "not been saved.\nDo you wish to return to save the data now?");
  EXPECT_EQ(m.caption, "Connecting Logger");
  EXPECT_EQ(m.buttons, Buttons::YesNo);
  EXPECT_EQ(m.defaultAnswer, Answer::No);
  EXPECT_EQ(m.icon, Icon::Warning);

  EXPECT_EQ(rig.hidden, 1);
  EXPECT_EQ(rig.menus, (std::vector<std::pair<MenuGroup, bool>>{{MenuGroup::SaveItems, false}}));
  EXPECT_TRUE(rig.savedUnder.empty());
  EXPECT_FALSE(s.app.retrievedDataPresent || s.app.retrievedDataSaved);
  EXPECT_TRUE(s.link.reread.capabilities && s.link.reread.coefficients &&
              s.link.reread.configuration);
  EXPECT_EQ(s.link.identity.serial, 111);
  EXPECT_EQ(s.link.previousSerial, 111);
}

TEST(Connect, ALoggerChangeAnsweredYesSavesUnderTheOldIdentityThenConnectsAgain) {
  ChangeRig rig;
  Session& s = rig.s();
  rig.t.ui.answers.push_back(Answer::Yes);
  ASSERT_TRUE(Connect(s));
  EXPECT_EQ(rig.t.ui.messages.size(), 1u);  // saved, so not asked again
  EXPECT_EQ(rig.redrawn, 1);
  EXPECT_EQ(rig.savedUnder, "KTS HV-3070  3.15 000222");
  EXPECT_EQ(rig.hidden, 0);
  EXPECT_EQ(rig.logger.count("A"), 2);  // one identification per connection
  EXPECT_EQ(s.link.identity.serial, 111);
  EXPECT_EQ(s.link.previousSerial, 111);
  EXPECT_TRUE(s.link.reread.capabilities && s.link.reread.configuration);
  EXPECT_TRUE(s.app.retrievedDataPresent && s.app.retrievedDataSaved);
}

TEST(Connect, StoppingConnectsFirst) {
  LinkRig rig(Identity("KTS QZ-740 6.51 001234"));
  EXPECT_EQ(CommSend(rig.s(), 13), 1);
  rig.peer.settled();
  EXPECT_EQ(rig.logger.commands(), (std::vector<std::string>{"A", "!9"}));
}

TEST(Connect, TheDefaultReconnectReopensThePortAtTheCurrentRate) {
  LinkRig rig(Identity("KTS QZ-740 6.51 001234"));
  Session& s = rig.s();
  ASSERT_TRUE(Connect(s));
  rig.logger.setAnswerBaud(9600);
  s.ports.currentBaud = 9600;
  EXPECT_TRUE(Reconnect(s));
  EXPECT_EQ(rig.logger.ratesOf("A"), (std::vector<int>{19200, 9600}));
  EXPECT_EQ(rig.t.ui.connectionStates.back(), "9600 baud");

  int calls = 0;
  s.linkHooks.reconnect = [&](Session& x) {
    ++calls;
    x.link.connected = false;
  };
  EXPECT_FALSE(Reconnect(s));
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace kts
