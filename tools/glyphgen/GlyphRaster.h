#pragma once

#include <QFont>
#include <QString>

#include <vector>

namespace korvel::glyphgen {

/// The ink of one character, in pixels relative to the pen position on the baseline (y grows
/// downward, so rows above the baseline are negative).
struct Ink {
    int code = 0;
    int advance = 0;
    std::vector<std::pair<int, int>> pixels; ///< (x, y) of every black pixel

    bool empty() const { return pixels.empty(); }
    int top() const;
    int bottom() const;
    int right() const;
};

/// Draws one character with a font, without anti-aliasing and with full hinting, as a label
/// printer's own bitmap fonts look.
Ink renderInk(const QFont& font, int code, int advance);

/// A Liberation font from the system font folder at a pixel size and horizontal stretch.
QFont freeFont(const QString& family, bool bold, int pixelSize, int stretch = 100);

} // namespace korvel::glyphgen
