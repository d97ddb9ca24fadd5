// "KTS Logger - Date and time picker" as a Qt dialog over its model.
#pragma once

#include <QDialog>
#include <map>

#include "deploy/date_time_picker_model.h"

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QRadioButton;
class QTimeEdit;

namespace kts {
struct Session;
}

namespace kts::gui {

QDateTime ToQDateTime(const TimeRecord& t);
TimeRecord FromQDateTime(const QDateTime& t);
QTime ToQTime(const TimeRecord& t);
TimeRecord FromQTime(const QTime& t);

class DateTimePickerView : public QDialog {
  Q_OBJECT
 public:
  DateTimePickerView(Session& s, DateTimePickerModel& model, SetupScreen* setup = nullptr,
                     QWidget* parent = nullptr);

  QDateTimeEdit* start() const { return start_; }
  QDateTimeEdit* end() const { return end_; }
  QCheckBox* now() const { return now_; }
  QRadioButton* choice(SamplingChoice c) const { return choices_.at(c); }
  QTimeEdit* period() const { return period_; }
  QCheckBox* averaging() const { return averaging_; }
  QTimeEdit* averagingPeriod() const { return averagingPeriod_; }
  QLabel* messageLine() const { return message_; }

  void accept() override;
  void reject() override;

 private:
  void refresh();
  template <class F>
  void change(F&& f);

  Session& s_;
  DateTimePickerModel& model_;
  SetupScreen* setup_;
  QLabel* startLabel_;
  QDateTimeEdit* start_;
  QDateTimeEdit* end_;
  QCheckBox* now_;
  std::map<SamplingChoice, QRadioButton*> choices_;
  QTimeEdit* period_;
  QCheckBox* averaging_;
  QTimeEdit* averagingPeriod_;
  QLabel* message_;
  bool updating_ = false;
};

// Opens the picker on the deployment: 1 accepted, 0 discarded.
int RunDateTimePicker(Session& s, QWidget* parent, SetupScreen* setup = nullptr);

}  // namespace kts::gui
