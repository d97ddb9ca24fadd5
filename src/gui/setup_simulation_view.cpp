#include "gui/setup_simulation_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/session.h"
#include "frame/setup_simulation.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

// The QZ sensors; false when cancelled.
bool ChooseQzSensors(Session& s, QWidget* parent, QzSensorChoice* out) {
  QDialog d(parent);
  d.setObjectName("qzSimulation");
  d.setWindowTitle(DialogTitle(s, kQzSimulationTitle));
  auto* layout = new QVBoxLayout(&d);
  std::vector<QCheckBox*> boxes;
  for (const char* sensor : kQzSensors) {
    boxes.push_back(new QCheckBox(sensor, &d));
    layout->addWidget(boxes.back());
  }
  auto* string = new QComboBox(&d);
  string->addItems({"No thermistor string", "Thermistor string - 8 elements",
                    "Thermistor string - 16 elements", "Thermistor string - 24 elements"});
  layout->addWidget(string);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    QzSensorChoice c;
    for (size_t i = 0; i < boxes.size(); ++i) c.sensors[i] = boxes[i]->isChecked();
    c.thermistorElements = kThermistorElements[static_cast<size_t>(string->currentIndex())];
    *out = c;
    d.accept();
  });
  return d.exec() == QDialog::Accepted;
}

}  // namespace

int RunSetupSimulation(Session& s, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("setupSimulation");
  d.setWindowTitle(DialogTitle(s, kSetupSimulationTitle));
  auto* layout = new QVBoxLayout(&d);
  layout->addWidget(new QLabel(kSetupSimulationPrompt, &d));
  auto* list = new QListWidget(&d);
  for (const char* model : kSimulatedModels) list->addItem(model);
  list->setCurrentRow(0);
  layout->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &d, &QDialog::accept);
  while (d.exec() == QDialog::Accepted) {
    const int choice = list->currentRow();
    QzSensorChoice sensors;
    if (SimulationNeedsSensors(choice)) {
      // A refused choice of sensors asks again; cancelling goes back to the list.
      bool applied = false;
      while (ChooseQzSensors(s, &d, &sensors)) {
        if ((applied = ApplySetupSimulation(s, choice, sensors))) break;
      }
      if (applied) return 1;
      continue;
    }
    if (ApplySetupSimulation(s, choice)) return 1;
  }
  return 0;
}

}  // namespace kts::gui
