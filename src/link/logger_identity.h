// Who the connected logger is, and the state of the connection to it.
#pragma once

#include <cstdint>
#include <string>

#include "core/time_record.h"

namespace kts {

struct LoggerIdentity {
  std::string model = "UNKNOWN";
  float firmware = 0.0f;
  int serial = 0;
  bool extended = false;  // firmware above 4.99: the extended command set
};

// Firmware versions are compared with two decimals (1.50, 2.15, 4.99 …).
inline int FirmwareHundredths(float firmware) {
  return static_cast<int>(firmware * 100.0f + (firmware >= 0 ? 0.5f : -0.5f));
}
inline bool FirmwareAtLeast(const LoggerIdentity& id, double version) {
  return FirmwareHundredths(id.firmware) >= static_cast<int>(version * 100.0 + 0.5);
}
inline bool FirmwareAbove(const LoggerIdentity& id, double version) {
  return FirmwareHundredths(id.firmware) > static_cast<int>(version * 100.0 + 0.5);
}

// Model families, as the model word names them.
inline bool IsQzFamily(const LoggerIdentity& id) { return id.model.find("QZ") != std::string::npos; }
inline bool IsHvModel(const LoggerIdentity& id) { return id.model.find("HV") != std::string::npos; }
inline bool IsLvModel(const LoggerIdentity& id) { return id.model.find("LV") != std::string::npos; }

// Three tables are read once per logger; a new logger sets the flags again.
struct RereadFlags {
  bool capabilities = true;
  bool coefficients = true;
  bool configuration = true;
};

struct LinkState {
  bool connected = false;
  LoggerIdentity identity;
  // The logger last connected: serial −1 before the first connection.
  int previousSerial = -1;
  float previousFirmware = 0.0f;
  std::string previousModel;
  RereadFlags reread;
  int savedRate = 0;  // the rate before a speed-up for retrieval

  // Last values read by the queries of the command set.
  int status = 0;            // 0..8, names in status_names
  int statusSecondByte = 0;  // extended loggers
  TimeRecord loggerClock;    // "B"
  uint32_t memoryPointer = 0;
  uint32_t averagingLength = 1;  // "X": raw count, 1 when averaging is off
  int battery = -1;               // "!D": the two-digit hexadecimal reading
  char memoryPointerReply[16] = {};  // the "G" reply text, e.g. "00E07F00CDP"
};

}  // namespace kts
