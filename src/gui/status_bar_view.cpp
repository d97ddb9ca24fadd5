#include "gui/status_bar_view.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>

namespace kts::gui {
namespace {

// The units icon: a small badge naming the output format.
QPixmap UnitsBadge(const QString& text, const QColor& colour) {
  QPixmap p(30, 16);
  p.fill(Qt::transparent);
  QPainter painter(&p);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(colour);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(0, 0, 30, 16), 3, 3);
  painter.setPen(Qt::white);
  QFont f = painter.font();
  f.setPixelSize(10);
  f.setBold(true);
  painter.setFont(f);
  painter.drawText(QRect(0, 0, 30, 16), Qt::AlignCenter, text);
  return p;
}

QLabel* Part(QWidget* parent, int width) {
  auto* l = new QLabel(parent);
  if (width > 0) l->setFixedWidth(width);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  return l;
}

}  // namespace

StatusBarView::StatusBarView(QWidget* parent) : QStatusBar(parent) {
  // Part widths from the right edges: +15, −254s, −216s, −139s, the rest.
  const double s = logicalDpiX() / 96.0;
  warning_ = Part(this, 15 + 4);
  message_ = Part(this, 0);
  units_ = Part(this, static_cast<int>(38 * s));
  // Wide enough for "Not connected" and "Trying: 115200" in any font.
  connection_ = Part(this, std::max(static_cast<int>(77 * s),
                                    fontMetrics().horizontalAdvance("Trying: 115200") + 12));
  clock_ = Part(this, static_cast<int>(139 * s));
  units_->setAlignment(Qt::AlignCenter);
  message_->setObjectName("statusMessage");
  connection_->setObjectName("statusConnection");
  clock_->setObjectName("statusClock");
  addWidget(warning_);
  addWidget(message_, 1);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setFixedWidth(120);
  progress_->hide();
  addPermanentWidget(progress_);
  addPermanentWidget(units_);
  addPermanentWidget(connection_);
  addPermanentWidget(clock_);
  setSizeGripEnabled(false);
  setUnits(false);
}

void StatusBarView::setMessage(const QString& text, bool warningIcon) {
  message_->setText(text);
  warningShown_ = warningIcon;
  if (warningIcon) {
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    warning_->setPixmap(icon.pixmap(14, 14));
  } else {
    warning_->clear();
  }
}

void StatusBarView::setUnits(bool engineeringUnits) {
  units_->setPixmap(engineeringUnits ? UnitsBadge("ENG", QColor(0, 110, 60))
                                     : UnitsBadge("BIN", QColor(60, 60, 140)));
  units_->setToolTip(engineeringUnits ? "Engineering units" : "Binary");
}

void StatusBarView::setConnection(const QString& text) { connection_->setText(text); }
void StatusBarView::setProgress(int percent) {
  if (percent < 0 || percent >= 100) {
    progress_->hide();
    return;
  }
  progress_->setValue(percent);
  progress_->show();
}

void StatusBarView::setClock(const QString& text) { clock_->setText(text); }

}  // namespace kts::gui
