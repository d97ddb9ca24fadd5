// The setup screen against the simulated logger: what is asked, in which
// order the logger is told what, and how each failure ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../data/temp_dir.h"
#include "core/session.h"
#include "core/time_math.h"
#include "deploy/setup_sequence.h"
#include "link/connection.h"
#include "sim_rig.h"

namespace kts {
namespace {

constexpr const char* kNotDownloaded =
    "The logger contains data that has not been downloaded.\n\nThese data will be lost if you "
    "continue.\n\nDo you want to continue?";

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

class SetupRig {
 public:
  SetupRig(const std::string& profile, std::vector<std::string> settings, sim::Faults faults = {})
      : rig(Options(profile, std::move(settings), faults)) {
    if (!rig.ok()) return;
    s().settings.baseDirectory = logs.path();
    connected = Connect(s());
  }

  static sim::SimOptions Options(const std::string& profile, std::vector<std::string> settings,
                                 const sim::Faults& faults) {
    sim::SimOptions o = test::SimRig::Options(profile, std::move(settings));
    o.faults = faults;
    return o;
  }

  Session& s() { return rig.s(); }
  test::ScriptedUi& ui() { return rig.t.ui; }

  // A new deployment over the one the logger holds, as the picker leaves it.
  void Deploy(const TimeRecord& start, const TimeRecord& end, const TimeRecord& period) {
    DeploymentParameters& d = s().deployment;
    d.block.startMode = kStartAtTime;
    d.startTime = start;
    d.endTime = end;
    d.samplingPeriod = period;
    d.changedSinceBatch = true;
    s().setup.mainButton = kEnableLoggingButton;
  }

  // Runs the enable sequence and, while the logger erases, the ticks.
  SetupOutcome Enable() {
    rig.sim->clearExchanges();
    SetupOutcome outcome = enableLogging(s());
    for (int tick = 0; s().setup.eraseWait && tick < 400; ++tick) {
      rig.t.clock.sleepMs(40);
      ++ticks;
      SetupEraseTick(s());
    }
    return s().setup.eraseWait ? SetupOutcome::EraseWaiting : s().setup.outcome;
  }

  std::vector<std::string> commands() const { return rig.sim->commands(); }
  // The commands from the first one starting with `from`.
  std::vector<std::string> commandsFrom(const std::string& from) const {
    const std::vector<std::string> all = commands();
    auto it = std::find_if(all.begin(), all.end(),
                           [&](const std::string& c) { return StartsWith(c, from); });
    return std::vector<std::string>(it, all.end());
  }
  bool sent(const std::string& prefix) const {
    const std::vector<std::string> all = commands();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& c) { return StartsWith(c, prefix); });
  }
  bool asked(const std::string& text) const {
    for (const Message& m : rig.t.ui.messages)
      if (m.text == text) return true;
    return false;
  }
  std::string log() const { return logs.read("log/" + serial() + ".log"); }
  std::string serial() const {
    char b[16];
    std::snprintf(b, sizeof b, "%06d", rig.sim->profile().serial);
    return b;
  }

  test::TempDir logs;
  test::SimRig rig;
  bool connected = false;
  int ticks = 0;
};

// An extended QZ-740 whose last deployment is complete, clock at 12:00:03.
std::vector<std::string> CompleteExtended(std::vector<std::string> more = {}) {
  std::vector<std::string> v{"status = 4", "erase_ms = 100", "clock = 2026-12-07 12:00:03",
                             "clock_frozen = 1"};
  v.insert(v.end(), more.begin(), more.end());
  return v;
}

const TimeRecord kStart = MakeTime(2026, 12, 7, 13, 0, 0);
const TimeRecord kEnd = MakeTime(2026, 12, 20, 0, 0, 0);

