#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

bool ink(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// A small pattern: a 2-dot bar, 1-dot space, a 3-dot long bar, a half bar.
BarPattern samplePattern()
{
    BarPattern p;
    p.left = 1;
    p.width = 9;
    p.height = 12;
    PatternBuilder b(p);
    b.bar(2, 0, 10);
    b.space(1);
    b.bar(3, 0, 12);
    b.space(1);
    b.bar(1, 6, 10);
    return p;
}

} // namespace

TEST(BarPattern, BuilderMergesNeighboursAndFoldsLeadingWhite)
{
    BarPattern p;
    PatternBuilder b(p);
    b.space(4);
    b.bar(1, 0, 5);
    b.bar(2, 0, 5);
    b.bar(1, 0, 7); // another extent stays its own run
    b.space(1);
    b.space(2);
    b.modules(0b1011, 4, 2, 0, 5);
    EXPECT_EQ(p.left, 1 + 4);
    const std::vector<BarRun> expected = {
        {3, 0, 5, true}, {1, 0, 7, true}, {3, 0, 0, false}, {2, 0, 5, true}, {2, 0, 0, false}, {4, 0, 5, true},
    };
    EXPECT_EQ(p.runs, expected);
}

TEST(BarPattern, PaintsEveryFormatAlike)
{
    const auto p = samplePattern();
    for (auto format : {QImage::Format_Mono, QImage::Format_MonoLSB, QImage::Format_Grayscale8}) {
        QImage canvas = NewBarCanvas(p, format);
        ASSERT_EQ(canvas.size(), QSize(10, 12));
        ASSERT_TRUE(PaintBarPattern(p, canvas));
        for (int y = 0; y < 12; ++y) {
            std::string row;
            for (int x = 0; x < 10; ++x)
                row += ink(canvas, x, y) ? '#' : '.';
            const char* expected = y < 6 ? ".##.###..." : y < 10 ? ".##.###.#." : "....###...";
            EXPECT_EQ(row, expected) << "format " << format << " row " << y;
        }
    }
}

TEST(BarPattern, MonoInkFollowsTheColourTable)
{
    const auto p = samplePattern();
    // Qt's own one-bit table puts black at index 0: ink goes there.
    QImage canvas(10, 12, QImage::Format_Mono);
    canvas.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    canvas.fill(1);
    ASSERT_TRUE(PaintBarPattern(p, canvas));
    EXPECT_TRUE(ink(canvas, 1, 0));
    EXPECT_FALSE(ink(canvas, 0, 0));
    EXPECT_EQ(canvas.pixelIndex(1, 0), 0);
    // An explicit index wins (a bar colour placed by the caller).
    canvas.fill(0);
    ASSERT_TRUE(PaintBarPattern(p, canvas, {.monoInk = 1}));
    EXPECT_EQ(canvas.pixelIndex(1, 0), 1);
    EXPECT_EQ(canvas.pixelIndex(0, 0), 0);
}

TEST(BarPattern, ClipsToTheCanvasAndRefusesOtherFormats)
{
    const auto p = samplePattern();
    QImage small(4, 3, QImage::Format_Mono);
    small.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    small.fill(0);
    ASSERT_TRUE(PaintBarPattern(p, small));
    EXPECT_TRUE(ink(small, 2, 2));
    QImage big(40, 40, QImage::Format_Grayscale8);
    big.fill(255);
    ASSERT_TRUE(PaintBarPattern(p, big));
    EXPECT_FALSE(ink(big, 20, 20));

    BarPattern wild = p;
    wild.left = -5;
    wild.runs.push_back({1000000, -10, 1000000, true});
    QImage canvas = NewBarCanvas(p, QImage::Format_Grayscale8);
    EXPECT_TRUE(PaintBarPattern(wild, canvas));

    QImage rgb(10, 12, QImage::Format_RGB32);
    EXPECT_FALSE(PaintBarPattern(p, rgb));
    QImage null;
    EXPECT_FALSE(PaintBarPattern(p, null));
}

TEST(BarPattern, DrawLinearStartsAtColumnOneAndFillsTheBarHeight)
{
    LinearOptions o;
    o.narrow = 2;
    o.wide = 5;
    o.height = 20;
    const int width = BarcodeWidth(TBarCodeType::bcCode39, "AB", o);
    QImage canvas(width + 1, 20, QImage::Format_Grayscale8);
    canvas.fill(255);
    ASSERT_TRUE(DrawLinear(TBarCodeType::bcCode39, "AB", o, canvas));
    for (int y = 0; y < 20; ++y) {
        EXPECT_FALSE(ink(canvas, 0, y));
        EXPECT_TRUE(ink(canvas, 1, y)) << "the start character begins with a narrow bar";
        EXPECT_TRUE(ink(canvas, width, y)) << "the stop character ends with a narrow bar";
    }
    // Nothing is drawn for data the validator refuses.
    QImage untouched = canvas.copy();
    EXPECT_FALSE(DrawLinear(TBarCodeType::bcCode39, "ab", o, canvas));
    EXPECT_EQ(canvas, untouched);
}
