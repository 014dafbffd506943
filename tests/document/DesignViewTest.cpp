#include "document/DesignView.h"
#include "ImageGolden.h"
#include "document/LabelDocument.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OAInvertArea.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "document/Units.h"

#include <QPainter>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace korvel;

namespace {

QImage colourPicture()
{
    QImage img(24, 16, QImage::Format_BGR888);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            uchar* p = img.scanLine(y) + 3 * x;
            p[0] = static_cast<uchar>(x * 10);
            p[1] = static_cast<uchar>(y * 15);
            p[2] = static_cast<uchar>(255 - x * 10);
        }
    return img;
}

template <typename T> T* add(LabelDocument& doc, std::unique_ptr<T> o)
{
    T* raw = o.get();
    EXPECT_NE(doc.addObject(std::move(o)), nullptr);
    return raw;
}

// One object of every kind of this module on a 60 x 30 mm label at 200 %.
void fill(LabelDocument& doc)
{
    TPageRecord page = doc.page();
    page.LabelWidth = 600;
    page.LabelHeight = 300;
    doc.setPage(page);

    auto image = std::make_unique<TOAImage>();
    image->SetOrgPicture(colourPicture());
    image->setAbsLeft(2.0);
    image->setAbsTop(2.0);
    image->setAbsWidth(12.0);
    image->setAbsHeight(8.0);
    add(doc, std::move(image));

    auto line = std::make_unique<TOALine>();
    line->setMMLineWidth(0.5);
    line->setAbsStartX(16.0);
    line->setAbsStartY(2.0);
    line->setAbsEndX(30.0);
    line->setAbsEndY(10.0);
    add(doc, std::move(line));

    auto hv = std::make_unique<TOAHVLine>();
    hv->setStyle(lsTop);
    hv->setMMLineWidth(0.3);
    hv->setAbsStartX(2.0);
    hv->setAbsStartY(14.0);
    hv->setAbsEndX(30.0);
    hv->setAbsEndY(14.0);
    add(doc, std::move(hv));

    auto outline = std::make_unique<TOARectangle>();
    outline->setAbsLeft(34.0);
    outline->setAbsTop(2.0);
    outline->setAbsWidth(16.0);
    outline->setAbsHeight(10.0);
    add(doc, std::move(outline));

    auto filled = std::make_unique<TOARectangle>();
    filled->setAbsLeft(52.0);
    filled->setAbsTop(2.0);
    filled->setAbsWidth(10.0);
    filled->setAbsHeight(10.0);
    filled->setColor(QColor(0x20, 0x60, 0xC0));
    filled->setFill(1);
    add(doc, std::move(filled));

    auto ring = std::make_unique<TOAEllipse>();
    ring->setAbsLeft(34.0);
    ring->setAbsTop(16.0);
    ring->setAbsWidth(16.0);
    ring->setAbsHeight(10.0);
    add(doc, std::move(ring));

    auto disc = std::make_unique<TOAEllipse>();
    disc->setAbsLeft(52.0);
    disc->setAbsTop(16.0);
    disc->setAbsWidth(12.0);
    disc->setAbsHeight(10.0);
    disc->setColor(QColor(0xE0, 0x30, 0x30));
    disc->setFill(1);
    add(doc, std::move(disc));

    auto invert = std::make_unique<TOAInvertArea>();
    invert->setAbsLeft(26.0);
    invert->setAbsTop(6.0);
    invert->setAbsWidth(30.0);
    invert->setAbsHeight(4.0);
    // Created before the filled ellipse's neighbours on purpose: inverse areas still come last.
    add(doc, std::move(invert));
}

QPoint px(double xmm, double ymm)
{
    return QPoint(MMToPixels(xmm, 2.0), MMToPixels(ymm, 2.0));
}

} // namespace

TEST(DesignViewTest, EveryShapeKindTransparentMode)
{
    LabelDocument doc;
    fill(doc);
    ASSERT_EQ(doc.zoom(), 200);
    const QImage view = RenderDesignView(doc, 200, 0);
    // Label 60 x 30 mm: 227 x 113 pixels at 100 %, so 455 x 227 at 200 %; the filled ellipse
    // reaches 64 mm, beyond the label.
    ASSERT_EQ(view.width(), MMToPixels(52.0, 2.0) + MMToPixels(12.0, 2.0));
    EXPECT_EQ(view.height(), 227);
    EXPECT_EQ(view.pixel(view.width() - 1, 226), qRgb(0xC8, 0xC8, 0xC8)); // the surface
    EXPECT_EQ(view.pixel(454, 0), qRgb(255, 255, 255)); // last label column
    EXPECT_EQ(view.pixel(455, 0), qRgb(0xC8, 0xC8, 0xC8));

    // The inverse area turns white label black, and the filled rectangle's blue into its
    // complement.
    EXPECT_EQ(view.pixel(px(27.0, 9.0)), qRgb(0, 0, 0));
    EXPECT_EQ(view.pixel(px(54.0, 8.0)), qRgb(0xFF - 0x20, 0xFF - 0x60, 0xFF - 0xC0));
    EXPECT_EQ(view.pixel(px(54.0, 4.0)), qRgb(0x20, 0x60, 0xC0));
    // The filled ellipse is drawn directly in its colour; the outline one is ANDed, so the
    // label shows through inside it.
    EXPECT_EQ(view.pixel(px(58.0, 21.0)), qRgb(0xE0, 0x30, 0x30));
    EXPECT_EQ(view.pixel(px(42.0, 21.0)), qRgb(255, 255, 255));
    EXPECT_EQ(view.pixel(px(34.0, 21.0) + QPoint(1, 0)), qRgb(0, 0, 0));
    // The image is copied.
    EXPECT_NE(view.pixel(px(3.0, 3.0)), qRgb(255, 255, 255));
    test::ExpectMatchesGolden(view, QStringLiteral("design_view_transparent_200"));
}

