// The human-readable line of a barcode: the string shown, its fonts, the EAN/UPC digit places and
// how it is joined to the bars.

#include "BarcodeObjectTestSupport.h"

#include "barcode/BarcodeText.h"
#include "barcode/OABarCode.h"
#include "barcode/linear/LinearEncoder.h"
#include "document/CodePage.h"
#include "document/PrinterFontFile.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

using namespace korvel;
using namespace korvel::test;

namespace {

std::unique_ptr<TOABarCode> object(
    TBarCodeType type, const QByteArray& text, const std::function<void(TOABarCode&)>& setup = {})
{
    auto o = std::make_unique<TOABarCode>();
    o->SetIsRefresh(0);
    o->SetBarCodeType(type);
    o->SetText(text);
    if (setup)
        setup(*o);
    o->SetIsRefresh(1);
    o->RebuildImage();
    return o;
}

/// True when every set bit of the glyph is ink in `img` at its place for (x, baseline).
bool glyphDrawnAt(const QImage& img, const PrinterGlyph& g, int x, int baseline)
{
    for (int r = 0; r < g.rows; ++r)
        for (int j = 0; j < g.width; ++j)
            if (g.pixel(j, r) && !isInk(img, x + j, baseline + r - g.ascent))
                return false;
    return true;
}

} // namespace

