#include "platform/status_line.h"

#include <gtest/gtest.h>

#include "scripted_ui.h"

namespace kts {
namespace {

TEST(StatusLine, LongTextsAreCutTo122CharactersAndAnEllipsis) {
  const std::string text(200, 'x');
  const StatusLine line = MakeStatusLine(text);
  EXPECT_EQ(line.text, std::string(122, 'x') + " ...");
  EXPECT_EQ(MakeStatusLine(std::string(127, 'y')).text.size(), 127u);
}

TEST(StatusLine, WarningIconForFailureWords) {
  EXPECT_TRUE(MakeStatusLine("Logger not yet calibrated - using defaults").warningIcon);
  EXPECT_TRUE(MakeStatusLine("Unable to open file: x.dat").warningIcon);
  EXPECT_TRUE(MakeStatusLine("GetConfigTable error").warningIcon);
  EXPECT_TRUE(MakeStatusLine("Configuration Table read failed.").warningIcon);
  EXPECT_FALSE(MakeStatusLine("Ready").warningIcon);
  // The rule looks at the whole text, also the part that is cut off.
  EXPECT_TRUE(MakeStatusLine(std::string(130, 'a') + " error").warningIcon);
}

TEST(StatusLine, ShowStatusReachesTheUi) {
  test::ScriptedUi ui;
  ShowStatus(ui, "Unable to Communicate with Logger on COM1");
  ShowStatus(ui, "Ready");
  ASSERT_EQ(ui.statuses.size(), 2u);
  EXPECT_TRUE(ui.statuses[0].warningIcon);
  EXPECT_FALSE(ui.statuses[1].warningIcon);
}

}  // namespace
}  // namespace kts
