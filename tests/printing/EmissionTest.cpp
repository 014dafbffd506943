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
    return BuildGraphicDownload(CommandContext {}, picture, number).pieces;
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
        { "worked_example_1", 1, 2, 1, 1 },
        { "worked_example_10", 10, 2, 10, 1 },
        { "worked_example_10_feed4", 10, 4, 10, 10 },
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
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
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
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
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
        { 0, 232, 47 },
        { 90, 274, 47 },
        { 180, 274, 132 },
        { 270, 232, 132 },
    };
    for (const Row& row : rows) {
        t->setAngle(row.angle);
        t->setGeometry(QRect(19, 19, 40, 20));
        PieceRecorder rec;
        LabelEmitter emitter(*doc, EmissionContext {}, rec);
        ASSERT_TRUE(emitter.EmitLabel(7, 5));
        ASSERT_EQ(rec.pieces.size(), 1);
        const QByteArray rotation = QByteArray::number(row.angle / 90 + 1);
        const QByteArray expected = rotation + "011000" + QByteArray::number(row.row).rightJustified(4, '0')
            + QByteArray::number(row.column).rightJustified(4, '0') + "AB\r";
        EXPECT_EQ(rec.pieces[0], expected) << row.angle;
    }
}

// A blank value prints as the picture of one space with a screen font; a printer font gets the
// blank value itself.
TEST(Emission, BlankVariableText)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    auto text = std::make_unique<TOAText>(QStringLiteral("Text1"));
    text->SetFontSizePt(12);
    text->SetText("Shown");
    TOAText* t = Append(*doc, std::move(text));
    t->SetAbsLeft(3);
    t->SetAbsTop(4);
    t->VarName = "NAME";
    t->VarType = int(VariableKind::Database);
    MemoryRecords rec({ "NAME" }, { { "   " } });
    EmissionContext ctx;
    ctx.evaluation.fields = &rec;
    ctx.dataSetEmpty = false;

    PieceRecorder rec1;
    LabelEmitter emitter(*doc, ctx, rec1);
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    const QImage space = t->renderForPrinter(" ");
    const int pb = emitter.pageBottom();
    const QList<QByteArray> expected = BuildInlineGraphic(
        CommandContext {}, space, pb - emitter.scale().dotsMm(4) - space.height(), emitter.scale().dotsMm(3))
                                           .pieces;
    EXPECT_EQ(rec1.pieces, expected);

    t->SetUsePrnFont(1);
    t->setGeometry(QRect(10, 10, 30, 10));
    PieceRecorder rec2;
    LabelEmitter printerFont(*doc, ctx, rec2);
    ASSERT_TRUE(printerFont.EmitLabel(0, 0));
    ASSERT_EQ(rec2.pieces.size(), 1);
    const QByteArray blank = EvaluateVariable(*doc, "NAME", VariableKind::Database, ctx.evaluation);
    ASSERT_TRUE(IsBlank(blank));
    EXPECT_TRUE(rec2.pieces[0].endsWith(blank + "\r")) << rec2.pieces[0].toStdString();
}

// Without a record to print from, a text bound to a database field prints its own text; the
// document keeps its binding.
TEST(Emission, DatabaseTextWithoutRecordsPrintsItsOwnText)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    TOAText* t = AddPrinterText(*doc, "OWN", QRect(10, 10, 30, 10));
    t->VarName = "NAME";
    t->VarType = int(VariableKind::Database);
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "NAME"));
    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
    ASSERT_TRUE(emitter.DownloadGraphics());
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    EXPECT_TRUE(rec.pieces.last().endsWith("OWN\r")) << rec.pieces.last().toStdString();
    EXPECT_EQ(t->VarName, QByteArray("NAME"));
    EXPECT_EQ(t->VarType, int(VariableKind::Database));
}

// Lines: a one-dot line is not shifted; a vertical line is centred on its mark.
TEST(Emission, HorizontalAndVerticalLines)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    auto h = std::make_unique<TOAHVLine>();
    h->setStyle(lsTop);
    h->setMMLineWidth(0.1);
    TOAHVLine* hl = Append(*doc, std::move(h));
    hl->setAbsStartX(10.0);
    hl->setAbsStartY(10.0);
    hl->setAbsEndX(30.0);
    hl->setAbsEndY(10.0);
    auto v = std::make_unique<TOAHVLine>();
    v->setStyle(lsLeft);
    v->setMMLineWidth(0.375); // 3 dots: shifted by round(1.5) = 2
    TOAHVLine* vl = Append(*doc, std::move(v));
    vl->setAbsStartX(20.0);
    vl->setAbsStartY(30.0);
    vl->setAbsEndX(20.0);
    vl->setAbsEndY(5.0);
    ASSERT_EQ(hl->LineFlag(), 3);
    ASSERT_EQ(vl->LineFlag(), 2);

    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
    ASSERT_TRUE(emitter.EmitLabel(0, 0));
    ASSERT_EQ(rec.pieces.size(), 2);
    // PB 319; dotsMm(10) = 80, dotsMm(20) = 160, dotsMm(30) = 240, dotsMm(25) = 200.
    EXPECT_EQ(rec.pieces[0], "A2\r1X1100002390080l01600001\r");
    EXPECT_EQ(rec.pieces[1], "A2\r1X1100000790158l00030200\r");
}

