#pragma once

// Golden pictures of the image, shape and design-view tests.

#include "support/GoldenImage.h"
#include "support/TestSupport.h"

namespace korvel::test {

/// Compares a picture with golden/shapes/<name>.png; one-bit pictures are stored as one-bit PNGs.
inline void ExpectMatchesGolden(const QImage& picture, const QString& name)
{
    ExpectMatchesGoldenPng(picture, QStringLiteral("document/golden/shapes"), name);
}

} // namespace korvel::test
