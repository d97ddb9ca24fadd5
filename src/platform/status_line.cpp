#include "platform/status_line.h"

#include "core/text.h"
#include "platform/ui.h"

namespace kts {

StatusLine MakeStatusLine(std::string_view text) {
  StatusLine line;
  if (text.size() > 127) {
    line.text.assign(text.substr(0, 122));
    line.text += " ...";
  } else {
    line.text.assign(text);
  }
  line.warningIcon = Contains(text, "not yet") || Contains(text, "Unable") ||
                     Contains(text, "rror") || Contains(text, "ail");
  return line;
}

void ShowStatus(Ui& ui, std::string_view text) {
  const StatusLine line = MakeStatusLine(text);
  ui.setStatus(line.text, line.warningIcon);
}

}  // namespace kts
