#include "gui/range_switching_view.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/dialog_helpers.h"

namespace kts::gui {

RangeSwitchingView::RangeSwitchingView(Session& s, RangeSwitchingDialog& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("rangeSwitching");
  setWindowTitle(DialogTitle(s, kRangeSwitchingTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < rows_.size(); ++i) {
    Row& r = rows_[i];
    auto* box = new QWidget(this);
    auto* g = new QGridLayout(box);
    r.label = new QLabel(box);
    r.autoRanging = new QRadioButton("Auto-ranging", box);
    r.fixedGain = new QRadioButton("Fixed gain", box);
    auto* group = new QButtonGroup(box);
    group->addButton(r.autoRanging);
    group->addButton(r.fixedGain);
    r.ranges = new QComboBox(box);
    g->addWidget(r.label, 0, 0, 1, 2);
    g->addWidget(r.autoRanging, 1, 0);
    g->addWidget(r.fixedGain, 2, 0);
    g->addWidget(r.ranges, 2, 1);
    grid->addWidget(box, 0, static_cast<int>(i));
    connect(r.autoRanging, &QRadioButton::toggled, this, [this, i](bool on) {
      if (updating_ || !on) return;
      model_.chooseAutoRanging(rows_[i].listed);
      refresh();
    });
    connect(r.fixedGain, &QRadioButton::toggled, this, [this, i](bool on) {
      if (updating_ || !on) return;
      model_.chooseFixedGain(rows_[i].listed);
      refresh();
    });
    connect(r.ranges, &QComboBox::currentIndexChanged, this, [this, i](int entry) {
      if (updating_ || entry < 0) return;
      model_.selectRange(rows_[i].listed, entry);
      refresh();
    });
  }
  layout->addLayout(grid);
  if (model_.hasScrollBar()) {
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setRange(1, model_.listedCount());
    scroll_->setPageStep(2);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
      model_.scrollTo(v);
      refresh();
    });
    layout->addWidget(scroll_);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  if (model_.oneRow()) setFixedWidth(static_cast<int>(RangeSwitchingDialog::kOneRowWidth *
                                                      logicalDpiX() / 96.0));
  refresh();
}

void RangeSwitchingView::refresh() {
  updating_ = true;
  const std::vector<int> shown = model_.shownRows();
  for (size_t i = 0; i < rows_.size(); ++i) {
    Row& r = rows_[i];
    r.listed = i < shown.size() ? shown[i] : -1;
    const bool visible = r.listed >= 0;
    for (QWidget* w : std::initializer_list<QWidget*>{r.label, r.autoRanging, r.fixedGain, r.ranges})
      w->setVisible(visible);
    if (!visible) continue;
    const RangeRowView v = model_.row(r.listed);
    r.label->setText(FromLatin1(v.label).trimmed());
    r.autoRanging->setChecked(v.autoRanging);
    r.fixedGain->setChecked(!v.autoRanging);
    r.autoRanging->setEnabled(v.autoRangingAvailable);
    r.ranges->clear();
    for (const char* range : v.ranges)
      if (range) r.ranges->addItem(range);
    r.ranges->setCurrentIndex(v.selectedRange);
    r.ranges->setEnabled(v.rangeListEnabled);
  }
  if (scroll_) scroll_->setValue(model_.scrollPosition());
  ok_->setEnabled(model_.okEnabled());
  updating_ = false;
}

int RunRangeSwitching(Session& s, LoggerDescription& d, QWidget* parent) {
  RangeSwitchingDialog model(d);
  if (model.empty()) return -1;
  RangeSwitchingView view(s, model, parent);
  return view.exec() == QDialog::Accepted ? model.ok() : model.cancel();
}

}  // namespace kts::gui
