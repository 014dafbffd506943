#include "VirtualTestSupport.h"

#include "barcode/linear/Code128.h"
#include "document/OAControl.h"
#include "document/PrinterFontFile.h"
#include "support/GoldenImage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>
#include <utility>

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;
using ZXing::BarcodeFormat;

namespace {

// A 60.0 x 40.0 mm page at 203 dpi is 480 x 320 dots.
constexpr int kW = 480;
constexpr int kH = 320;

/// Image line of a row counted from the bottom of the page.
int lineOf(int row)
{
    return kH - 1 - row;
}

/// A 1-bit bitmap in the program's own convention (index 0 black) with black where `ink` says.
QImage bitmap(int w, int h, const std::function<bool(int, int)>& ink)
{
    QImage img(w, h, QImage::Format_Mono);
    img.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    img.fill(1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink(x, y))
                img.setPixel(x, y, 0);
    return img;
}

/// Every dot of a printout equals the expected picture placed with its top-left at (x0, y0),
/// white elsewhere.
void ExpectPlaced(const QImage& printout, const QImage& expected, int x0, int y0)
{
    int mismatches = 0;
    for (int y = 0; y < printout.height(); ++y)
        for (int x = 0; x < printout.width(); ++x) {
            const bool inside = QRect(x0, y0, expected.width(), expected.height()).contains(x, y);
            const bool want = inside && qGray(expected.pixel(x - x0, y - y0)) < 128;
            if (VirtualDot(printout, x, y) != want && ++mismatches <= 5)
                ADD_FAILURE() << "dot " << x << "," << y << " should be " << (want ? "black" : "white");
        }
    EXPECT_EQ(mismatches, 0);
}

QByteArray WorkedExampleStream(const QImage& picture)
{
    StreamBuilder s;
    s.setup();
    s.add(BuildGraphicsClear(s.ctx));
    s.add(BuildGraphicDownload(s.ctx, bitmap(160, 80, [](int x, int y) { return x < 2 || y < 2 || x >= 158 || y >= 78; }), 2));
    s.add(BuildGraphicDownload(s.ctx, picture, 4));
    s.add(BuildLabelStart(s.ctx, s.setting, s.page));
    s.add(BuildTextField(s.ctx, "ABC", 0, 237, 40, 0, 1, 1, 0));
    s.add(BuildLineField(s.ctx, 157, 40, 400, 4));
    s.add(BuildBoxField(s.ctx, 39, 240, 160, 80, 2));
    s.add(BuildBarcodeField(s.ctx, 4, "123", 0, 108, 40, 80, 3, 1, true));
    s.add(BuildGraphicField(s.ctx, 4, 287, 360));
    s.end();
    return s.bytes;
}

QImage Picture16()
{
    // A frame with a diagonal, so that a turned or shifted copy would show.
    return bitmap(16, 16, [](int x, int y) { return x == 0 || y == 0 || x == 15 || y == 15 || x == y; });
}

} // namespace

TEST(VirtualPrinter, LineFillsItsRectangleFromTheBottomLeftCorner)
{
    StreamBuilder s;
    s.start().add(BuildLineField(s.ctx, 100, 50, 30, 4)).add(BuildLineField(s.ctx, 0, 0, 0, 0)).end();
    const QImage page = PrintOne(s.bytes);
    ASSERT_EQ(page.size(), QSize(kW, kH));
    EXPECT_EQ(DotsIn(page, QRect(50, lineOf(103), 30, 4)), 120);
    // A zero size prints one dot, in the bottom-left corner of the page.
    EXPECT_TRUE(VirtualDot(page, 0, kH - 1));
    EXPECT_EQ(DotsIn(page), 121);
}

