#ifndef ZX_USE_UTF8
#define ZX_USE_UTF8 // text() as UTF-8
#endif

#include "cli/CliSupport.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "persistence/LabelFile.h"
#include "printing/emission/EmissionGeometry.h"
#include "support/GoldenImage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <ZXing/ReadBarcode.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

using namespace korvel;
using namespace korvel::test;
using ZXing::BarcodeFormat;

namespace {

QStringList Samples()
{
    const QDir dir(QDir(dataDir()).filePath(QStringLiteral("Samples")));
    QStringList paths;
    for (const QString& name : dir.entryList({ QStringLiteral("*.kvl") }, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

QString Sample(const char* name)
{
    return QDir(dataDir()).filePath(QStringLiteral("Samples/") + QString::fromLatin1(name));
}

/// Runs `render` into a temporary folder and loads the picture; a null image when it failed.
QImage Render(const QTemporaryDir& dir, const QString& label, const QStringList& extra, const QString& name)
{
    const QString out = dir.filePath(name + QStringLiteral(".png"));
    QStringList args { QStringLiteral("render"), label, QStringLiteral("-o"), out };
    args << extra;
    const CliRun r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << name.toStdString() << ": " << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << name.toStdString() << ": " << r.err.toStdString();
    return QImage(out);
}

/// Bit depth byte of a PNG's header chunk.
int PngBitDepth(const QString& path)
{
    const QByteArray bytes = readFile(path);
    return bytes.size() > 24 ? int(uchar(bytes[24])) : -1;
}

struct Expected {
    BarcodeFormat format;
    std::string text;
    bool code39Check = false;
    bool extended = false;
};

/// What zxing-cpp reads from a barcode of the samples; none for symbologies it cannot read.
std::optional<Expected> ExpectedRead(const TOABarCode& b)
{
    const std::string text = b.Text().toStdString();
    switch (b.BarCodeType()) {
    case TBarCodeType::bcCodeInter25: return Expected { BarcodeFormat::ITF, text };
    case TBarCodeType::bcCode39: return Expected { BarcodeFormat::Code39, text };
    case TBarCodeType::bcCode39Ex: return Expected { BarcodeFormat::Code39, text, false, true };
    case TBarCodeType::bcCodeHBIC: return Expected { BarcodeFormat::Code39, text, true };
    case TBarCodeType::bcCodeCodabar: return Expected { BarcodeFormat::Codabar, text };
    case TBarCodeType::bcCode128: return Expected { BarcodeFormat::Code128, text };
    case TBarCodeType::bcCode93: return Expected { BarcodeFormat::Code93, text };
    case TBarCodeType::bcCodePDF417: return Expected { BarcodeFormat::PDF417, b.Data().toStdString() };
    case TBarCodeType::bcCodeQR: return Expected { BarcodeFormat::QRCode, b.Data().toStdString() };
    case TBarCodeType::bcCodeUCCEAN128DZJG: return Expected { BarcodeFormat::Code128, text };
    default: break;
    }
    // The check digits, worked out by hand for the samples' data.
    struct Literal {
        TBarCodeType type;
        const char* text;
        BarcodeFormat format;
        const char* read;
    };
    static const Literal literals[] = {
        { TBarCodeType::bcCodeEAN13, "012345678901", BarcodeFormat::EAN13, "0123456789012" },
        { TBarCodeType::bcCodeEAN13, "501234567890", BarcodeFormat::EAN13, "5012345678900" },
        { TBarCodeType::bcCodeEAN8, "0123456", BarcodeFormat::EAN8, "01234565" },
        { TBarCodeType::bcCodeUPCA, "01234567890", BarcodeFormat::UPCA, "012345678905" },
        { TBarCodeType::bcCodeUPCE, "012345", BarcodeFormat::UPCE, "00123457" },
        { TBarCodeType::bcCodeUccEan, "0123456789012345678", BarcodeFormat::Code128, "01234567890123456789" },
    };
    for (const Literal& l : literals)
        if (l.type == b.BarCodeType() && b.Text() == l.text)
            return Expected { l.format, l.read };
    return std::nullopt;
}

std::string Read(const QImage& picture, const QRect& area, const Expected& e)
{
    const QRect r = area & picture.rect();
    constexpr int quiet = 30;
    QImage gray(r.width() + 2 * quiet, r.height() + 2 * quiet, QImage::Format_Grayscale8);
    gray.fill(255);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (isInk(picture, r.left() + x, r.top() + y))
                gray.scanLine(y + quiet)[x + quiet] = 0;
    ZXing::DecodeHints hints;
    hints.setFormats(e.format);
    hints.setTryHarder(true);
    hints.setValidateCode39CheckSum(e.code39Check);
    hints.setTryCode39ExtendedMode(e.extended);
    const auto result = ZXing::ReadBarcode(
        ZXing::ImageView(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum, int(gray.bytesPerLine())),
        hints);
    return result.isValid() ? result.text() : std::string("(nothing read)");
}

/// Every readable barcode of a sample read back from its picture; `scale` maps a rectangle at
/// 100 % to the picture. Returns how many were read.
int ExpectBarcodesReadBack(const QString& label, const QImage& picture, const std::function<QRect(QRect)>& scale)
{
    LabelDocument doc;
    EXPECT_TRUE(ReadLabelFile(label, doc).opened());
    const DotScale dots = DotScale::of(doc);
    int read = 0;
    for (int i = 0; i < doc.objectCount(); ++i) {
        const auto* b = dynamic_cast<const TOABarCode*>(doc.object(i));
        if (!b)
            continue;
        const std::optional<Expected> e = ExpectedRead(*b);
        if (!e)
            continue;
        SCOPED_TRACE(testing::Message() << QFileInfo(label).fileName().toStdString() << " object " << i << " type "
                                        << int(b->BarCodeType()));
        EXPECT_EQ(Read(picture, scale(RectAt100(*b, dots)).adjusted(-8, -8, 8, 8), *e), e->text);
        ++read;
    }
    return read;
}

} // namespace

TEST(CliRender, UsageAndFailures)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.png");
    const QString starter = Sample("Starter.kvl");
    struct Case {
        QStringList args;
        int exitCode;
    } cases[] = {
        { { "render" }, 2 },
        { { "render", starter }, 2 }, // no output
        { { "render", starter, "-o" }, 2 },
        { { "render", starter, "-o", out, "--zoom", "200" }, 2 }, // zoom without --design
        { { "render", starter, "-o", out, "--design", "--zoom", "20" }, 2 },
        { { "render", starter, "-o", out, "--record", "0" }, 2 },
        { { "render", starter, "-o", out, "--frobnicate" }, 2 },
        { { "render", starter, starter, "-o", out }, 2 },
        { { "render", starter, "-o", out, "--design", "--record", "2" }, 2 },
        { { "render", "/no/such/label.kvl", "-o", out }, 1 },
        { { "render", starter, "-o", out, "--record", "2" }, 1 }, // no data source
        { { "render", Sample("Address-3-across.kvl"), "-o", out, "--data", Sample("addresses.csv"), "--record", "99" },
            1 },
        { { "render", starter, "-o", dir.filePath("no/such/folder/out.png") }, 1 },
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(out));

    // A file name with '%' in it is named as it is.
    const QString odd = dir.filePath("50%2off.kvl");
    ASSERT_TRUE(QFile::copy(starter, odd));
    const CliRun r = RunCli({ "render", odd, "-o", out, "--record", "7" });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("50%2off.kvl has no data source to take record 7 from")) << r.err.toStdString();
}

TEST(CliRender, SamplesPrintAsTheirGoldens)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QStringList samples = Samples();
    ASSERT_GE(samples.size(), 7);
    for (const QString& label : samples) {
        const QString name = QFileInfo(label).completeBaseName();
        SCOPED_TRACE(name.toStdString());
        const QImage printout = Render(dir, label, {}, name);
        ASSERT_FALSE(printout.isNull());
        EXPECT_EQ(PngBitDepth(dir.filePath(name + ".png")), 1);
        ExpectMatchesGoldenPng(printout, QStringLiteral("cli/golden/render"), name);

        const QImage design = Render(dir, label, { "--design" }, name + "-design");
        ASSERT_FALSE(design.isNull());
        ExpectMatchesGoldenPng(design, QStringLiteral("cli/golden/render"), name + "-design");
    }
}

