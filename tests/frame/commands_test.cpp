#include <gtest/gtest.h>

#include <set>

#include "frame/command_ids.h"
#include "frame/menu_layout.h"
#include "frame/messages.h"
#include "frame_fixture.h"
#include "link/com_settings_dialog.h"
#include "sim_rig.h"

namespace kts::test {
namespace {

// A frame whose session is connected to a simulated logger.
struct SimFrame {
  SimRig rig;
  TempDir base;
  FakeWindow w;
  std::unique_ptr<Frame> frame;

  SimFrame(const std::string& profile, std::vector<std::string> settings)
      : rig(profile, std::move(settings)) {
    rig.s().settings.baseDirectory = base.path();
    frame = std::make_unique<Frame>(rig.s(), w);
  }
  ScriptedUi& ui() { return rig.t.ui; }
  Session& s() { return rig.s(); }
};

void ExpectRefusal(SimFrame& f, int entry, const char* caption) {
  ASSERT_EQ(f.ui().messages.size(), 1u) << f.ui().messageTexts();
  EXPECT_EQ(f.ui().messages[0].text, MessageText(0, entry));
  EXPECT_EQ(f.ui().messages[0].caption, caption);
  EXPECT_EQ(f.ui().messages[0].icon, Icon::Warning);
  EXPECT_TRUE(f.w.dialogs.empty());
}

TEST(LoggerCommands, FetchLiveReadingsRefusesALoggingLoggerWithoutTheFeature) {
  SimFrame f("extended", {"capability.5 = 0x03", "status = 2"});
  ASSERT_TRUE(f.rig.ok()) << f.rig.error;
  f.frame->runCommand(kCmdFetchLiveReadings);
  ExpectRefusal(f, kMsgFetchWhileLogging, "Fetch");
  EXPECT_EQ(f.s().app.activeDialogCommand, 0);
}

TEST(LoggerCommands, FetchLiveReadingsProceedsWhenIdleOrAllowed) {
  for (auto settings : {std::vector<std::string>{"capability.5 = 0x03", "status = 8"},
                        std::vector<std::string>{"status = 2"}}) {
    SimFrame f("extended", settings);
    ASSERT_TRUE(f.rig.ok()) << f.rig.error;
    f.frame->runCommand(kCmdFetchLiveReadings);
    EXPECT_TRUE(f.ui().messages.empty()) << f.ui().messageTexts();
    EXPECT_TRUE(f.w.opened(DialogId::Fetch));
    EXPECT_EQ(f.s().app.activeDialogCommand, kCmdFetchLiveReadings);
  }
}

TEST(LoggerCommands, CalibrationRefusesALoggingLoggerAndFreesTheMenu) {
  for (int id : {kCmdCalibrationCoefficients, kCmdCalibrationHistory}) {
    SimFrame f("extended", {"status = 2"});
    ASSERT_TRUE(f.rig.ok()) << f.rig.error;
    f.frame->runCommand(id);
    ExpectRefusal(f, kMsgCalibrationWhileLogging,
                  id == kCmdCalibrationCoefficients ? "Calibration" : "Calibration History");
    EXPECT_TRUE(f.w.popupEnabled.at(MenuPopup::Configuration));
    EXPECT_TRUE(f.w.popupEnabled.at(MenuPopup::File));
    EXPECT_TRUE(f.w.commandEnabled.at(kCmdSetup));
  }
}

TEST(LoggerCommands, SettingsOfTheLoggerNeedAnIdleLogger) {
  struct Case {
    int id;
    int entry;
    const char* caption;
  };
  for (Case c : {Case{kCmdDefaultBaud, kMsgDefaultBaudWhileLogging, "Set Default Baudrate"},
                 Case{kCmdLatency, kMsgLatencyWhileLogging, "Set Latency"}}) {
    SimFrame f("extended", {"status = 1"});
    ASSERT_TRUE(f.rig.ok()) << f.rig.error;
    f.frame->runCommand(c.id);
    ExpectRefusal(f, c.entry, c.caption);
  }
  SimFrame f("extended", {"status = 4"});
  ASSERT_TRUE(f.rig.ok()) << f.rig.error;
  f.frame->runCommand(kCmdDefaultBaud);
  EXPECT_TRUE(f.w.opened(DialogId::DefaultBaudrate));
}

TEST(LoggerCommands, EngineeringUnitsNeedAnIdleLogger) {
  SimFrame f("extended", {"status = 2"});
  ASSERT_TRUE(f.rig.ok()) << f.rig.error;
  f.frame->runCommand(kCmdEngineeringUnits);
  ASSERT_EQ(f.ui().messages.size(), 1u);
  EXPECT_EQ(f.ui().messages[0].text,
            "This logger is active.\n\nThe communiation format cannot be switched between\n"
            "Engineering units and Binary format at this time");
  EXPECT_EQ(f.ui().messages[0].caption, "Communication format");
  EXPECT_TRUE(f.w.dialogs.empty());
}

TEST(LoggerCommands, ConnectShowsWhoAnswered) {
  SimFrame f("extended", {});
  ASSERT_TRUE(f.rig.ok()) << f.rig.error;
  f.frame->runCommand(kCmdConnect);
  EXPECT_TRUE(f.ui().sawStatus("Attempting to connect to KTS Data Logger on COM1."));
  EXPECT_TRUE(f.ui().sawStatus(
      "KTS Data Logger: QZ-740  6.51 001234 connected on COM1 at 19200 baud."))
      << f.ui().statusTexts();
}

TEST(LoggerCommands, ComSettingsOkReconnectsThroughThePostedCommand) {
  SimFrame f("extended", {});
  ASSERT_TRUE(f.rig.ok()) << f.rig.error;
  f.w.dialogActions[DialogId::ComSettings] = [&] {
    return ComSettingsOk(f.s(), OpenComSettings(f.s())) ? 1 : 0;
  };
  f.frame->runCommand(kCmdComSettings);
  EXPECT_TRUE(f.ui().sawStatus("Attempting to connect to KTS Data Logger on COM1."))
      << f.ui().statusTexts();
  EXPECT_TRUE(f.s().link.connected);
  EXPECT_EQ(f.s().app.postedCommand, 0);
}

TEST(LoggerCommands, NoLoggerStopsQuietly) {
  FrameRig r;
  r.s().ports.loggerDevice = r.base.file("no-such-port");
  r.frame->runCommand(kCmdDefaultBaud);
  r.frame->runCommand(kCmdRetrieveData);
  EXPECT_TRUE(r.ui().messages.empty()) << r.ui().messageTexts();
  EXPECT_TRUE(r.w.dialogs.empty());
  // Setup without a logger offers the simulation.
  r.frame->runCommand(kCmdSetup);
  EXPECT_TRUE(r.w.opened(DialogId::SetupSimulation));
}

constexpr const char* kOpenHex = "Select an existing 'hex' file to be opened";

TEST(AskingToSave, ReadingAFileAsksFirstAndYesSavesInstead) {
  FrameRig r;
  r.unsavedData();
  r.ui().answers.push_back(Answer::Yes);
  r.frame->runCommand(kCmdReadHex);
  ASSERT_GE(r.ui().messages.size(), 1u);
  const Message& m = r.ui().messages[0];
  EXPECT_EQ(m.text,
            "Retrieved data has not been saved.\nDo you wish to return to save the data now?");
  EXPECT_EQ(m.caption, "File Read");
  EXPECT_EQ(m.buttons, Buttons::YesNo);
  EXPECT_EQ(m.defaultAnswer, Answer::Yes);
  EXPECT_EQ(r.w.dataShown, 1) << "the data are shown before they are saved";
  for (const FileRequest& f : r.ui().fileRequests) EXPECT_NE(f.title, kOpenHex);
  EXPECT_TRUE(r.s().app.retrievedDataPresent);
  EXPECT_FALSE(r.s().app.retrievedDataSaved) << "only a successful save clears the question";
}

TEST(AskingToSave, NoDropsTheDataAndGoesOn) {
  struct Case {
    int id;
    const char* title;
  };
  for (Case c : {Case{kCmdReadHex, kOpenHex},
                 Case{kCmdReadDat, "Select an existing 'dat' file to be opened"},
                 Case{kCmdReadMatlab, "Select an existing 'mat' file to be opened"}}) {
    FrameRig r;
    r.unsavedData();
    r.ui().answers.push_back(Answer::No);
    r.frame->runCommand(c.id);
    EXPECT_FALSE(r.s().app.retrievedDataPresent);
    EXPECT_FALSE(r.s().app.retrievedDataSaved);
    ASSERT_EQ(r.ui().fileRequests.size(), 1u);
    EXPECT_EQ(r.ui().fileRequests[0].title, c.title);
  }
}

TEST(AskingToSave, RecentFilesAskAndGoByTheirKind) {
  FrameRig r;
  r.s().settings.recent[0] = "/data/gone.dat";
  r.s().settings.recent[1] = "/data/gone.hex";
  r.s().settings.recent[2] = "/data/kept.hex";
  r.unsavedData();
  r.ui().answers = {Answer::No};
  r.frame->runCommand(kCmdRecentFirst + 1);
  ASSERT_EQ(r.ui().messages.size(), 2u) << r.ui().messageTexts();
  EXPECT_EQ(r.ui().messages[1].caption, "Read Hex File");
  ASSERT_EQ(r.w.recent.size(), 2u) << "the missing file left the menu";
  EXPECT_EQ(r.w.recent[1], " 2 - /data/kept.hex");
  r.frame->runCommand(kCmdRecentFirst);
  EXPECT_EQ(r.ui().messages.back().caption, "Read Data File");
  const size_t before = r.ui().messages.size();
  r.frame->runCommand(kCmdRecentFirst + 5);  // an empty entry
  EXPECT_EQ(r.ui().messages.size(), before);
}

TEST(MenuBusy, ModesGreyAndFreeTheirGroups) {
  FrameRig r;
  r.frame->setMenuBusy(0);
  for (int id : {kCmdSetup, kCmdRetrieveData, kCmdComSettings, kCmdMicroSalinometer})
    EXPECT_FALSE(r.w.commandEnabled.at(id)) << id;
  for (MenuPopup p : {MenuPopup::File, MenuPopup::LoggerFunctions, MenuPopup::Calibration})
    EXPECT_FALSE(r.w.popupEnabled.at(p));
  EXPECT_EQ(r.w.popupEnabled.count(MenuPopup::Configuration), 0u);
  r.frame->setMenuBusy(4);
  EXPECT_FALSE(r.w.popupEnabled.at(MenuPopup::Configuration));
  r.frame->setMenuBusy(1);
  EXPECT_TRUE(r.w.commandEnabled.at(kCmdSetup));
  EXPECT_FALSE(r.w.popupEnabled.at(MenuPopup::Configuration)) << "mode 1 leaves it";
  r.frame->setMenuBusy(5);
  EXPECT_TRUE(r.w.popupEnabled.at(MenuPopup::Configuration));
}

TEST(MenuOptions, ShowRangeChangesTogglesAndIsSaved) {
  FrameRig r;
  r.frame->runCommand(kCmdShowRangeChanges, 1);
  EXPECT_TRUE(r.w.checked.at(kCmdShowRangeChanges));
  EXPECT_FALSE(r.base.exists("kts.ini")) << "re-applying writes nothing";
  r.frame->runCommand(kCmdShowRangeChanges);
  EXPECT_FALSE(r.w.checked.at(kCmdShowRangeChanges));
  EXPECT_NE(r.base.read("kts.ini").find("Gain not required for auto-ranging"), std::string::npos);
  r.frame->runCommand(kCmdAllowMultipleCopies);
  EXPECT_TRUE(r.w.checked.at(kCmdAllowMultipleCopies));
  EXPECT_EQ(r.base.read("kts_copies.ini"), "Allow multiple copies\n");
}

TEST(FixedMessages, RestartAndMatlabRefusals) {
  FrameRig r;
  r.frame->runCommand(kCmdRealTimeRestart);
  ASSERT_EQ(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].caption, "Restart Real-time Display");
  EXPECT_EQ(r.ui().messages[0].icon, Icon::Information);

