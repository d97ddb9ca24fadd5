#include "link/range_switching_dialog.h"

#include <algorithm>

#include "convert/channel_types.h"
#include "core/text.h"

namespace kts {
namespace {

int GainOf(uint8_t r) {
  return (r >> 3) & 3;
}
int RangeOf(uint8_t r) {
  return (r >> 5) & 3;
}
uint8_t WithGain(uint8_t r, int gain) {
  return static_cast<uint8_t>((r & ~0x18) | (gain << 3));
}
uint8_t WithRangeBits(uint8_t r, int bits) {
  return static_cast<uint8_t>((r & 0x1F) | ((bits & 7) << 5));
}

}  // namespace

std::array<const char*, 4> RangeChoices(uint8_t letter) {
  switch (letter) {
    case 'Y':
    case 'y':
      return {"25FTU", "125FTU", "500FTU", "2500FTU"};
    case 'F':
    case 'f':
    case 'G':
    case 'g':
      return {"5ug/l", "15ug/l", "50ug/l", "150ug/l"};
    case 'I':
    case 'i':
      return {"50QSU", "15QSU", "500QSU", "1500QSU"};
    default:
      return {};
  }
}

RangeSwitchingDialog::RangeSwitchingDialog(LoggerDescription& d)
    : d_(d), capsBackup_(d.extendedChannelCaps), rangeBackup_(d.rangeSwitching) {
  const int channels = std::clamp(d.channelCount, 0, kMaxChannels);
  for (int c = 0; c < channels; ++c) {
    const uint8_t caps = d.extendedChannelCaps[static_cast<size_t>(c) + 1];
    const uint8_t r = d.rangeSwitching[static_cast<size_t>(c) + 1];
    if (!(caps & 0x02) && GainOf(r) < 3) channels_.push_back(c);
  }
}

void RangeSwitchingDialog::scrollTo(int position) {
  if (channels_.empty()) return;
  firstShown_ = std::clamp(position, 1, listedCount()) - 1;
}

std::vector<int> RangeSwitchingDialog::shownRows() const {
  std::vector<int> rows;
  for (int i = firstShown_; i < listedCount() && i < firstShown_ + kRowsShown; ++i)
    rows.push_back(i);
  return rows;
}

uint8_t& RangeSwitchingDialog::rangeByte(int listed) {
  return d_.rangeSwitching[static_cast<size_t>(channels_[static_cast<size_t>(listed)]) + 1];
}

uint8_t RangeSwitchingDialog::rangeByte(int listed) const {
  return d_.rangeSwitching[static_cast<size_t>(channels_[static_cast<size_t>(listed)]) + 1];
}

RangeRowView RangeSwitchingDialog::row(int listed) const {
  RangeRowView v;
  if (listed < 0 || listed >= listedCount()) return v;
  v.channel = channels_[static_cast<size_t>(listed)];
  const uint8_t letter = d_.channelTypes[static_cast<size_t>(v.channel)];
  v.label = Format(RowOf(letter).listFormat, v.channel + 1);
  v.ranges = RangeChoices(letter);
  const uint8_t r = rangeByte(listed);
  v.autoRanging = GainOf(r) == 0;
  v.autoRangingAvailable = GainOf(r) != 2;
  v.rangeListEnabled = !v.autoRanging;
  v.selectedRange = RangeOf(r);
  return v;
}

bool RangeSwitchingDialog::chooseAutoRanging(int listed) {
  if (listed < 0 || listed >= listedCount()) return false;
  uint8_t& r = rangeByte(listed);
  if (GainOf(r) == 2) return false;  // this gain cannot autorange
  r = WithRangeBits(WithGain(r, 0), 7);
  okEnabled_ = true;
  return true;
}

bool RangeSwitchingDialog::chooseFixedGain(int listed) {
  if (listed < 0 || listed >= listedCount()) return false;
  uint8_t& r = rangeByte(listed);
  if (GainOf(r) <= 1) r = WithGain(r, 1);
  r = WithRangeBits(r, RangeOf(r) + 4);
  okEnabled_ = true;
  return true;
}

bool RangeSwitchingDialog::selectRange(int listed, int entry) {
  if (listed < 0 || listed >= listedCount() || entry < 0 || entry > 3) return false;
  uint8_t& r = rangeByte(listed);
  if (GainOf(r) == 0) return false;  // the list is disabled while auto-ranging
  r = WithRangeBits(r, entry + 4);
  okEnabled_ = true;
  return true;
}

int RangeSwitchingDialog::cancel() {
  d_.extendedChannelCaps = capsBackup_;
  d_.rangeSwitching = rangeBackup_;
  return -1;
}

}  // namespace kts
