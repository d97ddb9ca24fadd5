// The retrieval screen against the simulated logger: the decisions about a
// logger that is still logging, the texts the user sees, and that a
// suspended logger always ends up logging again.
#include "deploy/retrieval_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/session.h"
#include "core/text.h"
#include "link/connection.h"
#include "link/logger_status.h"
#include "sim_rig.h"

namespace kts {
namespace {

namespace fs = std::filesystem;

TEST(LoggingQuestion, TextsAndChoicesByContext) {
  Question q = LoggingDecisionQuestion(LoggingQuestion::StopOrSuspend);
  EXPECT_EQ(q.caption, "Download");
  EXPECT_EQ(q.heading, "The logger is still collecting data");
  EXPECT_EQ(q.text,
            "This logger may be stopped completely or\nsuspended during data download and "
            "resumed after.");
  ASSERT_EQ(q.buttons.size(), 2u);
  EXPECT_EQ(q.buttons[0].text, "Suspend and resume");
  EXPECT_EQ(q.buttons[0].id, kChoice6);
  EXPECT_EQ(q.buttons[1].text, "Stop");
  EXPECT_EQ(q.defaultId, kQuestionClosed);

  q = LoggingDecisionQuestion(LoggingQuestion::MustStop);
  EXPECT_EQ(q.text, "This logger must be stopped to download data.");
  ASSERT_EQ(q.buttons.size(), 1u) << "choice 6 hidden";
  EXPECT_EQ(q.buttons[0].id, kChoice7);

  q = LoggingDecisionQuestion(LoggingQuestion::StopOrKeepLogging);
  EXPECT_EQ(q.text,
            "Do you wish to stop the logger?\nIf you choose to continue without stopping the "
            "logger, data download may be slow.");
  EXPECT_EQ(q.buttons[0].text, "Keep logging");

  q = LoggingDecisionQuestion(LoggingQuestion::SetupContainsData);
  EXPECT_EQ(q.caption, "Setup");
  EXPECT_EQ(q.heading, "The logger contains data");
  EXPECT_EQ(q.buttons[0].text, "Continue to add");
  EXPECT_EQ(q.buttons[1].text, "Erase old readings");
}

TEST(RetrievalRules, FullMemoryPointersByMemoryClass) {
  LoggerDescription d;
  EXPECT_STREQ(FullMemoryPointerReply(d), "FEF71F00CDP");
  d.memoryType = 2;
  EXPECT_STREQ(FullMemoryPointerReply(d), "FEF73F00CDP");
  d.memoryType = 3;
  EXPECT_STREQ(FullMemoryPointerReply(d), "00E07F00CDP");
}

// A retrieval screen on a simulated logger, with the deployment log kept in
// a directory of its own.
class RetrievalFlow : public ::testing::Test {
 protected:
  std::unique_ptr<test::SimRig> rig;
  RetrievalScreen screen;
  fs::path base;
  std::vector<std::string> saves;

  void Start(const char* profile, std::vector<std::string> settings) {
    rig = std::make_unique<test::SimRig>(profile, std::move(settings));
    ASSERT_TRUE(rig->ok()) << rig->error;
    char pattern[] = "/tmp/kts-retrieval-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    base = pattern;
    s().settings.baseDirectory = base.string();
    ASSERT_TRUE(Connect(s()));
    screen.hooks.saveData = [this](Session&) {
      saves.push_back("saved");
      return (base / "hex" / "001234.hex").string();
    };
  }
  void TearDown() override {
    if (!base.empty()) fs::remove_all(base);
  }

  Session& s() { return rig->s(); }
  test::ScriptedUi& ui() { return rig->t.ui; }

  void RunToEnd() {
    while (continueRetrieval(s(), screen)) {
    }
  }
  std::vector<uint8_t> Image() {
    return {s().image.bytes.get(), s().image.bytes.get() + s().image.length};
  }
  std::vector<uint8_t> Memory() {
    return rig->sim->readMemory(s().retrieval.firstAddress, s().image.length);
  }
  size_t Count(const std::string& command) {
    const std::vector<std::string> c = rig->sim->commands();
    return static_cast<size_t>(std::count(c.begin(), c.end(), command));
  }
  std::string LogText() {
    std::ifstream in(base / "log" / "001234.log");
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
};

TEST_F(RetrievalFlow, SuspendReadsEverythingAndResumes) {
  Start("extended", {"records = 3000"});  // logging, may be suspended
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.state.statusName, "Logging");
  EXPECT_EQ(screen.state.loggerName, "KTS QZ-740  6.51 001234");
  EXPECT_EQ(screen.retrievalClass, 3);
  EXPECT_EQ(screen.mainButton, "Retrieve Data");
  ui().questionAnswers = {kChoice6};
  retrieve(s(), screen, false);
  ASSERT_EQ(ui().questions.size(), 1u);
  EXPECT_EQ(ui().questions[0].buttons[0].text, "Suspend and resume");
  EXPECT_EQ(screen.message.text, "Suspending logging");
  EXPECT_EQ(rig->sim->snapshot().status, kLoggingSuspended);
  EXPECT_TRUE(screen.inProgress);
  RunToEnd();

