// Reads the memory image out of a saved .hex file (its text header, the line
// "Number of bytes of data N", a ruler line, then N bytes as hex pairs), so
// that a retrieval can be replayed through the simulated logger.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kts::sim {

struct HexImage {
  std::string model;  // from the first line, "KTS <model> <version> <serial>"
  std::vector<uint8_t> bytes;
};

inline constexpr size_t kLargestImage = 8 * 1024 * 1024;

// False with a message that names the file and what is wrong with it.
bool ParseHexImage(const std::string& text, HexImage* out, std::string* error);
bool LoadHexImage(const std::string& path, HexImage* out, std::string* error);

}  // namespace kts::sim