  r.frame->runCommand(kCmdSaveMatlab);  // no data: nothing to save
  EXPECT_EQ(r.ui().messages.size(), 1u);
  EXPECT_TRUE(r.ui().fileRequests.empty());

  r.s().data.sampleCount = 10;
  r.s().data.context.description.rsAdvanced = kRsAsciiOutput;
  r.s().description.rsAdvanced = kRsAsciiOutput;
  r.frame->runCommand(kCmdSaveMatlab);
  ASSERT_EQ(r.ui().messages.size(), 2u);
  EXPECT_EQ(r.ui().messages[1].text,
            "These ASCII data from a generic front end can not be saved in the MATLAB format.");
  EXPECT_EQ(r.ui().messages[1].caption, "Save MATLAB file");
  EXPECT_TRUE(r.ui().fileRequests.empty());
}

TEST(FixedMessages, MatlabSaveAsksBeforeWritingOver) {
  FrameRig r;
  r.s().data.sampleCount = 10;
  r.s().data.context.identity.serial = 1234;
  r.base.write("old.mat", "x");
  r.ui().files.push_back(r.base.file("old.mat"));
  r.ui().answers.push_back(Answer::No);
  r.frame->runCommand(kCmdSaveMatlab);
  EXPECT_EQ(r.ui().fileRequests.at(0).defaultName, "001234*.mat");
  ASSERT_EQ(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].text,
            r.base.file("old.mat") + " already exists.\nContinue to overwrite this file?");
  EXPECT_EQ(r.ui().messages[0].caption, "Write File");
  EXPECT_EQ(r.ui().messages[0].defaultAnswer, Answer::No);
  EXPECT_EQ(r.base.read("old.mat"), "x");
}