  EXPECT_TRUE(screen.finished);
  EXPECT_FALSE(screen.open);
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_EQ(Image(), Memory());
  EXPECT_EQ(s().image.length, static_cast<int>(s().link.memoryPointer));
  EXPECT_EQ(Count("!S"), 1u);
  EXPECT_GE(Count("!R"), 1u);
  EXPECT_EQ(rig->sim->snapshot().status, kLogging) << "logging again";
  EXPECT_TRUE(ui().sawStatus("Logger resumed sampling"));
  EXPECT_GT(s().data.sampleCount, 2900);
  EXPECT_TRUE(s().app.retrievedDataPresent);
  EXPECT_TRUE(s().app.retrievedDataSaved);
  EXPECT_EQ(saves.size(), 1u);
  EXPECT_STREQ(s().retrieval.memoryPointerAtLastRetrieval, s().link.memoryPointerReply);
  EXPECT_EQ(s().retrieved.loggerStatus, kLogging);
  EXPECT_NE(LogText().find("001234.hex"), std::string::npos) << LogText();
}

TEST_F(RetrievalFlow, AFailedConfigurationReadAfterTheBlocksKeepsTheChannelLayout) {
  // No express rate: nothing changes speed between the last block and the
  // configuration read.
  Start("extended", {"records = 400", "status = 4", "capability.13 = 0xC0004B00"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, false);
  ASSERT_TRUE(screen.inProgress);
  // The logger goes silent once the last block is in: the configuration
  // read that follows fails.
  while (s().retrieval.startAddress + static_cast<uint32_t>(s().retrieval.blockSize) <
         s().retrieval.memoryEnd)
    ASSERT_TRUE(continueRetrieval(s(), screen));
  sim::Faults silent;
  silent.silentAfter = 1;  // the last block's read, then nothing
  rig->sim->setFaults(silent);
  RunToEnd();

  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_TRUE(ui().sawStatus("GetConfigTable error"));
  EXPECT_EQ(s().description.channelCount, 3);
  EXPECT_EQ(s().data.measuredChannels, 3);
  EXPECT_GT(s().data.sampleCount, 350);
  EXPECT_LE(s().data.sampleCount, 401);  // one channel would give three times as many
}

TEST_F(RetrievalFlow, StopFromTheCommandLineWithoutAQuestion) {
  Start("extended", {"records = 500"});
  screen.decision = LoggingDecision::Stop;
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, false);
  EXPECT_TRUE(ui().questions.empty());
  EXPECT_EQ(screen.message.text, "Stopping logger");
  RunToEnd();
  EXPECT_EQ(Count("!9"), 1u);
  EXPECT_EQ(Count("!R"), 0u);
  EXPECT_EQ(Count("!B00"), 1u) << "real-time output off as well";
  EXPECT_EQ(rig->sim->snapshot().status, kStoppedByUser);
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_EQ(Image(), Memory());
}

TEST_F(RetrievalFlow, ADecisionTheLoggerDoesNotAllowIsAskedInstead) {
  Start("extended", {"records = 100"});
  screen.decision = LoggingDecision::KeepLogging;  // class 3 must stop or suspend
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  ui().questionAnswers = {kQuestionClosed};
  retrieve(s(), screen, false);
  ASSERT_EQ(ui().questions.size(), 1u);
  EXPECT_FALSE(screen.open) << "Cancel closes the screen";
  EXPECT_FALSE(screen.inProgress);
  EXPECT_EQ(Count("!S") + Count("!9"), 0u) << "the logger is left alone";
  EXPECT_EQ(rig->sim->snapshot().status, kLogging);
}

TEST_F(RetrievalFlow, KeepLoggingOnAClassFourLogger) {
  Start("extended", {"records = 300", "capability.5 = 0x44"});
  screen.decision = LoggingDecision::KeepLogging;
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.retrievalClass, 4);
  retrieve(s(), screen, false);
  RunToEnd();
  EXPECT_EQ(Count("!S") + Count("!9") + Count("!R"), 0u);
  EXPECT_EQ(rig->sim->snapshot().status, kLogging);
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_EQ(Image(), Memory());
}

TEST_F(RetrievalFlow, CancelPartWayKeepsTheDataMarksThemPartialAndResumes) {
  Start("extended", {"records = 3000"});
  screen.decision = LoggingDecision::Suspend;
  std::strcpy(s().retrieval.memoryPointerAtLastRetrieval, "00000000CDP");
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, false);
  ASSERT_TRUE(continueRetrieval(s(), screen));
  ASSERT_TRUE(continueRetrieval(s(), screen));
  cancelRetrieval(s(), screen);

