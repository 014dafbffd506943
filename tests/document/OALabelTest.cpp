#include "document/OALabel.h"

#include "document/CodePage.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include "TextTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace korvel;
using namespace korvel::test;

namespace {

std::unique_ptr<TOAText> makeText(const QByteArray& text, int points = 12, double zoom = 1.0)
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->setZoom(zoom);
    t->SetFontSizePt(points);
    t->SetText(text);
    return t;
}

std::unique_ptr<TOAText> makeParagraph(const QByteArray& text, int boxWidth, int align = 1, double zoom = 1.0)
{
    auto t = makeText(text, 12, zoom);
    t->SetDragWidth(boxWidth);
    t->SetTextAlign(align);
    return t;
}

/// Width at zoom 1 of a single line (the measuring the wrap uses).
int singleLineWidth(const QByteArray& text)
{
    return makeText(text)->StrDotLen();
}

QByteArray lines(int count, const QByteArray& line)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += line + "\r\n";
    return out;
}

QPointF centre(const TOAText& t)
{
    return QPointF(t.Left() + t.Width() / 2.0, t.Top() + t.Height() / 2.0);
}

/// Columns between the first and the last ink column.
int inkWidth(const QImage& img)
{
    int first = img.width();
    int last = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img, x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return last < first ? 0 : last - first + 1;
}

} // namespace

TEST(OALabel, NewTextStartsWithItsNameAndTheDefaults)
{
    TOAText t(QStringLiteral("Text3"));
    EXPECT_EQ(t.kind(), ObjectKind::Text);
    EXPECT_EQ(t.ObjStyle, 1);
    EXPECT_EQ(t.ObjBitMode, 0);
    EXPECT_EQ(t.Text(), QByteArray("Text3"));
    EXPECT_EQ(t.TextWidthRate(), 100);
    EXPECT_EQ(t.TextFont().Name, QStringLiteral("Arial"));
    EXPECT_EQ(t.TextFontSize(), 2);
    EXPECT_EQ(t.PrnFontIdx(), 1);
    EXPECT_EQ(t.PrnDPI(), 203);
    EXPECT_EQ(t.PrnFntZoomX(), 1);
    EXPECT_EQ(t.PrnFntZoomY(), 1);
    EXPECT_DOUBLE_EQ(t.Zoom(), 1.0);
    EXPECT_TRUE(t.usesScreenFont());
    EXPECT_FALSE(t.DstBitmap().isNull());
    EXPECT_EQ(t.geometry().size(), t.DstBitmap().size());
}

TEST(OALabel, PointsAndPixelsFollowTheZoom)
{
    struct Row {
        double zoom;
        int points;
        int pixels;
    };
    const Row fromPoints[] = { { 1.0, 12, 16 }, { 2.0, 12, 32 }, { 1.5, 9, 18 }, { 0.5, 10, 7 } };
    for (const Row& r : fromPoints) {
        TOAText t;
        t.setZoom(r.zoom);
        t.SetFontSizePt(r.points);
        EXPECT_EQ(t.TextFontSize(), r.pixels) << r.zoom << " " << r.points;
    }
    const Row fromPixels[] = { { 1.0, 12, 16 }, { 2.0, 6, 16 }, { 2.0, 12, 32 }, { 3.0, 8, 32 } };
    for (const Row& r : fromPixels) {
        TOAText t;
        t.setZoom(r.zoom);
        t.SetTextFontSize(r.pixels);
        EXPECT_EQ(t.FontSizePt(), r.points) << r.zoom << " " << r.pixels;
    }
}

