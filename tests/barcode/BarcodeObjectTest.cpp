// The barcode object's properties: setter side effects, caps, zoom and resolution rules, turns,
// and what a rejected value or a failed encoding leaves behind.

#include "barcode/BarcodeRules.h"
#include "barcode/OABarCode.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace korvel;

namespace {

/// A Code 128 object at zoom 1 with its image built.
std::unique_ptr<TOABarCode> built(TBarCodeType type = TBarCodeType::bcCode128, const QByteArray& text = "KORVEL")
{
    auto o = std::make_unique<TOABarCode>();
    o->SetIsRefresh(0);
    o->SetBarCodeType(type);
    if (IsTwoDimensional(type))
        o->SetData(text);
    else
        o->SetText(text);
    o->SetIsRefresh(1);
    o->RebuildImage();
    return o;
}

/// Whether `change` rebuilt the image: the image is dropped first and comes back only through a
/// rebuild.
bool rebuilds(TOABarCode& o, const std::function<void(TOABarCode&)>& change)
{
    o.setDstBitmap(QImage());
    change(o);
    return !o.DstBitmap().isNull();
}

} // namespace

TEST(BarcodeObject, ConstructionDefaults)
{
    TOABarCode o;
    EXPECT_EQ(o.kind(), ObjectKind::BarCode);
    EXPECT_EQ(o.ObjStyle, 2);
    EXPECT_EQ(o.ObjBitMode, 1);
    EXPECT_EQ(o.geometry().size(), QSize(40, 40));
    EXPECT_EQ(o.BarHeight(), 40);
    EXPECT_EQ(o.OrgBarHeight(), 80);
    EXPECT_EQ(o.BarNarrow(), 2);
    EXPECT_EQ(o.BarWide(), 4);
    EXPECT_EQ(o.ZoomNarrow(), 2);
    EXPECT_EQ(o.ZoomWide(), 4);
    EXPECT_EQ(o.BarCodeType(), TBarCodeType::bcCode128);
    EXPECT_EQ(o.Text(), "01234567890");
    EXPECT_EQ(o.Data(), "1234567890");
    EXPECT_EQ(o.EndSign(), -1);
    EXPECT_TRUE(o.ShowText());
    EXPECT_EQ(o.PrnDPI(), 203);
    EXPECT_EQ(o.PrnFontIdx(), 1);
    EXPECT_EQ(o.TextFont().Name, QStringLiteral("黑体"));
    EXPECT_EQ(o.TextFont().Size, 8);
    EXPECT_EQ(o.IsRefresh(), 1);
    EXPECT_EQ(o.DataCheck(), 1);
    EXPECT_EQ(o.PDFBaseWidth(), 2);
    EXPECT_EQ(o.PDFBaseHeight(), 7);
    EXPECT_EQ(o.PDF417WidthScale(), 2);
    EXPECT_EQ(o.PDF417HeightScale(), 1);
    EXPECT_EQ(o.PDF417Rols(), 5);
    EXPECT_EQ(o.PDF417Cels(), 3);
    EXPECT_EQ(o.PDF417ECClevel(), 3);
    EXPECT_EQ(o.PDF417ASpectType(), 2);
    EXPECT_TRUE(o.PDF417RowCol());
    EXPECT_EQ(o.QRcodeElement(), 3);
    EXPECT_EQ(o.QRModel(), 2);
    EXPECT_EQ(o.QRErrLevel(), "M");
    EXPECT_EQ(o.QRMaskNo(), "A");
    EXPECT_EQ(o.QRDataInputModel(), 'A');
    EXPECT_EQ(o.DMElement(), 3);
    EXPECT_EQ(o.DMBlackwhite(), 1);
}

