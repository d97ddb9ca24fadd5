#include "data/directories.h"

#include <gtest/gtest.h>

#include "base_directory_test.h"
#include "data/overwrite_check.h"

namespace kts {
namespace {

using DirectoriesTest = test::BaseDirectoryTest;

TEST_F(DirectoriesTest, StartUpCreatesTheFoldersAndDefaultsUnsetDirectories) {
  dir.write("ktsdir.ini", "HEX directory=/data/hex files\r\nDAT directory=/data/dat files");
  ASSERT_EQ(SetUpDataDirectories(s), 1);
  EXPECT_EQ(s.settings.hexDirectory, "/data/hex files");
  EXPECT_EQ(s.settings.datDirectory, "/data/dat files");  // no line end: still whole
  EXPECT_EQ(s.settings.matDirectory, dir.file("mat"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("dat")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("hex")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("mat")));
  EXPECT_EQ(dir.read("ktsdir.ini"),
            "DAT directory=/data/dat files\nHEX directory=/data/hex "
            "files\nMAT directory=" +
                dir.file("mat") + "\n");
  EXPECT_TRUE(t.ui.messages.empty());
}

TEST_F(DirectoriesTest, AFolderThatCannotBeCreatedStopsTheStartUp) {
  dir.write("hex", "a file where the folder should be");
  EXPECT_EQ(SetUpDataDirectories(s), 0);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].text, "Error: Unable to create the '" + dir.path() +
                                       "/hex' directory\nCheck that your KTS directory is not "
                                       "write protected.");
  EXPECT_EQ(t.ui.messages[0].caption, "Startup");
  EXPECT_EQ(t.ui.messages[0].icon, Icon::Error);

  std::filesystem::remove(dir.file("hex"));
  std::filesystem::remove(dir.file("mat"));  // made before "hex" failed
  dir.write("mat", "");
  EXPECT_EQ(SetUpDataDirectories(s), 0);
  EXPECT_EQ(t.ui.messages.back().text, "Error: Unable to create mat directory");
}

TEST_F(DirectoriesTest, DamagedDirectoryLinesAreSkipped) {
  dir.write("ktsdir.ini", "DAT directory=\nHEX directory=/" + std::string(400, 'h') +
                              "\n\x01\x02\nMAT directory=/m\n");
  ASSERT_EQ(ReadDirectories(s), 1);
  EXPECT_EQ(s.settings.datDirectory, "empty");
  EXPECT_EQ(s.settings.hexDirectory, "empty");
  EXPECT_EQ(s.settings.matDirectory, "/m");
}

TEST_F(DirectoriesTest, AFileReadSetsItsDirectory) {
  NoteReadDirectory(s, "/survey/2024/site.a.hex", DataFolder::Hex);
  EXPECT_EQ(s.settings.hexDirectory, "/survey/2024");
  NoteReadDirectory(s, "/survey/notes", DataFolder::Dat);
  EXPECT_EQ(s.settings.datDirectory, dir.file("dat"));
  NoteReadDirectory(s, "plain.dat", DataFolder::Dat);
  EXPECT_EQ(s.settings.datDirectory, ".");
  EXPECT_NE(dir.read("ktsdir.ini").find("HEX directory=/survey/2024\n"), std::string::npos);
}

TEST(RememberedPath, DropsTrailingDataFoldersOnly) {
  Settings s;
  s.baseDirectory = "/opt/kts";
  EXPECT_EQ(SaveRangeDirectory(s), "/opt/kts/dat");
  RememberPath(s, "/home/ann/survey/dat/part.dat");
  EXPECT_EQ(s.rememberedPath, "/home/ann/survey");
  EXPECT_EQ(SaveRangeDirectory(s), "/home/ann/survey/dat");
  RememberPath(s, "/home/ann/database/part.dat");
  EXPECT_EQ(s.rememberedPath, "/home/ann/database");
  RememberPath(s, "/x/hex/dat/part.dat");
  EXPECT_EQ(s.rememberedPath, "/x");
}

TEST_F(DirectoriesTest, OverwritingAnExistingFileIsAskedFirst) {
  EXPECT_TRUE(ConfirmOverwrite(t.ui, dir.file("new.dat")));
  EXPECT_TRUE(t.ui.messages.empty());

  dir.write("old.dat", "x");
  EXPECT_FALSE(ConfirmOverwrite(t.ui, dir.file("old.dat")));  // No is the default
  ASSERT_EQ(t.ui.messages.size(), 1u);
  const Message& m = t.ui.messages[0];
  EXPECT_EQ(m.text, dir.file("old.dat") + " already exists.\nContinue to overwrite this file?");
  EXPECT_EQ(m.caption, "Write File");
  EXPECT_EQ(m.icon, Icon::Warning);
  EXPECT_EQ(m.buttons, Buttons::YesNo);
  EXPECT_EQ(m.defaultAnswer, Answer::No);
  t.ui.answers.push_back(Answer::Yes);
  EXPECT_TRUE(ConfirmOverwrite(t.ui, dir.file("old.dat")));
}

}  // namespace
}  // namespace kts
