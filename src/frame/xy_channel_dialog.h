// "KTS Logger - x-y Plot X Channel Choice": which channel goes across.
#pragma once

#include <string>
#include <string_view>

namespace kts {

struct Session;

inline constexpr const char* kXyDialogTitle = "KTS Logger - x-y Plot X Channel Choice";
inline constexpr const char* kXyDialogPrompt = "Which channel is to be x?";

struct XyChannelDialog {
  int channelCount = 1;
  int channel = 1;  // 1-based, as shown

  explicit XyChannelDialog(int channels);
  // The spin control: one up or down, staying within 1 … channelCount.
  void stepUp();
  void stepDown();
  // A typed number; text that is not a number leaves the choice as it was
  // and returns false.
  bool setText(std::string_view text);
  // The channel to put across (0-based): a number above the channel count
  // (or below 1) becomes channel 1.
  int chosenChannel() const;
};

// The "x-y Plot" button: in a time plot `confirmed` is the confirmed dialog
// (null when cancelled, which leaves the time plot); in x-y mode it returns
// to the time plot. Returns whether the mode changed.
bool ToggleXyPlot(Session& s, const XyChannelDialog* confirmed);

}  // namespace kts
