#include "gui/channel_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "frame/plot_geometry.h"

namespace kts::gui {

ChannelButton::ChannelButton(int channel, QWidget* parent)
    : QAbstractButton(parent), channel_(channel) {
  setFocusPolicy(Qt::NoFocus);
}

void ChannelButton::setFace(int colour, bool whiteText, const QString& text) {
  colour_ = colour;
  whiteText_ = whiteText;
  setText(text);
  update();
}

void ChannelButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, QColor::fromRgb(kChannelColours[static_cast<size_t>(colour_ % 8)]));
  const int right = r.right(), bottom = r.bottom();
  const bool down = isDown();
  // Outer edge: white top and left, dark shadow bottom and right; the inner
  // edge a shade softer. Pressed, the shades swap.
  const QColor light = down ? QColor::fromRgb(0x646F71) : Qt::white;
  const QColor shadow = down ? Qt::white : QColor::fromRgb(0x646F71);
  const QColor innerLight = down ? QColor::fromRgb(0x99A8AC) : QColor::fromRgb(0xE2EFF1);
  const QColor innerShadow = down ? QColor::fromRgb(0xE2EFF1) : QColor::fromRgb(0x99A8AC);
  p.setPen(light);
  p.drawLine(0, 0, right, 0);
  p.drawLine(0, 0, 0, bottom);
  p.setPen(shadow);
  p.drawLine(0, bottom, right, bottom);
  p.drawLine(right, 0, right, bottom);
  p.setPen(innerLight);
  p.drawLine(1, 1, right - 1, 1);
  p.drawLine(1, 1, 1, bottom - 1);
  p.setPen(innerShadow);
  p.drawLine(1, bottom - 1, right - 1, bottom - 1);
  p.drawLine(right - 1, 1, right - 1, bottom - 1);
  p.setPen(whiteText_ ? Qt::white : Qt::black);
  p.drawText(r, Qt::AlignCenter, text());
}

void ChannelButton::mousePressEvent(QMouseEvent* event) {
  shift_ = (event->modifiers() & Qt::ShiftModifier) != 0;
  QAbstractButton::mousePressEvent(event);
}

void ChannelButton::mouseReleaseEvent(QMouseEvent* event) {
  shift_ = shift_ || (event->modifiers() & Qt::ShiftModifier) != 0;
  QAbstractButton::mouseReleaseEvent(event);
}

}  // namespace kts::gui
