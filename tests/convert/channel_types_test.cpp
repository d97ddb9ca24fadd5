#include "convert/channel_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace kts {
namespace {

TEST(ChannelTypes, RowsAreWellFormed) {
  std::set<uint8_t> letters;
  for (int i = 0; i <= kUnknownTypeIndex; ++i) {
    const ChannelTypeRow& row = TypeRow(i);
    EXPECT_EQ(std::strlen(row.columnLabel), 10u) << i;  // file columns line up
    EXPECT_GE(row.axisGroup, 0);
    EXPECT_LE(row.axisGroup, 22);
    EXPECT_LE(row.rolloverClass, 2);
    if (i < kChannelTypeRows) {
      EXPECT_TRUE(letters.insert(row.letter).second) << "letter twice: " << int(row.letter);
      EXPECT_EQ(FindType(row.letter), i);
    }
  }
  EXPECT_EQ(TypeRow(kUnknownTypeIndex).letter, 'U');
}

TEST(ChannelTypes, LettersOutsideTheTableAreUnknown) {
  EXPECT_EQ(FindType('U'), kUnknownTypeIndex);
  EXPECT_EQ(FindType('Q'), kUnknownTypeIndex);
  EXPECT_EQ(FindType(0x86), kUnknownTypeIndex);
  EXPECT_STREQ(RowOf('Q').columnLabel, "  Unknown ");
  EXPECT_EQ(AxisGroupOf('Q'), 22);
  EXPECT_STREQ(TypeRow(-3).columnLabel, "  Unknown ");
  EXPECT_STREQ(TypeRow(99).columnLabel, "  Unknown ");
}

TEST(ChannelTypes, LatinOneMicroSignInLabelsAndUnits) {
  EXPECT_STREQ(RowOf('J').columnLabel, "Optd_\xB5Mol ");
  EXPECT_STREQ(UnitText('J', "KTS", true), "\xB5Mol/l");
  EXPECT_STREQ(UnitText('R', "KTS", true), "\xB5Mol.m-2.s-1");
}

TEST(ChannelTypes, UnitTextsFollowTheModel) {
  EXPECT_STREQ(UnitText('T', "TDR", true), "Degrees_C");
  EXPECT_STREQ(UnitText('P', "TDR-HV", true), "Degrees_C");
  EXPECT_STREQ(UnitText('C', "XLV", true), "deciBars");
  EXPECT_STREQ(UnitText('T', "XLV", true), "Degrees_C");
  EXPECT_STREQ(UnitText('C', "CTD", true), "uS/cm");
  EXPECT_STREQ(UnitText('s', "CTD", false), "mS/cm");
  EXPECT_STREQ(UnitText('Q', "CTD", false), "Unknown");
  EXPECT_STREQ(UnitText('U', "CTD", false), "Unknown");
}

TEST(ChannelTypes, ListAndShortTagTexts) {
  EXPECT_EQ(ChannelListText('T', 3), "3 - Temperature\t");
  EXPECT_EQ(ChannelListText('R', 12), "12 - PAR\t\t");
  EXPECT_EQ(ChannelListText('E', 1), "");
  EXPECT_EQ(ChannelListText('X', 1), "");
  EXPECT_EQ(ChannelListText('Q', 5), "5 - Unknown\t");
  EXPECT_EQ(ShortTagText('T', 3), "T  3");
  EXPECT_EQ(ShortTagText('I', 12), "FlUV 12");
  EXPECT_EQ(ShortTagText('P', 1234), "P1234");
  EXPECT_EQ(ShortTagText('S', 9), "Salin");
  EXPECT_EQ(ShortTagText('Q', 5), "Unk  5");
}

}  // namespace
}  // namespace kts
