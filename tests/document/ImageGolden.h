#pragma once

// Golden pictures of the image, shape and design-view tests: a missing golden file is written
// (and the test says so), an existing one must match pixel for pixel.

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>

namespace korvel::test {

inline QString shapesGoldenDir()
{
    QString base = sourceDir();
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/..");
    return base + QStringLiteral("/document/golden/shapes");
}

/// Compares a picture with golden/shapes/<name>.png; one-bit pictures are stored as one-bit PNGs.
inline void ExpectMatchesGolden(const QImage& picture, const QString& name)
{
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    const QString path = shapesGoldenDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(shapesGoldenDir());
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
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (differing++ == 0)
                    first = QPoint(x, y);
            }
    EXPECT_EQ(differing, 0) << name.toStdString() << ": first difference at " << first.x() << "," << first.y();
}

} // namespace korvel::test
