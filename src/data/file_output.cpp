#include "data/file_output.h"

#include <cerrno>
#include <cstring>

namespace kts {

bool FileOutput::open(const std::string& path) {
  if (file_.open(path)) return true;
  error_ = file_.error();
  return false;
}

void FileOutput::flush() {
  const size_t n = static_cast<size_t>(pos_ - buffer_.get());
  pos_ = buffer_.get();
  if (n == 0 || failed_ || file_.stream() == nullptr) return;
  if (std::fwrite(buffer_.get(), 1, n, file_.stream()) != n) {
    failed_ = true;
    error_ = std::strerror(errno);
  }
}

void FileOutput::write(std::string_view text) {
  while (!text.empty()) {
    const size_t room = static_cast<size_t>(end_ - pos_);
    if (room == 0) {
      flush();
      continue;
    }
    const size_t n = text.size() < room ? text.size() : room;
    std::memcpy(pos_, text.data(), n);
    pos_ += n;
    text.remove_prefix(n);
  }
}

bool FileOutput::commit() {
  flush();
  if (failed_) {
    file_.abandon();
    return false;
  }
  if (!file_.commit()) {
    error_ = file_.error();
    return false;
  }
  return true;
}

}  // namespace kts
