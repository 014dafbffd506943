#pragma once

#include "document/PageRecord.h"
#include "document/Units.h"

#include <QRect>

namespace korvel {

class LabelDocument;
class TOAControl;

/// The conversions between the design surface, millimetres and printer dots that label
/// emission uses. All of them round to nearest with ties to even; values that are not numbers
/// or lie far outside any label give clamped results instead of undefined conversions (label
/// files are outside input).
struct DotScale {
    int dpi = 203; ///< printer dots per inch (203 or 300)
    int ppi = ScreenPPI; ///< screen pixels per inch
    int zoomPercent = 100; ///< the document's zoom

    /// A screen length at the document's zoom as pixels at 100 %: round(v × 100 / z).
    int px100(int v) const;
    /// Pixels at 100 % as dots: round(p × DPI / PPI).
    int dotsPx(int p) const;
    /// Millimetres as dots: round(DPI × m / 25.4).
    int dotsMm(double m) const;
    /// A line width in millimetres as dots: round(w × 8) at 203 dpi, round(w × 12) at 300 dpi;
    /// a width that comes out at 0 or below prints one dot.
    int dotsLine(double w) const;
    /// The offset of grid index k (1-based) for a size and gap in 0.1 mm:
    /// round((size + gap) × (k − 1) × DPI / 254).
    int gridOffset(int k, int size, int gap) const;

    static DotScale of(const LabelDocument& document, int ppi = ScreenPPI);
};

/// An object's control rectangle at 100 % zoom: px100 of left, top, width and height.
QRect RectAt100(const TOAControl& object, const DotScale& scale);

/// Whether a rectangle at 100 % lies on a label of lw × lh pixels (touching the right or bottom
/// edge counts as inside).
bool InsideLabel(const QRect& r, int lw, int lh);
/// The stricter test of inverse areas: touching the right or bottom edge counts as outside.
bool StrictlyInsideLabel(const QRect& r, int lw, int lh);

/// Rounds a printer value with ties to even, clamped to ±1 000 000 (0 for a value that is not
/// a number).
int DotRound(double v);

} // namespace korvel
