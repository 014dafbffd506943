// Every symbol that an independent reader knows is drawn at 203 and 300 dpi, turned to all four
// angles and read back by zxing-cpp; the text read must equal the data.

#include "BarcodeTestSupport.h"

#include "barcode/twod/Pdf417Symbol.h"
#include "barcode/twod/QrSymbol.h"

#include <gtest/gtest.h>

#include <functional>

using namespace korvel;
using namespace korvel::test;
using ZXing::BarcodeFormat;

namespace {

struct LinearCase {
    const char* name;
    TBarCodeType type;
    QByteArray text;
    int startSign = 0;
    bool parity = false;
    BarcodeFormat format;
    std::string expected;
    std::string identifier = {}; // symbology identifier when it matters (FNC1 forms)
    std::function<void(ZXing::DecodeHints&)> hints = {};
};

struct Resolution {
    int dpi;
    int narrow;
    int wide;
    int height;
};

constexpr Resolution kResolutions[] = {{203, 2, 5, 80}, {300, 3, 7, 118}};
constexpr int kAngles[] = {0, 90, 180, 270};

ZXing::DecodeHints hintsFor(BarcodeFormat format)
{
    ZXing::DecodeHints hints;
    hints.setFormats(format);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    return hints;
}

std::vector<LinearCase> linearCases()
{
    auto checksum39 = [](ZXing::DecodeHints& h) { h.setValidateCode39CheckSum(true); };
    return {
        {"code128 auto 20", TBarCodeType::bcCode128, "Korvel label 2024-06", 0, false, BarcodeFormat::Code128,
         "Korvel label 2024-06"},
        {"code128 auto runs", TBarCodeType::bcCode128, "AB12345CD", 0, false, BarcodeFormat::Code128, "AB12345CD"},
        {"code128 auto amp", TBarCodeType::bcCode128, "ab&c", 0, false, BarcodeFormat::Code128, "ab&c"},
        {"code128 auto shift", TBarCodeType::bcCode128, "abc\x01"
                                                        "def",
         0, false, BarcodeFormat::Code128, "abc\x01"
                                           "def"},
        {"code128 auto controls", TBarCodeType::bcCode128, "\x01\x02"
                                                           "a\x03\x04XYZ",
         0, false, BarcodeFormat::Code128, "\x01\x02"
                                           "a\x03\x04XYZ"},
        {"code128 auto digits", TBarCodeType::bcCode128, "12345678901234567", 0, false, BarcodeFormat::Code128,
         "12345678901234567"},
        {"code128 start A", TBarCodeType::bcCode128, "HELLO 128", 1, false, BarcodeFormat::Code128, "HELLO 128"},
        {"code128 start B escapes", TBarCodeType::bcCode128, "Ab&&c&D1234&Ex&Ca", 2, false, BarcodeFormat::Code128,
         "Ab&c1234x\x01"},
        {"code128 start C", TBarCodeType::bcCode128, "123456&EAB", 3, false, BarcodeFormat::Code128, "123456AB"},
        {"ucc/ean", TBarCodeType::bcCodeUccEan, "0012345678901234567", 0, false, BarcodeFormat::Code128,
         "00123456789012345675", "]C1"},
        {"21 + 20", TBarCodeType::bcCodeUCCEAN128DZJG, "2112345678901234567890", 0, false, BarcodeFormat::Code128,
         "2112345678901234567890", "]C1"},
        {"fnc1 plain", TBarCodeType::bcCodeUCCEAN128, "0112345678901231", 0, false, BarcodeFormat::Code128,
         "0112345678901231", "]C1"},
        {"code39", TBarCodeType::bcCode39, "CODE39 -.$/+%", 0, false, BarcodeFormat::Code39, "CODE39 -.$/+%"},
        {"code39 check", TBarCodeType::bcCode39, "CODE39", 0, true, BarcodeFormat::Code39, "CODE39", {}, checksum39},
        {"hibc", TBarCodeType::bcCodeHBIC, "A123BJC5D6E71", 0, false, BarcodeFormat::Code39, "A123BJC5D6E71", {},
         checksum39},
        {"full ascii 39", TBarCodeType::bcCode39Ex, "Hello, world! {x}", 0, false, BarcodeFormat::Code39,
         "Hello, world! {x}", {}, [](ZXing::DecodeHints& h) { h.setTryCode39ExtendedMode(true); }},
        {"code93", TBarCodeType::bcCode93, "CODE93 TEST", 0, true, BarcodeFormat::Code93, "CODE93 TEST"},
        {"code93 shifts", TBarCodeType::bcCode93, "TESTaA", 0, true, BarcodeFormat::Code93, "TEST\x01"},
        {"codabar", TBarCodeType::bcCodeCodabar, "1234567890", 0, false, BarcodeFormat::Codabar, "A1234567890B", {},
         [](ZXing::DecodeHints& h) { h.setReturnCodabarStartEnd(true); }},
        {"itf", TBarCodeType::bcCodeInter25, "0123456789", 0, false, BarcodeFormat::ITF, "0123456789"},
        {"itf odd", TBarCodeType::bcCodeInter25, "123456789", 0, false, BarcodeFormat::ITF, "0123456789"},
        {"itf check", TBarCodeType::bcCodeInter25, "1234567", 0, true, BarcodeFormat::ITF, "12345670"},
        {"ean13", TBarCodeType::bcCodeEAN13, "590123412345", 0, false, BarcodeFormat::EAN13, "5901234123457"},
        {"ean8", TBarCodeType::bcCodeEAN8, "9638507", 0, false, BarcodeFormat::EAN8, "96385074"},
        {"upca", TBarCodeType::bcCodeUPCA, "03600029145", 0, false, BarcodeFormat::UPCA, "036000291452"},
        {"upce", TBarCodeType::bcCodeUPCE, "123456", 0, false, BarcodeFormat::UPCE, "01234565"},
    };
}

QByteArray payload(int size)
{
    QByteArray data;
    const QByteArray words = "Korvel label 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz ";
    while (data.size() < size)
        data.append(words);
    data.truncate(size);
    return data;
}

} // namespace

