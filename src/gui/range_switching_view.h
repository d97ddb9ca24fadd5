// "KTS Logger - Range switching channel setup" as a Qt dialog over its model:
// two channel rows at a time, a scroll bar when more are listed.
#pragma once

#include <QDialog>
#include <array>

#include "link/range_switching_dialog.h"

class QComboBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace kts {
struct Session;
}

namespace kts::gui {

class RangeSwitchingView : public QDialog {
  Q_OBJECT
 public:
  RangeSwitchingView(Session& s, RangeSwitchingDialog& model, QWidget* parent = nullptr);

  struct Row {
    QLabel* label = nullptr;
    QRadioButton* autoRanging = nullptr;
    QRadioButton* fixedGain = nullptr;
    QComboBox* ranges = nullptr;
    int listed = -1;  // the listed channel the row shows; −1 hidden
  };
  const Row& row(int i) const { return rows_[static_cast<size_t>(i)]; }
  QScrollBar* scrollBar() const { return scroll_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void refresh();

  RangeSwitchingDialog& model_;
  std::array<Row, RangeSwitchingDialog::kRowsShown> rows_;
  QScrollBar* scroll_ = nullptr;
  QPushButton* ok_ = nullptr;
  bool updating_ = false;
};

// 0 for OK (the caller writes the tables), −1 for Cancel or no channel.
int RunRangeSwitching(Session& s, LoggerDescription& d, QWidget* parent);

}  // namespace kts::gui
