#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

TEST(LinearEncoder, EveryLinearTypeDrawsItsSampleData)
{
    // The sample data the barcode dialog shows for each type, prepared as the object does.
    struct Row {
        TBarCodeType type;
        QByteArray sample;
    };
    const Row rows[] = {
        {TBarCodeType::bcCodeIndustrial25, "0123456789"},
        {TBarCodeType::bcCodeInter25, "0123456789"},
        {TBarCodeType::bcCodeEurMatrix, "0123456789"},
        {TBarCodeType::bcCodeJanMatrix, "0123456789"},
        {TBarCodeType::bcCode39, "0123456789"},
        {TBarCodeType::bcCode39Ex, "0123456789"},
        {TBarCodeType::bcCodeHBIC, "0123456789"},
        {TBarCodeType::bcCodeCodabar, "0123456789"},
        {TBarCodeType::bcCode128, "0123456789"},
        {TBarCodeType::bcCode93, "01234567890"},
        {TBarCodeType::bcCodeEAN13, "012345678901"},
        {TBarCodeType::bcCodeEAN8, "0123456"},
        {TBarCodeType::bcCodeUPCA, "01234567890"},
        {TBarCodeType::bcCodeUPCE, "012345"},
        {TBarCodeType::bcCodeUccEan, "0123456789012345678"},
        {TBarCodeType::bcCodeUPC2, "01"},
        {TBarCodeType::bcCodeUPC5, "01234"},
        {TBarCodeType::bcCodePostnet, "01234"},
        {TBarCodeType::bcCodeCYM, "0123456789"},
        {TBarCodeType::bcCodePost25, "01234567890"},
        {TBarCodeType::bcCodeUCCEAN128DZJG, "2101234567890123456789"},
        {TBarCodeType::bcCodeUCCEAN128, "0123456789"},
    };
    LinearOptions o;
    o.narrow = 2;
    o.wide = 5;
    o.height = 80;
    o.guardExtension = GuardExtensionDots(203, 1.0);
    o.bearer = BearerDots(203, 1.0);
    for (const auto& row : rows) {
        const auto prepared = PrepareLinearData(row.type, row.sample, 0, 1);
        ASSERT_TRUE(prepared.accepted) << static_cast<int>(row.type);
        const auto width = BarcodeWidth(row.type, prepared.data, o);
        EXPECT_GT(width, 0) << static_cast<int>(row.type);
        BarPattern p;
        ASSERT_TRUE(EncodeLinear(row.type, prepared.data, o, p)) << static_cast<int>(row.type);
        EXPECT_EQ(p.width, width);
        const QImage image = RenderLinear(row.type, prepared.data, o);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), width + 1) << static_cast<int>(row.type);
        EXPECT_EQ(image.height(), p.height);
        EXPECT_EQ(qGray(image.pixel(0, image.height() / 2)), 255) << "column 0 stays blank";
    }
}

TEST(LinearEncoder, ValidatorDispatch)
{
    QByteArray reason;
    // Types outside the enumeration are refused without a reason.
    for (int value : {24, 100, 255}) {
        reason = "x";
        EXPECT_FALSE(ValidateBarcodeData(static_cast<TBarCodeType>(value), "123", reason)) << value;
        EXPECT_TRUE(reason.isEmpty());
        LinearOptions o;
        BarPattern p;
        EXPECT_EQ(BarcodeWidth(static_cast<TBarCodeType>(value), "123", o), 0);
        EXPECT_FALSE(EncodeLinear(static_cast<TBarCodeType>(value), "123", o, p));
    }
    // The two-dimensional types and the FNC1 types accept anything here.
    for (auto type : {TBarCodeType::bcCodePDF417, TBarCodeType::bcCodeQR, TBarCodeType::bcCodeUCCEAN128DZJG,
                      TBarCodeType::bcCodeUCCEAN128}) {
        EXPECT_TRUE(ValidateBarcodeData(type, QByteArray("\x80\x00", 2), reason));
        EXPECT_EQ(reason, "0");
    }
    LinearOptions o;
    BarPattern p;
    EXPECT_EQ(BarcodeWidth(TBarCodeType::bcCodeQR, "123", o), 0);
    EXPECT_FALSE(EncodeLinear(TBarCodeType::bcCodePDF417, "123", o, p));
}

TEST(LinearEncoder, OptionsOutOfRangeAreRefused)
{
    struct Row {
        const char* what;
        LinearOptions options;
    };
    LinearOptions base;
    auto with = [&](auto change) {
        LinearOptions o = base;
        change(o);
        return o;
    };
    const Row rows[] = {
        {"narrow 0", with([](LinearOptions& o) { o.narrow = 0; })},
        {"wide negative", with([](LinearOptions& o) { o.wide = -3; })},
        {"huge module", with([](LinearOptions& o) { o.narrow = kMaxModuleDots + 1; })},
        {"negative height", with([](LinearOptions& o) { o.height = -1; })},
        {"negative guard", with([](LinearOptions& o) { o.guardExtension = -1; })},
        {"negative bearer", with([](LinearOptions& o) { o.bearer = -1; })},
    };
    for (const auto& row : rows) {
        for (int t = 0; t <= kLastBarCodeType; ++t) {
            const auto type = static_cast<TBarCodeType>(t);
            BarPattern p;
            EXPECT_EQ(BarcodeWidth(type, "12345", row.options), 0) << row.what << " type " << t;
            EXPECT_FALSE(EncodeLinear(type, "12345", row.options, p)) << row.what << " type " << t;
        }
    }
    // The largest modules stay far inside 32 bits.
    LinearOptions big;
    big.narrow = kMaxModuleDots;
    big.wide = kMaxModuleDots;
    EXPECT_GT(BarcodeWidth(TBarCodeType::bcCode39, QByteArray(255, 'W'), big), 0);
}

