#include "printing/commands/QcmlCommands.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

QByteArray stx(const char* text)
{
    return QByteArray("\x02") + text;
}

QByteArray soh(const char* text)
{
    return QByteArray("\x01") + text;
}

/// A 1-bit bitmap with index 0 black; rows given as raw row bytes (0 bits are black).
QImage monoBitmap(int width, const QList<QByteArray>& rows, bool zeroIsBlack = true)
{
    QImage img(width, int(rows.size()), QImage::Format_Mono);
    if (zeroIsBlack)
        img.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    else
        img.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    for (int y = 0; y < rows.size(); ++y) {
        uchar* line = img.scanLine(y);
        std::fill(line, line + img.bytesPerLine(), uchar(0xFF));
        for (int i = 0; i < rows[y].size(); ++i)
            line[i] = uchar(rows[y][i]);
    }
    return img;
}

TPrinterSetting workedExampleSetting()
{
    TPrinterSetting s;
    s.PrinterID = 0;
    s.PrintType = 1;
    s.PrintDirection = 0;
    s.FeedType = 2;
    s.PrintSpeed = 'F';
    s.PrintThickness = 18;
    s.PageType = 2;
    s.OutDistance = 0;
    return s;
}

} // namespace

TEST(QcmlCommands, JobSetupEdgeCases)
{
    CommandContext ctx; // printer index 1, no model button down
    TPrinterSetting s;
    s.PrintType = 1;
    s.PageType = 0;
    s.FeedType = 5;
    s.OutDistance = 0;
    QList<QByteArray> p = BuildJobSetup(ctx, s, 0).pieces;
    ASSERT_GE(p.size(), 3);
    EXPECT_EQ(p[2], bytes({ 0x02, 0x6A, 0x32, 0x46, 0x30, 0x45, 0x30, 0x0D }));

    s.PrintType = 0;
    s.PageType = 2;
    s.FeedType = 0;
    p = BuildJobSetup(ctx, s, 0).pieces;
    EXPECT_EQ(p[2], bytes({ 0x02, 0x6A, 0x32, 0x46, 0x30, 0x30, 0x30, 0x0D }));

    // Negative position adjustment, only on printer index 1, without CR.
    p = BuildJobSetup(ctx, s, -12).pieces;
    EXPECT_EQ(p[3], bytes({ 0x02, 0x4A, 0x59, 0x2D, 0x30, 0x30, 0x31, 0x32 }));
    CommandContext other;
    other.PrinterIndex = 2;
    for (const QByteArray& piece : BuildJobSetup(other, s, -12).pieces)
        EXPECT_FALSE(piece.startsWith(stx("JY"))) << piece.toHex().constData();

    // Out distance -3 with peel-off without confirmation: stop value 280, then Kf-03.
    s.FeedType = 4;
    s.OutDistance = -3;
    p = BuildJobSetup(ctx, s, 0).pieces;
    ASSERT_EQ(p.size(), 7);
    EXPECT_EQ(p[5], bytes({ 0x02, 0x66, 0x32, 0x38, 0x30, 0x0D }));
    EXPECT_EQ(p[6], bytes({ 0x02, 0x4B, 0x66, 0x2D, 0x30, 0x33, 0x0D }));

    // Rewind sends neither the stop value nor the out distance.
    s.FeedType = 3;
    p = BuildJobSetup(ctx, s, 0).pieces;
    EXPECT_EQ(p.size(), 5);
    EXPECT_EQ(p.last(), stx("e"));
}

