#include "gui/plot_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>
#include <cmath>

#include "convert/channel_range.h"
#include "core/session.h"
#include "core/text.h"
#include "frame/plot_geometry.h"
#include "frame/plot_model.h"

namespace kts::gui {
namespace {

QColor ChannelColour(int channel) {
  return QColor::fromRgb(kChannelColours[static_cast<size_t>(channel % 8)]);
}

// One pen per kind of stamp mark.
QPen MarkPen(MarkKind kind) {
  switch (kind) {
    case MarkKind::BurstTick:
      return QPen(QColor(0x00, 0x60, 0x00), 2);
    case MarkKind::GainAllTick:
      return QPen(QColor(0xFF, 0x00, 0xFF), 2);
    case MarkKind::GainSomeTick:
      return QPen(QColor(0x00, 0x80, 0x80), 2);
    case MarkKind::GainSingleTick:
      return QPen(QColor(0x80, 0x40, 0x00), 2);
    case MarkKind::StampLine:
      return QPen(QColor(0x40, 0x40, 0x40), 1, Qt::DotLine);
    case MarkKind::ClockLine:
      return QPen(QColor(0x00, 0x00, 0xA0), 1, Qt::DashLine);
    case MarkKind::None:
      break;
  }
  return QPen(Qt::NoPen);
}

// The 50 × 50 background tile: light grey, dark grey every 10 pixels, black
// every 50.
QPixmap GridTile() {
  QPixmap tile(50, 50);
  tile.fill(QColor::fromRgb(kGridLight));
  QPainter p(&tile);
  p.setPen(QColor::fromRgb(kGridDark));
  for (int k = 10; k < 50; k += 10) {
    p.drawLine(k, 0, k, 49);
    p.drawLine(0, k, 49, k);
  }
  p.setPen(Qt::black);
  p.drawLine(0, 0, 0, 49);
  p.drawLine(0, 0, 49, 0);
  return tile;
}

int SampleCount(const Session& s) {
  const DataSet& d = s.data;
  return RowLayoutHolds(ChannelCountOf(d), d.sampleCount, d.stride) ? d.sampleCount : 0;
}

constexpr int kStampCapacity = kMaxStamps;

}  // namespace

PlotCanvas::PlotCanvas(Session& session, QWidget* parent)
    : QWidget(parent),
      s_(session),
      tile_(GridTile()),
      joins_(static_cast<size_t>(TraceColumns::kCapacity)),
      marks_(kStampCapacity),
      xyOccupied_(static_cast<size_t>(kMaxPlotWidth) * kPlotHeight) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::CrossCursor);
}

PlotCanvas::~PlotCanvas() = default;

void PlotCanvas::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.drawTiledPixmap(rect(), tile_);
  if (!s_.plot.displayPresent || SampleCount(s_) <= 0) return;
  if (s_.data.context.description.asciiOutput()) {
    paintAsciiNotice(p);
    return;
  }
  if (s_.app.xyPlotMode) {
    paintXyPlot(p);
    return;
  }
  paintTimePlot(p, event->rect());
}

void PlotCanvas::paintAsciiNotice(QPainter& p) {
  const QString first =
      QStringLiteral("These ASCII data from a generic sensor can not be graphed.");
  const QString second = QString::fromStdString(
      Format(s_.app.hexDataLoaded ? "%d bytes were successfully read from the hex file."
                                  : "%d bytes were successfully downloaded.",
             s_.image.length));
  p.setBackgroundMode(Qt::OpaqueMode);
  p.setBackground(QColor::fromRgb(kLabelBackground));
  p.setPen(Qt::white);
  const QFontMetrics m(font());
  p.drawText(260 - m.horizontalAdvance(first) / 2, 100, first);
  p.drawText(260 - m.horizontalAdvance(second) / 2, 120, second);
}

