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

void LoggerStateLabels::addTo(QFormLayout* form, QWidget* parent, const char* memoryLabel) {
  auto field = [&](const char* label) {
    auto* l = new QLabel(parent);
    form->addRow(label, l);
    return l;
  };
  name = field("Logger");
  status = field("Status");
  hostTime = field("PC time");
  loggerTime = field("Logger time");
  startTime = field("Start time");
  endTime = field("End time");
  period = field("Sampling period");
  memory = field(memoryLabel);
}

void LoggerStateLabels::show(const LoggerStateTexts& t, const std::string& memoryUsage) {
  name->setText(FromLatin1(t.loggerName));
  status->setText(FromLatin1(t.statusName));
  hostTime->setText(FromLatin1(t.hostTime));
  loggerTime->setText(FromLatin1(t.loggerTime));
  startTime->setText(FromLatin1(t.startTime));
  endTime->setText(FromLatin1(t.endTime));
  period->setText(FromLatin1(t.period));
  memory->setText(FromLatin1(memoryUsage));
}

}  // namespace kts::gui
