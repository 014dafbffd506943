// Printer-resolution pictures of texts, compared with golden one-bit PNGs. The fonts are pinned
// by the font mapping, so the pictures are the same on every machine with the same font files.

#include "document/CodePage.h"
#include "document/OALabel.h"

#include "TextTestSupport.h"

#include <gtest/gtest.h>

using namespace korvel;
using namespace korvel::test;

namespace {

std::unique_ptr<TOAText> goldenText(const QString& text, int points)
{
    auto t = std::make_unique<TOAText>(QStringLiteral("Text1"));
    t->setUpdatesBlocked(true);
    t->SetFontSizePt(points);
    t->SetText(CodePage::document().fromUnicode(text));
    t->setUpdatesBlocked(false);
    return t;
}

} // namespace

TEST(TextGolden, SingleLineAt203)
{
    auto t = goldenText(QStringLiteral("Korvel 文本 123"), 12);
    const QImage printed = t->renderForPrinter();
    EXPECT_EQ(printed.format(), QImage::Format_Mono);
    ExpectMatchesTextGolden(printed, QStringLiteral("single_line_203"));
}

TEST(TextGolden, CentredParagraphTurnedAt300)
{
    auto t = goldenText(QStringLiteral("The quick brown fox jumps over the lazy dog"), 10);
    t->SetDragWidth(150);
    t->SetTextAlign(2);
    t->SetPrnDPI(300);
    t->setAngle(90);
    ExpectMatchesTextGolden(t->renderForPrinter(), QStringLiteral("paragraph_centre_90_300"));
}

TEST(TextGolden, RingTextAt203)
{
    auto t = goldenText(QStringLiteral("RING TEXT AROUND 文本 *"), 12);
    TTextFont font;
    font.set(TextFontStyle::Bold, true);
    t->SetTextFont(font);
    t->SetRoundText(1);
    t->SetDragWidth(200);
    ExpectMatchesTextGolden(t->renderForPrinter(), QStringLiteral("ring_203"));
}

TEST(TextGolden, PrinterFontTexts)
{
    ScopedEnv data("KORVEL_DATA", shippedDataDir().toUtf8());
    auto t = goldenText(QStringLiteral("AB12 Hello, World!"), 12);
    t->SetPrnFontIdx(3);
    t->SetPrnFntZoomX(2);
    t->SetUsePrnFont(1);
    ASSERT_EQ(t->renderError(), PrinterFontError::None);
    ExpectMatchesTextGolden(t->renderForPrinter(), QStringLiteral("printer_font_3_x2"));

    t->SetPrnFntZoomX(1);
    t->SetPrnFontIdx(11);
    t->SetInvert(true);
    t->setAngle(270);
    ExpectMatchesTextGolden(t->renderForPrinter(), QStringLiteral("printer_font_11_270_inverted"));
}