  EXPECT_FALSE(screen.open);
  EXPECT_FALSE(s().retrieval.complete);
  EXPECT_EQ(s().image.length, 2 * 960);
  EXPECT_EQ(Image(), Memory());
  EXPECT_TRUE(ui().sawMessage(Format("Retrieval incomplete: 1920 of %d bytes read.",
                                     static_cast<int>(s().link.memoryPointer))))
      << ui().messageTexts();
  EXPECT_EQ(rig->sim->snapshot().status, kLogging);
  EXPECT_STREQ(s().retrieval.memoryPointerAtLastRetrieval, "00000000CDP")
      << "the setup must still warn about data not downloaded";
  EXPECT_TRUE(s().app.retrievedDataPresent) << "the partial data are kept";
}

TEST_F(RetrievalFlow, AFailedRetrievalStillResumesTheLogger) {
  Start("extended", {"records = 3000"});
  screen.decision = LoggingDecision::Suspend;
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, false);
  ASSERT_TRUE(screen.inProgress);
  sim::Faults f;
  for (int i = 2; i <= 11; ++i) f.badCheckReads.insert(i);
  rig->sim->setFaults(f);
  RunToEnd();
  EXPECT_TRUE(ui().sawMessage("Download error.\n11 blocks requested, 9 blocks retransmitted."))
      << ui().messageTexts();
  EXPECT_EQ(rig->sim->snapshot().status, kLogging);
  EXPECT_EQ(s().image.length, 960);
  EXPECT_EQ(Image(), Memory());
}

