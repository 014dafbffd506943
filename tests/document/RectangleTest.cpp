#include "ImageGolden.h"
#include "document/OARectangle.h"
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

TEST(RectangleTest, SolidWhenLineWidthReachesHalfTheBox)
{
    struct Case {
        int w, h, lw;
        bool solid;
    };
    for (const Case c : std::vector<Case> {
             { 10, 10, 3, false }, { 10, 6, 3, true }, { 5, 40, 3, true }, { 7, 7, 3, false }, { 6, 40, 3, true } }) {
        const QImage pic = DrawRectanglePicture(c.w, c.h, c.lw, Qt::black, false);
        EXPECT_EQ(inked(pic, c.w / 2, c.h / 2), c.solid) << c.w << "x" << c.h << " lw " << c.lw;
    }
}

TEST(RectangleTest, BorderLiesInsideTheBox)
{
    const QImage pic = DrawRectanglePicture(10, 8, 2, Qt::black, false);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool border = x < 2 || x >= 8 || y < 2 || y >= 6;
            EXPECT_EQ(inked(pic, x, y), border) << x << "," << y;
        }
    const QImage filled = DrawRectanglePicture(10, 8, 2, Qt::red, true);
    EXPECT_EQ(filled.pixel(5, 4), qRgb(255, 0, 0));
}

TEST(RectangleTest, ObjectWidensToLineWidthAndSetsFillInter)
{
    TOARectangle r;
    EXPECT_EQ(r.LineWidth(), 3);
    EXPECT_EQ(r.geometry(), QRect(0, 0, 3, 3)); // 1 x 1 grows to the line width
    r.setVirBounds(10, 20, 60, 30);
    EXPECT_EQ(r.geometry(), QRect(10, 20, 60, 30));
    EXPECT_DOUBLE_EQ(r.AbsWidth(), 15.875);
    r.setFill(1);
    EXPECT_EQ(r.FillInter, 1);
    r.setFill(0);
    EXPECT_EQ(r.FillInter, 0);
}

TEST(RectangleTest, HitSpans)
{
    TOARectangle r;
    r.setVirBounds(0, 0, 40, 30);
    // Bands: rows -5..7 and 23..35 whole (line width 3: 8 rows at the top, 7 at the bottom).
    struct Probe {
        int x, y;
        bool hit;
    };
    for (const Probe p : std::vector<Probe> { { 20, -5, true }, { 20, 7, true }, { 20, 8, false }, { 20, 22, false },
             { 20, 23, true }, { 20, 35, true }, { 20, 36, false }, { -5, 15, true }, { 8, 15, true }, { 9, 15, false },
             { 32, 15, true }, { 45, 15, true }, { 46, 15, false }, { -6, 0, false } }) {
        EXPECT_EQ(r.HitsArea(p.x, p.y), p.hit) << "outline " << p.x << "," << p.y;
    }
    r.setFill(1);
    for (const Probe p : std::vector<Probe> {
             { 20, 15, true }, { 0, 0, true }, { 40, 29, true }, { 41, 10, false }, { 20, -1, false } }) {
        EXPECT_EQ(r.HitsArea(p.x, p.y), p.hit) << "filled " << p.x << "," << p.y;
    }
}

TEST(RectangleTest, QuarterTurnsAboutTheCentre)
{
    TOARectangle r;
    r.setZoom(2.0);
    r.setAbsLeft(10.0);
    r.setAbsTop(20.0);
    r.setAbsWidth(30.0);
    r.setAbsHeight(12.5);
    const QRect before = r.geometry();
    r.AgFlag = 1;
    r.setAngle(90);
    const QRect turned = r.geometry();
    EXPECT_EQ(turned.width(), before.height());
    EXPECT_EQ(turned.height(), before.width());
    EXPECT_EQ(turned.left(), before.left() + (before.width() - before.height()) / 2);
    EXPECT_EQ(turned.top(), before.top() + (before.height() - before.width()) / 2);
    EXPECT_DOUBLE_EQ(r.AbsWidth(), 12.5);
    EXPECT_EQ(r.VirWidth(), turned.width());
    r.setAngle(180);
    EXPECT_EQ(r.geometry(), before);
    EXPECT_DOUBLE_EQ(r.AbsLeft(), 10.0);
    EXPECT_DOUBLE_EQ(r.AbsTop(), 20.0);
    EXPECT_DOUBLE_EQ(r.AbsWidth(), 30.0);
    // Without AgFlag only the angle is stored.
    r.AgFlag = 0;
    r.setAngle(270);
    EXPECT_EQ(r.geometry(), before);
    EXPECT_EQ(r.Angle(), 270);
}

