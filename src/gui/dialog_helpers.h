// Small helpers every dialog view shares: titles with the copy prefix, the
// system's Latin-1 texts, and a message line with its indicator.
#pragma once

#include <QLabel>
#include <QString>
#include <string>
#include <string_view>

#include "deploy/setup_screen.h"

namespace kts {
struct Session;
}

namespace kts::gui {

// The system's texts are Latin-1 ("\xB5" is µ).
QString FromLatin1(std::string_view text);
std::string ToLatin1(const QString& text);

// A dialog title as every window of a further copy shows it.
QString DialogTitle(const Session& s, std::string_view title);

// Shows a message line: its text, and an info or warning mark before it.
void ShowMessageLine(QLabel* label, const MessageLine& line);

}  // namespace kts::gui
