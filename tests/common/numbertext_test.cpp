#include "common/NumberText.h"

#include <gtest/gtest.h>

using namespace keytoner;

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(59.5), 60);
    EXPECT_EQ(roundHalfEven(42.5), 42);
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
}

TEST(LeadingNumber, ReadsTheLongestLeadingNumber)
{
    EXPECT_DOUBLE_EQ(leadingNumber("12.5"), 12.5);
    EXPECT_DOUBLE_EQ(leadingNumber("1.2."), 1.2);
    EXPECT_DOUBLE_EQ(leadingNumber("12abc"), 12);
    EXPECT_DOUBLE_EQ(leadingNumber("  7"), 7);
    EXPECT_DOUBLE_EQ(leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingNumber("3."), 3);
}

TEST(LeadingNumber, NothingNumericReadsZero)
{
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("."), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("-"), 0);
}

TEST(LeadingNumber, IgnoresTheLocaleDecimalComma)
{
    EXPECT_DOUBLE_EQ(leadingNumber("12,5"), 12);
}

TEST(StrictNumber, WholeTextMustBeANumber)
{
    EXPECT_EQ(strictNumber("20"), 20.0);
    EXPECT_EQ(strictNumber(" 20 "), 20.0);
    EXPECT_EQ(strictNumber("2.5"), 2.5);
    EXPECT_FALSE(strictNumber("").has_value());
    EXPECT_FALSE(strictNumber("2a").has_value());
    EXPECT_FALSE(strictNumber("1.2.").has_value());
    EXPECT_FALSE(strictNumber(".").has_value());
}
