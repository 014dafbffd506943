#include "document/OAHVLine.h"
#include "document/OALine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace korvel;

namespace {

bool black(const QImage& img, int x, int y)
{
    return img.pixel(x, y) == qRgb(0, 0, 0);
}

int inkInRow(const QImage& img, int y)
{
    int n = 0;
    for (int x = 0; x < img.width(); ++x)
        n += black(img, x, y) ? 1 : 0;
    return n;
}

int inkInColumn(const QImage& img, int x)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += black(img, x, y) ? 1 : 0;
    return n;
}

TOALine line(QPoint a, QPoint b, int width)
{
    TOALine l;
    l.setLineWidth(width);
    l.setPoints(a, b);
    return l;
}

} // namespace

TEST(LineTest, PenIsTwiceHalfTheLineWidth)
{
    struct Case {
        int lineWidth;
        int stroke;
    };
    for (const Case c : { Case { 1, 1 }, Case { 2, 2 }, Case { 3, 2 }, Case { 4, 4 }, Case { 5, 4 } }) {
        const TOALine vertical = line({ 10, 10 }, { 10, 60 }, c.lineWidth);
        ASSERT_EQ(vertical.Style(), lsLeft);
        EXPECT_EQ(vertical.Width(), c.lineWidth);
        EXPECT_EQ(inkInRow(vertical.DstBitmap(), 25), c.stroke) << "vertical, width " << c.lineWidth;
        EXPECT_TRUE(black(vertical.DstBitmap(), 0, 25));

        const TOALine horizontal = line({ 10, 10 }, { 60, 10 }, c.lineWidth);
        ASSERT_EQ(horizontal.Style(), lsTop);
        EXPECT_EQ(horizontal.Height(), c.lineWidth);
        EXPECT_EQ(inkInColumn(horizontal.DstBitmap(), 25), c.stroke) << "horizontal, width " << c.lineWidth;
    }
    // Widths 2 and 3 draw the same diagonal stroke.
    EXPECT_EQ(line({ 0, 0 }, { 80, 40 }, 2).DstBitmap(), line({ 0, 0 }, { 80, 40 }, 3).DstBitmap());
    // A one-pixel diagonal has one pixel per row.
    const TOALine thin = line({ 0, 0 }, { 80, 80 }, 1);
    for (int y = 0; y < 79; ++y)
        EXPECT_EQ(inkInRow(thin.DstBitmap(), y), 1) << y;
}

TEST(LineTest, DirectionFromEndPoints)
{
    struct Case {
        QPoint start, end;
        int style, flag;
        const char* what;
    };
    const std::vector<Case> cases {
        { { 0, 0 }, { 50, 30 }, lsLeftTopToRightBottom, ldDownRight, "down-right" },
        { { 50, 30 }, { 0, 0 }, lsLeftTopToRightBottom, ldDownRight, "up-left" },
        { { 0, 30 }, { 50, 0 }, lsLeftBottomToRightTop, ldUpRight, "up-right" },
        { { 10, 0 }, { 11, 50 }, lsLeft, ldVertical, "one pixel across, same signs" },
        { { 0, 10 }, { 50, 11 }, lsTop, ldHorizontal, "one pixel down, same signs" },
        { { 11, 0 }, { 10, 50 }, lsLeft, ldVertical, "one pixel across, opposite signs" },
        { { 0, 11 }, { 50, 10 }, lsTop, ldHorizontal, "one pixel down, opposite signs" },
        { { 0, 0 }, { 1, 1 }, lsLeft, ldVertical, "tiny, same signs: vertical test first" },
        { { 1, 0 }, { 0, 1 }, lsTop, ldHorizontal, "tiny, opposite signs: horizontal test first" },
    };
    for (const Case& c : cases) {
        const TOALine l = line(c.start, c.end, 2);
        EXPECT_EQ(l.Style(), c.style) << c.what;
        EXPECT_EQ(l.LineFlag(), c.flag) << c.what;
        EXPECT_EQ(l.PointFlag, 1);
    }
}

