#include "BarcodeTestSupport.h"

#include "barcode/linear/TwoOfFive.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions narrowWide(int n, int w, bool parity = false)
{
    LinearOptions o;
    o.narrow = n;
    o.wide = w;
    o.height = 10;
    o.parity = parity;
    return o;
}

} // namespace

TEST(TwoOfFive, ElementPatterns)
{
    struct Row {
        const char* what;
        TBarCodeType type;
        const char* data;
        bool parity;
        const char* elements; // bars and spaces alternating, bar first; n narrow, w wide
    };
    const Row rows[] = {
        // start w w n, digit 1 (w n n n w) as bars, stop w n w; narrow spaces and gaps
        {"industrial 1", TBarCodeType::bcCodeIndustrial25, "1", false, "wnwnnnwnnnnnnnwnwnnnw"},
        // start n n n n, bars of 1 interleaved with spaces of 2, stop w n n
        {"interleaved 12", TBarCodeType::bcCodeInter25, "12", false, "nnnnwnnwnnnnwwwnn"},
        // start w n n n n, 1, check 3 (weights 7: 49 × 7 = 343), stop w n n n n
        {"matrix eur 1", TBarCodeType::bcCodeEurMatrix, "1", false, "wnnnnnwnnnwnwwnnnnwnnnn"},
        // start w n w, 1 = n n n w w, check 3 = n n w w n, stop n w w
        {"matrix jap 1", TBarCodeType::bcCodeJanMatrix, "1", false, "wnwnnnnwwnnnwwnnnww"},
        // the check digit is drawn whatever the option says
        {"matrix jap 1 parity", TBarCodeType::bcCodeJanMatrix, "1", true, "wnwnnnnwwnnnwwnnnww"},
        // an empty text still draws start, check 0 and stop
        {"matrix eur empty", TBarCodeType::bcCodeEurMatrix, "", false, "wnnnnnnnwwnnwnnnn"},
        // the space after the 4th digit is wide
        {"china post", TBarCodeType::bcCodePost25, "12345678901", false,
         "nnnnwnnnwnnwnnwnwwnnnnnnwnwwwnwnnnnwwnnnnnnwwnwnnwnnnwnwnnnnwwnnwnnnwnwnn"},
    };
    for (const auto& row : rows) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(row.type, row.data, narrowWide(1, 2, row.parity), p)) << row.what;
        EXPECT_EQ(elements(p, 1, 2), row.elements) << row.what;
        EXPECT_EQ(p.left, 1) << row.what;
    }
}

TEST(TwoOfFive, WidthsFollowTheFormulas)
{
    struct Row {
        TBarCodeType type;
        const char* data;
        bool parity;
        int n, w;
        int width;
    };
    const Row rows[] = {
        // 2wL + 4w + n(8L + 7)
        {TBarCodeType::bcCodeIndustrial25, "12345", false, 2, 5, 2 * 5 * 5 + 4 * 5 + 2 * (8 * 5 + 7)},
        // L' = 4 (0123): 2wL' + n(3L' + 6) + w
        {TBarCodeType::bcCodeInter25, "123", false, 3, 7, 2 * 7 * 4 + 3 * (3 * 4 + 6) + 7},
        // L' = 6 (012348)
        {TBarCodeType::bcCodeInter25, "1234", true, 2, 4, 2 * 4 * 6 + 2 * (3 * 6 + 6) + 4},
        // n' = L + 1: 2wn' + n(4n' + 1) + 2w + 8n
        {TBarCodeType::bcCodeEurMatrix, "123", false, 2, 5, 2 * 5 * 4 + 2 * (4 * 4 + 1) + 2 * 5 + 8 * 2},
        // … + 4w + 2n
        {TBarCodeType::bcCodeJanMatrix, "123", false, 2, 5, 2 * 5 * 4 + 2 * (4 * 4 + 1) + 4 * 5 + 2 * 2},
        // w(2L + 2) + n(4L + 5), L = 11
        {TBarCodeType::bcCodePost25, "12345678901", false, 2, 6, 6 * 24 + 2 * 49},
    };
    for (const auto& row : rows) {
        const auto o = narrowWide(row.n, row.w, row.parity);
        EXPECT_EQ(BarcodeWidth(row.type, row.data, o), row.width) << row.data;
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(row.type, row.data, o, p));
        EXPECT_EQ(p.width, row.width);
        int drawn = 0;
        for (const auto& r : patternRuns(p))
            drawn += r.width;
        EXPECT_EQ(p.left + drawn, 1 + row.width) << "the last bar ends at the symbol's width";
    }
}

