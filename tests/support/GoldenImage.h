#pragma once

// Golden one-bit pictures and ink measurements shared by the document and barcode tests.

#include <QImage>
#include <QRect>
#include <QString>

namespace korvel::test {

/// <test sources>/<folder>, e.g. "document/golden/text".
QString goldenDir(const QString& folder);

/// Compares a picture with <folder>/<name>.png below the test sources. A missing golden file is
/// written (and the test says so); an existing one must match pixel for pixel.
void ExpectMatchesGoldenPng(const QImage& picture, const QString& folder, const QString& name);

/// True when the pixel is dark (ink) in any picture format.
inline bool isInk(const QImage& img, int x, int y)
{
    return qGray(img.pixel(x, y)) < 128;
}

/// Number of dark pixels.
int inkCount(const QImage& img);

/// Bounding box of the ink inside `area` (the whole picture by default); null when none.
QRect inkBox(const QImage& img, QRect area = {});

} // namespace korvel::test
