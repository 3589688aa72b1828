#include "qzSystem/output/CqzSampleAttributes.h"

#include <gtest/gtest.h>

namespace
{

TEST(SampleAttributes, ColourRecordOfAllOnesSetsOnlyColouredAndColourBits)
{
    CqzSampleAttributes record;
    record.SetColored(true);
    record.SetColor(0xFFFFFF);
    EXPECT_EQ(record.GetRaw(), 0x00FFFFFF00002000ull);
    EXPECT_EQ(record.GetColor(), 0xFFFFFFu);
}

TEST(SampleAttributes, WritingFieldsKeepsEveryOtherBit)
{
    CqzSampleAttributes record(0xAB00'0000'FFFF'FFFFull);
    record.SetColor(0x123456FF); // only the low 24 bits are taken
    EXPECT_EQ(record.GetRaw(), 0xAB34'56FF'FFFF'FFFFull);
    record.SetHidden(false);
    record.SetColored(false);
    EXPECT_EQ(record.GetRaw(), 0xAB34'56FF'FFFF'D7FFull);
    EXPECT_FALSE(record.IsHidden());
    record.SetHidden(true);
    EXPECT_TRUE(record.IsHidden());
    EXPECT_FALSE(record.IsColored());
    EXPECT_EQ(record.GetRaw(), 0xAB34'56FF'FFFF'DFFFull);
}

} // namespace
