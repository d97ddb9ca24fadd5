// The plot widget in the middle of the main window.
#include "gui/main_window_plot_area.h"

#include <QVBoxLayout>

#include "core/session.h"
#include "gui/plot_widget.h"

namespace kts::gui {
namespace {

class PlotHost : public MainPlot {
 public:
  PlotHost(Session& s, int plotWidth, QWidget* parent) : MainPlot(parent) {
    s.plot.plotWidth = plotWidth;  // the widget lays itself out from the view
    plot_ = new PlotWidget(s, this);
    plot_->setObjectName("plotWidget");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_, 0, Qt::AlignLeft | Qt::AlignTop);
    connect(plot_, &PlotWidget::frameCommand, this, &MainPlot::frameCommand);
    connect(plot_, &PlotWidget::statusText, this, &MainPlot::statusText);
  }

  void startDisplay() override { plot_->startDisplay(); }
  void refresh() override { plot_->refresh(); }
  bool runCommand(int id) override { return plot_->runCommand(id); }

 private:
  PlotWidget* plot_;
};

}  // namespace

MainPlot* MainPlot::create(Session& s, int plotWidth, QWidget* parent) {
  return new PlotHost(s, plotWidth, parent);
}

}  // namespace kts::gui
