#include "frame/copy_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/text.h"

namespace kts {

std::string DefaultCopyRegistryDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/kts-logger";
  return Format("/tmp/kts-logger-%u", static_cast<unsigned>(getuid()));
}

int FirstFreeSlot(uint8_t mask) {
  int n = 0;
  while (n < kMaxCopies && (mask & (1u << n))) ++n;
  return n;
}

CopyRegistry::CopyRegistry(std::string directory)
    : directory_(directory.empty() ? DefaultCopyRegistryDirectory() : std::move(directory)) {
  // Private to the user: another user's copies are no business of ours.
  ::mkdir(directory_.c_str(), 0700);
}

CopyRegistry::~CopyRegistry() { release(); }

std::string CopyRegistry::slotPath(int slot) const {
  return Format("%s/copy-%d.lock", directory_.c_str(), slot + 1);
}

uint8_t CopyRegistry::runningMask() const {
  uint8_t mask = 0;
  for (int slot = 0; slot < kMaxCopies; ++slot) {
    if (slot == slot_) {
      mask |= static_cast<uint8_t>(1u << slot);
      continue;
    }
    const int fd = ::open(slotPath(slot).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;  // never used: free
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) mask |= static_cast<uint8_t>(1u << slot);
    }
    ::close(fd);  // drops our probe lock too
  }
  return mask;
}

bool CopyRegistry::claim(int slot) {
  if (slot < 0 || slot >= kMaxCopies) return false;
  release();
  const int fd = ::open(slotPath(slot).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  slot_ = slot;
  return true;
}

void CopyRegistry::release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  slot_ = -1;
}

}  // namespace kts
