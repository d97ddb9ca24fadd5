#include "gui/setup_simulation_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/session.h"
#include "deploy/setup_simulation.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

constexpr const char* kSimulationTitle = "Setup simulation";
constexpr const char* kQzSimulationTitle = "QZ logger simulation";

// The QZ sensors; false when cancelled.
bool ChooseQzSensors(Session& s, QWidget* parent, QzSensors* out) {
  QDialog d(parent);
  d.setObjectName("qzSimulation");
  d.setWindowTitle(DialogTitle(s, kQzSimulationTitle));
  auto* layout = new QVBoxLayout(&d);
  struct Box {
    const char* text;
    bool QzSensors::*field;
  };
  const Box boxes[] = {{"Conductivity", &QzSensors::conductivity},
                       {"Temperature", &QzSensors::temperature},
                       {"Pressure", &QzSensors::pressure},
                       {"Dissolved oxygen", &QzSensors::oxygen},
                       {"Turbidity", &QzSensors::turbidity},
                       {"Fluorometry", &QzSensors::fluorometry},
                       {"PAR", &QzSensors::par},
                       {"pH", &QzSensors::ph},
                       {"Transmissometer", &QzSensors::transmissometer}};
  std::vector<QCheckBox*> checks;
  for (const Box& b : boxes) {
    checks.push_back(new QCheckBox(b.text, &d));
    layout->addWidget(checks.back());
  }
  auto* string = new QComboBox(&d);
  string->addItems({"No thermistor string", "Thermistor string - 8 elements",
                    "Thermistor string - 16 elements", "Thermistor string - 24 elements"});
  layout->addWidget(string);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  if (d.exec() != QDialog::Accepted) return false;
  QzSensors c;
  for (size_t i = 0; i < checks.size(); ++i) c.*(boxes[i].field) = checks[i]->isChecked();
  c.thermistorString = 8 * string->currentIndex();
  *out = c;
  return true;
}

}  // namespace

int RunSetupSimulation(Session& s, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("setupSimulation");
  d.setWindowTitle(DialogTitle(s, kSimulationTitle));
  auto* layout = new QVBoxLayout(&d);
  layout->addWidget(new QLabel(kSimulationPrompt, &d));
  auto* list = new QListWidget(&d);
  for (SimulatedModel m : kSimulatedModels) list->addItem(SimulatedModelName(m));
  list->setCurrentRow(0);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &d, &QDialog::accept);
  while (d.exec() == QDialog::Accepted) {
    const int row = list->currentRow();
    if (row < 0 || row >= static_cast<int>(kSimulatedModels.size())) continue;
    const SimulatedModel model = kSimulatedModels[static_cast<size_t>(row)];
    if (model != SimulatedModel::Qz740 && model != SimulatedModel::Qz760) {
      if (OpenSetupSimulation(s, model)) return 1;
      continue;
    }
    // A refused choice of sensors asks again; cancelling goes back to the list.
    QzSensors sensors;
    while (ChooseQzSensors(s, &d, &sensors))
      if (OpenSetupSimulation(s, model, sensors)) return 1;
  }
  return 0;
}

}  // namespace kts::gui