TEST(LineTest, PlacementAndPictureSize)
{
    // w2 = 1, alpha = atan(1/2): offsets round(0.894) = 1 and round(0.447) = 0.
    const TOALine diagonal = line({ 10, 20 }, { 110, 70 }, 2);
    EXPECT_EQ(diagonal.geometry(), QRect(10, 19, 100, 52));
    EXPECT_EQ(diagonal.DstBitmap().height(), 53); // one more row after drawing
    EXPECT_EQ(inkInRow(diagonal.DstBitmap(), 52), 0);

    TOAHVLine vertical;
    vertical.setLineWidth(3);
    vertical.setStyle(lsLeft);
    vertical.setPoints({ 10, 20 }, { 10, 80 });
    EXPECT_EQ(vertical.geometry(), QRect(9, 20, 3, 60));

    TOAHVLine horizontal;
    horizontal.setLineWidth(3);
    horizontal.setStyle(lsTop);
    horizontal.setPoints({ 10, 20 }, { 70, 20 });
    EXPECT_EQ(horizontal.geometry(), QRect(10, 19, 60, 3));
}

TEST(LineTest, HitSpans)
{
    const TOALine diagonal = line({ 10, 20 }, { 110, 70 }, 2);
    // The midpoint (60, 45) in the object's own coordinates, and 5 pixels beside the stroke.
    EXPECT_TRUE(diagonal.HitsArea(50, 26));
    EXPECT_TRUE(diagonal.HitsArea(45, 26));
    EXPECT_FALSE(diagonal.HitsArea(30, 26));
    EXPECT_FALSE(diagonal.HitsArea(0, 50));
    EXPECT_FALSE(diagonal.HitsArea(50, -100));

    const TOALine flat = line({ 0, 10 }, { 60, 10 }, 2);
    EXPECT_TRUE(flat.HitsArea(-5, -5));
    EXPECT_TRUE(flat.HitsArea(65, flat.Height() + 5));
    EXPECT_FALSE(flat.HitsArea(66, 0));
    EXPECT_FALSE(flat.HitsArea(0, flat.Height() + 6));
}

TEST(LineTest, TwoQuarterTurnsReturnWithinOnePixel)
{
    struct Case {
        QPoint a, b;
    };
    for (const Case c : { Case { { 0, 10 }, { 100, 10 } }, Case { { 0, 0 }, { 100, 50 } },
             Case { { 13, 77 }, { 91, 12 } }, Case { { 40, 5 }, { 40, 95 } } }) {
        TOALine l = line(c.a, c.b, 2);
        l.AgFlag = 1;
        l.setAngle(90);
        EXPECT_EQ(l.Angle(), 90);
        l.setAngle(180);
        EXPECT_LE(std::abs(l.StartX() - c.a.x()), 1);
        EXPECT_LE(std::abs(l.StartY() - c.a.y()), 1);
        EXPECT_LE(std::abs(l.EndX() - c.b.x()), 1);
        EXPECT_LE(std::abs(l.EndY() - c.b.y()), 1);
    }
    // A horizontal line of 100 pixels turns into a vertical one through its midpoint.
    QPoint s(0, 10);
    QPoint e(100, 10);
    TurnLineQuarter(s, e);
    EXPECT_EQ(s, QPoint(50, -40));
    EXPECT_EQ(e, QPoint(50, 60));
    // Without AgFlag the angle is only stored.
    TOALine still = line({ 0, 0 }, { 100, 50 }, 2);
    still.setAngle(90);
    EXPECT_EQ(still.Angle(), 90);
    EXPECT_EQ(still.EndX(), 100);
}

TEST(LineTest, ZoomRecomputesPixelsFromMillimetres)
{
    TOALine l;
    l.setMMLineWidth(0.5);
    l.setAbsStartX(10.0);
    l.setAbsStartY(5.0);
    l.setAbsEndX(30.0);
    l.setAbsEndY(25.0);
    EXPECT_EQ(l.EndX(), 113); // round(96 * 300 / 254)
    l.setZoom(2.0);
    EXPECT_EQ(l.StartX(), 76);
    EXPECT_EQ(l.EndX(), 227);
    EXPECT_EQ(l.LineWidth(), 4); // round(96 * 2 * 0.5 * 10 / 254) = round(3.78)
    l.setMMLineWidth(0.2);
    l.setZoom(0.5);
    EXPECT_EQ(l.LineWidth(), 1); // round(0.378) = 0 becomes 1
    EXPECT_DOUBLE_EQ(l.AbsEndX(), 30.0);

    // Pixel setters keep the millimetre twin to three decimals.
    l.setStartX(10);
    EXPECT_DOUBLE_EQ(l.AbsStartX(), 5.292); // 10 * 254 / 96 / 10 / 0.5
}

