#include "data/line_reader.h"

namespace kts {

bool LineReader::next(std::string& line, bool* cut) {
  line.clear();
  if (cut != nullptr) *cut = false;
  if (file_ == nullptr) return false;
  bool any = false;
  int ch;
  while ((ch = std::getc(file_)) != EOF) {
    any = true;
    if (ch == '\n') break;
    if (ch == '\r') {
      const int following = std::getc(file_);
      if (following == '\n' || following == EOF) break;
      std::ungetc(following, file_);
    }
    if (line.size() < maxLength_)
      line.push_back(static_cast<char>(ch));
    else if (cut != nullptr)
      *cut = true;
  }
  return any;
}

}  // namespace kts
