#include <gtest/gtest.h>

#include "base_directory_test.h"
#include "data/realtime_limits.h"
#include "data/recent_files.h"

namespace kts {
namespace {

TEST(RecentList, AddMovesToTheTopWithoutDuplicatesAndDropsTheOldest) {
  RecentList list{};
  for (int i = 1; i <= 10; ++i) ASSERT_TRUE(AddRecentEntry(list, "/d/" + std::to_string(i)));
  EXPECT_EQ(list[0], "/d/10");
  EXPECT_EQ(list[9], "/d/1");

  ASSERT_TRUE(AddRecentEntry(list, "/d/4"));
  EXPECT_EQ(list[0], "/d/4");
  EXPECT_EQ(list[1], "/d/10");
  EXPECT_EQ(list[9], "/d/1");
  EXPECT_EQ(std::count(list.begin(), list.end(), "/d/4"), 1);

  ASSERT_TRUE(AddRecentEntry(list, "/d/11"));
  EXPECT_EQ(list[0], "/d/11");
  EXPECT_EQ(std::count(list.begin(), list.end(), "/d/1"), 0);

  // A path inside another entry's name is another file.
  ASSERT_TRUE(AddRecentEntry(list, "/d/1"));
  EXPECT_EQ(std::count(list.begin(), list.end(), "/d/11"), 1);

  EXPECT_FALSE(AddRecentEntry(list, ""));
  EXPECT_FALSE(AddRecentEntry(list, "/" + std::string(259, 'p')));
  EXPECT_TRUE(AddRecentEntry(list, std::string(259, 'p')));
}

TEST(RecentList, RemoveTakesOutTheEntryAndMovesTheRestUp) {
  RecentList list{};
  AddRecentEntry(list, "/a");
  AddRecentEntry(list, "/b");
  AddRecentEntry(list, "/c");
  EXPECT_TRUE(RemoveRecentEntry(list, "/b"));
  EXPECT_EQ(list[0], "/c");
  EXPECT_EQ(list[1], "/a");
  EXPECT_EQ(list[2], "");
  EXPECT_FALSE(RemoveRecentEntry(list, "/b"));
  EXPECT_FALSE(RemoveRecentEntry(list, ""));
}

using ListFilesTest = test::BaseDirectoryTest;

TEST_F(ListFilesTest, TheRecentFileListIsKeptInItsFile) {
  ASSERT_EQ(AddRecent(s, "/data/one.hex"), 1);
  ASSERT_EQ(AddRecent(s, "/data/two.dat"), 1);
  EXPECT_EQ(dir.read("ktspath.fil"), "/data/two.dat\n/data/one.hex\n");
  ASSERT_EQ(RemoveRecent(s, "/data/two.dat"), 1);
  EXPECT_EQ(dir.read("ktspath.fil"), "/data/one.hex\n");

  test::TestSession again;
  again.s.settings.baseDirectory = dir.path();
  EXPECT_EQ(ReadRecentFiles(again.s), 1);
  EXPECT_EQ(again.s.settings.recent[0], "/data/one.hex");
}

TEST_F(ListFilesTest, AnOlderListFileIsMovedAndOnlyTenUsablePathsAreRead) {
  std::string text = "/old/first.dat\r\n\n/" + std::string(300, 'x') + "\n";
  for (int i = 2; i <= 12; ++i) text += "/old/" + std::to_string(i) + ".hex\n";
  dir.write("kts.fil", text);
  EXPECT_EQ(ReadRecentFiles(s), 10);
  EXPECT_FALSE(dir.exists("kts.fil"));
  EXPECT_TRUE(dir.exists("ktspath.fil"));
  EXPECT_EQ(s.settings.recent[0], "/old/first.dat");
  EXPECT_EQ(s.settings.recent[1], "/old/2.hex");
  EXPECT_EQ(s.settings.recent[9], "/old/10.hex");
}

TEST_F(ListFilesTest, LimitsReadOverTheirDefaultsAndWriteInKeyOrder) {
  ReadLimits(s);
  EXPECT_EQ(s.settings.limits, kDefaultLimits);
  ASSERT_EQ(WriteLimits(s), 1);
  const std::string text = dir.read("kts.lim");
  EXPECT_EQ(text.substr(0, 40), "Temperature=35 -5\nPressure=30 0\nConducti");
  EXPECT_NE(text.find("\nSOS=1600 1500\nSignificant Wave Height=5 0\nTidal Slope=1 0\n"
                      "Transmissometer=10 0\n"),
            std::string::npos);

  dir.write("kts.lim",
            "Pressure=100 -10\nSalinity=x\nDepth=5 20\nPAR=99999999999 0\n"
            "Fluorometry-UV=300 1");
  ReadLimits(s);
  EXPECT_EQ(s.settings.limits[1], (RealTimeLimit{100, -10}));
  EXPECT_EQ(s.settings.limits[13], kDefaultLimits[13]);
  EXPECT_EQ(s.settings.limits[12], (RealTimeLimit{20, 20}));  // minimum above maximum
  EXPECT_EQ(s.settings.limits[7], kDefaultLimits[7]);
  EXPECT_EQ(s.settings.limits[11], (RealTimeLimit{300, 1}));
  EXPECT_STREQ(LimitKey(4), "DerivedO2");
  EXPECT_STREQ(LimitKey(18), "");
}

}  // namespace
}  // namespace kts
