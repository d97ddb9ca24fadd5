// Until the plot widget is part of the build, the plot position holds a
// placeholder that draws the empty grid; the buttons and controls around it
// sit where the layout puts them and already send their commands.
#include "gui/main_window_plot_area.h"

#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

#include "core/session.h"
#include "frame/command_ids.h"

namespace kts::gui {
namespace {

class EmptyPlot : public QWidget {
 public:
  EmptyPlot(Session& s, QWidget* parent) : QWidget(parent), s_(s) { setObjectName("plot"); }

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

class PlaceholderPlot : public MainPlot {
 public:
  PlaceholderPlot(Session& s, int P, QWidget* parent) : MainPlot(parent) {
    plot_ = new EmptyPlot(s, this);
    plot_->setGeometry(160, 20, P, 250);
    (new QScrollBar(Qt::Horizontal, this))->setGeometry(160, 270, P, 20);
    (new QScrollBar(Qt::Vertical, this))->setGeometry(140, 20, 20, 250);
    auto* updown = new QSpinBox(this);
    updown->setGeometry(120, 270, 20, 20);
    for (int i = 0; i < 24; ++i) {
      button(QString::number(i + 1), QRect(90 + 53 * (i % 12), 365 + 24 * (i / 12), 53, 24),
             kCmdChannelButton0 + i);
    }
    button("ALL", QRect(10, 365, 80, 24), kCmdAll);
    button("x-y Plot", QRect(10, 341, 80, 24), kCmdXyPlot);
    button("Zoom In", QRect(P / 2 + 120, 338, 80, 24), kCmdZoomIn);
    button("Zoom Out", QRect(P / 2 + 200, 338, 80, 24), kCmdZoomOut);
    button("Reset", QRect(P / 2 + 40, 338, 80, 24), kCmdReset);
    button("+", QRect(10, 100, 30, 40), kCmdScalePlus);
    button("-", QRect(10, 140, 30, 40), kCmdScaleMinus);
    button("R", QRect(10, 180, 30, 40), kCmdScaleReset);
    setMinimumSize(160 + P + 10, 365 + 48 + 4);
  }

  void startDisplay() override { plot_->update(); }
  void refresh() override { plot_->update(); }
  bool runCommand(int id) override {
    plot_->update();
    return IsPlotControl(id);
  }

 private:
  void button(const QString& text, QRect r, int id) {
    auto* b = new QPushButton(text, this);
    b->setGeometry(r);
    b->setObjectName(QString("button%1").arg(id));
    connect(b, &QPushButton::clicked, this, [this, id] { emit frameCommand(id); });
  }

  QWidget* plot_;
};

}  // namespace

MainPlot* MainPlot::create(Session& s, int plotWidth, QWidget* parent) {
  return new PlaceholderPlot(s, plotWidth, parent);
}

}  // namespace kts::gui