TEST(BarcodeText, GroupsCharacters)
{
    struct Row {
        QByteArray text;
        int size;
        QByteArray separator;
        QByteArray shown;
    };
    const Row rows[] = {
        { "1234567", 3, "-", "123-456-7" },
        { "123456", 3, "-", "123-456" }, // no separator after the last whole group
        { "1234567", 7, "-", "1234567" },
        { "1234567", 0, "-", "1234567" },
        { "1234567", -2, "-", "1234567" },
        { "12345", 2, " / ", "12 / 34 / 5" },
        { "", 3, "-", "" },
        // A two-byte character counts once.
        { "\xd6\xd0\xce\xc4"
          "AB",
            2, "-", "\xd6\xd0\xce\xc4-AB" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(GroupBarcodeText(r.text, r.size, r.separator), r.shown) << r.text.constData() << " by " << r.size;
}

TEST(BarcodeText, DisplayTextByType)
{
    struct Row {
        const char* name;
        TBarCodeType type;
        QByteArray text;
        int startSign;
        int endSign;
        int howmany;
        QByteArray separator;
        QByteArray shown;
    };
    const Row rows[] = {
        { "grouped", TBarCodeType::bcCode39, "1234567", 0, -1, 3, "-", "123-456-7" },
        { "codabar grouped", TBarCodeType::bcCodeCodabar, "1234", 0, 1, 2, "-", "A12-34B" },
        { "codabar plain", TBarCodeType::bcCodeCodabar, "1234", 0, 1, 0, "-", "1234" },
        { "code128 escapes", TBarCodeType::bcCode128, "AB&&C&D12", 2, -1, 0, "", "AB&C12" },
        { "code128 escapes grouped", TBarCodeType::bcCode128, "AB&&C&D12", 2, -1, 3, ".", "AB&.C12" },
        { "code128 automatic", TBarCodeType::bcCode128, "AB&&C", 0, -1, 0, "", "AB&&C" },
        { "supervision code", TBarCodeType::bcCodeUCCEAN128DZJG, "2112345678901234567890", 0, -1, 3, "-",
            "12345 67890 12345 67890" },
        { "supervision code short", TBarCodeType::bcCodeUCCEAN128DZJG, "21123456", 0, -1, 0, "", "12345 6" },
        { "supervision code exact group", TBarCodeType::bcCodeUCCEAN128DZJG, "2112345", 0, -1, 0, "", "12345" },
    };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetBarCodeType(r.type);
        o.SetText(r.text);
        o.SetStartSign(r.startSign);
        o.SetEndSign(r.endSign);
        o.SetHowmany(r.howmany);
        o.SetFenGeFu(r.separator);
        EXPECT_EQ(o.DisplayText(), r.shown) << r.name;
        o.SetShowSum(false);
        EXPECT_EQ(BarcodeShownText(o), r.shown) << r.name;
    }
}

TEST(BarcodeText, DisplayTextWithCheckByType)
{
    struct Row {
        const char* name;
        TBarCodeType type;
        QByteArray text;
        int startSign;
        QByteArray shown;
    };
    const Row rows[] = {
        { "itf, even without the check in the bars", TBarCodeType::bcCodeInter25, "1234", 0, "12348" },
        { "dispatch", TBarCodeType::bcCodeCYM, "1234", 0, "12348" },
        { "matrix", TBarCodeType::bcCodeEurMatrix, "123", 0,
            "123" + LinearCheckText(TBarCodeType::bcCodeEurMatrix, "123") },
        { "code39", TBarCodeType::bcCode39, "CODE39", 0, "CODE39W" },
        { "hibc", TBarCodeType::bcCodeHBIC, "CODE39", 0, "CODE39W" },
        { "full ascii keeps its text", TBarCodeType::bcCode39Ex, "a/", 0, "a/" },
        { "code93", TBarCodeType::bcCode93, "TEST93", 0, "TEST93" + LinearCheckText(TBarCodeType::bcCode93, "TEST93") },
        { "ean13", TBarCodeType::bcCodeEAN13, "590123412345", 0, "5901234123457" },
        { "ean8", TBarCodeType::bcCodeEAN8, "9638507", 0, "96385074" },
        { "upca", TBarCodeType::bcCodeUPCA, "03600029145", 0, "036000291452" },
        { "upce", TBarCodeType::bcCodeUPCE, "123456", 0, "1234565" },
        { "ucc/ean", TBarCodeType::bcCodeUccEan, "0012345678901234567", 0, "00123456789012345675" },
        { "upc 2", TBarCodeType::bcCodeUPC2, "01", 0, "01" },
        { "upc 5", TBarCodeType::bcCodeUPC5, "01234", 0, "01234" },
        { "postnet", TBarCodeType::bcCodePostnet, "12345", 0, "12345" },
        { "code128 automatic", TBarCodeType::bcCode128, "ABC", 0, "ABC" },
        // Start B: 104 + 33 + 2 × 34 + 3 × 35 = 310, 310 mod 103 = 1, written as "!".
        { "code128 B", TBarCodeType::bcCode128, "ABC", 2, "ABC!" },
        // Start C: 105 + 12 + 2 × 34 + 3 × 56 = 353, 353 mod 103 = 44.
        { "code128 C", TBarCodeType::bcCode128, "123456", 3, "12345644" },
        { "code128 escapes", TBarCodeType::bcCode128, "A&&B", 2, "A&B" + Code128CheckText("BA&&B") },
    };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetBarCodeType(r.type);
        o.SetText(r.text);
        o.SetStartSign(r.startSign);
        o.SetHowmany(2);
        o.SetFenGeFu("-");
        EXPECT_EQ(o.DisplayTextWithCheck(), r.shown) << r.name;
        o.SetShowSum(true);
        EXPECT_EQ(BarcodeShownText(o), r.shown) << r.name;
    }
}

TEST(BarcodeText, Code128CheckValuesAreWrittenReadably)
{
    EXPECT_EQ(Code128CheckText("C1234"), Code128CheckText("C1234").rightJustified(2, '0'));
    EXPECT_EQ(Code128CheckText("C00").size(), 2);
    EXPECT_EQ(Code128CheckText("C00"), "02"); // 105 + 0 = 105, mod 103 = 2
    EXPECT_EQ(Code128CheckText("A\x60"), "64"); // 103 + 64 = 167, mod 103 = 64: a control in A, written as a number
    EXPECT_EQ(Code128CheckText("A!"), "!"); // 103 + 1 = 104, mod 103 = 1: the character of value 1
    EXPECT_EQ(Code128CheckText("B~"), "95"); // 104 + 94 = 198, mod 103 = 95: DEL has no face
    EXPECT_EQ(Code128CheckText("B}"), "~"); // 104 + 93 = 197, mod 103 = 94
    EXPECT_TRUE(Code128CheckText("C1").isEmpty()) << "an odd digit in subset C does not parse";
}

