// The "Real-time Limits Control Panel": maximum and minimum per quantity.
#pragma once

#include <QDialog>
#include <array>

#include "data/settings.h"

class QSpinBox;

namespace kts {
struct Session;
}

namespace kts::gui {

inline constexpr const char* kLimitsTitle = "Real-time Limits Control Panel";

class LimitsView : public QDialog {
  Q_OBJECT
 public:
  LimitsView(Session& s, QWidget* parent = nullptr);

  QSpinBox* maximum(int group) const { return max_[static_cast<size_t>(group)]; }
  QSpinBox* minimum(int group) const { return min_[static_cast<size_t>(group)]; }
  const std::array<RealTimeLimit, kLimitGroups>& working() const { return working_; }

 private:
  void show(int group);

  std::array<RealTimeLimit, kLimitGroups> working_;
  std::array<QSpinBox*, kLimitGroups> max_{};
  std::array<QSpinBox*, kLimitGroups> min_{};
  bool updating_ = false;
};

// 1 when OK took the limits (the caller writes the limits file).
int RunLimits(Session& s, QWidget* parent);

}  // namespace kts::gui