TEST(QcmlCommands, JobSetupModelConditions)
{
    TPrinterSetting s;
    s.PrintDirection = 1;
    s.PageType = 1;
    s.FeedType = 5;
    s.OutDistance = 7;
    s.LED = 1;

    struct Row {
        int printerIndex;
        std::uint32_t buttons;
        QList<QByteArray> tail; // pieces after STX "r"
    };
    const Row rows[] = {
        { 1, 0, { stx("f280\r"), stx("Kf07\r") } },
        { 1, 1u << 3, { stx("f280\r"), stx("Kf07\r"), stx("A1") } }, // the first condition wins
        { 2, 1u << 3, { stx("f140\r"), stx("Kf07\r"), stx("A1") } },
        { 2, 1u << 4, { stx("f120\r"), stx("Kf07\r"), stx("A1") } },
        { 2, 1u << 5, { stx("f100\r"), stx("Kf07\r") } },
        { 2, 1u << 6, { stx("f064\r"), stx("Kf07\r") } },
        { 2, 1u << 8, { stx("f064\r"), stx("Kf07\r") } },
        { 2, 0, {} },
    };
    for (const Row& r : rows) {
        CommandContext ctx;
        ctx.PrinterIndex = r.printerIndex;
        ctx.ModelButtonsDown = r.buttons;
        const QList<QByteArray> p = BuildJobSetup(ctx, s, 5).pieces;
        const int head = r.printerIndex == 1 ? 5 : 4;
        ASSERT_EQ(p.size(), head + r.tail.size()) << r.printerIndex << " " << r.buttons;
        EXPECT_EQ(p[1], stx("u1"));
        EXPECT_EQ(p[head - 1], stx("r"));
        EXPECT_EQ(p.mid(head), r.tail) << r.printerIndex << " " << r.buttons;
    }

    // LED 0 sends A0, other values nothing; the feed part honours FeedType 0 with "f000".
    CommandContext ctx;
    ctx.PrinterIndex = 3;
    ctx.ModelButtonsDown = 1u << 4;
    s.FeedType = 0;
    s.LED = 0;
    EXPECT_EQ(BuildJobSetup(ctx, s, 0).pieces.mid(4), (QList<QByteArray> { stx("f000\r"), stx("Kf07\r"), stx("A0") }));
    s.LED = 2;
    EXPECT_EQ(BuildJobSetup(ctx, s, 0).pieces.mid(4), (QList<QByteArray> { stx("f000\r"), stx("Kf07\r") }));
}

TEST(QcmlCommands, LabelStartWidthLimitAndPrinterIndex)
{
    CommandContext ctx;
    TPrinterSetting s = workedExampleSetting();
    TPageRecord page;
    page.PaperHeight = 400;
    page.PaperLeftMargin = 12;
    page.PaperTopMargin = 3;
    const std::pair<int, QByteArray> widths[] = { { 1200, stx("Kw1080\r") }, { 1080, stx("Kw1080\r") },
        { 1079, bytes({ 0x02, 0x4B, 0x77, 0x31, 0x30, 0x37, 0x39, 0x0D }) } };
    for (const auto& [width, piece] : widths) {
        page.PaperWidth = std::uint16_t(width);
        const QList<QByteArray> p = BuildLabelStart(ctx, s, page).pieces;
        ASSERT_EQ(p.size(), 11);
        EXPECT_EQ(p[0], soh("D"));
        EXPECT_EQ(p[1], stx("c0400"));
        EXPECT_EQ(p[2], piece) << width;
        EXPECT_EQ(p[3], stx("JA\r"));
        EXPECT_EQ(p.mid(4), (QList<QByteArray> { stx("L\r"), "C0012\r", "R0003\r", "N\r", "g00\r", "PF\r", "H18\r" }));
    }
    ctx.PrinterIndex = 2;
    EXPECT_EQ(BuildLabelStart(ctx, s, page).pieces.size(), 10);
}

TEST(QcmlCommands, LabelEndAndFeedModeCommands)
{
    CommandContext ctx;
    EXPECT_EQ(BuildLabelEnd(ctx, 10, 1).pieces, (QList<QByteArray> { ":0001\r", "Q0010\r", "E\r" }));
    EXPECT_EQ(BuildFeedModeCommand(FeedModeCommand::LastPagePeelOff).pieces, QList<QByteArray> { stx("j23050\r") });
    EXPECT_EQ(BuildFeedModeCommand(FeedModeCommand::LastPageTearOff).pieces, QList<QByteArray> { stx("j23060\r") });
    EXPECT_EQ(BuildFeedModeCommand(FeedModeCommand::MorePages).pieces, QList<QByteArray> { stx("j23070\r") });
    EXPECT_EQ(BuildGraphicsClear(ctx).pieces, QList<QByteArray> { stx("qA") });
}

