#include "core/time_math.h"

#include <gtest/gtest.h>

namespace kts {
namespace {

TEST(TimeArithmetic, AddsAcrossMonthsYearsAndLeapDays) {
  EXPECT_EQ(AddSeconds(MakeTime(2024, 2, 28, 23, 59, 59), 1), MakeTime(2024, 2, 29));
  EXPECT_EQ(AddSeconds(MakeTime(2023, 12, 31, 23, 59, 59), 1), MakeTime(2024, 1, 1));
  EXPECT_EQ(AddSeconds(MakeTime(2000, 3, 1), -1), MakeTime(2000, 2, 29, 23, 59, 59));
  EXPECT_EQ(AddMilliseconds(MakeTime(2010, 1, 1, 0, 0, 0, 900), 167),
            MakeTime(2010, 1, 1, 0, 0, 1, 67));
}

TEST(TimeArithmetic, DifferencesTruncateTowardsZero) {
  const TimeRecord a = MakeTime(2010, 1, 1, 0, 0, 1, 500);
  const TimeRecord b = MakeTime(2010, 1, 1);
  EXPECT_EQ(DiffSeconds(a, b), 1);
  EXPECT_EQ(DiffSeconds(b, a), -1);
  EXPECT_EQ(SignedDiffSeconds(b, a), -1);
  EXPECT_EQ(CompareTimes(a, b), 1);
  EXPECT_EQ(CompareTimes(b, b), 0);
}

TEST(TimeArithmetic, OutOfRangeFieldsRollOverInsteadOfFailing) {
  // 31 February reads as 3 March (2006 is a common year).
  EXPECT_EQ(FromTicks(ToTicks(MakeTime(2006, 2, 31))), MakeTime(2006, 3, 3));
}

TEST(SecondsSince2000, CountsWithTheFirmwaresLeapRule) {
  EXPECT_EQ(SecondsSince2000(MakeTime(2000, 1, 1)), 0);
  EXPECT_EQ(SecondsSince2000(MakeTime(2000, 3, 1)), (31 + 29) * 86400);
  EXPECT_EQ(SecondsSince2000(MakeTime(2001, 1, 1, 1, 2, 3)), 366 * 86400 + 3723);
}

}  // namespace
}  // namespace kts
