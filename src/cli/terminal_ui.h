// The command line's user: messages and the status line go to stderr,
// questions take their safe default (the answer that loses no data) unless
// --yes was given, progress is one updating line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/ui.h"

namespace kts::cli {

class TerminalUi final : public Ui {
 public:
  explicit TerminalUi(std::FILE* err = stderr) : err_(err) {}

  bool answerYes = false;  // --yes: Yes to data-loss questions
  bool quiet = false;      // only warnings among the status lines are shown

  void setStatus(std::string_view text, bool warningIcon) override;
  void setConnectionState(std::string_view) override {}
  void setUnitsIcon(bool) override {}
  void setClock(std::string_view) override {}
  Answer message(const Message& m) override;
  int ask(const Question& q) override;
  std::optional<std::string> chooseFile(const FileRequest& r) override;
  std::optional<std::string> askText(const TextRequest& r) override;
  void progress(int percent, std::string_view text) override;

  // A transfer's progress line: percentage, bytes, rate and the time
  // remaining at that rate. From beginTransfer() to endTransfer() the
  // logic's own progress and its passing status lines (the time remaining
  // of each block) are not shown: the line already says more. Warnings are.
  void beginTransfer();
  void transfer(int percent, int64_t done, int64_t total, int64_t elapsedMs);
  void endTransfer();
  void setBusy(bool) override {}

  // A button text a flag chose (e.g. "Stop" for --stop): a question that
  // offers it is answered with it; any other question takes its default.
  std::string chosenButton;

  // Files and texts the command line already knows (from its arguments).
  std::optional<std::string> nextFile;
  std::optional<std::string> nextText;

  // The last message box or question shown, for the command's exit text.
  std::string lastMessage;

  // The last status line given (shown or not) and the last text the
  // terminal showed, so a command does not repeat what the user just read.
  const std::string& lastStatusText() const { return lastStatus_; }
  const std::string& lastShown() const { return lastShown_; }

 private:
  void endProgressLine();

  std::FILE* err_;
  std::string lastStatus_;
  std::string lastShown_;
  bool progressShown_ = false;
  int lastProgressDecile_ = -1;
  bool transferShown_ = false;
};

// "98304 of 233478 bytes, 1920 B/s, 1:10 left": the rate so far and the
// time the rest takes at that rate.
std::string TransferText(int64_t done, int64_t total, int64_t elapsedMs);

}  // namespace kts::cli
