#include "document/LabelDocument.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

/// A bare object of any kind with a fixed rectangle.
class Box : public TOAControl {
public:
    Box(ObjectKind kind, int x, int y, int w, int h) : TOAControl(kind) { setBounds(x, y, w, h); }
    std::unique_ptr<TOAControl> clone() const override { return std::make_unique<Box>(*this); }
    void Rotate90() override { ++turns; }
    void ConvertResolution(int, int direction) override { lastDirection = direction; }
    int turns = 0;
    int lastDirection = 0;
};

TOAControl* add(LabelDocument& doc, ObjectKind kind, int x, int y, int w, int h)
{
    return doc.addObject(std::make_unique<Box>(kind, x, y, w, h));
}

const LabObjRec& entryOf(const LabelDocument& doc, const TOAControl* o)
{
    for (const LabObjRec& e : doc.containment())
        if (e.control == o)
            return e;
    throw std::logic_error("no entry");
}

} // namespace

TEST(Document, NamesTakeTheSmallestFreeNumber)
{
    LabelDocument doc;
    TOAControl* t1 = add(doc, ObjectKind::Text, 0, 0, 10, 10);
    TOAControl* t2 = add(doc, ObjectKind::Text, 0, 0, 10, 10);
    TOAControl* b1 = add(doc, ObjectKind::BarCode, 0, 0, 10, 10);
    EXPECT_EQ(t1->Name, "Text1");
    EXPECT_EQ(t2->Name, "Text2");
    EXPECT_EQ(b1->Name, "BarCode1");
    doc.removeObject(t1);
    EXPECT_EQ(add(doc, ObjectKind::Text, 0, 0, 1, 1)->Name, "Text1");
    EXPECT_TRUE(doc.modified);
}

TEST(Document, TwoHundredObjectsAtMost)
{
    LabelDocument doc;
    for (int i = 0; i < LabelDocument::MaxObjects; ++i)
        ASSERT_NE(add(doc, ObjectKind::Line, i, 0, 1, 1), nullptr);
    EXPECT_EQ(add(doc, ObjectKind::Line, 0, 0, 1, 1), nullptr);
    EXPECT_EQ(doc.objectCount(), 200);
}

TEST(Document, AddingSelectsOnlyTheNewObjectAndInverseAreasStayInFront)
{
    LabelDocument doc;
    TOAControl* inv = add(doc, ObjectKind::InvertArea, 0, 0, 50, 50);
    TOAControl* text = add(doc, ObjectKind::Text, 0, 0, 10, 10);
    ASSERT_EQ(doc.selection().size(), 1u);
    EXPECT_EQ(doc.selection()[0], text);
    EXPECT_EQ(doc.object(doc.objectCount() - 1), inv);
    EXPECT_DOUBLE_EQ(doc.object(0)->Zoom(), 2.0);
}

TEST(Document, ContainmentOrdersInnermostFirst)
{
    LabelDocument doc;
    TOAControl* barcode = add(doc, ObjectKind::BarCode, 10, 10, 100, 50);
    TOAControl* text = add(doc, ObjectKind::Text, 20, 20, 30, 10);
    TOAControl* rect = add(doc, ObjectKind::Rectangle, 0, 0, 200, 200);
    EXPECT_EQ(entryOf(doc, text).depth, 1);
    EXPECT_EQ(doc.containment().front().control, text);
    // Outline kinds contain nothing.
    EXPECT_EQ(entryOf(doc, barcode).depth, 0);
    EXPECT_EQ(entryOf(doc, rect).inner.size(), 0u);
    EXPECT_EQ(doc.hitTest(QPoint(25, 25)), text);
    EXPECT_EQ(doc.hitTest(QPoint(90, 50)), barcode);

    // Removing the container lowers the depth of what it held and frees its number.
    const int number = entryOf(doc, barcode).number;
    doc.removeObject(barcode);
    EXPECT_EQ(entryOf(doc, text).depth, 0);
    EXPECT_TRUE(entryOf(doc, text).outer.empty());
    TOAControl* again = add(doc, ObjectKind::Image, 500, 500, 5, 5);
    EXPECT_EQ(entryOf(doc, again).number, number);
}

TEST(Document, InclusiveEdgesCountAsInside)
{
    LabelDocument doc;
    TOAControl* outer = add(doc, ObjectKind::Image, 0, 0, 10, 10);
    TOAControl* same = add(doc, ObjectKind::Text, 0, 0, 10, 10);
    EXPECT_EQ(entryOf(doc, same).depth, 1);
    EXPECT_EQ(entryOf(doc, outer).depth, 1);
}

TEST(Document, VirReadPrSetsFlagBytes)
{
    Box b(ObjectKind::Text, 0, 0, 1, 1);
    b.setVirReadPr(7);
    EXPECT_EQ(b.flags[0], 7);
    b.setVirReadPr(43);
    EXPECT_EQ(b.flags[4], 3);
    b.setVirReadPr(51);
    b.setVirReadPr(-1);
    EXPECT_EQ(b.flags, (std::array<std::uint8_t, 5>{7, 0, 0, 0, 3}));
}

TEST(Document, AngleChangesTurnByQuarterTurns)
{
    Box b(ObjectKind::Text, 0, 0, 1, 1);
    b.setAngle(270);
    EXPECT_EQ(b.turns, 3);
    b.setAngle(0);
    EXPECT_EQ(b.turns, 4);
    b.setAngle(90);
    EXPECT_EQ(b.turns, 5);
}

TEST(Document, ResolutionConversionReachesEveryObject)
{
    LabelDocument doc;
    auto* a = static_cast<Box*>(add(doc, ObjectKind::Text, 0, 0, 1, 1));
    auto* b = static_cast<Box*>(add(doc, ObjectKind::BarCode, 0, 0, 1, 1));
    doc.convertResolution(1, 1);
    EXPECT_EQ(a->lastDirection, 1);
    EXPECT_EQ(b->lastDirection, 1);
}
