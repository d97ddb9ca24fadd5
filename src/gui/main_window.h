// The main window: menus built from the frame's menu table, the plot area,
// the five-part status bar and the one timer. Every command goes to the
// frame; the window only shows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>

#include "frame/frame.h"
#include "frame/frame_window.h"
#include "gui/main_window_plot_area.h"
#include "gui/retrieval_view.h"
#include "gui/status_bar_view.h"

class QAction;
class QMenu;

namespace kts {
struct Session;
}

namespace kts::gui {

class MainWindow : public QMainWindow, public FrameWindow {
  Q_OBJECT
 public:
  MainWindow(Session& s, int plotWidth, QWidget* parent = nullptr);
  ~MainWindow() override;

  Frame& frame() { return *frame_; }
  StatusBarView* statusBarView() const { return statusBar_; }
  QAction* action(int id) const;
  QMenu* popup(MenuPopup popup) const;
  QMenu* recentMenu() const { return recent_; }
  RetrievalView* retrievalView() const { return retrieval_; }
  MainPlot* plot() const { return plot_; }
  QTimer& timer() { return timer_; }

  // One tick of the timer.
  void tick();

  // Runs a command and closes the window when it ended the program.
  void run(int id, int argument = 0);

  // FrameWindow.
  std::string title() const override;
  void setTitle(std::string_view title) override;
  void place(int x, int y, int width, int height) override;
  void enableCommand(int id, bool enabled) override;
  void enablePopup(MenuPopup popup, bool enabled) override;
  void checkCommand(int id, bool checked) override;
  void setRecentFiles(const std::vector<std::string>& items) override;
  void showModemSleepItem(bool present) override;
  bool startTimer(int intervalMs) override;
  void stopTimer() override;
  int openDialog(DialogId id) override;
  void endActiveDialog() override;
  void sendToRetrievalDialog(int command) override;
  void showWaitCursor(bool wait) override;
  void plotCommand(int id) override;
  void redrawPlot() override;
  void showData() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void buildMenus();
  int openRetrieval();
  QAction* addCommand(QWidget* menu, int id, const char* text, bool checkable);

  Session& s_;
  std::unique_ptr<Frame> frame_;
  StatusBarView* statusBar_ = nullptr;
  MainPlot* plot_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<MenuPopup, QMenu*> popups_;
  QMenu* recent_ = nullptr;
  QAction* modemSleep_ = nullptr;
  QTimer timer_;
  QPointer<RetrievalView> retrieval_;
  bool waitCursor_ = false;
};

}  // namespace kts::gui