TEST(SetupSequence, ProgramsEachSettingWithItsReadBackBeforeTheTimesAndTheEnableCommand) {
  SetupRig r("extended", CompleteExtended());
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1) << r.ui().messageTexts();
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes};  // the data may be lost

  EXPECT_EQ(r.Enable(), SetupOutcome::Enabled) << r.ui().messageTexts();
  EXPECT_TRUE(r.asked(kNotDownloaded));
  // Agreed to once: not asked again about the data in memory.
  EXPECT_FALSE(r.asked("Memory contains data\nDo you wish to continue?"));

  const std::vector<std::string> all = r.commands();
  ASSERT_GE(all.size(), 3u);
  EXPECT_EQ(all[0], "G");  // the pointer first, before anything changes
  EXPECT_TRUE(r.sent("!U01"));
  const std::vector<std::string> tail = r.commandsFrom("!K");
  const std::vector<std::string> expected{
      "!K000000", "!A", "!H", "W", "X", "!B00", "!100000000", "!2", "L261207130000", "D",
      "M261220000000", "E", "K000100", "C", "P"};
  ASSERT_EQ(tail.size(), expected.size()) << ::testing::PrintToString(tail);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(StartsWith(tail[i], expected[i])) << i << ": " << tail[i];

  EXPECT_FALSE(r.s().setup.open);
  EXPECT_EQ(r.s().app.postedCommand, 0);
  EXPECT_TRUE(r.s().batch.available);
  EXPECT_EQ(r.ui().lastStatus(),
            "Logger started in mode: 'Enabled' to start at 2026/Dec/07 13:00:00");
  const sim::LoggerSnapshot after = r.rig.sim->snapshot();
  EXPECT_EQ(after.status, 1);
  EXPECT_EQ(after.start, kStart);
  EXPECT_EQ(after.periodSeconds, 60);
  EXPECT_NE(r.log().find("Logging start:               2026/Dec/07 13:00:00"), std::string::npos)
      << r.log();
}

struct ReadBackCase {
  const char* ignored;
  const char* message;
  bool timesSent;
};

class ReadBackFailure : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBackFailure, StopsAtTheFirstSettingThatDoesNotReadBack) {
  const ReadBackCase& c = GetParam();
  sim::Faults f;
  f.ignoredSettings = {c.ignored};
  SetupRig r("extended", CompleteExtended(), f);
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  // Values that differ from what the logger holds, so that a setting it
  // does not keep shows on reading back.
  r.s().deployment.averagingEnabled = true;
  r.s().deployment.averagingPeriod = 20;
  r.s().deployment.block.oemFlags = 4;
  r.ui().answers = {Answer::Yes};

  EXPECT_EQ(r.Enable(), SetupOutcome::Failed);
  ASSERT_FALSE(r.ui().messages.empty());
  const Message& last = r.ui().messages.back();
  EXPECT_EQ(last.text, c.message);
  EXPECT_EQ(last.caption, "Reset Logger");
  EXPECT_EQ(last.icon, Icon::Error);
  EXPECT_FALSE(r.sent("P"));
  EXPECT_EQ(r.sent("L"), c.timesSent);
  EXPECT_FALSE(r.s().setup.open);
  EXPECT_EQ(r.s().app.postedCommand, kSetupCommandId);
  EXPECT_NE(r.log().find("Logger setup FAILED at logger time"), std::string::npos);
  EXPECT_FALSE(r.s().batch.available && !c.timesSent);
}

INSTANTIATE_TEST_SUITE_P(
    EachSetting, ReadBackFailure,
    ::testing::Values(
        ReadBackCase{"W", "Averaging length set incorrectly.\nTry again.\nContact KTS if the problem persists.", false},
        ReadBackCase{"!1", "Start characteristic set incorrectly.\nTry again.\nContact KTS if the problem persists.", false},
        ReadBackCase{"L", "Start time set incorrectly.\nTry again.\nContact KTS if the problem persists.", true},
        ReadBackCase{"M", "End time set incorrectly.\nTry again.\nContact KTS if the problem persists.", true},
        ReadBackCase{"K", "Period set incorrectly.\nTry again.\nContact KTS if the problem persists.", true}));

TEST(SetupSequence, EraseWaitOfALoggerWithCapabilitiesEndsOnItsStatus) {
  SetupRig r("extended", CompleteExtended());
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes};
  EXPECT_EQ(r.Enable(), SetupOutcome::Enabled) << r.ui().messageTexts();
  // Asked each tick; done long before the bar would have filled.
  EXPECT_LT(r.ticks, 100);
  const std::vector<std::string> wait = r.commandsFrom("N");
  EXPECT_GE(std::count(wait.begin(), wait.end(), "T"), 2);
}

TEST(SetupSequence, EraseWaitOfAnOlderLoggerEndsWhenTheProgressPassesAHundred) {
  SetupRig r("hv2", {"erase_ms = 50", "clock = 2026-12-07 12:00:00", "clock_frozen = 1"});
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1) << r.ui().messageTexts();
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes};
  EXPECT_EQ(r.Enable(), SetupOutcome::Enabled) << r.ui().messageTexts();
  // 0x2xxxx: two 64 KiB blocks, 50 per tick: 50, 100, then past 100.
  EXPECT_EQ(r.ticks, 3);
  // Not asked while it erases: the first status query comes after the wait.
  const std::vector<std::string> wait = r.commandsFrom("N");
  ASSERT_GE(wait.size(), 2u);
  EXPECT_EQ(wait[1], "T");
  const std::vector<std::string> expected{"N", "T", "L", "D", "M", "E", "K", "C", "P"};
  ASSERT_EQ(wait.size(), expected.size()) << ::testing::PrintToString(wait);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(StartsWith(wait[i], expected[i]));
}

