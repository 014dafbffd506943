#pragma once

// Helpers of the barcode object, text and golden tests: golden one-bit pictures of objects.

#include "support/GoldenImage.h"
#include "support/TestSupport.h"

namespace korvel::test {

/// Compares a one-bit picture with golden/object/<name>.png.
inline void ExpectMatchesObjectGolden(const QImage& picture, const QString& name)
{
    ExpectMatchesGoldenPng(picture, QStringLiteral("barcode/golden/object"), name);
}

} // namespace korvel::test