TEST(OALabel, ZoomRecomputesTheScreenRectangleFromMillimetres)
{
    auto t = makeText("Zoom");
    t->SetAbsLeft(10.0);
    t->SetAbsTop(5.0);
    t->SetDragWidth(100);
    EXPECT_EQ(t->Left(), 38);
    EXPECT_EQ(t->Top(), 19);
    EXPECT_EQ(t->VirLeft(), 38);
    const int width100 = t->Width();

    t->setZoom(2.0);
    EXPECT_EQ(t->Left(), 76);
    EXPECT_EQ(t->Top(), 38);
    EXPECT_EQ(t->VirLeft(), 76);
    EXPECT_EQ(t->VirTop(), 38);
    EXPECT_EQ(t->TextFontSize(), 32);
    EXPECT_EQ(t->DragWidth(), 200);
    EXPECT_EQ(t->OrgDragWidth(), 100);
    EXPECT_NEAR(t->Width(), 2 * width100, 2);
    EXPECT_DOUBLE_EQ(t->AbsLeft(), 10.0) << "zooming never moves the object on the label";

    t->SetVirLeft(50);
    EXPECT_EQ(t->Left(), 50);
    EXPECT_DOUBLE_EQ(t->AbsLeft(), 6.615);
}

TEST(OALabel, TrailingLineBreakOpensNoLine)
{
    struct Row {
        QByteArray text;
        int count;
    };
    const Row rows[] = {
        { "A\r\nB\r\n", 2 },
        { "A\r\nB", 2 },
        { "A\r\n\r\nB", 3 },
        { "A", 1 },
        { "\r\n", 1 },
        { "", 1 },
    };
    for (const Row& r : rows) {
        auto t = makeParagraph(r.text, 300);
        EXPECT_EQ(t->MultiPrnStr().Count, r.count) << r.text.toStdString();
    }
    auto t = makeParagraph("A\r\nB\r\n", 300);
    EXPECT_EQ(t->MultiPrnStr().Lines[0], QByteArray("A"));
    EXPECT_EQ(t->MultiPrnStr().Lines[1], QByteArray("B"));
}

TEST(OALabel, AtMostOneHundredLines)
{
    auto given = makeParagraph(lines(150, "L"), 300);
    EXPECT_EQ(given->MultiPrnStr().Count, 100);
    // Wrapping stops at 100 lines as well.
    auto wrapped = makeParagraph(QByteArray(400, 'W'), 30);
    EXPECT_EQ(wrapped->MultiPrnStr().Count, 100);
    EXPECT_GT(wrapped->Height(), 50 * wrapped->FontHeight());
}

TEST(OALabel, ParagraphThatFitsIsNotWrapped)
{
    const QByteArray text = "one two\r\nthree\r\nfour";
    auto t = makeParagraph(text, 400, 2);
    ASSERT_EQ(t->MultiPrnStr().Count, 3);
    EXPECT_EQ(t->MultiPrnStr().Lines[0], QByteArray("one two"));
    EXPECT_EQ(t->MultiPrnStr().Lines[1], QByteArray("three"));
    EXPECT_EQ(t->MultiPrnStr().Lines[2], QByteArray("four"));
    EXPECT_EQ(t->MultiPrnStr().Widths[0], singleLineWidth("one two"));
    EXPECT_EQ(t->Width(), 400);
}

TEST(OALabel, GreedyWrapBreaksOnlyLinesThatDoNotFitEvenInsideWords)
{
    const QByteArray longLine = "Antidisestablishmentarianism and more";
    const int box = 90;
    auto t = makeParagraph("short\r\n" + longLine, box);
    const PrnStrRecord& r = t->MultiPrnStr();
    ASSERT_GE(r.Count, 3);
    EXPECT_EQ(r.Lines[0], QByteArray("short")) << "a line that fits stays whole";
    QByteArray joined;
    for (int k = 1; k < r.Count; ++k)
        joined += r.Lines[k];
    EXPECT_EQ(joined, longLine) << "pieces are cut character by character, nothing is lost";
    EXPECT_NE(r.Lines[1], QByteArray("Antidisestablishmentarianism")) << "the word itself is broken";
    for (int k = 1; k < r.Count; ++k) {
        EXPECT_EQ(r.Widths[k], singleLineWidth(r.Lines[k])) << k;
        EXPECT_LE(r.Widths[k], box) << k;
        if (k + 1 < r.Count) {
            EXPECT_GT(singleLineWidth(r.Lines[k] + r.Lines[k + 1].left(1)), box)
                << "piece " << k << " could have taken one more";
        }
    }
}

