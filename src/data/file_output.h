// Buffered output to a file being written atomically: the writers fill the
// buffer with formatted text and it goes out in large blocks.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "data/atomic_file.h"

namespace kts {

class FileOutput {
 public:
  static constexpr size_t kBufferSize = 256 * 1024;
  // Room a caller may take at once without asking (one row of 24 values).
  static constexpr size_t kReserve = 16 * 1024;

  bool open(const std::string& path);
  // Where the next text goes; at least kReserve bytes of room.
  char* cursor() {
    if (static_cast<size_t>(end_ - pos_) < kReserve) flush();
    return pos_;
  }
  void advance(char* to) { pos_ = to; }
  void write(std::string_view text);
  // Flushes, syncs and renames into place; false with the reason in error().
  bool commit();
  const std::string& error() const { return error_; }

 private:
  void flush();

  AtomicFile file_;
  std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  char* pos_ = buffer_.get();
  char* end_ = buffer_.get() + kBufferSize;
  bool failed_ = false;
  std::string error_;
};

}  // namespace kts
