// "KTS Logger - Range switching channel setup": per channel, auto-ranging
// or a fixed gain with one of four ranges. Changes go into the range
// switching table at once; Cancel puts both tables back.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/logger_description.h"

namespace kts {

inline constexpr const char* kRangeSwitchingTitle = "KTS Logger - Range switching channel setup";

struct RangeRowView {
  int channel = 0;                      // 0-based
  std::string label;                    // e.g. "3 - Turbidity\t"
  std::array<const char*, 4> ranges{};  // null entries for a type without ranges
  bool autoRanging = false;             // which of the two choices is chosen
  bool autoRangingAvailable = true;
  bool rangeListEnabled = false;
  int selectedRange = 0;
};

class RangeSwitchingDialog {
 public:
  static constexpr int kRowsShown = 2;
  static constexpr int kOneRowWidth = 280;  // dialog units at 96 dots per inch

  // Lists the channels whose extended capability byte has bit 1 clear and
  // whose gain setting is below 3, and keeps a backup of both tables.
  explicit RangeSwitchingDialog(LoggerDescription& d);

  // No listed channel: the dialog ends at once with −1.
  bool empty() const { return channels_.empty(); }
  int listedCount() const { return static_cast<int>(channels_.size()); }
  bool oneRow() const { return channels_.size() == 1; }
  bool hasScrollBar() const { return channels_.size() > kRowsShown; }

  // Scroll bar position 1 … listedCount (page 2): the first row shown.
  void scrollTo(int position);
  int scrollPosition() const { return firstShown_ + 1; }
  // Listed indices of the rows on screen.
  std::vector<int> shownRows() const;

  RangeRowView row(int listed) const;

  // The row's choices; false (nothing changed) for a row or choice that is
  // not available.
  bool chooseAutoRanging(int listed);
  bool chooseFixedGain(int listed);
  bool selectRange(int listed, int entry);

  bool okEnabled() const { return okEnabled_; }
  int ok() const { return 0; }  // the caller then writes the tables
  int cancel();                 // −1, with both tables as they were

 private:
  uint8_t& rangeByte(int listed);
  uint8_t rangeByte(int listed) const;

  LoggerDescription& d_;
  std::array<uint8_t, 26> capsBackup_;
  std::array<uint8_t, 26> rangeBackup_;
  std::vector<int> channels_;
  int firstShown_ = 0;
  bool okEnabled_ = false;
};

// The four ranges of a type letter, in list order; null for other types.
std::array<const char*, 4> RangeChoices(uint8_t letter);

}  // namespace kts