TEST(VirtualPrinter, BoxOutlineHasTheThicknessOfItsSides)
{
    struct Case {
        int thickness;
        int dots;
    } cases[] = {
        { 1, 2 * 60 + 2 * 38 },
        { 3, 2 * 3 * 60 + 2 * 3 * 34 },
        { 20, 60 * 40 }, // sides thicker than half the box fill it
        { 9998, 60 * 40 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.thickness);
        StreamBuilder s;
        s.start().add(BuildBoxField(s.ctx, 10, 20, 60, 40, c.thickness)).end();
        const QImage page = PrintOne(s.bytes);
        const QRect box(20, lineOf(49), 60, 40);
        EXPECT_EQ(DotsIn(page, box), c.dots);
        EXPECT_EQ(DotsIn(page), c.dots);
        const int t = std::min(c.thickness, 20);
        EXPECT_TRUE(VirtualDot(page, box.left() + t - 1, box.center().y()));
        EXPECT_TRUE(VirtualDot(page, box.center().x(), box.bottom() - t + 1));
        if (c.thickness < 20) {
            EXPECT_FALSE(VirtualDot(page, box.left() + t, box.center().y()));
        }
    }
}

TEST(VirtualPrinter, InverseBoxInvertsWhatIsBelow)
{
    StreamBuilder s;
    s.start();
    s.add(BuildLineField(s.ctx, 100, 0, kW, 10)); // a band across the page
    s.add(BuildBoxField(s.ctx, 95, 100, 50, 20, 9998)); // covers the band's rows 100..114 partly
    s.end();
    const QImage page = PrintOne(s.bytes);
    // Inside the box: the band turned white, the rest turned black.
    EXPECT_EQ(DotsIn(page, QRect(100, lineOf(109), 50, 10)), 0);
    EXPECT_EQ(DotsIn(page, QRect(100, lineOf(99), 50, 5)), 250);
    EXPECT_EQ(DotsIn(page, QRect(100, lineOf(114), 50, 5)), 250);
    // Outside it the band is as drawn.
    EXPECT_EQ(DotsIn(page, QRect(0, lineOf(109), 100, 10)), 1000);
    EXPECT_EQ(DotsIn(page), kW * 10 - 500 + 500);

    // In XOR drawing mode a plain box inverts too; in transparent mode it only adds.
    for (int mode : { 0, 1 }) {
        StreamBuilder t;
        t.ctx.DrawingMode = mode;
        t.start().add(BuildLineField(t.ctx, 100, 0, kW, 10)).add(BuildBoxField(t.ctx, 95, 100, 50, 20, 30)).end();
        EXPECT_EQ(DotsIn(PrintOne(t.bytes), QRect(100, lineOf(109), 50, 10)), mode == 1 ? 0 : 500) << mode;
    }
}

TEST(VirtualPrinter, PrinterFontTextMatchesTheGlyphFileAtEveryTurnAndSize)
{
    const PrinterFontFile& fonts = PrinterFontFile::standard();
    ASSERT_TRUE(fonts.isValid());
    const QByteArray text = "Kv19 j";
    const int row = 160;
    const int col = 200;
    for (const int font : { 1, 3 }) {
        const PrinterFontPicture picture = RenderPrinterFontText(fonts, font, text);
        ASSERT_TRUE(picture.ok());
        for (const int zoom : { 1, 2 }) {
            for (const int angle : { 0, 90, 180, 270 }) {
                SCOPED_TRACE(testing::Message() << "font " << font << ", " << zoom << "x, " << angle << " degrees");
                StreamBuilder s;
                s.start().add(BuildTextField(s.ctx, text, angle, row, col, std::uint8_t(font - 1), zoom, zoom + 1, 0)).end();
                const QImage magnified
                    = picture.image.scaled(picture.image.width() * zoom, picture.image.height() * (zoom + 1));
                QImage turned = RotateBitmap(magnified, angle, Qt::white);
                turned = turned.copy(0, 0, turned.width(), turned.height() - 1); // the turn's extra row
                const int w = magnified.width();
                const int h = magnified.height();
                int x0 = col;
                int y0 = kH - row;
                switch (angle) {
                case 0: y0 = kH - row - h; break;
                case 180: x0 = col - w; break;
                case 270:
                    x0 = col - h;
                    y0 = kH - row - w;
                    break;
                }
                ExpectPlaced(PrintOne(s.bytes), turned, x0, y0);
            }
        }
    }
}

