// The running copies of the program, found through one lock file per copy
// slot in a per-user directory: a running copy holds the lock of its slot
// for as long as it runs, and the lock goes away with the process, so a
// crashed copy never keeps its slot.
#pragma once

#include <cstdint>
#include <string>

namespace kts {

inline constexpr int kMaxCopies = 8;

class CopyRegistry {
 public:
  // `directory` empty: $XDG_RUNTIME_DIR/kts-logger, else /tmp/kts-logger-<uid>.
  explicit CopyRegistry(std::string directory = {});
  ~CopyRegistry();
  CopyRegistry(const CopyRegistry&) = delete;
  CopyRegistry& operator=(const CopyRegistry&) = delete;

  const std::string& directory() const { return directory_; }

  // Bit k set: slot k (copy k + 1) is held by a running copy.
  uint8_t runningMask() const;
  // Takes slot k for this process; false when another copy holds it.
  bool claim(int slot);
  void release();
  int claimedSlot() const { return slot_; }

 private:
  std::string slotPath(int slot) const;

  std::string directory_;
  int fd_ = -1;
  int slot_ = -1;
};

std::string DefaultCopyRegistryDirectory();

// The first free slot: the number of consecutive taken slots from slot 0.
int FirstFreeSlot(uint8_t mask);

}  // namespace kts
