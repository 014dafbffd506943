#include "BarcodeTestSupport.h"

#include "barcode/linear/EanUpc.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

LinearOptions options(int n, int h = 50, int e = 13)
{
    LinearOptions o;
    o.narrow = n;
    o.height = h;
    o.guardExtension = e;
    return o;
}

int longBars(const BarPattern& p)
{
    int count = 0;
    for (const auto& r : p.runs)
        if (r.bar && r.bottom == p.height)
            ++count;
    return count;
}

} // namespace

TEST(EanUpc, CheckDigits)
{
    EXPECT_EQ(Ean13CheckDigit("590123412345"), '7');
    EXPECT_EQ(Ean13CheckDigit("400638133393"), '1');
    EXPECT_EQ(Ean8CheckDigit("9638507"), '4');
    EXPECT_EQ(UpcACheckDigit("03600029145"), '2');
    EXPECT_EQ(Ean13CheckDigit("59012341234"), '\0');
    EXPECT_EQ(LinearCheckText(TBarCodeType::bcCodeEAN13, "590123412345"), "7");
}

TEST(EanUpc, UpcEExpandsWithNumberSystemZero)
{
    struct Row {
        const char* upce;
        const char* upca;
    };
    const Row rows[] = {
        {"123456", "01234500006"}, {"123450", "01200000345"}, {"123451", "01210000345"},
        {"123452", "01220000345"}, {"123453", "01230000045"}, {"123454", "01234000005"},
        {"654329", "06543200009"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(UpcEExpand(row.upce), row.upca) << row.upce;
    EXPECT_EQ(UpcECheckDigit("123456"), UpcACheckDigit("01234500006"));
    EXPECT_EQ(UpcECheckDigit("123456"), '5');
    EXPECT_TRUE(UpcEExpand("12345").isEmpty());
}

TEST(EanUpc, LayoutWidthsAndLongBars)
{
    struct Row {
        TBarCodeType type;
        const char* data;
        int left; // in modules of 3 dots (plus one dot where drawing starts at x = 1)
        int extraDot;
        int modules;
        int longBars;
        bool extended;
    };
    const Row rows[] = {
        {TBarCodeType::bcCodeEAN13, "590123412345", 9, 1, 104, 6, true},
        {TBarCodeType::bcCodeEAN8, "9638507", 0, 1, 67, 6, true},
        // UPC-A: the first and the check digit reach down too, two bars each
        {TBarCodeType::bcCodeUPCA, "03600029145", 9, 0, 113, 10, true},
        {TBarCodeType::bcCodeUPCE, "123456", 9, 0, 69, 5, true},
        {TBarCodeType::bcCodeUPC2, "12", 0, 1, 20, 0, false},
        {TBarCodeType::bcCodeUPC5, "52495", 0, 1, 47, 0, false},
    };
    for (const auto& row : rows) {
        const auto o = options(3);
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(row.type, row.data, o, p)) << row.data;
        EXPECT_EQ(p.left, 3 * row.left + row.extraDot) << row.data;
        EXPECT_EQ(p.width, 3 * row.modules) << row.data;
        EXPECT_EQ(BarcodeWidth(row.type, row.data, o), 3 * row.modules);
        EXPECT_EQ(p.height, row.extended ? 50 + 13 : 50) << row.data;
        if (row.extended) {
            EXPECT_EQ(longBars(p), row.longBars) << row.data;
        }
        for (const auto& r : p.runs) {
            if (r.bar && r.bottom != p.height) {
                EXPECT_EQ(r.bottom, 50);
            }
        }
    }
}

TEST(EanUpc, Validation)
{
    struct Row {
        TBarCodeType type;
        const char* data;
        bool accepted;
        char reason;
    };
    const Row rows[] = {
        {TBarCodeType::bcCodeEAN13, "590123412345", true, '0'},
        {TBarCodeType::bcCodeEAN13, "5901234123457", false, '2'},
        {TBarCodeType::bcCodeEAN13, "59012341234A", false, '1'},
        {TBarCodeType::bcCodeEAN13, "59012341234", false, '2'},
        {TBarCodeType::bcCodeEAN8, "9638507", true, '0'},
        {TBarCodeType::bcCodeEAN8, "96385074", false, '2'},
        {TBarCodeType::bcCodeUPCA, "0360002914X", false, '1'},
        {TBarCodeType::bcCodeUPCE, "12345", false, '2'},
        {TBarCodeType::bcCodeUPC2, "1", false, '2'},
        {TBarCodeType::bcCodeUPC2, "1a", false, '1'},
        {TBarCodeType::bcCodeUPC5, "123456", false, '2'},
    };
    for (const auto& row : rows) {
        QByteArray reason;
        EXPECT_EQ(ValidateBarcodeData(row.type, row.data, reason), row.accepted) << row.data;
        EXPECT_EQ(reason, QByteArray(1, row.reason)) << row.data;
    }
}

TEST(EanUpc, AgreesWithZint)
{
    struct Row {
        TBarCodeType type;
        int symbology;
        QByteArray data;
    };
    std::vector<Row> rows;
    for (const char* d : {"590123412345", "400638133393", "012345678901", "999999999999", "123456789012"})
        rows.push_back({TBarCodeType::bcCodeEAN13, BARCODE_EANX, d});
    for (const char* d : {"9638507", "0000000", "1234567"})
        rows.push_back({TBarCodeType::bcCodeEAN8, BARCODE_EANX, d});
    for (const char* d : {"03600029145", "12345678901", "98765432109"})
        rows.push_back({TBarCodeType::bcCodeUPCA, BARCODE_UPCA, d});
    for (const char* d : {"123456", "123450", "123453", "123454", "654329", "000000"})
        rows.push_back({TBarCodeType::bcCodeUPCE, BARCODE_UPCE, d});
    for (int v = 0; v < 100; v += 7)
        rows.push_back({TBarCodeType::bcCodeUPC2, BARCODE_EANX, QByteArray::number(v).rightJustified(2, '0')});
    for (const char* d : {"52495", "00000", "12345", "98765", "24680", "13579"})
        rows.push_back({TBarCodeType::bcCodeUPC5, BARCODE_EANX, d});
    for (const auto& row : rows) {
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(row.type, row.data, options(1), p));
        const auto z = zintEncode(row.symbology, row.data);
        ASSERT_LT(z.rc, ZINT_ERROR) << row.data.constData();
        EXPECT_EQ(modules(p), modulesOf(z.runs)) << row.data.constData();
    }
}