TEST(Decode, LinearSymbolsReadBackAtBothResolutionsAndAllAngles)
{
    for (const auto& c : linearCases()) {
        const auto prepared = PrepareLinearData(c.type, c.text, c.startSign, 1);
        ASSERT_TRUE(prepared.accepted) << c.name;
        for (const auto& res : kResolutions) {
            LinearOptions o;
            o.narrow = res.narrow;
            o.wide = res.wide;
            o.height = res.height;
            o.parity = c.parity;
            o.guardExtension = GuardExtensionDots(res.dpi, 1.0);
            const QImage image = RenderLinear(c.type, prepared.data, o, QImage::Format_Grayscale8);
            ASSERT_FALSE(image.isNull()) << c.name;
            for (int angle : kAngles) {
                SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(res.dpi) + " dpi, "
                             + std::to_string(angle) + " degrees");
                auto hints = hintsFor(c.format);
                if (c.hints)
                    c.hints(hints);
                const auto d = decode(prepareForReader(image, 12 * res.wide, angle), hints);
                ASSERT_TRUE(d.valid);
                EXPECT_EQ(d.format, c.format);
                EXPECT_EQ(d.text, c.expected);
                if (!c.identifier.empty()) {
                    EXPECT_EQ(d.symbologyIdentifier, c.identifier);
                }
            }
        }
    }
}

TEST(Decode, MonoImagesReadLikeGreyOnes)
{
    // The object's bars image is one bit per pixel; the reader sees its grey conversion.
    LinearOptions o;
    o.narrow = 2;
    o.height = 60;
    const auto prepared = PrepareLinearData(TBarCodeType::bcCode128, "Mono 1-bit", 0, 0);
    const QImage mono = RenderLinear(TBarCodeType::bcCode128, prepared.data, o, QImage::Format_Mono);
    ASSERT_EQ(mono.format(), QImage::Format_Mono);
    const auto d = decode(prepareForReader(mono, 24, 0), hintsFor(BarcodeFormat::Code128));
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.text, "Mono 1-bit");
}

TEST(Decode, Pdf417ReadsBackAtBothResolutionsAndAllAngles)
{
    const QByteArray data = payload(100);
    for (const auto& res : kResolutions) {
        Pdf417Settings s;
        s.moduleWidth = res.narrow;
        s.rowHeight = 3 * res.narrow;
        s.columns = 6;
        s.rows = 5;
        s.errorLevel = 3;
        for (bool truncated : {false, true}) {
            s.truncated = truncated;
            SymbolMatrix m;
            ASSERT_EQ(EncodePdf417(data, s, m), 0);
            // The object's image: one dot wider than the padded matrix rows and one dot higher.
            const QImage image = SymbolMatrixImage(m, m.stride() * 8 + 1, m.height + 1);
            for (int angle : kAngles) {
                SCOPED_TRACE("PDF417 at " + std::to_string(res.dpi) + " dpi, " + std::to_string(angle)
                             + (truncated ? " degrees, truncated" : " degrees"));
                const auto d = decode(prepareForReader(image, 4 * res.narrow, angle), hintsFor(BarcodeFormat::PDF417));
                ASSERT_TRUE(d.valid);
                EXPECT_EQ(d.text, data.toStdString());
            }
        }
    }
}

TEST(Decode, QrCodeReadsBackAtBothResolutionsAndAllAngles)
{
    const QByteArray data = payload(100);
    for (const auto& res : kResolutions) {
        for (const char* level : {"L", "M", "Q", "H"}) {
            QrSettings s;
            s.moduleSize = res.narrow + 1;
            SymbolMatrix m;
            const int side = EncodeQr(QrInputText(level, "A", 'A', data), s, m);
            ASSERT_GT(side, 0);
            const int c = (side + 7) / 8 * 8;
            const QImage image = SymbolMatrixImage(m, c, c);
            for (int angle : kAngles) {
                SCOPED_TRACE(std::string("QR ") + level + " at " + std::to_string(res.dpi) + " dpi, "
                             + std::to_string(angle) + " degrees");
                const auto d = decode(prepareForReader(image, 4 * s.moduleSize, angle), hintsFor(BarcodeFormat::QRCode));
                ASSERT_TRUE(d.valid);
                EXPECT_EQ(d.text, data.toStdString());
            }
        }
    }
}
