// The command line's user: messages and the status line go to stderr,
// questions take their safe default (the answer that loses no data) unless
// --yes was given, progress is one updating line.
#pragma once

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
  void setBusy(bool) override {}

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
};

}  // namespace kts::cli
