#include "BarcodeTestSupport.h"

#include "barcode/linear/Code39.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions options(int n, int w, bool parity = false)
{
    LinearOptions o;
    o.narrow = n;
    o.wide = w;
    o.height = 10;
    o.parity = parity;
    return o;
}

} // namespace

TEST(Code39, ElementPatternsAndCheckCharacter)
{
    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode39, "A", options(1, 2), p));
    // *, gap, A, gap, *
    EXPECT_EQ(elements(p, 1, 2), "nwnnwnwnn"
                                 "n"
                                 "wnnnnwnnw"
                                 "n"
                                 "nwnnwnwnn");

    // 12 + 24 + 13 + 14 + 3 + 9 = 75, 75 mod 43 = 32: W
    EXPECT_EQ(Code39CheckChar("CODE39"), 'W');
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode39, "CODE39", options(1, 3, true), p));
    BarPattern withW;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode39, "CODE39W", options(1, 3, false), withW));
    EXPECT_EQ(patternRuns(p), patternRuns(withW));
    EXPECT_EQ(LinearCheckText(TBarCodeType::bcCode39, "CODE39"), "W");
    // HIBC always carries the check
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeHBIC, "CODE39", options(1, 3, false), p));
    EXPECT_EQ(patternRuns(p), patternRuns(withW));
}

TEST(Code39, Widths)
{
    // L'(6n + 3w) + (L' − 1)n with L' = data + check + 2
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCode39, "ABC", options(2, 5)), 5 * (12 + 15) + 4 * 2);
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCode39, "ABC", options(2, 5, true)), 6 * (12 + 15) + 5 * 2);
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodeHBIC, "ABC", options(2, 5)), 6 * (12 + 15) + 5 * 2);
    QByteArray expansion;
    // a/ expands to +A/O: four characters
    EXPECT_EQ(Code39ExWidth("a/", options(1, 2), &expansion), 6 * 12 + 5);
    EXPECT_EQ(expansion, "+A/O");
}

TEST(Code39, FullAsciiExpansion)
{
    struct Row {
        QByteArray text;
        QByteArray expansion;
    };
    const Row rows[] = {
        {"a/", "+A/O"},
        {QByteArray(1, '\0'), "%U"},
        {"\x01\x1a\x1b\x1f", "$A$Z%A%E"},
        {" -.09AZ", " -.09AZ"},
        {"!,:;?@", "/A/L/Z%F%J%V"},
        {"[_`az{\x7f", "%K%O%W+A+Z%P%T"},
    };
    for (const auto& row : rows) {
        QByteArray expansion;
        ASSERT_TRUE(FullAscii39Expand(row.text, expansion)) << row.text.toHex().constData();
        EXPECT_EQ(expansion, row.expansion);
    }
}

TEST(Code39, Validation)
{
    struct Row {
        TBarCodeType type;
        QByteArray data;
        bool accepted;
        char reason;
    };
    const Row rows[] = {
        {TBarCodeType::bcCode39, "CODE 39-$/+%.", true, '0'},
        {TBarCodeType::bcCode39, "", false, '2'},
        {TBarCodeType::bcCode39, QByteArray(255, 'X'), true, '0'},
        {TBarCodeType::bcCode39, QByteArray(256, 'X'), false, '2'},
        {TBarCodeType::bcCode39, "code", false, '1'},
        {TBarCodeType::bcCode39, "A*B", false, '1'},
        {TBarCodeType::bcCodeHBIC, "abc", false, '1'},
        {TBarCodeType::bcCode39Ex, "Hello, world!", true, '0'},
        {TBarCodeType::bcCode39Ex, "", false, '2'},
        {TBarCodeType::bcCode39Ex, "\x80", false, '2'},
        // a sequence may start up to position 254 of the expansion: 128 two-character
        // sequences fill all 256 places, a 129th does not start
        {TBarCodeType::bcCode39Ex, QByteArray(128, 'a'), true, '0'},
        {TBarCodeType::bcCode39Ex, QByteArray(129, 'a'), false, '2'},
        {TBarCodeType::bcCode39Ex, QByteArray(255, 'A'), true, '0'},
        {TBarCodeType::bcCode39Ex, QByteArray(256, 'A'), false, '2'},
        {TBarCodeType::bcCode39Ex, QByteArray(254, 'A') + "a", true, '0'},
    };
    for (const auto& row : rows) {
        QByteArray reason;
        EXPECT_EQ(ValidateBarcodeData(row.type, row.data, reason), row.accepted) << row.data.left(20).constData();
        EXPECT_EQ(reason, QByteArray(1, row.reason));
        BarPattern p;
        EXPECT_EQ(EncodeLinear(row.type, row.data, options(2, 5), p), row.accepted);
    }
}

TEST(Code39, AgreesWithZint)
{
    for (const QByteArray data : {"A", "CODE39", "0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "-. $/+%"}) {
        for (bool parity : {false, true}) {
            BarPattern p;
            ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode39, data, options(1, 3, parity), p));
            const auto z = zintEncode(BARCODE_CODE39, data, parity ? 1 : 0);
            ASSERT_LT(z.rc, ZINT_ERROR);
            EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << data.constData() << parity;
        }
    }
    // Every byte below 128, in pieces zint takes.
    for (int first = 0; first < 128; first += 32) {
        QByteArray data;
        for (int c = first; c < first + 32; ++c)
            data.append(static_cast<char>(c));
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode39Ex, data, options(1, 3), p));
        const auto z = zintEncode(BARCODE_EXCODE39, data);
        ASSERT_LT(z.rc, ZINT_ERROR) << first;
        EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << "full ASCII from " << first;
    }
}