TEST(SetupSequence, FailedEraseDeclinedLogsTheFailure) {
  sim::Faults f;
  f.eraseFailures = 1;
  SetupRig r("hv2", {"erase_ms = 50", "clock = 2026-12-07 12:00:00", "clock_frozen = 1"}, f);
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(r.Enable(), SetupOutcome::Failed);
  EXPECT_TRUE(r.asked(
      "The logger status indicates that the logger failed to erase properly.\n\nTry to erase "
      "again?\n\nContact KTS if the problem persists."));
  EXPECT_FALSE(r.sent("L"));
  EXPECT_EQ(r.s().app.postedCommand, kSetupCommandId);
  EXPECT_NE(r.log().find("Logger setup FAILED"), std::string::npos);
}

TEST(SetupSequence, FailedEraseTriedAgainReconnectsErasesAndEnables) {
  sim::Faults f;
  f.eraseFailures = 1;
  SetupRig r("hv2", {"erase_ms = 50", "clock = 2026-12-07 12:00:00", "clock_frozen = 1"}, f);
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes, Answer::Yes};
  EXPECT_EQ(r.Enable(), SetupOutcome::Enabled) << r.ui().messageTexts();
  const std::vector<std::string> all = r.commands();
  EXPECT_EQ(std::count(all.begin(), all.end(), "N"), 2);
  const std::vector<std::string> again = r.commandsFrom("A");
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(r.rig.sim->snapshot().status, 1);
}

TEST(SetupSequence, ContinueToAddResumesWithTheSettingsTheLoggerHolds) {
  SetupRig r("qz", {"status = 4", "end = 2027-01-01 00:00:00", "clock = 2026-12-07 12:00:00",
                    "clock_frozen = 1"});
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1) << r.ui().messageTexts();
  EXPECT_EQ(r.s().setup.mainButton, kResumeEnableButton);
  EXPECT_EQ(r.s().deployment.block.startMode, kStartNow);
  r.ui().answers = {Answer::Yes};
  r.ui().questionAnswers = {6};

  EXPECT_EQ(r.Enable(), SetupOutcome::Resumed) << r.ui().messageTexts();
  ASSERT_EQ(r.ui().questions.size(), 1u);
  const Question& q = r.ui().questions[0];
  EXPECT_EQ(q.caption, "Setup");
  EXPECT_EQ(q.heading, "The logger contains data");
  EXPECT_EQ(q.text,
            "You may continue to add data to the logger using all the previous settings or\nerase "
            "the memory.");
  ASSERT_EQ(q.buttons.size(), 2u);
  EXPECT_EQ(q.buttons[0].text, "Continue to add");
  EXPECT_EQ(q.buttons[1].text, "Erase old readings");
  EXPECT_TRUE(r.asked(
      "The logger contains data that has not been downloaded.\n\nThese data may be lost if you "
      "continue.\n\nDo you want to continue?"));

  const std::vector<std::string> tail = r.commandsFrom("A");
  const std::vector<std::string> expected{"A", "!A", "W", "!R", "T"};
  ASSERT_EQ(tail.size(), expected.size()) << ::testing::PrintToString(tail);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(StartsWith(tail[i], expected[i]));
  EXPECT_FALSE(r.sent("N"));
  EXPECT_EQ(r.rig.sim->snapshot().status, 2);
  EXPECT_NE(r.log().find("Resumed logging\n"), std::string::npos) << r.log();
}

TEST(SetupSequence, StartNowIsTenSecondsAheadOnAWholeTen) {
  EXPECT_EQ(StartNowTime(MakeTime(2026, 12, 7, 12, 0, 3)), MakeTime(2026, 12, 7, 12, 0, 20));
  EXPECT_EQ(StartNowTime(MakeTime(2026, 12, 7, 12, 0, 0)), MakeTime(2026, 12, 7, 12, 0, 10));
  EXPECT_EQ(StartNowTime(MakeTime(2026, 12, 31, 23, 59, 55)), MakeTime(2027, 1, 1, 0, 0, 10));

  SetupRig r("extended", CompleteExtended());
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.s().deployment.block.startMode = kStartNow;
  r.ui().answers = {Answer::Yes};
  EXPECT_EQ(r.Enable(), SetupOutcome::Enabled) << r.ui().messageTexts();
  EXPECT_TRUE(r.sent("L261207120020"));
  EXPECT_EQ(r.rig.sim->snapshot().status, 2);
}