TEST(OALabel, WrapNeverSplitsADoubleByteCharacter)
{
    const QByteArray chinese = CodePage::document().fromUnicode(QStringLiteral("文本字符的自动换行不会拆开双字节字符"));
    auto t = makeParagraph(chinese, 70);
    const PrnStrRecord& r = t->MultiPrnStr();
    ASSERT_GT(r.Count, 1);
    QByteArray joined;
    for (int k = 0; k < r.Count; ++k) {
        EXPECT_EQ(r.Lines[k].size() % 2, 0) << k;
        joined += r.Lines[k];
    }
    EXPECT_EQ(joined, chinese);
}

TEST(OALabel, PrintingReusesTheScreenLines)
{
    auto t = makeParagraph("The quick brown fox jumps over the lazy dog", 120, 2);
    const int count = t->MultiPrnStr().Count;
    ASSERT_GT(count, 1);
    for (int dpi : { 203, 300 }) {
        t->SetPrnDPI(dpi);
        const QImage printed = t->renderForPrinter();
        ASSERT_EQ(printed.format(), QImage::Format_Mono);
        EXPECT_EQ(printed.width(), Round(dpi * 120.0 / 96.0));

        // Whatever the record holds is printed, line for line: one line gives one pitch, three
        // lines three pitches (Count × pitch + 2, plus the turn's extra row).
        TOAText one(*t);
        PrnStrRecord r;
        r.Lines[0] = "XYZ";
        r.Widths[0] = singleLineWidth("XYZ");
        r.Count = 1;
        one.SetMultiPrnStr(r);
        const int pitch = one.renderForPrinter().height() - 3;
        EXPECT_EQ(printed.height(), count * pitch + 3) << dpi;
        r.Lines[1] = r.Lines[2] = "XYZ";
        r.Widths[1] = r.Widths[2] = r.Widths[0];
        r.Count = 3;
        one.SetMultiPrnStr(r);
        EXPECT_EQ(one.renderForPrinter().height(), 3 * pitch + 3) << dpi;
    }
    EXPECT_EQ(t->MultiPrnStr().Count, count) << "printing leaves the object alone";
}

TEST(OALabel, WidthRateFiftyHalvesTheWidth)
{
    auto t = makeText("Hello World 12345", 14);
    const int natural = t->Width();
    const int naturalInk = inkWidth(t->OrgBitmap);
    EXPECT_EQ(t->FontWidth(), 0);
    t->SetTextWidthRate(50);
    EXPECT_LE(std::abs(t->Width() - natural / 2), 1);
    EXPECT_GT(t->FontWidth(), 0) << "the glyphs themselves are narrowed";
    EXPECT_NEAR(inkWidth(t->OrgBitmap), naturalInk / 2.0, naturalInk * 0.1);
    EXPECT_EQ(t->renderForPrinter().width(), Round(t->StrDotLen() * 203.0 / 96.0));

    t->SetTextWidthRate(200);
    EXPECT_LE(std::abs(t->Width() - natural * 2), 1);
}

TEST(OALabel, CharacterExtraWidensEachGap)
{
    auto plain = makeText("ABCDE", 12, 2.0);
    auto spaced = makeText("ABCDE", 12, 2.0);
    spaced->SetTextCharExtra(3);
    EXPECT_EQ(spaced->StrDotLen(), plain->StrDotLen()) << "StrDotLen leaves the extras out";
    EXPECT_EQ(spaced->Width() - plain->Width(), 4 * 3 * 2);
    EXPECT_EQ(spaced->renderForPrinter().width(), Round((4 * 3 + spaced->StrDotLen()) * 203.0 / 96.0));
}

