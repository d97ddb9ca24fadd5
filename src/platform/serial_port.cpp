#include "platform/serial_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kts {
namespace {

speed_t StandardSpeed(int baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SetModemLine(int fd, int line, bool on) {
  int bits = line;
  // Results are ignored: a pseudo-terminal has no modem lines.
  (void)ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

// The line-setting record applied at every open.
void ApplyLoggerLineSettings(int fd, int baud, int rtsMode) {
  struct termios t {};
  if (tcgetattr(fd, &t) != 0) return;
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      IXON | IXOFF | IXANY | INPCK);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  if ((rtsMode & 3) == 2) t.c_cflag |= CRTSCTS;  // RTS handshake
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  const speed_t speed = StandardSpeed(baud);
  if (speed != B0) {
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
  }
  (void)tcsetattr(fd, TCSANOW, &t);
  if (speed == B0) (void)SetCustomBaud(fd, baud);
  SetModemLine(fd, TIOCM_DTR, false);
  SetModemLine(fd, TIOCM_RTS, (rtsMode & 3) == 1 || (rtsMode & 3) == 3);
}

// Opens a device exclusively; -1 with the reason on failure.
int OpenExclusive(const std::string& device, OpenFailure* why) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (why) {
      switch (errno) {
        case ENOENT:
        case ENODEV:
        case ENXIO: *why = OpenFailure::Missing; break;
        case EACCES:
        case EPERM: *why = OpenFailure::Permission; break;
        case EBUSY: *why = OpenFailure::Held; break;
        default: *why = OpenFailure::Other; break;
      }
    }
    return -1;
  }
  if (!isatty(fd)) {
    ::close(fd);
    if (why) *why = OpenFailure::NotATerminal;
    return -1;
  }
  // The advisory lock is what keeps a second program out even for root,
  // which TIOCEXCL does not stop.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    if (why) *why = OpenFailure::Held;
    return -1;
  }
  (void)ioctl(fd, TIOCEXCL);
  if (why) *why = OpenFailure::None;
  return fd;
}

}  // namespace

bool IsSupportedBaud(int baud) { return StandardSpeed(baud) != B0 || baud == 28800; }

TermiosPort::~TermiosPort() {
  if (fd_ >= 0) {
    (void)ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
}

int TermiosPort::read(uint8_t* buffer, int n, int timeoutMs) {
  if (n <= 0) return 0;
  const int64_t deadline = NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
  int got = 0;
  while (got < n) {
    const int64_t left = deadline - NowMs();
    if (left <= 0) break;
    struct pollfd p {fd_, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(left));
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (r == 0) break;
    if (p.revents & POLLIN) {
      const ssize_t k = ::read(fd_, buffer + got, static_cast<size_t>(n - got));
      if (k > 0) {
        got += static_cast<int>(k);
        continue;
      }
      if (k < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    }
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      // Nobody at the other end: the line stays silent until the time-out.
      const int64_t rest = deadline - NowMs();
      if (rest > 0) std::this_thread::sleep_for(std::chrono::milliseconds(rest));
      break;
    }
  }
  return got;
}

int TermiosPort::write(const uint8_t* data, int n, int timeoutMs) {
  const int64_t deadline = NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
  int sent = 0;
  while (sent < n) {
    const ssize_t k = ::write(fd_, data + sent, static_cast<size_t>(n - sent));
    if (k > 0) {
      sent += static_cast<int>(k);
      continue;
    }
    if (k < 0 && errno != EAGAIN && errno != EINTR) break;
    const int64_t left = deadline - NowMs();
    if (left <= 0) break;
    struct pollfd p {fd_, POLLOUT, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
  }
  return sent;
}

bool TermiosPort::setBaud(int baud) {
  if (!IsSupportedBaud(baud)) return false;
  struct termios t {};
  if (tcgetattr(fd_, &t) != 0) return false;
  const speed_t speed = StandardSpeed(baud);
  bool ok;
  if (speed != B0) {
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    ok = tcsetattr(fd_, TCSANOW, &t) == 0;
  } else {
    ok = SetCustomBaud(fd_, baud);
  }
  if (ok) baud_ = baud;
  return ok;
}

void TermiosPort::discardInput() { (void)tcflush(fd_, TCIFLUSH); }

void TermiosPort::restore(const LineSettings& saved) {
  if (saved.valid) {
    struct termios t = saved.tio;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    (void)tcsetattr(fd_, TCSANOW, &t);
  }
  SetModemLine(fd_, TIOCM_RTS, false);
}

std::unique_ptr<ByteLink> TermiosOpener::open(const std::string& device, int baud, int rtsMode,
                                              OpenFailure* why) {
  const int fd = OpenExclusive(device, why);
  if (fd < 0) return nullptr;
  ApplyLoggerLineSettings(fd, baud, rtsMode);
  return std::make_unique<TermiosPort>(fd, baud, rtsMode);
}

bool TermiosOpener::probe(const std::string& device, LineSettings* found) {
  const int fd = OpenExclusive(device, nullptr);
  if (fd < 0) return false;
  if (found) found->valid = tcgetattr(fd, &found->tio) == 0;
  (void)ioctl(fd, TIOCNXCL);
  ::close(fd);
  return true;
}

}  // namespace kts
