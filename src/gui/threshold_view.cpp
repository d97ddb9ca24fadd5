#include "gui/threshold_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/date_time_picker_view.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {

ThresholdView::ThresholdView(Session& s, ThresholdScreen& model, QWidget* parent)
    : QDialog(parent), s_(s), model_(model) {
  setObjectName("threshold");
  setWindowTitle(DialogTitle(s, ThresholdScreen::kTitle));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QGridLayout;
  sense_ = new QLabel(this);
  level_ = new QLineEdit(this);
  level_->setMaxLength(16);
  channels_ = new QComboBox(this);
  top->addWidget(sense_, 0, 0);
  top->addWidget(level_, 0, 1);
  top->addWidget(new QLabel("on channel", this), 0, 2);
  top->addWidget(channels_, 0, 3);
  layout->addLayout(top);
  sampling_ = new QLabel(this);
  layout->addWidget(new QLabel("data will be sampled at:", this));
  layout->addWidget(sampling_);
  layout->addWidget(new QLabel(ThresholdScreen::kPeriodNote, this));

  auto* power = new QGroupBox("Power saving", this);
  auto* pg = new QGridLayout(power);
  auto* group = new QButtonGroup(this);
  int row = 0;
  for (PowerSavingChoice c : {PowerSavingChoice::Continuous, PowerSavingChoice::Every10Seconds,
                              PowerSavingChoice::Every30Seconds, PowerSavingChoice::LetMeChoose}) {
    auto* r = new QRadioButton(PowerSavingChoiceText(c), power);
    group->addButton(r);
    choices_[c] = r;
    pg->addWidget(r, row++, 0);
    connect(r, &QRadioButton::toggled, this, [this, c](bool on) {
      if (updating_ || !on) return;
      collect();
      ChoosePowerSaving(s_, model_, c);
      refresh();
    });
  }
  check_ = new QTimeEdit(power);
  check_->setDisplayFormat("HH:mm:ss");
  pg->addWidget(check_, row - 1, 1);
  layout->addWidget(power);

  hysteresisRow_ = new QGroupBox("Hysteresis", this);
  auto* hg = new QGridLayout(hysteresisRow_);
  hysteresis_ = new QCheckBox("Enable", hysteresisRow_);
  seconds_ = new QLineEdit(hysteresisRow_);
  seconds_->setMaxLength(8);
  hg->addWidget(hysteresis_, 0, 0);
  hg->addWidget(new QLabel(ThresholdScreen::kHysteresisNote, hysteresisRow_), 1, 0);
  hg->addWidget(seconds_, 1, 1);
  hg->addWidget(new QLabel("seconds", hysteresisRow_), 1, 2);
  layout->addWidget(hysteresisRow_);
  connect(hysteresis_, &QCheckBox::toggled, this, [this](bool on) {
    if (updating_) return;
    collect();
    SetHysteresisChecked(model_, on);
    refresh();
  });

  message_ = new QLabel(this);
  message_->setObjectName("messageLine");
  message_->setWordWrap(true);
  message_->setMinimumHeight(40);
  layout->addWidget(message_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Accept", QDialogButtonBox::AcceptRole);
  buttons->addButton("Discard", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &ThresholdView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ThresholdView::reject);
  layout->addWidget(buttons);
  refresh();
}

void ThresholdView::collect() {
  model_.levelText = ToLatin1(level_->text());
  model_.selectedEntry = channels_->currentIndex() < 0 ? 0 : channels_->currentIndex();
  model_.checkPicker = FromQTime(check_->time());
  model_.hysteresisText = ToLatin1(seconds_->text());
}

void ThresholdView::refresh() {
  updating_ = true;
  sense_->setText(model_.senseLabel);
  level_->setText(FromLatin1(model_.levelText));
  channels_->clear();
  for (const std::string& e : model_.channelEntries) channels_->addItem(FromLatin1(e).trimmed());
  channels_->setCurrentIndex(model_.selectedEntry);
  sampling_->setText(FromLatin1(model_.samplingText));
  choices_[model_.choice]->setChecked(true);
  for (auto& [c, r] : choices_)
    if (c != PowerSavingChoice::Continuous) r->setEnabled(model_.periodicChoicesEnabled);
  check_->setVisible(model_.checkPickerShown);
  check_->setTime(ToQTime(model_.checkPicker));
  hysteresisRow_->setVisible(model_.hysteresisShown);
  hysteresis_->setEnabled(model_.hysteresisBoxEnabled);
  hysteresis_->setChecked(model_.hysteresisChecked);
  seconds_->setText(FromLatin1(model_.hysteresisText));
  seconds_->setEnabled(model_.hysteresisChecked);
  ShowMessageLine(message_, model_.message);
  updating_ = false;
}

void ThresholdView::accept() {
  collect();
  if (AcceptThresholdScreen(s_, model_) == 1) {
    QDialog::accept();
    return;
  }
  refresh();  // stays open, showing what the model made of the input
}

void ThresholdView::reject() {
  DiscardThresholdScreen(s_, model_);
  QDialog::reject();
}

int RunThreshold(Session& s, QWidget* parent) {
  ThresholdScreen model;
  OpenThresholdScreen(s, model);
  ThresholdView view(s, model, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace kts::gui
