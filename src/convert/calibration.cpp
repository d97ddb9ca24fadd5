#include "convert/calibration.h"

#include <cmath>

#include "convert/channel_types.h"

namespace kts {

namespace {
constexpr double kFullScale = 16777216.0;  // 2^24
constexpr double kInvalid = -1000.0;
}  // namespace

double ConvertPolynomial(int32_t raw, const Coefficients& c) {
  const double x = raw / kFullScale;
  return c[0] + x * (c[1] + x * (c[2] + x * c[3]));
}

double ConvertTemperature(int32_t raw, const Coefficients& c) {
  if (raw == 16777216) return -273.15;
  if (raw <= 0 || raw > 16777216) return kInvalid;
  const double x = raw / kFullScale;
  const double L = std::log(1.0 / x - 1.0);
  const double s = c[0] + L * (c[1] + L * (c[2] + L * c[3]));
  // An infinite s comes only from non-finite coefficients; 1/s would make it
  // a plausible −273.15.
  if (s == 0.0 || !std::isfinite(s)) return kInvalid;
  return 1.0 / s - 273.15;
}

double ConvertRaw(int32_t raw, uint8_t type, const Coefficients& c, bool hvModel) {
  return (type == 'T' || hvModel) ? ConvertTemperature(raw, c) : ConvertPolynomial(raw, c);
}

int32_t CorrectRollover(uint32_t word, uint8_t type, uint8_t extendedCapsByte, bool typeAIsClass1) {
  const int32_t w = static_cast<int32_t>(word & 0xFFFFFF);
  if (extendedCapsByte & 1) {
    int rolloverClass = RowOf(type).rolloverClass;
    if (type == 'A' && typeAIsClass1) rolloverClass = 1;
    if (rolloverClass == 2 && w >= 0xFD70A2) return w - 16777216;
    if (rolloverClass == 1 && w >= 0xDFFFFF) return w - 16777216;
    return w;
  }
  if (w & 1) return (w & 0x800000) ? w - 16777216 : w + 16777216;
  return w;
}

}  // namespace kts
