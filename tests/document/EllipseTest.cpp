#include "ImageGolden.h"
#include "document/OAEllipse.h"
#include "document/ShapeRules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace korvel;

namespace {

bool inked(const QImage& img, int x, int y)
{
    return img.pixel(x, y) != qRgb(255, 255, 255);
}

} // namespace

TEST(EllipseTest, PictureIsSymmetricWithStrokeOfLineWidth)
{
    struct Case {
        int w, h, lw;
    };
    for (const Case c :
        std::vector<Case> { { 100, 100, 2 }, { 61, 40, 3 }, { 40, 61, 1 }, { 9, 9, 0 }, { 200, 20, 5 } }) {
        const QImage pic = DrawEllipsePicture(c.w, c.h, c.lw, Qt::black, false);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                ASSERT_EQ(inked(pic, x, y), inked(pic, c.w - 1 - x, y)) << c.w << "x" << c.h << " at " << x << "," << y;
                ASSERT_EQ(inked(pic, x, y), inked(pic, x, c.h - 1 - y)) << c.w << "x" << c.h << " at " << x << "," << y;
            }
        // The middle row: the stroke is line width pixels (0 draws one), inside edge white.
        const int mid = c.h / 2;
        const int stroke = c.lw < 1 ? 1 : c.lw;
        for (int x = 0; x < stroke; ++x)
            EXPECT_TRUE(inked(pic, x, mid)) << c.w << "x" << c.h << " lw " << c.lw;
        EXPECT_FALSE(inked(pic, stroke, mid));
        EXPECT_TRUE(inked(pic, c.w / 2, 0));
    }
    EXPECT_FALSE(inked(DrawEllipsePicture(50, 30, 2, Qt::black, false), 25, 15));
    EXPECT_TRUE(inked(DrawEllipsePicture(50, 30, 2, Qt::black, true), 25, 15));
}

TEST(EllipseTest, HitSpansReachFivePixelsBesideTheStroke)
{
    TOAEllipse e; // 100 x 100, line width 2
    struct Probe {
        int x, y;
        bool hit;
    };
    for (const Probe p : std::vector<Probe> { { 0, 50, true }, { -5, 50, true }, { -6, 50, false }, { 6, 50, true },
             { 8, 50, false }, { 50, 50, false }, { 99, 50, true }, { 104, 50, true }, { 50, -5, true },
             { 50, 104, true }, { 0, 0, false } }) {
        EXPECT_EQ(e.HitsArea(p.x, p.y), p.hit) << "outline " << p.x << "," << p.y;
    }
    e.setFill(1);
    EXPECT_TRUE(e.HitsArea(50, 50));
    EXPECT_FALSE(e.HitsArea(-1, 50));
    EXPECT_FALSE(e.HitsArea(0, 0));
    EXPECT_EQ(e.PrnArea()[50 + SpanRowOffset], (SpanRow { 0, -1, 99, -1 }));
    e.setFill(0);
    EXPECT_EQ(e.PrnArea()[50 + SpanRowOffset], (SpanRow { 0, 98, 1, 99 }));
}

TEST(EllipseTest, ColourSetsTheBaseFillColour)
{
    TOAEllipse e;
    EXPECT_EQ(e.Brush.style(), Qt::NoBrush);
    e.setColor(Qt::blue);
    e.setFill(1);
    EXPECT_EQ(e.EllipseColor, QColor(Qt::blue));
    EXPECT_EQ(e.FillInter, 1);
    e.setVirWidth(1);
    EXPECT_EQ(e.Width(), 2); // at least the line width
}

TEST(EllipseTest, PrinterCopies)
{
    TOAEllipse e;
    e.setAbsWidth(20.0);
    e.setAbsHeight(12.0);
    e.setMMLineWidth(0.5);
    // Black: a clean monochrome picture of exactly the drawn pixels.
    const QImage black = e.PrinterPicture(203);
    ASSERT_EQ(black.format(), QImage::Format_Mono);
    ASSERT_EQ(black.size(), QSize(160, 96));
    const QImage drawn = DrawEllipsePicture(160, 96, 4, Qt::black, false); // round(203 * 2 / 96)
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(MonoIsBlack(black, x, y), inked(drawn, x, y)) << x << "," << y;
    test::ExpectMatchesGolden(black, QStringLiteral("ellipse_outline_black_203"));

    // Coloured and filled: a halftone that never leaves the drawn pixels.
    e.setColor(QColor(0xC0, 0x40, 0x40));
    e.setFill(1);
    const QImage dithered = e.PrinterPicture(203);
    const QImage solid = DrawEllipsePicture(160, 96, 4, Qt::black, true);
    int ink = 0;
    int area = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 160; ++x) {
            if (MonoIsBlack(dithered, x, y)) {
                ASSERT_TRUE(inked(solid, x, y)) << x << "," << y;
                ++ink;
            }
            area += inked(solid, x, y) ? 1 : 0;
        }
    EXPECT_GT(ink, area / 4);
    EXPECT_LT(ink, area);
    test::ExpectMatchesGolden(dithered, QStringLiteral("ellipse_filled_colour_203"));

    // Coloured outline: restricted to the stroke.
    e.setFill(0);
    const QImage ring = e.PrinterPicture(300);
    EXPECT_FALSE(MonoIsBlack(ring, ring.width() / 2, ring.height() / 2));
    test::ExpectMatchesGolden(ring, QStringLiteral("ellipse_outline_colour_300"));
}

TEST(EllipseTest, PropertyDialogCentreAndRadii)
{
    TOAEllipse e;
    e.setAbsLeft(10.0);
    e.setAbsTop(4.0);
    e.setAbsWidth(20.33);
    e.setAbsHeight(8.0);
    const EllipseDialogValues shown = OpenEllipseDialog(e);
    EXPECT_DOUBLE_EQ(shown.centreX, 20.2); // 20.165 shown with one decimal
    EXPECT_DOUBLE_EQ(shown.radiusX, 10.2);
    EXPECT_DOUBLE_EQ(shown.centreY, 8.0);
    EllipseDialogValues edit = shown;
    edit.centreX = 30.0;
    edit.radiusX = 5.0;
    edit.lineWidthMM = 0.4;
    edit.fill = 1;
    edit.color = Qt::red;
    ASSERT_TRUE(ApplyEllipseDialog(e, edit).ok);
    EXPECT_DOUBLE_EQ(e.AbsLeft(), 25.0);
    EXPECT_DOUBLE_EQ(e.AbsWidth(), 10.0);
    EXPECT_EQ(e.LineWidth(), 2); // round(96 * 0.4 * 10 / 254) = round(1.51): factor 10
    EXPECT_EQ(e.FillInter, 1);
    EXPECT_EQ(ApplyEllipseDialog(e, { 30.0, 8.0, 0.0, 4.0, 0.4, 0, Qt::black }).field, 2);
}
