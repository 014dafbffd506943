#include "JobTestSupport.h"
#include "VirtualTestSupport.h"

#include "barcode/linear/Code128.h"
#include "printing/emission/BarcodeValue.h"
#include "printing/emission/LabelEmitter.h"
#include "printing/job/PrintJob.h"
#include "printing/virtual/VirtualPrinter.h"
#include "variables/VariableModel.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

using T = TBarCodeType;

/// A 100 × 80 mm label at 100 % zoom for a barcode at pixel (20, 20).
std::unique_ptr<LabelDocument> BarcodeDocument()
{
    return NewPrintDocument(GridPage(1000, 800, 1, 1), WorkedExampleSetting());
}

TOABarCode* AddBarcode(LabelDocument& doc, T type, const QByteArray& text, int angle)
{
    auto bar = std::make_unique<TOABarCode>();
    bar->Name = QStringLiteral("BarCode1");
    bar->SetBarCodeType(type);
    bar->SetBarNarrow(2);
    bar->SetBarWide(5);
    bar->SetBarHeight(60);
    if (IsTwoDimensional(type)) {
        bar->SetData(text);
        bar->SetPDFBaseWidth(2);
        bar->SetPDFBaseHeight(6);
        bar->SetQRcodeElement(3);
    } else {
        bar->SetText(text);
    }
    TOABarCode* b = Append(doc, std::move(bar));
    b->setAngle(angle);
    b->SetVirLeft(20);
    b->SetVirTop(20);
    return b;
}

struct Emitted {
    PortStatus status;
    QList<QByteArray> pieces;
    QByteArray stream() const
    {
        QByteArray s;
        for (const QByteArray& p : pieces)
            s += p;
        return s;
    }
};

Emitted Emit(LabelDocument& doc, const EmissionContext& ctx = {}, int x = 0, int y = 0)
{
    PieceRecorder rec;
    Emitted e;
    {
        LabelEmitter emitter(doc, ctx, rec);
        e.status = emitter.EmitLabel(x, y);
    }
    e.pieces = rec.pieces;
    return e;
}

/// The first piece that carries a field of the given kind ("1Y11001" inline graphic, a barcode
/// letter, "z" PDF417), or -1.
int FieldPiece(const QList<QByteArray>& pieces, const QByteArray& marker, int from = 0)
{
    for (int i = from; i < pieces.size(); ++i)
        if (pieces[i].contains(marker))
            return i;
    return -1;
}

/// Row and column of a field piece: the eight digits after its seven-character head
/// (inline graphics, placements) or after rotation, letter, two multipliers and D3 (barcodes).
std::pair<int, int> RowColumn(const QByteArray& piece, int at)
{
    return { piece.mid(at, 4).toInt(), piece.mid(at + 4, 4).toInt() };
}

std::string Decode(const QImage& picture)
{
    return ReadGrayText(picture.convertToFormat(QImage::Format_Grayscale8));
}

/// The picture an inline-graphic field carries, rebuilt from its pieces (1 bits are dots).
QImage InlinePicture(const QList<QByteArray>& pieces, int head)
{
    const QByteArray h = pieces[head];
    const int w = uchar(h[h.size() - 4]) + 256 * uchar(h[h.size() - 3]);
    const int rows = uchar(h[h.size() - 2]) + 256 * uchar(h[h.size() - 1]);
    QImage img(w + 40, rows + 40, QImage::Format_Grayscale8);
    img.fill(255);
    for (int y = 0; y < rows && head + 1 + y < pieces.size(); ++y) {
        const QByteArray row = pieces[head + 1 + y];
        for (int x = 0; x < w; ++x)
            if (uchar(row[x / 8]) & (0x80 >> (x % 8)))
                img.setPixel(x + 20, y + 20, qRgb(0, 0, 0));
    }
    return img;
}

} // namespace

