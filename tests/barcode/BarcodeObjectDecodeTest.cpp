// Every symbol a barcode object draws, on screen and in its printer copy, at 203 and 300 dpi and
// at all four angles, with its human-readable line, is read back by zxing-cpp.

#include "BarcodeTestSupport.h"

#include "barcode/OABarCode.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace korvel;
using namespace korvel::test;
using ZXing::BarcodeFormat;

namespace {

struct ObjectCase {
    const char* name;
    TBarCodeType type;
    QByteArray text;
    BarcodeFormat format;
    std::string expected;
    int startSign = 0;
    bool parity = false;
    std::string identifier = {};
    std::function<void(ZXing::DecodeHints&)> hints = {};
    std::function<void(TOABarCode&)> setup = {};
};

struct Resolution {
    int dpi;
    int narrow;
    int wide;
    int height;
};

constexpr Resolution kResolutions[] = { { 203, 2, 5, 80 }, { 300, 3, 7, 118 } };
constexpr int kAngles[] = { 0, 90, 180, 270 };
// The screen image is read at zooms where a narrow module covers more than two pixels, a whole
// one and a fractional one (where the pattern is drawn unzoomed and stretched).
constexpr double kScreenZooms[] = { 2.5, 3.0 };

ZXing::DecodeHints hintsFor(const ObjectCase& c)
{
    ZXing::DecodeHints hints;
    hints.setFormats(c.format);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    if (c.hints)
        c.hints(hints);
    return hints;
}

std::vector<ObjectCase> cases()
{
    auto checksum39 = [](ZXing::DecodeHints& h) { h.setValidateCode39CheckSum(true); };
    auto above = [](TOABarCode& o) { o.SetLabelPos(TLabelPosition::lpAbove); };
    auto printerFont = [](TOABarCode& o) {
        o.SetUsePrnFont(1);
        o.SetPrnFontIdx(2);
    };
    return {
        { "code128 auto", TBarCodeType::bcCode128, "Korvel label 2024-06", BarcodeFormat::Code128,
            "Korvel label 2024-06" },
        { "code128 auto shift", TBarCodeType::bcCode128,
            "abc\x01"
            "def",
            BarcodeFormat::Code128,
            "abc\x01"
            "def" },
        { "code128 printer font", TBarCodeType::bcCode128, "AB12345CD", BarcodeFormat::Code128, "AB12345CD", 0, false,
            {}, {}, printerFont },
        { "code128 start A above", TBarCodeType::bcCode128, "HELLO 128", BarcodeFormat::Code128, "HELLO 128", 1, false,
            {}, {}, above },
        { "code128 start C", TBarCodeType::bcCode128, "123456&EAB", BarcodeFormat::Code128, "123456AB", 3 },
        { "ucc/ean", TBarCodeType::bcCodeUccEan, "0012345678901234567", BarcodeFormat::Code128, "00123456789012345675",
            0, false, "]C1" },
        { "21 + 20", TBarCodeType::bcCodeUCCEAN128DZJG, "2112345678901234567890", BarcodeFormat::Code128,
            "2112345678901234567890", 0, false, "]C1" },
        { "fnc1 plain", TBarCodeType::bcCodeUCCEAN128, "0112345678901231", BarcodeFormat::Code128, "0112345678901231",
            0, false, "]C1" },
        { "code39", TBarCodeType::bcCode39, "CODE39 -.$/+%", BarcodeFormat::Code39, "CODE39 -.$/+%" },
        { "code39 check, printer default font", TBarCodeType::bcCode39, "CODE39", BarcodeFormat::Code39, "CODE39", 0,
            true, {}, checksum39, [](TOABarCode& o) { o.SetLabelWithPrn(true); } },
        { "full ascii 39", TBarCodeType::bcCode39Ex, "Hello, world!", BarcodeFormat::Code39, "Hello, world!", 0, false,
            {}, [](ZXing::DecodeHints& h) { h.setTryCode39ExtendedMode(true); } },
        { "code93", TBarCodeType::bcCode93, "CODE93 TEST", BarcodeFormat::Code93, "CODE93 TEST", 0, true },
        { "codabar auto text", TBarCodeType::bcCodeCodabar, "1234567890", BarcodeFormat::Codabar, "A1234567890B", 0,
            false, {}, [](ZXing::DecodeHints& h) { h.setReturnCodabarStartEnd(true); },
            [](TOABarCode& o) {
                o.SetEndSign(1);
                o.SetLabelAlign(TLabelAlignment::laAuto);
            } },
        { "itf", TBarCodeType::bcCodeInter25, "0123456789", BarcodeFormat::ITF, "0123456789" },
        { "itf check", TBarCodeType::bcCodeInter25, "1234567", BarcodeFormat::ITF, "12345670", 0, true },
        { "ean13", TBarCodeType::bcCodeEAN13, "590123412345", BarcodeFormat::EAN13, "5901234123457" },
        { "ean13 printer font", TBarCodeType::bcCodeEAN13, "590123412345", BarcodeFormat::EAN13, "5901234123457", 0,
            false, {}, {}, printerFont },
        { "ean8", TBarCodeType::bcCodeEAN8, "9638507", BarcodeFormat::EAN8, "96385074" },
        { "upca", TBarCodeType::bcCodeUPCA, "03600029145", BarcodeFormat::UPCA, "036000291452" },
        { "upce", TBarCodeType::bcCodeUPCE, "123456", BarcodeFormat::UPCE, "01234565" },
        { "pdf417", TBarCodeType::bcCodePDF417, "Korvel PDF417 0123456789", BarcodeFormat::PDF417,
            "Korvel PDF417 0123456789" },
        { "qr", TBarCodeType::bcCodeQR, "https://korvel.example/label?id=42", BarcodeFormat::QRCode,
            "https://korvel.example/label?id=42" },
    };
}

/// An object at zoom 1 for the case at the resolution; the caller sets zoom and angle.
std::unique_ptr<TOABarCode> makeObject(const ObjectCase& c, const Resolution& r)
{
    auto o = std::make_unique<TOABarCode>();
    o->SetIsRefresh(0);
    o->SetPrnDPI(r.dpi);
    o->SetBarCodeType(c.type);
    o->SetBarNarrow(r.narrow);
    o->SetBarWide(r.wide);
    o->SetBarHeight(r.height);
    o->SetStartSign(c.startSign);
    o->SetParity(c.parity);
    if (IsTwoDimensional(c.type)) {
        o->SetData(c.text);
        o->SetPDFBaseWidth(r.narrow);
        o->SetPDFBaseHeight(3 * r.narrow);
        o->SetQRcodeElement(r.narrow + 1);
    } else {
        o->SetText(c.text);
    }
    if (c.setup)
        c.setup(*o);
    o->SetIsRefresh(1);
    o->RebuildImage();
    return o;
}

void expectReads(const QImage& image, const ObjectCase& c, int quiet)
{
    ASSERT_FALSE(image.isNull());
    const auto d = decode(prepareForReader(image, quiet, 0), hintsFor(c));
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.format, c.format);
    EXPECT_EQ(d.text, c.expected);
    if (!c.identifier.empty()) {
        EXPECT_EQ(d.symbologyIdentifier, c.identifier);
    }
}

} // namespace