TEST(QcmlCommands, TextFieldFontParts)
{
    CommandContext ctx;
    struct Row {
        int font;
        const char* expected;
    };
    // Multipliers 2 and 3, angle 90, row 150, column 40, text "AB".
    const Row rows[] = {
        { 0,
            "20230000150"
            "0040AB\r" },
        { 8,
            "28230000150"
            "0040AB\r" },
        { 9,
            "2923P060150"
            "0040AB\r" },
        { 10,
            "2923P080150"
            "0040AB\r" },
        { 11,
            "2923P100150"
            "0040AB\r" },
        { 12,
            "2923P120150"
            "0040AB\r" },
        { 13,
            "2923P140150"
            "0040AB\r" },
        { 14,
            "2923P180150"
            "0040AB\r" },
        { 15,
            "29230000150"
            "0040AB\r" },
        { 16,
            "29230010150"
            "0040AB\r" },
        { 22,
            "29230070150"
            "0040AB\r" },
        { 23, "201500040AB\r" },
        { 255, "201500040AB\r" },
    };
    for (const Row& r : rows) {
        const CommandPieces c = BuildTextField(ctx, "AB", 90, 150, 40, std::uint8_t(r.font), 2, 3, 0);
        ASSERT_TRUE(c.ok()) << r.font;
        EXPECT_EQ(c.pieces, QList<QByteArray> { r.expected }) << r.font;
    }
    // Inverted text: "A1" CR in the same piece.
    EXPECT_EQ(BuildTextField(ctx, "AB", 90, 150, 40, 16, 2, 3, 1).pieces,
        QList<QByteArray> { "29230010150"
                            "0040AB\rA1\r" });
    // An angle outside the four leaves the rotation character out; multiplier 24 is "O".
    EXPECT_EQ(BuildTextField(ctx, "X", 45, 1, 2, 1, 24, 10, 0).pieces, QList<QByteArray> { "1OA00000010002X\r" });
}

TEST(QcmlCommands, ValuesTheLanguageCannotExpressAreRefused)
{
    CommandContext ctx;
    EXPECT_EQ(BuildTextField(ctx, "AB", 0, 1, 1, 3, 0, 1, 0).status.code, PortError::InvalidInput);
    EXPECT_EQ(BuildTextField(ctx, "AB", 0, 1, 1, 3, 1, 25, 0).status.code, PortError::InvalidInput);
    EXPECT_EQ(BuildBarcodeField(ctx, 4, "1", 0, 1, 1, 50, 25, 1, true).status.code, PortError::InvalidInput);
    Pdf417Params pdf;
    pdf.PDFBaseHeight = 0;
    EXPECT_EQ(BuildPdf417Field(ctx, "1", 0, 1, 1, pdf).status.code, PortError::InvalidInput);
    EXPECT_EQ(BuildGraphicDownload(ctx, QImage(), 1).status.code, PortError::InvalidInput);
    EXPECT_EQ(BuildInlineGraphic(ctx, QImage(), 1, 1).status.code, PortError::InvalidInput);

    // Refused commands send nothing.
    PieceRecorder rec;
    EXPECT_FALSE(SendTextField(ctx, "AB", 0, 1, 1, 3, 0, 1, 0, rec));
    EXPECT_TRUE(rec.pieces.isEmpty());
}

TEST(QcmlCommands, LinesAndBoxes)
{
    CommandContext ctx;
    EXPECT_EQ(BuildLineField(ctx, 157, 40, 0, 4).pieces, QList<QByteArray> { "A2\r1X1100001570040l00010004\r" });
    EXPECT_EQ(BuildLineField(ctx, 157, 40, 400, 0).pieces, QList<QByteArray> { "A2\r1X1100001570040l04000001\r" });
    ctx.DrawingMode = 1;
    EXPECT_EQ(BuildLineField(ctx, 1, 2, 3, 4).pieces, QList<QByteArray> { "A1\r1X1100000010002l00030004\r" });
    ctx.DrawingMode = 7;
    EXPECT_EQ(
        BuildBoxField(ctx, 39, 240, 160, 80, 2).pieces, QList<QByteArray> { "1X1100000390240b0160008000020002\r" });
    // The inverse area is always XOR, whatever the drawing mode.
    for (int mode : { 0, 1, 7 }) {
        ctx.DrawingMode = mode;
        EXPECT_EQ(BuildBoxField(ctx, 10, 20, 30, 40, 9998).pieces,
            QList<QByteArray> { "A1\r1X1100000100020b0030004099989998\r" });
    }
}