TEST(LineTest, ChangeStyleSwapsDiagonalsOnly)
{
    TOAHVLine hv;
    hv.setStyle(lsLeftTopToRightBottom);
    hv.ChangeStyle();
    EXPECT_EQ(hv.Style(), lsLeftBottomToRightTop);
    hv.setStyle(lsLeft);
    hv.ChangeStyle();
    EXPECT_EQ(hv.Style(), lsLeft);
}

TEST(LineTest, PrinterCopyIsMonochromeAtPrinterDots)
{
    TOALine l;
    l.setMMLineWidth(0.5);
    l.setAbsStartX(0.0);
    l.setAbsStartY(0.0);
    l.setAbsEndX(20.0);
    l.setAbsEndY(10.0);
    const QImage p203 = l.PrinterPicture(203);
    ASSERT_EQ(p203.format(), QImage::Format_Mono);
    // Line width round(0.5 * 8) = 4: w2 = 2, offsets round(2 cos) = 2 and round(2 sin) = 1;
    // 160 x 80 dots wide and high plus the pen, less the offsets, plus the white row.
    EXPECT_EQ(p203.size(), QSize(160 + 4 - 4, 80 + 4 - 2 + 1));
    const QImage p300 = l.PrinterPicture(300);
    // Width round(0.5 * 12) = 6 at 300 dpi: w2 = 3, offsets round(2.68) = 3 and round(1.34) = 1.
    EXPECT_EQ(p300.size(), QSize(236 + 6 - 6, 118 + 6 - 2 + 1));
}

TEST(LineTest, BlockedUpdatesDrawTheSameLineOnce)
{
    // Label files set every end point in turn; with updates blocked the line is laid out and
    // drawn once, and must come out exactly as when every setter draws it.
    struct Ends {
        double x1, y1, x2, y2;
    };
    const Ends cases[] = {{5, 120, 12, 140}, {40, 10, 2, 30}, {1, 7, 99, 7}, {3, 3, 3, 60}, {20, 20, 20.4, 20.2}};
    for (const bool free : {true, false}) {
        for (const Ends& e : cases) {
            auto build = [&](bool blocked) {
                std::unique_ptr<TOALineShape> l;
                if (free)
                    l = std::make_unique<TOALine>();
                else
                    l = std::make_unique<TOAHVLine>();
                l->setUpdatesBlocked(blocked);
                l->setZoom(2.0);
                l->setLineWidth(3);
                l->setMMLineWidth(0.5);
                l->setAbsStartX(e.x1);
                l->setAbsStartY(e.y1);
                l->setAbsEndX(e.x2);
                l->setAbsEndY(e.y2);
                l->setZoom(1.5);
                l->setUpdatesBlocked(false);
                return l;
            };
            const auto drawn = build(false);
            const auto once = build(true);
            const std::string what = (free ? "free " : "hv ") + std::to_string(e.x1) + "," + std::to_string(e.y1);
            EXPECT_EQ(once->geometry(), drawn->geometry()) << what;
            EXPECT_EQ(once->Style(), drawn->Style()) << what;
            EXPECT_EQ(once->LineFlag(), drawn->LineFlag()) << what;
            EXPECT_EQ(once->LineWidth(), drawn->LineWidth()) << what;
            EXPECT_EQ(once->DstBitmap(), drawn->DstBitmap()) << what;
            for (int y = -3; y < drawn->Height() + 3; ++y)
                for (int x = -3; x < drawn->Width() + 3; ++x)
                    ASSERT_EQ(once->HitsArea(x, y), drawn->HitsArea(x, y)) << what << " at " << x << "," << y;
        }
    }
}
