#include "printing/commands/QcmlCommands.h"

#include "printing/commands/QcmlFields.h"

#include <QColor>

namespace korvel {

using namespace qcml;

namespace {

bool fullSet(const CommandContext& ctx)
{
    return ctx.PrinterID == 0;
}

bool graphicSet(const CommandContext& ctx)
{
    return ctx.PrinterID == 0 || ctx.PrinterID == 1;
}

CommandPieces invalid(const QString& detail)
{
    CommandPieces c;
    c.status = PortStatus::failure(PortError::InvalidInput, detail);
    return c;
}

CommandPieces of(QList<QByteArray> pieces)
{
    CommandPieces c;
    c.pieces = std::move(pieces);
    return c;
}

QByteArray line(QByteArray text)
{
    return text + CR;
}

QByteArray stxLine(const QByteArray& text)
{
    return QByteArray(1, STX) + text + CR;
}

/// Rows of a 1-bit bitmap ready for the printer: a 1 bit is a printed dot, leftmost dot in
/// bit 7. The bits past the width come from the bitmap's own row memory, complemented like
/// the rest; callers that must not send them clear them.
struct PrinterRows {
    int width = 0;
    int height = 0;
    QList<QByteArray> rows;
    QString error;
};

PrinterRows printerRows(const QImage& source)
{
    PrinterRows out;
    if (source.isNull()) {
        out.error = QStringLiteral("empty bitmap");
        return out;
    }
    if (source.width() > 0xFFFF || source.height() > 0xFFFF) {
        out.error = QStringLiteral("bitmap of %1 x %2 dots exceeds 65535").arg(source.width()).arg(source.height());
        return out;
    }
    QImage mono = source;
    if (mono.format() != QImage::Format_Mono)
        mono = source.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither | Qt::AvoidDither);
    // The bitmap's own convention is index 0 = black; a bitmap whose colour table says
    // otherwise is read through its table so that black always prints.
    bool zeroIsBlack = true;
    const QList<QRgb> table = mono.colorTable();
    if (table.size() >= 2)
        zeroIsBlack = qGray(table[0]) <= qGray(table[1]);
    out.width = mono.width();
    out.height = mono.height();
    const int bytesPerRow = (out.width + 7) / 8;
    out.rows.reserve(out.height);
    for (int y = 0; y < out.height; ++y) {
        const uchar* src = mono.constScanLine(y);
        QByteArray row(bytesPerRow, '\0');
        for (int i = 0; i < bytesPerRow; ++i) {
            const uchar own = zeroIsBlack ? src[i] : uchar(~src[i]);
            row[i] = char(~own);
        }
        out.rows.append(row);
    }
    return out;
}

QByteArray sizeBytes(int width, int height)
{
    QByteArray b(4, '\0');
    b[0] = char(width % 256);
    b[1] = char(width / 256);
    b[2] = char(height % 256);
    b[3] = char(height / 256);
    return b;
}

QString badMultiplier(const char* what, int value)
{
    return QStringLiteral("%1 multiplier %2 outside 1-24").arg(QLatin1String(what)).arg(value);
}

} // namespace

QByteArray CommandPieces::stream() const
{
    QByteArray out;
    for (const QByteArray& p : pieces)
        out += p;
    return out;
}

CommandPieces BuildJobSetup(const CommandContext& ctx, const TPrinterSetting& s, std::int32_t positionAdjustment)
{
    QList<QByteArray> p;
    p << QByteArray(1, STX) + "m";
    p << QByteArray(1, STX) + (s.PrintDirection != 0 ? "u1" : "u0");
    p << stxLine("j2F0" + H2(MediaFlags(s)));
    if (ctx.PrinterIndex == 1) {
        const std::int64_t a = positionAdjustment;
        p << QByteArray(1, STX) + (a >= 0 ? "JY" + D(a, 4) : "JY-" + D(-a, 4));
    }
    p << QByteArray(1, STX) + (s.PageType == 0 || s.PageType == 1 ? "r" : "e");

    const int feed = s.FeedType;
    if (feed == 0 || feed == 1 || feed == 2 || feed == 4 || feed == 5) {
        int stop = -1; // the first model condition that holds gives the stop value
        if (ctx.PrinterIndex == 1)
            stop = 280;
        else if (ctx.modelButtonDown(3))
            stop = 140;
        else if (ctx.modelButtonDown(4))
            stop = 120;
        else if (ctx.modelButtonDown(5))
            stop = 100;
        else if (ctx.modelButtonDown(6) || ctx.modelButtonDown(7) || ctx.modelButtonDown(8))
            stop = 64;
        if (stop >= 0) {
            p << stxLine(feed == 4 || feed == 5 ? "f" + D(stop, 3) : QByteArray("f000"));
            const std::int64_t d = s.OutDistance;
            p << stxLine(d >= 0 ? "Kf" + D(d, 2) : "Kf-" + D(-d, 2));
        }
    }
    if (ctx.modelButtonDown(3) || ctx.modelButtonDown(4)) {
        if (s.LED == 0)
            p << QByteArray(1, STX) + "A0";
        else if (s.LED == 1)
            p << QByteArray(1, STX) + "A1";
    }
    return of(p);
}

