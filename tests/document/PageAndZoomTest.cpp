#include "document/LabelDocument.h"
#include "document/PageRecord.h"
#include "document/Units.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(Units, ConversionsOfTheTable)
{
    EXPECT_EQ(TenthsToPixels(800), 302);    // 96 * 800 / 254 = 302.36
    EXPECT_EQ(PixelsToTenths(302), 799);    // 302 * 254 / 96 = 799.06
    EXPECT_EQ(MMToPixels(10.0, 2.0), 76);   // 96 * 200 / 254 = 75.59
    EXPECT_DOUBLE_EQ(PixelsToMM(10, 2.0), 1.323);
    EXPECT_EQ(ScaleByPPI(254, 96), 254);
}

TEST(Units, DotTablesAndTheirContinuation)
{
    const int to300[] = {2, 3, 4, 6, 7, 9, 10, 12, 13, 15, 16, 18, 19, 21, 23, 24};
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(Dots203To300(n), to300[n - 1]) << n;
    const int to203[] = {1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 8, 9, 9, 10, 11, 11, 12, 13, 13, 14, 15, 15, 16};
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(Dots300To203(n), to203[n - 1]) << n;
    // Outside the tables the resolution ratio continues them.
    EXPECT_EQ(Dots203To300(20), 30);
    EXPECT_EQ(Dots300To203(30), 20);
    EXPECT_EQ(ConvertDots(3, 1), 4);
    EXPECT_EQ(ConvertDots(4, 2), 3);
}

TEST(PageRecord, SixtyBytesWithTheReservedHeadKept)
{
    QByteArray bytes(60, '\0');
    for (int i = 0; i < 34; ++i)
        bytes[i] = static_cast<char>(i + 1);
    bytes[48] = 0x20;
    bytes[49] = 0x03; // LabelWidth 800
    TPageRecord p = TPageRecord::fromBytes(bytes);
    EXPECT_EQ(p.LabelWidth, 800);
    EXPECT_EQ(p.toBytes(), bytes);
    EXPECT_EQ(TPageRecord::fromBytes(QByteArray(10, '\x01')).LabelWidth, 0); // short input reads zeros
}

TEST(PageRecord, AutomaticPageSize)
{
    TPageRecord p;
    p.LabelWidth = 300;
    p.LabelColumn = 3;
    p.LabelSpace = 20;
    p.LabelHeight = 200;
    p.LabelRow = 2;
    p.LabelInterval = 30;
    p.PaperLeftMargin = 5;
    p.applyAutoSize();
    EXPECT_EQ(p.PaperWidth, 940);
    EXPECT_EQ(p.PaperHeight, 460);
    EXPECT_EQ(p.PaperLeftMargin, 0);

    // The page setup dialog caps the width at 110 mm; the last column then no longer fits.
    TPageRecord q;
    q.LabelWidth = 190;
    q.LabelColumn = 10;
    q.LabelHeight = 100;
    q.LabelRow = 1;
    q.applyAutoSize(1100);
    EXPECT_EQ(q.PaperWidth, 1100);
    EXPECT_TRUE(CellFits(q, 5, 1));
    EXPECT_FALSE(CellFits(q, 6, 1));
    EXPECT_FALSE(GridFits(q));
}

namespace {
struct ZoomCase {
    int fitted;
    bool in;
    int expected;
};
} // namespace

TEST(Zoom, StepFromAFittedZoomSnapsFirst)
{
    const ZoomCase cases[] = {
        {137, true, 200}, {137, false, 100}, {300, true, 400}, {300, false, 200}, {55, true, 100}, {599, false, 500},
    };
    for (const ZoomCase& c : cases) {
        LabelDocument doc;
        doc.setZoom(c.fitted);
        doc.FitMode = 1;
        c.in ? doc.zoomIn() : doc.zoomOut();
        EXPECT_EQ(doc.zoom(), c.expected) << c.fitted << (c.in ? " in" : " out");
        EXPECT_EQ(doc.FitMode, 0);
    }
}

TEST(Zoom, StepsStopAtTheEnds)
{
    LabelDocument doc;
    doc.FitMode = 0;
    doc.setZoom(600);
    EXPECT_FALSE(doc.canZoomIn());
    doc.zoomIn();
    EXPECT_EQ(doc.zoom(), 600);
    doc.setZoom(50);
    doc.zoomOut();
    EXPECT_EQ(doc.zoom(), 50);
}

TEST(Zoom, FitZoom)
{
    LabelDocument doc;
    TPageRecord p = doc.page();
    p.LabelWidth = 500; // 189 px
    p.LabelHeight = 300; // 113 px
    doc.setPage(p);
    ASSERT_TRUE(doc.fitZoom(400, 400));
    EXPECT_EQ(doc.zoom(), 211); // round(400 / 189 * 100 - 0.5) = 211
    EXPECT_EQ(doc.FitZoom, 211);
    EXPECT_TRUE(doc.fitZoom(10000, 10000));
    EXPECT_EQ(doc.zoom(), 600);
    EXPECT_TRUE(doc.fitZoom(10, 10));
    EXPECT_EQ(doc.zoom(), 50);

    p.LabelWidth = 1; // rounds to 0 px: zoom unchanged
    doc.setPage(p);
    EXPECT_FALSE(doc.fitZoom(400, 400));
    EXPECT_EQ(doc.zoom(), 50);
}
