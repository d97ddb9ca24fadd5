// "KTS Logger - COM Settings" as a Qt dialog over its model.
#pragma once

#include <QDialog>

#include "link/com_settings_dialog.h"

class QComboBox;
class QCheckBox;
class QLineEdit;

namespace kts {
struct Session;
}

namespace kts::gui {

class ComSettingsView : public QDialog {
  Q_OBJECT
 public:
  ComSettingsView(Session& s, QWidget* parent = nullptr);

  QComboBox* loggerPorts() const { return logger_; }
  QComboBox* gpsPorts() const { return gps_; }
  QComboBox* gpsRates() const { return rate_; }
  QCheckBox* radioModems() const { return radio_; }
  QLineEdit* radioDelay() const { return delay_; }

  // OK: the model takes the settings, or says why not and the dialog stays.
  void accept() override;

 private:
  void refreshEnabled();

  Session& s_;
  ComSettingsDialog model_;
  QComboBox* logger_;
  QComboBox* gps_;
  QComboBox* rate_;
  QCheckBox* radio_;
  QLineEdit* delay_;
};

// 1 when the settings were taken, 0 when cancelled.
int RunComSettings(Session& s, QWidget* parent);

}  // namespace kts::gui
