#include "scripted_ui.h"

namespace kts::test {

void ScriptedUi::setStatus(std::string_view text, bool warningIcon) {
  statuses.push_back({std::string(text), warningIcon});
}

void ScriptedUi::setConnectionState(std::string_view text) {
  connectionStates.emplace_back(text);
}

Answer ScriptedUi::message(const Message& m) {
  messages.push_back(m);
  if (m.buttons == Buttons::Ok) return Answer::Ok;
  if (!answers.empty()) {
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return m.defaultAnswer;
}

int ScriptedUi::ask(const Question& q) {
  questions.push_back(q);
  if (!questionAnswers.empty()) {
    const int a = questionAnswers.front();
    questionAnswers.pop_front();
    return a;
  }
  return q.defaultId;
}

std::optional<std::string> ScriptedUi::chooseFile(const FileRequest& r) {
  fileRequests.push_back(r);
  if (files.empty()) return std::nullopt;
  auto f = files.front();
  files.pop_front();
  return f;
}

std::optional<std::string> ScriptedUi::askText(const TextRequest& r) {
  textRequests.push_back(r);
  if (texts.empty()) return std::nullopt;
  auto t = texts.front();
  texts.pop_front();
  return t;
}

void ScriptedUi::progress(int percent, std::string_view text) {
  progressReports.emplace_back(percent, std::string(text));
}

bool ScriptedUi::sawStatus(std::string_view text) const {
  for (const auto& s : statuses)
    if (s.text == text) return true;
  return false;
}

bool ScriptedUi::sawMessage(std::string_view text) const {
  for (const auto& m : messages)
    if (m.text == text) return true;
  return false;
}

std::string ScriptedUi::messageTexts() const {
  std::string out;
  for (const auto& m : messages) out += m.caption + ": " + m.text + " | ";
  return out;
}

std::string ScriptedUi::statusTexts() const {
  std::string out;
  for (const auto& s : statuses) out += s.text + " | ";
  return out;
}

}  // namespace kts::test
