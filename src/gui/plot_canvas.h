// The P × 250 plot itself: grid, traces, stamp marks, cursor and the zoom
// box. Paints from the plot view model; mouse input goes back to it.
#pragma once

#include <QLine>
#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <memory>
#include <vector>

#include "frame/plot_columns.h"

class QRubberBand;

namespace kts {
struct Session;
}

namespace kts::gui {

class PlotCanvas : public QWidget {
  Q_OBJECT
 public:
  PlotCanvas(Session& session, QWidget* parent);
  ~PlotCanvas() override;

 signals:
  void cursorMoved();  // the cursor was set or dragged
  void zoomed();       // a zoom box was applied

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void paintTimePlot(class QPainter& p, const QRect& damaged);
  void paintXyPlot(class QPainter& p);
  void paintAsciiNotice(class QPainter& p);
  void moveCursorTo(int x);

  Session& s_;
  QPixmap tile_;
  TraceColumns columns_;
  std::vector<QLine> joins_;         // one per column, allocated once
  std::vector<StampMark> marks_;     // allocated once
  std::vector<uint8_t> xyOccupied_;  // one byte per plot pixel, allocated once
  QRubberBand* band_ = nullptr;
  QPoint bandOrigin_;
  bool draggingCursor_ = false;
  bool banding_ = false;
};

}  // namespace kts::gui
