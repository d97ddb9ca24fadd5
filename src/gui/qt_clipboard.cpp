#include "gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kts::gui {

Clipboard::Result QtClipboard::getText(std::string& out) {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return Result::Unavailable;
  const QString text = c->text();
  if (text.isEmpty()) return Result::Empty;
  out = text.toLatin1().toStdString();
  return Result::Ok;
}

Clipboard::Result QtClipboard::setText(const std::string& text) {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return Result::Unavailable;
  c->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  return Result::Ok;
}

}  // namespace kts::gui