TEST(QcmlCommands, BarcodeField)
{
    CommandContext ctx;
    const QList<QByteArray> p = BuildBarcodeField(ctx, 4, "123", 0, 108, 40, 80, 3, 1, true).pieces;
    EXPECT_EQ(p,
        (QList<QByteArray> { QByteArray(),
            "1A310800108"
            "0040123\r" }));
    // Full-ASCII Code 39 shares the letter; lower case without the printer's text line.
    EXPECT_EQ(BuildBarcodeField(ctx, 5, "a", 270, 1, 2, 999, 10, 2, false).pieces.at(1), "4aA299900010002a\r");
    // Code 128 escape data go out byte for byte, ampersands and raised control codes included.
    const QByteArray escaped = QByteArray("B12&&34&C") + char(0x60 + 0x0D) + char(0xC1) + "&F";
    EXPECT_EQ(BuildBarcodeField(ctx, 8, escaped, 180, 5, 6, 50, 2, 1, false).pieces.at(1),
        QByteArray("3e2105000050006") + escaped + '\r');
    // Types without a letter lose the letter only.
    EXPECT_EQ(BuildBarcodeField(ctx, 23, "1", 0, 1, 1, 1, 1, 1, true).pieces.at(1),
        "11100100010001"
        "1\r");
}

TEST(QcmlCommands, Pdf417Field)
{
    CommandContext ctx;
    Pdf417Params pdf;
    pdf.PDFBaseWidth = 2;
    pdf.PDFBaseHeight = 6;
    pdf.PDF417Trunct = true;
    pdf.PDF417ECClevel = 3;
    pdf.PDF417RowCol = true;
    pdf.PDF417Rols = 12;
    pdf.PDF417Cels = 4;
    EXPECT_EQ(BuildPdf417Field(ctx, "DATA", 90, 100, 200, pdf).pieces,
        (QList<QByteArray> { "A2\r", "2z2600001000200T3001204DATA\r" }));
    pdf.PDF417Trunct = false;
    pdf.PDF417RowCol = false;
    pdf.PDF417HeightScale = 1;
    pdf.PDF417WidthScale = 2;
    ctx.DrawingMode = 5;
    EXPECT_EQ(BuildPdf417Field(ctx, "X", 0, 1, 2, pdf).pieces,
        (QList<QByteArray> { QByteArray(), "1z2600000010002F3120000X\r" }));
}

TEST(QcmlCommands, GraphicsPaddingAndNames)
{
    CommandContext ctx;
    // 10 dots wide: 2 bytes per row. Row 0 all black with zero padding; row 1 alternating.
    const QImage bmp = monoBitmap(10, { bytes({ 0x00, 0x00 }), bytes({ 0x55, 0x7F }) });
    const QList<QByteArray> download = BuildGraphicDownload(ctx, bmp, 12).pieces;
    ASSERT_EQ(download.size(), 6);
    EXPECT_EQ(download[0], soh("D"));
    EXPECT_EQ(download[1], stx("IAfF0000012\r"));
    EXPECT_EQ(download[2], bytes({ 10, 0, 2, 0 }));
    EXPECT_EQ(download[3], bytes({ 0xFF, 0xC0 })); // the low 6 bits cleared
    EXPECT_EQ(download[4], bytes({ 0xAA, 0x80 }));
    EXPECT_EQ(download[5], soh("D"));

    const QList<QByteArray> inlined = BuildInlineGraphic(ctx, bmp, 287, 360).pieces;
    ASSERT_EQ(inlined.size(), 4);
    EXPECT_EQ(inlined[0], "A2\r");
    EXPECT_EQ(inlined[1], QByteArray("1Y1100102870360\r") + bytes({ 10, 0, 2, 0 }));
    EXPECT_EQ(inlined[2], bytes({ 0xFF, 0xFF })); // complemented padding travels along
    EXPECT_EQ(inlined[3], bytes({ 0xAA, 0x80 }));

    EXPECT_EQ(BuildGraphicField(ctx, 12, 287, 360).pieces, (QList<QByteArray> { "A2\r", "1Y1100002870360F0000012\r" }));

    // A bitmap whose colour table puts white at index 0 still prints its black dots.
    const QImage inverted = monoBitmap(8, { bytes({ 0x0F }) }, false);
    EXPECT_EQ(BuildGraphicDownload(ctx, inverted, 1).pieces[3], bytes({ 0x0F }));
    // Any other picture is thresholded to 1 bit first.
    QImage grey(9, 1, QImage::Format_RGB32);
    grey.fill(Qt::white);
    grey.setPixel(0, 0, qRgb(0, 0, 0));
    grey.setPixel(8, 0, qRgb(0, 0, 0));
    EXPECT_EQ(BuildGraphicDownload(ctx, grey, 1).pieces[3], bytes({ 0x80, 0x80 }));
}

