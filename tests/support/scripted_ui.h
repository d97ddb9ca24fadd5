// A Ui for tests: records every text the logic shows and answers questions
// from a queue (or with the default answer when the queue is empty).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace kts::test {

class ScriptedUi : public Ui {
 public:
  struct StatusEntry {
    std::string text;
    bool warningIcon;
  };

  // What happened, in order.
  std::vector<StatusEntry> statuses;
  std::vector<Message> messages;
  std::vector<Question> questions;
  std::vector<FileRequest> fileRequests;
  std::vector<TextRequest> textRequests;
  std::vector<std::string> connectionStates;
  std::vector<std::pair<int, std::string>> progressReports;

  // Answers to hand out, first in first out.
  std::deque<Answer> answers;
  std::deque<int> questionAnswers;
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> texts;

  void setStatus(std::string_view text, bool warningIcon) override;
  void setConnectionState(std::string_view text) override;
  void setUnitsIcon(bool engineeringUnits) override { unitsEngineering = engineeringUnits; }
  void setClock(std::string_view text) override { clock = std::string(text); }
  Answer message(const Message& m) override;
  int ask(const Question& q) override;
  std::optional<std::string> chooseFile(const FileRequest& r) override;
  std::optional<std::string> askText(const TextRequest& r) override;
  void progress(int percent, std::string_view text) override;
  void setBusy(bool b) override { busy = b; }

  bool unitsEngineering = false;
  bool busy = false;
  std::string clock;

  std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back().text; }
  bool sawStatus(std::string_view text) const;
  bool sawMessage(std::string_view text) const;
  // Every message text, joined by " | " (for failure output).
  std::string messageTexts() const;
  std::string statusTexts() const;
};

}  // namespace kts::test