TEST(RectangleTest, ZoomRecomputesBoundsAndLineWidth)
{
    TOARectangle r;
    r.setAbsLeft(10.0);
    r.setAbsTop(5.0);
    r.setAbsWidth(20.0);
    r.setAbsHeight(10.0);
    r.setMMLineWidth(0.3);
    r.setZoom(3.0);
    EXPECT_EQ(r.geometry(), QRect(113, 57, 227, 113));
    EXPECT_EQ(r.LineWidth(), 3); // round(96 * 3 * 0.3 * 10 / 254) = round(3.4)
    EXPECT_EQ(r.VirLeft(), 113);
}

TEST(RectangleTest, PrinterCopiesDitheredWithTheSixteenMatrix)
{
    TOARectangle r;
    r.setAbsWidth(20.0);
    r.setAbsHeight(10.0);
    r.setMMLineWidth(0.5);
    r.setColor(QColor(0x80, 0x80, 0x80));
    r.setFill(1);
    const QImage grey = r.PrinterPicture(203);
    ASSERT_EQ(grey.format(), QImage::Format_Mono);
    EXPECT_EQ(grey.size(), QSize(160, 80));
    test::ExpectMatchesGolden(grey, QStringLiteral("rectangle_filled_grey_203"));

    r.setColor(Qt::black);
    r.setFill(0);
    const QImage outline = r.PrinterPicture(300);
    EXPECT_EQ(outline.size(), QSize(236, 118));
    // Line width round(300 * 2 / 96) = 6 dots: black border, interior as white is dithered.
    EXPECT_TRUE(MonoIsBlack(outline, 5, 50));
    EXPECT_FALSE(MonoIsBlack(outline, 6, 50));
    test::ExpectMatchesGolden(outline, QStringLiteral("rectangle_outline_300"));
}

TEST(RectangleTest, PropertyDialogRanges)
{
    struct Case {
        ShapeDialog dialog;
        int count;
        double lineWidthMax, spinMax;
    };
    for (const Case c : std::vector<Case> { { ShapeDialog::HVLine, 3, 107, 9 }, { ShapeDialog::Line, 4, 107, 1 },
             { ShapeDialog::Ellipse, 4, 107, 5 }, { ShapeDialog::Rectangle, 4, 106, 106 } }) {
        const ShapeDialogRanges r = ShapeRanges(c.dialog);
        EXPECT_EQ(r.count, c.count);
        EXPECT_DOUBLE_EQ(r.lineWidth.min, 0.1);
        EXPECT_DOUBLE_EQ(r.lineWidth.max, c.lineWidthMax);
        EXPECT_DOUBLE_EQ(r.lineWidthSpinMax, c.spinMax);
        EXPECT_DOUBLE_EQ(r.fields[0].max, 107);
        EXPECT_DOUBLE_EQ(r.fields[1].max, 500);
    }
    TOARectangle r;
    r.setZoom(2.0);
    ASSERT_TRUE(ApplyRectangleDialog(r, { 3.0, 4.0, 20.0, 10.0, 0.5, 1, Qt::blue }).ok);
    EXPECT_EQ(r.LineWidth(), 4); // round(96 * 0.5 * 2 * 10 / 254) = round(3.78)
    EXPECT_EQ(r.geometry(), QRect(23, 30, 151, 76));
    EXPECT_EQ(r.Fill(), 1);
    const RectangleDialogValues shown = OpenRectangleDialog(r);
    EXPECT_DOUBLE_EQ(shown.width, 20.0);
    EXPECT_EQ(ApplyRectangleDialog(r, { 3.0, 4.0, 20.0, 10.0, 106.5, 1, Qt::blue }).field, 4);
}
