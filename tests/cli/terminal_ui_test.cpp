// The terminal as the command line's user: which answer a question gets,
// what a quiet run still shows, and the transfer line's figures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/terminal_ui.h"

namespace kts::cli {
namespace {

using ::testing::HasSubstr;

struct Terminal {
  std::FILE* file = std::tmpfile();
  TerminalUi ui{file};
  ~Terminal() { std::fclose(file); }
  std::string text() {
    std::fflush(file);
    std::rewind(file);
    std::string out;
    for (int c; (c = std::fgetc(file)) != EOF;) out += static_cast<char>(c);
    return out;
  }
};

Question LoggingQuestion() {
  Question q;
  q.caption = "Download";
  q.heading = "The logger is still collecting data";
  q.text =
      "This logger may be stopped completely or\nsuspended during data download and resumed after.";
  q.buttons = {{6, "Suspend and resume"}, {7, "Stop"}};
  q.defaultId = kQuestionClosed;
  return q;
}

TEST(TerminalUi, AFlagAnswersOnlyAQuestionThatOffersItsButton) {
  Terminal t;
  EXPECT_EQ(t.ui.ask(LoggingQuestion()), kQuestionClosed);  // no flag: nothing is touched
  t.ui.chosenButton = "Stop";
  EXPECT_EQ(t.ui.ask(LoggingQuestion()), 7);
  t.ui.chosenButton = "Keep logging";  // not offered by this logger
  EXPECT_EQ(t.ui.ask(LoggingQuestion()), kQuestionClosed);
  const std::string shown = t.text();
  EXPECT_THAT(shown,
              HasSubstr("Download:\n  The logger is still collecting data\n  This logger may be "
                        "stopped completely or\n  suspended during data download and "
                        "resumed after.\n  -> Cancel\n"));
  EXPECT_THAT(shown, HasSubstr("  -> Stop\n"));
  EXPECT_EQ(t.ui.lastMessage, LoggingQuestion().text);
}

TEST(TerminalUi, YesOnlyWithTheFlagAndOnlyForYesNoMessages) {
  Terminal t;
  const Message overwrite{"x.dat already exists.\nContinue to overwrite this file?", "Write File",
                          Icon::Warning, Buttons::YesNo, Answer::No};
  EXPECT_EQ(t.ui.message(overwrite), Answer::No);
  t.ui.answerYes = true;
  EXPECT_EQ(t.ui.message(overwrite), Answer::Yes);
  EXPECT_EQ(t.ui.message({"Done", "Save", Icon::Information, Buttons::Ok, Answer::Ok}), Answer::Ok);
}

TEST(TerminalUi, QuietKeepsWarningsAndRemembersEveryStatus) {
  Terminal t;
  t.ui.quiet = true;
  t.ui.setStatus("Assessing the logger configuration", false);
  t.ui.setStatus("Unable to Communicate with Logger on COM3", true);
  EXPECT_EQ(t.text(), "Unable to Communicate with Logger on COM3\n");
  t.ui.setStatus("Logger resumed sampling", false);
  EXPECT_EQ(t.ui.lastStatusText(), "Logger resumed sampling");
  EXPECT_EQ(t.ui.lastShown(), "Unable to Communicate with Logger on COM3");
}

TEST(TerminalUi, TransferLineGivesBytesRateAndTimeLeft) {
  EXPECT_EQ(TransferText(0, 233478, 0), "0 of 233478 bytes");
  // 98,304 bytes in 51.2 s: 1,920 B/s, and 135,174 bytes take 70 s more.
  EXPECT_EQ(TransferText(98304, 233478, 51200), "98304 of 233478 bytes, 1920 B/s, 1:10 left");
  EXPECT_EQ(TransferText(233478, 233478, 2000), "233478 of 233478 bytes, 117 kB/s, < 1 s left");

  // Into a log (not a terminal): a line every ten percent, not every block.
  Terminal t;
  for (int p = 0; p <= 100; p += 5) t.ui.transfer(p, p * 10, 1000, 1000);
  t.ui.endTransfer();
  const std::string shown = t.text();
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 11);
  EXPECT_THAT(shown, HasSubstr("100%  1000 of 1000 bytes"));
}

}  // namespace
}  // namespace kts::cli