TEST(BarcodeObject, WhichSettersRebuild)
{
    using F = std::function<void(TOABarCode&)>;
    struct Row {
        const char* name;
        F change;
        bool rebuild;
    };
    const Row rows[] = {
        // Values equal to the stored ones.
        { "same BarHeight", [](TOABarCode& o) { o.SetBarHeight(o.BarHeight()); }, false },
        { "same Text", [](TOABarCode& o) { o.SetText(QByteArray("KOR") + "VEL"); }, false },
        { "same BarNarrow", [](TOABarCode& o) { o.SetBarNarrow(2); }, false },
        { "same LabelWithPrn", [](TOABarCode& o) { o.SetLabelWithPrn(false); }, false },
        { "same Data", [](TOABarCode& o) { o.SetData("1234567890"); }, false },
        { "same ShowText always rebuilds", [](TOABarCode& o) { o.SetShowText(true); }, true },
        { "same PrnDPI always rebuilds", [](TOABarCode& o) { o.SetPrnDPI(203); }, true },
        { "same TextFont rebuilds", [](TOABarCode& o) { o.SetTextFont(o.TextFont()); }, true },
        // New values.
        { "BarHeight", [](TOABarCode& o) { o.SetBarHeight(60); }, true },
        { "BarWidth", [](TOABarCode& o) { o.SetBarWidth(5); }, true },
        { "Parity", [](TOABarCode& o) { o.SetParity(true); }, true },
        { "StartSign", [](TOABarCode& o) { o.SetStartSign(2); }, true },
        { "Text", [](TOABarCode& o) { o.SetText("OTHER"); }, true },
        { "EndSign", [](TOABarCode& o) { o.SetEndSign(2); }, true },
        { "BarNarrow", [](TOABarCode& o) { o.SetBarNarrow(3); }, true },
        { "BarWide", [](TOABarCode& o) { o.SetBarWide(6); }, true },
        { "BarCodeType", [](TOABarCode& o) { o.SetBarCodeType(TBarCodeType::bcCode39); }, true },
        { "Color", [](TOABarCode& o) { o.SetColor(0xFFFFFF); }, true },
        { "ColorBar", [](TOABarCode& o) { o.SetColorBar(0x0000FF); }, true },
        { "UsePrnFont", [](TOABarCode& o) { o.SetUsePrnFont(1); }, true },
        { "PrnFontIdx", [](TOABarCode& o) { o.SetPrnFontIdx(4); }, true },
        { "LabelWithPrn", [](TOABarCode& o) { o.SetLabelWithPrn(true); }, true },
        { "LabelPos", [](TOABarCode& o) { o.SetLabelPos(TLabelPosition::lpAbove); }, true },
        { "LabelAlign", [](TOABarCode& o) { o.SetLabelAlign(TLabelAlignment::laRight); }, true },
        { "LabelDistance", [](TOABarCode& o) { o.SetLabelDistance(-0.5); }, true },
        { "SysPrn", [](TOABarCode& o) { o.SetSysPrn(1); }, true },
        { "ShowSum with text", [](TOABarCode& o) { o.SetShowSum(true); }, true },
        { "Data", [](TOABarCode& o) { o.SetData("other"); }, true },
        { "PDFBaseWidth", [](TOABarCode& o) { o.SetPDFBaseWidth(3); }, true },
        { "PDF417Trunct", [](TOABarCode& o) { o.SetPDF417Trunct(true); }, true },
        { "PDF417ASpectType", [](TOABarCode& o) { o.SetPDF417ASpectType(7); }, true },
        { "QRErrLevel", [](TOABarCode& o) { o.SetQRErrLevel("H"); }, true },
        { "QRDataInputModel", [](TOABarCode& o) { o.SetQRDataInputModel('M'); }, true },
        { "QRPrn to 1", [](TOABarCode& o) { o.SetQRPrn(1); }, true },
        { "DMShape", [](TOABarCode& o) { o.SetDMShape(1); }, true },
        // Stored only.
        { "ShowSum without text",
            [](TOABarCode& o) {
                o.SetShowText(false);
                o.setDstBitmap(QImage());
                o.SetShowSum(true);
            },
            false },
        { "QRPrn to 0",
            [](TOABarCode& o) {
                o.SetQRPrn(1);
                o.setDstBitmap(QImage());
                o.SetQRPrn(0);
            },
            false },
        { "Howmany", [](TOABarCode& o) { o.SetHowmany(3); }, false },
        { "FenGeFu", [](TOABarCode& o) { o.SetFenGeFu("-"); }, false },
        { "PDF417Prn", [](TOABarCode& o) { o.SetPDF417Prn(1); }, false },
        { "ErrFlag", [](TOABarCode& o) { o.SetErrFlag(1); }, false },
        { "CopyFlag", [](TOABarCode& o) { o.SetCopyFlag(1); }, false },
        { "Mode and postal fields",
            [](TOABarCode& o) {
                o.SetMode(2);
                o.SetPost1("1");
                o.SetCountry("CN");
            },
            false },
        { "AbsLeft", [](TOABarCode& o) { o.SetAbsLeft(12.5); }, false },
        { "VirTop", [](TOABarCode& o) { o.SetVirTop(33); }, false },
        { "suspended",
            [](TOABarCode& o) {
                o.SetIsRefresh(0);
                o.SetText("SUSPENDED");
            },
            false },
    };
    for (const Row& row : rows) {
        auto o = built();
        // As a file leaves it: the stored height has reached its zoom base (the defaults differ).
        o->SetBarHeight(o->BarHeight());
        EXPECT_EQ(rebuilds(*o, row.change), row.rebuild) << row.name;
    }
}

