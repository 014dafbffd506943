// The editing model without a window: selection, the click cycle, moves, resizes and the
// undo history.
#include "EditorTestSupport.h"

#include "document/LabelDocument.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "editor/editing/ClickSelection.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"
#include "editor/editing/SurfaceEditor.h"
#include "persistence/LabelFile.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace korvel {
namespace {

struct Surface {
    LabelDocument doc;
    TOperation history { doc };
    SurfaceEditor editor { doc, history };

    TOAControl* box(ObjectKind kind, int l, int t, int w, int h)
    {
        return test::AddBox(doc, kind, l, t, w, h);
    }
    TOAControl* text(const QByteArray& content, int l, int t)
    {
        auto o = std::make_unique<TOAText>();
        TOAText* raw = static_cast<TOAText*>(doc.appendObject(std::move(o)));
        raw->setZoom(doc.zoom() / 100.0);
        raw->SetFontSizePt(12);
        raw->SetText(content);
        raw->SetVirLeft(l);
        raw->SetVirTop(t);
        doc.refreshContainment(raw);
        return raw;
    }
    void click(QPoint p, PressModifiers m = {})
    {
        editor.press(p, m);
        editor.release(p);
    }
    void drag(QPoint from, QPoint to, PressModifiers m = {})
    {
        editor.press(from, m);
        editor.move(from + QPoint(1, 0));
        editor.move(to);
        editor.release(to);
    }
};

TEST(ClickCycle, OverlappingObjectsCycleByDepthAndADragMovesTheObjectSelectedBeforeThePress)
{
    Surface s;
    TOAControl* outer = s.box(ObjectKind::InvertArea, 10, 10, 400, 100);
    TOAControl* inner = s.text("ABCDEFGH", 40, 40);
    const QPoint p = inner->geometry().center();
    ASSERT_GT(inner->Width(), 30) << inner->Height();
    ASSERT_GT(inner->Height(), 20);
    ASSERT_EQ(HitsAt(s.doc, p).size(), 2u);

    s.click(p);
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ inner }); // the deeper one first
    s.click(p);
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ outer });
    s.click(p);
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ inner });
    s.click(p);
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ outer });

    // The next press would cycle to the text, but dragging moves the area selected before it.
    const QPoint innerBefore = inner->geometry().topLeft();
    s.drag(p, p + QPoint(30, 0));
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ outer });
    EXPECT_EQ(outer->Left(), 40);
    EXPECT_EQ(inner->geometry().topLeft(), innerBefore);
}

TEST(ClickCycle, OutlineObjectsAreHitOnlyOnTheirOutline)
{
    Surface s;
    s.box(ObjectKind::Rectangle, 100, 100, 200, 100);
    EXPECT_TRUE(HitsAt(s.doc, { 200, 150 }).empty()); // inside, far from the sides
    EXPECT_EQ(HitsAt(s.doc, { 101, 150 }).size(), 1u);
}

TEST(Selection, ShiftCtrlBandAndSelectAll)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 10, 10, 20, 20);
    TOAControl* b = s.box(ObjectKind::InvertArea, 100, 10, 20, 20);
    TOAControl* c = s.box(ObjectKind::InvertArea, 200, 10, 20, 20);
    s.click({ 15, 15 });
    s.click({ 105, 15 }, { true, false });
    EXPECT_EQ(s.doc.selection(), (std::vector<TOAControl*>{ a, b }));
    s.click({ 105, 15 }, { true, false }); // Shift again takes it out
    s.click({ 105, 16 }, { true, false });
    EXPECT_EQ(s.doc.selection(), (std::vector<TOAControl*>{ a, b }));
    s.click({ 205, 15 }, { false, true }); // Ctrl selects only the one
    EXPECT_EQ(s.doc.selection(), std::vector<TOAControl*>{ c });
    s.click({ 500, 500 });
    EXPECT_TRUE(s.doc.selection().empty());

    // A band selects what lies wholly inside, edges included.
    s.drag({ 5, 5 }, { 120, 30 });
    EXPECT_EQ(s.doc.selection(), (std::vector<TOAControl*>{ a, b }));
    s.editor.selectAll();
    EXPECT_EQ(s.doc.selection().size(), 3u);
}

TEST(Move, StopsAtTheSurfaceEdgeAndIsOneUndoStepForTheGroup)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 20, 50, 20, 20);
    TOAControl* b = s.box(ObjectKind::InvertArea, 60, 30, 20, 20);
    TOAControl* c = s.box(ObjectKind::InvertArea, 100, 60, 20, 20);
    s.editor.selectAll();
    s.drag({ 25, 55 }, { -100, 55 });
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(b->Left(), 40);
    EXPECT_EQ(c->Left(), 80);
    s.drag({ 5, 55 }, { 5, -100 }); // up: b is the topmost
    EXPECT_EQ(b->Top(), 0);
    EXPECT_EQ(a->Top(), 20);

    EXPECT_EQ(s.history.undoGroups(), 2);
    ASSERT_TRUE(s.history.undo());
    ASSERT_TRUE(s.history.undo());
    EXPECT_EQ(a->geometry().topLeft(), QPoint(20, 50));
    EXPECT_EQ(b->geometry().topLeft(), QPoint(60, 30));
    EXPECT_EQ(c->geometry().topLeft(), QPoint(100, 60));
    EXPECT_TRUE(s.doc.selection().empty());
    ASSERT_TRUE(s.history.redo());
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(c->Left(), 80);
}

