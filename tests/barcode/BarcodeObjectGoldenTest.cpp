// Printer renders of barcodes with their human-readable lines, compared with golden one-bit PNGs.
// The screen fonts are pinned by the font mapping and the printer fonts come from the shipped
// glyph file, so the pictures are the same on every machine with the same font files.

#include "BarcodeObjectTestSupport.h"

#include "barcode/OABarCode.h"

#include <gtest/gtest.h>

#include <functional>

using namespace korvel;
using namespace korvel::test;

namespace {

QImage printed(TBarCodeType type, const QByteArray& content, const std::function<void(TOABarCode&)>& setup)
{
    TOABarCode o;
    o.SetIsRefresh(0);
    o.SetBarCodeType(type);
    if (IsTwoDimensional(type))
        o.SetData(content);
    else
        o.SetText(content);
    setup(o);
    o.SetIsRefresh(1);
    o.RebuildImage();
    EXPECT_EQ(o.DataCheck(), 1);
    const QImage image = o.renderForPrinter();
    EXPECT_EQ(image.format(), QImage::Format_Mono);
    return image;
}

} // namespace

TEST(BarcodeObjectGolden, Ean13DigitsPlacedByModuleAt203)
{
    const QImage image = printed(TBarCodeType::bcCodeEAN13, "590123412345", [](TOABarCode& o) {
        o.SetBarNarrow(2);
        o.SetBarHeight(100);
        o.SetLabelDistance(0.5);
    });
    ExpectMatchesObjectGolden(image, QStringLiteral("ean13_digits_203"));
}

TEST(BarcodeObjectGolden, Code128WithPrinterFontCaptionAt300)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    const QImage image = printed(TBarCodeType::bcCode128, "Korvel-128 abc", [](TOABarCode& o) {
        o.SetPrnDPI(300);
        o.SetBarNarrow(3);
        o.SetBarHeight(120);
        o.SetUsePrnFont(1);
        o.SetPrnFontIdx(11);
        o.SetLabelDistance(0.5);
        o.SetLabelAlign(TLabelAlignment::laCenter);
        o.setAngle(90);
    });
    ExpectMatchesObjectGolden(image, QStringLiteral("code128_printer_font_90_300"));
}

TEST(BarcodeObjectGolden, Code39GroupedScreenFontAboveAt203)
{
    const QImage image = printed(TBarCodeType::bcCode39, "KORVEL39", [](TOABarCode& o) {
        o.SetBarNarrow(2);
        o.SetBarWide(5);
        o.SetBarHeight(80);
        o.SetHowmany(4);
        o.SetFenGeFu(" ");
        o.SetShowSum(false);
        o.SetLabelPos(TLabelPosition::lpAbove);
        o.SetLabelAlign(TLabelAlignment::laAuto);
    });
    ExpectMatchesObjectGolden(image, QStringLiteral("code39_grouped_above_auto_203"));
}

TEST(BarcodeObjectGolden, QrCodeAt203)
{
    const QImage image = printed(
        TBarCodeType::bcCodeQR, "https://korvel.example/label?id=42", [](TOABarCode& o) { o.SetQRcodeElement(4); });
    ExpectMatchesObjectGolden(image, QStringLiteral("qr_203"));
}