TEST(QcmlCommands, CommandSetSelector)
{
    const QImage bmp = monoBitmap(8, { bytes({ 0x00 }) });
    TPrinterSetting s;
    TPageRecord page;
    struct Row {
        const char* name;
        std::function<CommandPieces(const CommandContext&)> build;
        bool forId0, forId1;
    };
    const Row rows[] = {
        { "job setup", [&](const CommandContext& c) { return BuildJobSetup(c, s, 0); }, true, true },
        { "label start", [&](const CommandContext& c) { return BuildLabelStart(c, s, page); }, true, false },
        { "text", [](const CommandContext& c) { return BuildTextField(c, "A", 0, 1, 1, 0, 1, 1, 0); }, true, false },
        { "barcode", [](const CommandContext& c) { return BuildBarcodeField(c, 4, "1", 0, 1, 1, 1, 2, 1, 0); }, true,
            false },
        { "label end", [](const CommandContext& c) { return BuildLabelEnd(c, 1, 1); }, true, true },
        { "line", [](const CommandContext& c) { return BuildLineField(c, 1, 1, 1, 1); }, true, true },
        { "box", [](const CommandContext& c) { return BuildBoxField(c, 1, 1, 1, 1, 1); }, true, true },
        { "pdf417", [](const CommandContext& c) { return BuildPdf417Field(c, "1", 0, 1, 1, {}); }, true, true },
        { "download", [&](const CommandContext& c) { return BuildGraphicDownload(c, bmp, 1); }, true, true },
        { "placement", [](const CommandContext& c) { return BuildGraphicField(c, 1, 1, 1); }, true, true },
        { "inline", [&](const CommandContext& c) { return BuildInlineGraphic(c, bmp, 1, 1); }, true, true },
    };
    for (const Row& r : rows) {
        for (int id : { 0, 1, 2, 255 }) {
            CommandContext ctx;
            ctx.PrinterID = std::uint8_t(id);
            const CommandPieces c = r.build(ctx);
            const bool expected = r.name == std::string("job setup") || (id == 0 && r.forId0) || (id == 1 && r.forId1);
            EXPECT_TRUE(c.ok()) << r.name << " " << id;
            EXPECT_EQ(!c.pieces.isEmpty(), expected) << r.name << " with PrinterID " << id;
        }
    }
}

