// "KTS Logger - Derived Units Setup" as a Qt dialog over its model.
#pragma once

#include <QDialog>

#include "convert/derived_units_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace kts {
struct Session;
}

namespace kts::gui {

class DerivedUnitsView : public QDialog {
  Q_OBJECT
 public:
  DerivedUnitsView(Session& s, QWidget* parent = nullptr);

  QLineEdit* field(DerivedUnitsField f) const;
  QCheckBox* depth() const { return depth_; }
  QCheckBox* salinity() const { return salinity_; }

  void accept() override;

 private:
  void collect();

  Session& s_;
  DerivedUnitsDialog model_;
  QCheckBox* depth_;
  QRadioButton* seawater_;
  QRadioButton* simplified_;
  QLineEdit* pressure_;
  QLineEdit* latDegrees_;
  QLineEdit* latMinutes_;
  QLineEdit* density_;
  QCheckBox* salinity_;
  QCheckBox* specific_;
  QCheckBox* sound_;
  QRadioButton* unesco_;
  QRadioButton* delGrosso_;
  QRadioButton* wilson_;
  QCheckBox* oxygen_;
  QRadioButton* oxMl_;
  QRadioButton* oxMg_;
  QRadioButton* oxUmol_;
  QLineEdit* fixedTemperature_;
  QLineEdit* fixedSalinity_;
  QCheckBox* optodeConc_;
  QRadioButton* optMl_;
  QRadioButton* optMg_;
  QCheckBox* optodeSat_;
};

// 1 when the new settings were taken (the caller writes the settings file).
int RunDerivedUnits(Session& s, QWidget* parent);

}  // namespace kts::gui