CommandPieces BuildGraphicsClear(const CommandContext&)
{
    return of({ QByteArray(1, STX) + "qA" });
}

CommandPieces BuildGraphicDownload(const CommandContext& ctx, const QImage& bitmap, int graphicNumber)
{
    if (!graphicSet(ctx))
        return {};
    PrinterRows rows = printerRows(bitmap);
    if (!rows.error.isEmpty())
        return invalid(rows.error);
    // A stored graphic must not carry dots past its width: clear the padding bits.
    const int r = rows.width % 8;
    const uchar keep = r == 0 ? 0xFF : uchar(0xFF << (8 - r));
    QList<QByteArray> p;
    p << QByteArray(1, SOH) + "D";
    p << stxLine("IAfF" + D(graphicNumber, 7));
    p << sizeBytes(rows.width, rows.height);
    for (QByteArray& row : rows.rows) {
        if (!row.isEmpty())
            row[row.size() - 1] = char(uchar(row[row.size() - 1]) & keep);
        p << row;
    }
    p << QByteArray(1, SOH) + "D";
    return of(p);
}

CommandPieces BuildLabelStart(const CommandContext& ctx, const TPrinterSetting& s, const TPageRecord& page)
{
    if (!fullSet(ctx))
        return {};
    QList<QByteArray> p;
    p << QByteArray(1, SOH) + "D";
    p << QByteArray(1, STX) + "c" + D(page.PaperHeight, 4);
    // The printer's widest label is 108.0 mm, narrower than the page dialog allows.
    p << stxLine(page.PaperWidth <= 1080 ? "Kw" + D(page.PaperWidth, 4) : QByteArray("Kw1080"));
    if (ctx.PrinterIndex == 1)
        p << stxLine("JA");
    p << stxLine("L");
    p << line("C" + D(page.PaperLeftMargin, 4));
    p << line("R" + D(page.PaperTopMargin, 4));
    p << line("N");
    p << line("g00");
    p << line("P" + QByteArray(1, char(s.PrintSpeed)));
    p << line("H" + D(s.PrintThickness, 2));
    return of(p);
}

CommandPieces BuildLabelEnd(const CommandContext& ctx, int quantity, int cutCount)
{
    if (!graphicSet(ctx))
        return {};
    return of({ line(":" + D(cutCount, 4)), line("Q" + D(quantity, 4)), line("E") });
}

CommandPieces BuildTextField(const CommandContext& ctx, const QByteArray& text, int angle, int row, int column,
    std::uint8_t fontNumber, int zoomX, int zoomY, int invert)
{
    if (!fullSet(ctx))
        return {};
    QByteArray font;
    const int f = fontNumber;
    if (f <= 22) {
        const auto x = M(zoomX);
        const auto y = M(zoomY);
        if (!x)
            return invalid(badMultiplier("width", zoomX));
        if (!y)
            return invalid(badMultiplier("height", zoomY));
        static const char* const scalable[] = { "P06", "P08", "P10", "P12", "P14", "P18" };
        if (f <= 8)
            font = QByteArray::number(f) + *x + *y + "000";
        else if (f <= 14)
            font = QByteArray("9") + *x + *y + scalable[f - 9];
        else
            font = QByteArray("9") + *x + *y + D(f - 15, 3);
    }
    QByteArray piece = R(angle) + font + D(row, 4) + D(column, 4) + text + CR;
    if (invert == 1)
        piece += QByteArray("A1") + CR;
    return of({ piece });
}

