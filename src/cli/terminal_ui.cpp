#include "cli/terminal_ui.h"

#include <unistd.h>

#include "core/text.h"

namespace kts::cli {
namespace {

// Message boxes may hold several lines; the terminal shows them indented.
void PrintIndented(std::FILE* out, std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      std::fprintf(out, "  %s\n", line.c_str());
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) std::fprintf(out, "  %s\n", line.c_str());
}

const char* AnswerText(Answer a) {
  switch (a) {
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
    case Answer::Cancel:
      return "Cancel";
    default:
      return "OK";
  }
}

}  // namespace

void TerminalUi::endProgressLine() {
  if (progressShown_) {
    std::fputc('\n', err_);
    progressShown_ = false;
  }
}

void TerminalUi::setStatus(std::string_view text, bool warningIcon) {
  if (text.empty() || text == lastStatus_) return;
  lastStatus_ = std::string(text);
  // A quiet run still shows what went wrong: those are the lines a script's
  // log must keep.
  if ((quiet || transferShown_) && !warningIcon) return;
  endProgressLine();
  std::fprintf(err_, "%s\n", lastStatus_.c_str());
  lastShown_ = lastStatus_;
}

Answer TerminalUi::message(const Message& m) {
  endProgressLine();
  lastMessage = m.text;
  lastShown_ = m.text;
  std::fprintf(err_, "%s:\n", m.caption.empty() ? "KTS Logger" : m.caption.c_str());
  PrintIndented(err_, m.text);
  if (m.buttons == Buttons::Ok) return Answer::Ok;
  Answer a = m.defaultAnswer;
  if (answerYes && (m.buttons == Buttons::YesNo || m.buttons == Buttons::YesNoCancel))
    a = Answer::Yes;
  std::fprintf(err_, "  -> %s\n", AnswerText(a));
  return a;
}

int TerminalUi::ask(const Question& q) {
  endProgressLine();
  lastMessage = q.text;
  lastShown_ = q.text;
  std::fprintf(err_, "%s:\n", q.caption.c_str());
  if (!q.heading.empty()) PrintIndented(err_, q.heading);
  PrintIndented(err_, q.text);
  for (const QuestionButton& b : q.buttons) {
    if (!chosenButton.empty() && b.text == chosenButton) {
      std::fprintf(err_, "  -> %s\n", b.text.c_str());
      return b.id;
    }
  }
  for (const QuestionButton& b : q.buttons)
    if (b.id == q.defaultId) std::fprintf(err_, "  -> %s\n", b.text.c_str());
  if (q.defaultId == kQuestionClosed) std::fprintf(err_, "  -> Cancel\n");
  return q.defaultId;
}

std::optional<std::string> TerminalUi::chooseFile(const FileRequest&) {
  std::optional<std::string> f = nextFile;
  nextFile.reset();
  return f;
}

std::optional<std::string> TerminalUi::askText(const TextRequest&) {
  std::optional<std::string> t = nextText;
  nextText.reset();
  return t;
}

void TerminalUi::progress(int percent, std::string_view text) {
  if (quiet || transferShown_) return;
  if (isatty(fileno(err_))) {
    std::fprintf(err_, "\r%3d%%  %.*s\033[K", percent, static_cast<int>(text.size()), text.data());
    std::fflush(err_);
    progressShown_ = true;
    return;
  }
  // Into a log: one line every ten percent.
  if (percent / 10 == lastProgressDecile_) return;
  lastProgressDecile_ = percent / 10;
  std::fprintf(err_, "%3d%%  %.*s\n", percent, static_cast<int>(text.size()), text.data());
}

std::string TransferText(int64_t done, int64_t total, int64_t elapsedMs) {
  std::string text =
      Format("%lld of %lld bytes", static_cast<long long>(done), static_cast<long long>(total));
  if (elapsedMs <= 0 || done <= 0) return text;
  const double rate = static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMs);
  text += rate >= 10000 ? Format(", %.0f kB/s", rate / 1000) : Format(", %.0f B/s", rate);
  const auto left = static_cast<long long>(static_cast<double>(total - done) / rate + 0.5);
  text += left > 0 ? Format(", %lld:%02lld left", left / 60, left % 60) : ", < 1 s left";
  return text;
}

void TerminalUi::beginTransfer() {
  transferShown_ = true;
}

void TerminalUi::transfer(int percent, int64_t done, int64_t total, int64_t elapsedMs) {
  transferShown_ = true;
  if (quiet) return;
  const std::string text = TransferText(done, total, elapsedMs);
  if (isatty(fileno(err_))) {
    std::fprintf(err_, "\r%3d%%  %s\033[K", percent, text.c_str());
    std::fflush(err_);
    progressShown_ = true;
    return;
  }
  if (percent / 10 == lastProgressDecile_) return;
  lastProgressDecile_ = percent / 10;
  std::fprintf(err_, "%3d%%  %s\n", percent, text.c_str());
}

void TerminalUi::endTransfer() {
  endProgressLine();
  transferShown_ = false;
  lastProgressDecile_ = -1;
}

}  // namespace kts::cli
