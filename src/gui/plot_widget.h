// The plot with everything around it, laid out as the main window places
// it: the plot at (160, 20), its axis labels, both scroll bars, the up-down
// control, the 24 channel buttons, "ALL", "x-y Plot", the zoom buttons and
// the "+", "-", "R" scale buttons. All state lives in the Session's plot
// view; this widget only shows it and forwards input.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QPushButton;
class QScrollBar;
class QToolButton;

namespace kts {
struct Session;
}

namespace kts::gui {

class ChannelButton;
class PlotCanvas;

class PlotWidget : public QWidget {
  Q_OBJECT
 public:
  explicit PlotWidget(Session& session, QWidget* parent = nullptr);

  // A freshly decoded or loaded data set: reset the view and show it.
  void startDisplay();
  // The data or the view state changed: show it again as it stands.
  void refresh();
  // One of the plot's command ids (zoom, scale, "ALL", "x-y Plot", channel
  // buttons); false for ids that are not the plot's.
  bool runCommand(int id, bool shiftHeld = false);

  QWidget* plotArea() const;

 signals:
  // The cursor read-out, or empty when the cursor is off.
  void statusText(const QString& text);
  // The cursor moved to another sample (the wave display follows it).
  void cursorMoved(int sample);
  // The plotted channels or the current channel changed (statistics follow).
  void selectionChanged();
  // A new data set went on display (the statistics reset their two-point
  // state; the wave window decides whether it stays).
  void displayStarted();
  // A command that belongs to the main window (the first zoom button ends
  // the real-time display while it runs).
  void frameCommand(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void layoutControls();
  void updateScrollBars();
  void afterViewChange();
  void onHorizontalAction(int action);
  void onVerticalAction(int action);
  void onChannelButton(ChannelButton* button);
  void onXyButton();
  void onCursorMoved();

  Session& s_;
  PlotCanvas* area_;
  QScrollBar* horizontal_;
  QScrollBar* vertical_;
  QToolButton* up_;
  QToolButton* down_;
  std::array<ChannelButton*, 24> channels_{};
  QPushButton* all_;
  QPushButton* xy_;
  QPushButton* zoomIn_;
  QPushButton* zoomOut_;
  QPushButton* reset_;
  QPushButton* finer_;
  QPushButton* coarser_;
  QPushButton* rescale_;
  QString lastReadout_;
};

}  // namespace kts::gui