CommandPieces BuildLineField(const CommandContext& ctx, int row, int column, int width, int height)
{
    if (!graphicSet(ctx))
        return {};
    if (width == 0)
        width = 1;
    if (height == 0)
        height = 1;
    return of({ DrawingModePrefix(ctx.DrawingMode) + "1X11000" + D(row, 4) + D(column, 4) + "l" + D(width, 4)
        + D(height, 4) + CR });
}

CommandPieces BuildBoxField(const CommandContext& ctx, int row, int column, int width, int height, int thickness)
{
    if (!graphicSet(ctx))
        return {};
    // An inverse area is a box so thick that it fills, always drawn in XOR.
    const QByteArray prefix = thickness == 9998 ? QByteArray("A1") + CR : DrawingModePrefix(ctx.DrawingMode);
    return of({ prefix + "1X11000" + D(row, 4) + D(column, 4) + "b" + D(width, 4) + D(height, 4) + D(thickness, 4)
        + D(thickness, 4) + CR });
}

CommandPieces BuildBarcodeField(const CommandContext& ctx, int barCodeType, const QByteArray& data, int angle, int row,
    int column, int barHeight, int wide, int narrow, bool humanReadable)
{
    if (!fullSet(ctx))
        return {};
    const auto w = M(wide);
    const auto n = M(narrow);
    if (!w)
        return invalid(badMultiplier("wide element", wide));
    if (!n)
        return invalid(badMultiplier("narrow element", narrow));
    return of({ QByteArray(),
        R(angle) + BarcodeLetter(barCodeType, humanReadable) + *w + *n + D(barHeight, 3) + D(row, 4) + D(column, 4)
            + data + CR });
}

CommandPieces BuildPdf417Field(
    const CommandContext& ctx, const QByteArray& data, int angle, int row, int column, const Pdf417Params& pdf)
{
    if (!graphicSet(ctx))
        return {};
    const auto bw = M(pdf.PDFBaseWidth);
    const auto bh = M(pdf.PDFBaseHeight);
    if (!bw)
        return invalid(badMultiplier("module width", pdf.PDFBaseWidth));
    if (!bh)
        return invalid(badMultiplier("module height", pdf.PDFBaseHeight));
    const QByteArray size = pdf.PDF417RowCol ? "00" + D(pdf.PDF417Rols, 2) + D(pdf.PDF417Cels, 2)
                                             : D(pdf.PDF417HeightScale, 1) + D(pdf.PDF417WidthScale, 1) + "0000";
    return of({ DrawingModePrefix(ctx.DrawingMode),
        R(angle) + "z" + *bw + *bh + "000" + D(row, 4) + D(column, 4) + (pdf.PDF417Trunct ? "T" : "F")
            + D(pdf.PDF417ECClevel, 1) + size + data + CR });
}

CommandPieces BuildGraphicField(const CommandContext& ctx, int graphicNumber, int row, int column)
{
    if (!graphicSet(ctx))
        return {};
    return of(
        { DrawingModePrefix(ctx.DrawingMode), "1Y11000" + D(row, 4) + D(column, 4) + "F" + D(graphicNumber, 7) + CR });
}

CommandPieces BuildInlineGraphic(const CommandContext& ctx, const QImage& bitmap, int row, int column)
{
    if (!graphicSet(ctx))
        return {};
    PrinterRows rows = printerRows(bitmap);
    if (!rows.error.isEmpty())
        return invalid(rows.error);
    QList<QByteArray> p;
    p << DrawingModePrefix(ctx.DrawingMode);
    p << "1Y11001" + D(row, 4) + D(column, 4) + CR + sizeBytes(rows.width, rows.height);
    p << rows.rows;
    return of(p);
}

CommandPieces BuildFeedModeCommand(FeedModeCommand command)
{
    return of({ stxLine("j23" + D(int(command), 3)) });
}

PortStatus SendPieces(const CommandPieces& command, PieceSink& sink)
{
    if (!command.ok())
        return command.status;
    for (const QByteArray& piece : command.pieces) {
        PortStatus s = sink.SendPiece(piece);
        if (!s)
            return s;
    }
    return PortStatus::success();
}

