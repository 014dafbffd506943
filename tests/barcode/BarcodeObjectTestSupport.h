#pragma once

// Helpers of the barcode object, text and golden tests: the shipped data folder (for the glyph
// file), an environment override for one test, ink boxes, and golden one-bit pictures.

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>

namespace korvel::test {

/// Sets (or unsets) an environment variable for the lifetime of the object.
class ScopedBarcodeEnv {
public:
    ScopedBarcodeEnv(const char* name, const QByteArray& value, bool set = true)
        : name_(name)
    {
        had_ = qEnvironmentVariableIsSet(name);
        previous_ = qgetenv(name);
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedBarcodeEnv()
    {
        if (had_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }
    ScopedBarcodeEnv(const ScopedBarcodeEnv&) = delete;
    ScopedBarcodeEnv& operator=(const ScopedBarcodeEnv&) = delete;

private:
    const char* name_;
    QByteArray previous_;
    bool had_ = false;
};

/// The shipped data folder: the build tree's copy, or data/ of the sources outside CTest.
inline QString barcodeDataDir()
{
    const QString fromEnv = dataDir();
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../data");
}

inline bool inkAt(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

/// Bounding box of the ink inside `area` (the whole picture by default); null when none.
inline QRect inkBox(const QImage& img, QRect area = {})
{
    if (area.isNull())
        area = img.rect();
    area &= img.rect();
    int x0 = area.right() + 1, y0 = area.bottom() + 1, x1 = -1, y1 = -1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (inkAt(img, x, y)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return {};
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

inline QString objectGoldenDir()
{
    QString base = sourceDir();
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/..");
    return base + QStringLiteral("/barcode/golden/object");
}

/// Compares a one-bit picture with golden/object/<name>.png. A missing golden file is written
/// (and the test says so); an existing one must match pixel for pixel.
inline void ExpectMatchesObjectGolden(const QImage& picture, const QString& name)
{
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    const QString path = objectGoldenDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(objectGoldenDir());
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

} // namespace korvel::test
