#include "gui/date_time_picker_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {

QDateTime ToQDateTime(const TimeRecord& t) {
  return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

TimeRecord FromQDateTime(const QDateTime& t) {
  const QDate d = t.date();
  const QTime h = t.time();
  return MakeTime(d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second());
}

QTime ToQTime(const TimeRecord& t) { return QTime(t.hour % 24, t.minute % 60, t.second % 60); }

TimeRecord FromQTime(const QTime& t) { return MakePeriod(t.hour(), t.minute(), t.second()); }

DateTimePickerView::DateTimePickerView(Session& s, DateTimePickerModel& model, SetupScreen* setup,
                                       QWidget* parent)
    : QDialog(parent), s_(s), model_(model), setup_(setup) {
  setObjectName("dateTimePicker");
  setWindowTitle(DialogTitle(s, DateTimePickerModel::kTitle));
  auto* layout = new QVBoxLayout(this);
  auto* times = new QGridLayout;
  startLabel_ = new QLabel(this);
  start_ = new QDateTimeEdit(this);
  start_->setDisplayFormat("yyyy/MM/dd HH:mm:ss");
  start_->setCalendarPopup(true);
  now_ = new QCheckBox("NOW", this);
  end_ = new QDateTimeEdit(this);
  end_->setDisplayFormat("yyyy/MM/dd HH:mm:ss");
  end_->setCalendarPopup(true);
  times->addWidget(startLabel_, 0, 0);
  times->addWidget(start_, 0, 1);
  times->addWidget(now_, 0, 2);
  times->addWidget(new QLabel("End time", this), 1, 0);
  times->addWidget(end_, 1, 1);
  layout->addLayout(times);

  auto* sampling = new QGroupBox("Sampling period", this);
  auto* sg = new QGridLayout(sampling);
  auto* group = new QButtonGroup(this);
  int row = 0;
  for (SamplingChoice c : kSamplingChoices) {
    auto* r = new QRadioButton(SamplingChoiceText(c), sampling);
    group->addButton(r);
    choices_[c] = r;
    sg->addWidget(r, row++, 0);
    connect(r, &QRadioButton::toggled, this, [this, c](bool on) {
      if (on) change([&] { PickerChooseSampling(s_, model_, c); });
    });
  }
  period_ = new QTimeEdit(sampling);
  period_->setDisplayFormat("HH:mm:ss");
  sg->addWidget(period_, row - 1, 1);
  layout->addWidget(sampling);

  auto* avg = new QHBoxLayout;
  averaging_ = new QCheckBox(this);
  averagingPeriod_ = new QTimeEdit(this);
  averagingPeriod_->setDisplayFormat("HH:mm:ss");
  avg->addWidget(averaging_);
  avg->addWidget(averagingPeriod_);
  layout->addLayout(avg);

  message_ = new QLabel(this);
  message_->setObjectName("messageLine");
  message_->setWordWrap(true);
  message_->setMinimumHeight(40);
  layout->addWidget(message_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Accept", QDialogButtonBox::AcceptRole);
  buttons->addButton("Discard", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &DateTimePickerView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &DateTimePickerView::reject);
  layout->addWidget(buttons);

  connect(start_, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& t) {
    change([&] { PickerSetStart(s_, model_, FromQDateTime(t)); });
  });
  connect(end_, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& t) {
    change([&] { PickerSetEnd(s_, model_, FromQDateTime(t)); });
  });
  connect(now_, &QCheckBox::toggled, this,
          [this](bool on) { change([&] { PickerSetNow(s_, model_, on); }); });
  connect(period_, &QTimeEdit::timeChanged, this, [this](const QTime& t) {
    change([&] { PickerSetPeriod(s_, model_, FromQTime(t)); });
  });
  connect(averaging_, &QCheckBox::toggled, this,
          [this](bool on) { change([&] { PickerSetAveraging(s_, model_, on); }); });
  connect(averagingPeriod_, &QTimeEdit::timeChanged, this, [this](const QTime& t) {
    change([&] { PickerSetAveragingPeriod(s_, model_, FromQTime(t)); });
  });
  refresh();
}

template <class F>
void DateTimePickerView::change(F&& f) {
  if (updating_) return;
  f();
  refresh();  // a refused value goes back to what the model holds
}

void DateTimePickerView::refresh() {
  updating_ = true;
  const DeploymentParameters& d = s_.deployment;
  startLabel_->setText(model_.startLabel);
  start_->setVisible(model_.startControlsShown);
  start_->setDateTime(ToQDateTime(d.startTime));
  now_->setChecked(model_.nowChecked);
  end_->setDateTime(ToQDateTime(d.endTime));
  choices_[SamplingChoice::Profiling]->setVisible(model_.profilingChoiceShown);
  choices_[model_.choice]->setChecked(true);
  period_->setVisible(model_.periodPickerShown);
  period_->setTime(ToQTime(model_.periodPicker));
  averaging_->setVisible(model_.averagingControlsShown);
  averagingPeriod_->setVisible(model_.averagingControlsShown);
  averaging_->setText(model_.averagingLabel);
  averaging_->setEnabled(model_.averagingBoxEnabled);
  averaging_->setChecked(model_.averagingChecked);
  averagingPeriod_->setEnabled(model_.averagingPickerEnabled);
  averagingPeriod_->setTime(ToQTime(model_.averagingPicker));
  ShowMessageLine(message_, model_.screen.message);
  updating_ = false;
}

void DateTimePickerView::accept() {
  PickerAccept(s_, model_, setup_);
  QDialog::accept();
}

void DateTimePickerView::reject() {
  PickerDiscard(s_, model_);
  QDialog::reject();
}

int RunDateTimePicker(Session& s, QWidget* parent, SetupScreen* setup) {
  DateTimePickerModel model;
  PickerOpen(s, model);
  DateTimePickerView view(s, model, setup, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace kts::gui
