// The stored bar height reaches the zoom base whatever the default it meets, so the design view
// shows the bars at the scaled height at every zoom.

#include "barcode/OABarCode.h"
#include "document/DesignView.h"
#include "document/LabelDocument.h"
#include "document/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace korvel;

namespace {

/// The longest run of dark pixels down any column of the picture.
int LongestDarkRun(const QImage& picture)
{
    int longest = 0;
    for (int x = 0; x < picture.width(); ++x) {
        int run = 0;
        for (int y = 0; y < picture.height(); ++y) {
            run = qGray(picture.pixel(x, y)) < 128 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

} // namespace

TEST(BarHeightZoom, StoredHeightScalesWithTheDesignZoom)
{
    for (const int stored : { 39, 40, 41 }) {
        for (const int zoom : { 50, 100, 200, 400 }) {
            SCOPED_TRACE(testing::Message() << "BarHeight " << stored << " at " << zoom << " %");
            // As a label file is read: a fresh object at zoom 1 takes the stored height.
            auto bar = std::make_unique<TOABarCode>();
            bar->SetBarCodeType(TBarCodeType::bcCode128);
            bar->SetText("KORVEL");
            bar->SetShowText(false);
            bar->SetBarHeight(stored);
            EXPECT_EQ(bar->OrgBarHeight(), stored);

            LabelDocument doc;
            doc.setZoom(100);
            bar->SetVirLeft(10);
            bar->SetVirTop(10);
            doc.appendObject(std::move(bar));
            const QImage view = RenderDesignView(doc, zoom, 0);
            ASSERT_FALSE(view.isNull());
            // Dots at the zoom, drawn at the screen's 96 pixels per inch.
            const double expected = std::round(stored * zoom / 100.0) * 96.0 / 203.0;
            EXPECT_NEAR(LongestDarkRun(view), expected, 1.5);
        }
    }
}

TEST(BarHeightZoom, EqualHeightAtAnotherZoomKeepsItsBase)
{
    auto bar = std::make_unique<TOABarCode>();
    bar->SetBarCodeType(TBarCodeType::bcCode39);
    bar->SetText("123");
    bar->setZoom(2.0);
    bar->SetBarHeight(80);
    EXPECT_EQ(bar->BarHeight(), 80);
    EXPECT_EQ(bar->OrgBarHeight(), 40);
    bar->SetBarHeight(80);
    EXPECT_EQ(bar->OrgBarHeight(), 40);
}
