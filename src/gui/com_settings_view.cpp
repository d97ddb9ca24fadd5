#include "gui/com_settings_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

void Fill(QComboBox* box, const std::vector<std::string>& items, int selection) {
  for (const auto& item : items) box->addItem(FromLatin1(item));
  box->setCurrentIndex(selection);  // −1: nothing shown, the current port is kept
}

}  // namespace

ComSettingsView::ComSettingsView(Session& s, QWidget* parent)
    : QDialog(parent), s_(s), model_(OpenComSettings(s)) {
  setObjectName("comSettings");
  setWindowTitle(DialogTitle(s, kComSettingsTitle));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  logger_ = new QComboBox(this);
  gps_ = new QComboBox(this);
  rate_ = new QComboBox(this);
  Fill(logger_, model_.loggerPorts, model_.loggerSelection);
  Fill(gps_, model_.gpsPorts, model_.gpsSelection);
  Fill(rate_, model_.gpsRates, model_.gpsRateSelection);
  if (!s.ports.loggerDevice.empty()) {
    logger_->setPlaceholderText(FromLatin1(s.ports.loggerDevice));
    logger_->setToolTip(FromLatin1(s.ports.loggerDevice));
  }
  form->addRow("Logger port", logger_);
  form->addRow("GPS port", gps_);
  form->addRow("GPS baud rate", rate_);
  radio_ = new QCheckBox("Radio Modems used", this);
  radio_->setChecked(model_.radioModems);
  delay_ = new QLineEdit(FromLatin1(model_.radioDelayText), this);
  delay_->setMaxLength(6);
  auto* delayRow = new QHBoxLayout;
  delayRow->addWidget(delay_);
  delayRow->addWidget(new QLabel("msec", this));
  form->addRow(radio_, delayRow);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ComSettingsView::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(gps_, &QComboBox::currentIndexChanged, this, [this] { refreshEnabled(); });
  connect(radio_, &QCheckBox::toggled, this, [this] { refreshEnabled(); });
  refreshEnabled();
}

void ComSettingsView::refreshEnabled() {
  model_.gpsSelection = gps_->currentIndex();
  model_.radioModems = radio_->isChecked();
  rate_->setEnabled(model_.gpsRateEnabled());
  delay_->setEnabled(model_.radioDelayEnabled());
}

void ComSettingsView::accept() {
  model_.loggerSelection = logger_->currentIndex();
  model_.gpsSelection = gps_->currentIndex();
  model_.gpsRateSelection = rate_->currentIndex();
  model_.radioModems = radio_->isChecked();
  model_.radioDelayText = ToLatin1(delay_->text());
  if (ComSettingsOk(s_, model_)) QDialog::accept();
}

int RunComSettings(Session& s, QWidget* parent) {
  ComSettingsView view(s, parent);
  return view.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace kts::gui