TEST(VirtualPrinter, StoredGraphicIsRecalledAtItsPlaceUntilCleared)
{
    const QImage picture = bitmap(10, 5, [](int x, int y) { return (x + y) % 3 == 0; });
    StreamBuilder s;
    s.setup();
    s.add(BuildGraphicsClear(s.ctx)).add(BuildGraphicDownload(s.ctx, picture, 12));
    s.add(BuildLabelStart(s.ctx, s.setting, s.page)).add(BuildGraphicField(s.ctx, 12, 30, 70)).end();
    ExpectPlaced(PrintOne(s.bytes), picture, 70, kH - 30 - 5);

    VirtualPrinter printer;
    printer.feed(s.bytes);
    EXPECT_TRUE(printer.hasGraphic("F0000012"));
    // After a clear the name is unknown: a warning, nothing printed.
    StreamBuilder again;
    again.add(BuildGraphicsClear(again.ctx)).add(BuildLabelStart(again.ctx, again.setting, again.page));
    again.add(BuildGraphicField(again.ctx, 12, 30, 70)).end();
    printer.feed(again.bytes);
    printer.finish();
    EXPECT_FALSE(printer.hasGraphic("F0000012"));
    ASSERT_EQ(printer.formats().size(), 2);
    EXPECT_EQ(DotsIn(printer.formats()[1].image), 0);
    ASSERT_EQ(printer.warnings().size(), 1);
    EXPECT_TRUE(printer.warnings()[0].message.contains("F0000012"));
}

TEST(VirtualPrinter, InlineGraphicPrintsItsWidthAndNotItsPadding)
{
    // Ten dots wide: the last byte of every row carries six bits of padding, sent complemented,
    // i.e. as printed dots; the printer must not print them.
    const QImage picture = bitmap(10, 7, [](int x, int y) { return x == 9 || y == 6; });
    StreamBuilder s;
    s.start().add(BuildInlineGraphic(s.ctx, picture, 200, 300)).end();
    ExpectPlaced(PrintOne(s.bytes), picture, 300, kH - 200 - 7);
}

TEST(VirtualPrinter, WorkedExamplePrintsEveryObjectWhereTheStreamSays)
{
    const QImage picture = Picture16();
    const QByteArray stream = WorkedExampleStream(picture);
    const VirtualPrintout out = PrintVirtually(stream);
    EXPECT_TRUE(out.warnings.isEmpty());
    ASSERT_EQ(out.formats.size(), 1);
    const VirtualLabelFormat& f = out.formats[0];
    EXPECT_EQ(f.quantity, 1);
    EXPECT_EQ(f.cutCount, 1);
    EXPECT_TRUE(f.ended);
    EXPECT_EQ(f.speed, 'F');
    EXPECT_EQ(f.heat, 18);
    EXPECT_EQ(f.fields, 5);
    EXPECT_EQ(out.job.mediaFlags, 0xA0);
    EXPECT_EQ(out.job.stopValue, 0);
    EXPECT_EQ(out.job.sensor, 'e');
    EXPECT_EQ(out.job.downloads, 2);
    const QImage& page = f.image;
    ASSERT_EQ(page.size(), QSize(kW, kH));

    // Text: "ABC" in font 1 with its cell's bottom-left corner at row 237, column 40.
    const PrinterFontPicture abc = RenderPrinterFontText(PrinterFontFile::standard(), 1, "ABC");
    const QRect textArea(40, kH - 237 - abc.image.height(), abc.image.width(), abc.image.height());
    EXPECT_EQ(DotsIn(page, textArea), DotsIn(abc.image));
    // Line: 400 x 4 from row 157, column 40.
    EXPECT_EQ(DotsIn(page, QRect(40, lineOf(160), 400, 4)), 1600);
    EXPECT_FALSE(VirtualDot(page, 39, lineOf(157)));
    EXPECT_FALSE(VirtualDot(page, 440, lineOf(157)));
    // Box: 160 x 80 outline of 2 dots from row 39, column 240.
    const QRect box(240, lineOf(118), 160, 80);
    EXPECT_EQ(DotsIn(page, box), 2 * 2 * 160 + 2 * 2 * 76);
    EXPECT_EQ(DotsIn(page, box.adjusted(2, 2, -2, -2)), 0);
    // Picture: the 16 x 16 graphic with its bottom-left corner at row 287, column 360.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(VirtualDot(page, 360 + x, kH - 287 - 16 + y), qGray(picture.pixel(x, y)) < 128) << x << "," << y;
    // Barcode: Code 39 "123" from row 108 upward, the printer's text line (font 3) below the
    // bars. The line of the example crosses the bars.
    const int textHeight = RenderPrinterFontText(PrinterFontFile::standard(), 3, "123").image.height();
    const int barsBottom = 108 + textHeight;
    for (int r = barsBottom; r < barsBottom + 80; ++r)
        EXPECT_TRUE(VirtualDot(page, 41, lineOf(r))) << r; // the first bar
    EXPECT_FALSE(VirtualDot(page, 41, lineOf(barsBottom + 80)));
    EXPECT_EQ(DotsIn(page, QRect(40, lineOf(barsBottom - 1), 4, textHeight)), 0);
    EXPECT_GT(DotsIn(page, QRect(40, lineOf(barsBottom - 1), 100, textHeight)), 0);
    const QRect symbol(30, lineOf(barsBottom + 90), 110, 100 + textHeight);
    const ReadBack read = ReadSymbol(page, symbol, BarcodeFormat::Code39);
    ASSERT_TRUE(read.valid);
    EXPECT_EQ(read.text, "123");
    // Nothing lies below the barcode's row.
    EXPECT_EQ(DotsIn(page, QRect(0, lineOf(38), kW, 39)), 0);
}

