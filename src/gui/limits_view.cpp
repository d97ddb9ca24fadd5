#include "gui/limits_view.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/session.h"
#include "data/realtime_limits.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {
namespace {

QSpinBox* Spin(QWidget* parent) {
  auto* b = new QSpinBox(parent);
  b->setRange(-100000, 100000);
  b->setKeyboardTracking(false);  // a half-typed number does not move its partner
  return b;
}

}  // namespace

LimitsView::LimitsView(Session& s, QWidget* parent)
    : QDialog(parent), working_(s.settings.limits) {
  setObjectName("limits");
  setWindowTitle(DialogTitle(s, kLimitsTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Maximum", this), 0, 1);
  grid->addWidget(new QLabel("Minimum", this), 0, 2);
  for (int g = 0; g < kLimitGroups; ++g) {
    const size_t i = static_cast<size_t>(g);
    grid->addWidget(new QLabel(LimitKey(g), this), g + 1, 0);
    max_[i] = Spin(this);
    min_[i] = Spin(this);
    grid->addWidget(max_[i], g + 1, 1);
    grid->addWidget(min_[i], g + 1, 2);
    show(g);
    connect(max_[i], &QSpinBox::valueChanged, this, [this, g, i](int v) {
      if (updating_) return;
      SetLimitMaximum(working_[i], v);
      show(g);
    });
    connect(min_[i], &QSpinBox::valueChanged, this, [this, g, i](int v) {
      if (updating_) return;
      SetLimitMinimum(working_[i], v);
      show(g);
    });
  }
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void LimitsView::show(int group) {
  const size_t i = static_cast<size_t>(group);
  updating_ = true;
  max_[i]->setValue(working_[i].maximum);
  min_[i]->setValue(working_[i].minimum);
  updating_ = false;
}

int RunLimits(Session& s, QWidget* parent) {
  LimitsView view(s, parent);
  if (view.exec() != QDialog::Accepted) return 0;
  s.settings.limits = view.working();
  return 1;
}

}  // namespace kts::gui
