#include "BarcodeTestSupport.h"

#include "barcode/twod/QrSymbol.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

TEST(QrSymbol, InputText)
{
    EXPECT_EQ(QrInputText("M", "A", 'A', "1234567890"), "MA,1234567890");
    EXPECT_EQ(QrInputText("M", "5", 'A', "1234567890"), "M5A,1234567890");
    EXPECT_EQ(QrInputText("M", "3", 'A', "x"), "M3A,x");
    EXPECT_EQ(QrInputText("H", "A", 'M', ""), "HM,");
}

TEST(QrSymbol, SideAndMatrixFollowTheModuleSize)
{
    QrSettings s;
    s.moduleSize = 3;
    SymbolMatrix m;
    // Ten digits fit version 1 (21 modules).
    const int side = EncodeQr("MA,1234567890", s, m);
    ASSERT_EQ(side, 21 * 3);
    EXPECT_EQ(m.width, side);
    EXPECT_EQ(m.height, side);
    EXPECT_EQ(m.stride(), 8);
    EXPECT_EQ(m.bits.size(), 8 * side);
    // Finder pattern corners: dark outer ring, light ring, dark core.
    EXPECT_TRUE(m.dark(0, 0));
    EXPECT_TRUE(m.dark(20, 2));
    EXPECT_FALSE(m.dark(3, 3));
    EXPECT_TRUE(m.dark(6, 6));
    EXPECT_TRUE(m.dark(side - 1, 0));
    EXPECT_TRUE(m.dark(0, side - 1));

    // The object's image is c × c with c the padded side; rows past the side stay white.
    const QImage image = SymbolMatrixImage(m, 64, 64);
    ASSERT_EQ(image.size(), QSize(64, 64));
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(qGray(image.pixel(x, 63)), 255);
    EXPECT_EQ(qGray(image.pixel(0, 0)), 0);
}

TEST(QrSymbol, LevelsAndMasksChangeTheSymbol)
{
    QrSettings s;
    s.moduleSize = 1;
    const QByteArray data = "Korvel QR mask test";
    SymbolMatrix automatic;
    ASSERT_GT(EncodeQr(QrInputText("M", "A", 'A', data), s, automatic), 0);
    SymbolMatrix eight;
    ASSERT_GT(EncodeQr(QrInputText("M", "8", 'A', data), s, eight), 0);
    EXPECT_EQ(eight.bits, automatic.bits) << "mask 8 is automatic";
    SymbolMatrix manual;
    ASSERT_GT(EncodeQr(QrInputText("M", "A", 'M', data), s, manual), 0);
    EXPECT_EQ(manual.bits, automatic.bits);

    std::vector<QByteArray> masks;
    for (char mask = '0'; mask <= '7'; ++mask) {
        SymbolMatrix m;
        ASSERT_GT(EncodeQr(QrInputText("M", QByteArray(1, mask), 'A', data), s, m), 0);
        masks.push_back(m.bits);
        auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
        const auto d = decode(prepareForReader(SymbolMatrixImage(m, m.width, m.height), 4, 0), hints);
        ASSERT_TRUE(d.valid) << mask;
        EXPECT_EQ(d.text, data.toStdString());
    }
    std::sort(masks.begin(), masks.end());
    EXPECT_EQ(std::unique(masks.begin(), masks.end()), masks.end()) << "eight different masks";

    SymbolMatrix low;
    SymbolMatrix high;
    const QByteArray longer(60, 'k');
    ASSERT_GT(EncodeQr(QrInputText("L", "A", 'A', longer), s, low), 0);
    ASSERT_GT(EncodeQr(QrInputText("H", "A", 'A', longer), s, high), 0);
    EXPECT_GT(high.width, low.width) << "more correction needs a larger version";
}

TEST(QrSymbol, ModelOneAndJapaneseStillRead)
{
    QrSettings s;
    s.moduleSize = 2;
    s.model = 1;
    SymbolMatrix m;
    ASSERT_GT(EncodeQr("QA,model one", s, m), 0);
    auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    auto d = decode(prepareForReader(SymbolMatrixImage(m, m.width, m.height), 8, 0), hints);
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.text, "model one");

    // Shift JIS text in Japanese mode goes into Kanji segments: a smaller symbol than bytes.
    const QByteArray sjis = QByteArray::fromHex("93fa967b8cea82cc836583588367") + QByteArray::fromHex("93fa967b8cea").repeated(40);
    s.model = 2;
    s.language = 1;
    s.moduleSize = 1;
    SymbolMatrix kanji;
    ASSERT_GT(EncodeQr(QrInputText("M", "A", 'A', sjis), s, kanji), 0);
    s.language = 0;
    SymbolMatrix bytes;
    ASSERT_GT(EncodeQr(QrInputText("M", "A", 'A', sjis), s, bytes), 0);
    EXPECT_LT(kanji.width, bytes.width);
    d = decode(prepareForReader(SymbolMatrixImage(kanji, kanji.width, kanji.height), 4, 0), hints);
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.bytes.size(), static_cast<std::size_t>(sjis.size()));
}

TEST(QrSymbol, FailuresAreNegativeValues)
{
    struct Row {
        const char* what;
        QByteArray text;
        QrSettings settings;
        int expected;
    };
    QrSettings ok;
    auto with = [&](auto change) {
        QrSettings s = ok;
        change(s);
        return s;
    };
    const Row rows[] = {
        {"empty text", "", ok, kSymbolBadArgument},
        {"unknown level", "XA,1", ok, kSymbolBadArgument},
        {"lower case level", "mA,1", ok, kSymbolBadArgument},
        {"missing mode", "M,1", ok, kSymbolBadArgument},
        {"unknown mode", "MZ,1", ok, kSymbolBadArgument},
        {"missing comma", "MA1", ok, kSymbolBadArgument},
        {"mask without mode", "M5,1", ok, kSymbolBadArgument},
        {"no data", "MA,", ok, kSymbolNoData},
        {"module 0", "MA,1", with([](QrSettings& s) { s.moduleSize = 0; }), kSymbolBadArgument},
        {"module too big", "MA,1", with([](QrSettings& s) { s.moduleSize = kQrMaxModule + 1; }), kSymbolBadArgument},
        {"model 3", "MA,1", with([](QrSettings& s) { s.model = 3; }), kSymbolBadArgument},
        {"language 2", "MA,1", with([](QrSettings& s) { s.language = 2; }), kSymbolBadArgument},
        {"too long", "HA," + QByteArray(3000, '\xAB'), ok, kSymbolDataTooLong},
    };
    for (const auto& row : rows) {
        SymbolMatrix m;
        m.width = 3;
        EXPECT_EQ(EncodeQr(row.text, row.settings, m), row.expected) << row.what;
        EXPECT_TRUE(m.isNull()) << row.what;
    }
}
