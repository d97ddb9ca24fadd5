#include "frame/xy_channel_dialog.h"

#include <algorithm>
#include <charconv>

#include "core/session.h"
#include "frame/plot_model.h"

namespace kts {

XyChannelDialog::XyChannelDialog(int channels) : channelCount(std::max(1, channels)) {}

void XyChannelDialog::stepUp() {
  channel = std::clamp(channel + 1, 1, channelCount);
}
void XyChannelDialog::stepDown() {
  channel = std::clamp(channel - 1, 1, channelCount);
}

bool XyChannelDialog::setText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  channel = value;
  return true;
}

int XyChannelDialog::chosenChannel() const {
  return channel < 1 || channel > channelCount ? 0 : channel - 1;
}

bool ToggleXyPlot(Session& s, const XyChannelDialog* confirmed) {
  if (s.app.xyPlotMode) {
    EndXyPlot(s);
    return true;
  }
  if (confirmed == nullptr) return false;
  StartXyPlot(s, confirmed->chosenChannel());
  return true;
}

}  // namespace kts
