// The logger's flash as the "I" command sees it: one linear address space
// holding the recorded image from the memory base up to the memory pointer,
// and on older QZ loggers the calibration area at 0x10000 and the
// configuration block just below 0x20000. Anything else reads as erased
// flash (0xFF).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kts::sim {

inline constexpr uint32_t kCalibrationAreaStart = 0x10000;
inline constexpr uint32_t kCalibrationAreaSize = 65025;
inline constexpr uint32_t kConfigurationBlockStart = 0x1FFC9;
inline constexpr uint32_t kConfigurationBlockSize = 54;

class SimMemory {
 public:
  SimMemory() = default;
  SimMemory(uint32_t base, uint32_t capacityEnd) : base_(base), capacityEnd_(capacityEnd) {}

  uint32_t base() const { return base_; }
  uint32_t pointer() const { return base_ + static_cast<uint32_t>(image_.size()); }
  bool full(size_t more) const { return pointer() + more > capacityEnd_; }

  // Appends all n bytes, or nothing when they do not fit.
  bool append(const uint8_t* data, size_t n);
  void erase() { image_.clear(); }
  const std::vector<uint8_t>& image() const { return image_; }
  // Replaces the image (a replayed file); false when it does not fit.
  bool setImage(std::vector<uint8_t> bytes);

  void enableCalibrationArea() { calibration_.assign(kCalibrationAreaSize, 0xFF); }
  bool hasCalibrationArea() const { return !calibration_.empty(); }
  // Programs flash: a bit once cleared stays cleared until the area is erased.
  bool programCalibration(uint32_t offset, const uint8_t* data, size_t n);
  const std::vector<uint8_t>& calibrationArea() const { return calibration_; }

  void setConfigurationBlock(const std::array<uint8_t, kConfigurationBlockSize>& block) {
    configuration_ = block;
    hasConfiguration_ = true;
  }

  uint8_t at(uint32_t address) const;
  // Bytes [start, start + n) into out.
  void read(uint32_t start, size_t n, uint8_t* out) const;

 private:
  uint32_t base_ = 0;
  uint32_t capacityEnd_ = 0;
  std::vector<uint8_t> image_;
  std::vector<uint8_t> calibration_;
  std::array<uint8_t, kConfigurationBlockSize> configuration_{};
  bool hasConfiguration_ = false;
};

}  // namespace kts::sim