TEST(SetupSequence, ClocksMoreThanHalfAnHourApartAreQuestioned) {
  const TimeRecord logger = MakeTime(2026, 12, 7, 12, 0, 0);
  EXPECT_FALSE(ClocksFarApart(AddSeconds(logger, 1800), logger));
  EXPECT_FALSE(ClocksFarApart(AddSeconds(logger, -1800), logger));
  EXPECT_TRUE(ClocksFarApart(AddSeconds(logger, 1801), logger));
  EXPECT_TRUE(ClocksFarApart(AddSeconds(logger, -1801), logger));

  constexpr const char* kQuestion =
      "Logger time and Host time differ by more than 30 minutes.\nDo you want to continue?";
  for (const int apart : {1800, 1801}) {
    SetupRig r("extended", {"status = 4", "erase_ms = 100", "clock = 2026-12-07 12:00:00",
                            "clock_frozen = 1"});
    ASSERT_TRUE(r.connected) << r.rig.error;
    ASSERT_EQ(openSetupScreen(r.s()), 1);
    r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
    r.rig.t.clock.set(AddSeconds(logger, apart));
    r.ui().answers = {Answer::Yes, Answer::No};
    const SetupOutcome outcome = r.Enable();
    EXPECT_EQ(r.asked(kQuestion), apart == 1801) << apart;
    EXPECT_EQ(outcome, apart == 1801 ? SetupOutcome::Stopped : SetupOutcome::Enabled) << apart;
    if (apart == 1801) {
      EXPECT_FALSE(r.sent("N"));
      EXPECT_TRUE(r.s().setup.open);
      EXPECT_TRUE(r.s().setup.mainButtonsShown);
    }
  }
}

TEST(SetupSequence, AnEnableReplyOutsideTheRunningStatesFails) {
  EXPECT_EQ(EnableReplyStatus("Logger started in mode 01"), 1);
  EXPECT_EQ(EnableReplyStatus("Logger started in mode 09"), 7);
  EXPECT_EQ(EnableReplyStatus("Logger status 0200"), 2);
  EXPECT_EQ(EnableReplyStatus("garbage"), 7);
  EXPECT_EQ(EnableReplyStatus("Logger started in mode"), 7);
  EXPECT_EQ(EnableStatusText("Logger started in mode 09", 7, kStart),
            "Logger started in mode: Memory Error");

  sim::Faults f;
  f.enableMode = 9;
  SetupRig r("extended", CompleteExtended(), f);
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes};
  EXPECT_EQ(r.Enable(), SetupOutcome::Failed);
  EXPECT_TRUE(r.asked("Logger has not been enabled.\nTry again.\nIf problem persists contact KTS."));
  EXPECT_NE(r.log().find("Logger setup FAILED"), std::string::npos);
  EXPECT_FALSE(r.s().batch.available && r.s().setup.open);
}

TEST(SetupSequence, AnActiveQz760OfOlderFirmwareCanOnlyBeStopped) {
  SetupRig r("qz", {"model = QZ-760", "status = 2", "end = 2027-01-01 00:00:00",
                    "clock = 2026-12-07 12:00:00", "clock_frozen = 1"});
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  const SetupScreen& screen = r.s().setup;
  EXPECT_TRUE(screen.fieldsHidden);
  EXPECT_EQ(screen.mainButton, kStopLoggerButton);
  EXPECT_EQ(screen.message.text,
            "QZ-760 Logger active - update of this window suspended, you may stop the logger");
  // Nothing but the status was read.
  EXPECT_FALSE(r.sent("B"));

  EXPECT_EQ(r.Enable(), SetupOutcome::LoggerStopped);
  EXPECT_TRUE(r.sent("!9"));
  EXPECT_TRUE(r.sent("!B00"));
  EXPECT_FALSE(r.sent("N"));
  EXPECT_EQ(r.s().app.postedCommand, kSetupCommandId);
  EXPECT_EQ(r.rig.sim->snapshot().status, 4);
}

TEST(SetupSequence, ALoggerStillCollectingIsNotStoppedWithoutConsent) {
  SetupRig r("extended", {"erase_ms = 100", "clock = 2026-12-07 12:00:03", "clock_frozen = 1"});
  ASSERT_TRUE(r.connected) << r.rig.error;
  ASSERT_EQ(openSetupScreen(r.s()), 1);
  r.Deploy(kStart, kEnd, MakePeriod(0, 1, 0));
  r.ui().answers = {Answer::Yes, Answer::No};
  EXPECT_EQ(r.Enable(), SetupOutcome::Stopped);
  EXPECT_TRUE(r.asked("Logger still collecting data.\nDo you wish to continue?"));
  EXPECT_FALSE(r.sent("!9"));
  EXPECT_EQ(r.rig.sim->snapshot().status, 2);
}

}  // namespace
}  // namespace kts
