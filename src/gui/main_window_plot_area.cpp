// Until the plot widget is part of the build, the plot position holds a
// placeholder that draws the empty grid; the buttons and controls around it
// are the real ones and already send their commands.
#include "gui/main_window_plot_area.h"

#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "core/session.h"
#include "frame/command_ids.h"

namespace kts::gui {
namespace {

class PlotPlaceholder : public QWidget {
 public:
  PlotPlaceholder(Session& s, QWidget* parent) : QWidget(parent), s_(s) {
    setObjectName("plot");
    setAutoFillBackground(false);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 250, 244));
    p.setPen(QColor(205, 215, 225));
    const int divisions = 10;
    const int w = width(), h = height();
    for (int i = 1; i < divisions; ++i) {
      p.drawLine(i * w / divisions, 0, i * w / divisions, h);
      p.drawLine(0, i * h / divisions, w, i * h / divisions);
    }
    p.setPen(QColor(90, 90, 90));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (s_.app.sampleCount == 0) p.drawText(rect(), Qt::AlignCenter, "No data in memory");
  }

 private:
  Session& s_;
};

QPushButton* Button(QWidget* parent, const QString& text, QRect r, int id,
                    const std::function<void(int)>& command) {
  auto* b = new QPushButton(text, parent);
  b->setGeometry(r);
  b->setObjectName(QString("button%1").arg(id));
  QObject::connect(b, &QPushButton::clicked, parent, [command, id] { command(id); });
  return b;
}

}  // namespace

PlotArea::PlotArea(Session& s, int P, std::function<void(int)> command, QWidget* parent)
    : QWidget(parent), s_(s) {
  plot_ = new PlotPlaceholder(s_, this);
  plot_->setGeometry(160, 20, P, 250);
  auto* hscroll = new QScrollBar(Qt::Horizontal, this);
  hscroll->setGeometry(160, 270, P, 20);
  auto* vscroll = new QScrollBar(Qt::Vertical, this);
  vscroll->setGeometry(140, 20, 20, 250);
  auto* updown = new QSpinBox(this);
  updown->setGeometry(120, 270, 20, 20);
  updown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);

  for (int i = 0; i < 24; ++i) {
    Button(this, QString::number(i + 1), QRect(90 + 53 * (i % 12), 365 + 24 * (i / 12), 53, 24),
           kCmdChannelButton0 + i, command);
  }
  Button(this, "ALL", QRect(10, 365, 80, 24), kCmdAll, command);
  Button(this, "x-y Plot", QRect(10, 341, 80, 24), kCmdXyPlot, command);
  Button(this, "Zoom In", QRect(P / 2 + 120, 338, 80, 24), kCmdZoomIn, command);
  Button(this, "Zoom Out", QRect(P / 2 + 200, 338, 80, 24), kCmdZoomOut, command);
  Button(this, "Reset", QRect(P / 2 + 40, 338, 80, 24), kCmdReset, command);
  Button(this, "+", QRect(10, 100, 30, 40), kCmdScalePlus, command);
  Button(this, "-", QRect(10, 140, 30, 40), kCmdScaleMinus, command);
  Button(this, "R", QRect(10, 180, 30, 40), kCmdScaleReset, command);
  setMinimumSize(160 + P + 10, 365 + 48 + 4);
}

void PlotArea::plotCommand(int) { plot_->update(); }
void PlotArea::redraw() { plot_->update(); }
void PlotArea::showData() { plot_->update(); }

}  // namespace kts::gui