// Every route a barcode can take to the printer, in the four angles: the streams are golden, the
// command of each route is checked, and the symbols sent as pictures decode.
TEST(EmissionBarcode, RoutesInFourAngles)
{
    struct Route {
        const char* golden;
        T type;
        QByteArray text;
        QByteArray marker; ///< what identifies the route's field in its piece
        bool picture; ///< the symbol travels as an inline graphic
    };
    const Route routes[] = {
        { "barcode_code39_printer", T::bcCode39, "KORVEL-39", "a52", false },
        { "barcode_code128_escape", T::bcCode128, "Ab12345678", "e52", false },
        { "barcode_ean13_graphic", T::bcCodeEAN13, "590123412345", "1Y11001", true },
        { "barcode_pdf417_command", T::bcCodePDF417, "PDF417 from korvel", "z26000", false },
        { "barcode_qr_graphic", T::bcCodeQR, "https://korvel.example/qr", "1Y11001", true },
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.golden);
        QByteArray all;
        for (const int angle : { 0, 90, 180, 270 }) {
            SCOPED_TRACE(angle);
            auto doc = BarcodeDocument();
            TOABarCode* b = AddBarcode(*doc, route.type, route.text, angle);
            ASSERT_EQ(b->DataCheck(), 1);
            const Emitted e = Emit(*doc);
            ASSERT_TRUE(e.status) << e.status.text().toStdString();
            const int at = FieldPiece(e.pieces, route.marker);
            ASSERT_GE(at, 0) << e.stream().toStdString();
            const QByteArray rotation = QByteArray::number(angle / 90 + 1);
            if (route.picture) {
                EXPECT_EQ(e.pieces[at].left(7), "1Y11001");
                if (angle == 0) {
                    const std::string decoded = Decode(InlinePicture(e.pieces, at));
                    EXPECT_EQ(decoded,
                        route.type == T::bcCodeEAN13 ? std::string("5901234123457") : route.text.toStdString());
                }
            } else {
                EXPECT_TRUE(e.pieces[at].startsWith(rotation)) << e.pieces[at].toStdString();
            }
            if (route.type == T::bcCode128) {
                EXPECT_TRUE(e.pieces[at].endsWith(Code128AutoEscape(route.text, false) + "\r"))
                    << e.pieces[at].toStdString();
            }
            if (route.type == T::bcCode39) {
                // The text the printer does not draw follows as a picture.
                EXPECT_GE(FieldPiece(e.pieces, "1Y11001", at + 1), 0);
                EXPECT_TRUE(e.pieces[at].endsWith("KORVEL-39\r"));
            }
            if (route.type == T::bcCodePDF417) {
                EXPECT_TRUE(e.pieces[at].endsWith("PDF417 from korvel\r"));
            }
            all += e.stream();
        }
        ExpectMatchesStreamGolden(all, QString::fromLatin1(route.golden));
    }
}

