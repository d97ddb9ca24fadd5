// The simulator's end of a pseudo-terminal: the host opens the slave device
// as it would a USB serial adapter; the simulator reads and writes the
// master and reads the line rate the host set from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kts::sim {

class PtyLine {
 public:
  // A new pseudo-terminal in raw mode; nullptr with the reason on failure.
  static std::unique_ptr<PtyLine> Open(std::string* error);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int fd() const { return master_; }
  // The rate the host set on the line (0 when it cannot be read).
  int lineBaud() const;

  // What has arrived, without waiting: the count, 0 for nothing, −1 when no
  // program has the slave open.
  int read(uint8_t* buffer, int n);
  // Writes what the line takes now: the count, 0 when it is full, −1 when
  // no program has the slave open.
  int write(const uint8_t* data, int n);

 private:
  explicit PtyLine(int master, std::string path) : master_(master), slavePath_(std::move(path)) {}
  int master_;
  std::string slavePath_;
};

}  // namespace kts::sim
