// Reads a text file line by line, never holding more of a line than a bound.
#pragma once

#include <cstdio>
#include <string>

namespace kts {

class LineReader {
 public:
  // Lines longer than maxLength characters are cut there; the rest of such
  // a line is skipped, never taken as a line of its own.
  LineReader(std::FILE* file, size_t maxLength) : file_(file), maxLength_(maxLength) {}

  // The next line without its line end ("\n", "\r\n", or none on the last
  // line). False at the end of the file. `cut` tells whether it was cut.
  bool next(std::string& line, bool* cut = nullptr);

 private:
  std::FILE* file_;
  size_t maxLength_;
};

// Opens a file for reading; null when it cannot be opened. Closes on scope exit.
struct InputFile {
  explicit InputFile(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {}
  ~InputFile() {
    if (file != nullptr) std::fclose(file);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  std::FILE* file;
};

}  // namespace kts
