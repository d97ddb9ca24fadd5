#include "test_session.h"

#include "link/serial_link.h"

namespace kts::test {

bool TestSession::openLogger(const std::string& device, int baud) {
  s.ports.loggerDevice = device;
  s.ports.currentBaud = baud;
  return OpenCommPort(s, PortRole::Logger, baud, 0);
}

}  // namespace kts::test
