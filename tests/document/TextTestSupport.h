#pragma once

// Helpers of the text, printer-font and data-path tests.

#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "document/PrinterFontFile.h"

#include <cstdio>
#include <vector>

namespace korvel::test {

/// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value, bool set = true)
        : name_(name)
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

/// Hand-built glyph files for the reader and preview tests.
struct HandGlyph {
    int code;
    int ascent;
    int rows;
    int width;
    int advance; ///< -1: 6-byte header (the font's default advance)
    std::vector<unsigned char> bits;
};

struct HandFont {
    int number;
    int first;
    int advance;
    int cell;
    std::vector<HandGlyph> glyphs;
};

inline void put(QByteArray& file, qsizetype at, unsigned char v)
{
    if (file.size() <= at)
        file.resize(at + 1, '\0');
    file[at] = static_cast<char>(v);
}

/// Writes fonts in the glyph file's layout at their fixed offsets.
inline QByteArray buildGlyphFile(const std::vector<HandFont>& fonts)
{
    QByteArray file;
    for (const HandFont& f : fonts) {
        const qsizetype base = PrinterFontOffsets[static_cast<size_t>(f.number - 1)];
        put(file, base + 8, static_cast<unsigned char>(f.first));
        put(file, base + 10, static_cast<unsigned char>(f.advance));
        put(file, base + 11, static_cast<unsigned char>(f.cell));
        put(file, base + 15, 0);
        qsizetype at = PrinterFontHeaderSize + (PrinterFontCodeLimit - f.first) * PrinterFontIndexEntrySize;
        put(file, base + at - 1, 0);
        for (const HandGlyph& g : f.glyphs) {
            const qsizetype entry = base + PrinterFontHeaderSize + (g.code - f.first) * PrinterFontIndexEntrySize;
            put(file, entry, static_cast<unsigned char>(at & 0xFF));
            put(file, entry + 1, static_cast<unsigned char>(at >> 8));
            const bool shortHeader = g.advance < 0;
            put(file, base + at, static_cast<unsigned char>(g.code));
            put(file, base + at + 1, static_cast<unsigned char>(g.ascent));
            put(file, base + at + 2, shortHeader ? 6 : 8);
            put(file, base + at + 4, static_cast<unsigned char>(g.rows));
            put(file, base + at + 5, static_cast<unsigned char>(g.width));
            if (!shortHeader)
                put(file, base + at + 7, static_cast<unsigned char>(g.advance));
            at += shortHeader ? 6 : 8;
            for (unsigned char b : g.bits)
                put(file, base + at++, b);
        }
    }
    return file;
}

} // namespace korvel::test