TEST(VirtualPrinter, PrinterBarcodesReadBackAtEveryTurn)
{
    struct Case {
        int type;
        QByteArray data;
        BarcodeFormat format;
        std::string expected;
        bool codabarEnds = false;
    };
    const Case cases[] = {
        { 4, "CODE39-8", BarcodeFormat::Code39, "CODE39-8" },
        { 5, "K+O+R+V+E+L", BarcodeFormat::Code39, "K+O+R+V+E+L" }, // full ASCII data as emitted
        { 6, "A123BJC5D6E71", BarcodeFormat::Code39, "A123BJC5D6E71I" }, // with its mandatory check
        { 7, "A1234567890B", BarcodeFormat::Codabar, "A1234567890B", true },
        { 8, Code128AutoEscape("Korvel label 2024-06", false), BarcodeFormat::Code128, "Korvel label 2024-06" },
        { 8, "C123456&EAB", BarcodeFormat::Code128, "123456AB" },
        { 9, "CODE93 TEST", BarcodeFormat::Code93, "CODE93 TEST" },
        { 1, "0123456789", BarcodeFormat::ITF, "0123456789" },
        { 10, "590123412345", BarcodeFormat::EAN13, "5901234123457" },
        { 11, "9638507", BarcodeFormat::EAN8, "96385074" },
        { 12, "03600029145", BarcodeFormat::UPCA, "036000291452" },
        { 13, "123456", BarcodeFormat::UPCE, "01234565" },
        { 14, "0012345678901234567", BarcodeFormat::Code128, "00123456789012345675" },
    };
    for (const Case& c : cases) {
        for (const bool human : { false, true }) {
            for (const int angle : { 0, 90, 180, 270 }) {
                SCOPED_TRACE(testing::Message() << "type " << c.type << " " << c.data.constData() << ", "
                                                << angle << " degrees" << (human ? ", with text" : ""));
                // Reference corners that keep the symbol on the 799 x 799 dot page.
                const int row = angle == 0 || angle == 270 ? 50 : 750;
                const int col = angle == 0 || angle == 90 ? 50 : 750;
                StreamBuilder s(1000, 1000);
                s.start().add(BuildBarcodeField(s.ctx, c.type, c.data, angle, row, col, 90, 5, 2, human)).end();
                const QImage page = PrintOne(s.bytes);
                ASSERT_FALSE(page.isNull());
                ASSERT_GT(DotsIn(page), 0);
                const ReadBack read = ReadSymbol(page, page.rect(), c.format, c.codabarEnds);
                ASSERT_TRUE(read.valid);
                EXPECT_EQ(read.text, c.expected);
            }
        }
    }
}

