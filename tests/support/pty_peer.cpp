#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/serial_port.h"

namespace kts::test {

PtyPeer::PtyPeer(Handler handler) : handler_(std::move(handler)) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
    throw std::runtime_error("cannot open a pseudo-terminal");
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname_r failed");
  path_ = name;
  thread_ = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) close(master_);
}

void PtyPeer::reply(std::string_view bytes) {
  size_t sent = 0;
  while (sent < bytes.size() && !stop_) {
    const ssize_t k = write(master_, bytes.data() + sent, bytes.size() - sent);
    if (k > 0) sent += static_cast<size_t>(k);
    else usleep(1000);
  }
}

std::string PtyPeer::received() {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::string PtyPeer::settled() {
  std::string last = received();
  for (int i = 0; i < 100; ++i) {
    usleep(60000);
    std::string now = received();
    if (now == last) break;
    last = std::move(now);
  }
  return last;
}

int PtyPeer::lineBaud() const { return ReadLineBaud(master_); }

void PtyPeer::run() {
  std::string pending;
  while (!stop_) {
    struct pollfd p {master_, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) {
      // No slave open yet (POLLHUP) or nothing sent: keep waiting.
      if (p.revents & POLLHUP) usleep(5000);
      continue;
    }
    char buffer[512];
    const ssize_t k = read(master_, buffer, sizeof buffer);
    if (k <= 0) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.append(buffer, static_cast<size_t>(k));
    }
    pending.append(buffer, static_cast<size_t>(k));
    handler_(*this, pending);
  }
}

}  // namespace kts::test
