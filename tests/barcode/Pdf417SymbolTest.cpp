#include "BarcodeTestSupport.h"

#include "barcode/twod/Pdf417Symbol.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

// The module grid zint gives for the same settings (rows value already as rows).
ZintResult zintPdf417(const QByteArray& data, int columns, int rows, int level, bool truncated)
{
    ZintResult result;
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
    s->symbology = truncated ? BARCODE_PDF417COMP : BARCODE_PDF417;
    s->option_1 = level;
    s->option_2 = columns;
    s->option_3 = rows;
    result.rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                static_cast<int>(data.size()));
    for (int r = 0; r < s->rows; ++r) {
        std::string m;
        for (int c = 0; c < s->width; ++c)
            m += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
        result.rows.push_back(m);
    }
    return result;
}

} // namespace

TEST(Pdf417Symbol, MatrixIsTheModuleGridScaledToDots)
{
    const QByteArray data = "1234567890 Korvel PDF417";
    Pdf417Settings s;
    s.moduleWidth = 3;
    s.rowHeight = 5;
    s.columns = 4;
    s.rows = 8; // ten rows
    s.errorLevel = 2;
    SymbolMatrix m;
    ASSERT_EQ(EncodePdf417(data, s, m), 0);
    const auto z = zintPdf417(data, 4, 10, 2, false);
    ASSERT_LT(z.rc, ZINT_ERROR);
    ASSERT_EQ(z.rows.size(), 10u);
    const int columns = static_cast<int>(z.rows[0].size());
    EXPECT_EQ(columns, 17 * (4 + 4) + 1);
    EXPECT_EQ(m.width, 3 * columns);
    EXPECT_EQ(m.height, 5 * 10);
    EXPECT_EQ(m.bits.size(), m.stride() * m.height);
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            ASSERT_EQ(m.dark(x, y), z.rows[static_cast<std::size_t>(y / 5)][static_cast<std::size_t>(x / 3)] == '1')
                << x << "," << y;
    // Padding bits past the width are clear.
    const auto last = static_cast<unsigned char>(m.bits[m.stride() - 1]);
    const int used = m.width % 8;
    if (used != 0) {
        EXPECT_EQ(last & ((1 << (8 - used)) - 1), 0);
    }
}

TEST(Pdf417Symbol, TruncatedDropsTheRightIndicators)
{
    Pdf417Settings s;
    s.moduleWidth = 1;
    s.rowHeight = 1;
    s.columns = 3;
    SymbolMatrix full;
    SymbolMatrix compact;
    ASSERT_EQ(EncodePdf417("1234567890", s, full), 0);
    s.truncated = true;
    ASSERT_EQ(EncodePdf417("1234567890", s, compact), 0);
    EXPECT_EQ(full.width, 17 * (3 + 4) + 1);
    EXPECT_EQ(compact.width, 17 * (3 + 2) + 1);
}

TEST(Pdf417Symbol, RowsAreAMinimum)
{
    Pdf417Settings s;
    s.moduleWidth = 1;
    s.rowHeight = 1;
    s.columns = 3;
    SymbolMatrix m;
    // The defaults (rows value 5: seven rows) are too few for ten digits at level 3: the
    // symbol grows instead of failing.
    s.rows = 5;
    ASSERT_EQ(EncodePdf417("1234567890", s, m), 0);
    EXPECT_GE(m.height, 8);
    // More rows than needed are kept.
    s.rows = 28;
    ASSERT_EQ(EncodePdf417("1234567890", s, m), 0);
    EXPECT_EQ(m.height, 30);
    s.rows = 0;
    ASSERT_EQ(EncodePdf417("1234567890", s, m), 0);
    EXPECT_GE(m.height, 3);
}