TEST(BarcodeText, GapFollowsTheMode)
{
    struct Row {
        int dpi;
        double zoom;
        double mm;
        int printer;
        int screen;
    };
    const Row rows[] = {
        { 203, 1.0, 1.0, 8, 4 }, // 7.99 dots, 3.78 pixels
        { 300, 2.0, 1.0, 12, 8 }, // 11.81 dots, 7.56 pixels
        { 203, 1.0, -0.5, -4, -2 },
        { 203, 1.0, 0.0, 0, 0 },
    };
    for (const Row& r : rows) {
        TOABarCode o;
        o.SetIsRefresh(0);
        o.SetPrnDPI(r.dpi);
        o.setZoom(r.zoom);
        o.SetLabelDistance(r.mm);
        EXPECT_EQ(BarcodeTextGap(o, true), r.printer) << r.mm;
        EXPECT_EQ(BarcodeTextGap(o, false), r.screen) << r.mm;
    }
}

TEST(BarcodeText, EanDigitsBesideTheGuardsLeaveNoTextHeight)
{
    // A tiny font: the digits fit into the 1.65 mm the guard bars reach below the others.
    auto small = object(TBarCodeType::bcCodeEAN13, "590123412345", [](TOABarCode& o) {
        TBarcodeFont f = o.TextFont();
        f.Size = 1;
        o.SetTextFont(f);
    });
    const auto printedSmall = small->printerCopy();
    EXPECT_EQ(printedSmall->ShowTextHeight(), 0);
    EXPECT_EQ(printedSmall->DstBitmap().height(), 80 + GuardExtensionDots(203, 1.0));
    EXPECT_EQ(small->ShowTextHeight(), 0);
    EXPECT_EQ(small->Height(), Round((small->BarHeight() + GuardExtensionDots(203, 1.0)) * double(ScreenPPI) / 203));

    // The default 8 points do not fit: the image grows by the text height and the gap.
    auto normal = object(TBarCodeType::bcCodeEAN13, "590123412345", [](TOABarCode& o) { o.SetLabelDistance(1.0); });
    const auto printed = normal->printerCopy();
    EXPECT_GT(printed->ShowTextHeight(), 8);
    EXPECT_EQ(printed->DstBitmap().height(), 80 + printed->ShowTextHeight());
    EXPECT_EQ(printed->DstBitmap().width(), printed->BarWidth());
    // The digits lie below the bars of the data characters, between the guard bars' ends.
    const QImage& img = printed->DstBitmap();
    EXPECT_FALSE(inkBox(img, QRect(0, 81, 2 * 9, img.height() - 81)).isNull()) << "first digit left of the bars";
    EXPECT_TRUE(inkBox(img, QRect(0, 0, 2 * 9, 80)).isNull()) << "nothing but the digit left of the guard";
}

