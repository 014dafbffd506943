// Arrange, rotate, delete, z-order, object creation and the clipboard stream, without a window.
#include "EditorTestSupport.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALabel.h"
#include "document/OARectangle.h"
#include "document/CodePage.h"
#include "editor/arrange/Arrange.h"
#include "editor/clipboard/ObjectClipboard.h"
#include "editor/creation/ObjectCreation.h"
#include "editor/editing/Operation.h"
#include "variables/VariableModel.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvel {
namespace {

struct Doc {
    LabelDocument doc;
    TOperation history { doc };

    Doc() { doc.setZoom(100); }

    TOAControl* box(int l, int t, int w, int h, ObjectKind kind = ObjectKind::Rectangle)
    {
        return test::AddBox(doc, kind, l, t, w, h);
    }
    TOAControl* text(const char* content, int l, int t)
    {
        auto* raw = static_cast<TOAText*>(doc.appendObject(std::make_unique<TOAText>()));
        raw->setZoom(doc.zoom() / 100.0);
        raw->SetText(content);
        raw->SetVirLeft(l);
        raw->SetVirTop(t);
        doc.refreshContainment(raw);
        return raw;
    }
    void select(std::initializer_list<TOAControl*> objects)
    {
        doc.clearSelection();
        for (TOAControl* o : objects)
            doc.addToSelection(o);
    }
    std::vector<QString> order() const
    {
        std::vector<QString> names;
        for (const auto& o : doc.objects())
            names.push_back(o->Name);
        return names;
    }
};

TEST(Arrange, AlignLeftMovesOnlyTheObjectsRightOfTheSmallestLeftAndUndoesAsOneStep)
{
    Doc d;
    TOAControl* text = d.text("ABC", 40, 10);
    TOAControl* other = d.box(25, 80, 60, 30);
    d.select({ text, other });
    ASSERT_TRUE(ArrangeSelection(d.doc, d.history, 0));
    EXPECT_EQ(text->Left(), 25);
    EXPECT_EQ(other->Left(), 25);
    EXPECT_EQ(d.history.undoGroups(), 1);
    ASSERT_TRUE(d.history.undo());
    EXPECT_EQ(d.doc.findByName(text->Name)->Left(), 40);
    EXPECT_FALSE(ArrangeSelection(d.doc, d.history, 0)); // undo left no selection
}

TEST(Arrange, EqualSpacingAndCentringFollowTheWorkedExamples)
{
    Doc d;
    TOAControl* a = d.box(0, 10, 20, 10);
    TOAControl* c = d.box(200, 10, 30, 10);
    TOAControl* b = d.box(50, 10, 20, 10);
    d.select({ a, c, b });
    ASSERT_TRUE(ArrangeSelection(d.doc, d.history, 6));
    EXPECT_EQ(a->Left(), 0);
    EXPECT_EQ(b->Left(), 100);
    EXPECT_EQ(c->Left(), 200);

    // Wider than the span: equal distances between the left edges instead.
    TOAControl* x = d.box(0, 100, 80, 10);
    TOAControl* y = d.box(10, 100, 80, 10);
    TOAControl* z = d.box(100, 100, 80, 10);
    d.select({ x, y, z });
    ASSERT_TRUE(ArrangeSelection(d.doc, d.history, 6));
    EXPECT_EQ(y->Left(), 50);

    d.select({ a, b });
    EXPECT_FALSE(ArrangeSelection(d.doc, d.history, 7)); // spacing needs three

    Doc one;
    TOAControl* o = one.box(7, 9, 100, 20);
    one.select({ o });
    ASSERT_TRUE(ArrangeSelection(one.doc, one.history, 8));
    EXPECT_EQ(o->Left(), (one.doc.pixels().labelWidth - 100) / 2);
    EXPECT_FALSE(ArrangeSelection(one.doc, one.history, 0)); // aligning needs two
}

TEST(Arrange, CentresAndEdgesOfCodesOneToFive)
{
    Doc d;
    TOAControl* top = d.box(100, 10, 40, 20); // topmost: centre x 120
    TOAControl* left = d.box(20, 50, 10, 30); // leftmost: centre y 65
    d.select({ top, left });
    ArrangeSelection(d.doc, d.history, 4);
    EXPECT_EQ(top->Top(), 55);
    ArrangeSelection(d.doc, d.history, 1); // the topmost is now the other one (centre x 25)
    EXPECT_EQ(top->Left(), 5);
    ArrangeSelection(d.doc, d.history, 5);
    EXPECT_EQ(top->Top() + top->Height(), left->Top() + left->Height());
}

TEST(Rotate, NearTheLeftEdgeIsPushedOntoTheSurfaceAndComesBackWhenTurnedBack)
{
    Doc d;
    auto image = std::make_unique<TOAImage>();
    image->setZoom(1.0);
    QImage tall(20, 100, QImage::Format_RGB888);
    tall.fill(Qt::black);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tall.save(&buffer, "PNG");
    image->setVirLeft(5);
    image->setVirTop(200);
    ASSERT_TRUE(LoadNewPicture(*image, png));
    TOAControl* o = InsertNewObject(d.doc, d.history, std::move(image));
    ASSERT_TRUE(o);
    const QRect before = o->geometry();
    ASSERT_GT(o->Height(), o->Width() + 12) << o->Width() << "x" << o->Height();
    RotationMemory memory;
    ASSERT_TRUE(RotateSelection(d.doc, d.history, memory, 90));
    EXPECT_EQ(o->Left(), 0);
    EXPECT_TRUE(memory.pushed);
    ASSERT_TRUE(RotateSelection(d.doc, d.history, memory, 270));
    EXPECT_EQ(o->Angle(), 0);
    EXPECT_EQ(o->geometry(), before);
    EXPECT_EQ(d.history.undoGroups(), 3); // the creation and the two turns
    d.history.undo();
    d.history.undo();
    EXPECT_EQ(d.doc.object(0)->geometry(), before);
}

TEST(Delete, RemovesTheSelectionInOneGroupAndSelectsTheLastObject)
{
    Doc d;
    TOAControl* a = d.box(0, 0, 10, 10);
    TOAControl* b = d.box(20, 0, 10, 10);
    TOAControl* c = d.box(40, 0, 10, 10);
    d.select({ a, c });
    const QString bName = b->Name;
    ASSERT_TRUE(DeleteSelection(d.doc, d.history));
    ASSERT_EQ(d.doc.objectCount(), 1);
    EXPECT_EQ(d.doc.selection(), std::vector<TOAControl*>{ b });
    d.history.undo();
    EXPECT_EQ(d.doc.objectCount(), 3);
    EXPECT_EQ(d.doc.object(1)->Name, bName); // back in their places
    d.history.redo();
    EXPECT_EQ(d.doc.objectCount(), 1);
}

TEST(ZOrder, MovesKeepInverseAreasOnTopAndUndoRestoresTheOrder)
{
    Doc d;
    TOAControl* a = d.box(0, 0, 10, 10);
    TOAControl* b = d.box(20, 0, 10, 10);
    d.box(40, 0, 10, 10, ObjectKind::InvertArea);
    TOAControl* c = d.box(60, 0, 10, 10);
    d.doc.bringInverseAreasToFront();
    const auto start = d.order();
    ASSERT_EQ(start, (std::vector<QString>{ "Rectangle1", "Rectangle2", "Rectangle3", "InvertArea1" }));
    d.select({ a });
    ASSERT_TRUE(ChangeZOrder(d.doc, d.history, ZOrderMove::BringToFront));
    EXPECT_EQ(d.order(), (std::vector<QString>{ "Rectangle2", "Rectangle3", "Rectangle1", "InvertArea1" }));
    EXPECT_FALSE(ChangeZOrder(d.doc, d.history, ZOrderMove::Raise)); // the area stays on top
    d.select({ c });
    ASSERT_TRUE(ChangeZOrder(d.doc, d.history, ZOrderMove::SendToBack));
    EXPECT_EQ(d.order(), (std::vector<QString>{ "Rectangle3", "Rectangle2", "Rectangle1", "InvertArea1" }));
    d.select({ b });
    ASSERT_TRUE(ChangeZOrder(d.doc, d.history, ZOrderMove::Lower));
    EXPECT_EQ(d.order(), (std::vector<QString>{ "Rectangle2", "Rectangle3", "Rectangle1", "InvertArea1" }));
    d.history.undo();
    d.history.undo();
    d.history.undo();
    EXPECT_EQ(d.order(), start);
    d.history.redo();
    d.history.redo();
    EXPECT_EQ(d.order(), (std::vector<QString>{ "Rectangle3", "Rectangle2", "Rectangle1", "InvertArea1" }));
}

TEST(Creation, DefaultsAndRefusals)
{
    Doc d;
    CreationSettings english { true, QStringLiteral("Courier New") };
    auto text = PrepareNewObject(d.doc, 1, { { 30, 40 }, { 90, 70 } }, english);
    ASSERT_TRUE(text);
    auto* t = static_cast<TOAText*>(text.get());
    EXPECT_EQ(t->Text(), QByteArray("Text"));
    EXPECT_EQ(t->TextFontSize(), 12);
    EXPECT_EQ(t->TextFont().Name, QStringLiteral("Courier New"));
    EXPECT_TRUE(t->TextFont().has(TextFontStyle::Bold));
    EXPECT_EQ(t->TextAlign(), 0);
    EXPECT_EQ(t->Left(), 30);
    auto chinese = PrepareNewObject(d.doc, 1, { { 30, 40 }, { 90, 70 } }, CreationSettings {});
    auto* c = static_cast<TOAText*>(chinese.get());
    EXPECT_EQ(CodePage::document().toUnicode(c->Text()), QStringLiteral("文本字符"));
    EXPECT_EQ(c->TextFontSize(), 16);

    EXPECT_FALSE(PrepareNewObject(d.doc, 5, { { 30, 40 }, { 30, 70 } }, {})); // no width
    EXPECT_FALSE(PrepareNewObject(d.doc, 8, { { 30, 40 }, { 60, 40 } }, {})); // no height
    EXPECT_FALSE(PrepareNewObject(d.doc, 4, { { 30, 40 }, { 30, 40 } }, {})); // a point
    auto rect = PrepareNewObject(d.doc, 5, { { 90, 70 }, { 30, 40 } }, {});
    ASSERT_TRUE(rect);
    auto* box = static_cast<TOABoxShape*>(rect.get());
    EXPECT_EQ(QRect(box->VirLeft(), box->VirTop(), box->VirWidth(), box->VirHeight()), QRect(30, 40, 60, 30));
    auto vertical = PrepareNewObject(d.doc, 7, { { 30, 40 }, { 30, 90 } }, {});
    EXPECT_EQ(static_cast<TOAHVLine*>(vertical.get())->Style(), 0);
    auto horizontal = PrepareNewObject(d.doc, 7, { { 30, 40 }, { 80, 41 } }, {});
    EXPECT_EQ(static_cast<TOAHVLine*>(horizontal.get())->Style(), 2);

    TOAControl* added = InsertNewObject(d.doc, d.history, std::move(rect));
    ASSERT_TRUE(added);
    EXPECT_EQ(d.doc.selection(), std::vector<TOAControl*>{ added });
    EXPECT_EQ(d.history.nextUndo(), OperationCode::Created);
    d.history.undo();
    EXPECT_EQ(d.doc.objectCount(), 0);
    d.history.redo();
    EXPECT_EQ(d.doc.objectCount(), 1);

    while (d.doc.objectCount() < LabelDocument::MaxObjects)
        d.box(0, 0, 5, 5);
    EXPECT_FALSE(PrepareNewObject(d.doc, 5, { { 0, 0 }, { 10, 10 } }, {})); // the 201st
}

TEST(Creation, ToolModeAxisLockAndFontWriteBack)
{
    ToolMode mode;
    mode.click(5, 1000);
    EXPECT_FALSE(mode.repeating());
    EXPECT_EQ(mode.afterCreation(false), 5); // a refused band keeps the tool
    EXPECT_EQ(mode.afterCreation(true), 0); // one-shot: back to the arrow
    mode.click(5, 2000);
    mode.click(5, 2250);
    EXPECT_TRUE(mode.repeating());
    EXPECT_EQ(mode.afterCreation(true), 5);
    EXPECT_EQ(mode.afterCreation(true), 5);
    mode.click(5, 2600);
    EXPECT_FALSE(mode.repeating());

    AxisLock lock({ 100, 100 });
    EXPECT_EQ(lock.end({ 104, 104 }), QPoint(104, 104)); // 4 diagonally: not yet locked
    EXPECT_EQ(lock.axis(), AxisLock::Axis::None);
    EXPECT_EQ(lock.end({ 106, 102 }), QPoint(106, 100));
    EXPECT_EQ(lock.axis(), AxisLock::Axis::Horizontal);
    EXPECT_EQ(lock.end({ 108, 112 }), QPoint(100, 112)); // switches when the other axis leads
    EXPECT_EQ(lock.axis(), AxisLock::Axis::Vertical);

    QTemporaryDir dir;
    ASSERT_TRUE(RememberTextFont(dir.path(), QStringLiteral("Courier New")));
    QFile ini(dir.filePath(QStringLiteral("Printer.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray content = ini.readAll();
    EXPECT_TRUE(content.contains("[winfont]")) << content.constData();
    EXPECT_TRUE(content.contains("fontname=Courier New")) << content.constData();
}

TEST(Clipboard, ThreePastesOffsetBy16PixelsEachAndOneUndoGroupPerPaste)
{
    Doc source;
    TOAControl* text = source.text("Hello", 40, 50);
    source.select({ text });
    PasteState sourceState;
    sourceState.noteCopy(source.doc.selection());
    const QByteArray stream = WriteObjectStream(source.doc.selection());
    ASSERT_EQ(stream.left(4), QByteArray("TPF0"));
    ASSERT_EQ(stream.back(), '\0');

    for (int i = 1; i <= 3; ++i) {
        const auto pasted = PasteObjectStream(source.doc, source.history, sourceState, stream);
        ASSERT_EQ(pasted.size(), 1u);
        EXPECT_EQ(pasted[0]->geometry().topLeft(), QPoint(40 + 16 * i, 50 + 16 * i));
        EXPECT_EQ(pasted[0]->Name, QStringLiteral("Text%1").arg(i + 1)); // Text1 is taken
    }
    EXPECT_EQ(source.history.undoGroups(), 3);
    source.history.undo();
    EXPECT_EQ(source.doc.objectCount(), 3);
    EXPECT_EQ(CodePage::document().toUnicode(static_cast<TOAText*>(source.doc.object(2))->Text()), QStringLiteral("Hello"));

    // A window that never copied pastes 16 pixels off.
    Doc target;
    target.box(0, 0, 10, 10);
    PasteState fresh;
    const auto pasted = PasteObjectStream(target.doc, target.history, fresh, stream);
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(pasted[0]->Name, QStringLiteral("Text1"));
    EXPECT_EQ(pasted[0]->geometry().topLeft(), QPoint(56, 66));
}

TEST(Clipboard, NameClashesBindingsResolutionAndTheObjectLimit)
{
    Doc source;
    auto barcode = std::make_unique<TOABarCode>();
    TOAControl* code = source.doc.addObject(std::move(barcode));
    AddVariable(source.doc, VariableKind::Counter);
    const QByteArray counter = EntryName(source.doc.variables, VariableKind::Counter, 1);
    ASSERT_FALSE(counter.isEmpty());
    TOAControl* bound = source.text("x", 10, 100);
    ChooseContentSource(*bound, VariableKind::Counter, counter);
    source.select({ code, bound });
    const QByteArray stream = WriteObjectStream(source.doc.selection());
    const QString text = SelectionPlainText(source.doc.selection());
    EXPECT_TRUE(text.endsWith(QStringLiteral("x"))) << text.toStdString();
    EXPECT_FALSE(SelectionPicture(source.doc, source.doc.selection()).isNull());

    Doc target;
    target.doc.printer.DPI = 1; // 300 dpi
    auto own = std::make_unique<TOABarCode>();
    target.doc.addObject(std::move(own));
    PasteState state;
    const auto pasted = PasteObjectStream(target.doc, target.history, state, stream);
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[0]->Name, QStringLiteral("BarCode2"));
    auto* pastedCode = static_cast<TOABarCode*>(pasted[0]);
    EXPECT_EQ(pastedCode->PrnDPI(), 300);
    EXPECT_EQ(pastedCode->CopyFlag(), 1);
    EXPECT_TRUE(pasted[1]->VarName.isEmpty()); // the target has no counter
    EXPECT_EQ(pasted[1]->VarType, 0);
    EXPECT_EQ(target.doc.selection(), pasted);
    EXPECT_EQ(target.history.undoGroups(), 1);
    target.history.undo();
    EXPECT_EQ(target.doc.objectCount(), 1);

    // A source that keeps the counter keeps the binding.
    PasteState again;
    const auto same = PasteObjectStream(source.doc, source.history, again, stream);
    ASSERT_EQ(same.size(), 2u);
    EXPECT_EQ(same[1]->VarName, counter);

    Doc full;
    while (full.doc.objectCount() < LabelDocument::MaxObjects - 1)
        full.box(0, 0, 5, 5);
    QString error;
    EXPECT_TRUE(PasteObjectStream(full.doc, full.history, again, stream, &error).empty());
    EXPECT_FALSE(error.isEmpty());

    std::vector<StreamObject> read;
    EXPECT_FALSE(ReadObjectStream(stream.left(stream.size() / 2), read, &error));
    EXPECT_FALSE(ReadObjectStream(QByteArray("junk"), read, &error));
}

} // namespace
} // namespace korvel