// Filled rectangles, ellipses, images and free lines are placed as the stored graphic of their
// index; a rectangle of another fill sends nothing. Downloads cover every such object, inside
// the label or not, printable or not.
TEST(Emission, StoredGraphics)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    auto filled = std::make_unique<TOARectangle>();
    filled->setFill(1);
    TOARectangle* f = Append(*doc, std::move(filled));
    f->setAbsLeft(10);
    f->setAbsTop(10);
    f->setAbsWidth(5);
    f->setAbsHeight(5);
    auto odd = std::make_unique<TOARectangle>();
    odd->setFill(2);
    TOARectangle* o = Append(*doc, std::move(odd));
    o->setAbsLeft(20);
    o->setAbsTop(10);
    o->setAbsWidth(5);
    o->setAbsHeight(5);
    auto ellipse = std::make_unique<TOAEllipse>();
    TOAEllipse* e = Append(*doc, std::move(ellipse));
    e->setAbsLeft(30);
    e->setAbsTop(10);
    e->setAbsWidth(8);
    e->setAbsHeight(4);
    auto line = std::make_unique<TOALine>();
    TOALine* l = Append(*doc, std::move(line));
    l->setPoints(QPoint(20, 100), QPoint(60, 80));
    auto outside = std::make_unique<TOAEllipse>();
    TOAEllipse* out = Append(*doc, std::move(outside));
    out->setAbsLeft(58);
    out->setAbsTop(10);
    out->setAbsWidth(8);
    out->setAbsHeight(4);
    out->setVirReadPr(1);

    PieceRecorder rec;
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
    ASSERT_TRUE(emitter.DownloadGraphics());
    QList<QByteArray> names;
    for (const QByteArray& p : rec.pieces)
        if (p.startsWith("\x02IAf"))
            names << p.mid(4, 8);
    EXPECT_EQ(names, QList<QByteArray>({ "F0000000", "F0000001", "F0000002", "F0000003", "F0000004" }));

    rec.pieces.clear();
    ASSERT_TRUE(emitter.EmitLabel(5, 7));
    QList<QByteArray> placed;
    for (const QByteArray& p : rec.pieces)
        if (p.startsWith("1Y11000"))
            placed << p;
    const DotScale& s = emitter.scale();
    const int pb = emitter.pageBottom();
    auto place = [](int row, int column, int n) {
        return "1Y11000" + QByteArray::number(row).rightJustified(4, '0')
            + QByteArray::number(column).rightJustified(4, '0') + "F" + QByteArray::number(n).rightJustified(7, '0')
            + "\r";
    };
    // The free line first, then the rectangle and the ellipse in list order.
    const int lineRow = std::min(pb - s.dotsMm(l->AbsStartY()) - 7, pb - s.dotsMm(l->AbsEndY()) - 7);
    const int lineColumn = std::min(s.dotsMm(l->AbsStartX()), s.dotsMm(l->AbsEndX())) + 5;
    EXPECT_EQ(placed,
        QList<QByteArray>(
            { place(lineRow, lineColumn, 3), place(pb - s.dotsMm(10) - 7 - s.dotsMm(5), s.dotsMm(10) + 5, 0),
                place(pb - s.dotsMm(10) - s.dotsMm(4) - 7, s.dotsMm(30) + 5, 2) }));
}

// A piece the port refuses ends the label at once with the port's failure.
TEST(Emission, RefusedPieceStopsTheLabel)
{
    auto doc = NewPrintDocument(GridPage(600, 400, 1, 1), WorkedExampleSetting());
    AddPrinterText(*doc, "A", QRect(1, 1, 10, 10));
    AddPrinterText(*doc, "B", QRect(20, 1, 10, 10));
    PieceRecorder rec;
    rec.refuseAt = 0;
    LabelEmitter emitter(*doc, EmissionContext {}, rec);
    const PortStatus s = emitter.EmitLabel(0, 0);
    EXPECT_EQ(s.code, PortError::WriteFailed);
    EXPECT_TRUE(rec.pieces.isEmpty());
}