TEST(PlotButtons, GoToThePlotUnlessTheRealTimeDisplayEnds) {
  FrameRig r;
  for (int id : {+kCmdZoomIn, +kCmdZoomOut, +kCmdAllChannels, kCmdFirstChannelButton + 23, +kCmdRescale})
    r.frame->runCommand(id);
  EXPECT_EQ(r.w.plotCommands.size(), 5u);
  r.frame->runCommand(105);  // an id without an action
  EXPECT_EQ(r.w.plotCommands.size(), 5u);
  EXPECT_TRUE(r.ui().messages.empty());

  r.s().app.realTimeDisplayActive = true;
  r.ui().questionAnswers.push_back(1);  // allow the transmission to continue
  r.frame->runCommand(kCmdZoomIn);
  EXPECT_EQ(r.w.plotCommands.size(), 5u);
  EXPECT_FALSE(r.s().app.realTimeDisplayActive);
  EXPECT_TRUE(r.ui().sawStatus("End of Real-time Display"));
  EXPECT_EQ(r.w.timerInterval, 1000);
  ASSERT_EQ(r.ui().questions.size(), 1u);
  EXPECT_EQ(r.ui().questions[0].caption, "End Real-time Display");
  EXPECT_EQ(r.ui().questions[0].buttons.at(1).text, "Stop transmission");
}

