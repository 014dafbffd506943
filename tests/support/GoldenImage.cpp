#include "support/GoldenImage.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace korvel::test {

QString goldenDir(const QString& folder)
{
    QString base = sourceDir();
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/..");
    return base + QLatin1Char('/') + folder;
}

void ExpectMatchesGoldenPng(const QImage& picture, const QString& folder, const QString& name)
{
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    const QString dir = goldenDir(folder);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(dir);
        ASSERT_TRUE(picture.save(path, "PNG")) << path.toStdString();
        std::printf("[ golden   ] generated %s\n", path.toLocal8Bit().constData());
        return;
    }
    const QImage golden(path);
    ASSERT_FALSE(golden.isNull()) << path.toStdString();
    ASSERT_EQ(golden.size(), picture.size()) << name.toStdString();
    const QImage a = golden.convertToFormat(QImage::Format_RGB32);
    const QImage b = picture.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << name.toStdString() << ": first difference at " << first.x() << "," << first.y();
}

int inkCount(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += isInk(img, x, y) ? 1 : 0;
    return n;
}

QRect inkBox(const QImage& img, QRect area)
{
    if (area.isNull())
        area = img.rect();
    area &= img.rect();
    int x0 = area.right() + 1, y0 = area.bottom() + 1, x1 = -1, y1 = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(img, x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return {};
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

} // namespace korvel::test
