// The status bar's message line rules.
#pragma once

#include <string>
#include <string_view>

namespace kts {

class Ui;

struct StatusLine {
  std::string text;
  bool warningIcon = false;
};

// Texts over 127 characters are cut to 122 followed by " ..."; the warning
// icon shows when the text contains "not yet", "Unable", "rror" or "ail".
StatusLine MakeStatusLine(std::string_view text);

// Puts a text on the message line of the status bar.
void ShowStatus(Ui& ui, std::string_view text);

}  // namespace kts
