#include "gui/plot_widget.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>

#include "convert/channel_range.h"
#include "core/session.h"
#include "frame/plot_geometry.h"
#include "frame/plot_labels.h"
#include "frame/plot_model.h"
#include "frame/xy_channel_dialog.h"
#include "gui/channel_button.h"
#include "gui/plot_canvas.h"
#include "gui/xy_channel_dialog_view.h"

namespace kts::gui {
namespace {

constexpr int kWidgetHeight = 365 + 48 + 2;

QPushButton* MakeButton(const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

bool HasSamples(const Session& s) {
  const DataSet& d = s.data;
  return s.plot.displayPresent && d.sampleCount > 0 &&
         RowLayoutHolds(ChannelCountOf(d), d.sampleCount, d.stride);
}

ScrollAction ActionOf(int sliderAction) {
  switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollAction::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollAction::LineDown;
    case QAbstractSlider::SliderPageStepSub:
      return ScrollAction::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollAction::PageDown;
    case QAbstractSlider::SliderToMinimum:
      return ScrollAction::Home;
    case QAbstractSlider::SliderToMaximum:
      return ScrollAction::End;
    default:
      return ScrollAction::Thumb;
  }
}

}  // namespace

PlotWidget::PlotWidget(Session& session, QWidget* parent) : QWidget(parent), s_(session) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(12);
  setFont(font);
  setFocusPolicy(Qt::StrongFocus);

  area_ = new PlotCanvas(s_, this);
  horizontal_ = new QScrollBar(Qt::Horizontal, this);
  vertical_ = new QScrollBar(Qt::Vertical, this);
  up_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_ = new QToolButton(this);
  down_->setArrowType(Qt::DownArrow);
  for (int c = 0; c < kChannelButtons; ++c) {
    channels_[static_cast<size_t>(c)] = new ChannelButton(c, this);
    ChannelButton* b = channels_[static_cast<size_t>(c)];
    connect(b, &QAbstractButton::clicked, this, [this, b] { onChannelButton(b); });
  }
  all_ = MakeButton("ALL", this);
  xy_ = MakeButton("x-y Plot", this);
  zoomIn_ = MakeButton("Zoom In", this);
  zoomOut_ = MakeButton("Zoom Out", this);
  reset_ = MakeButton("Reset", this);
  finer_ = MakeButton("+", this);
  coarser_ = MakeButton("-", this);
  rescale_ = MakeButton("R", this);

  connect(all_, &QPushButton::clicked, this, [this] { runCommand(kCmdAllChannels); });
  connect(xy_, &QPushButton::clicked, this, [this] { runCommand(kCmdXyPlot); });
  connect(zoomIn_, &QPushButton::clicked, this, [this] { runCommand(kCmdZoomIn); });
  connect(zoomOut_, &QPushButton::clicked, this, [this] { runCommand(kCmdZoomOut); });
  connect(reset_, &QPushButton::clicked, this, [this] { runCommand(kCmdReset); });
  connect(finer_, &QPushButton::clicked, this, [this] { runCommand(kCmdScaleFiner); });
  connect(coarser_, &QPushButton::clicked, this, [this] { runCommand(kCmdScaleCoarser); });
  connect(rescale_, &QPushButton::clicked, this, [this] { runCommand(kCmdRescale); });
  connect(up_, &QToolButton::clicked, this, [this] {
    StepCurrentChannel(s_, false);
    afterViewChange();
    emit selectionChanged();
  });
  connect(down_, &QToolButton::clicked, this, [this] {
    StepCurrentChannel(s_, true);
    afterViewChange();
    emit selectionChanged();
  });
  connect(horizontal_, &QAbstractSlider::actionTriggered, this, &PlotWidget::onHorizontalAction);
  connect(vertical_, &QAbstractSlider::actionTriggered, this, &PlotWidget::onVerticalAction);
  connect(area_, &PlotCanvas::cursorMoved, this, &PlotWidget::onCursorMoved);
  connect(area_, &PlotCanvas::zoomed, this, &PlotWidget::afterViewChange);
  refresh();
}