TEST(BarcodeObjectDecode, PrinterCopiesReadBackAtBothResolutionsAndAllAngles)
{
    for (const auto& c : cases()) {
        for (const auto& r : kResolutions) {
            auto o = makeObject(c, r);
            ASSERT_EQ(o->DataCheck(), 1) << c.name;
            for (int angle : kAngles) {
                SCOPED_TRACE(std::string(c.name) + " printed at " + std::to_string(r.dpi) + " dpi, "
                    + std::to_string(angle) + " degrees");
                o->setAngle(angle);
                const QImage printed = o->renderForPrinter();
                EXPECT_EQ(printed.format(), QImage::Format_Mono);
                expectReads(printed, c, 12 * r.wide);
            }
        }
    }
}

TEST(BarcodeObjectDecode, ScreenImagesReadBackAtBothResolutionsAndAllAngles)
{
    for (const auto& c : cases()) {
        for (const auto& r : kResolutions) {
            auto o = makeObject(c, r);
            for (double zoom : kScreenZooms) {
                o->setZoom(zoom);
                for (int angle : kAngles) {
                    SCOPED_TRACE(std::string(c.name) + " on screen at " + std::to_string(r.dpi) + " dpi, zoom "
                        + std::to_string(zoom) + ", " + std::to_string(angle) + " degrees");
                    o->setAngle(angle);
                    EXPECT_EQ(o->DstBitmap().size(), o->geometry().size());
                    expectReads(o->DstBitmap(), c, 24);
                }
            }
        }
    }
}
