#include "gui/dialog_helpers.h"

#include "core/session.h"
#include "frame/frame.h"

namespace kts::gui {

QString FromLatin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QString DialogTitle(const Session& s, std::string_view title) {
  return FromLatin1(TitlePrefix(s.settings.copyIndex, title));
}

void ShowMessageLine(QLabel* label, const MessageLine& line) {
  QString mark;
  if (line.indicator == MessageIndicator::Warning)
    mark = QStringLiteral("\u26A0 ");
  else if (line.indicator == MessageIndicator::Info)
    mark = QStringLiteral("\u2139 ");
  label->setText(mark + FromLatin1(line.text));
  label->setStyleSheet(line.indicator == MessageIndicator::Warning ? "color: #a00000;" : "");
}

}  // namespace kts::gui
