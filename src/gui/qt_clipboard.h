// The text clipboard through Qt.
#pragma once

#include "platform/clipboard.h"

namespace kts::gui {

class QtClipboard final : public Clipboard {
 public:
  Result getText(std::string& out) override;
  Result setText(const std::string& text) override;
};

}  // namespace kts::gui
