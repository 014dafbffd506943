#include "document/Halftone.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace korvel;

namespace {

// A 24-bit picture whose every byte of pixel (x, y) is grey(x, y).
template <typename F> QImage greyPicture(int w, int h, F grey)
{
    QImage img(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uchar* p = img.scanLine(y) + 3 * x;
            p[0] = p[1] = p[2] = static_cast<uchar>(grey(x, y));
        }
    return img;
}

QImage uniform(int w, int h, int grey)
{
    return greyPicture(w, h, [grey](int, int) { return grey; });
}

std::set<std::pair<int, int>> blackPixels(const QImage& mono)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            if (MonoIsBlack(mono, x, y))
                out.insert({ x, y });
    return out;
}

} // namespace

TEST(HalftoneTest, LuminanceWeightsBytesInMemoryOrder)
{
    EXPECT_EQ(Luminance(255, 255, 255), 252);
    EXPECT_EQ(Luminance(255, 0, 0), 53); // first byte (blue) weighs 21
    EXPECT_EQ(Luminance(0, 255, 0), 181); // second byte (green) weighs 71
    EXPECT_EQ(Luminance(0, 0, 255), 17); // third byte (red) weighs 7
}

TEST(HalftoneTest, ThresholdMatrixQuadrants)
{
    EXPECT_EQ(Bayer8(7, 0), 63);
    EXPECT_EQ(Bayer8(0, 7), 42);
    EXPECT_EQ(Threshold16(1, 2), 4 * 56);
    EXPECT_EQ(Threshold16(9, 2), 4 * 56 + 2);
    EXPECT_EQ(Threshold16(1, 10), 4 * 56 + 3);
    EXPECT_EQ(Threshold16(9, 10), 4 * 56 + 1);
    std::set<int> values;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            values.insert(Threshold16(i, j));
    EXPECT_EQ(values.size(), 256u);
}

TEST(HalftoneTest, WhiteGivesOneBlackDotIn64UnderOrderedDither)
{
    const QImage white = uniform(16, 16, 255);
    // B is indexed by x first: its 63 sits in row 7, column 0, so at x = 7, y = 0.
    const std::set<std::pair<int, int>> expected8 { { 7, 0 }, { 15, 0 }, { 7, 8 }, { 15, 8 } };
    EXPECT_EQ(blackPixels(OrderedDither8(white)), expected8);
    // T's values 252..255 sit at (7,0) 252, (15,0) 254, (7,8) 255, (15,8) 253.
    EXPECT_EQ(blackPixels(OrderedDither16(white)), expected8);
    EXPECT_TRUE(blackPixels(ErrorDiffusion(white)).empty());
}

TEST(HalftoneTest, OrderedDitherFollowsMatrixOrientation)
{
    // Grey 162: L = 160, L div 4 = 40: white only where B < 40.
    const QImage out = OrderedDither8(uniform(8, 8, 162));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(MonoIsBlack(out, x, y), !(40 > Bayer8(x, y))) << x << "," << y;
    // B[1][0] = 48 and B[0][1] = 32: black at x = 1, y = 0 and white at x = 0, y = 1; a
    // transposed matrix would give the opposite.
    EXPECT_TRUE(MonoIsBlack(out, 1, 0));
    EXPECT_FALSE(MonoIsBlack(out, 0, 1));
}

TEST(HalftoneTest, OrderedDither16ComparesLuminanceWithThreshold)
{
    // Grey 101: L = 99. T = 4B + k; T < 99 is white.
    const QImage out = OrderedDither16(uniform(16, 16, 101));
    int white = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(MonoIsBlack(out, x, y), !(99 > Threshold16(x, y)));
            white += MonoIsBlack(out, x, y) ? 0 : 1;
        }
    EXPECT_EQ(white, 99);
}

