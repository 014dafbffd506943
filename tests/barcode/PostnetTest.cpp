#include "BarcodeTestSupport.h"

#include "barcode/linear/Postnet.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

// 'F' for a full bar, 'h' for a half bar.
std::string heights(const BarPattern& p, int h)
{
    std::string s;
    for (const auto& r : p.runs) {
        if (!r.bar)
            continue;
        EXPECT_EQ(r.bottom, h);
        s += r.top == 0 ? 'F' : 'h';
    }
    return s;
}

} // namespace

TEST(Postnet, FullAndHalfBars)
{
    LinearOptions o;
    o.narrow = 2;
    o.height = 38;
    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodePostnet, "12345", o, p));
    // Frame bar, 6 × 5 bars (check digit 5 appended), frame bar.
    EXPECT_EQ(heights(p, 38), "F"
                              "hhhFF"
                              "hhFhF"
                              "hhFFh"
                              "hFhhF"
                              "hFhFh"
                              "hFhFh"
                              "F");
    for (const auto& r : p.runs) {
        EXPECT_EQ(r.width, 2);
        if (r.bar && r.top != 0) {
            EXPECT_EQ(r.top, 23); // 38 × 23 div 38
        }
    }
    EXPECT_EQ(p.width, 2 * (10 * 6 + 4));
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodePostnet, "123456789", o), 2 * (10 * 10 + 4));
    EXPECT_EQ(PostnetCheckDigit("12345"), '5');
    EXPECT_EQ(PostnetCheckDigit("555555555"), '5');

    o.height = 40;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodePostnet, "00000", o, p));
    EXPECT_EQ(p.runs[6].top, 40 * 23 / 38); // third bar of 0 (11000)
}

TEST(Postnet, Validation)
{
    for (const char* ok : {"12345", "123456789", "12345678901"}) {
        QByteArray reason;
        EXPECT_TRUE(ValidateBarcodeData(TBarCodeType::bcCodePostnet, ok, reason)) << ok;
    }
    for (const char* bad : {"1234", "123456", "1234567890", "123456789012", ""}) {
        QByteArray reason;
        EXPECT_FALSE(ValidateBarcodeData(TBarCodeType::bcCodePostnet, bad, reason)) << bad;
        EXPECT_EQ(reason, "2");
    }
    QByteArray reason;
    EXPECT_FALSE(ValidateBarcodeData(TBarCodeType::bcCodePostnet, "1234A", reason));
    EXPECT_EQ(reason, "1");
}

TEST(Postnet, AgreesWithZint)
{
    LinearOptions o;
    o.narrow = 1;
    o.height = 38;
    for (const QByteArray data : {"12345", "987654321", "01234567890"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodePostnet, data, o, p));
        const auto z = zintEncode(BARCODE_POSTNET, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        ASSERT_EQ(z.rows.size(), 2u);
        // zint: every other module a bar; its first row marks the full bars.
        std::string expected;
        for (std::size_t x = 0; x < z.rows[1].size(); x += 2)
            expected += z.rows[0][x] == '1' ? 'F' : 'h';
        EXPECT_EQ(heights(p, 38), expected) << data.constData();
    }
}
