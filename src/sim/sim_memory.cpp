#include "sim/sim_memory.h"

namespace kts::sim {

bool SimMemory::append(const uint8_t* data, size_t n) {
  if (full(n)) return false;
  image_.insert(image_.end(), data, data + n);
  return true;
}

bool SimMemory::setImage(std::vector<uint8_t> bytes) {
  if (base_ + bytes.size() > capacityEnd_) return false;
  image_ = std::move(bytes);
  return true;
}

bool SimMemory::programCalibration(uint32_t offset, const uint8_t* data, size_t n) {
  if (calibration_.empty() || offset > calibration_.size() || n > calibration_.size() - offset)
    return false;
  for (size_t i = 0; i < n; ++i) calibration_[offset + i] &= data[i];
  return true;
}

uint8_t SimMemory::at(uint32_t address) const {
  if (address >= base_ && address - base_ < image_.size()) return image_[address - base_];
  if (!calibration_.empty() && address >= kCalibrationAreaStart &&
      address - kCalibrationAreaStart < calibration_.size())
    return calibration_[address - kCalibrationAreaStart];
  if (hasConfiguration_ && address >= kConfigurationBlockStart &&
      address - kConfigurationBlockStart < kConfigurationBlockSize)
    return configuration_[address - kConfigurationBlockStart];
  return 0xFF;
}

void SimMemory::read(uint32_t start, size_t n, uint8_t* out) const {
  // The image is the common case: copy it in one piece where possible.
  if (start >= base_ && start - base_ + n <= image_.size()) {
    const uint8_t* from = image_.data() + (start - base_);
    for (size_t i = 0; i < n; ++i) out[i] = from[i];
    return;
  }
  for (size_t i = 0; i < n; ++i) out[i] = at(start + static_cast<uint32_t>(i));
}

}  // namespace kts::sim