TEST(OALabel, QuarterTurnsKeepTheCentre)
{
    auto t = makeText("Rotate me", 14);
    t->SetVirLeft(100);
    t->SetVirTop(80);
    const QRect start = t->geometry();
    const QPointF c0 = centre(*t);
    t->setAngle(90);
    EXPECT_EQ(t->Width(), start.height() - 1);
    EXPECT_EQ(t->Height(), start.width() + 1);
    EXPECT_NEAR(centre(*t).x(), c0.x(), 1.0);
    EXPECT_NEAR(centre(*t).y(), c0.y(), 1.0);
    EXPECT_EQ(t->VirLeft(), t->Left());
    EXPECT_DOUBLE_EQ(t->AbsLeft(), PixelsToMM(t->Left(), t->Zoom()));
    t->setAngle(180);
    t->setAngle(270);
    t->Rotate90();
    EXPECT_EQ(t->Angle(), 0);
    EXPECT_EQ(t->geometry(), start) << "four quarter turns return the object to its place";

    // A half turn at once keeps the place as well, and 0 -> 270 lands where three turns do.
    t->setAngle(180);
    EXPECT_EQ(t->geometry(), start);
    t->setAngle(0);
    auto stepwise = makeText("Rotate me", 14);
    stepwise->SetVirLeft(100);
    stepwise->SetVirTop(80);
    stepwise->setAngle(90);
    stepwise->setAngle(180);
    stepwise->setAngle(270);
    t->setAngle(270);
    EXPECT_EQ(t->geometry(), stepwise->geometry());
}

TEST(OALabel, DraggedSingleLineFindsSizeAndRate)
{
    auto t = makeText("Drag me", 12);
    t->SetDragHeight(40);
    t->SetLineDragWidth(200);
    t->SetDragText(1);
    t->SetTextWidthRate(70);
    EXPECT_EQ(t->TextWidthRate(), 100) << "ignored while a drag is pending";
    t->SetTextFontSize(t->TextFontSize());
    EXPECT_EQ(t->DragText(), 0);
    EXPECT_LE(std::abs(t->FontHeight() - 40), 2);
    EXPECT_EQ(t->FontSizePt(), Round(t->TextFontSize() * 3 / 4.0));
    EXPECT_NEAR(t->Width(), 200, 3);

    auto huge = makeText("Big", 12);
    huge->SetDragHeight(1000);
    huge->SetLineDragWidth(300);
    huge->SetDragText(1);
    huge->SetTextFontSize(huge->TextFontSize());
    EXPECT_EQ(huge->FontSizePt(), 300);
    EXPECT_EQ(huge->TextFontSize(), 400);
}

TEST(OALabel, InvertNegatesThePicture)
{
    auto t = makeText("Invert", 12);
    const QImage plain = t->renderForPrinter();
    const QImage screen = t->DstBitmap().convertToFormat(QImage::Format_RGB888);
    t->SetInvert(true);
    QImage inverted = t->renderForPrinter();
    ASSERT_EQ(inverted.size(), plain.size());
    inverted.invertPixels();
    EXPECT_EQ(inverted.convertToFormat(QImage::Format_RGB32), plain.convertToFormat(QImage::Format_RGB32));
    QImage back = t->DstBitmap().convertToFormat(QImage::Format_RGB888);
    back.invertPixels();
    EXPECT_EQ(back, screen);
}

TEST(OALabel, ManualUnderlineForTheFaceWithoutOne)
{
    auto t = makeText("Under", 20);
    TTextFont font;
    font.Name = ManualUnderlineFace();
    font.set(TextFontStyle::Underline, true);
    t->SetTextFont(font);
    const QImage& picture = t->OrgBitmap;
    const int pen = std::max(1, static_cast<int>(Round(t->TextFontSize() * 0.048)));
    const int row = picture.height() - pen / 2 - 2 - pen / 2;
    for (int x = 0; x < picture.width(); ++x)
        ASSERT_TRUE(isInk(picture, x, row)) << "column " << x << " of row " << row;

    font.set(TextFontStyle::Underline, false);
    t->SetTextFont(font);
    for (int y = 0; y < t->OrgBitmap.height(); ++y) {
        int ink = 0;
        for (int x = 0; x < t->OrgBitmap.width(); ++x)
            ink += isInk(t->OrgBitmap, x, y) ? 1 : 0;
        EXPECT_LT(ink, t->OrgBitmap.width()) << "no full row without underline, row " << y;
    }
}