TEST(BarcodeObject, BarHeightIsCappedPerResolutionAndZoom)
{
    struct Row {
        int dpi;
        double zoom;
        int value;
        int barHeight;
        int orgBarHeight;
    };
    const Row rows[] = {
        { 203, 1.0, 900, 800, 800 }, // the 203 dpi cap
        { 203, 1.0, 799, 799, 799 },
        { 203, 1.0, 800, 800, 800 }, // equal to the cap takes the cap branch
        { 203, 2.0, 900, 900, 450 }, // the cap grows with the zoom
        { 203, 2.0, 1700, 1600, 800 },
        { 300, 1.0, 1300, 1200, 1200 }, // every other resolution: 1200 dots
        { 300, 1.5, 1000, 1000, 667 },
        { 600, 1.0, 1250, 1200, 1200 },
    };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetPrnDPI(r.dpi);
        o.setZoom(r.zoom);
        o.SetBarHeight(r.value);
        EXPECT_EQ(o.BarHeight(), r.barHeight) << r.dpi << " dpi, zoom " << r.zoom << ", " << r.value;
        EXPECT_EQ(o.OrgBarHeight(), r.orgBarHeight) << r.dpi << " dpi, zoom " << r.zoom << ", " << r.value;
    }
}

TEST(BarcodeObject, WholeZoomsScaleModulesFractionalZoomsStretchTheImage)
{
    auto o = built();
    o->SetShowText(false);
    o->setZoom(1.5);
    EXPECT_EQ(o->BmpZoomFlag(), 1);
    EXPECT_EQ(o->ZoomNarrow(), o->BarNarrow());
    EXPECT_EQ(o->ZoomWide(), o->BarWide());
    EXPECT_EQ(o->BarHeight(), 120); // 1.5 × OrgBarHeight 80
    EXPECT_EQ(o->Width(), Round(o->BarWidth() * 1.5 * ScreenPPI / 203));
    EXPECT_EQ(o->Height(), Round(120.0 * ScreenPPI / 203));

    o->setZoom(2.0);
    EXPECT_EQ(o->BmpZoomFlag(), 0);
    EXPECT_EQ(o->ZoomNarrow(), 2 * o->BarNarrow());
    EXPECT_EQ(o->ZoomWide(), 2 * o->BarWide());
    EXPECT_EQ(o->Width(), Round(o->BarWidth() * double(ScreenPPI) / 203));

    // A module width set at a fractional zoom is drawn unzoomed.
    o->setZoom(2.5);
    o->SetBarNarrow(3);
    EXPECT_EQ(o->ZoomNarrow(), 3);
    EXPECT_EQ(o->BmpZoomFlag(), 1);
    o->setZoom(3.0);
    o->SetBarWide(7);
    EXPECT_EQ(o->ZoomWide(), 21);
    EXPECT_EQ(o->ZoomNarrow(), 9);
}

TEST(BarcodeObject, PositionFollowsMillimetresAndPixels)
{
    auto o = built();
    o->setZoom(2.0);
    o->SetAbsLeft(10.0);
    o->SetAbsTop(5.0);
    EXPECT_EQ(o->Left(), MMToPixels(10.0, 2.0));
    EXPECT_EQ(o->VirTop(), MMToPixels(5.0, 2.0));
    o->SetVirLeft(100);
    EXPECT_EQ(o->Left(), 100);
    EXPECT_DOUBLE_EQ(o->AbsLeft(), PixelsToMM(100, 2.0));
    o->setZoom(1.0);
    EXPECT_EQ(o->Left(), MMToPixels(o->AbsLeft(), 1.0));
    EXPECT_EQ(o->Top(), MMToPixels(5.0, 1.0));
}

