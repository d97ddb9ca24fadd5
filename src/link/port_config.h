// The serial ports as the user configured them and as the scan found them.
#pragma once

#include <array>
#include <string>

#include "platform/byte_link.h"
#include "platform/port_map.h"

namespace kts {

inline constexpr std::array<int, 5> kStandardRates{1200, 2400, 4800, 9600, 19200};

// Persisted as "Port=COM%1d", "GPSComm=…", "GPS baudrate=%d" and "Radio=%d".
struct PortConfig {
  int loggerPort = 1;         // COM number, 1..16
  std::string loggerDevice;   // a device path given directly; overrides loggerPort
  int gpsPort = 0;            // 0: "Not used"
  int gpsBaud = 4800;
  int defaultRateIndex = 4;   // index into kStandardRates of the rate the logger last answered at
  int currentBaud = 19200;    // the rate the logger port is (to be) opened at
  bool radioDelayEnabled = false;
  int radioDelayMs = 0;       // waited before every read from the logger port

  std::array<bool, kMaxComPort + 1> present{};           // set by the start-up scan
  std::array<LineSettings, kMaxComPort + 1> saved{};     // each port's settings as found
  LineSettings savedDirect;                              // same, for a device given directly
  PortMap map;

  // The device the logger port stands for, and how messages name it.
  std::string loggerDevicePath() const {
    return loggerDevice.empty() ? map.deviceFor(loggerPort) : loggerDevice;
  }
};

// The per-byte and constant time-outs of an open port, in milliseconds.
struct CommTimeouts {
  int readInterval = 0;
  int readMultiplier = 1;
  int readConstant = 20;
  int writeMultiplier = 1;
  int writeConstant = 20;
};

}  // namespace kts
