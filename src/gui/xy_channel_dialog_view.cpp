#include "gui/xy_channel_dialog_view.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kts::gui {
namespace {

// The spin arrows step within the channels; a typed number may go beyond
// them and the model decides what it means.
class ChannelSpinBox : public QSpinBox {
 public:
  ChannelSpinBox(XyChannelDialog& model, QWidget* parent) : QSpinBox(parent), model_(model) {
    setRange(-999, 999);
    setValue(model.channel);
  }
  void stepBy(int steps) override {
    model_.channel = value();
    for (; steps > 0; --steps) model_.stepUp();
    for (; steps < 0; ++steps) model_.stepDown();
    setValue(model_.channel);
  }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  XyChannelDialog& model_;
};

}  // namespace

XyChannelDialogView::XyChannelDialogView(XyChannelDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(QString::fromLatin1(kXyDialogTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromLatin1(kXyDialogPrompt), this));
  number_ = new ChannelSpinBox(model, this);
  layout->addWidget(number_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void XyChannelDialogView::accept() {
  model_.setText(number_->text().toStdString());
  QDialog::accept();
}

}  // namespace kts::gui