TEST(TwoOfFive, InterleavedEvensTheDigitsAndAddsTheCheck)
{
    EXPECT_EQ(Interleaved25Digits("123", false), "0123");
    EXPECT_EQ(Interleaved25Digits("1234", false), "1234");
    // 0×3 + 1 + 2×3 + 3 + 4×3 = 22: check 8, after the leading zero that makes the count odd
    EXPECT_EQ(Interleaved25Digits("1234", true), "012348");
    EXPECT_EQ(Interleaved25CheckDigit("1234"), '8');
    // an odd count takes the check digit without a leading zero: 1×3 + 2 + 3×3 = 14, check 6
    EXPECT_EQ(Interleaved25Digits("123", true), "1236");
    EXPECT_EQ(Interleaved25CheckDigit("123"), '6');
}

TEST(TwoOfFive, MatrixCheckUsesCharacterCodesWeightedSevenAndNine)
{
    EXPECT_EQ(Matrix25CheckDigit(""), '0');
    EXPECT_EQ(Matrix25CheckDigit("1"), '3'); // 49 × 7
    EXPECT_EQ(Matrix25CheckDigit("123"), '0'); // 51 × 7 + 50 × 9 + 49 × 7 = 1150
    EXPECT_EQ(Matrix25CheckDigit("12"), '1'); // 50 × 7 + 49 × 9 = 791
}

TEST(TwoOfFive, DispatchSitsInsideItsBearerFrame)
{
    auto o = narrowWide(1, 2);
    o.bearer = 3;
    BarPattern dispatch;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeCYM, "12", o, dispatch));
    BarPattern itf;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeInter25, "12", o, itf));
    EXPECT_EQ(dispatch.width, itf.width + 2 * (3 + 11));
    EXPECT_EQ(dispatch.left, 3 + 11);
    EXPECT_EQ(dispatch.height, 10 + 2 * 3);
    EXPECT_EQ(dispatch.bearer, 3);
    EXPECT_EQ(patternRuns(dispatch), patternRuns(itf));
    for (const auto& r : dispatch.runs) {
        if (!r.bar)
            continue;
        EXPECT_EQ(r.top, 3);
        EXPECT_EQ(r.bottom, 13);
    }

    // The frame is drawn only when asked (the printer image); the screen frame comes later.
    QImage screen = NewBarCanvas(dispatch, QImage::Format_Grayscale8);
    ASSERT_TRUE(PaintBarPattern(dispatch, screen));
    EXPECT_EQ(qGray(screen.pixel(0, 0)), 255);
    QImage printer = NewBarCanvas(dispatch, QImage::Format_Grayscale8);
    ASSERT_TRUE(PaintBarPattern(dispatch, printer, {.drawBearer = true}));
    for (int x : {0, 2, dispatch.width / 2, dispatch.width - 1})
        for (int y : {0, 2, dispatch.height - 1, dispatch.height - 3})
            EXPECT_EQ(qGray(printer.pixel(x, y)), 0) << x << "," << y;
    EXPECT_EQ(qGray(printer.pixel(dispatch.width / 2, 3)), qGray(screen.pixel(dispatch.width / 2, 3)));
    EXPECT_EQ(qGray(printer.pixel(3, dispatch.height / 2)), 255) << "quiet zone inside the frame";
    EXPECT_EQ(qGray(printer.pixel(dispatch.width, dispatch.height / 2)), 255) << "the extra column stays white";
}