void PlotCanvas::paintTimePlot(QPainter& p, const QRect& damaged) {
  const PlotView& v = s_.plot;
  const DataSet& d = s_.data;
  // One sample more on each side, so that a line crossing the edge of the
  // damaged strip is drawn even where samples lie further apart than it.
  SampleWindow window = SamplesForColumns(s_, damaged.left(), damaged.right());
  if (window.first <= window.last) {
    window.first = std::max(0, window.first - 1);
    window.last = std::min(d.sampleCount - 1, window.last + 1);
  }
  if (window.first <= window.last) {
    const uint32_t plotted = v.channelMask & AllChannelsMask(d);
    for (int c = 0; c < ChannelCountOf(d); ++c) {
      if (!(plotted & (1u << c))) continue;
      const int group = ChannelGroup(d, c);
      const int count = columns_.reduce(v, d.row(c), window, MakeValueMap(v, group));
      const ColumnSpan* spans = columns_.spans();
      // Each column's span is one filled strip; the joins between columns
      // are short lines. The pixels are those of a line through every sample.
      const int thick = TracePenWidth(group) > 1 ? 1 : 0;
      const QColor colour = ChannelColour(c);
      QLine* joins = joins_.data();
      int joinCount = 0;
      for (int k = 0; k < count; ++k) {
        const ColumnSpan& col = spans[k];
        p.fillRect(col.x - thick, col.minY - thick, 1 + 2 * thick,
                   col.maxY - col.minY + 1 + 2 * thick, colour);
        if (k > 0)
          joins[joinCount++] = QLine(spans[k - 1].x, spans[k - 1].lastY, col.x, col.firstY);
      }
      p.setPen(QPen(colour, 0));  // cosmetic: one pixel, the raster fast path
      // A 3-pixel trace: the joins also at the four neighbouring offsets.
      for (const QPoint shift :
           {QPoint(0, 0), QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
        if (!thick && shift != QPoint(0, 0)) break;
        p.save();
        p.translate(shift);
        p.drawLines(joins, joinCount);
        p.restore();
      }
    }
    const int marks = CollectStampMarks(s_, window, marks_.data(), static_cast<int>(marks_.size()));
    for (int k = 0; k < marks; ++k) {
      const StampMark& m = marks_[static_cast<size_t>(k)];
      p.setPen(MarkPen(m.kind));
      if (m.kind == MarkKind::StampLine || m.kind == MarkKind::ClockLine)
        p.drawLine(m.x, kLineBottom, m.x, kLineTop);
      else
        p.drawLine(m.x, kTickTop, m.x, kTickBottom);
    }
  }
  if (v.cursorActive) {
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(v.cursorX, 0, v.cursorX, kPlotHeight);
    const int y = MakeValueMap(v, v.currentGroup).map(CursorValue(s_));
    p.drawLine(v.cursorX - 10, y, v.cursorX + 10, y);
  }
}

void PlotCanvas::paintXyPlot(QPainter& p) {
  const PlotView& v = s_.plot;
  const DataSet& d = s_.data;
  const int n = SampleCount(s_);
  const int channels = ChannelCountOf(d);
  if (channels <= 0) return;
  const int xc = std::clamp(v.xChannel, 0, channels - 1);
  const int width = std::clamp(v.plotWidth, 1, kMaxPlotWidth);
  // Ranges of zero width are widened so that every reading still lands.
  auto span = [](float lo, float hi) {
    const double w = static_cast<double>(hi) - lo;
    return w > 0.0 && std::isfinite(w)
               ? w
               : std::max(0.0009, std::fabs(static_cast<double>(lo)) * 1e-6);
  };
  const float* xs = d.row(xc);
  const double minX = xs[n], spanX = span(xs[n], xs[n + 1]);
  const int first = s_.app.realTimeDisplayActive ? std::clamp(v.scrollOffset, 0, n) : 0;
  const uint32_t plotted = v.channelMask & AllChannelsMask(d);
  for (int c = 0; c < channels; ++c) {
    if (!(plotted & (1u << c))) continue;
    const float* ys = d.row(c);
    const double minY = ys[n], spanY = span(ys[n], ys[n + 1]);
    // A cross per occupied pixel: readings that land on the same pixel draw
    // the same cross.
    std::fill(xyOccupied_.begin(), xyOccupied_.end(), uint8_t{0});
    p.setPen(QPen(ChannelColour(c), 1));
    for (int i = first; i < n; ++i) {
      const double fx = (xs[i] - minX) / (spanX / width);
      const double fy = 225.0 - std::trunc((ys[i] - minY) / (spanY / 200.0));
      if (!(fx >= 0.0 && fx <= width && fy >= 0.0 && fy < kPlotHeight)) continue;
      const int x = std::min(static_cast<int>(fx), width - 1), y = static_cast<int>(fy);
      uint8_t& seen = xyOccupied_[static_cast<size_t>(y) * kMaxPlotWidth + static_cast<size_t>(x)];
      if (seen) continue;
      seen = 1;
      p.drawLine(x - 2, y, x + 2, y);
      p.drawLine(x, y - 2, x, y + 2);
    }
  }
}

void PlotCanvas::moveCursorTo(int x) {
  const int before = s_.plot.cursorActive ? s_.plot.cursorX : x;
  SetCursorAt(s_, x);
  // Only the strip between the old and the new cursor is painted again.
  const int left = std::min(before, s_.plot.cursorX) - 19;
  const int right = std::max(before, s_.plot.cursorX) + 19;
  update(QRect(left, 0, right - left + 1, height()));
  emit cursorMoved();
}

void PlotCanvas::mousePressEvent(QMouseEvent* event) {
  setFocus();
  if (!s_.plot.displayPresent || SampleCount(s_) <= 0 || s_.data.context.description.asciiOutput())
    return;
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && !s_.app.xyPlotMode) {
    draggingCursor_ = true;
    moveCursorTo(at.x());
  } else if (event->button() == Qt::RightButton) {
    if (s_.plot.cursorActive) {
      ClearCursor(s_);
      update();
      emit cursorMoved();
    }
    if (band_ == nullptr) band_ = new QRubberBand(QRubberBand::Rectangle, this);
    bandOrigin_ = at;
    banding_ = true;
    band_->setGeometry(QRect(at, QSize()));
    band_->show();
  }
}

void PlotCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (draggingCursor_ && (event->buttons() & Qt::LeftButton)) moveCursorTo(at.x());
  if (banding_) band_->setGeometry(QRect(bandOrigin_, at).normalized());
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton) draggingCursor_ = false;
  if (event->button() == Qt::RightButton && banding_) {
    banding_ = false;
    band_->hide();
    if (ZoomToBox(s_, bandOrigin_.x(), bandOrigin_.y(), at.x(), at.y())) emit zoomed();
  }
}

}  // namespace kts::gui
