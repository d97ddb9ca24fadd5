#include "link/calibration_dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/channel_types.h"
#include "core/session.h"
#include "core/text.h"
#include "link/commands.h"
#include "link/connection.h"

namespace kts {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A number at the start of text (an optional sign, then what from_chars
// reads); its length in *used. Only finite numbers count.
bool NumberPrefix(std::string_view text, double* value, size_t* used) {
  size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at >= text.size() || text[at] == '+' || text[at] == '-') return false;
  double v = 0;
  const auto r = std::from_chars(text.data() + at, text.data() + text.size(), v);
  if (r.ec != std::errc() || !std::isfinite(v)) return false;
  *value = negative ? -v : v;
  *used = static_cast<size_t>(r.ptr - text.data());
  return true;
}

void ShowField(CalibrationDialog& d, size_t channel, size_t coefficient) {
  d.shown[channel][coefficient] = CoefficientFieldText(d.working[channel][coefficient]);
  d.fields[channel][coefficient] = d.shown[channel][coefficient];
}

bool IsIdle(int status) {
  return status == 0 || status == 4 || status == 8;
}

}  // namespace

std::string CoefficientFieldText(double value) {
  return Format("%.15f", value);
}

bool ParseCoefficientText(std::string_view text, double* value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  size_t used = 0;
  double v = 0;
  if (!NumberPrefix(text, &v, &used) || used != text.size()) return false;
  *value = v;
  return true;
}

int ScanClipboardNumbers(std::string_view text, double out[4]) {
  int count = 0;
  while (count < 4) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    size_t used = 0;
    if (!NumberPrefix(text, &out[count], &used)) break;
    text.remove_prefix(used);
    ++count;
  }
  return count;
}

void OpenCalibrationDialog(Session& s, CalibrationDialog& d) {
  d = CalibrationDialog{};
  s.link.reread.coefficients = true;
  d.identityText = IdentityText(s.link.identity);
  switch (GenerationOf(s.link.identity)) {
    case CalibrationGeneration::History:
      break;  // the set already held
    case CalibrationGeneration::Flash:
      CommGet(s, 16);
      CommGet(s, 10);
      break;
    case CalibrationGeneration::Single:
      CommGet(s, 10);
      break;
  }
  d.channels = std::clamp(s.description.channelCount, 1, kMaxChannels);
  d.working = s.coefficients.c;
  d.original = s.coefficients.c;
  for (size_t k = 0; k < static_cast<size_t>(d.channels); ++k) {
    std::string label = ChannelListText(s.description.channelTypes[k], static_cast<int>(k) + 1);
    label.erase(std::remove(label.begin(), label.end(), '\t'), label.end());
    d.rowLabels[k] = label.empty() ? Format("%d", static_cast<int>(k) + 1) : label;
    for (size_t i = 0; i < 4; ++i) ShowField(d, k, i);
  }
  d.visibleRows = std::min(CalibrationDialog::kRows, d.channels);
  d.scrollBarVisible = d.channels >= CalibrationDialog::kRows;
  d.scrollMaximum = std::max(1, d.channels - 3);
  if (!IsIdle(s.link.status)) {
    d.setButtonText = "Logging";
    d.setButtonEnabled = false;
    d.clipboardButtonText = "Logging: Stop from 'Setup'";
    d.clipboardButtonEnabled = false;
  }
}

void ScrollCalibrationDialog(CalibrationDialog& d, int position) {
  d.topChannel = std::clamp(position, d.scrollMinimum, d.scrollMaximum) - 1;
}

void FocusCalibrationField(CalibrationDialog& d, int channel, int coefficient) {
  if (channel < 0 || channel >= d.channels || coefficient < 0 || coefficient > 3) return;
  d.focusChannel = channel;
}

void LoadColumnFromClipboard(Session& s, CalibrationDialog& d) {
  if (!d.clipboardButtonEnabled) return;
  std::string text;
  const Clipboard::Result r = s.clipboard.getText(text);
  if (r == Clipboard::Result::Unavailable) {
    s.ui.message(
        {"No clipboard available.\nAnother application holds the clipboard.\nRelease the "
         "clipboard from the other application and try again.",
         "Open Clipboard", Icon::Warning, Buttons::Ok, Answer::Ok});
    return;
  }
  if (r != Clipboard::Result::Ok || text.empty()) {
    s.ui.message(
        {"No data available on the clipboard.\nLoad the clipboard with calibration data "
         "and try again.",
         "Read Clipboard", Icon::Warning, Buttons::Ok, Answer::Ok});
    return;
  }
  double values[4];
  const int count = ScanClipboardNumbers(text, values);
  const size_t row = static_cast<size_t>(std::clamp(d.focusChannel, 0, d.channels - 1));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    d.working[row][i] = values[i];
    ShowField(d, row, i);
  }
  if (count == 0)
    s.ui.message({"WARNING\nNo items read from clipboard.", "Copy Clipboard", Icon::Warning,
                  Buttons::Ok, Answer::Ok});
  else if (count < 4)
    s.ui.message({Format("WARNING\nOnly %d items read from clipboard.", count), "Copy Clipboard",
                  Icon::Warning, Buttons::Ok, Answer::Ok});
}

CalibrationOutcome SetCalibration(Session& s, CalibrationDialog& d) {
  if (!d.setButtonEnabled) return CalibrationOutcome::Declined;
  for (size_t k = 0; k < static_cast<size_t>(d.channels); ++k) {
    for (size_t i = 0; i < 4; ++i) {
      if (d.fields[k][i] == d.shown[k][i]) continue;  // untouched: the exact value stands
      double v = 0;
      if (!ParseCoefficientText(d.fields[k][i], &v)) {
        s.ui.message({Format("Coefficient %d for channel %d is not a valid number",
                             static_cast<int>(i) + 1, static_cast<int>(k) + 1),
                      "Calibration", Icon::Warning, Buttons::Ok, Answer::Ok});
        return CalibrationOutcome::Invalid;
      }
      d.working[k][i] = v;
      d.shown[k][i] = d.fields[k][i];
    }
  }
  const bool unchanged =
      std::equal(d.working.begin(), d.working.begin() + d.channels, d.original.begin());
  if (!s.coefficients.notCalibrated && unchanged) {
    s.ui.message({"Calibration coefficients unchanged.\nNot duplicated in the logger.",
                  "Calibration", Icon::Information, Buttons::Ok, Answer::Ok});
    return CalibrationOutcome::Unchanged;
  }
  const Answer answer = s.ui.message({"Are you sure you wish to load these constants?",
                                      "Calibration", Icon::Question, Buttons::YesNo, Answer::No});
  if (answer != Answer::Yes) return CalibrationOutcome::Declined;
  std::copy(d.working.begin(), d.working.begin() + d.channels, s.coefficients.c.begin());
  return CalibrationOutcome::Accepted;
}

}  // namespace kts