TEST(BarcodeObject, LabelWithPrnSelectsPrinterFontThreeOnlyOnAChange)
{
    auto o = built();
    o->SetPrnFontIdx(5);
    o->SetLabelWithPrn(false);
    EXPECT_EQ(o->PrnFontIdx(), 5);
    o->SetLabelWithPrn(true);
    EXPECT_EQ(o->PrnFontIdx(), 3);
    // Stored as it is, the same value does not select font 3 again (a rebuild would: the text
    // in the printer's default font is always font 3).
    o->SetIsRefresh(0);
    o->SetPrnFontIdx(6);
    o->SetLabelWithPrn(true);
    EXPECT_EQ(o->PrnFontIdx(), 6);
    o->SetIsRefresh(1);
    o->RebuildImage();
    EXPECT_EQ(o->PrnFontIdx(), 3);
}

TEST(BarcodeObject, UsesScreenFontOnlyForAShownTextInAScreenFont)
{
    struct Row {
        bool showText;
        int usePrnFont;
        bool labelWithPrn;
        bool expected;
    };
    const Row rows[]
        = { { true, 0, false, true }, { false, 0, false, false }, { true, 1, false, false }, { true, 0, true, false } };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetShowText(r.showText);
        o.SetUsePrnFont(r.usePrnFont);
        o.SetLabelWithPrn(r.labelWithPrn);
        EXPECT_EQ(o.usesScreenFont(), r.expected) << r.showText << r.usePrnFont << r.labelWithPrn;
    }
}

TEST(BarcodeObject, ConvertsModuleSizesBetweenResolutions)
{
    struct Row {
        int direction;
        int narrow, wide, height, pdfWidth, pdfHeight;
        int dpi, narrow2, wide2, height2, pdfWidth2, pdfHeight2;
    };
    const Row rows[] = {
        { 1, 3, 7, 100, 2, 7, 300, 4, 9, 148, 3, 10 },
        { 1, 2, 5, 100, 1, 3, 300, 3, 8, 148, 2, 4 }, // 7.5 rounds half to even
        { 2, 4, 9, 148, 3, 10, 203, 3, 7, 100, 2, 7 },
        { 2, 3, 8, 148, 2, 24, 203, 2, 5, 100, 1, 16 },
    };
    for (const Row& r : rows) {
        auto o = built();
        o->SetIsRefresh(0);
        o->SetPrnDPI(r.direction == 1 ? 203 : 300);
        o->SetBarNarrow(r.narrow);
        o->SetBarWide(r.wide);
        o->SetBarHeight(r.height);
        o->SetPDFBaseWidth(r.pdfWidth);
        o->SetPDFBaseHeight(r.pdfHeight);
        o->SetIsRefresh(1);
        o->ConvertResolution(r.direction == 1 ? 1 : 0, r.direction);
        const std::string row = std::to_string(r.narrow) + "/" + std::to_string(r.wide);
        EXPECT_EQ(o->PrnDPI(), r.dpi) << row;
        EXPECT_EQ(o->BarNarrow(), r.narrow2) << row;
        EXPECT_EQ(o->BarWide(), r.wide2) << row;
        EXPECT_EQ(o->BarHeight(), r.height2) << row;
        EXPECT_EQ(o->OrgBarHeight(), r.height2) << row;
        EXPECT_EQ(o->PDFBaseWidth(), r.pdfWidth2) << row;
        EXPECT_EQ(o->PDFBaseHeight(), r.pdfHeight2) << row;
        EXPECT_EQ(o->ZoomNarrow(), r.narrow2) << row;
        EXPECT_EQ(o->DataCheck(), 1) << row;
    }
}