TEST(BarcodeText, EanAndUpcPrinterFontDigitsStandAtTheirModules)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    const PrinterFontFile file = PrinterFontFile::standard();
    ASSERT_TRUE(file.isValid());
    const int font = 2;
    PrinterFontHeader header;
    ASSERT_EQ(file.header(font, &header), PrinterFontError::None);
    const int baseline = PrinterFontBaseline(font, header.cellHeight);
    struct Row {
        TBarCodeType type;
        QByteArray text;
        QByteArray digits;
        std::vector<int> modules; // -1: x 0, -2: right edge
        int width;
    };
    const Row rows[] = {
        { TBarCodeType::bcCodeEAN13, "590123412345", "5901234123457",
            { -1, 12, 19, 26, 33, 40, 47, 59, 66, 73, 80, 87, 94 }, 104 },
        { TBarCodeType::bcCodeEAN8, "9638507", "96385074", { 3, 10, 17, 24, 36, 43, 50, 57 }, 67 },
        { TBarCodeType::bcCodeUPCA, "03600029145", "036000291452", { -1, 19, 26, 33, 40, 47, 59, 66, 73, 80, 87, -2 },
            113 },
        { TBarCodeType::bcCodeUPCE, "123456", "01234565", { -1, 12, 19, 26, 33, 40, 47, -2 }, 69 },
    };
    for (const Row& r : rows) {
        auto o = object(r.type, r.text, [&](TOABarCode& b) {
            b.SetBarNarrow(3);
            b.SetUsePrnFont(1);
            b.SetPrnFontIdx(font);
        });
        const auto copy = o->printerCopy();
        ASSERT_EQ(copy->lastError(), BarcodeBuildError::None);
        const QImage text = copy->GetTextBitmap();
        ASSERT_EQ(text.size(), QSize(3 * r.width, header.cellHeight)) << r.text.constData();
        for (qsizetype i = 0; i < r.digits.size(); ++i) {
            const auto g = file.glyph(font, r.digits[i]);
            ASSERT_TRUE(g.has_value());
            const int m = r.modules[static_cast<size_t>(i)];
            const int x = m == -1 ? 0 : m == -2 ? text.width() - g->width - 1 : 3 * m;
            EXPECT_TRUE(glyphDrawnAt(text, *g, x, baseline)) << r.text.constData() << " digit " << i;
        }
        // Joined below the bars after the gap, one row further down.
        const int b = copy->BarHeight();
        const QImage& img = copy->DstBitmap();
        EXPECT_EQ(img.width(), 3 * r.width);
        EXPECT_EQ(img.height(), b + header.cellHeight);
        EXPECT_EQ(copy->ShowTextHeight(), header.cellHeight);
        EXPECT_EQ(o->LabelPos(), TLabelPosition::lpBelow);
    }
}

TEST(BarcodeText, PrinterFontLineSkipsCharactersWithoutGlyphs)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    auto o = object(TBarCodeType::bcCode128, "AB", [](TOABarCode& b) {
        b.SetUsePrnFont(1);
        b.SetPrnFontIdx(2);
        b.SetSysPrn(1);
    });
    const QImage plain = o->RenderText();
    ASSERT_FALSE(plain.isNull());
    const PrinterFontFile file = PrinterFontFile::standard();
    const int expected = file.glyph(2, 'A')->width + 3 + file.glyph(2, 'B')->width + 3;
    EXPECT_EQ(plain.width(), expected);
    o->SetIsRefresh(0);
    o->SetText("A\xb0\xa1"
               "B");
    EXPECT_EQ(o->RenderText(), plain);
    // A space keeps the words apart even where the font has no glyph for it.
    o->SetText("A B");
    PrinterFontHeader header;
    ASSERT_EQ(file.header(2, &header), PrinterFontError::None);
    const auto space = file.glyph(2, ' ');
    EXPECT_EQ(o->RenderText().width(), expected + (space ? space->width : header.defaultAdvance) + 3);
    o->SetText("AB");
    // The gap is part of the line's picture: above it when the line is below the bars.
    o->SetLabelDistance(1.0);
    const QImage gapped = o->RenderText();
    EXPECT_EQ(gapped.height(), plain.height() + 8);
    EXPECT_EQ(inkBox(gapped).top(), inkBox(plain).top() + 8);
    o->SetLabelPos(TLabelPosition::lpAbove);
    EXPECT_EQ(inkBox(o->RenderText()).top(), inkBox(plain).top());
    // A gap that swallows the cell leaves no line at all.
    o->SetLabelDistance(-50.0);
    EXPECT_TRUE(o->RenderText().isNull());
}

TEST(BarcodeText, PrinterFontBaselines)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    const PrinterFontFile file = PrinterFontFile::standard();
    for (int font : { 3, 5 }) {
        PrinterFontHeader header;
        ASSERT_EQ(file.header(font, &header), PrinterFontError::None);
        const auto g = file.glyph(font, '8');
        ASSERT_TRUE(g.has_value());
        auto o = object(TBarCodeType::bcCode128, "8", [&](TOABarCode& b) {
            b.SetUsePrnFont(1);
            b.SetPrnFontIdx(font);
            b.SetSysPrn(1);
        });
        const QImage text = o->RenderText();
        const int baseline = font == 5 ? header.cellHeight : header.cellHeight * 5 / 6;
        EXPECT_TRUE(glyphDrawnAt(text, *g, 0, baseline)) << font;
    }
}

