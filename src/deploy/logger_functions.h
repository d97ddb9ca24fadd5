// Three logger settings changed outside a deployment, each a short dialog:
// the output format of fetched and real-time data, the default baud rate,
// and the latency of the configuration table.
#pragma once

#include <string>
#include <vector>

namespace kts {

struct Session;

// A logger that is logging or enabled refuses these; the message names the
// operation ("Cannot set the default baudrate at this time." …).
enum class LoggerFunction { DefaultBaud, Latency };
int RefuseBusyLogger(Session& s, LoggerFunction f);

struct OutputFormatDialog {
  static constexpr const char* kTitle = "Communiation Format";
  std::string text;
  bool okShown = false;
  std::string okText;
};
// Reads the start characteristic the logger holds, so that the format shown
// is the logger's and the one sent back keeps its other settings. 0 when
// the logger could not be read.
int editOutputFormat(Session& s, OutputFormatDialog& dialog);
// OK: the other format. 1 when the logger took it; otherwise the format
// stays as it was.
int AcceptOutputFormat(Session& s, OutputFormatDialog& dialog);

struct DefaultBaudDialog {
  static constexpr const char* kTitle = "Set Default Baud Rate";
  static constexpr const char* kListLabel = "Default baud rate:";
  std::vector<int> rates;
  int selected = 0;
  int current = 0;  // 0 when it could not be read
};
// 0 when the dialog cannot open (the configuration could not be read, or
// the logger's rate cannot be set this way).
int editDefaultBaud(Session& s, DefaultBaudDialog& dialog);
// OK with the selected entry: 1 when the logger answers at the new rate.
int AcceptDefaultBaud(Session& s, DefaultBaudDialog& dialog);

struct LatencyDialog {
  static constexpr const char* kTitle = "Set latency";
  static constexpr const char* kFieldLabel = "Required Latency (ms):";
  static constexpr int kMaxLatencyMs = 655'350;
  std::string latencyText;
  bool open = false;
};
int editLatency(Session& s, LatencyDialog& dialog);
// OK with the text of the field: 1 (and the dialog closes) when the logger
// holds the new latency; after an error the dialog stays open.
int AcceptLatency(Session& s, LatencyDialog& dialog, const std::string& text);

}  // namespace kts
