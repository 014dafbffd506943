#include "document/OAHVLine.h"
#include "document/ShapeRules.h"

#include <gtest/gtest.h>

using namespace korvel;

// LineFlag is not stored in label files and only the free line's placement classified it, so
// a horizontal/vertical line read from a file or drawn by the tool never had a direction and
// printing skipped it. It now follows the style.
TEST(HVLineTest, LineFlagFollowsStyle)
{
    TOAHVLine l;
    EXPECT_EQ(l.Style(), lsLeftTopToRightBottom);
    EXPECT_EQ(l.LineFlag(), ldDownRight);
    l.setStyle(lsLeft);
    EXPECT_EQ(l.LineFlag(), ldVertical);
    l.setStyle(lsTop);
    EXPECT_EQ(l.LineFlag(), ldHorizontal);
    EXPECT_EQ(LineFlagOfHVStyle(lsLeftBottomToRightTop), -1);
}

TEST(HVLineTest, ReadLikeAFileRecordGetsItsDirection)
{
    // The record order: zoom, angle, style, widths, then the four millimetre coordinates.
    TOAHVLine l;
    l.setZoom(2.0);
    l.setAngle(0);
    l.setStyle(lsTop);
    l.setLineWidth(1);
    l.setMMLineWidth(0.5);
    l.setAbsStartX(5.0);
    l.setAbsStartY(20.0);
    l.setAbsEndX(55.0);
    l.setAbsEndY(20.0);
    EXPECT_EQ(l.LineFlag(), ldHorizontal);
    EXPECT_EQ(l.Style(), lsTop);
    EXPECT_EQ(l.Width(), 378); // round(96 * 500 * 2 / 254)
    EXPECT_EQ(l.Height(), 1);

    // The tool: style 0 when both ends have the same x.
    TOAHVLine drawn;
    drawn.setStyle(lsLeft);
    drawn.setPoints({ 40, 10 }, { 40, 90 });
    EXPECT_EQ(drawn.LineFlag(), ldVertical);
    EXPECT_EQ(drawn.geometry(), QRect(40, 10, 1, 80));
}

TEST(HVLineTest, QuarterTurnSwitchesStyleAndDirection)
{
    TOAHVLine l;
    l.setStyle(lsLeft);
    l.setPoints({ 50, 0 }, { 50, 100 });
    l.AgFlag = 1;
    l.setAngle(90);
    EXPECT_EQ(l.Style(), lsTop);
    EXPECT_EQ(l.LineFlag(), ldHorizontal);
    EXPECT_EQ(l.StartX(), 0);
    EXPECT_EQ(l.EndX(), 100);
    EXPECT_EQ(l.StartY(), 50);
    l.setAngle(180);
    EXPECT_EQ(l.Style(), lsLeft);
    EXPECT_EQ(l.LineFlag(), ldVertical);
    EXPECT_EQ(l.StartX(), 50);
    EXPECT_EQ(l.EndX(), 50);
    // The millimetre twins follow the turned pixels.
    EXPECT_DOUBLE_EQ(l.AbsEndY(), 26.458);
}

TEST(HVLineTest, UndrawnStyleKeepsAWhitePicture)
{
    TOAHVLine l;
    l.setPoints({ 0, 0 }, { 30, 30 });
    for (int y = 0; y < l.DstBitmap().height(); ++y)
        for (int x = 0; x < l.DstBitmap().width(); ++x)
            ASSERT_EQ(l.DstBitmap().pixel(x, y), qRgb(255, 255, 255));
    EXPECT_TRUE(l.HitsArea(0, 0));
}

TEST(HVLineTest, PropertyDialogKeepsTheFixedCoordinate)
{
    TOAHVLine v;
    v.setStyle(lsLeft);
    v.setAbsStartX(10.0);
    v.setAbsStartY(40.0);
    v.setAbsEndX(10.0);
    v.setAbsEndY(15.0);
    const HVLineDialogValues shown = OpenHVLineDialog(v);
    EXPECT_DOUBLE_EQ(shown.startY, 15.0); // the end nearer the origin
    EXPECT_DOUBLE_EQ(shown.length, 25.0);
    HVLineDialogValues edit = shown;
    edit.startX = 12.0;
    edit.length = 30.0;
    edit.lineWidthMM = 0.5;
    ASSERT_TRUE(ApplyHVLineDialog(v, edit).ok);
    EXPECT_DOUBLE_EQ(v.AbsEndX(), 12.0);
    EXPECT_DOUBLE_EQ(v.AbsEndY(), 45.0);
    EXPECT_EQ(v.LineWidth(), 2); // round(96 * 0.5 * 8 / 254) = round(1.51): factor 8
    EXPECT_DOUBLE_EQ(v.MMLineWidth(), 0.5);

    TOAHVLine h;
    h.setStyle(lsTop);
    ASSERT_TRUE(ApplyHVLineDialog(h, { 5.0, 20.0, 50.0, 0.3 }).ok);
    EXPECT_DOUBLE_EQ(h.AbsEndX(), 55.0);
    EXPECT_DOUBLE_EQ(h.AbsEndY(), 20.0);

    // Out of range: start X above 107, length below 0.1, line width above 107.
    EXPECT_EQ(ApplyHVLineDialog(h, { 108.0, 20.0, 50.0, 0.3 }).field, 0);
    EXPECT_EQ(ApplyHVLineDialog(h, { 5.0, 20.0, 0.05, 0.3 }).field, 2);
    EXPECT_EQ(ApplyHVLineDialog(h, { 5.0, 20.0, 50.0, 108 }).field, 3);
    EXPECT_DOUBLE_EQ(h.AbsStartX(), 5.0); // refused values change nothing
    EXPECT_EQ(ShapeDialogLineWidth(ShapeDialog::Line, 0.01, 1.0), 1);
}
