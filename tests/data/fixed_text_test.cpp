#include "data/fixed_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace kts {
namespace {

std::string Printf(const char* format, double v) {
  char b[512];
  std::snprintf(b, sizeof b, format, v);
  return b;
}

std::string Fixed(double v, int precision, int width) {
  char b[kMaxFixedChars + 64];
  return std::string(b, PutFixed(b, v, precision, width));
}

// The files promise the digits printf gives; any difference would change
// every file a scientist compares with an older one.
TEST(FixedText, GivesPrintfDigitsForEveryKindOfValue) {
  std::mt19937_64 rng(20261207);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-12, 40);
  std::uniform_int_distribution<uint32_t> bits;
  int checked = 0;
  for (int i = 0; i < 200000; ++i) {
    double v;
    switch (i % 4) {
      case 0:
        v = unit(rng) * std::pow(10.0, exponent(rng));
        break;
      case 1:
        v = static_cast<float>(unit(rng) * 1000.0);
        break;   // values as rows hold them
      case 2: {  // any float bit pattern, as a hostile file could leave in a row
        const uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        v = f;
        break;
      }
      default:
        v = std::round(unit(rng) * 2e6) / 2e4 + 0.00005;
        break;  // halfway cases
    }
    ASSERT_EQ(Fixed(v, 4, 9), Printf("%9.4f", v)) << v;
    ASSERT_EQ(Fixed(v, 15, 0), Printf("%.15f", v)) << v;
    ++checked;
  }
  for (double v : {0.0, -0.0, 0.00005, -0.00005, 0.00015, 1e-300, DBL_MAX, -DBL_MAX,
                   static_cast<double>(FLT_MAX), 999.99995, -1000.0, 12345678.12345}) {
    EXPECT_EQ(Fixed(v, 4, 9), Printf("%9.4f", v)) << v;
    EXPECT_EQ(Fixed(v, 6, 0), Printf("%f", v)) << v;
    EXPECT_EQ(Fixed(v, 2, 5), Printf("%5.2f", v)) << v;
    EXPECT_EQ(Fixed(v, 15, 0), Printf("%.15f", v)) << v;
  }
  for (double v : {HUGE_VAL, -HUGE_VAL, std::nan("")})
    EXPECT_EQ(Fixed(v, 4, 9), Printf("%9.4f", v)) << v;
  EXPECT_EQ(checked, 200000);
}

TEST(FixedText, IntegersPadAsPrintfDoes) {
  char b[64];
  const auto put = [&](int64_t v, int w, bool zero) {
    return std::string(b, PutInt(b, v, w, zero));
  };
  for (int64_t v : {0, 7, -7, 42, -42, 123456, -123456, 1234567, INT32_MAX, INT32_MIN}) {
    char e[64];
    std::snprintf(e, sizeof e, "%6d", static_cast<int>(v));
    EXPECT_EQ(put(v, 6, false), e);
    std::snprintf(e, sizeof e, "%02d", static_cast<int>(v));
    EXPECT_EQ(put(v, 2, true), e);
    std::snprintf(e, sizeof e, "%04d", static_cast<int>(v));
    EXPECT_EQ(put(v, 4, true), e);
  }
}

}  // namespace
}  // namespace kts
