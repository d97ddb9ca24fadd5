// The setup screen ("SetupProc") as a Qt dialog over the session's
// SetupScreen; its picker, threshold and range-switching buttons open
// their own views.
#pragma once

#include "gui/dialog_helpers.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace kts {
struct Session;
}

namespace kts::gui {

class SetupView : public QDialog {
  Q_OBJECT
 public:
  SetupView(Session& s, QWidget* parent = nullptr);

  QPushButton* mainButton() const { return main_; }
  QLabel* messageLine() const { return message_; }
  QComboBox* startList() const { return start_; }

  void reject() override;

 private:
  void refresh();
  void afterButton();

  Session& s_;
  LoggerStateLabels state_;
  QComboBox* start_;
  QComboBox* realTime_;
  QPushButton* times_;
  QPushButton* threshold_;
  QPushButton* ranges_;
  QPushButton* sync_;
  QPushButton* batch_;
  QPushButton* restart_;
  QCheckBox* autorun_;
  QLabel* message_;
  QPushButton* main_;
  QPushButton* cancel_;
  QTimer refresh_;  // the erase wait and the status polling move on under it
  bool updating_ = false;
};

// Opens the setup screen on the connected logger (or on the simulated one
// already opened): −1 when it could not open or was cancelled, else 0.
int RunSetup(Session& s, QWidget* parent);

}  // namespace kts::gui