TEST(BarcodeObject, QuarterTurnKeepsTheCentre)
{
    TOABarCode o;
    o.SetIsRefresh(0);
    o.OrgBitmap = QImage(200, 60, QImage::Format_RGB888);
    o.OrgBitmap.fill(Qt::white);
    o.setBounds(100, 100, 200, 60);
    o.setAngle(90);
    EXPECT_EQ(o.geometry(), QRect(170, 30, 60, 200));
    EXPECT_EQ(o.VirLeft(), 170);
    EXPECT_EQ(o.VirTop(), 30);
    EXPECT_DOUBLE_EQ(o.AbsTop(), PixelsToMM(30, 1.0));
    EXPECT_EQ(o.DstBitmap().size(), QSize(60, 200));
}

TEST(BarcodeObject, TurnsReturnTheObjectToItsPlace)
{
    const struct {
        TBarCodeType type;
        QByteArray text;
        double zoom;
    } rows[] = {
        { TBarCodeType::bcCode128, "KORVEL", 1.0 },
        { TBarCodeType::bcCodeEAN13, "590123412345", 2.0 },
        { TBarCodeType::bcCode39, "ODD", 1.5 },
        { TBarCodeType::bcCodeQR, "turn me", 2.0 },
        { TBarCodeType::bcCodePDF417, "turn me too", 1.0 },
    };
    for (const auto& row : rows) {
        auto o = built(row.type, row.text);
        o->setZoom(row.zoom);
        o->SetAbsLeft(20.0);
        o->SetAbsTop(15.0);
        const QRect start = o->geometry();
        const QImage picture = o->DstBitmap();
        for (int i = 1; i <= 4; ++i) {
            o->Rotate90();
            EXPECT_EQ(o->Angle(), (90 * i) % 360);
            EXPECT_EQ(o->DstBitmap().size(), o->geometry().size()) << row.text.constData() << " turn " << i;
            EXPECT_EQ(o->geometry().center().x() - start.center().x(), 0) << row.text.constData() << " turn " << i;
        }
        EXPECT_EQ(o->geometry(), start) << row.text.constData();
        // The millimetres are taken from the pixels at each turn, so they settle on the pixel grid.
        EXPECT_DOUBLE_EQ(o->AbsLeft(), PixelsToMM(start.left(), row.zoom));
        EXPECT_DOUBLE_EQ(o->AbsTop(), PixelsToMM(start.top(), row.zoom));
        EXPECT_EQ(o->DstBitmap(), picture) << row.text.constData();

        // Half turns and back in one step, and a turn followed by a rebuild.
        o->setAngle(180);
        o->setAngle(0);
        EXPECT_EQ(o->geometry(), start) << row.text.constData();
        o->setAngle(270);
        o->RebuildImage();
        o->setAngle(0);
        EXPECT_EQ(o->geometry(), start) << row.text.constData();
    }
}

TEST(BarcodeObject, RejectedTextKeepsThePreviousImage)
{
    auto o = built(TBarCodeType::bcCodeEAN13, "590123412345");
    ASSERT_EQ(o->DataCheck(), 1);
    const QImage picture = o->DstBitmap();
    const QRect rect = o->geometry();
    const int barWidth = o->BarWidth();
    EXPECT_EQ(barWidth, 104 * 2 + 1);

    o->SetText("59012341234");
    EXPECT_EQ(o->DataCheck(), 0);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::DataRejected);
    EXPECT_EQ(o->DstBitmap(), picture);
    EXPECT_EQ(o->geometry(), rect);
    EXPECT_EQ(o->BarWidth(), barWidth);
    EXPECT_TRUE(o->renderForPrinter().isNull());

    o->SetText("590123412346");
    EXPECT_EQ(o->DataCheck(), 1);
    EXPECT_NE(o->DstBitmap(), picture);
    EXPECT_FALSE(o->renderForPrinter().isNull());
}