TEST(CliRender, PrintoutSizeIsTheLabelInPrinterDots)
{
    ScopedHome home;
    QTemporaryDir dir;
    // 60.0 x 40.0 mm at 203 dpi: 480 dots across; 40.0 mm is 151 screen pixels, 319 dots.
    EXPECT_EQ(Render(dir, Sample("Starter.kvl"), {}, "starter").size(), QSize(480, 319));
    // One label of the 3-across sheet, not the sheet.
    LabelDocument doc;
    ASSERT_TRUE(ReadLabelFile(Sample("Address-3-across.kvl"), doc).opened());
    const DotScale dots = DotScale::of(doc);
    EXPECT_EQ(Render(dir, Sample("Address-3-across.kvl"), {}, "sheet").size(),
        QSize(dots.dotsPx(doc.pixels().labelWidth), dots.dotsPx(doc.pixels().labelHeight)));
    // The design view at 200 % is twice the one at 100 % (plus the label's edge line).
    const QImage d100 = Render(dir, Sample("Starter.kvl"), { "--design" }, "d100");
    const QImage d200 = Render(dir, Sample("Starter.kvl"), { "--design", "--zoom=200" }, "d200");
    EXPECT_NEAR(d200.width(), 2 * d100.width(), 2);
    EXPECT_NEAR(d200.height(), 2 * d100.height(), 2);
}