TEST(Move, KeyboardStepsAndRefusals)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 0, 40, 20, 20);
    s.doc.selectOnly(a);
    EXPECT_FALSE(s.editor.moveSelection(2, true)); // left at 0 mm is refused
    EXPECT_TRUE(s.editor.moveSelection(3, true));
    EXPECT_DOUBLE_EQ(PositionMM(*a).x(), 1.0);
    EXPECT_TRUE(s.editor.moveSelection(3, true, true)); // a held key joins the first step
    EXPECT_DOUBLE_EQ(PositionMM(*a).x(), 2.0);
    EXPECT_EQ(s.history.undoGroups(), 1);
    EXPECT_TRUE(s.editor.moveSelection(1, false)); // Ctrl + down: one pixel
    EXPECT_EQ(a->Top(), 41);
    s.history.undo();
    s.history.undo();
    EXPECT_DOUBLE_EQ(PositionMM(*a).x(), 0.0);
    EXPECT_EQ(a->Top(), 40);
}

TEST(Resize, BandBelowFiveByFiveBecomesFiveByFiveAndANewResizeClearsRedo)
{
    Surface s;
    TOAControl* r = s.box(ObjectKind::Rectangle, 50, 50, 100, 60);
    s.doc.selectOnly(r);
    // Handle 8 (bottom-right) dragged almost onto the top-left corner.
    const QPoint h8(50 + 100 - 5 + 2, 50 + 60 - 5 + 2);
    s.drag(h8, { 52, 51 });
    EXPECT_EQ(r->geometry(), QRect(50, 50, 5, 5));
    ASSERT_TRUE(s.history.undo());
    r = s.doc.object(0); // a changed object comes back as a new object of the same name
    EXPECT_EQ(r->Width(), 100);
    EXPECT_TRUE(s.history.canRedo());
    s.doc.selectOnly(r);
    s.drag(h8, { 180, 130 });
    EXPECT_FALSE(s.history.canRedo());
    EXPECT_EQ(s.doc.object(0)->geometry(), QRect(50, 50, 130, 80));
}

TEST(History, TwoHundredGroupsAtMostTheOldestGoesFirst)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 10, 10, 20, 20);
    s.doc.selectOnly(a);
    for (int i = 0; i < 201; ++i)
        ASSERT_TRUE(s.editor.moveSelection(1, false));
    EXPECT_EQ(s.history.undoGroups(), TOperation::GroupLimit);
    while (s.history.undo()) {
    }
    EXPECT_EQ(a->Top(), 11); // the first move can no longer be undone
}

TEST(History, LongTextsAndPicturesComeBackWhole)
{
    Surface s;
    QByteArray longText(1500, 'x');
    longText.replace(700, 4, "\r\nYZ");
    TOAControl* t = s.text(longText, 10, 10);
    const QString textName = t->Name;
    s.history.recordChanged({ t });
    static_cast<TOAText*>(t)->SetText("short");
    ASSERT_TRUE(s.history.undo());
    auto* restored = dynamic_cast<TOAText*>(s.doc.findByName(textName));
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->Text(), longText);

    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(Qt::white);
    for (int i = 0; i < 30; ++i)
        picture.setPixel(i, i, 0);
    auto image = std::make_unique<TOAImage>();
    ASSERT_EQ(image->SetOrgPicture(picture), PictureError::None);
    TOAControl* img = s.doc.addObject(std::move(image));
    const QByteArray bytes = static_cast<TOAImage*>(img)->OrgPicture();
    const QString name = img->Name;
    s.history.recordDeleted({ img });
    s.doc.removeObject(img);
    {
        // Another document opened in between holds its own pictures; ours stay ours.
        LabelDocument other;
        auto second = std::make_unique<TOAImage>();
        QImage black(10, 10, QImage::Format_RGB888);
        black.fill(Qt::black);
        second->SetOrgPicture(black);
        other.addObject(std::move(second));
    }
    ASSERT_TRUE(s.history.undo());
    auto* back = dynamic_cast<TOAImage*>(s.doc.findByName(name));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->OrgPicture(), bytes);
}

TEST(History, DeleteUndoRedoKeepsNamesAndListPositions)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 10, 10, 20, 20);
    TOAControl* b = s.box(ObjectKind::Rectangle, 50, 10, 20, 20);
    TOAControl* c = s.box(ObjectKind::Rectangle, 90, 10, 20, 20);
    const QString nb = b->Name;
    s.history.recordDeleted({ c, a });
    s.doc.removeObject(a);
    s.doc.removeObject(c);
    ASSERT_TRUE(s.history.undo());
    ASSERT_EQ(s.doc.objectCount(), 3);
    EXPECT_EQ(s.doc.object(1)->Name, nb);
    EXPECT_EQ(s.doc.object(0)->geometry(), QRect(10, 10, 20, 20));
    ASSERT_TRUE(s.history.redo());
    EXPECT_EQ(s.doc.objectCount(), 1);
    EXPECT_EQ(s.doc.object(0)->Name, nb);
}

