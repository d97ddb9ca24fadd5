// "KTS Logger - Thresholding configuration" as a Qt dialog over its model.
#pragma once

#include <QDialog>
#include <map>

#include "deploy/threshold_screen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

namespace kts {
struct Session;
}

namespace kts::gui {

class ThresholdView : public QDialog {
  Q_OBJECT
 public:
  ThresholdView(Session& s, ThresholdScreen& model, QWidget* parent = nullptr);

  QLineEdit* level() const { return level_; }
  QComboBox* channels() const { return channels_; }
  QRadioButton* choice(PowerSavingChoice c) const { return choices_.at(c); }
  QTimeEdit* checkPeriod() const { return check_; }
  QCheckBox* hysteresis() const { return hysteresis_; }
  QLineEdit* hysteresisSeconds() const { return seconds_; }
  QLabel* messageLine() const { return message_; }

  void accept() override;
  void reject() override;

 private:
  void refresh();
  void collect();

  Session& s_;
  ThresholdScreen& model_;
  QLabel* sense_;
  QLineEdit* level_;
  QComboBox* channels_;
  QLabel* sampling_;
  std::map<PowerSavingChoice, QRadioButton*> choices_;
  QTimeEdit* check_;
  QWidget* hysteresisRow_;
  QCheckBox* hysteresis_;
  QLineEdit* seconds_;
  QLabel* message_;
  bool updating_ = false;
};

// 1 accepted, 0 discarded.
int RunThreshold(Session& s, QWidget* parent);

}  // namespace kts::gui