PortStatus SendJobSetup(
    const CommandContext& ctx, const TPrinterSetting& setting, std::int32_t positionAdjustment, PieceSink& sink)
{
    sink.SetSerialWriteTimeout(kJobSetupWriteTimeout);
    sink.ClearAccumulation();
    return SendPieces(BuildJobSetup(ctx, setting, positionAdjustment), sink);
}

PortStatus SendGraphicsClear(const CommandContext& ctx, PieceSink& sink)
{
    return SendPieces(BuildGraphicsClear(ctx), sink);
}

PortStatus SendGraphicDownload(const CommandContext& ctx, const QImage& bitmap, int graphicNumber, PieceSink& sink)
{
    const CommandPieces c = BuildGraphicDownload(ctx, bitmap, graphicNumber);
    if (c.ok() && !c.pieces.isEmpty())
        sink.SetSerialWriteTimeout(kLabelFormatWriteTimeout);
    return SendPieces(c, sink);
}

PortStatus SendLabelStart(
    const CommandContext& ctx, const TPrinterSetting& setting, const TPageRecord& page, PieceSink& sink)
{
    const CommandPieces c = BuildLabelStart(ctx, setting, page);
    if (!c.pieces.isEmpty())
        sink.SetSerialWriteTimeout(kLabelFormatWriteTimeout);
    return SendPieces(c, sink);
}

PortStatus SendLabelEnd(const CommandContext& ctx, int quantity, int cutCount, PieceSink& sink)
{
    const CommandPieces c = BuildLabelEnd(ctx, quantity, cutCount);
    PortStatus s = SendPieces(c, sink);
    if (s && !c.pieces.isEmpty())
        sink.ClearAccumulation();
    return s;
}

PortStatus SendTextField(const CommandContext& ctx, const QByteArray& text, int angle, int row, int column,
    std::uint8_t fontNumber, int zoomX, int zoomY, int invert, PieceSink& sink)
{
    return SendPieces(BuildTextField(ctx, text, angle, row, column, fontNumber, zoomX, zoomY, invert), sink);
}

PortStatus SendLineField(const CommandContext& ctx, int row, int column, int width, int height, PieceSink& sink)
{
    return SendPieces(BuildLineField(ctx, row, column, width, height), sink);
}

PortStatus SendBoxField(
    const CommandContext& ctx, int row, int column, int width, int height, int thickness, PieceSink& sink)
{
    return SendPieces(BuildBoxField(ctx, row, column, width, height, thickness), sink);
}

PortStatus SendBarcodeField(const CommandContext& ctx, int barCodeType, const QByteArray& data, int angle, int row,
    int column, int barHeight, int wide, int narrow, bool humanReadable, PieceSink& sink)
{
    return SendPieces(
        BuildBarcodeField(ctx, barCodeType, data, angle, row, column, barHeight, wide, narrow, humanReadable), sink);
}

PortStatus SendPdf417Field(const CommandContext& ctx, const QByteArray& data, int angle, int row, int column,
    const Pdf417Params& pdf, PieceSink& sink)
{
    return SendPieces(BuildPdf417Field(ctx, data, angle, row, column, pdf), sink);
}

PortStatus SendGraphicField(const CommandContext& ctx, int graphicNumber, int row, int column, PieceSink& sink)
{
    return SendPieces(BuildGraphicField(ctx, graphicNumber, row, column), sink);
}

PortStatus SendInlineGraphic(const CommandContext& ctx, const QImage& bitmap, int row, int column, PieceSink& sink)
{
    return SendPieces(BuildInlineGraphic(ctx, bitmap, row, column), sink);
}

PortStatus SendFeedModeCommand(FeedModeCommand command, PieceSink& sink)
{
    return SendPieces(BuildFeedModeCommand(command), sink);
}

PortStatus CheckPageLength(const TPageRecord& page)
{
    if (PageLengthPrintable(page))
        return PortStatus::success();
    return PortStatus::failure(PortError::InvalidInput,
        QStringLiteral("the page is %1 mm long; the printer takes pages up to %2 mm")
            .arg(page.PaperHeight / 10.0, 0, 'f', 1)
            .arg(kMaxPageHeightTenths / 10.0, 0, 'f', 1));
}

} // namespace korvel
