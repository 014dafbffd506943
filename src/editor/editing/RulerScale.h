#pragma once

#include <QString>

#include <vector>

namespace korvel {

/// Thickness of a ruler in pixels.
inline constexpr int RulerThickness = 16;

/// One tick of a millimetre ruler.
struct RulerMark {
    double position = 0; ///< surface pixels from the label's origin
    int length = 0; ///< pixels across the ruler
    QString label; ///< millimetres at every centimetre, "12k" from 10000 on; empty elsewhere
};

/// The ticks of a millimetre ruler between two surface positions at a zoom factor: 10 per
/// centimetre from a zoom factor of 2 on, 4 below; a centimetre tick spans the thickness less
/// one, a half-centimetre tick 3/5 of it, the others 2/5.
std::vector<RulerMark> RulerMarks(double zoom, double from, double to, int thickness = RulerThickness);

} // namespace korvel
