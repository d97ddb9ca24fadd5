// Small helpers every dialog view shares: titles with the copy prefix, the
// system's Latin-1 texts, and a message line with its indicator.
#pragma once

#include <QFormLayout>
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

// The logger's state as the setup and the retrieval screens both show it.
struct LoggerStateLabels {
  QLabel* name = nullptr;
  QLabel* status = nullptr;
  QLabel* hostTime = nullptr;
  QLabel* loggerTime = nullptr;
  QLabel* startTime = nullptr;
  QLabel* endTime = nullptr;
  QLabel* period = nullptr;
  QLabel* memory = nullptr;

  void addTo(QFormLayout* form, QWidget* parent, const char* memoryLabel);
  void show(const LoggerStateTexts& t, const std::string& memoryUsage);
};

}  // namespace kts::gui