// The rows and columns of the angle tables for a printer-drawn barcode with its text below as a
// picture (type 4, not in the group whose text is part of the image).
TEST(EmissionBarcode, PositionsOfBarsAndText)
{
    for (const int angle : { 0, 90, 180, 270 }) {
        SCOPED_TRACE(angle);
        auto doc = BarcodeDocument();
        TOABarCode* b = AddBarcode(*doc, T::bcCode39, "12", angle);
        const Emitted e = Emit(*doc, {}, 3, 2);
        ASSERT_TRUE(e.status);
        const int bars = FieldPiece(e.pieces, "a52");
        ASSERT_GE(bars, 0);
        const int text = FieldPiece(e.pieces, "1Y11001", bars);
        ASSERT_GE(text, 0);

        const auto copy = b->printerCopy();
        const QImage textImage = copy->GetTextBitmap();
        const int BW = copy->BarWidth();
        const int BH = copy->BarHeight();
        const int Wt = textImage.width();
        const int Ht = textImage.height();
        const DotScale s = DotScale::of(*doc);
        const int hpx = doc->pixels().paperHeight;
        const QRect r = RectAt100(*b, s);
        const int L = r.left(), Tp = r.top(), W = r.width(), H = r.height();
        ASSERT_GT(BW, Wt); // bars wider than the text: no shift
        const int d = BW - Wt, half = d / 2;
        int row = 0, col = 0, trow = 0, tcol = 0;
        switch (angle) {
        case 0:
            row = s.dotsPx(hpx - Tp - H) - 2 + Ht;
            col = s.dotsPx(L) + 3;
            trow = s.dotsPx(hpx - Tp - H) - 2;
            tcol = s.dotsPx(L) + 3 + half;
            break;
        case 90:
            row = s.dotsPx(hpx - Tp) - 2;
            col = s.dotsPx(L) + 3 + Ht + 1;
            trow = s.dotsPx(hpx - Tp) - BW + half - 2;
            tcol = s.dotsPx(L) + 3;
            break;
        case 180:
            row = s.dotsPx(hpx - Tp - H) + BH - 2;
            col = s.dotsPx(L) + BW + 3;
            trow = s.dotsPx(hpx - Tp) - Ht - 2;
            tcol = s.dotsPx(L) + 3 + half;
            break;
        default:
            row = s.dotsPx(hpx - Tp) - BW - 2;
            col = s.dotsPx(L) + BH + 3;
            trow = s.dotsPx(hpx - Tp) - BW + half - 2;
            tcol = s.dotsPx(L) + BH + 3;
            break;
        }
        (void)W;
        // Barcode piece: rotation, letter, two multipliers, D3 height, then row and column.
        EXPECT_EQ(RowColumn(e.pieces[bars], 7), std::make_pair(row, col)) << e.pieces[bars].toStdString();
        EXPECT_EQ(RowColumn(e.pieces[text], 7), std::make_pair(trow, tcol));
    }
}

TEST(EmissionBarcode, ValueNormalisation)
{
    struct Row {
        T type;
        QByteArray value;
        QByteArray printed;
    };
    const Row rows[] = {
        { T::bcCodeEAN13, "12345", "123450000000" },
        { T::bcCodeEAN13, "ABC", "000000000000" },
        { T::bcCodeEAN13, "12345678901234", "123456789012" },
        { T::bcCodeEAN8, "  ", "0000000" }, // blank: one space, padded, then a digit
        { T::bcCodeUPCA,
            "1\xb0"
            "2",
            "10200000000" }, // a byte from 0x80 up becomes "0"
        { T::bcCodeUPCE, "9876543", "987654" },
        { T::bcCodeUccEan, "1", "1000000000000000000" },
        { T::bcCodeUPC2, "7", "70" },
        { T::bcCodeUPC5, "123456", "12345" },
        { T::bcCodePost25, "abc", "00000000000" },
        { T::bcCodeUCCEAN128DZJG, "8", "2180000000000000000000" },
        { T::bcCodeCYM, "12345678901234567", "1234567890123" },
        { T::bcCodeCYM, "12a", "120" },
        { T::bcCodePostnet, "123", "12300" },
        { T::bcCodePostnet, "12345", "12345" },
        { T::bcCodePostnet, "1234567", "12345" },
        { T::bcCodePostnet, "123456789", "123456789" },
        { T::bcCodePostnet, "12345678901", "12345678901" },
        { T::bcCodeInter25, "12-34", "12034" },
        { T::bcCode39, "ab-C $%+./*", "00-C $%+./0" },
        { T::bcCodeHBIC, "A*", "A0" },
        { T::bcCodeCodabar, "a1E$D",
            "01"
            "0$D" },
        { T::bcCode93, "A*b", "A*0" },
        { T::bcCode39Ex, "a*b", "a*b" },
        { T::bcCode128, "x&y", "x&y" },
        { T::bcCode128, "", " " },
    };
    for (const Row& r : rows)
        EXPECT_EQ(NormaliseBarcodeValue(r.type, r.value), r.printed)
            << int(r.type) << " '" << r.value.toStdString() << "'";
}