TEST(QcmlCommands, SendersTouchThePortStateAndStopAtARefusedPiece)
{
    CommandContext ctx;
    TPrinterSetting s;
    TPageRecord page;
    PieceRecorder rec;
    ASSERT_TRUE(SendJobSetup(ctx, s, 0, rec));
    EXPECT_EQ(rec.timeouts, QList<int> { 10000 });
    EXPECT_EQ(rec.clears, 1);
    ASSERT_TRUE(SendLabelStart(ctx, s, page, rec));
    EXPECT_EQ(rec.timeouts, (QList<int> { 10000, 90000 }));
    ASSERT_TRUE(SendLabelEnd(ctx, 1, 1, rec));
    EXPECT_EQ(rec.clears, 2);

    // A label end whose second piece is refused: the first stays sent, no accumulation reset.
    PieceRecorder refusing;
    refusing.refuseAt = 1;
    const PortStatus st = SendLabelEnd(ctx, 1, 1, refusing);
    EXPECT_EQ(st.code, PortError::WriteFailed);
    EXPECT_EQ(refusing.pieces, QList<QByteArray> { ":0001\r" });
    EXPECT_EQ(refusing.clears, 0);

    // The barcode's leading empty piece is passed on like any other.
    PieceRecorder first;
    first.refuseAt = 0;
    EXPECT_FALSE(SendBarcodeField(ctx, 4, "1", 0, 1, 1, 1, 2, 1, false, first));
    EXPECT_TRUE(first.pieces.isEmpty());

    // With a command set that sends nothing, success and no side effects.
    PieceRecorder quiet;
    ctx.PrinterID = 1;
    EXPECT_TRUE(SendLabelStart(ctx, s, page, quiet));
    EXPECT_TRUE(quiet.timeouts.isEmpty());
}

// The worked example of a whole label: one format, one label, printer index 1, 203 dpi.
TEST(QcmlCommands, WorkedExampleStream)
{
    CommandContext ctx;
    const TPrinterSetting s = workedExampleSetting();
    TPageRecord page;
    page.PaperWidth = 600;
    page.PaperHeight = 400;
    QImage rect = monoBitmap(16, QList<QByteArray>(3, bytes({ 0x00, 0x00 })));
    QImage image = monoBitmap(16, QList<QByteArray>(16, bytes({ 0xF0, 0x0F })));

    PieceRecorder rec;
    ASSERT_TRUE(SendJobSetup(ctx, s, 0, rec));
    ASSERT_TRUE(SendGraphicsClear(ctx, rec));
    ASSERT_TRUE(SendGraphicDownload(ctx, rect, 2, rec));
    ASSERT_TRUE(SendGraphicDownload(ctx, image, 4, rec));
    ASSERT_TRUE(SendLabelStart(ctx, s, page, rec));
    ASSERT_TRUE(SendTextField(ctx, "ABC", 0, 237, 40, 0, 1, 1, 0, rec));
    ASSERT_TRUE(SendLineField(ctx, 157, 40, 400, 4, rec));
    ASSERT_TRUE(SendBoxField(ctx, 39, 240, 160, 80, 2, rec));
    ASSERT_TRUE(SendBarcodeField(ctx, 4, "123", 0, 108, 40, 80, 3, 1, true, rec));
    ASSERT_TRUE(SendGraphicField(ctx, 4, 287, 360, rec));
    ASSERT_TRUE(SendLabelEnd(ctx, 1, 1, rec));

    QList<QByteArray> expected = { stx("m"), stx("u0"), stx("j2F0A0\r"), stx("JY0000"), stx("e"), stx("f000\r"),
        stx("Kf00\r"), stx("qA"), soh("D"), stx("IAfF0000002\r"), bytes({ 16, 0, 3, 0 }) };
    for (int i = 0; i < 3; ++i)
        expected << bytes({ 0xFF, 0xFF });
    expected << soh("D") << soh("D") << stx("IAfF0000004\r") << bytes({ 0x10, 0x00, 0x10, 0x00 });
    for (int i = 0; i < 16; ++i)
        expected << bytes({ 0x0F, 0xF0 });
    expected << soh("D");
    expected << soh("D") << stx("c0400") << stx("Kw0600\r") << stx("JA\r") << stx("L\r") << "C0000\r"
             << "R0000\r"
             << "N\r"
             << "g00\r"
             << "PF\r"
             << "H18\r";
    expected << "101100002370040ABC\r";
    expected << "A2\r1X1100001570040l04000004\r";
    expected << "A2\r1X1100000390240b0160008000020002\r";
    expected << QByteArray()
             << "1A310800108"
                "0040123\r";
    expected << "A2\r"
             << "1Y1100002870360F0000004\r";
    expected << ":0001\r"
             << "Q0001\r"
             << "E\r";
    ASSERT_EQ(rec.pieces.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(rec.pieces[i].toHex(' ').toStdString(), expected[i].toHex(' ').toStdString()) << "piece " << i;
}
