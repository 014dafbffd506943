#include "document/FontMapping.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <gtest/gtest.h>

using namespace korvel;

TEST(FontMapping, WindowsFacesMapToTheFreeFonts)
{
    struct Row {
        const char* face;
        const char* family;
    };
    const Row rows[] = {
        { "Arial", "Liberation Sans" },
        { "arial", "Liberation Sans" },
        { "Tahoma", "Liberation Sans" },
        { "Verdana", "Liberation Sans" },
        { "Times New Roman", "Liberation Serif" },
        { "Courier New", "Liberation Mono" },
        { "宋体", "WenQuanYi Micro Hei" },
        { "黑体", "WenQuanYi Micro Hei" },
        { "隶书", "WenQuanYi Micro Hei" },
        { "楷体_GB2312", "WenQuanYi Micro Hei" },
        { "仿宋_GB2312", "WenQuanYi Micro Hei" },
        { "微软雅黑", "WenQuanYi Micro Hei" },
        { "SimSun", "WenQuanYi Micro Hei" },
        { "@宋体", "WenQuanYi Micro Hei" },
        { "新宋体", "WenQuanYi Micro Hei Mono" },
        { "", "Liberation Sans" },
        { "No Such Face 123", "Liberation Sans" },
    };
    for (const Row& r : rows)
        EXPECT_EQ(mappedFamily(QString::fromUtf8(r.face)), QString::fromUtf8(r.family)) << r.face;
}

TEST(FontMapping, PinnedFontsAreLoadedAndResolve)
{
    EXPECT_GT(loadPinnedFonts(), 0);
    for (const char* face : { "Arial", "Times New Roman", "Courier New", "宋体" }) {
        const QFont font = mappedFont(QString::fromUtf8(face), 20);
        EXPECT_EQ(font.pixelSize(), 20);
        EXPECT_EQ(QFontInfo(font).family(), mappedFamily(QString::fromUtf8(face))) << face;
    }
    // Latin faces fall back to the Chinese family for the characters they lack.
    EXPECT_EQ(mappedFont(QStringLiteral("Arial"), 10).families().value(1), fallbackFamily());
    EXPECT_EQ(mappedFont(QStringLiteral("Arial"), 0).pixelSize(), 1);
}

TEST(FontMapping, InstalledFacesKeepTheirName)
{
    loadPinnedFonts();
    ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Liberation Mono")));
    EXPECT_EQ(mappedFamily(QStringLiteral("Liberation Mono")), QStringLiteral("Liberation Mono"));
}
