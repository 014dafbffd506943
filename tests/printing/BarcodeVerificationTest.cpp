// Barcodes read back from the virtual printer's picture before a job: good symbols pass, and a
// symbol past the label edge, one under a filled box and one whose narrow bar is too thin for
// the print each fail with their reason.

#include "JobTestSupport.h"

#include "barcode/OABarCode.h"
#include "persistence/LabelFile.h"
#include "printing/verify/BarcodeVerification.h"
#include "support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

using T = TBarCodeType;

/// A 100 × 80 mm label at 100 % zoom.
std::unique_ptr<LabelDocument> LabelOf()
{
    return NewPrintDocument(GridPage(1000, 800, 1, 1), WorkedExampleSetting());
}

TOABarCode* AddCode(LabelDocument& doc, const char* name, T type, const QByteArray& text, int left, int top,
    int narrow = 2)
{
    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QString::fromLatin1(name);
    bar->SetBarCodeType(type);
    bar->SetBarNarrow(narrow);
    bar->SetBarWide(narrow * 5 / 2);
    bar->SetBarHeight(60);
    if (IsTwoDimensional(type)) {
        bar->SetData(text);
        bar->SetQRcodeElement(3);
        bar->SetPDFBaseWidth(2);
        bar->SetPDFBaseHeight(6);
    } else {
        bar->SetText(text);
    }
    TOABarCode* b = Append(doc, std::move(bar));
    b->SetVirLeft(left);
    b->SetVirTop(top);
    return b;
}

EmissionContext context()
{
    EmissionContext ctx;
    ctx.commands.PrinterIndex = 1;
    ctx.commands.DrawingMode = 1;
    return ctx;
}

} // namespace

TEST(BarcodeVerification, ThreeGoodBarcodesReadBack)
{
    auto doc = LabelOf();
    AddCode(*doc, "Parcel", T::bcCode128, "KV-2024-0001", 20, 20);
    AddCode(*doc, "Article", T::bcCodeEAN13, "590123412345", 20, 120);
    AddCode(*doc, "Link", T::bcCodeQR, "https://example.org/kv/0001", 250, 20);
    const LabelVerification v = VerifyFirstLabel(*doc, context());
    ASSERT_TRUE(v.status.ok()) << v.status.text().toStdString();
    ASSERT_EQ(v.checks.size(), 3);
    for (const BarcodeCheck& c : v.checks) {
        EXPECT_TRUE(c.ok) << c.name.toStdString() << ": " << VerifyReasonName(c.reason).toStdString();
        ASSERT_TRUE(c.decoded.has_value()) << c.name.toStdString();
        EXPECT_EQ(*c.decoded, c.expected);
    }
    EXPECT_EQ(v.checks[0].expected, QStringLiteral("KV-2024-0001"));
    EXPECT_EQ(v.checks[1].expected, QStringLiteral("5901234123457")) << "the check digit the symbol carries";
    EXPECT_EQ(v.checks[2].barCodeType, int(T::bcCodeQR));
    EXPECT_TRUE(v.ok());
}

TEST(BarcodeVerification, EachFailureNamesItsReason)
{
    {
        auto doc = LabelOf();
        // The label is 800 px wide at 100 %: the symbol starts near the right edge.
        AddCode(*doc, "Edge", T::bcCode128, "EDGE-0001", 330, 20);
        const LabelVerification v = VerifyFirstLabel(*doc, context());
        ASSERT_EQ(v.checks.size(), 1);
        EXPECT_FALSE(v.checks[0].ok);
        EXPECT_EQ(v.checks[0].reason, VerifyReason::CutOff);
        ASSERT_NE(v.firstFailure(), nullptr);
        EXPECT_EQ(v.firstFailure()->name, QStringLiteral("Edge"));
    }
    {
        auto doc = LabelOf();
        TOABarCode* b = AddCode(*doc, "Under", T::bcCode128, "COVER-0001", 20, 20);
        const QRect r = b->geometry();
        // A filled box over the middle of the bars.
        AddBox(*doc, (r.left() + r.width() / 3) * 25.4 / 96.0, r.top() * 25.4 / 96.0, r.width() * 25.4 / 96.0 / 3,
            r.height() * 25.4 / 96.0, 1);
        const LabelVerification v = VerifyFirstLabel(*doc, context());
        ASSERT_EQ(v.checks.size(), 1);
        EXPECT_FALSE(v.checks[0].ok);
        EXPECT_EQ(v.checks[0].reason, VerifyReason::Covered);
    }
    {
        // One-dot modules at 300 dpi: the dots are wider than the pitch, the spaces close.
        TPrinterSetting fine = WorkedExampleSetting();
        fine.DPI = 1;
        auto doc = NewPrintDocument(GridPage(1000, 800, 1, 1), fine);
        TOABarCode* thin = AddCode(*doc, "Thin", T::bcCode128, "THIN-0001", 20, 20, 1);
        thin->SetPrnDPI(300);
        const LabelVerification v = VerifyFirstLabel(*doc, context());
        ASSERT_EQ(v.checks.size(), 1);
        EXPECT_FALSE(v.checks[0].ok);
        EXPECT_EQ(v.checks[0].reason, VerifyReason::Unreadable);
        EXPECT_FALSE(v.checks[0].decoded.has_value());
    }
}

TEST(BarcodeVerification, ScannedPictureFillsOneDotGaps)
{
    QImage mono(5, 3, QImage::Format_Mono);
    mono.setColorCount(2);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.fill(0);
    for (int y = 0; y < 3; ++y) {
        mono.setPixel(0, y, 1);
        mono.setPixel(2, y, 1);
    }
    const QImage spread = ScannedPicture(mono, mono.rect());
    EXPECT_EQ(spread.pixelColor(1, 1).value(), 0) << "a one-dot gap between two dots fills";
    EXPECT_EQ(spread.pixelColor(3, 1).value(), 255) << "a gap with one printed side stays white";
    const QImage exact = ScannedPicture(mono, mono.rect(), false);
    EXPECT_EQ(exact.pixelColor(1, 1).value(), 255);
    EXPECT_FALSE(OneDotGapsClose(203));
    EXPECT_TRUE(OneDotGapsClose(300));
}

TEST(BarcodeVerification, EverySampleReadsBack)
{
    const QDir samples(dataDir() + QStringLiteral("/Samples"));
    const QStringList files = samples.entryList({ QStringLiteral("*.kvl") });
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        LabelDocument doc;
        ASSERT_TRUE(ReadLabelFile(samples.filePath(name), doc).opened()) << name.toStdString();
        EmissionContext ctx = context();
        ctx.commands.PrinterID = doc.printer.PrinterID;
        ctx.commands.PrinterIndex = doc.printerModel;
        const LabelVerification v = VerifyFirstLabel(doc, ctx);
        EXPECT_TRUE(v.status.ok()) << name.toStdString() << ": " << v.status.text().toStdString();
        for (const BarcodeCheck& c : v.checks)
            EXPECT_TRUE(c.ok) << name.toStdString() << " " << c.name.toStdString() << " type " << c.barCodeType
                              << ": " << VerifyReasonName(c.reason).toStdString() << " read "
                              << c.decoded.value_or(QStringLiteral("-")).toStdString() << " expected "
                              << c.expected.toStdString();
    }
}
