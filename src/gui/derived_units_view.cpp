#include "gui/derived_units_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

QLineEdit* Edit(QWidget* parent, const std::string& text) {
  auto* e = new QLineEdit(FromLatin1(text), parent);
  e->setMaxLength(16);
  e->setMaximumWidth(90);
  return e;
}

// Radio buttons of one choice, in a group of their own.
QRadioButton* Radio(QWidget* parent, QButtonGroup* group, const char* text, bool checked) {
  auto* r = new QRadioButton(FromLatin1(text), parent);
  r->setChecked(checked);
  group->addButton(r);
  return r;
}

}  // namespace

DerivedUnitsView::DerivedUnitsView(Session& s, QWidget* parent)
    : QDialog(parent), s_(s), model_(OpenDerivedUnits(s.settings.derived)) {
  setObjectName("derivedUnits");
  setWindowTitle(DialogTitle(s, kDerivedUnitsTitle));
  const DerivedUnits& c = model_.choices;
  auto* layout = new QVBoxLayout(this);

  auto* depthBox = new QGroupBox(this);
  auto* dg = new QGridLayout(depthBox);
  depth_ = new QCheckBox(FromLatin1(kDepthLabel), depthBox);
  depth_->setChecked(c.depthOn);
  auto* depthGroup = new QButtonGroup(this);
  seawater_ = Radio(depthBox, depthGroup, "Seawater", c.depthSeawater);
  simplified_ = Radio(depthBox, depthGroup, "Simplified", !c.depthSeawater);
  pressure_ = Edit(depthBox, model_.atmosphericPressure);
  latDegrees_ = Edit(depthBox, model_.latitudeDegrees);
  latMinutes_ = Edit(depthBox, model_.latitudeMinutes);
  density_ = Edit(depthBox, model_.density);
  dg->addWidget(depth_, 0, 0);
  dg->addWidget(seawater_, 0, 1);
  dg->addWidget(simplified_, 0, 2);
  dg->addWidget(new QLabel(FromLatin1(kAtmosphericPressureLabel), depthBox), 1, 0);
  dg->addWidget(pressure_, 1, 1);
  dg->addWidget(new QLabel(FromLatin1(kLatitudeLabel), depthBox), 2, 0);
  dg->addWidget(latDegrees_, 2, 1);
  dg->addWidget(new QLabel(FromLatin1(kDegreesLabel), depthBox), 2, 2);
  dg->addWidget(latMinutes_, 2, 3);
  dg->addWidget(new QLabel(FromLatin1(kMinutesLabel), depthBox), 2, 4);
  dg->addWidget(new QLabel(FromLatin1(kDensityLabel), depthBox), 3, 0);
  dg->addWidget(density_, 3, 1);
  layout->addWidget(depthBox);

  salinity_ = new QCheckBox(FromLatin1(kSalinityLabel), this);
  salinity_->setChecked(c.salinityOn);
  specific_ = new QCheckBox(FromLatin1(kSpecificConductivityLabel), this);
  specific_->setChecked(c.specificConductivityOn);
  layout->addWidget(salinity_);
  layout->addWidget(specific_);

  auto* soundBox = new QGroupBox(this);
  auto* sg = new QHBoxLayout(soundBox);
  sound_ = new QCheckBox(FromLatin1(kSoundSpeedLabel), soundBox);
  sound_->setChecked(c.soundSpeedOn);
  auto* soundGroup = new QButtonGroup(this);
  unesco_ = Radio(soundBox, soundGroup, kUnescoLabel, c.soundSpeed == SoundSpeedEquation::Unesco);
  delGrosso_ =
      Radio(soundBox, soundGroup, kDelGrossoLabel, c.soundSpeed == SoundSpeedEquation::DelGrosso);
  wilson_ = Radio(soundBox, soundGroup, kWilsonLabel, c.soundSpeed == SoundSpeedEquation::Wilson);
  for (QWidget* w : std::initializer_list<QWidget*>{sound_, unesco_, delGrosso_, wilson_})
    sg->addWidget(w);
  layout->addWidget(soundBox);

  auto* oxBox = new QGroupBox(this);
  auto* og = new QGridLayout(oxBox);
  oxygen_ = new QCheckBox(FromLatin1(kOxygenLabel), oxBox);
  oxygen_->setChecked(c.oxygenOn);
  auto* oxGroup = new QButtonGroup(this);
  oxMl_ = Radio(oxBox, oxGroup, kMlPerLLabel, c.oxygenUnit == OxygenUnit::MlPerL);
  oxMg_ = Radio(oxBox, oxGroup, kMgPerLLabel, c.oxygenUnit == OxygenUnit::MgPerL);
  oxUmol_ = Radio(oxBox, oxGroup, kMicroMolPerLLabel, c.oxygenUnit == OxygenUnit::MicroMolPerL);
  fixedTemperature_ = Edit(oxBox, model_.fixedTemperature);
  fixedSalinity_ = Edit(oxBox, model_.fixedSalinity);
  og->addWidget(oxygen_, 0, 0, 1, 3);
  og->addWidget(oxMl_, 1, 0);
  og->addWidget(oxMg_, 1, 1);
  og->addWidget(oxUmol_, 1, 2);
  og->addWidget(new QLabel(FromLatin1(kFixedTemperatureLabel), oxBox), 2, 0, 1, 2);
  og->addWidget(fixedTemperature_, 2, 2);
  og->addWidget(new QLabel(FromLatin1(kFixedSalinityLabel), oxBox), 3, 0, 1, 2);
  og->addWidget(fixedSalinity_, 3, 2);
  optodeConc_ = new QCheckBox(FromLatin1(kOptodeConcentrationLabel), oxBox);
  optodeConc_->setChecked(c.optodeConcentrationOn);
  auto* optGroup = new QButtonGroup(this);
  optMl_ = Radio(oxBox, optGroup, kMlPerLLabel, c.optodeUnit == OxygenUnit::MlPerL);
  optMg_ = Radio(oxBox, optGroup, kMgPerLLabel, c.optodeUnit == OxygenUnit::MgPerL);
  og->addWidget(optodeConc_, 4, 0);
  og->addWidget(optMl_, 4, 1);
  og->addWidget(optMg_, 4, 2);
  optodeSat_ = new QCheckBox(FromLatin1(kOptodeSaturationLabel), oxBox);
  optodeSat_->setChecked(c.optodeSaturationOn);
  og->addWidget(optodeSat_, 5, 0, 1, 3);
  layout->addWidget(oxBox);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &DerivedUnitsView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QLineEdit* DerivedUnitsView::field(DerivedUnitsField f) const {
  switch (f) {
    case DerivedUnitsField::AtmosphericPressure: return pressure_;
    case DerivedUnitsField::LatitudeDegrees: return latDegrees_;
    case DerivedUnitsField::LatitudeMinutes: return latMinutes_;
    case DerivedUnitsField::Density: return density_;
    case DerivedUnitsField::FixedTemperature: return fixedTemperature_;
    case DerivedUnitsField::FixedSalinity: return fixedSalinity_;
    default: return nullptr;
  }
}

void DerivedUnitsView::collect() {
  DerivedUnits& c = model_.choices;
  c.depthOn = depth_->isChecked();
  c.depthSeawater = seawater_->isChecked();
  c.salinityOn = salinity_->isChecked();
  c.specificConductivityOn = specific_->isChecked();
  c.soundSpeedOn = sound_->isChecked();
  c.soundSpeed = delGrosso_->isChecked() ? SoundSpeedEquation::DelGrosso
                 : wilson_->isChecked()  ? SoundSpeedEquation::Wilson
                                         : SoundSpeedEquation::Unesco;
  c.oxygenOn = oxygen_->isChecked();
  c.oxygenUnit = oxMg_->isChecked()     ? OxygenUnit::MgPerL
                 : oxUmol_->isChecked() ? OxygenUnit::MicroMolPerL
                                        : OxygenUnit::MlPerL;
  c.optodeConcentrationOn = optodeConc_->isChecked();
  c.optodeUnit = optMg_->isChecked() ? OxygenUnit::MgPerL : OxygenUnit::MlPerL;
  c.optodeSaturationOn = optodeSat_->isChecked();
  model_.atmosphericPressure = ToLatin1(pressure_->text());
  model_.latitudeDegrees = ToLatin1(latDegrees_->text());
  model_.latitudeMinutes = ToLatin1(latMinutes_->text());
  model_.density = ToLatin1(density_->text());
  model_.fixedTemperature = ToLatin1(fixedTemperature_->text());
  model_.fixedSalinity = ToLatin1(fixedSalinity_->text());
}

void DerivedUnitsView::accept() {
  collect();
  if (DerivedUnitsOk(s_, model_)) {
    QDialog::accept();
    return;
  }
  if (QLineEdit* wrong = field(model_.focus)) {
    wrong->setFocus();
    wrong->selectAll();
  }
}

int RunDerivedUnits(Session& s, QWidget* parent) {
  DerivedUnitsView view(s, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace kts::gui
