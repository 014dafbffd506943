#include "document/TextRules.h"

#include "document/CodePage.h"
#include "document/OALabel.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(TextRules, KindsMapToAlignmentAndRing)
{
    EXPECT_EQ(TextKindOf(0, 0), TextKind::SingleLine);
    EXPECT_EQ(TextKindOf(0, 1), TextKind::Ring);
    EXPECT_EQ(TextKindOf(3, 0), TextKind::Paragraph);
    EXPECT_EQ(TextKindOf(4, 1), TextKind::Paragraph) << "a ring needs TextAlign 0";
    EXPECT_EQ(LayoutForKind(TextKind::Ring, 3).RoundText, 1);
    EXPECT_EQ(LayoutForKind(TextKind::Ring, 3).TextAlign, 0);
    EXPECT_EQ(LayoutForKind(TextKind::Paragraph, 4).TextAlign, 4);
    EXPECT_EQ(LayoutForKind(TextKind::Paragraph, 0).TextAlign, 1);
    EXPECT_EQ(LayoutForKind(TextKind::SingleLine, 2).TextAlign, 0);
}

TEST(TextRules, FontSizeEntries)
{
    struct Row {
        const char* entry;
        const char* shown;
        int points;
        bool accepted;
    };
    const Row rows[] = {
        { "12", "12", 12, true },
        { "199", "199", 199, true },
        { "200", "200", 200, false },
        { "999", "999", 999, false },
        { "0", "8", 8, true },
        { "00", "8", 8, true },
        { "-5", "8", 8, true },
        { "abc", "8", 8, true },
        { "", "8", 8, true },
        { "1.5", "8", 8, true },
    };
    for (const Row& r : rows) {
        const FontSizeEntry e = CheckFontSizeEntry(QString::fromLatin1(r.entry));
        EXPECT_EQ(e.text, QString::fromLatin1(r.shown)) << r.entry;
        EXPECT_EQ(e.points, r.points) << r.entry;
        EXPECT_EQ(e.accepted, r.accepted) << r.entry;
    }
    EXPECT_EQ(PreviewPixelSize(12), 16);
    EXPECT_EQ(PreviewPixelSize(9), 12);
    EXPECT_EQ(PreviewPixelSize(8), 11);
}

TEST(TextRules, WidthRateOnOk)
{
    struct Row {
        const char* entry;
        bool ok;
        int value;
    };
    const Row rows[] = {
        { "100", true, 100 },
        { "10", true, 10 },
        { "999", true, 999 },
        { "50", true, 50 },
        { "9", false, 100 },
        { "1", false, 100 },
        { "0", false, 100 },
        { "-20", false, 100 },
        { "x", false, 100 },
        { "", false, 100 },
        { "1000", false, 100 },
    };
    for (const Row& r : rows) {
        const WidthRateCheck c = CheckWidthRateOnOk(QString::fromLatin1(r.entry));
        EXPECT_EQ(c.ok, r.ok) << r.entry;
        EXPECT_EQ(c.value, r.value) << r.entry;
        if (!r.ok) {
            EXPECT_EQ(c.text, QStringLiteral("100")) << r.entry;
        }
    }
}

