// The user-interaction interface: everything the logic shows to a user or
// asks of one goes through here. The desktop application implements it with
// Qt, the command line with the terminal, the tests with a scripted fake.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kts {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A message box: text, caption, icon, buttons and the preselected answer.
struct Message {
  std::string text;
  std::string caption;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  Answer defaultAnswer = Answer::Ok;
};

// A question with its own button texts. `ask` returns the id of the button
// pressed, or kQuestionClosed when the dialog was closed or cancelled.
struct QuestionButton {
  int id = 0;
  std::string text;
};
inline constexpr int kQuestionClosed = -1;
struct Question {
  std::string caption;
  std::string heading;
  std::string text;
  std::vector<QuestionButton> buttons;
  int defaultId = kQuestionClosed;
  Icon icon = Icon::Question;
};

// A file to open or save. `filter` is the system's own text, e.g.
// "All Hex Files (*.hex)"; `pattern` the glob it stands for.
struct FileRequest {
  std::string title;
  std::string filter;
  std::string pattern;
  std::string directory;
  std::string defaultName;
  bool save = false;
};

// One line of text from the user ("Comment to be added to data file").
struct TextRequest {
  std::string caption;
  std::string prompt;
  std::string acceptText;
  std::string rejectText;
  std::string initial;
  int maxLength = 99;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Status bar: the message line (already cut and classified, see
  // ShowStatus), the connection state, the units icon and the clock.
  virtual void setStatus(std::string_view text, bool warningIcon) = 0;
  virtual void setConnectionState(std::string_view text) = 0;
  virtual void setUnitsIcon(bool engineeringUnits) = 0;
  virtual void setClock(std::string_view text) = 0;

  virtual Answer message(const Message& m) = 0;
  virtual int ask(const Question& q) = 0;
  virtual std::optional<std::string> chooseFile(const FileRequest& r) = 0;
  // Empty optional: the user chose the reject button ("No comment").
  virtual std::optional<std::string> askText(const TextRequest& r) = 0;

  // Progress of a long operation (0..100) with its current text.
  virtual void progress(int percent, std::string_view text) = 0;
  virtual void setBusy(bool busy) = 0;
};

}  // namespace kts