TEST(Pdf417Symbol, FailuresAreNegativeValues)
{
    struct Row {
        const char* what;
        QByteArray data;
        Pdf417Settings settings;
        int expected;
    };
    Pdf417Settings ok;
    auto with = [&](auto change) {
        Pdf417Settings s = ok;
        change(s);
        return s;
    };
    const Row rows[] = {
        {"empty", "", ok, kSymbolNoData},
        {"module 0", "1", with([](Pdf417Settings& s) { s.moduleWidth = 0; }), kSymbolBadArgument},
        {"module too wide", "1", with([](Pdf417Settings& s) { s.moduleWidth = kPdf417MaxModule + 1; }),
         kSymbolBadArgument},
        {"row height 0", "1", with([](Pdf417Settings& s) { s.rowHeight = 0; }), kSymbolBadArgument},
        {"31 columns", "1", with([](Pdf417Settings& s) { s.columns = 31; }), kSymbolBadArgument},
        {"negative columns", "1", with([](Pdf417Settings& s) { s.columns = -1; }), kSymbolBadArgument},
        {"rows value 89", "1", with([](Pdf417Settings& s) { s.rows = 89; }), kSymbolBadArgument},
        {"level 9", "1", with([](Pdf417Settings& s) { s.errorLevel = 9; }), kSymbolBadArgument},
        {"level -1", "1", with([](Pdf417Settings& s) { s.errorLevel = -1; }), kSymbolBadArgument},
        // more than 90 rows of one column can hold
        {"too long for one column", QByteArray(400, 'x'), with([](Pdf417Settings& s) { s.columns = 1; }),
         kSymbolDataTooLong},
        {"too long for any symbol", QByteArray(3000, 'x'), ok, kSymbolDataTooLong},
    };
    for (const auto& row : rows) {
        SymbolMatrix m;
        m.width = 5;
        const int rc = EncodePdf417(row.data, row.settings, m);
        EXPECT_LT(rc, 0) << row.what;
        if (row.expected == kSymbolDataTooLong) {
            EXPECT_TRUE(rc == kSymbolDataTooLong || rc == kSymbolEncodeFailed) << row.what << " " << rc;
        } else {
            EXPECT_EQ(rc, row.expected) << row.what;
        }
        EXPECT_TRUE(m.isNull()) << row.what;
        EXPECT_TRUE(m.bits.isEmpty());
    }
}

TEST(Pdf417Symbol, BinaryDataRoundTrips)
{
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data.append(static_cast<char>(i));
    Pdf417Settings s;
    s.columns = 8;
    s.rows = 1;
    SymbolMatrix m;
    ASSERT_EQ(EncodePdf417(data, s, m), 0);
    const QImage image = SymbolMatrixImage(m, m.stride() * 8 + 1, m.height + 1);
    auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::PDF417);
    const auto d = decode(prepareForReader(image, 8, 0), hints);
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.bytes, data.toStdString());
}

TEST(SymbolMatrix, ImageCopiesRowsInvertedAndLeavesTheRestWhite)
{
    // A matrix of width 70 and height 40 gives the object an image of 73 × 41.
    std::vector<std::uint8_t> modules(70 * 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 70; ++x)
            modules[static_cast<std::size_t>(y * 70 + x)] = (x + y) % 3 == 0;
    SymbolMatrix m;
    ASSERT_TRUE(ScaleModules(modules, 70, 40, 1, 1, m));
    const QImage image = SymbolMatrixImage(m, (m.width + 7) / 8 * 8 + 1, m.height + 1);
    ASSERT_EQ(image.size(), QSize(73, 41));
    ASSERT_EQ(image.format(), QImage::Format_Mono);
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 73; ++x) {
            const bool black = qGray(image.pixel(x, y)) == 0;
            ASSERT_EQ(black, x < 70 && y < 40 && (x + y) % 3 == 0) << x << "," << y;
        }
    }
    EXPECT_TRUE(SymbolMatrixImage(m, 0, 5).isNull());
    // A matrix whose bits do not cover its size is not read past its end.
    SymbolMatrix broken = m;
    broken.bits.truncate(10);
    const QImage blank = SymbolMatrixImage(broken, 73, 41);
    ASSERT_FALSE(blank.isNull());
    EXPECT_EQ(qGray(blank.pixel(0, 0)), 255);

    SymbolMatrix none;
    EXPECT_FALSE(ScaleModules(modules, 70, 40, 0, 1, none));
    EXPECT_FALSE(ScaleModules(modules, 71, 40, 1, 1, none));
    EXPECT_TRUE(none.isNull());
}
