#pragma once

#include <QRect>

namespace korvel {

class TOAControl;

/// One side of an object's box.
enum class BoxSide { Left = 0, Top = 1, Width = 2, Height = 3 };

/// An object's box kept twice: in millimetres (the stored truth) and in pixels at the current
/// zoom. The setters also move the control's screen rectangle; a new width or height re-renders
/// the control, a new position does not.
class MillimetreBox {
public:
    double mm(BoxSide side) const { return mm_[index(side)]; }
    int px(BoxSide side) const { return px_[index(side)]; }

    /// Millimetres with the pixel value the control derived from them at its zoom.
    void setMillimetres(TOAControl& control, BoxSide side, double mm, int px);
    /// Pixels (clamped like every outside pixel value); the millimetres follow at the control's
    /// zoom.
    void setPixels(TOAControl& control, BoxSide side, int px);

    /// Both twins from the control's screen rectangle.
    void takeBounds(const TOAControl& control);
    /// Only the pixel twins from the control's screen rectangle (after the pixels were derived
    /// from the millimetres).
    void takePixelBounds(const TOAControl& control);
    /// Width and height in pixels with their millimetres at a zoom.
    void setPixelSize(int width, int height, double zoom);
    /// Moves the millimetre position by a pixel offset instead of re-deriving it from pixels,
    /// so that turning back returns the stored position exactly.
    void shiftMillimetres(int dx, int dy, double zoom);
    void swapMillimetreSizes();
    void swapPixelSizes();

private:
    static int index(BoxSide side) { return static_cast<int>(side); }
    void place(TOAControl& control, BoxSide side, int px) const;

    double mm_[4] = { 0, 0, 0, 0 };
    int px_[4] = { 0, 0, 0, 0 };
};

} // namespace korvel
