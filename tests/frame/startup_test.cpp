#include <gtest/gtest.h>

#include <filesystem>

#include "frame/command_ids.h"
#include "frame/frame.h"
#include "frame/main_layout.h"
#include "frame_fixture.h"

namespace kts::test {
namespace {

TEST(StartUp, CreatesSettingsAndDataFoldersAndShowsTheWindow) {
  FrameRig r;
  ASSERT_TRUE(r.frame->startUp(r.options()));
  EXPECT_TRUE(r.base.exists("kts.ini"));
  EXPECT_TRUE(r.base.exists("ktsdir.ini"));
  for (const char* folder : {"dat", "hex", "mat"})
    EXPECT_TRUE(std::filesystem::is_directory(r.base.file(folder))) << folder;
  EXPECT_EQ(r.w.titleText, "KTS Data Loggers");
  EXPECT_EQ(r.w.x, 140);
  EXPECT_EQ(r.w.y, 10);
  EXPECT_EQ(r.w.width, 1000);
  EXPECT_EQ(r.w.height, 485);
  EXPECT_EQ(r.s().plot.plotWidth, 803);
  EXPECT_TRUE(r.ui().sawStatus("Ready"));
  EXPECT_FALSE(r.ui().statuses.back().warningIcon);
  EXPECT_EQ(r.ui().connectionStates.back(), "Not connected");
  EXPECT_TRUE(r.w.timerRunning);
  EXPECT_EQ(r.w.timerInterval, 1000);
  EXPECT_TRUE(r.w.checked.at(kCmdShowRangeChanges));
  EXPECT_FALSE(r.w.checked.at(kCmdAllowMultipleCopies));
  EXPECT_EQ(r.w.recentBuilds, 0) << "no list file: the menu stays as it is";
  EXPECT_TRUE(r.ui().messages.empty()) << r.ui().messageTexts();
  EXPECT_EQ(r.s().settings.copyIndex, 0);
}

TEST(StartUp, StoredMenuOptionsAreApplied) {
  FrameRig r;
  r.base.write("kts.ini", "Port=COM1\nGain not required for auto-ranging\n");
  r.base.write("kts_copies.ini", "Allow multiple copies\n");
  ASSERT_TRUE(r.frame->startUp(r.options()));
  EXPECT_FALSE(r.w.checked.at(kCmdShowRangeChanges));
  EXPECT_TRUE(r.w.checked.at(kCmdAllowMultipleCopies));
}

TEST(StartUp, RecentMenuTakesTheOlderListAndShowsTenEntries) {
  FrameRig r;
  std::string list;
  for (int i = 1; i <= 12; ++i) list += "/data/logger" + std::to_string(i) + ".hex\n";
  r.base.write("kts.fil", list);
  ASSERT_TRUE(r.frame->startUp(r.options()));
  EXPECT_TRUE(r.base.exists("ktspath.fil"));
  EXPECT_FALSE(r.base.exists("kts.fil"));
  ASSERT_EQ(r.w.recent.size(), 10u);
  EXPECT_EQ(r.w.recent[0], " 1 - /data/logger1.hex");
  EXPECT_EQ(r.w.recent[9], "10 - /data/logger10.hex");
}

TEST(StartUp, CommandLineFileIsReadByItsKind) {
  struct Case {
    const char* commandLine;
    const char* caption;
  };
  for (Case c : {Case{"\"/tmp/no such run.hex\"", "Read Hex File"},
                 Case{"/tmp/no-such-run.dat", "Read Data File"}}) {
    FrameRig r;
    r.base.write("ktspath.fil", "/tmp/no-such-run.dat\n/tmp/no such run.hex\n/data/kept.hex\n");
    ASSERT_TRUE(r.frame->startUp(r.options(c.commandLine)));
    ASSERT_EQ(r.ui().messages.size(), 1u) << r.ui().messageTexts();
    EXPECT_EQ(r.ui().messages[0].text, "File does not exist");
    EXPECT_EQ(r.ui().messages[0].caption, c.caption);
    ASSERT_EQ(r.w.recent.size(), 2u) << "the missing file left the list";
    EXPECT_EQ(r.w.recent[1], " 2 - /data/kept.hex");
  }
  FrameRig r;
  ASSERT_TRUE(r.frame->startUp(r.options("/tmp/notes.txt")));
  EXPECT_TRUE(r.ui().sawStatus("Unable to open file: /tmp/notes.txt"));
  EXPECT_TRUE(r.ui().statuses.back().warningIcon);
  EXPECT_TRUE(r.ui().messages.empty());
}

TEST(StartUp, TimerThatCannotStartShowsItsError) {
  FrameRig r;
  r.w.timerFails = true;
  ASSERT_TRUE(r.frame->startUp(r.options()));
  ASSERT_EQ(r.ui().messages.size(), 1u);
  EXPECT_EQ(r.ui().messages[0].text, "TIMER");
  EXPECT_EQ(r.ui().messages[0].caption, "Error");
  EXPECT_EQ(r.ui().messages[0].icon, Icon::Warning);
}

TEST(MainLayout, PlotWidthFollowsTheScreen) {
  EXPECT_EQ(ComputeMainLayout(1000).plotWidth, 803);
  EXPECT_EQ(ComputeMainLayout(1000).left, 0);
  EXPECT_EQ(ComputeMainLayout(1920).width, 1000);
  EXPECT_EQ(ComputeMainLayout(1920).left, 460);
  EXPECT_EQ(ComputeMainLayout(800).plotWidth, 603);
  EXPECT_EQ(ComputeMainLayout(640).plotWidth, 453);
  // A tiny screen still leaves one division of plot.
  EXPECT_EQ(ComputeMainLayout(100).plotWidth, 53);
}

TEST(TitlePrefix, FurtherCopiesAreNumberedAndTitlesCut) {
  EXPECT_EQ(TitlePrefix(0, "KTS Data Loggers"), "KTS Data Loggers");
  EXPECT_EQ(TitlePrefix(1, "KTS Data Loggers"), "Copy 2 : KTS Data Loggers");
  EXPECT_EQ(TitlePrefix(7, "Setup"), "Copy 8 : Setup");
  const std::string longTitle(100, 'x');
  EXPECT_EQ(TitlePrefix(2, longTitle), "Copy 3 : " + std::string(85, 'x'));
}

TEST(CommandLineFileName, QuotesAndSpacesAroundTheNameGo) {
  EXPECT_EQ(CommandLineFileName("\"C:/data/run 1.hex\""), "C:/data/run 1.hex");
  EXPECT_EQ(CommandLineFileName("  /data/a.dat "), "/data/a.dat");
  EXPECT_EQ(CommandLineFileName("\""), "");
  EXPECT_EQ(CommandLineFileName(""), "");
}

}  // namespace
}  // namespace kts::test