TEST(History, UndoingBackToTheSavedStateLeavesTheDocumentUnmodified)
{
    Surface s;
    TOAControl* a = s.box(ObjectKind::InvertArea, 10, 10, 20, 20);
    s.history.markSaved();
    s.doc.selectOnly(a);
    s.editor.moveSelection(3, false);
    EXPECT_TRUE(s.doc.modified);
    s.history.undo();
    EXPECT_FALSE(s.doc.modified);
    s.history.redo();
    EXPECT_TRUE(s.doc.modified);
    s.history.markSaved();
    s.doc.modified = false;
    s.history.undo();
    EXPECT_TRUE(s.doc.modified);
    s.history.redo();
    EXPECT_FALSE(s.doc.modified);
    s.history.forgetSavedState(); // an edit the history does not hold
    s.history.undo();
    s.history.redo();
    EXPECT_TRUE(s.doc.modified);
}

TEST(History, EditsUndoneGiveTheBytesOfTheFileAsOpened)
{
    const QString path = QDir(test::dataDir()).filePath(QStringLiteral("Samples/Every-Kind.kvl"));
    LabelDocument doc;
    ASSERT_TRUE(ReadLabelFile(path, doc).opened());
    const QByteArray opened = WriteLabelBytes(doc, nullptr);
    ASSERT_FALSE(opened.isEmpty());
    TOperation history(doc);
    SurfaceEditor editor(doc, history);
    editor.selectAll();
    ASSERT_TRUE(editor.moveSelection(1, true));
    ASSERT_TRUE(editor.moveSelection(3, false));
    for (int i = 0; i < doc.objectCount(); ++i) {
        TOAControl* o = doc.object(i);
        doc.selectOnly(o);
        const QRect g = o->geometry();
        if (IsLineKind(*o))
            continue;
        editor.press(QPoint(g.left() + g.width() - 2, g.top() + g.height() - 2), {});
        editor.move(QPoint(g.left() + g.width() + 10, g.top() + g.height() + 7));
        editor.release(QPoint(g.left() + g.width() + 10, g.top() + g.height() + 7));
    }
    doc.selectOnly(doc.object(0));
    std::vector<TOAControl*> gone { doc.object(0) };
    history.recordDeleted(gone);
    doc.removeObject(gone.front());
    while (history.undo()) {
    }
    EXPECT_EQ(WriteLabelBytes(doc, nullptr), opened);
}

} // namespace
} // namespace korvel

#include "editor/editing/RulerScale.h"
#include "editor/editing/StatusTexts.h"

namespace korvel {
namespace {

TEST(SurfaceTexts, LanguageFormatsTakeNumbersAndNeverReadPastThem)
{
    EXPECT_EQ(FormatNumbers(QStringLiteral("%.2f, %.2f毫米"), { 1.5, 20 }), QStringLiteral("1.50, 20.00毫米"));
    EXPECT_EQ(FormatNumbers(QStringLiteral("%d%% %s"), { 7 }), QStringLiteral("7% %s"));
    EXPECT_EQ(FormatNumbers(QStringLiteral("%.1f %.1f %.1f"), { 1 }), QStringLiteral("1.0  "));
    EXPECT_EQ(FormatNumbers(QStringLiteral("100%"), {}), QStringLiteral("100%"));

    GestureStatus line;
    line.kind = ObjectKind::HVLine;
    line.line = true;
    line.positionMM = { 2, 3 };
    line.lengthMM = 12.5;
    const auto lookup = [](const char*, const char* key, const QString& fallback) {
        return QByteArray(key) == "haomi1" ? QStringLiteral("%.1fmm") : fallback;
    };
    const GestureStatusTexts t = StatusTextsOf(line, lookup);
    EXPECT_EQ(t.position, QStringLiteral("X,Y:2.00, 3.00"));
    EXPECT_EQ(t.size, QStringLiteral("12.5mm"));
}

TEST(SurfaceTexts, RulerTicksPerCentimetreFollowTheZoom)
{
    const auto at200 = RulerMarks(2.0, 0, 96 / 2.54 * 2.0 + 1);
    ASSERT_EQ(at200.size(), 11u); // 0 … 10 mm, ten ticks per centimetre
    EXPECT_EQ(at200[0].length, 15);
    EXPECT_EQ(at200[0].label, QStringLiteral("0"));
    EXPECT_EQ(at200[5].length, 9);
    EXPECT_EQ(at200[1].length, 6);
    EXPECT_EQ(at200[10].label, QStringLiteral("10"));
    EXPECT_EQ(RulerMarks(1.0, 0, 96 / 2.54 + 1).size(), 5u); // four below a zoom factor of 2

    const double cm = 96 / 2.54;
    const auto far = RulerMarks(1.0, 1000 * cm - 1, 1000 * cm + 1);
    ASSERT_FALSE(far.empty());
    EXPECT_EQ(far.front().label, QStringLiteral("10k"));
}

} // namespace
} // namespace korvel
