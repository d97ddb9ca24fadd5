#include "core/time_format.h"

#include <gtest/gtest.h>

#include "core/bcd.h"

namespace kts {
namespace {

TEST(WireDateTime, ParsesTheDigitsBeforeTheTag) {
  EXPECT_EQ(ParseWireDateTime("991231235959CTD"), MakeTime(2099, 12, 31, 23, 59, 59));
  EXPECT_EQ(ParseWireDateTime("junk 061107143000CST"), MakeTime(2006, 11, 7, 14, 30, 0));
}

TEST(WireDateTime, UnreadableTextGivesTheFixedFallback) {
  const TimeRecord fallback = MakeTime(2000, 1, 1);
  EXPECT_EQ(ParseWireDateTime("000000000000CST"), fallback);  // month 0
  EXPECT_EQ(ParseWireDateTime(kFailedQueryText), fallback);   // no "C"
  EXPECT_EQ(ParseWireDateTime("0612CTD"), fallback);          // tag too near the start
  EXPECT_EQ(ParseWireDateTime("061332120000CTD"), fallback);  // month 13
  EXPECT_EQ(ParseWireDateTime("0611072460 0CTD"), fallback);  // hour 24
  EXPECT_EQ(ParseWireDateTime(""), fallback);
  EXPECT_EQ(ParseWireDateTime(std::string_view("\xff\xfe\x80" "C", 4)), fallback);
}

TEST(WireDuration, AcceptsTwentyFourHoursAndRejectsOutOfRange) {
  EXPECT_EQ(ParseWireDuration("240000CSP").hour, 24);
  const TimeRecord sixtyMinutes = ParseWireDuration("006000CSP");
  EXPECT_EQ(FormatPeriod(sixtyMinutes).str(), "00:01:00");
  EXPECT_EQ(FormatPeriod(ParseWireDuration("0102030WAV")).str(), "10:20:30");
  // No tag: the whole record is the zero record.
  EXPECT_EQ(ParseWireDuration("000101000000"), MakeTime(2000, 1, 1));
}

TEST(TimeText, FormsUsedOnTheWireOnScreenAndInFiles) {
  const TimeRecord t = MakeTime(2006, 3, 7, 14, 5, 9);
  EXPECT_EQ(FormatWireDateTime(t).str(), "060307140509");
  EXPECT_EQ(FormatWireDuration(MakePeriod(1, 2, 3)).str(), "010203");
  EXPECT_EQ(FormatDisplayDateTime(t).str(), "2006/Mar/07 14:05:09");
  EXPECT_EQ(FormatShortDateTime(t).str(), "06/03/07 14:05:09");
  EXPECT_EQ(FormatClock(t).str(), "14:05:09");
}

TEST(Bcd, PacksAndUnpacks) {
  uint8_t out[6];
  PackBcd(MakeTime(2006, 3, 7, 14, 5, 9), out);
  const uint8_t expected[6] = {0x06, 0x03, 0x07, 0x14, 0x05, 0x09};
  EXPECT_EQ(0, memcmp(out, expected, 6));
  EXPECT_EQ(BcdToInt(0x59), 59);
  EXPECT_EQ(IntToBcd(123), 0x23);
}

}  // namespace
}  // namespace kts