TEST(OALabel, RingTextIsASquareOfTheDiameter)
{
    auto t = makeText("RING AROUND", 12);
    t->SetRoundText(1);
    t->SetDragWidth(150);
    EXPECT_EQ(t->OrgBitmap.size(), QSize(150, 150));
    EXPECT_EQ(t->geometry().size(), QSize(150, 151));
    EXPECT_GT(inkCount(t->OrgBitmap), 100);
    const QImage printed = t->renderForPrinter();
    EXPECT_EQ(printed.width(), Round(203 * 150 / 96.0));
    EXPECT_EQ(printed.height(), printed.width() + 1);
}

TEST(OALabel, EmptyAndDegenerateTextsStillRender)
{
    for (int align : { 0, 1, 2, 3, 4 }) {
        for (int ring : { 0, 1 }) {
            auto t = makeText("", 12);
            t->SetTextAlign(align);
            t->SetRoundText(ring);
            EXPECT_GT(t->Width(), 0);
            EXPECT_GT(t->Height(), 0);
            EXPECT_FALSE(t->renderForPrinter().isNull());
        }
    }
    auto zeroBox = makeParagraph("text in no box", 0, 3);
    EXPECT_GT(zeroBox->Width(), 0);
    auto odd = makeText("\xB0", 12); // a lead byte at the very end
    EXPECT_GT(odd->Width(), 0);
    // 300 points at 600 %: the picture is capped instead of failing to allocate.
    TOAText huge;
    huge.setUpdatesBlocked(true);
    huge.setZoom(6.0);
    huge.SetFontSizePt(300);
    huge.SetText(QByteArray(12, 'W'));
    huge.setUpdatesBlocked(false);
    EXPECT_GT(huge.Width(), 1000);
    EXPECT_LE(huge.Width(), 30000);
    EXPECT_LE(huge.Height(), 30001);
}

TEST(OALabel, ResolutionAndScreenFontSwitch)
{
    auto t = makeText("dpi");
    t->ConvertResolution(1, 1);
    EXPECT_EQ(t->PrnDPI(), 300);
    t->ConvertResolution(0, 2);
    EXPECT_EQ(t->PrnDPI(), 203);
    t->SetUsePrnFont(1);
    EXPECT_FALSE(t->usesScreenFont());
}

TEST(OALabel, CloneIsADeepCopyAndBlockedUpdatesRenderOnce)
{
    auto t = makeParagraph("one\r\ntwo", 200, 2);
    auto copy = t->clone();
    auto* c = dynamic_cast<TOAText*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Text(), t->Text());
    EXPECT_EQ(c->MultiPrnStr(), t->MultiPrnStr());
    EXPECT_EQ(c->geometry(), t->geometry());
    c->SetText("changed");
    EXPECT_EQ(t->Text(), QByteArray("one\r\ntwo"));

    const QImage before = t->DstBitmap();
    t->setUpdatesBlocked(true);
    t->SetText("a\r\nb\r\nc");
    t->SetTextAlign(1);
    EXPECT_EQ(t->DstBitmap(), before);
    t->setUpdatesBlocked(false);
    EXPECT_EQ(t->MultiPrnStr().Count, 3);
    EXPECT_NE(t->DstBitmap(), before);
}

