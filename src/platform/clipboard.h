// The text clipboard.
#pragma once

#include <string>

namespace kts {

class Clipboard {
 public:
  enum class Result { Ok, Unavailable, Empty, Refused };
  virtual ~Clipboard() = default;
  virtual Result getText(std::string& out) = 0;
  virtual Result setText(const std::string& text) = 0;
};

// No clipboard at all (the command line, headless runs).
class NoClipboard final : public Clipboard {
 public:
  Result getText(std::string&) override { return Result::Unavailable; }
  Result setText(const std::string&) override { return Result::Unavailable; }
};

}  // namespace kts
