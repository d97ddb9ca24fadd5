#include <gtest/gtest.h>

#include "frame/command_ids.h"
#include "frame_fixture.h"
#include "link/serial_link.h"
#include "sim_rig.h"

namespace kts::test {
namespace {

TEST(ExitFlow, UnsavedDataAsksAndYesKeepsTheProgramRunning) {
  FrameRig r;
  ASSERT_TRUE(r.frame->startUp(r.options()));
  r.unsavedData();
  r.ui().answers.push_back(Answer::Yes);
  EXPECT_FALSE(r.frame->exitFlow());
  ASSERT_GE(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].text,
            "Retrieved data has not been saved.\nDo you wish to return to save the data now?");
  EXPECT_EQ(r.ui().messages[0].caption, "Program Exit");
  EXPECT_EQ(r.ui().messages[0].defaultAnswer, Answer::Yes);
  EXPECT_TRUE(r.w.timerRunning);
  EXPECT_FALSE(r.frame->exited());
  EXPECT_TRUE(r.s().app.retrievedDataPresent);

  // Closing the question is not a No.
  r.ui().answers.clear();
  r.ui().answers.push_back(Answer::Cancel);
  EXPECT_FALSE(r.frame->exitFlow());

  r.ui().answers.push_back(Answer::No);
  EXPECT_TRUE(r.frame->exitFlow());
  EXPECT_FALSE(r.w.timerRunning);
  EXPECT_TRUE(r.frame->exited());
  EXPECT_EQ(r.frame->copies()->claimedSlot(), -1) << "the slot is free for the next copy";
}

TEST(ExitFlow, SavedDataEndsWithoutAQuestion) {
  FrameRig r;
  ASSERT_TRUE(r.frame->startUp(r.options()));
  r.unsavedData();
  r.s().app.retrievedDataSaved = true;
  r.frame->runCommand(kCmdExit);
  EXPECT_TRUE(r.ui().messages.empty());
  EXPECT_TRUE(r.frame->exited());
  const size_t statuses = r.ui().statuses.size();
  r.frame->runCommand(kCmdAbout);
  r.frame->tick();
  EXPECT_TRUE(r.w.dialogs.empty()) << "nothing runs after the exit";
  EXPECT_EQ(r.ui().statuses.size(), statuses);
}

TEST(ExitFlow, StopsARetrievalAndTheRealTimeDisplay) {
  FrameRig r;
  r.s().app.retrievalInProgress = true;
  r.s().app.realTimeDisplayActive = true;
  r.ui().questionAnswers.push_back(1);
  EXPECT_TRUE(r.frame->exitFlow());
  EXPECT_EQ(r.w.retrievalCommands, std::vector<int>{kCmdRetrievalStop});
  EXPECT_FALSE(r.s().app.retrievalInProgress);
  EXPECT_FALSE(r.s().app.realTimeDisplayActive);
  EXPECT_TRUE(r.ui().sawStatus("End of Real-time Display"));
}

TEST(Tick, ClockChangesOncePerSecond) {
  FrameRig r;
  r.t.clock.set(MakeTime(2026, 12, 7, 12, 0, 5));
  r.frame->tick();
  EXPECT_EQ(r.ui().clock, "2026/Dec/07 12:00:05");
  r.ui().clock.clear();
  r.t.clock.advanceMs(300);
  r.frame->tick();
  EXPECT_EQ(r.ui().clock, "") << "same second: nothing written";
  r.t.clock.advanceMs(700);
  r.frame->tick();
  EXPECT_EQ(r.ui().clock, "2026/Dec/07 12:00:06");
}

TEST(Tick, StepsRunInOrderOnlyWithAnOpenDialog) {
  FrameRig r;
  std::vector<std::string> order;
  TickSteps& steps = r.frame->tickSteps();
  steps.realTimeStep = [&](Session&) { order.push_back("realtime"); };
  steps.microSalinometerStep = [&](Session&) { order.push_back("microsal"); };
  steps.liveReadingsStep = [&](Session&) { order.push_back("live"); };
  steps.enableCountdown = [&](Session&) { order.push_back("countdown"); };
  steps.gpsLine = [&](Session&) { order.push_back("gps"); };

  r.s().app.retrievalInProgress = true;
  r.s().app.realTimeDisplayActive = true;
  r.s().app.microSalinometerMode = true;
  r.frame->tick();
  EXPECT_EQ(r.w.retrievalCommands, std::vector<int>{kCmdRetrievalContinue});
  EXPECT_TRUE(order.empty()) << "no open dialog: the tick stops after the retrieval";

  r.s().app.activeDialogCommand = kCmdGpsTest;
  r.s().app.gpsPortOpen = true;
  r.frame->tick();
  EXPECT_EQ(order, std::vector<std::string>{"gps"});

  order.clear();
  r.s().app.activeDialogCommand = 1043;
  r.s().app.liveReadingsChannel = 1;
  r.frame->tick();
  EXPECT_EQ(order, (std::vector<std::string>{"countdown", "gps", "realtime", "microsal", "live"}));
}

TEST(StatusPolling, RefreshesTheRetrievalDialogWithTheBattery) {
  SimRig rig("extended", {"status = 2"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  FakeWindow w;
  Frame frame(rig.s(), w);
  rig.s().description.reportsBattery = true;
  rig.s().app.activeDialogCommand = kCmdRetrieveData;
  rig.s().app.statusPolling = true;
  frame.tick();
  const AppState::PolledFields& f = rig.s().app.polled;
  EXPECT_EQ(f.identity, "KTS QZ-740  6.51 001234");
  EXPECT_EQ(f.statusLine, "Logging - Battery 14.95 volts");  // 0xB4 × 0.0816485 + 0.25417
  EXPECT_FALSE(f.memoryUsed.empty());
  EXPECT_FALSE(f.loggerClock.empty());
}

TEST(StatusPolling, SetupScreenOfABusyLoggerOffersToStopIt) {
  SimRig rig("extended", {"status = 1", "records = 0"});
  ASSERT_TRUE(rig.ok()) << rig.error;
  FakeWindow w;
  Frame frame(rig.s(), w);
  rig.s().app.activeDialogCommand = kCmdSetup;
  rig.s().app.statusPolling = true;
  rig.s().setup.enableLoggingEnabled = true;
  frame.tick();
  EXPECT_EQ(rig.s().setup.mainButton, "STOP logger");
  EXPECT_FALSE(rig.s().setup.enableLoggingEnabled);
  EXPECT_EQ(rig.s().setup.message.text, "Logger is logging or enabled - You may stop the logger.");
  EXPECT_EQ(rig.s().setup.message.indicator, MessageIndicator::Warning);
}

TEST(StatusPolling, SilentLoggerEndsTheDialog) {
  SimRig rig("extended", {});
  ASSERT_TRUE(rig.ok()) << rig.error;
  FakeWindow w;
  Frame frame(rig.s(), w);
  rig.sim.reset();  // the logger goes away
  CloseCommPort(rig.s(), PortRole::Logger);
  rig.s().link.connected = false;
  rig.s().app.activeDialogCommand = kCmdRetrieveData;
  rig.s().app.statusPolling = true;
  frame.tick();
  EXPECT_FALSE(rig.s().app.statusPolling);
  EXPECT_EQ(rig.s().app.activeDialogCommand, 0);
  EXPECT_EQ(w.dialogsEnded, 1);
}

}  // namespace
}  // namespace kts::test
