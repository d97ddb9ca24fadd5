// The termios serial port: exclusive (TIOCEXCL plus an advisory lock), raw
// 8N1, no flow control, DTR held off, RTS by mode, time-outs with poll.
#pragma once

#include "platform/byte_link.h"

namespace kts {

class TermiosPort final : public ByteLink {
 public:
  TermiosPort(int fd, int baud, int rtsMode) : fd_(fd), baud_(baud), rtsMode_(rtsMode) {}
  ~TermiosPort() override;
  TermiosPort(const TermiosPort&) = delete;
  TermiosPort& operator=(const TermiosPort&) = delete;

  int read(uint8_t* buffer, int n, int timeoutMs) override;
  int write(const uint8_t* data, int n, int timeoutMs) override;
  bool setBaud(int baud) override;
  int baud() const override { return baud_; }
  int rtsMode() const override { return rtsMode_; }
  void discardInput() override;
  void restore(const LineSettings& saved) override;

 private:
  int fd_;
  int baud_;
  int rtsMode_;
};

class TermiosOpener final : public PortOpener {
 public:
  std::unique_ptr<ByteLink> open(const std::string& device, int baud, int rtsMode,
                                 OpenFailure* why) override;
  bool probe(const std::string& device, LineSettings* found) override;
};

// Baud rates the port can be set to: the five standard rates and 28800,
// 38400, 57600, 115200.
bool IsSupportedBaud(int baud);

// Applies a rate that has no Bnnn constant (28800) through termios2; and the
// rate a descriptor is set to, as the kernel reports it.
bool SetCustomBaud(int fd, int baud);
int ReadLineBaud(int fd);

}  // namespace kts
