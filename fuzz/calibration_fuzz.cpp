// Calibration coefficients read from arbitrary replies (all three logger
// generations), and arbitrary clipboard texts and history headers.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/session.h"
#include "link/calibration_dialog.h"
#include "link/coefficients.h"
#include "link/serial_link.h"
#include "null_ui.h"
#include "platform/clipboard.h"
#include "scripted_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kts;
  if (size < 2) return 0;
  static fuzz::NullUi ui;
  static fuzz::InstantClock clock;
  static fuzz::ScriptedOpener opener;
  static NoClipboard clipboard;
  static Session s(ui, clock, opener, clipboard);

  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  double numbers[4];
  ScanClipboardNumbers(text, numbers);
  double value;
  ParseCoefficientText(text, &value);
  bool complete;
  std::array<int, 6> date;
  ParseHistoryHeader(text, &complete, &date);

  opener.feed(data + 2, size - 2);
  s.link = LinkState{};
  s.description = LoggerDescription{};
  s.coefficients = CoefficientSet{};
  s.ports.loggerDevice = "fuzz";
  OpenCommPort(s, PortRole::Logger, 19200, 0);
  switch (data[0] % 3) {
    case 0:
      s.link.identity = {"QZ-740", 6.51f, 1, true};
      break;
    case 1:
      s.link.identity = {"QZ-740", 4.30f, 1, false};
      break;
    default:
      s.link.identity = {"LV-3070", 3.20f, 1, false};
      break;
  }
  s.description.channelCount = 1 + data[1] % 24;
  for (int k = 0; k < s.description.channelCount; ++k) s.description.channelTypes[k] = 'T';
  ReadCoefficients(s);
  return 0;
}
