// What the main window asks of the plot in its middle: the plot at
// (160, 20) with everything around it (scroll bars, up-down control, channel
// buttons, zoom and scale buttons), placed as the main window's layout says.
// The plot's drawing and arithmetic belong to the plot itself; the main
// window only starts it, refreshes it and passes it the plot commands.
#pragma once

#include <QString>
#include <QWidget>

namespace kts {
struct Session;
}

namespace kts::gui {

class MainPlot : public QWidget {
  Q_OBJECT
 public:
  // The plot for the main window, P pixels wide.
  static MainPlot* create(Session& s, int plotWidth, QWidget* parent);

  // A freshly decoded or loaded data set: reset the view and show it.
  virtual void startDisplay() = 0;
  // The data or the view state changed.
  virtual void refresh() = 0;
  // A plot command id (zoom, scale, "ALL", "x-y Plot", channel buttons).
  virtual bool runCommand(int id) = 0;

 signals:
  // A command that belongs to the main window.
  void frameCommand(int id);
  // The cursor read-out for the status bar.
  void statusText(const QString& text);

 protected:
  using QWidget::QWidget;
};

}  // namespace kts::gui