QWidget* PlotWidget::plotArea() const {
  return area_;
}

void PlotWidget::startDisplay() {
  StartDisplay(s_);
  refresh();
  emit displayStarted();
  emit selectionChanged();
}

void PlotWidget::refresh() {
  s_.plot.plotWidth = std::clamp(s_.plot.plotWidth, kMinPlotWidth, kMaxPlotWidth);
  setFixedSize(s_.plot.plotWidth + kPlotOriginX + 10, kWidgetHeight);
  afterViewChange();
}

void PlotWidget::afterViewChange() {
  layoutControls();
  updateScrollBars();
  area_->update();
  update();
  const QString readout = QString::fromLatin1(CursorReadout(s_).c_str());
  if (readout != lastReadout_) {
    lastReadout_ = readout;
    emit statusText(readout);
  }
}

void PlotWidget::layoutControls() {
  const int p = s_.plot.plotWidth;
  const bool shown = HasSamples(s_);
  area_->setGeometry(kPlotOriginX, kPlotOriginY, p, kPlotHeight);
  horizontal_->setGeometry(kPlotOriginX, kPlotOriginY + kPlotHeight, p, 20);
  vertical_->setGeometry(140, kPlotOriginY, 20, kPlotHeight);
  up_->setGeometry(120, 270, 20, 10);
  down_->setGeometry(120, 280, 20, 10);
  horizontal_->setVisible(shown && !s_.app.xyPlotMode);
  vertical_->setVisible(shown && !s_.app.xyPlotMode);

  const PlotControls c = PlotControlsOf(s_);
  up_->setVisible(shown && c.upDown);
  down_->setVisible(shown && c.upDown);
  all_->setGeometry(10, 365, 80, c.allHeight);
  all_->setVisible(shown && c.allButton);
  xy_->setGeometry(10, 341, 80, 24);
  xy_->setText(QString::fromLatin1(c.xyCaption));
  xy_->setVisible(shown && c.xyButton);
  reset_->setGeometry(p / 2 + 40, 338, 80, 24);
  zoomIn_->setGeometry(p / 2 + 120, 338, 80, 24);
  zoomOut_->setGeometry(p / 2 + 200, 338, 80, 24);
  zoomIn_->setVisible(shown && c.zoomIn);
  zoomOut_->setVisible(shown && c.zoomOut);
  reset_->setVisible(shown && c.reset);
  finer_->setGeometry(10, 100, 30, 40);
  coarser_->setGeometry(10, 140, 30, 40);
  rescale_->setGeometry(10, 180, 30, 40);
  for (QPushButton* b : {finer_, coarser_, rescale_}) b->setVisible(shown && c.scaleButtons);

  for (int ch = 0; ch < kChannelButtons; ++ch) {
    ChannelButton* b = channels_[static_cast<size_t>(ch)];
    const ChannelButtonFace face = ChannelButtonFaceOf(s_, ch);
    b->setGeometry(90 + 53 * (face.place % 12), 365 + 24 * (face.place / 12), 53, 24);
    b->setFace(face.colour, face.whiteText, QString::fromLatin1(face.text.c_str()));
    b->setVisible(shown && face.visible);
  }
}

void PlotWidget::updateScrollBars() {
  const ScrollRanges r = SetScrollRanges(s_);
  {
    const QSignalBlocker block(horizontal_);
    horizontal_->setRange(r.horizontalMin,
                          std::max(r.horizontalMin, r.horizontalMax - r.horizontalPage + 1));
    horizontal_->setPageStep(r.horizontalPage);
    horizontal_->setSingleStep(1);
    horizontal_->setValue(s_.plot.scrollOffset);
  }
  {
    const QSignalBlocker block(vertical_);
    const int a = r.verticalMin, b = r.verticalMax - r.verticalPage + 1;
    vertical_->setRange(std::min(a, b), std::max(a, b));
    vertical_->setPageStep(r.verticalPage);
    vertical_->setSingleStep(1);
    vertical_->setValue(s_.plot.verticalOffset);
  }
}