TEST(CliRender, BarcodesOfTheSamplesReadBack)
{
    ScopedHome home;
    QTemporaryDir dir;
    int read = 0;
    for (const QString& label : Samples()) {
        const QString name = QFileInfo(label).completeBaseName();
        LabelDocument doc;
        ASSERT_TRUE(ReadLabelFile(label, doc).opened());
        const DotScale dots = DotScale::of(doc);
        const QImage printout = Render(dir, label, {}, name);
        ASSERT_FALSE(printout.isNull());
        SCOPED_TRACE("printout");
        read += ExpectBarcodesReadBack(label, printout, [&](QRect r) {
            return QRect(dots.dotsPx(r.left()), dots.dotsPx(r.top()), dots.dotsPx(r.width()), dots.dotsPx(r.height()));
        });
        // At 423 % the design view shows two pixels for every printer dot at 203 dpi.
        const QImage design = Render(dir, label, { "--design", "--zoom", "423" }, name + "-design");
        ASSERT_FALSE(design.isNull());
        SCOPED_TRACE("design view");
        read += ExpectBarcodesReadBack(label, design, [](QRect r) {
            return QRect(r.left() * 423 / 100, r.top() * 423 / 100, r.width() * 423 / 100, r.height() * 423 / 100);
        });
    }
    EXPECT_GE(read, 2 * 20);
}

TEST(CliRender, RecordsComeFromTheDataSource)
{
    ScopedHome home;
    QTemporaryDir dir;
    const QString label = Sample("Address-3-across.kvl");
    const QStringList data { "--data", Sample("addresses.csv") };
    const QImage first = Render(dir, label, data, "first");
    const QImage alsoFirst = Render(dir, label, data + QStringList { "--record", "1" }, "also-first");
    const QImage second = Render(dir, label, data + QStringList { "--record", "2" }, "second");
    const QImage stored = Render(dir, label, {}, "stored");
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(first, alsoFirst);
    EXPECT_NE(first, second);
    EXPECT_NE(first, stored);
    ExpectMatchesGoldenPng(second, QStringLiteral("cli/golden/render"), QStringLiteral("Address-3-across-record2"));
}
