#include "JobTestSupport.h"

#include "document/OAEllipse.h"
#include "document/OAInvertArea.h"
#include "document/OALine.h"
#include "printing/emission/BarcodeValue.h"
#include "printing/emission/LabelEmitter.h"
#include "printing/job/PrintJob.h"
#include "variables/VariableModel.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

std::unique_ptr<LabelDocument> WorkedExampleDocument()
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    BuildWorkedExample(*doc);
    return doc;
}

/// Runs a plain job of `count` labels into a recording port.
JobResult PrintInto(LabelDocument& doc, RecordingPort& port, std::int64_t count, int copies = 1)
{
    PrintJobOptions options;
    options.storedPicture = ExampleStoredPicture;
    JobTargets targets;
    targets.printer = &port;
    PrintJob job(doc, nullptr, targets, options);
    return job.PrintLabels(1, count, copies);
}

QList<QByteArray> GraphicDownloadPieces(const QImage& picture, int number)
{
    return BuildGraphicDownload(CommandContext{}, picture, number).pieces;
}

/// The pieces of the worked example, written out from its description.
QList<QByteArray> WorkedExamplePieces(const LabelDocument& doc, int quantity, int cutCount, bool feed4)
{
    QList<QByteArray> p;
    p << stx("m") << stx("u0") << stx(feed4 ? "j2F090\r" : "j2F0A0\r") << stx("JY0000") << stx("e");
    p << stx(feed4 ? "f280\r" : "f000\r") << stx("Kf00\r");
    p << stx("qA");
    p << GraphicDownloadPieces(static_cast<const TOARectangle&>(*doc.object(2)).PrinterPicture(203), 2);
    QList<QByteArray> image = GraphicDownloadPieces(ExampleImagePicture(), 4);
    EXPECT_EQ(image[2], QByteArray::fromHex("10001000"));
    EXPECT_EQ(image.size(), 2 + 1 + 16 + 1);
    p << image;
    p << soh("D") << stx("c0400") << stx("Kw0600\r") << stx("JA\r") << stx("L\r") << "C0000\r"
      << "R0000\r"
      << "N\r"
      << "g00\r"
      << "PF\r"
      << "H18\r";
    p << "101100002370040ABC\r";
    p << "A2\r1X1100001570040l04000004\r";
    p << "A2\r1X1100000390240b0160008000020002\r";
    p << QByteArray() << "1A3108001080040123\r";
    p << "A2\r"
      << "1Y1100002870360F0000004\r";
    p << ":" + QByteArray::number(cutCount).rightJustified(4, '0') + "\r";
    p << "Q" + QByteArray::number(quantity).rightJustified(4, '0') + "\r";
    p << "E\r";
    return p;
}

void ExpectPieces(const QList<QByteArray>& actual, const QList<QByteArray>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i].toHex(' ').toStdString(), expected[i].toHex(' ').toStdString()) << "piece " << i;
}

} // namespace

