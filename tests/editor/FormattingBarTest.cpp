// The text formatting bar's model: enabling, showing a format and the commands.
#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "editor/editing/Operation.h"
#include "editor/formatting/FormattingBar.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

struct Bar {
    LabelDocument doc;
    TOperation history { doc };
    FormattingBar bar { doc, history };

    TOAText* text(int align = 1)
    {
        auto* t = static_cast<TOAText*>(doc.appendObject(std::make_unique<TOAText>()));
        t->SetText("abc");
        t->SetTextAlign(align);
        t->SetFontSizePt(12);
        return t;
    }
    void select(std::initializer_list<TOAControl*> objects)
    {
        doc.clearSelection();
        for (TOAControl* o : objects)
            doc.addToSelection(o);
        bar.refreshEnabling();
    }
};

TEST(FormattingBar, BoldTogglesTheWholeSelectionFromTheShownStateAndUndoesAsOneStep)
{
    Bar b;
    TOAText* first = b.text();
    TTextFont font = first->TextFont();
    font.set(TextFontStyle::Bold, true);
    first->SetTextFont(font);
    TOAText* second = b.text();
    TOAText* third = b.text();
    b.select({ first });
    b.bar.followSelection();
    EXPECT_TRUE(b.bar.state().pressed(FormatButton::Bold));
    b.select({ first, second, third });
    ASSERT_TRUE(b.bar.press(FormatButton::Bold));
    for (TOAText* t : { first, second, third })
        EXPECT_FALSE(t->TextFont().has(TextFontStyle::Bold));
    ASSERT_TRUE(b.bar.press(FormatButton::Bold));
    for (TOAText* t : { first, second, third })
        EXPECT_TRUE(t->TextFont().has(TextFontStyle::Bold));

    ASSERT_TRUE(b.bar.applyFontName(QStringLiteral("Courier New")));
    EXPECT_EQ(b.history.undoGroups(), 3);
    b.history.undo();
    for (const auto& o : b.doc.objects())
        EXPECT_EQ(static_cast<TOAText*>(o.get())->TextFont().Name, QStringLiteral("Arial"));
}

TEST(FormattingBar, SizeTextRules)
{
    Bar b;
    TOAText* t = b.text();
    b.select({ t });
    EXPECT_FALSE(b.bar.applyFontSize(QStringLiteral("300")));
    EXPECT_EQ(t->FontSizePt(), 12);
    EXPECT_FALSE(b.bar.applyFontSize(QStringLiteral("0")));
    EXPECT_EQ(b.bar.state().sizeText, QStringLiteral("8"));
    EXPECT_FALSE(b.bar.applyFontSize(QStringLiteral("-5"))); // never a negative size
    EXPECT_TRUE(b.bar.applyFontSize(QStringLiteral("24")));
    EXPECT_EQ(t->FontSizePt(), 24);
    EXPECT_FALSE(FormattingBar::IsWholeNumberText(QString()));
    EXPECT_FALSE(FormattingBar::IsWholeNumberText(QStringLiteral("1a")));
    EXPECT_TRUE(FormattingBar::IsWholeNumberText(QStringLiteral("-")));
    EXPECT_TRUE(FormattingBar::IsWholeNumberText(QStringLiteral("12")));
}

TEST(FormattingBar, EnablingFollowsTheKindsSelected)
{
    Bar b;
    TOAText* paragraph = b.text(1);
    TOAText* single = b.text(0);
    b.select({ paragraph });
    EXPECT_TRUE(b.bar.state().alignEnabled);
    b.select({ paragraph, single });
    EXPECT_TRUE(b.bar.state().boxesEnabled);
    EXPECT_FALSE(b.bar.state().alignEnabled);

    auto* code = static_cast<TOABarCode*>(b.doc.appendObject(std::make_unique<TOABarCode>()));
    code->SetShowText(true);
    code->SetUsePrnFont(1);
    b.select({ code });
    EXPECT_FALSE(b.bar.state().boxesEnabled); // a printer-font caption
    code->SetUsePrnFont(0);
    b.select({ code });
    EXPECT_TRUE(b.bar.state().alignEnabled);
    EXPECT_FALSE(b.bar.state().textOnlyEnabled);
    ASSERT_TRUE(b.bar.press(FormatButton::Right));
    EXPECT_EQ(code->LabelAlign(), TLabelAlignment::laRight);
    b.select({ code, paragraph });
    EXPECT_FALSE(b.bar.state().boxesEnabled);
    EXPECT_FALSE(b.bar.state().stylesEnabled);
}

} // namespace
} // namespace korvel
