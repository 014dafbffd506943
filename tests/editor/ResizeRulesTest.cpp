// Applying a resized band by the rules of each kind.
#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAHVLine.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/Units.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"
#include "editor/editing/ResizeRules.h"
#include "editor/editing/SurfaceEditor.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

TEST(ResizeRules, LinesFollowTheDraggedEndAndStraightLinesKeepTheirAxisAndTheCap)
{
    LabelDocument doc;
    TOperation history(doc);
    SurfaceEditor editor(doc, history);
    auto hv = std::make_unique<TOAHVLine>();
    hv->setStyle(lsTop);
    hv->setZoom(1.0);
    hv->setPoints({ 20, 40 }, { 120, 40 });
    TOAControl* line = doc.appendObject(std::move(hv));
    doc.setZoom(100);
    doc.selectOnly(line);

    // The end handle dragged down and far to the right: the line stays horizontal and stops
    // 490 mm after its start.
    editor.press(LineEnd(*line), {});
    editor.move(LineEnd(*line) + QPoint(5, 5));
    editor.release({ 5000, 90 });
    line = doc.object(0);
    EXPECT_EQ(LineStart(*line), QPoint(20, 40));
    EXPECT_EQ(LineEnd(*line).y(), 40);
    EXPECT_EQ(LineEnd(*line).x(), 20 + MMToPixels(LongestStraightLineMM, 1.0));
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(LineEnd(*doc.object(0)), QPoint(120, 40));

    auto free = std::make_unique<TOALine>();
    free->setZoom(1.0);
    free->setPoints({ 10, 10 }, { 60, 30 });
    TOAControl* diagonal = doc.appendObject(std::move(free));
    QPoint s, e;
    DraggedLineEnds(*diagonal, 1, { 0, 50 }, s, e);
    EXPECT_EQ(s, QPoint(0, 50));
    EXPECT_EQ(e, QPoint(60, 30));
}

TEST(ResizeRules, BandsAreDraggedByTheirSidesAndKeptAtFiveByFive)
{
    const QRect r(50, 60, 100, 40);
    EXPECT_EQ(ResizedBand(r, 1, { 40, 50 }), QRect(40, 50, 110, 50));
    EXPECT_EQ(ResizedBand(r, 2, { 0, 70 }), QRect(50, 70, 100, 30));
    EXPECT_EQ(ResizedBand(r, 5, { 170, 0 }), QRect(50, 60, 120, 40));
    EXPECT_EQ(ResizedBand(r, 7, { 0, 61 }), QRect(50, 60, 100, 1));
    EXPECT_EQ(AtLeastMinimum(QRect(50, 60, 100, 1)), QRect(50, 60, 100, 5));
}

TEST(ResizeRules, TextsTakeTheirDragBoxAndBarcodesTheirNarrowBar)
{
    TOAText text;
    text.setZoom(1.0);
    text.SetFontSizePt(12);
    text.SetText("Resize me");
    ApplyResizedBand(text, QRect(30, 40, 200, 50), 100, 203);
    // The render takes font size and width rate from the dragged box (and consumes DragText).
    EXPECT_EQ(text.LineDragWidth(), 200);
    EXPECT_EQ(text.DragText(), 0);
    EXPECT_NEAR(text.Width(), 200, 4) << text.Height();
    EXPECT_NEAR(text.Height(), 50, 6);
    EXPECT_EQ(text.geometry().topLeft(), QPoint(30, 40));

    TOABarCode bar;
    bar.setZoom(1.0);
    bar.SetBarCodeType(TBarCodeType::bcCode128);
    bar.SetText("KORVEL");
    bar.SetBarNarrow(2);
    bar.SetBarWide(4);
    const QRect before = bar.geometry();
    ApplyResizedBand(bar, QRect(10, 20, before.width() * 2, before.height()), 100, 203);
    EXPECT_EQ(bar.BarNarrow(), 4);
    EXPECT_EQ(bar.BarWide(), 8);
    EXPECT_EQ(bar.geometry().topLeft(), QPoint(10, 20));
    ApplyResizedBand(bar, QRect(10, 20, bar.Width() * 10, bar.Height()), 100, 203);
    EXPECT_EQ(bar.BarNarrow(), 8); // never beyond 8 dots
}

} // namespace
} // namespace korvel