TEST(HalftoneTest, ErrorDiffusionHandComputedCases)
{
    struct Case {
        const char* what;
        QImage picture;
        std::set<std::pair<int, int>> black;
    };
    const std::vector<Case> cases {
        // L = 126 everywhere. Row 0 runs right to left: (1,0) black e=126 -> carry 47, below
        // (1) 47, below (0) 31; (0,0) v = 173 white e = -82 -> below (0) -30. Row 1 left to
        // right: (0,1) v = 127 black e = 127 -> carry 47; (1,1) v = 220 white.
        { "grey 128 square", uniform(2, 2, 128), { { 1, 0 }, { 0, 1 } } },
        // L = 175, 130. (1,0) v = 130 white e = -125, carry -375/8 = -46 (toward zero);
        // (0,0) v = 175 - 46 = 129 white. Flooring would give 128 and black.
        { "truncation toward zero", greyPicture(2, 1, [](int x, int) { return x == 0 ? 177 : 132; }), {} },
        // Gradient L = 0, 84, 168, 252 scanned from the right: white, white (167), black (51),
        // black (19).
        { "gradient row", greyPicture(4, 1, [](int x, int) { return x * 85; }), { { 0, 0 }, { 1, 0 } } },
        { "black stays black", uniform(3, 3, 0),
            { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 0, 1 }, { 1, 1 }, { 2, 1 }, { 0, 2 }, { 1, 2 }, { 2, 2 } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(blackPixels(ErrorDiffusion(c.picture)), c.black) << c.what;
}

TEST(HalftoneTest, ErrorDiffusionKeepsAverageOfAGradient)
{
    // A horizontal gradient over 256 columns: each column's ink ratio follows its darkness.
    const QImage g = greyPicture(256, 64, [](int x, int) { return x; });
    const QImage out = ErrorDiffusion(g);
    int leftBlack = 0;
    int rightBlack = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x) {
            leftBlack += MonoIsBlack(out, x, y) ? 1 : 0;
            rightBlack += MonoIsBlack(out, 224 + x, y) ? 1 : 0;
        }
    EXPECT_GT(leftBlack, 32 * 64 * 85 / 100);
    EXPECT_LT(rightBlack, 32 * 64 * 15 / 100);
}

TEST(HalftoneTest, MonochromeAndSpans)
{
    QImage pic = uniform(4, 2, 255);
    pic.scanLine(0)[3] = 0xFE; // pixel (1,0) almost white
    const QImage mono = ToMonochrome(pic);
    EXPECT_EQ(blackPixels(mono), (std::set<std::pair<int, int>> { { 1, 0 } }));
    EXPECT_EQ(mono.format(), QImage::Format_Mono);
    EXPECT_EQ(mono.scanLine(0)[0], 0xBF); // most significant bit leftmost, set bit = white

    // Black picture, spans restricting row 0 to x 1..2 and row 1 to x 0 and 3.
    PsRec spans(2 + 10);
    spans[SpanRowOffset + 0] = { 1, -1, 2, -1 };
    spans[SpanRowOffset + 1] = { 0, 3, 0, 3 };
    EXPECT_EQ(blackPixels(DitherWithinSpans(uniform(4, 2, 0), spans)),
        (std::set<std::pair<int, int>> { { 1, 0 }, { 2, 0 }, { 0, 1 }, { 3, 1 } }));
    // A short table leaves the rows it does not describe white.
    EXPECT_TRUE(blackPixels(DitherWithinSpans(uniform(4, 2, 0), PsRec(3))).empty());
}

TEST(HalftoneTest, StretchBlackOnWhiteKeepsThinInkWhenShrinking)
{
    QImage line = uniform(3, 2, 255);
    for (int x = 0; x < 3; ++x)
        std::fill_n(line.scanLine(0) + 3 * x, 3, 0); // black top row, white bottom row
    const QImage one = StretchBlackOnWhite(line, 3, 1);
    EXPECT_EQ(one.pixel(1, 0), qRgb(0, 0, 0));
    // The nearest neighbour would have picked the white row.
    EXPECT_EQ(StretchNearest(line, 3, 1).pixel(1, 0), qRgb(255, 255, 255));
    const QImage big = StretchBlackOnWhite(line, 6, 4);
    EXPECT_EQ(big.pixel(5, 1), qRgb(0, 0, 0));
    EXPECT_EQ(big.pixel(5, 2), qRgb(255, 255, 255));
}