TEST(TwoOfFive, Validation)
{
    struct Row {
        TBarCodeType type;
        QByteArray data;
        bool accepted;
        char reason;
    };
    const Row rows[] = {
        {TBarCodeType::bcCodeIndustrial25, "0", true, '0'},
        {TBarCodeType::bcCodeIndustrial25, "", false, '2'},
        {TBarCodeType::bcCodeIndustrial25, QByteArray(255, '7'), true, '0'},
        {TBarCodeType::bcCodeIndustrial25, QByteArray(256, '7'), false, '2'},
        {TBarCodeType::bcCodeIndustrial25, "12a4", false, '1'},
        {TBarCodeType::bcCodeInter25, "12 4", false, '1'},
        {TBarCodeType::bcCodeEurMatrix, "", true, '0'},
        {TBarCodeType::bcCodeJanMatrix, "-1", false, '1'},
        {TBarCodeType::bcCodeCYM, "1234567890123", true, '0'},
        {TBarCodeType::bcCodeCYM, "12345678901234", false, '2'},
        {TBarCodeType::bcCodeCYM, "", false, '2'},
        {TBarCodeType::bcCodePost25, "12345678901", true, '0'},
        {TBarCodeType::bcCodePost25, "1234567890", false, '2'},
        {TBarCodeType::bcCodePost25, "1234567890X", false, '1'},
        // the length is checked before the characters
        {TBarCodeType::bcCodePost25, "ABC", false, '2'},
    };
    for (const auto& row : rows) {
        QByteArray reason;
        EXPECT_EQ(ValidateBarcodeData(row.type, row.data, reason), row.accepted) << row.data.constData();
        EXPECT_EQ(reason, QByteArray(1, row.reason)) << row.data.constData();
        BarPattern p;
        EXPECT_EQ(EncodeLinear(row.type, row.data, narrowWide(2, 5), p), row.accepted);
        EXPECT_EQ(BarcodeWidth(row.type, row.data, narrowWide(2, 5)) > 0, row.accepted);
    }
}

TEST(TwoOfFive, AgreesWithZint)
{
    const auto o = narrowWide(1, 3);
    for (const QByteArray data : {"0", "1234567890", "98765", "00000000001"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeIndustrial25, data, o, p));
        const auto z = zintEncode(BARCODE_C25IND, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << "industrial " << data.constData();
    }
    for (const QByteArray data : {"1", "12", "123", "0123456789", "98765432101"}) {
        for (bool parity : {false, true}) {
            auto op = o;
            op.parity = parity;
            BarPattern p;
            ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeInter25, data, op, p));
            const auto z = zintEncode(BARCODE_C25INTER, data, parity ? 1 : 0);
            ASSERT_LT(z.rc, ZINT_ERROR);
            EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << "interleaved " << data.constData() << parity;
        }
    }
    for (const QByteArray data : {"1", "123", "4711", "0123456789"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeEurMatrix, data, o, p));
        // zint's standard 2 of 5 has a different check digit; give it ours as data.
        const auto z = zintEncode(BARCODE_C25STANDARD, data + Matrix25CheckDigit(data));
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << "matrix " << data.constData();
    }
    for (const QByteArray data : {"12345678901", "00000000000", "98765432109"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodePost25, data, o, p));
        const auto z = zintEncode(BARCODE_C25LOGIC, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        auto ours = classify(patternRuns(p));
        // The same bars apart from the wide space after the fourth digit (start 4 elements,
        // then six per digit).
        ASSERT_EQ(ours[27], 'w');
        ours[27] = 'n';
        EXPECT_EQ(ours, classify(z.runs)) << "china post " << data.constData();
    }
}
