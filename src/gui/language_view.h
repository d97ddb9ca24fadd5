#pragma once

class QWidget;

namespace kts {
struct Session;
}

namespace kts::gui {

inline constexpr const char* kLanguageTitle = "Language Support";
inline constexpr const char* kChineseSupportText = "Traditional Chinese language support";

// The "Language Support" dialog: 1 when OK took the choice (the caller
// writes the settings), 0 when cancelled.
int RunLanguage(Session& s, QWidget* parent);

}  // namespace kts::gui