TEST(OALabel, PrinterFontPreviewIsSizedInScreenPixels)
{
    QTemporaryDir dir;
    const HandGlyph a { 'A', 3, 4, 3, -1, { 0xE0, 0x40, 0xA0, 0xE0 } };
    ASSERT_TRUE(
        writeFile(dir.filePath(QStringLiteral("ASCIIPrnZK.fon")), buildGlyphFile({ { 1, 'A', 5, 12, { a } } })));
    ScopedEnv data("KORVEL_DATA", dir.path().toUtf8());

    auto t = makeText("AA");
    t->SetUsePrnFont(1);
    EXPECT_EQ(t->renderError(), PrinterFontError::None);
    EXPECT_EQ(t->DstBitmap().size(), QSize(10, 13));
    EXPECT_EQ(t->Width(), Round(10 * 96 / 203.0));
    EXPECT_EQ(t->Height(), Round(13 * 96 / 203.0));
    t->SetPrnFntZoomX(3);
    t->SetPrnFntZoomY(2);
    EXPECT_EQ(t->Width(), Round(10 * 3 * 96 / 203.0));
    EXPECT_EQ(t->Height(), Round(13 * 2 * 96 / 203.0));
    t->setZoom(2.0);
    EXPECT_EQ(t->Width(), Round(10 * 3 * 96 * 2 / 203.0));
    t->setZoom(1.0);
    // A quarter turn swaps the picture's sides and the magnifications with them.
    t->setAngle(90);
    EXPECT_EQ(t->DstBitmap().size(), QSize(12, 11));
    EXPECT_EQ(t->Width(), Round(12 * 2 * 96 / 203.0));
    EXPECT_EQ(t->Height(), Round(11 * 3 * 96 / 203.0));

    const QImage printed = t->renderForPrinter();
    EXPECT_EQ(printed.size(), QSize(12 * 2, 10 * 3 + 1));
}

TEST(OALabel, MissingGlyphFileGivesAnErrorNotACrash)
{
    QTemporaryDir dir;
    ScopedEnv data("KORVEL_DATA", dir.path().toUtf8());
    auto t = makeText("AB12");
    t->SetUsePrnFont(1);
    EXPECT_EQ(t->renderError(), PrinterFontError::FileMissing);
    EXPECT_GT(t->Width(), 0);
    EXPECT_TRUE(t->renderForPrinter().isNull());

    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("ASCIIPrnZK.fon")), QByteArray("short")));
    t->SetText("AB13");
    EXPECT_EQ(t->renderError(), PrinterFontError::FontDamaged);
    t->SetUsePrnFont(0);
    EXPECT_EQ(t->renderError(), PrinterFontError::None);
}

// A print job draws a bound text's printer picture without its screen picture; the picture is
// the one the text gives after showing the value on the screen, whatever its settings.
TEST(OALabel, PrinterPictureOfAValueMatchesTheShownValue)
{
    struct Setting {
        const char* name;
        std::function<void(TOAText&)> apply;
    };
    const Setting settings[] = {
        { "plain", [](TOAText&) {} },
        { "character extra", [](TOAText& t) { t.SetTextCharExtra(3); } },
        { "width rate", [](TOAText& t) { t.SetTextWidthRate(60); } },
        { "bold italic zoomed", [](TOAText& t) {
             TTextFont f = t.TextFont();
             f.set(TextFontStyle::Bold, true);
             f.set(TextFontStyle::Italic, true);
             t.SetTextFont(f);
             t.setZoom(2.0);
         } },
        { "ring", [](TOAText& t) {
             t.SetDragWidth(200);
             t.SetRoundText(1);
         } },
        { "paragraph", [](TOAText& t) {
             t.SetDragWidth(60);
             t.SetTextAlign(1);
         } },
        { "turned", [](TOAText& t) { t.setAngle(90); } },
    };
    for (const Setting& s : settings) {
        auto t = makeText("Name");
        s.apply(*t);
        for (const QByteArray& value : { QByteArray("Customer 12345"), QByteArray("W"), QByteArray("Name") }) {
            TOAText shown(*t);
            shown.SetText(value);
            EXPECT_EQ(t->renderForPrinter(value), shown.renderForPrinter()) << s.name << " / " << value.constData();
        }
    }
}
