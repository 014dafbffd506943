// What the design view shows is what the printer prints: every symbology with a check
// character reads the same from the design view and from the virtual printer's printout.
#include "JobTestSupport.h"
#include "VirtualTestSupport.h"

#include "document/DesignView.h"
#include "printing/emission/LabelEmitter.h"
#include "printing/job/PrintJob.h"
#include "printing/virtual/VirtualLabel.h"
#include "printing/virtual/VirtualPrinter.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

using T = TBarCodeType;

/// Reads the one symbol of a picture; `dark` tells a printed dot or pixel.
template <class Dark> std::string ReadPicture(const QImage& picture, Dark dark)
{
    constexpr int quiet = 40;
    QImage gray(picture.width() + 2 * quiet, picture.height() + 2 * quiet, QImage::Format_Grayscale8);
    gray.fill(255);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (dark(x, y))
                gray.scanLine(y + quiet)[x + quiet] = 0;
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes);
    hints.setTryCode39ExtendedMode(true);
    return ReadGrayText(gray, hints);
}

std::string ReadPrintout(const QImage& label)
{
    return ReadPicture(label, [&](int x, int y) { return VirtualDot(label, x, y); });
}

std::string ReadDesignView(const QImage& view)
{
    return ReadPicture(view, [&](int x, int y) { return qGray(view.pixel(x, y)) < 128; });
}

struct Case {
    T type;
    QByteArray text;
};

std::unique_ptr<LabelDocument> DocumentWith(const Case& c, bool parity, int angle)
{
    auto doc = NewPrintDocument(GridPage(1000, 1000, 1, 1), WorkedExampleSetting());
    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QStringLiteral("BarCode1");
    bar->SetBarCodeType(c.type);
    bar->SetText(c.text);
    bar->SetParity(parity);
    bar->SetBarNarrow(3);
    bar->SetBarWide(8);
    bar->SetBarHeight(90);
    bar->SetShowText(false);
    TOABarCode* b = Append(*doc, std::move(bar));
    b->setAngle(angle);
    b->SetVirLeft(40);
    b->SetVirTop(40);
    return doc;
}

} // namespace

TEST(DesignMatchesPrint, CheckCharactersReadAlikeInEveryAngle)
{
    const Case cases[] = {
        { T::bcCodeInter25, "1234567" },
        { T::bcCodeInter25, "0123456789" },
        { T::bcCode39, "CODE39" },
        { T::bcCode39Ex, "Ab+x" },
        { T::bcCodeHBIC, "HIBC123" },
        { T::bcCode93, "CODE93" },
        { T::bcCodeCYM, "1234567" },
        { T::bcCode128, "Korvel128" },
        { T::bcCodeEAN13, "590123412345" },
        { T::bcCodeEAN8, "9638507" },
        { T::bcCodeUPCA, "03600029145" },
        { T::bcCodeUPCE, "123456" },
    };
    for (const Case& c : cases) {
        for (const bool parity : { false, true }) {
            for (const int angle : { 0, 90, 180, 270 }) {
                SCOPED_TRACE(testing::Message()
                    << "type " << int(c.type) << " \"" << c.text.constData() << "\" parity " << parity << " at " << angle);
                auto doc = DocumentWith(c, parity, angle);
                const std::string designed = ReadDesignView(RenderDesignView(*doc, 300, 0));
                const VirtualLabelPrintout printed = PrintFirstLabel(*doc, EmissionContext {});
                ASSERT_TRUE(printed.ok()) << printed.status.text().toStdString();
                for (const VirtualPrinterWarning& w : printed.warnings)
                    ADD_FAILURE() << "printer: " << w.message.toStdString();
                EXPECT_FALSE(designed.empty());
                EXPECT_EQ(ReadPrintout(printed.label), designed);
            }
        }
    }
}

TEST(DesignMatchesPrint, ParityPutsTheCheckIntoTheCommandAndPlainJobsKeepTheirBytes)
{
    struct Row {
        T type;
        QByteArray text;
        QByteArray withParity; ///< the data the barcode command carries with Parity
    };
    const Row rows[] = {
        { T::bcCode39, "CODE39", "CODE39W" },
        { T::bcCodeInter25, "0123456789", "001234567895" },
        { T::bcCodeInter25, "1234", "012348" },
        { T::bcCodeCYM, "123", "1236" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.constData());
        for (const bool parity : { false, true }) {
            auto doc = DocumentWith({ row.type, row.text }, parity, 0);
            PieceRecorder rec;
            LabelEmitter emitter(*doc, EmissionContext {}, rec);
            ASSERT_TRUE(emitter.EmitLabel(0, 0).ok());
            const QByteArray stream = rec.stream();
            const QByteArray data = parity ? row.withParity : row.text;
            EXPECT_TRUE(stream.endsWith(data + '\r')) << stream.toStdString();
        }
    }
}

TEST(DesignMatchesPrint, CheckThatNoLongerFitsTheCommandFailsTheLabel)
{
    // Thirteen digits are Dispatch's most; with the check the command would carry fourteen.
    auto doc = DocumentWith({ T::bcCodeCYM, "1234567890123" }, true, 0);
    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
    const PortStatus s = emitter.EmitLabel(0, 0);
    EXPECT_FALSE(s.ok());
    EXPECT_TRUE(s.detail.contains(QStringLiteral("check character"))) << s.detail.toStdString();
}

TEST(DesignMatchesPrint, PagesLongerThanTheLabelStartCanSayAreRefused)
{
    for (const int height : { 9999, 10000 }) {
        SCOPED_TRACE(height);
        auto doc = NewPrintDocument(GridPage(500, height, 1, 1), WorkedExampleSetting());
        AddBox(*doc, 5, 5, 20, 10);
        RecordingPort port;
        JobTargets targets;
        targets.printer = &port;
        PrintJob job(*doc, nullptr, targets, PrintJobOptions {});
        const JobResult r = job.PrintLabels(1, 1, 1);
        const VirtualLabelPrintout rendered = PrintFirstLabel(*doc, EmissionContext {});
        if (height <= kMaxPageHeightTenths) {
            EXPECT_TRUE(r.ok());
            EXPECT_TRUE(rendered.ok());
            continue;
        }
        EXPECT_EQ(r.outcome, JobOutcome::PageTooLong);
        EXPECT_TRUE(port.stream().isEmpty());
        EXPECT_TRUE(r.status.detail.contains(QStringLiteral("999.9 mm"))) << r.status.detail.toStdString();
        EXPECT_FALSE(rendered.ok());
        EXPECT_TRUE(rendered.status.detail.contains(QStringLiteral("999.9 mm")));
    }
}
