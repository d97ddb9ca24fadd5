#include "gui/setup_view.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "deploy/setup_sequence.h"
#include "deploy/setup_texts.h"
#include "gui/date_time_picker_view.h"
#include "gui/dialog_helpers.h"
#include "gui/range_switching_view.h"
#include "gui/threshold_view.h"

namespace kts::gui {
namespace {

constexpr const char* kSetupTitle = "KTS Logger - Setup";

void Fill(QComboBox* box, const ChoiceList& list) {
  box->clear();
  for (const std::string& e : list.entries) box->addItem(FromLatin1(e));
  box->setCurrentIndex(list.selected);
  box->setEnabled(list.enabled);
  box->setVisible(!list.entries.empty());
}

}  // namespace

SetupView::SetupView(Session& s, QWidget* parent) : QDialog(parent), s_(s) {
  setObjectName("setup");
  setWindowTitle(DialogTitle(s, kSetupTitle));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  state_.addTo(form, this, "Memory");
  start_ = new QComboBox(this);
  realTime_ = new QComboBox(this);
  form->addRow("Start", start_);
  form->addRow("Real-time output", realTime_);
  layout->addLayout(form);

  auto* grid = new QGridLayout;
  times_ = new QPushButton("Start/End times and sampling", this);
  threshold_ = new QPushButton("Thresholding", this);
  ranges_ = new QPushButton("Range switching setup", this);
  sync_ = new QPushButton("Sync to PC", this);
  batch_ = new QPushButton("Accept batch values", this);
  restart_ = new QPushButton("Restart Display", this);
  grid->addWidget(times_, 0, 0);
  grid->addWidget(threshold_, 0, 1);
  grid->addWidget(ranges_, 0, 2);
  grid->addWidget(sync_, 1, 0);
  grid->addWidget(batch_, 1, 1);
  grid->addWidget(restart_, 1, 2);
  layout->addLayout(grid);
  autorun_ = new QCheckBox("Autorun when battery/external power switched on", this);
  layout->addWidget(autorun_);
  message_ = new QLabel(this);
  message_->setObjectName("messageLine");
  message_->setWordWrap(true);
  message_->setMinimumHeight(40);
  layout->addWidget(message_);
  auto* bottom = new QHBoxLayout;
  main_ = new QPushButton(this);
  cancel_ = new QPushButton("Cancel", this);
  bottom->addWidget(main_);
  bottom->addStretch(1);
  bottom->addWidget(cancel_);
  layout->addLayout(bottom);

  connect(start_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (updating_ || i < 0) return;
    SelectStartEntry(s_, s_.setup, i);
    ShowSetupTexts(s_);
    refresh();
  });
  connect(realTime_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (updating_ || i < 0) return;
    SelectRealTimeEntry(s_, i);
    refresh();
  });
  connect(times_, &QPushButton::clicked, this, [this] {
    SetupAfterPicker(s_, RunDateTimePicker(s_, this, &s_.setup) == 1);
    afterButton();
  });
  connect(threshold_, &QPushButton::clicked, this, [this] {
    SetupAfterThreshold(s_, RunThreshold(s_, this) == 1);
    afterButton();
  });
  connect(ranges_, &QPushButton::clicked, this, [this] {
    if (RunRangeSwitching(s_, s_.description, this) == 0) SetupRangeSwitchingAccepted(s_);
    afterButton();
  });
  connect(sync_, &QPushButton::clicked, this, [this] {
    SyncToPc(s_);
    afterButton();
  });
  connect(batch_, &QPushButton::clicked, this, [this] {
    AcceptBatchValues(s_);
    afterButton();
  });
  connect(restart_, &QPushButton::clicked, this, [this] {
    RestartDisplay(s_);
    afterButton();
  });
  connect(autorun_, &QCheckBox::toggled, this, [this](bool on) {
    if (!updating_) s_.setup.autorunChecked = on;
  });
  connect(main_, &QPushButton::clicked, this, [this] {
    enableLogging(s_);
    afterButton();
  });
  connect(cancel_, &QPushButton::clicked, this, &SetupView::reject);
  refresh_.setInterval(250);
  connect(&refresh_, &QTimer::timeout, this, [this] { afterButton(); });
  refresh_.start();
  refresh();
}

void SetupView::afterButton() {
  if (!s_.setup.open) {
    refresh_.stop();
    accept();
    return;
  }
  refresh();
}

void SetupView::reject() {
  if (s_.setup.eraseWait) return;  // the logger is erasing: the sequence finishes first
  refresh_.stop();
  CancelSetup(s_);
  QDialog::reject();
}

void SetupView::refresh() {
  updating_ = true;
  const SetupScreen& w = s_.setup;
  const LoggerStateTexts& t = w.texts;
  state_.show(t, w.memoryUsage);
  if (!start_->view()->isVisible()) Fill(start_, StartList(s_));
  if (!realTime_->view()->isVisible()) Fill(realTime_, RealTimeList(s_));
  times_->setEnabled(!w.fieldsHidden);
  if (w.fieldsHidden) {
    start_->setEnabled(false);
    realTime_->setEnabled(false);
  }
  threshold_->setVisible(w.thresholdButtonShown);
  ranges_->setVisible(w.rangeSwitchingButtonShown);
  batch_->setEnabled(w.acceptBatchEnabled);
  restart_->setVisible(w.restartDisplayShown);
  sync_->setEnabled(!w.simulation && !w.fieldsHidden);
  autorun_->setVisible(w.autorunShown);
  autorun_->setChecked(w.autorunChecked);
  ShowMessageLine(message_, w.message);
  main_->setText(FromLatin1(w.mainButton));
  main_->setVisible(w.mainButtonsShown);
  cancel_->setVisible(w.mainButtonsShown);
  main_->setEnabled(w.enableLoggingEnabled && !w.simulation);
  updating_ = false;
}

int RunSetup(Session& s, QWidget* parent) {
  if (!s.setup.open && !openSetupScreen(s)) return -1;
  SetupView view(s, parent);
  return view.exec() == QDialog::Accepted ? 0 : -1;
}

}  // namespace kts::gui