TEST(VirtualPrinter, Pdf417ReadsBackInBothSizeForms)
{
    const QByteArray data = "Korvel PDF417 0123456789 label data";
    for (const bool rowCol : { false, true }) {
        for (const int angle : { 0, 90 }) {
            SCOPED_TRACE(testing::Message() << (rowCol ? "rows and columns" : "aspect") << ", " << angle);
            Pdf417Params p;
            p.PDFBaseWidth = 2;
            p.PDFBaseHeight = 6;
            p.PDF417ECClevel = 2;
            p.PDF417RowCol = rowCol;
            p.PDF417Rols = 10;
            p.PDF417Cels = 4;
            p.PDF417HeightScale = 3;
            p.PDF417WidthScale = 1;
            StreamBuilder s(1000, 1000);
            s.start().add(BuildPdf417Field(s.ctx, data, angle, 300, 300, p)).end();
            const QImage page = PrintOne(s.bytes);
            const ReadBack read = ReadSymbol(page, page.rect(), BarcodeFormat::PDF417);
            ASSERT_TRUE(read.valid);
            EXPECT_EQ(read.text, data.toStdString());
        }
    }
}

TEST(VirtualPrinter, ReportsTheQuantityAndCutCountOfEachFormat)
{
    StreamBuilder s;
    s.start().add(BuildLineField(s.ctx, 10, 10, 5, 5)).end(7, 7);
    s.add(BuildFeedModeCommand(FeedModeCommand::LastPagePeelOff));
    s.add(BuildLabelStart(s.ctx, s.setting, s.page)).add(BuildLineField(s.ctx, 20, 20, 5, 5)).end(1, 1);
    const VirtualPrintout out = PrintVirtually(s.bytes);
    EXPECT_TRUE(out.warnings.isEmpty());
    ASSERT_EQ(out.formats.size(), 2);
    EXPECT_EQ(out.formats[0].quantity, 7);
    EXPECT_EQ(out.formats[0].cutCount, 7);
    EXPECT_EQ(out.formats[1].quantity, 1);
    EXPECT_EQ(out.job.feedModes, QList<int>({ 50 }));
    // Each format starts on a blank page.
    EXPECT_EQ(DotsIn(out.formats[1].image), 25);
    EXPECT_TRUE(VirtualDot(out.formats[1].image, 20, lineOf(20)));
}

TEST(VirtualPrinter, MarginsShiftLaterFieldsAndTextInvertSwitchesToXor)
{
    StreamBuilder s;
    s.page.PaperLeftMargin = 50; // 5.0 mm = 40 dots
    s.page.PaperTopMargin = 25; // 2.5 mm = 20 dots
    s.start().add(BuildLineField(s.ctx, 100, 10, 4, 4)).end();
    const QImage shifted = PrintOne(s.bytes);
    EXPECT_EQ(DotsIn(shifted, QRect(50, lineOf(83), 4, 4)), 16);

    // The invert flag of a printer-font text appends "A1": every later field of the format is
    // drawn in XOR mode.
    StreamBuilder t;
    t.start();
    t.add(BuildLineField(t.ctx, 10, 10, 20, 20));
    t.add(BuildTextField(t.ctx, "X", 0, 200, 200, 0, 1, 1, 1));
    t.add(BuildTextField(t.ctx, "", 0, 200, 200, 0, 1, 1, 0)); // nothing to draw, mode unchanged
    VirtualPrinter printer;
    printer.feed(t.bytes);
    // The next field: a box without prefix (built in a mode with no prefix) over the first line.
    printer.feed(QByteArray("1X11000") + "0010" + "0010" + "b" + "0020" + "0020" + "9998" + "9998" + "\r");
    printer.feed(BuildLabelEnd(t.ctx, 1, 1).stream());
    printer.finish();
    ASSERT_EQ(printer.formats().size(), 1);
    EXPECT_EQ(DotsIn(printer.formats()[0].image, QRect(10, lineOf(29), 20, 20)), 0);
}

