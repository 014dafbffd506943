#include "document/OAInvertArea.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(InvertAreaTest, OutlinePictureWholeRowSpansAndTurns)
{
    TOAInvertArea a;
    EXPECT_EQ(a.ObjBitMode, 3);
    EXPECT_EQ(a.ObjStyle, 7);
    EXPECT_EQ(a.geometry(), QRect(0, 0, 5, 5));
    a.setVirBounds(10, 10, 40, 20);
    const QImage& p = a.DstBitmap();
    EXPECT_EQ(p.pixel(0, 10), qRgb(0, 0, 0));
    EXPECT_EQ(p.pixel(39, 10), qRgb(0, 0, 0));
    EXPECT_EQ(p.pixel(20, 19), qRgb(0, 0, 0));
    EXPECT_EQ(p.pixel(20, 10), qRgb(255, 255, 255));
    EXPECT_TRUE(a.HitsArea(20, 10));
    EXPECT_TRUE(a.HitsArea(-5, -5));
    EXPECT_TRUE(a.HitsArea(45, 25));
    EXPECT_FALSE(a.HitsArea(46, 10));

    // No line width follows the zoom; a turn keeps the centre.
    a.setZoom(2.0);
    EXPECT_EQ(a.geometry(), QRect(20, 20, 80, 40));
    a.AgFlag = 1;
    a.setAngle(90);
    EXPECT_EQ(a.geometry(), QRect(40, 0, 40, 80));
    a.setAngle(0);
    EXPECT_EQ(a.geometry(), QRect(20, 20, 80, 40));
}
