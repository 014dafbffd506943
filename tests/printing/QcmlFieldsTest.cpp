#include "printing/commands/QcmlFields.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::qcml;

TEST(QcmlFields, NumericFieldKeepsTheLastDigits)
{
    struct Row {
        std::int64_t v;
        int w;
        const char* expected;
    };
    const Row rows[] = {
        { 75, 4, "0075" },
        { 12345, 4, "2345" },
        { 7, 2, "07" },
        { -5, 4, "00-5" },
        { 0, 3, "000" },
        { 1079, 4, "1079" },
        { 9999999, 7, "9999999" },
        { 12, 7, "0000012" },
        { -12, 2, "12" }, // sign cut off with the rest
        { 5, 1, "5" },
        { 42, 0, "" },
        { INT64_MIN, 20, "-9223372036854775808" },
        { INT64_MIN, 21, "0-9223372036854775808" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(D(r.v, r.w), QByteArray(r.expected)) << r.v << " in " << r.w;
}

TEST(QcmlFields, HexMultiplierAndRotationCharacters)
{
    EXPECT_EQ(H2(0xC0), "C0");
    EXPECT_EQ(H2(0x0A), "0A");
    EXPECT_EQ(H2(0), "00");

    const std::pair<int, char> multipliers[] = { { 1, '1' }, { 9, '9' }, { 10, 'A' }, { 15, 'F' }, { 24, 'O' } };
    for (auto [k, c] : multipliers)
        EXPECT_EQ(M(k), c) << k;
    for (int bad : { 0, -1, 25, 100 })
        EXPECT_FALSE(M(bad).has_value()) << bad;

    EXPECT_EQ(R(0), "1");
    EXPECT_EQ(R(90), "2");
    EXPECT_EQ(R(180), "3");
    EXPECT_EQ(R(270), "4");
    EXPECT_EQ(R(45), "");
    EXPECT_EQ(R(360), "");
}

TEST(QcmlFields, DrawingModePrefix)
{
    EXPECT_EQ(DrawingModePrefix(0), QByteArray("A2\r"));
    EXPECT_EQ(DrawingModePrefix(1), QByteArray("A1\r"));
    EXPECT_EQ(DrawingModePrefix(2), QByteArray());
    EXPECT_EQ(DrawingModePrefix(-1), QByteArray());
}

TEST(QcmlFields, MediaFlagsTable)
{
    struct Row {
        int printType, pageType, feedType;
        std::uint8_t flags;
    };
    const Row rows[] = {
        { 1, 0, 5, 0xE0 },
        { 0, 2, 0, 0x00 },
        { 0, 1, 1, 0x10 },
        { 0, 1, 4, 0x10 },
        { 0, 2, 2, 0x20 },
        { 0, 2, 5, 0x20 },
        { 0, 2, 3, 0x30 },
        { 0, 2, 6, 0x00 },
        { 1, 2, 3, 0xB0 },
        { 2, 0, 0, 0x40 },
    };
    for (const Row& r : rows) {
        TPrinterSetting s;
        s.PrintType = std::uint8_t(r.printType);
        s.PageType = std::uint8_t(r.pageType);
        s.FeedType = std::uint8_t(r.feedType);
        EXPECT_EQ(MediaFlags(s), r.flags) << r.printType << "/" << r.pageType << "/" << r.feedType;
    }
}

TEST(QcmlFields, BarcodeLetters)
{
    const char* upper = "KDRSAAHIEOFGBCQMNPLT";
    for (int type = 0; type < 20; ++type) {
        EXPECT_EQ(BarcodeLetter(type, true), QByteArray(1, upper[type])) << type;
        EXPECT_EQ(BarcodeLetter(type, false), QByteArray(1, char(upper[type] + 32))) << type;
    }
    // PDF417, QR and the two UCC/EAN-128 forms have no printer symbology.
    for (int type : { 20, 21, 22, 23, -1, 255 })
        EXPECT_TRUE(BarcodeLetter(type, true).isEmpty()) << type;
}