TEST(VirtualPrinter, StreamSplitAnywherePrintsTheSame)
{
    const QByteArray stream = WorkedExampleStream(Picture16());
    const QImage whole = PrintVirtually(stream).formats.value(0).image;
    ASSERT_FALSE(whole.isNull());
    for (const int chunk : { 1, 2, 3, 7, 64 }) {
        VirtualPrinter printer;
        for (qsizetype i = 0; i < stream.size(); i += chunk)
            printer.feed(QByteArrayView(stream).sliced(i, std::min<qsizetype>(chunk, stream.size() - i)));
        printer.finish();
        EXPECT_TRUE(printer.warnings().isEmpty()) << chunk;
        ASSERT_EQ(printer.formats().size(), 1) << chunk;
        EXPECT_EQ(printer.formats()[0].image, whole) << chunk;
    }
    // Fed through the builders' piece sink the printer sees the same bytes.
    VirtualPrinter printer;
    VirtualPrinterSink sink(printer);
    StreamBuilder s;
    ASSERT_TRUE(SendJobSetup(s.ctx, s.setting, 0, sink));
    ASSERT_TRUE(SendLabelStart(s.ctx, s.setting, s.page, sink));
    ASSERT_TRUE(SendLineField(s.ctx, 157, 40, 400, 4, sink));
    ASSERT_TRUE(SendLabelEnd(s.ctx, 3, 1, sink));
    printer.finish();
    ASSERT_EQ(printer.formats().size(), 1);
    EXPECT_EQ(printer.formats()[0].quantity, 3);
    EXPECT_EQ(DotsIn(printer.formats()[0].image), 1600);
}

TEST(VirtualPrinter, DamagedStreamsGiveWarningsNeverCrashes)
{
    const QByteArray stream = WorkedExampleStream(Picture16());
    // Every cut of the stream prints what came before the cut and says what was missing.
    for (qsizetype n = 0; n < stream.size(); n += 3) {
        const VirtualPrintout out = PrintVirtually(QByteArrayView(stream).first(n));
        for (const auto& f : out.formats)
            EXPECT_FALSE(f.ended) << n;
        if (!out.formats.isEmpty()) {
            EXPECT_FALSE(out.warnings.isEmpty()) << n;
        }
    }
    // Random damage anywhere.
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i) {
        QByteArray damaged = stream;
        for (int k = 0; k < 4; ++k)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        const VirtualPrintout out = PrintVirtually(damaged);
        EXPECT_LE(out.formats.size(), 3);
    }

    struct Case {
        const char* name;
        QByteArray stream;
        const char* warning;
    };
    const QByteArray start = StreamBuilder().start().bytes;
    const Case cases[] = {
        { "unknown command", "\x02Zz", "unknown command" },
        { "bytes outside commands", "hello", "outside" },
        { "graphic larger than any page", QByteArray("\x02IAfFhuge\r\xff\xff\xff\xff", 14) + QByteArray(100, '\0'),
            "not stored" },
        { "page larger than the printer", QByteArray("\x02" "c9999\x02Kw9999\r\x02L\rE\r"), "cut to the printable" },
        { "line without end", start + QByteArray(40000, 'x'), "longer than" },
        { "unknown font", start + "1Z11000" "0010" "0010" "ABC\r", "unknown field" },
        { "bad multiplier", start + "1" "0" "Z1000" "0010" "0010" "ABC\r", "unusable field" },
        { "short field", start + "1X1\r", "too short" },
        { "refused barcode data", start + "1a21090" "0010" "0010" "lower case\r", "refused" },
        { "unknown graphic", start + "1Y11000" "0010" "0010" "F0000099\r", "no stored graphic" },
        { "format without page size", "\x02L\rE\r", "without page size" },
        { "format left open", start + "1X11000" "0010" "0010" "l" "0010" "0010\r", "inside a label format" },
    };
    for (const Case& c : cases) {
        const VirtualPrintout out = PrintVirtually(c.stream);
        bool found = false;
        for (const auto& w : out.warnings)
            found = found || w.message.contains(QLatin1String(c.warning));
        EXPECT_TRUE(found) << c.name;
    }
}

