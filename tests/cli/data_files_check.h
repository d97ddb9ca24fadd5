// Reading a file kts wrote back through the library, to compare what the
// formats hold.
#pragma once

#include <string>

namespace kts::test {

struct FileContents {
  bool ok = false;
  int samples = 0;
  int channels = 0;  // measured channels
  double first = 0;  // first and last value of the first channel
  double last = 0;
};

FileContents ReadBack(const std::string& path);

}  // namespace kts::test
