#include "sim/pty_line.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include "platform/serial_port.h"

namespace kts::sim {

std::unique_ptr<PtyLine> PtyLine::Open(std::string* error) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  char name[128];
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
      ptsname_r(master, name, sizeof name) != 0) {
    if (error) *error = std::string("cannot open a pseudo-terminal: ") + strerror(errno);
    if (master >= 0) close(master);
    return nullptr;
  }
  // Raw from the start: with the usual echo on, the simulator's replies
  // would come back to it as commands before the host sets the line up.
  struct termios t {};
  if (tcgetattr(master, &t) == 0) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    (void)tcsetattr(master, TCSANOW, &t);
  }
  return std::unique_ptr<PtyLine>(new PtyLine(master, name));
}

PtyLine::~PtyLine() {
  if (master_ >= 0) close(master_);
}

int PtyLine::lineBaud() const {
  return ReadLineBaud(master_);
}

int PtyLine::read(uint8_t* buffer, int n) {
  const ssize_t k = ::read(master_, buffer, static_cast<size_t>(n));
  if (k > 0) return static_cast<int>(k);
  if (k < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  return -1;  // EIO: nobody has the slave open
}

int PtyLine::write(const uint8_t* data, int n) {
  const ssize_t k = ::write(master_, data, static_cast<size_t>(n));
  if (k >= 0) return static_cast<int>(k);
  if (errno == EAGAIN || errno == EINTR) return 0;
  return -1;
}

}  // namespace kts::sim