TEST(TextRules, ExtrasAndRingWidthCorrections)
{
    EXPECT_EQ(CorrectExtraEntry(QStringLiteral("4")), QStringLiteral("4"));
    EXPECT_EQ(CorrectExtraEntry(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(CorrectExtraEntry(QStringLiteral("a")), QStringLiteral("0"));
    EXPECT_EQ(CorrectExtraEntry(QString()), QStringLiteral("0"));

    struct Row {
        const char* entry;
        const char* shown;
    };
    const Row rows[] = {
        { "150", "150" },
        { "1", "1" },
        { "999", "999" },
        { "300", "300" },
        { "0", "200" },
        { "-3", "200" },
        { "1000", "200" },
        { "w", "200" },
        { "", "200" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(CorrectRingWidthEntry(QString::fromLatin1(r.entry)), QString::fromLatin1(r.shown)) << r.entry;
}

TEST(TextRules, RingFieldsOpenWithTheBoxOrTheNaturalWidth)
{
    TOAText t(QStringLiteral("Text1"));
    t.SetFontSizePt(12);
    t.SetText("natural width");
    ASSERT_EQ(t.DragWidth(), 0);
    ASSERT_GT(t.TextOrgWidth(), 0);
    EXPECT_EQ(RingWidthInitial(t), t.TextOrgWidth());
    EXPECT_EQ(RingHeightInitial(t), t.TextOrgWidth() / 2);
    t.SetDragWidth(120);
    t.SetDragHeight(40);
    EXPECT_EQ(RingWidthInitial(t), 120);
    EXPECT_EQ(RingHeightInitial(t), 40);

    // A single line turned into a paragraph gets its natural width as box width.
    TOAText line(QStringLiteral("Text2"));
    line.SetFontSizePt(12);
    line.SetText("one line");
    TextDialogValues v = TextDialogValuesOf(line);
    v.TextAlign = 2;
    ApplyTextDialogValues(line, v);
    EXPECT_EQ(line.DragWidth(), line.TextOrgWidth());
    EXPECT_EQ(line.MultiPrnStr().Count, 1);
}

TEST(TextRules, PrinterFontListAndMagnifications)
{
    EXPECT_EQ(PrnFontIdxOfListPosition(0), 1);
    EXPECT_EQ(PrnFontIdxOfListPosition(21), 22);
    EXPECT_EQ(PrnFontIdxOfListPosition(40), 22);
    EXPECT_EQ(ListPositionOfPrnFontIdx(1), 0);
    EXPECT_EQ(ListPositionOfPrnFontIdx(23), 21);
    EXPECT_EQ(ClampMagnification(0), 1);
    EXPECT_EQ(ClampMagnification(9), 8);
    EXPECT_EQ(ResizedMagnification(2, 60, 40), 3);
    EXPECT_EQ(ResizedMagnification(2, 50, 40), 2) << "2.5 rounds to even";
    EXPECT_EQ(ResizedMagnification(3, 500, 20), 8);
    EXPECT_EQ(ResizedMagnification(3, 1, 20), 1);
    EXPECT_EQ(ResizedMagnification(3, 10, 0), 3);
}

TEST(TextRules, FixedTextLabelAndEmptyOk)
{
    const QByteArray chineseAndLetter = CodePage::document().fromUnicode(QStringLiteral("文A"));
    ASSERT_EQ(chineseAndLetter.size(), 3);
    EXPECT_EQ(FixedTextLengthLabel(chineseAndLetter), QStringLiteral("2Byte"));
    EXPECT_EQ(FixedTextLengthLabel(QByteArray("\x80"
                                              "A",
                                       2),
                  QStringLiteral("字节")),
        QStringLiteral("2字节"))
        << "0x80 is a one-byte character";
    EXPECT_TRUE(OkLeavesTextUnchanged(true, QByteArray()));
    EXPECT_FALSE(OkLeavesTextUnchanged(false, QByteArray()));
    EXPECT_FALSE(OkLeavesTextUnchanged(true, "x"));
}

TEST(TextRules, PreviewTexts)
{
    EXPECT_EQ(WindowsFontPreviewText(), QStringLiteral("Text\r\nABCD5678"));
    EXPECT_EQ(WindowsFontPreviewText(QStringLiteral("文本")), QStringLiteral("文本\r\nABCD5678"));
    EXPECT_EQ(PrinterFontPreviewText(), QStringLiteral("AB12"));
    EXPECT_EQ(AlignmentSampleLines(1), QStringList({ QStringLiteral("文本字符"), QStringLiteral("abcd5678") }));
    EXPECT_EQ(AlignmentSampleLines(4).value(1), QStringLiteral("a b c d 5 6 7 8"));
}

TEST(TextRules, DialogValuesApplyInOneRender)
{
    TOAText t(QStringLiteral("Text1"));
    t.SetFontSizePt(10);
    TextDialogValues v = TextDialogValuesOf(t);
    v.Bold = true;
    v.Underline = true;
    v.FontName = QStringLiteral("Times New Roman");
    v.FontSizePt = 14;
    v.TextWidthRate = 80;
    v.TextAlign = 0;
    v.RoundText = 1;
    v.DragWidth = 160;
    v.DragHeight = 80;
    v.PrnFntZoomX = 12;
    v.VarType = 2;
    v.VarName = "riqi1";
    v.Text = "2024-01-01";
    ApplyTextDialogValues(t, v);
    EXPECT_TRUE(t.TextFont().has(TextFontStyle::Bold));
    EXPECT_TRUE(t.TextFont().has(TextFontStyle::Underline));
    EXPECT_FALSE(t.TextFont().has(TextFontStyle::Italic));
    EXPECT_EQ(t.TextFont().Name, QStringLiteral("Times New Roman"));
    EXPECT_EQ(t.FontSizePt(), 14);
    EXPECT_EQ(t.TextWidthRate(), 80);
    EXPECT_EQ(t.RoundText(), 1);
    EXPECT_EQ(t.PrnFntZoomX(), 8);
    EXPECT_EQ(t.VarName, QByteArray("riqi1"));
    EXPECT_EQ(t.Text(), QByteArray("2024-01-01"));
    EXPECT_FALSE(t.updatesBlocked());
    EXPECT_EQ(t.OrgBitmap.size(), QSize(160, 160)) << "rendered as a ring after the last value";
}