TEST(BarcodeText, AlignmentPlacesTheNarrowerPart)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    using A = TLabelAlignment;
    using P = TLabelPosition;
    struct Row {
        const char* name;
        QByteArray separator; // makes the line wider than the bars
        P pos;
        A align;
    };
    const Row rows[] = {
        { "text below, narrower, left", "", P::lpBelow, A::laLeft },
        { "text below, narrower, right", "", P::lpBelow, A::laRight },
        { "text below, narrower, centre", "", P::lpBelow, A::laCenter },
        { "text below, narrower, auto", "", P::lpBelow, A::laAuto },
        { "text above, narrower, left", "", P::lpAbove, A::laLeft },
        { "text above, narrower, right", "", P::lpAbove, A::laRight },
        { "text above, narrower, centre", "", P::lpAbove, A::laCenter },
        { "bars below, narrower, left", "==========", P::lpBelow, A::laLeft },
        { "bars below, narrower, right", "==========", P::lpBelow, A::laRight },
        { "bars below, narrower, centre", "==========", P::lpBelow, A::laCenter },
        { "bars above, narrower, right", "==========", P::lpAbove, A::laRight },
        { "bars above, narrower, centre", "==========", P::lpAbove, A::laCenter },
        { "bars above, narrower, auto", "==========", P::lpAbove, A::laAuto },
    };
    for (const Row& r : rows) {
        const bool wideText = !r.separator.isEmpty();
        auto o = object(TBarCodeType::bcCode128, wideText ? "12" : "KORVEL", [&](TOABarCode& b) {
            b.SetBarNarrow(wideText ? 1 : 3);
            b.SetUsePrnFont(1);
            b.SetPrnFontIdx(2);
            b.SetHowmany(wideText ? 1 : 0);
            b.SetFenGeFu(r.separator);
            b.SetLabelPos(r.pos);
            b.SetLabelAlign(r.align);
        });
        const auto copy = o->printerCopy();
        const QImage img = copy->DstBitmap();
        const QImage text = copy->GetTextBitmap();
        const int wb = copy->BarWidth();
        const int hb = copy->BarHeight();
        const int wt = text.width();
        const int ht = text.height();
        ASSERT_EQ(wideText, wb < wt) << r.name;
        EXPECT_EQ(img.width(), std::max(wb, wt)) << r.name;
        EXPECT_EQ(img.height(), hb + ht) << r.name;
        EXPECT_EQ(copy->ShowTextHeight(), ht) << r.name;

        const bool above = r.pos == P::lpAbove;
        const bool leftish = r.align == A::laLeft || r.align == A::laAuto;
        const int d = std::abs(wb - wt);
        int barsX = 0;
        int textX = 0;
        if (wideText)
            barsX = leftish ? 0 : r.align == A::laRight ? d + (above ? 1 : 0) : d / 2 + (above ? 1 : 0);
        else
            textX = leftish ? (above ? 1 : 0) : r.align == A::laRight ? d + 1 : d / 2 + 1;
        const QRect textArea = above ? QRect(0, 0, img.width(), ht) : QRect(0, hb, img.width(), ht);
        const QRect barsArea = above ? QRect(0, ht, img.width(), hb) : QRect(0, 0, img.width(), hb);
        const QRect textInk = inkBox(text);
        EXPECT_EQ(inkBox(img, textArea).topLeft(), textInk.topLeft() + QPoint(textX, textArea.top())) << r.name;
        // The bars start one dot in: column 0 of the bars image stays blank.
        EXPECT_EQ(inkBox(img, barsArea).left(), barsX + 1) << r.name;
    }
}