TEST(MessageTable, EntriesAndLanguages) {
  const std::string fetch = MessageText(0, kMsgFetchWhileLogging);
  EXPECT_EQ(fetch,
            "Logging in progress or enabled.\nCannot fetch live readings at this time.\n\nUse "
            "'Retrieve data' menu item to stop logger - \n 'Retrieve Data' or 'STOP Logger' "
            "button.");
  EXPECT_NE(std::string(MessageText(0, kMsgLatencyWhileLogging)).find("Cannot set the latency"),
            std::string::npos);
  EXPECT_STREQ(MessageText(1, kMsgReady), "Ready") << "no blank text in the second language";
  EXPECT_STREQ(MessageText(0, 99), "");
  EXPECT_STREQ(MessageText(2, 1), "");
}

TEST(MenuLayout, EveryCommandHasOneItem) {
  std::set<int> seen;
  for (const MenuItem& item : MenuItems()) {
    if (item.id == 0) continue;
    EXPECT_TRUE(seen.insert(item.id).second) << "twice: " << item.id;
    EXPECT_FALSE(IsInertCommand(item.id));
  }
  for (int id : {100, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 122, 124, 127, 129, 131,
                 133, 134, 135, 259, 1165, 40020, 40028, 40035, 40043, 40057, 40060})
    EXPECT_TRUE(seen.count(id)) << id;
  EXPECT_STREQ(MenuText(kCmdModemSleep), "Modem slee&p");
}

}  // namespace
}  // namespace kts::test
