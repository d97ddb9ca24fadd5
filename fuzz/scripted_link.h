// A logger that answers every read with the next piece of fuzz input, so
// that the protocol's parsers see every reply shape a noisy line can make.
#pragma once

#include <cstring>
#include <memory>
#include <string>

#include "platform/byte_link.h"

namespace kts::fuzz {

class ScriptedLink final : public ByteLink {
 public:
  ScriptedLink(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int read(uint8_t* buffer, int n, int) override {
    if (at_ >= size_ || n <= 0) return 0;
    // The first byte of each piece says how long it is.
    size_t want = data_[at_++];
    if (want > static_cast<size_t>(n)) want = static_cast<size_t>(n);
    if (want > size_ - at_) want = size_ - at_;
    std::memcpy(buffer, data_ + at_, want);
    at_ += want;
    return static_cast<int>(want);
  }
  int write(const uint8_t*, int n, int) override { return n; }
  bool setBaud(int b) override {
    baud_ = b;
    return true;
  }
  int baud() const override { return baud_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  int baud_ = 19200;
};

class ScriptedOpener final : public PortOpener {
 public:
  ScriptedOpener() = default;
  ScriptedOpener(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  void feed(const uint8_t* data, size_t size) {
    data_ = data;
    size_ = size;
  }
  std::unique_ptr<ByteLink> open(const std::string&, int, int, OpenFailure* why) override {
    if (why) *why = OpenFailure::None;
    return std::make_unique<ScriptedLink>(data_, size_);
  }
  bool probe(const std::string&, LineSettings*) override { return true; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace kts::fuzz
