#include "data/text_numbers.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kts {

bool ParseInt(const char* text, int& out, const char** end) {
  char* stop = nullptr;
  errno = 0;
  const long v = std::strtol(text, &stop, 10);
  if (stop == text || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  if (end != nullptr) *end = stop;
  return true;
}

bool ParseFiniteDouble(const char* text, double& out, const char** end) {
  char* stop = nullptr;
  const double v = std::strtod(text, &stop);
  if (stop == text || !std::isfinite(v)) return false;
  out = v;
  if (end != nullptr) *end = stop;
  return true;
}

}  // namespace kts