void PlotWidget::onHorizontalAction(int action) {
  const bool moved = ScrollHorizontal(s_, ActionOf(action), horizontal_->sliderPosition());
  horizontal_->setSliderPosition(s_.plot.scrollOffset);
  if (!moved) return;
  area_->update();
  update();
  area_->setFocus();
}

void PlotWidget::onVerticalAction(int action) {
  const bool moved = ScrollVertical(s_, ActionOf(action), vertical_->sliderPosition());
  vertical_->setSliderPosition(s_.plot.verticalOffset);
  if (!moved) return;
  area_->update();
  update();
  area_->setFocus();
}

bool PlotWidget::runCommand(int id, bool shiftHeld) {
  if (id == kCmdZoomIn && s_.app.realTimeDisplayActive) {
    emit frameCommand(id);
    return true;
  }
  if (id == kCmdXyPlot) {
    onXyButton();
    return true;
  }
  if (!RunPlotCommand(s_, id, shiftHeld)) return false;
  afterViewChange();
  if (id == kCmdAllChannels || (id >= kCmdFirstChannelButton && id <= kCmdLastChannelButton))
    emit selectionChanged();
  return true;
}

void PlotWidget::onChannelButton(ChannelButton* button) {
  runCommand(kCmdFirstChannelButton + button->channel(), button->takeShift());
}

void PlotWidget::onXyButton() {
  if (!s_.app.xyPlotMode) {
    XyChannelDialog model(ChannelCountOf(s_.data));
    XyChannelDialogView view(model, this);
    if (view.exec() != QDialog::Accepted) return;
    ToggleXyPlot(s_, &model);
  } else {
    ToggleXyPlot(s_, nullptr);
  }
  afterViewChange();
  emit selectionChanged();
}

void PlotWidget::onCursorMoved() {
  update(QRect(kPlotOriginX, 0, s_.plot.plotWidth, kPlotOriginY));
  const QString readout = QString::fromLatin1(CursorReadout(s_).c_str());
  if (readout != lastReadout_) {
    lastReadout_ = readout;
    emit statusText(readout);
  }
  if (s_.plot.cursorActive) emit cursorMoved(s_.plot.cursorSample);
}

void PlotWidget::keyPressEvent(QKeyEvent* event) {
  const PlotControls c = PlotControlsOf(s_);
  int id = 0;
  if (event->text() == QLatin1String("+")) id = kCmdScaleFiner;
  if (event->text() == QLatin1String("-")) id = kCmdScaleCoarser;
  if (event->text().compare(QLatin1String("R"), Qt::CaseInsensitive) == 0) id = kCmdRescale;
  if (id == 0 || !c.scaleButtons || !HasSamples(s_)) {
    QWidget::keyPressEvent(event);
    return;
  }
  runCommand(id);
}

void PlotWidget::paintEvent(QPaintEvent*) {
  if (!HasSamples(s_) && !s_.app.realTimeDisplayActive) return;
  QPainter p(this);
  const QFontMetrics m(font());
  auto draw = [&](const PlotLabel& l) {
    if (l.text.empty()) return;
    const QString text = QString::fromLatin1(l.text.c_str());
    const int w = m.horizontalAdvance(text);
    const int x = l.align == LabelAlign::Left    ? l.x
                  : l.align == LabelAlign::Right ? l.x - w
                                                 : l.x - w / 2;
    const QRect box(x, l.y, w, m.height());
    p.fillRect(box, QColor::fromRgb(kLabelBackground));
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
  };
  const AxisLabels time = TimeAxisLabels(s_);
  for (int k = 0; k < time.count; ++k) draw(time.items[static_cast<size_t>(k)]);
  const AxisLabels value = ValueAxisLabels(s_);
  for (int k = 0; k < value.count; ++k) draw(value.items[static_cast<size_t>(k)]);
  const std::string readout = CursorReadout(s_);
  if (!readout.empty())
    draw({s_.plot.plotWidth / 2 + kPlotOriginX, kReadoutY, LabelAlign::Centre, readout});
}

}  // namespace kts::gui
