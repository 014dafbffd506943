#include "BarcodeTestSupport.h"

#include "barcode/linear/Code93.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions options(int n, bool parity)
{
    LinearOptions o;
    o.narrow = n;
    o.wide = 3 * n;
    o.height = 10;
    o.parity = parity;
    return o;
}

} // namespace

TEST(Code93, ModulesAndChecks)
{
    // A is value 10: C = 10 (A), K = 10 × 2 + 10 × 1 = 30 (U).
    EXPECT_EQ(Code93CheckChars("A"), "AU");
    // The worked example of the standard: TEST93 gets C "+" (41) and K "6".
    EXPECT_EQ(Code93CheckChars("TEST93"), "+6");
    EXPECT_EQ(LinearCheckText(TBarCodeType::bcCode93, "TEST93"), "+6");

    BarPattern p;
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode93, "A", options(1, true), p));
    EXPECT_EQ(modules(p), "101011110" // start
                          "110101000" // A
                          "110101000" // C = A
                          "110010110" // K = U
                          "101011110" // stop
                          "1"); // termination bar
    ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode93, "A", options(2, false), p));
    EXPECT_EQ(modules(p, 2), "101011110"
                             "110101000"
                             "101011110"
                             "1");
}

TEST(Code93, ChecksRestartTheirWeights)
{
    // 25 characters: the C weights run 1..20 and start again; K runs 1..15.
    const QByteArray data = "ABCDEFGHIJKLMNOPQRSTUVWXY";
    int c = 0;
    int weight = 1;
    for (int i = data.size() - 1; i >= 0; --i) {
        c += Code93Value(data[i]) * weight;
        weight = weight == 20 ? 1 : weight + 1;
    }
    c %= 47;
    int k = c;
    weight = 2;
    for (int i = data.size() - 1; i >= 0; --i) {
        k += Code93Value(data[i]) * weight;
        weight = weight == 15 ? 1 : weight + 1;
    }
    k %= 47;
    EXPECT_EQ(Code93CheckChars(data), QByteArray(1, Code93Character(c)) + Code93Character(k));
}

TEST(Code93, WidthsAndValidation)
{
    // n(9L' + 1) with start and stop counted
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCode93, "ABC", options(2, false)), 2 * (9 * 5 + 1));
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCode93, "ABC", options(2, true)), 2 * (9 * 7 + 1));

    struct Row {
        QByteArray data;
        bool accepted;
        char reason;
    };
    const Row rows[] = {
        {"CODE 93-$/+%.", true, '0'}, {"abcd", true, '0'},         {"", false, '2'},
        {QByteArray(256, 'A'), false, '2'}, {"e", false, '1'},          {"A*B", false, '1'},
    };
    for (const auto& row : rows) {
        QByteArray reason;
        EXPECT_EQ(ValidateBarcodeData(TBarCodeType::bcCode93, row.data, reason), row.accepted)
            << row.data.left(10).constData();
        EXPECT_EQ(reason, QByteArray(1, row.reason));
    }
}

TEST(Code93, AgreesWithZint)
{
    for (const QByteArray data : {"A", "TEST93", "0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "-. $/+%",
                                  "A LONGER TEXT WITH MORE THAN TWENTY CHARACTERS"}) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(TBarCodeType::bcCode93, data, options(1, true), p));
        const auto z = zintEncode(BARCODE_CODE93, data);
        ASSERT_LT(z.rc, ZINT_ERROR);
        EXPECT_EQ(modules(p), modulesOf(z.runs)) << data.constData();
    }
}
