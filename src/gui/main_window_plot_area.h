// The area around the plot: the plot itself at (160, 20), its scroll bars
// and up-down control, the channel buttons and the zoom and scale buttons,
// placed as the main window's layout says. The plot's drawing and
// arithmetic belong to the plot widget; this area places it and routes the
// button commands to it.
#pragma once

#include <QWidget>
#include <functional>

namespace kts {
struct Session;
}

namespace kts::gui {

class PlotArea : public QWidget {
  Q_OBJECT
 public:
  // `command` runs a command id of the main window (the buttons' ids).
  PlotArea(Session& s, int plotWidth, std::function<void(int)> command, QWidget* parent);

  // A plot command the frame passed on (zoom, scale, channel buttons …).
  void plotCommand(int id);
  void redraw();
  void showData();

  QWidget* plot() const { return plot_; }

 private:
  Session& s_;
  QWidget* plot_ = nullptr;
};

}  // namespace kts::gui