TEST(BarcodeObject, SizesAPrinterCannotDrawAreRefusedLikeBadData)
{
    using F = std::function<void(TOABarCode&)>;
    const struct {
        const char* name;
        F change;
        F setup = {};
    } rows[] = {
        { "no module", [](TOABarCode& o) { o.SetBarNarrow(0); } },
        { "negative module", [](TOABarCode& o) { o.SetBarWide(-4); } },
        { "no bar height", [](TOABarCode& o) { o.SetBarHeight(0); } },
        { "negative bar height", [](TOABarCode& o) { o.SetBarHeight(-50); } },
        { "picture too wide",
            [](TOABarCode& o) {
                o.SetBarNarrow(900);
                o.SetText(QByteArray(200, 'x'));
            } },
        { "codabar start outside A..D", [](TOABarCode& o) { o.SetStartSign(7); },
            [](TOABarCode& o) {
                o.SetBarCodeType(TBarCodeType::bcCodeCodabar);
                o.SetText("123");
                o.SetEndSign(0);
            } },
        { "codabar stop outside A..D", [](TOABarCode& o) { o.SetEndSign(-1); },
            [](TOABarCode& o) {
                o.SetBarCodeType(TBarCodeType::bcCodeCodabar);
                o.SetText("123");
                o.SetEndSign(0);
            } },
    };
    for (const auto& row : rows) {
        auto o = built();
        if (row.setup)
            row.setup(*o);
        ASSERT_EQ(o->DataCheck(), 1) << row.name;
        const QImage picture = o->DstBitmap();
        row.change(*o);
        EXPECT_EQ(o->DataCheck(), 0) << row.name;
        EXPECT_EQ(o->DstBitmap(), picture) << row.name;
        EXPECT_TRUE(o->renderForPrinter().isNull()) << row.name;
    }
}

TEST(BarcodeObject, Pdf417FailureSetsErrFlagAndKeepsTheSymbol)
{
    auto o = built(TBarCodeType::bcCodePDF417, "Korvel");
    ASSERT_EQ(o->ErrFlag(), 0);
    const QImage picture = o->DstBitmap();
    const QRect rect = o->geometry();

    o->SetPDF417ECClevel(9);
    EXPECT_EQ(o->ErrFlag(), 1);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::EncoderFailed);
    EXPECT_EQ(o->DstBitmap(), picture);
    EXPECT_EQ(o->geometry(), rect);

    // The object never clears the flag itself.
    o->SetPDF417ECClevel(2);
    EXPECT_EQ(o->ErrFlag(), 1);
    EXPECT_NE(o->DstBitmap(), picture);

    // Empty data makes no call and keeps the image.
    const QImage second = o->DstBitmap();
    o->SetErrFlag(0);
    o->SetData("");
    EXPECT_EQ(o->DstBitmap(), second);
    EXPECT_EQ(o->ErrFlag(), 0);
    EXPECT_FALSE(o->ShowText());
}

TEST(BarcodeObject, OversizedScreenSymbolKeepsTheImageButStillPrints)
{
    auto o = built(TBarCodeType::bcCodePDF417, "Korvel");
    o->SetPDF417Cels(30);
    o->SetPDFBaseWidth(20);
    const QImage picture = o->DstBitmap();
    o->setZoom(6.0);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::BadSize);
    EXPECT_EQ(o->ErrFlag(), 0);
    EXPECT_EQ(o->DstBitmap(), picture);
    const QImage printed = o->renderForPrinter();
    ASSERT_FALSE(printed.isNull());
    EXPECT_GT(printed.width(), 10000);

    auto linear = built(TBarCodeType::bcCode128, QByteArray(120, 'x'));
    linear->SetBarNarrow(20);
    const QImage bars = linear->DstBitmap();
    linear->setZoom(6.0);
    EXPECT_EQ(linear->lastError(), BarcodeBuildError::BadSize);
    EXPECT_EQ(linear->DstBitmap(), bars);
}

TEST(BarcodeObject, QrFailureKeepsTheSymbolWithoutErrFlag)
{
    auto o = built(TBarCodeType::bcCodeQR, "Korvel");
    const QImage picture = o->DstBitmap();
    o->SetData(QByteArray(8000, 'x'));
    EXPECT_EQ(o->ErrFlag(), 0);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::EncoderFailed);
    EXPECT_EQ(o->DstBitmap(), picture);
    o->SetQRErrLevel("X");
    EXPECT_EQ(o->DstBitmap(), picture);
}