TEST(VirtualPrinter, MemoryStaysWithinItsLimits)
{
    VirtualPrinterOptions options;
    options.maxGraphicsBytes = 1000;
    options.maxKeptImageBytes = 3 * 20000;
    options.maxWarnings = 5;
    StreamBuilder s;
    s.add(BuildGraphicDownload(s.ctx, bitmap(80, 80, [](int, int) { return true; }), 1)); // 800 bytes
    s.add(BuildGraphicDownload(s.ctx, bitmap(80, 80, [](int, int) { return true; }), 2)); // no room left
    s.add(BuildGraphicDownload(s.ctx, bitmap(40, 40, [](int, int) { return true; }), 1)); // replaces 1
    for (int i = 0; i < 10; ++i)
        s.start().end();
    s.bytes += QByteArray(20, '\x03');
    s.bytes += "\x02Q1\x02Q2\x02Q3\x02Q4\x02Q5\x02Q6";
    VirtualPrinter printer(options);
    printer.feed(s.bytes);
    printer.finish();
    EXPECT_TRUE(printer.hasGraphic("F0000001"));
    EXPECT_FALSE(printer.hasGraphic("F0000002"));
    ASSERT_EQ(printer.formats().size(), 10);
    int kept = 0;
    for (const auto& f : printer.formats())
        kept += f.image.isNull() ? 0 : 1;
    EXPECT_EQ(kept, 3); // 480 x 320 dots take 19200 bytes each
    EXPECT_EQ(printer.warnings().size(), 5);
    EXPECT_GT(printer.droppedWarnings(), 0);
}

namespace {

/// Texts and barcodes at the four turns on one page, graphics in both forms, an inverse box.
QByteArray TurnsStream()
{
    StreamBuilder s(800, 600);
    s.setup();
    s.add(BuildGraphicsClear(s.ctx)).add(BuildGraphicDownload(s.ctx, Picture16(), 7));
    s.labelStart();
    const int angles[] = { 0, 90, 180, 270 };
    const int rows[] = { 300, 300, 300, 300 };
    const int cols[] = { 20, 180, 340, 380 };
    for (int i = 0; i < 4; ++i) {
        s.add(BuildTextField(s.ctx, "Turn", angles[i], rows[i] + 60, cols[i] + 60, 2, 1, 2, 0));
        s.add(BuildBarcodeField(s.ctx, 8, "B12&&3", angles[i], rows[i], cols[i] + 100, 40, 4, 1, i % 2 == 0));
        s.add(BuildGraphicField(s.ctx, 7, 20, 20 + 40 * i));
    }
    s.add(BuildInlineGraphic(s.ctx, Picture16(), 20, 200));
    s.add(BuildBoxField(s.ctx, 10, 10, 240, 40, 9998));
    s.end(2, 1);
    return s.bytes;
}

} // namespace

TEST(VirtualPrinter, PrintoutsMatchTheirGoldens)
{
    ExpectMatchesGoldenPng(PrintOne(WorkedExampleStream(Picture16())), "printing/golden/virtual", "worked-example");
    ExpectMatchesGoldenPng(PrintOne(TurnsStream()), "printing/golden/virtual", "turns");
}

TEST(VirtualPrinter, TestStreamsSeedTheFuzzer)
{
    // The seeds start with the fuzz target's choice byte: pieces of 8 bytes at 203 dpi.
    const QByteArray choice(1, '\x07');
    const QByteArray damaged = WorkedExampleStream(Picture16()).replace("\x02L\r", "\x02L");
    const std::pair<const char*, QByteArray> seeds[] = {
        { "worked-example", WorkedExampleStream(Picture16()) },
        { "turns", TurnsStream() },
        { "pdf417", StreamBuilder().start().add(BuildPdf417Field(CommandContext(), "seed 417", 0, 100, 100, Pdf417Params())).end().bytes },
        { "damaged", damaged },
    };
    const QString dir = sourceDir() + "/../fuzz/corpus/virtualprinter";
    for (const auto& [name, stream] : seeds) {
        const QString path = dir + '/' + name + ".qcml";
        if (!QFileInfo::exists(path)) {
            QDir().mkpath(dir);
            ASSERT_TRUE(writeFile(path, choice + stream)) << path.toStdString();
            std::printf("[ seed     ] generated %s\n", path.toLocal8Bit().constData());
        }
        // Whatever the seed holds now, the printer gets through it.
        const QByteArray seed = readFile(path);
        EXPECT_FALSE(seed.isEmpty());
        PrintVirtually(QByteArrayView(seed).sliced(1));
    }
}