TEST(DesignViewTest, XorModeAndOtherZoomLeaveTheDocumentAlone)
{
    LabelDocument doc;
    fill(doc);
    const QImage xorView = RenderDesignView(doc, 200, 1);
    // Black ink XORed onto white shows black; the filled ellipse is not-XORed with its colour.
    EXPECT_EQ(xorView.pixel(px(34.0, 21.0) + QPoint(1, 0)), qRgb(0, 0, 0));
    EXPECT_EQ(xorView.pixel(px(58.0, 21.0)), qRgb(0xE0, 0x30, 0x30));
    test::ExpectMatchesGolden(xorView, QStringLiteral("design_view_xor_200"));

    const QImage small = RenderDesignView(doc, 100, 0);
    EXPECT_EQ(small.height(), 114);
    for (const auto& o : doc.objects())
        EXPECT_DOUBLE_EQ(o->Zoom(), 2.0);
    EXPECT_TRUE(RenderDesignView(doc, 0, 0).isNull());
}

TEST(DesignViewTest, ThinStrokesSurviveTheExtraRow)
{
    // A one-pixel horizontal line's picture is two rows for a one-row control: painting must
    // keep the ink row.
    TOAHVLine l;
    l.setStyle(lsTop);
    l.setLineWidth(1);
    l.setPoints({ 2, 3 }, { 12, 3 });
    ASSERT_EQ(l.Height(), 1);
    ASSERT_EQ(l.DstBitmap().height(), 2);
    QImage canvas(20, 10, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    l.Paint(painter, 0);
    painter.end();
    for (int x = 2; x < 12; ++x)
        EXPECT_EQ(canvas.pixel(x, 3), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(canvas.pixel(12, 3), qRgb(255, 255, 255));
}

TEST(DesignViewTest, HostileGeometryNeitherCrashesNorAllocatesWildly)
{
    const double nan = std::nan("");
    LabelDocument doc;
    auto line = std::make_unique<TOALine>();
    line->setAbsStartX(nan);
    line->setAbsEndX(1e300);
    line->setAbsEndY(-1e300);
    line->setMMLineWidth(1e200);
    line->setZoom(3.0);
    line->setPoints({ std::numeric_limits<int>::min(), 0 }, { std::numeric_limits<int>::max(), 5 });
    EXPECT_TRUE(line->PrinterPicture(203).isNull() || line->PrinterPicture(203).width() <= MaxShapeSide);
    doc.addObject(std::move(line));

    auto rect = std::make_unique<TOARectangle>();
    rect->setVirBounds(
        std::numeric_limits<int>::max() - 5, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    EXPECT_TRUE(rect->Area().empty());
    rect->setAbsWidth(nan);
    rect->setLineWidth(-7);
    doc.addObject(std::move(rect));

    auto ellipse = std::make_unique<TOAEllipse>();
    ellipse->setAbsHeight(-1e308);
    ellipse->setMMLineWidth(nan);
    ellipse->setZoom(1e-300);
    EXPECT_TRUE(ellipse->PrinterPicture(300).isNull() || ellipse->PrinterPicture(300).height() >= 0);
    doc.addObject(std::move(ellipse));

    auto image = std::make_unique<TOAImage>();
    image->setAbsWidth(1e300);
    image->setDragWidth(std::numeric_limits<int>::max());
    image->setZoom(1e-300);
    EXPECT_EQ(image->PrinterPicture(203).width() <= MaxDerivedSide, true);
    doc.addObject(std::move(image));

    const QImage view = RenderDesignView(doc, 200, 0);
    EXPECT_EQ(view.width(), 5400); // the surface's scroll range at 200 %
    EXPECT_EQ(view.height(), 3400);
}

TEST(DesignViewTest, APictureDrawnOverInPlaceIsPaintedAnew)
{
    // The surface keeps each picture as prepared for painting; a picture changed in place
    // must be painted as it is now, in both drawing modes.
    LabelDocument doc;
    auto* r = add(doc, std::make_unique<TOARectangle>());
    r->setVirBounds(10, 10, 60, 40);
    const QPoint centre = r->geometry().center();
    for (int mode : {0, 1}) {
        EXPECT_EQ(RenderDesignView(doc, doc.zoom(), mode).pixel(centre), qRgb(255, 255, 255)) << mode;
    }
    QImage black = r->DstBitmap();
    black.fill(Qt::black);
    r->setDstBitmap(black);
    for (int mode : {0, 1}) {
        EXPECT_EQ(RenderDesignView(doc, doc.zoom(), mode).pixel(centre), qRgb(0, 0, 0)) << mode;
    }
}

// A still view of a label just read draws each picture as it paints it and can free it at
// once, so that it holds one object's picture at a time; the designer's view keeps them.
TEST(DesignViewTest, StillViewsFreeThePicturesTheyDraw)
{
    LabelDocument doc;
    {
        PictureDeferral asWhenRead;
        fill(doc);
    }
    const QImage kept = RenderDesignView(doc, 200, 0);
    int drawn = 0;
    for (const auto& o : doc.objects()) {
        drawn += o->pictureDue() ? 0 : 1;
        o->releasePicture();
    }
    EXPECT_GE(drawn, doc.objectCount() - 2); // filled ellipses and inverse areas paint without one
    EXPECT_EQ(RenderDesignView(doc, 200, 0, true), kept);
    int due = 0;
    for (const auto& o : doc.objects())
        due += o->pictureDue() ? 1 : 0;
    EXPECT_EQ(due, doc.objectCount());
    test::ExpectMatchesGolden(kept, QStringLiteral("design_view_transparent_200"));
}
