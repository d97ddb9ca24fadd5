// Reads a whole text file of bounded size (profiles, saved .hex files).
#pragma once

#include <cstddef>
#include <string>

namespace kts::sim {

enum class FileRead { Ok, CannotOpen, TooLarge };

FileRead ReadBoundedFile(const std::string& path, size_t limit, std::string* text);

}  // namespace kts::sim
