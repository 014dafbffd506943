#pragma once

// Helpers of the text, printer-font and data-path tests.

#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>

namespace korvel::test {

/// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value, bool set = true) : name_(name)
    {
        had_ = qEnvironmentVariableIsSet(name);
        previous_ = qgetenv(name);
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    QByteArray previous_;
    bool had_ = false;
};

inline QString textGoldenDir()
{
    QString base = sourceDir();
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/..");
    return base + QStringLiteral("/document/golden/text");
}

/// The shipped data folder: the build tree's copy, or data/ of the sources when the tests run
/// outside CTest.
inline QString shippedDataDir()
{
    const QString fromEnv = dataDir();
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../data");
}

/// Compares a one-bit picture with golden/text/<name>.png. A missing golden file is written
/// (and the test says so); an existing one must match pixel for pixel.
inline void ExpectMatchesTextGolden(const QImage& picture, const QString& name)
{
    ASSERT_FALSE(picture.isNull()) << name.toStdString();
    const QString path = textGoldenDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(textGoldenDir());
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

/// True when the pixel is dark (ink) in any picture format.
inline bool isInk(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

/// Number of dark pixels.
inline int inkCount(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += isInk(img, x, y) ? 1 : 0;
    return n;
}

} // namespace korvel::test
