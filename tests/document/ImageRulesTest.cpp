#include "document/ImageRules.h"
#include "document/OAImage.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace korvel;

TEST(ImageRulesTest, AdjustmentEntryCorrections)
{
    const std::vector<std::pair<const char*, const char*>> cases {
        { "12", "12" },
        { "-40", "-40" },
        { "-", "-" },
        { "abc", "0" },
        { "1.5", "0" },
        { "", "0" },
        { "256", "255" },
        { "-256", "-255" },
        { "99999999999", "255" },
        { " 5", "0" },
    };
    for (const auto& [typed, shown] : cases)
        EXPECT_EQ(CorrectImageEntry(QString::fromUtf8(typed)), QString::fromUtf8(shown)) << typed;
}

TEST(ImageRulesTest, SizeFields)
{
    EXPECT_DOUBLE_EQ(ImageSourceSizeMM(96), 25.4);
    EXPECT_DOUBLE_EQ(ImageSourceSizeMM(50), 13.229); // 13.2291...
    EXPECT_DOUBLE_EQ(ImageShownPercent(99.7), 100.0);
    EXPECT_DOUBLE_EQ(ImageShownPercent(99.69), 99.69);
    EXPECT_DOUBLE_EQ(ImageShownPercent(100.2), 100.2);
    EXPECT_DOUBLE_EQ(ImageSizeFieldMM(12345.0), 9999.0);
    EXPECT_DOUBLE_EQ(ImageSizeFieldMM(1.005), 1.0);

    ImageSizeFields f { 20.0, 10.0, 100, 100 };
    ImageWidthPercentChanged(f, 50, true, 20.0, 10.0);
    EXPECT_DOUBLE_EQ(f.widthMM, 10.0);
    EXPECT_DOUBLE_EQ(f.heightPercent, 50);
    EXPECT_DOUBLE_EQ(f.heightMM, 5.0);
    ImageHeightPercentChanged(f, 200, false, 20.0, 10.0);
    EXPECT_DOUBLE_EQ(f.heightMM, 20.0);
    EXPECT_DOUBLE_EQ(f.widthPercent, 50);

    EXPECT_EQ(ImageDragPixels(25.4, 100), 96);
    EXPECT_EQ(ImageDragPixels(10.0, 200), 76); // round(75.59)
    EXPECT_EQ(ImageBWFromChoice(2), 2);
    EXPECT_EQ(ImageBWFromChoice(7), 0);
}

TEST(ImageRulesTest, OkSetsDragOrMillimetreSize)
{
    QImage picture(40, 20, QImage::Format_BGR888);
    picture.fill(Qt::gray);
    TOAImage img;
    ASSERT_EQ(img.SetOrgPicture(picture), PictureError::None);
    img.setHeightWidthRatio(1);
    ApplyImageSize(img, 25.4, 12.7, true, 100);
    EXPECT_EQ(img.DragWidth(), 96);
    EXPECT_EQ(img.DragHeight(), 48);
    EXPECT_EQ(img.geometry().size(), QSize(96, 48));

    TOAImage free;
    ASSERT_EQ(free.SetOrgPicture(picture), PictureError::None);
    ApplyImageSize(free, 20.0, 30.0, false, 100);
    EXPECT_DOUBLE_EQ(free.AbsWidth(), 20.0);
    EXPECT_DOUBLE_EQ(free.AbsHeight(), 30.0);
    EXPECT_EQ(free.geometry().size(), QSize(76, 113));
}
