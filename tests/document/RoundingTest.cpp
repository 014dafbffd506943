#include "document/Rounding.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(Rounding, TiesGoToEven)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(7.5), 8);
    EXPECT_EQ(Round(2.4999), 2);
}

TEST(Rounding, DivTruncatesTowardZero)
{
    EXPECT_EQ(Div(7, 2), 3);
    EXPECT_EQ(Div(-7, 2), -3);
    EXPECT_EQ(Div(-1, 2), 0);
}

TEST(Rounding, KeepsThreeDecimals)
{
    EXPECT_DOUBLE_EQ(KeepThreeDecimals(10 * 254.0 / 96 / 10 / 2), 1.323);
}
