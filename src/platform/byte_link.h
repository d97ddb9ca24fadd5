// The serial transport as the protocol sees it: a small table of operations
// with a termios implementation (serial_port.h) and in-memory ones for tests
// and fuzzing.
#pragma once

#include <termios.h>

#include <cstdint>
#include <memory>
#include <string>

namespace kts {

// A port's own line settings as found before we touched it, put back on close.
struct LineSettings {
  bool valid = false;
  struct termios tio {};
};

enum class OpenFailure { None, Missing, NotATerminal, Held, Permission, Other };

class ByteLink {
 public:
  virtual ~ByteLink() = default;
  // Reads until n bytes have arrived or timeoutMs has passed since the call.
  virtual int read(uint8_t* buffer, int n, int timeoutMs) = 0;
  virtual int write(const uint8_t* data, int n, int timeoutMs) = 0;
  virtual bool setBaud(int baud) = 0;
  virtual int baud() const = 0;
  virtual int rtsMode() const { return 0; }
  // Discards whatever has arrived and not been read.
  virtual void discardInput() {}
  // Puts back the settings found at the scan, with RTS off, before closing.
  virtual void restore(const LineSettings&) {}
};

class PortOpener {
 public:
  virtual ~PortOpener() = default;
  // Opens the device exclusively with the logger's line settings.
  virtual std::unique_ptr<ByteLink> open(const std::string& device, int baud, int rtsMode,
                                         OpenFailure* why) = 0;
  // Start-up scan: can the device be opened exclusively? Its settings go to `found`.
  virtual bool probe(const std::string& device, LineSettings* found) = 0;
};

}  // namespace kts