// The worked example: one label, then ten, then ten with FeedType 4; each against its written-out
// pieces and its golden stream.
TEST(Emission, WorkedExample)
{
    struct Case {
        const char* golden;
        int count;
        int feedType;
        int quantity;
        int cut;
    };
    const Case cases[] = {
        {"worked_example_1", 1, 2, 1, 1},
        {"worked_example_10", 10, 2, 10, 1},
        {"worked_example_10_feed4", 10, 4, 10, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        auto doc = WorkedExampleDocument();
        doc->printer.FeedType = std::uint8_t(c.feedType);
        RecordingPort port;
        const JobResult r = PrintInto(*doc, port, c.count);
        ASSERT_TRUE(r.ok()) << r.text().toStdString();
        EXPECT_EQ(r.labelsSent, c.count);
        ExpectPieces(port.pieces, WorkedExamplePieces(*doc, c.quantity, c.cut, c.feedType == 4));
        ExpectMatchesStreamGolden(port.stream(), QString::fromLatin1(c.golden));
        EXPECT_EQ(port.opens, 1);
        EXPECT_EQ(port.closes, 1);
    }
}

TEST(Emission, GeometryConversions)
{
    DotScale s;
    s.dpi = 203;
    s.zoomPercent = 200;
    EXPECT_EQ(s.px100(39), 20); // 19.5 rounds to even
    EXPECT_EQ(s.px100(41), 20); // 20.5 rounds to even
    s.zoomPercent = 100;
    EXPECT_EQ(s.dotsPx(151), 319);
    EXPECT_EQ(s.dotsMm(20.0), 160);
    EXPECT_EQ(s.dotsLine(0.0), 1);
    EXPECT_EQ(s.dotsLine(0.1), 1);
    EXPECT_EQ(s.dotsLine(0.5), 4);
    EXPECT_EQ(s.gridOffset(1, 600, 20), 0);
    EXPECT_EQ(s.gridOffset(2, 600, 20), 496); // 620 × 203 / 254 = 495.5 → 496
    s.dpi = 300;
    EXPECT_EQ(s.dotsLine(0.5), 6);
    EXPECT_EQ(s.dotsMm(std::numeric_limits<double>::quiet_NaN()), 0);
}

// Which objects belong to the label: the right and bottom edges are inside for every kind but
// the inverse area; one pixel beyond leaves an object out.
TEST(Emission, InsideTests)
{
    const int lw = 227;
    const int lh = 151;
    EXPECT_TRUE(InsideLabel(QRect(0, 0, 227, 151), lw, lh));
    EXPECT_FALSE(InsideLabel(QRect(1, 0, 227, 151), lw, lh));
    EXPECT_FALSE(InsideLabel(QRect(-1, 0, 10, 10), lw, lh));
    EXPECT_FALSE(InsideLabel(QRect(0, 142, 10, 10), lw, lh));
    EXPECT_FALSE(StrictlyInsideLabel(QRect(217, 0, 10, 10), lw, lh));
    EXPECT_TRUE(StrictlyInsideLabel(QRect(216, 0, 10, 10), lw, lh));
    EXPECT_FALSE(StrictlyInsideLabel(QRect(0, 141, 10, 10), lw, lh));
}

TEST(Emission, InverseAreaOnTheRightEdgeIsLeftOutButARectangleIsNot)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    const int lw = doc->pixels().labelWidth;
    auto area = std::make_unique<TOAInvertArea>();
    TOAInvertArea* a = Append(*doc, std::move(area));
    a->setVirBounds(lw - 20, 10, 20, 20);
    auto rect = std::make_unique<TOARectangle>();
    TOARectangle* r = Append(*doc, std::move(rect));
    r->setVirBounds(lw - 20, 10, 20, 20);
    ASSERT_EQ(a->Left() + a->Width(), lw);

    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext{}, rec);
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    ASSERT_EQ(rec.pieces.size(), 1);
    EXPECT_TRUE(rec.pieces[0].contains("b")) << rec.pieces[0].toStdString();
    EXPECT_FALSE(rec.pieces[0].contains("9998"));

    // One pixel further in, the inverse area prints as a filled XOR box after the rectangle.
    a->setVirBounds(lw - 21, 10, 20, 20);
    rec.pieces.clear();
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    ASSERT_EQ(rec.pieces.size(), 2);
    EXPECT_TRUE(rec.pieces[1].startsWith("A1\r1X11000"));
    EXPECT_TRUE(rec.pieces[1].endsWith("99989998\r"));
}

TEST(Emission, ObjectOnePixelOutsideAndNotPrintFlagAreLeftOut)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    const int lh = doc->pixels().labelHeight;
    TOAText* t = AddPrinterText(*doc, "X", QRect(0, lh - 19, 40, 20));
    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext{}, rec);
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    EXPECT_TRUE(rec.pieces.isEmpty());

    t->setGeometry(QRect(0, lh - 20, 40, 20));
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    EXPECT_EQ(rec.pieces.size(), 1);

    rec.pieces.clear();
    t->setVirReadPr(1); // flag byte 0: shown, never printed
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    EXPECT_TRUE(rec.pieces.isEmpty());
}

// The printer-font text rows and columns of the four angles, with the grid offsets applied.
TEST(Emission, PrinterTextAngles)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    TOAText* t = AddPrinterText(*doc, "AB", QRect(19, 19, 40, 20));
    struct Row {
        int angle;
        int row;
        int column;
    };
    // Hpx 151: rows dotsPx(112) = 237 and dotsPx(132) = 279; columns dotsPx(19) = 40 and
    // dotsPx(59) = 125; the label's offsets are X = 7 and Y = 5.
    const Row rows[] = {
        {0, 232, 47},
        {90, 274, 47},
        {180, 274, 132},
        {270, 232, 132},
    };
    for (const Row& row : rows) {
        t->setAngle(row.angle);
        t->setGeometry(QRect(19, 19, 40, 20));
        PieceRecorder rec;
        LabelEmitter emitter(*doc, EmissionContext{}, rec);
        ASSERT_TRUE(emitter.EmitLabel(7, 5));
        ASSERT_EQ(rec.pieces.size(), 1);
        const QByteArray rotation = QByteArray::number(row.angle / 90 + 1);
        const QByteArray expected = rotation + "011000" + QByteArray::number(row.row).rightJustified(4, '0')
            + QByteArray::number(row.column).rightJustified(4, '0') + "AB\r";
        EXPECT_EQ(rec.pieces[0], expected) << row.angle;
    }
}