TEST(LinearEncoder, GuardAndBearerSizes)
{
    EXPECT_EQ(GuardExtensionDots(203, 1.0), 13); // 13.19
    EXPECT_EQ(GuardExtensionDots(300, 1.0), 19); // 19.49
    EXPECT_EQ(GuardExtensionDots(203, 2.0), 26);
    EXPECT_EQ(BearerDots(203, 1.0), 11); // 10.95
    EXPECT_EQ(BearerDots(300, 1.0), 16); // 16.18
}

TEST(LinearEncoder, CheckTextPerType)
{
    struct Row {
        TBarCodeType type;
        QByteArray data;
        QByteArray check;
    };
    const Row rows[] = {
        {TBarCodeType::bcCodeInter25, "1234", "8"},
        {TBarCodeType::bcCodeCYM, "1234", "8"},
        {TBarCodeType::bcCodeEurMatrix, "123", "0"},
        {TBarCodeType::bcCode39, "CODE39", "W"},
        {TBarCodeType::bcCodeHBIC, "CODE39", "W"},
        {TBarCodeType::bcCode39Ex, "a", "8"}, // over the expansion +A: 41 + 10 = 51, mod 43 = 8
        {TBarCodeType::bcCode93, "TEST93", "+6"},
        {TBarCodeType::bcCodeUPCE, "123456", "5"},
        {TBarCodeType::bcCodePostnet, "12345", "5"},
        {TBarCodeType::bcCodeIndustrial25, "1234", ""},
        {TBarCodeType::bcCodeCodabar, "A1B", ""},
        {TBarCodeType::bcCodeUPC5, "12345", ""},
        {TBarCodeType::bcCode128, "B123", ""},
        {TBarCodeType::bcCodeInter25, "12a", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LinearCheckText(row.type, row.data), row.check) << static_cast<int>(row.type);
}

TEST(LinearEncoder, ArbitraryBytesNeverBreakTheEncoders)
{
    std::uint32_t seed = 99;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFFFF;
    };
    LinearOptions o;
    o.narrow = 1;
    o.wide = 3;
    o.height = 4;
    o.guardExtension = 2;
    o.bearer = 2;
    for (int t = 0; t <= kLastBarCodeType; ++t) {
        const auto type = static_cast<TBarCodeType>(t);
        for (int round = 0; round < 400; ++round) {
            QByteArray data;
            const int length = static_cast<int>(next() % (round % 4 == 0 ? 300 : 24));
            // Mostly digits and capitals (so that some data is accepted), some anything.
            for (int i = 0; i < length; ++i) {
                const auto r = next();
                data.append(r % 3 == 0 ? static_cast<char>(r >> 4) : r % 3 == 1 ? static_cast<char>('0' + r % 10)
                                                                                 : static_cast<char>('A' + r % 4));
            }
            o.parity = round % 2 == 0;
            QByteArray reason;
            const bool valid = ValidateBarcodeData(type, data, reason);
            const auto prepared = PrepareLinearData(type, data, static_cast<int>(next() % 5), 1);
            BarPattern p;
            const bool encoded = EncodeLinear(type, prepared.data, o, p);
            if (!IsLinear(type)) {
                EXPECT_FALSE(encoded);
                continue;
            }
            if (prepared.accepted) {
                ASSERT_TRUE(encoded) << t << " " << prepared.data.toHex().constData();
                EXPECT_EQ(BarcodeWidth(type, prepared.data, o), p.width);
                std::int64_t end = p.left;
                for (const auto& r : p.runs) {
                    end += r.width;
                    if (r.bar) {
                        EXPECT_LE(end, p.width + 1) << t;
                        EXPECT_GE(r.top, 0);
                        EXPECT_LE(r.bottom, p.height);
                    }
                }
            }
            // Whatever the encoder was told, drawing stays inside the canvas.
            QImage canvas(64, 8, QImage::Format_Mono);
            canvas.fill(0);
            DrawLinear(type, data, o, canvas, {.drawBearer = true});
            if (type != TBarCodeType::bcCode128 && type != TBarCodeType::bcCodeCodabar && IsLinear(type)
                && type != TBarCodeType::bcCodeUCCEAN128DZJG && type != TBarCodeType::bcCodeUCCEAN128) {
                // For these the data is drawn as given: the validator and the encoder agree.
                EXPECT_EQ(valid, EncodeLinear(type, data, o, p)) << t << " " << data.toHex().constData();
            }
        }
    }
}
