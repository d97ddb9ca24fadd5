#include "sim/text_file.h"

#include <fstream>

namespace kts::sim {

FileRead ReadBoundedFile(const std::string& path, size_t limit, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return FileRead::CannotOpen;
  text->clear();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text->append(buffer, static_cast<size_t>(in.gcount()));
    if (text->size() > limit) return FileRead::TooLarge;
  }
  return FileRead::Ok;
}

}  // namespace kts::sim
