#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

#include "core/session.h"
#include "frame/command_ids.h"
#include "frame/pending_operations.h"
#include "gui/about_view.h"
#include "gui/com_settings_view.h"
#include "gui/derived_units_view.h"
#include "gui/dialog_helpers.h"
#include "platform/status_line.h"
#include "gui/language_view.h"
#include "gui/limits_view.h"
#include "gui/setup_simulation_view.h"
#include "gui/setup_view.h"
#include "data/data_files.h"

namespace kts::gui {
namespace {

// What the status line names when a dialog has no view in this build.
const char* DialogDescription(DialogId id) {
  switch (id) {
    case DialogId::Download:
    case DialogId::HkvDownload: return "The retrieval dialog";
    case DialogId::Fetch:
    case DialogId::GenericFetch: return "The live readings dialog";
    case DialogId::Setup:
    case DialogId::HkvSetup: return "The setup dialog";
    case DialogId::Calibration: return "The calibration coefficients dialog";
    case DialogId::CalibrationHistory: return "The calibration history window";
    case DialogId::WriteFormat: return "The save file format dialog";
    case DialogId::GpsTest: return "The GPS test";
    case DialogId::DefaultBaudrate: return "The default baud rate dialog";
    case DialogId::Latency: return "The latency dialog";
    case DialogId::MatlabFormat: return "The MATLAB save format dialog";
    case DialogId::EngineeringUnits: return "The engineering units dialog";
    default: return "This dialog";
  }
}

}  // namespace

MainWindow::MainWindow(Session& s, int plotWidth, QWidget* parent)
    : QMainWindow(parent), s_(s) {
  setObjectName("mainWindow");
  setWindowIcon(QIcon(":/kts-logger.svg"));
  statusBar_ = new StatusBarView(this);
  setStatusBar(statusBar_);
  plot_ = MainPlot::create(s_, plotWidth, this);
  connect(plot_, &MainPlot::frameCommand, this, [this](int id) { run(id); });
  connect(plot_, &MainPlot::statusText, this,
          [this](const QString& text) { ShowStatus(s_.ui, ToLatin1(text)); });
  setCentralWidget(plot_);
  frame_ = std::make_unique<Frame>(s_, *this);
  buildMenus();
  timer_.setObjectName("tick");
  connect(&timer_, &QTimer::timeout, this, &MainWindow::tick);
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::addCommand(QWidget* menu, int id, const char* text, bool checkable) {
  auto* a = new QAction(FromLatin1(text), this);
  a->setCheckable(checkable);
  a->setData(id);
  connect(a, &QAction::triggered, this, [this, id] { run(id); });
  menu->addAction(a);
  actions_[id] = a;
  return a;
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  for (const MenuItem& item : MenuItems()) {
    QWidget* target = bar;
    if (item.popup != MenuPopup::None) {
      QMenu*& menu = popups_[item.popup];
      if (!menu) menu = bar->addMenu(FromLatin1(PopupText(item.popup)));
      target = menu;
    }
    if (item.id == 0) {
      static_cast<QMenu*>(target)->addSeparator();
      continue;
    }
    addCommand(target, item.id, item.text, item.checkable);
  }
}

QAction* MainWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MainWindow::popup(MenuPopup p) const {
  auto it = popups_.find(p);
  return it == popups_.end() ? nullptr : it->second;
}

void MainWindow::tick() {
  frame_->tick();
  if (frame_->exited()) close();
}

void MainWindow::run(int id, int argument) {
  frame_->runCommand(id, argument);
  if (frame_->exited()) close();
}

std::string MainWindow::title() const { return ToLatin1(windowTitle()); }
void MainWindow::setTitle(std::string_view title) { setWindowTitle(FromLatin1(title)); }

void MainWindow::place(int x, int y, int width, int height) {
  move(x, y);
  resize(std::max(width, minimumSizeHint().width()), std::max(height, minimumSizeHint().height()));
}

void MainWindow::enableCommand(int id, bool enabled) {
  if (QAction* a = action(id)) a->setEnabled(enabled);
}

void MainWindow::enablePopup(MenuPopup p, bool enabled) {
  if (QMenu* m = popup(p)) m->menuAction()->setEnabled(enabled);
}

void MainWindow::checkCommand(int id, bool checked) {
  if (QAction* a = action(id)) a->setChecked(checked);
}

void MainWindow::setRecentFiles(const std::vector<std::string>& items) {
  QMenu* file = popup(MenuPopup::File);
  if (!file) return;
  if (!recent_) {
    recent_ = new QMenu(FromLatin1(kRecentPopupText), file);
    file->insertMenu(action(kCmdReadDat), recent_);
  }
  // The menu may be rebuilt from inside one of its own items.
  for (QAction* old : recent_->actions()) {
    recent_->removeAction(old);
    old->deleteLater();
  }
  for (size_t i = 0; i < items.size() && i < 10; ++i) {
    const int id = kCmdRecentFirst + static_cast<int>(i);
    QAction* a = recent_->addAction(FromLatin1(items[i]));
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { run(id); });
  }
}

void MainWindow::showModemSleepItem(bool present) {
  if (present && !modemSleep_) {
    modemSleep_ = new QAction(FromLatin1(kModemSleepText), this);
    connect(modemSleep_, &QAction::triggered, this, [this] { run(kCmdModemSleep); });
    menuBar()->insertAction(action(kCmdAbout), modemSleep_);
    actions_[kCmdModemSleep] = modemSleep_;
  } else if (!present && modemSleep_) {
    actions_.erase(kCmdModemSleep);
    menuBar()->removeAction(modemSleep_);
    modemSleep_->deleteLater();
    modemSleep_ = nullptr;
  }
}

bool MainWindow::startTimer(int intervalMs) {
  if (intervalMs <= 0) return false;
  timer_.start(intervalMs);
  return timer_.isActive();
}

void MainWindow::stopTimer() { timer_.stop(); }

int MainWindow::openDialog(DialogId id) {
  switch (id) {
    case DialogId::About: return RunAboutBox(s_, this);
    case DialogId::ComSettings: return RunComSettings(s_, this);
    case DialogId::DerivedUnits: return RunDerivedUnits(s_, this);
    case DialogId::Limits: return RunLimits(s_, this);
    case DialogId::LanguageSupport: return RunLanguage(s_, this);
    case DialogId::SetupSimulation: return RunSetupSimulation(s_, this);
    case DialogId::Setup:
    case DialogId::HkvSetup: return RunSetup(s_, this);
    case DialogId::Download:
    case DialogId::HkvDownload: return openRetrieval();
    default: break;
  }
  ShowNotYet(s_, DialogDescription(id));
  return kDialogUnavailable;
}

int MainWindow::openRetrieval() {
  if (retrieval_) retrieval_->close();
  RetrievalFlowHooks hooks;
  hooks.saveData = [this](Session& s) -> std::string {
    if (!SaveData(s)) return {};
    frame_->buildRecentMenu();
    return s.settings.recent[0];
  };
  hooks.hideDataDisplay = [this](Session&) { plot_->refresh(); };
  hooks.startDisplay = [this](Session&) { plot_->startDisplay(); };
  auto* view = new RetrievalView(s_, std::move(hooks), this);
  view->setAttribute(Qt::WA_DeleteOnClose);
  connect(view, &RetrievalView::ended, this, [this, view] {
    if (s_.app.activeDialogCommand == kCmdRetrieveData) s_.app.activeDialogCommand = 0;
    view->close();
  });
  if (!view->openScreen()) {
    delete view;
    return -1;
  }
  retrieval_ = view;
  return 0;
}

void MainWindow::endActiveDialog() {
  if (retrieval_) retrieval_->close();
}

void MainWindow::sendToRetrievalDialog(int command) {
  if (!retrieval_) return;
  if (command == kCmdRetrievalContinue)
    retrieval_->continueStep();
  else if (command == kCmdRetrievalStop)
    retrieval_->stop();
}

void MainWindow::showWaitCursor(bool wait) {
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::plotCommand(int id) { plot_->runCommand(id); }
void MainWindow::redrawPlot() { plot_->refresh(); }
void MainWindow::showData() { plot_->startDisplay(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (frame_->exited() || frame_->exitFlow()) {
    showWaitCursor(false);
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) s_.app.minimised = isMinimized();
  QMainWindow::changeEvent(event);
}

}  // namespace kts::gui
