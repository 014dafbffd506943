#include "BarcodeTestSupport.h"

#include "barcode/linear/Codabar.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions options(int n, int w)
{
    LinearOptions o;
    o.narrow = n;
    o.wide = w;
    o.height = 10;
    return o;
}

} // namespace

TEST(Codabar, ElementPatternsAndWidth)
{
    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeCodabar, "A1B", options(1, 2), p));
    EXPECT_EQ(elements(p, 1, 2), "nnwwnwn"
                                 "n"
                                 "nnnnwwn"
                                 "n"
                                 "nwnwnnw");
    // Seven characters: 16 wide and 33 narrow elements and six gaps.
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodeCodabar, "A12-34B", options(2, 5)), 16 * 5 + 39 * 2);
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodeCodabar, "A12-34B", options(3, 7)), 16 * 7 + 39 * 3);
}

TEST(Codabar, Validation)
{
    struct Row {
        QByteArray data;
        bool accepted;
        char reason;
    };
    const Row rows[] = {
        {"A1B", true, '0'},
        {"C-$:/.+D", true, '0'},
        {"AB", false, '2'},
        {"A" + QByteArray(253, '5') + "D", true, '0'},
        {"A" + QByteArray(254, '5') + "D", false, '2'},
        {"1234", false, '1'}, // first and last must be A..D
        {"A12", false, '1'},
        {"A1C2B", false, '1'}, // letters only at the ends
        {"A1EB", false, '1'},
        {"a1b", false, '1'},
        {"A1 B", false, '1'},
    };
    for (const auto& row : rows) {
        QByteArray reason;
        EXPECT_EQ(ValidateBarcodeData(TBarCodeType::bcCodeCodabar, row.data, reason), row.accepted)
            << row.data.constData();
        EXPECT_EQ(reason, QByteArray(1, row.reason)) << row.data.constData();
    }
}

TEST(Codabar, StartAndStopLettersComeFromTheChoices)
{
    auto prepared = PrepareLinearData(TBarCodeType::bcCodeCodabar, "12-34", 0, 1);
    EXPECT_TRUE(prepared.accepted);
    EXPECT_EQ(prepared.data, "A12-34B");
    prepared = PrepareLinearData(TBarCodeType::bcCodeCodabar, "1", 3, 2);
    EXPECT_EQ(prepared.data, "D1C");
    // The letters come from a four-entry table: other choices are refused, not read past it.
    for (auto [start, stop] : {std::pair {-1, 0}, {0, -1}, {4, 0}, {0, 4}}) {
        prepared = PrepareLinearData(TBarCodeType::bcCodeCodabar, "12", start, stop);
        EXPECT_FALSE(prepared.accepted) << start << " " << stop;
        EXPECT_EQ(prepared.reason, "1");
    }
    prepared = PrepareLinearData(TBarCodeType::bcCodeCodabar, "1A2", 0, 0);
    EXPECT_FALSE(prepared.accepted);
    EXPECT_EQ(prepared.reason, "1");
}

TEST(Codabar, AgreesWithZint)
{
    for (const QByteArray data : {"A1B", "A0123456789B", "C-$:/.+D", "D31117013206375C"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCodeCodabar, data, options(1, 3), p));
        const auto z = zintEncode(BARCODE_CODABAR, data);
        ASSERT_LT(z.rc, ZINT_ERROR) << data.constData();
        EXPECT_EQ(classify(patternRuns(p)), classify(z.runs)) << data.constData();
    }
}