TEST(BarcodeObject, TwoDimensionalImageSizes)
{
    auto pdf = built(TBarCodeType::bcCodePDF417, "Korvel PDF417");
    pdf->SetPDF417Prn(1);
    pdf->RebuildImage();
    const SymbolMatrix& m = pdf->symbolMatrix();
    const QSize image((m.width + 7) / 8 * 8 + 1, m.height + 1);
    EXPECT_EQ(pdf->geometry().size(), image);
    pdf->SetPDF417Prn(0);
    pdf->setZoom(2.0);
    EXPECT_EQ(pdf->geometry().size(),
        QSize(static_cast<int>(Round(image.width() * 2.0 * ScreenPPI / 203)),
            static_cast<int>(Round(image.height() * 2.0 * ScreenPPI / 203))));

    auto qr = built(TBarCodeType::bcCodeQR, "Korvel QR");
    qr->SetQRPrn(1);
    const int side = qr->symbolMatrix().width;
    const int c = (side + 7) / 8 * 8;
    EXPECT_EQ(qr->geometry().size(), QSize(c, c));
    // Rows and columns beyond the symbol stay white.
    for (int y = side; y < c; ++y)
        for (int x = 0; x < c; ++x)
            ASSERT_EQ(qGray(qr->DstBitmap().pixel(x, y)), 255) << x << "," << y;
    const QImage printed = qr->renderForPrinter();
    EXPECT_EQ(printed.size(), QSize(c, c));
}

TEST(BarcodeObject, AspectChoiceSetsTheScales)
{
    struct Row {
        int aspect, height, width;
    };
    const Row rows[] = { { 1, 1, 1 }, { 2, 1, 2 }, { 5, 1, 5 }, { 6, 2, 1 }, { 7, 2, 3 }, { 8, 3, 1 }, { 10, 3, 4 },
        { 11, 4, 1 }, { 12, 4, 3 } };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetPDF417ASpectType(r.aspect);
        EXPECT_EQ(o.PDF417HeightScale(), r.height) << r.aspect;
        EXPECT_EQ(o.PDF417WidthScale(), r.width) << r.aspect;
    }
    TOABarCode o;
    o.SetIsRefresh(0);
    o.SetPDF417ASpectType(7);
    o.SetPDF417ASpectType(13);
    EXPECT_EQ(o.PDF417ASpectType(), 13);
    EXPECT_EQ(o.PDF417HeightScale(), 2);
    EXPECT_EQ(o.PDF417WidthScale(), 3);
}

TEST(BarcodeObject, SymbolsWithoutTextSwitchItOff)
{
    for (TBarCodeType type : { TBarCodeType::bcCodePostnet, TBarCodeType::bcCodePDF417, TBarCodeType::bcCodeQR }) {
        auto o = built(type, "12345");
        o->SetShowText(true);
        EXPECT_FALSE(o->ShowText()) << static_cast<int>(type);
    }
}

TEST(BarcodeObject, PrinterCopyIsInDotsAtZoomOne)
{
    auto o = built(TBarCodeType::bcCode39Ex, "a/");
    o->SetShowText(false);
    o->setZoom(2.0);
    const auto copy = o->printerCopy();
    EXPECT_EQ(copy->SysPrn(), 1);
    EXPECT_DOUBLE_EQ(copy->Zoom(), 1.0);
    EXPECT_EQ(copy->BarHeight(), 80);
    EXPECT_EQ(copy->ZoomNarrow(), 2);
    EXPECT_EQ(copy->FullASCII39Data(), "+A/O");
    EXPECT_EQ(copy->BarWidth(), copy->SymbolWidth() + 1);
    EXPECT_EQ(copy->DstBitmap().format(), QImage::Format_Mono);
    EXPECT_EQ(copy->DstBitmap().size(), QSize(copy->BarWidth(), 80));
    EXPECT_EQ(copy->drawnData(), "a/");
    EXPECT_EQ(copy->encodedPattern().width, copy->BarWidth() - 1);
    // The source keeps its screen image and zoom.
    EXPECT_DOUBLE_EQ(o->Zoom(), 2.0);
    EXPECT_EQ(o->SysPrn(), 0);
    EXPECT_EQ(o->ZoomNarrow(), 4);
}