// An EAN-13 bound to a variable whose value is 12345 prints 123450000000 and keeps it.
TEST(EmissionBarcode, BoundEan13KeepsThePrintedValue)
{
    auto doc = BarcodeDocument();
    doc->variables.database.push_back(NewEntry(VariableKind::Database, "CODE"));
    TOABarCode* b = AddBarcode(*doc, T::bcCodeEAN13, "590123412345", 0);
    b->VarName = "CODE";
    b->VarType = int(VariableKind::Database);
    MemoryRecords rec({ "CODE" }, { { "12345" } });
    EmissionContext ctx;
    ctx.evaluation.fields = &rec;
    ctx.dataSetEmpty = false;
    const Emitted e = Emit(*doc, ctx);
    ASSERT_TRUE(e.status) << e.status.text().toStdString();
    EXPECT_EQ(b->Text(), QByteArray("123450000000"));
    const int at = FieldPiece(e.pieces, "1Y11001");
    ASSERT_GE(at, 0);
    EXPECT_EQ(Decode(InlinePicture(e.pieces, at)), "1234500000003");
}

// A barcode whose copy refuses its data fails the label, and with it the job.
TEST(EmissionBarcode, InvalidDataFailsTheJob)
{
    auto doc = BarcodeDocument();
    AddBarcode(*doc, T::bcCodeEAN13, "590123412345", 0);
    static_cast<TOABarCode&>(*doc->object(0)).SetText("12"); // rejected: the object keeps its image
    ASSERT_EQ(static_cast<TOABarCode&>(*doc->object(0)).DataCheck(), 0);
    const Emitted e = Emit(*doc);
    EXPECT_FALSE(e.status);
    EXPECT_EQ(e.status.code, PortError::InvalidInput);

    RecordingPort port;
    JobTargets targets;
    targets.printer = &port;
    PrintJob job(*doc, nullptr, targets, PrintJobOptions {});
    const JobResult r = job.PrintLabels(1, 1, 1);
    EXPECT_EQ(r.outcome, JobOutcome::PrintError);
    EXPECT_EQ(r.labelsSent, 0);
    EXPECT_EQ(port.closes, 1);
}

// The whole job of every route, printed on the virtual printer, reads back as the symbol's data.
TEST(EmissionBarcode, JobsDecodeOnTheVirtualPrinter)
{
    struct Route {
        T type;
        QByteArray text;
        std::string expected;
    };
    const Route routes[] = {
        { T::bcCode39, "KORVEL-39", "KORVEL-39" },
        { T::bcCode128, "Ab12345678", "Ab12345678" },
        { T::bcCodeEAN13, "590123412345", "5901234123457" },
        { T::bcCodePDF417, "PDF417 from korvel", "PDF417 from korvel" },
        { T::bcCodeQR, "https://korvel.example/qr", "https://korvel.example/qr" },
    };
    for (const Route& route : routes) {
        for (const int angle : { 0, 90, 180, 270 }) {
            SCOPED_TRACE(testing::Message() << int(route.type) << " at " << angle);
            auto doc = BarcodeDocument();
            AddBarcode(*doc, route.type, route.text, angle);
            RecordingPort port;
            JobTargets targets;
            targets.printer = &port;
            PrintJob job(*doc, nullptr, targets, PrintJobOptions {});
            ASSERT_TRUE(job.PrintLabels(1, 1, 1).ok());
            const VirtualPrintout out = PrintVirtually(port.stream());
            ASSERT_EQ(out.formats.size(), 1);
            for (const VirtualPrinterWarning& w : out.warnings)
                ADD_FAILURE() << w.message.toStdString();
            QImage page = out.formats[0].image;
            ASSERT_FALSE(page.isNull());
            QImage gray(page.size(), QImage::Format_Grayscale8);
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    gray.setPixel(x, y, VirtualDot(page, x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            EXPECT_EQ(Decode(gray), route.expected);
        }
    }
}