TEST_F(RetrievalFlow, ASuspendedLoggerIsOfferedResumption) {
  Start("extended", {"records = 200", "status = 5"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.state.statusName, "Logging Suspended");
  retrieve(s(), screen, false);
  RunToEnd();
  bool asked = false;
  for (const Message& m : ui().messages)
    if (m.text ==
        "The logger is suspended.\nDo you wish to resume logging after the data have "
        "been retrieved?") {
      asked = true;
      EXPECT_EQ(m.defaultAnswer, Answer::Yes);
    }
  EXPECT_TRUE(asked) << ui().messageTexts();
  EXPECT_GE(Count("!R"), 1u);
  EXPECT_TRUE(IsRunningStatus(rig->sim->snapshot().status));
}

TEST_F(RetrievalFlow, AnOlderQzLoggerIsAskedByItsStartMode) {
  // Logging after a timed start: it may be suspended.
  Start("qz", {"records = 300", "status = 2", "baud = 19200"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.startMode, "Start at 'Start of logging'");
  EXPECT_EQ(screen.retrievalClass, 3);
  ui().questionAnswers = {kQuestionClosed};
  retrieve(s(), screen, false);
  ASSERT_EQ(ui().questions.size(), 1u);
  EXPECT_EQ(ui().questions[0].buttons.size(), 2u);
}

TEST_F(RetrievalFlow, AnOlderQzLoggerStartedOnAThresholdMustBeStopped) {
  Start("qz", {"records = 300", "status = 2", "baud = 19200", "threshold = 0600000000000000"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  // Code 6 on a temperature channel: the thermistor counts fall as it warms.
  EXPECT_EQ(screen.startMode, "Start when BELOW threshold");
  EXPECT_EQ(screen.retrievalClass, 2);
  ui().questionAnswers = {kChoice7};
  retrieve(s(), screen, false);
  ASSERT_EQ(ui().questions.size(), 1u);
  EXPECT_EQ(ui().questions[0].text, "This logger must be stopped to download data.");
  EXPECT_EQ(screen.message.text, "Stopping logger");
  RunToEnd();
  EXPECT_EQ(Count("!9"), 1u);
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_EQ(Image(), Memory());
}

TEST_F(RetrievalFlow, AnEarlyRecorderStillLoggingIsNeverRead) {
  Start("hv140", {"status = 2"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, false);
  EXPECT_TRUE(ui().sawMessage(
      "Data cannot be retrieved from an KTS HV-3070 version 1.0 logger\nwhen it is still "
      "collecting data."));
  EXPECT_FALSE(screen.open);
  for (const std::string& c : rig->sim->commands()) EXPECT_NE(c.front(), 'I') << c;
}

TEST_F(RetrievalFlow, AnIdleOlderLoggerIsReadAndDecoded) {
  Start("hv2", {"records = 1500"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.state.statusName, "Logging Complete");
  EXPECT_EQ(screen.memoryUsage, "0.2%, 2K readings");  // 1,508 words with the stamps
  retrieve(s(), screen, false);
  RunToEnd();
  EXPECT_TRUE(ui().questions.empty());
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_EQ(Image(), rig->sim->image());
  EXPECT_EQ(s().data.sampleCount, 1500);
  EXPECT_EQ(s().retrieval.retrievedWords, s().image.length / 3);
}

TEST_F(RetrievalFlow, EmptyMemoryTexts) {
  Start("yp930", {});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.message.text, "No data in memory.");
  EXPECT_EQ(screen.message.indicator, MessageIndicator::Info);
  EXPECT_EQ(screen.memoryUsage, "0%, 0 readings");
  retrieve(s(), screen, false);
  EXPECT_FALSE(screen.open);
  EXPECT_TRUE(ui().sawMessage("There are no data to display.")) << ui().messageTexts();
  EXPECT_FALSE(s().app.retrievedDataPresent);
  EXPECT_TRUE(saves.empty());
}

TEST_F(RetrievalFlow, AnEmptyLoggerStillLoggingOffersTheStop) {
  Start("extended", {"records = 0"});
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  EXPECT_EQ(screen.mainButton, "STOP logger");
  EXPECT_EQ(screen.message.text, "No data in memory - You may stop the logger.");
  retrieve(s(), screen, false);
  EXPECT_EQ(Count("!9"), 1u);
  EXPECT_FALSE(screen.open);
  EXPECT_EQ(s().app.postedCommand, 110) << "the screen opens again on the stopped logger";
}

TEST_F(RetrievalFlow, RetrieveAllReadsTheWholeMemoryClass) {
  Start("qz", {"records = 100"});  // 4 Meg memory
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  retrieve(s(), screen, true);
  ASSERT_TRUE(screen.inProgress);
  EXPECT_EQ(s().link.memoryPointer, 0x3FF7FEu);
  EXPECT_EQ(s().retrieval.memoryEnd, 0x3FF7FEu);
  EXPECT_EQ(screen.pointerReply, "FEF73F00CDP");
  ASSERT_TRUE(continueRetrieval(s(), screen));
  cancelRetrieval(s(), screen);
  EXPECT_EQ(Image(), Memory());
}

TEST_F(RetrievalFlow, UnsavedDataAreProtected) {
  Start("hv2", {"records = 300"});
  s().app.retrievedDataPresent = true;
  s().app.retrievedDataSaved = false;
  screen.hooks.saveData = [](Session&) { return std::string(); };  // the user cancels the save
  ASSERT_TRUE(openRetrievalScreen(s(), screen));
  ui().answers = {Answer::Yes};
  retrieve(s(), screen, false);
  ASSERT_EQ(ui().messages.size(), 1u);
  EXPECT_EQ(ui().messages[0].text,
            "The previously retrieved data has not been saved.\nDo you wish to return to save the "
            "data now?");
  EXPECT_EQ(ui().messages[0].defaultAnswer, Answer::Yes);
  EXPECT_FALSE(screen.inProgress) << "nothing replaces unsaved data";
  EXPECT_TRUE(screen.open);

  ui().answers = {Answer::No};
  retrieve(s(), screen, false);
  RunToEnd();
  EXPECT_TRUE(s().retrieval.complete);
  EXPECT_TRUE(s().app.retrievedDataPresent);
  EXPECT_FALSE(s().app.retrievedDataSaved) << "the save was not done";
}

}  // namespace
}  // namespace kts