TEST(BarcodeObject, DispatchFrameSurroundsTheBarsBelowTheText)
{
    auto o = built(TBarCodeType::bcCodeCYM, "0123456789");
    o->SetLabelPos(TLabelPosition::lpAbove);
    for (const QImage& image : { o->renderForPrinter(), o->DstBitmap().convertToFormat(QImage::Format_Mono) }) {
        const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
        auto rowIsInk = [&](int y) {
            for (int x = 0; x < gray.width(); ++x)
                if (gray.constScanLine(y)[x] > 128)
                    return false;
            return true;
        };
        int firstFull = -1;
        for (int y = 0; y < gray.height() && firstFull < 0; ++y)
            if (rowIsInk(y))
                firstFull = y;
        ASSERT_GT(firstFull, 5); // the text comes first
        EXPECT_TRUE(rowIsInk(gray.height() - 1));
        // The sides are ink from the top frame bar down.
        for (int y = firstFull; y < gray.height(); ++y) {
            ASSERT_LT(gray.constScanLine(y)[0], 128) << y;
            ASSERT_LT(gray.constScanLine(y)[gray.width() - 1], 128) << y;
        }
    }
}

TEST(BarcodeObject, CloneIsADeepCopy)
{
    auto o = built(TBarCodeType::bcCodeEAN8, "9638507");
    o->SetHowmany(2);
    o->setAngle(90);
    const auto c = o->clone();
    auto* copy = dynamic_cast<TOABarCode*>(c.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Text(), o->Text());
    EXPECT_EQ(copy->Howmany(), 2);
    EXPECT_EQ(copy->Angle(), 90);
    EXPECT_EQ(copy->DstBitmap(), o->DstBitmap());
    copy->SetText("1234567");
    EXPECT_EQ(o->Text(), "9638507");
    EXPECT_NE(copy->DstBitmap(), o->DstBitmap());
}

// The print job measures symbols the printer draws instead of drawing them: whatever the type,
// text settings, turn or data, the measurements are those of the drawn printer copy.
TEST(BarcodeObject, PrinterMeasureAgreesWithThePrinterCopy)
{
    int measured = 0;
    for (int t = 0; t <= 22; ++t) {
        const auto type = static_cast<TBarCodeType>(t);
        const BarcodeTypePreset* preset = BarcodeTypePresetOf(type);
        if (!preset || IsTwoDimensional(type))
            continue;
        for (const QByteArray& text : { QByteArray(preset->sample), QByteArray("bad data!") })
            for (int variant = 0; variant < 8; ++variant) {
                auto o = built(type, text);
                o->SetIsRefresh(0);
                o->SetShowText(variant & 1);
                o->SetLabelWithPrn(variant & 2);
                o->SetUsePrnFont(variant & 4 ? 1 : 0);
                o->SetLabelPos(variant & 2 ? TLabelPosition::lpAbove : TLabelPosition::lpBelow);
                o->SetIsRefresh(1);
                o->setAngle(variant * 90 % 360);
                SCOPED_TRACE(std::to_string(t) + " " + text.toStdString() + " variant " + std::to_string(variant));
                const auto drawn = o->printerCopy();
                const auto sized = o->printerMeasure();
                if (sized->DstBitmap().isNull())
                    ++measured;
                EXPECT_EQ(sized->DataCheck(), drawn->DataCheck());
                EXPECT_EQ(sized->lastError(), drawn->lastError());
                EXPECT_EQ(sized->BarWidth(), drawn->BarWidth());
                EXPECT_EQ(sized->BarHeight(), drawn->BarHeight());
                EXPECT_EQ(sized->FullASCII39Data(), drawn->FullASCII39Data());
                EXPECT_EQ(sized->drawnData(), drawn->drawnData());
                EXPECT_EQ(sized->TextBitmapSize(), drawn->GetTextBitmap().size());
                EXPECT_EQ(sized->lastError(), drawn->lastError());
            }
    }
    // Most combinations are measured; EAN/UPC and screen-font texts are drawn.
    EXPECT_GT(measured, 100);
}

TEST(BarcodeObject, PrinterMeasureRefusesATextPictureBeyondAnyLabel)
{
    auto o = built(TBarCodeType::bcCode39, "A");
    o->SetLabelWithPrn(true);
    o->SetLabelDistance(4000.0); // a gap of metres between the bars and the text
    const auto drawn = o->printerCopy();
    const auto sized = o->printerMeasure();
    EXPECT_EQ(drawn->lastError(), BarcodeBuildError::BadSize);
    EXPECT_EQ(sized->lastError(), drawn->lastError());
    EXPECT_EQ(sized->DataCheck(), drawn->DataCheck());
}