TEST(BarcodeText, AutoAlignmentSpreadsAScreenFontLineOverTheBars)
{
    auto o = object(TBarCodeType::bcCode39, "AB", [](TOABarCode& b) {
        b.SetBarNarrow(3);
        b.SetBarWide(8);
        b.SetLabelAlign(TLabelAlignment::laAuto);
    });
    const auto copy = o->printerCopy();
    const QImage text = copy->GetTextBitmap();
    EXPECT_EQ(text.width(), copy->BarImageWidth());
    EXPECT_EQ(copy->BarImageWidth(), copy->BarWidth() - 1);
    const QRect ink = inkBox(text);
    EXPECT_LT(ink.left(), 5);
    EXPECT_GT(ink.right(), text.width() - 30) << "the last character stands at the right end";

    // One character is not spread; nor is a line as wide as the bars.
    o->SetText("A");
    EXPECT_LT(o->printerCopy()->GetTextBitmap().width(), copy->BarImageWidth() / 2);
}

TEST(BarcodeText, ScreenFontLineKeepsItsWidthAtThePrinterResolution)
{
    auto plain = object(TBarCodeType::bcCode128, "KORVEL");
    auto italic = object(TBarCodeType::bcCode128, "KORVEL", [](TOABarCode& b) {
        TBarcodeFont f = b.TextFont();
        f.set(TextFontStyle::Italic, true);
        b.SetTextFont(f);
    });
    const QImage a = plain->printerCopy()->GetTextBitmap();
    const QImage b = italic->printerCopy()->GetTextBitmap();
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.height(), b.height());
    EXPECT_EQ(b.width() - a.width(), Round(a.height() * std::tan(11.0 * M_PI / 180.0)));
    // Twice the resolution, about twice the width (each width is rounded once).
    plain->SetPrnDPI(406);
    const QImage c = plain->printerCopy()->GetTextBitmap();
    EXPECT_NEAR(c.width(), 2 * a.width(), 1);
    // A negative gap larger than the line drops the gap.
    plain->SetPrnDPI(203);
    plain->SetLabelDistance(-20.0);
    EXPECT_EQ(plain->printerCopy()->GetTextBitmap().height(), a.height());
}

TEST(BarcodeText, DefaultPrinterFontIsFontThree)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    auto o = object(TBarCodeType::bcCode39, "CODE39", [](TOABarCode& b) {
        b.SetPrnFontIdx(7);
        b.SetLabelWithPrn(true);
        b.SetPrnFontIdx(7);
    });
    EXPECT_EQ(o->PrnFontIdx(), 3);
    EXPECT_FALSE(o->usesScreenFont());
    auto chosen = object(TBarCodeType::bcCode39, "CODE39", [](TOABarCode& b) {
        b.SetUsePrnFont(1);
        b.SetPrnFontIdx(3);
    });
    EXPECT_EQ(o->printerCopy()->GetTextBitmap(), chosen->printerCopy()->GetTextBitmap());
}

TEST(BarcodeText, MissingGlyphFileKeepsThePreviousImage)
{
    QTemporaryDir empty;
    auto o = object(TBarCodeType::bcCode128, "KORVEL");
    const QImage picture = o->DstBitmap();
    ScopedEnv data("KORVEL_DATA", empty.path().toUtf8());
    o->SetUsePrnFont(1);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::GlyphFile);
    EXPECT_EQ(o->DstBitmap(), picture);
    EXPECT_TRUE(o->renderForPrinter().isNull());
    EXPECT_TRUE(o->GetTextBitmap().isNull());
    // The bars alone still build.
    o->SetShowText(false);
    EXPECT_EQ(o->lastError(), BarcodeBuildError::None);
    EXPECT_FALSE(o->renderForPrinter().isNull());
}

TEST(BarcodeText, AbsurdFontSizesAndGapsStayBounded)
{
    for (int size : { 0, -12, 1000000 }) {
        for (double gap : { 0.0, -1e9, 1e9 }) {
            auto o = object(TBarCodeType::bcCode128, "KORVEL", [&](TOABarCode& b) {
                TBarcodeFont f = b.TextFont();
                f.Size = size;
                b.SetTextFont(f);
                b.SetLabelDistance(gap);
            });
            EXPECT_LE(o->DstBitmap().width(), 30000) << size << " " << gap;
            EXPECT_LE(o->DstBitmap().height(), 30000) << size << " " << gap;
            o->GetTextBitmap();
        }
    }
}
