#pragma once

#include "document/Halftone.h"
#include "document/MillimetreBox.h"
#include "document/OAControl.h"

#include <QColor>
#include <QImage>
#include <QRect>

namespace korvel {

// Raster primitives of the shapes. They are our own rather than QPainter's so that pictures,
// hit spans and printer copies come out the same on every platform and Qt version.

/// Largest side of a shape's picture; a larger shape keeps its geometry but draws nothing.
inline constexpr int MaxShapeSide = 32767;

/// A white 24-bit (Format_BGR888) picture; null for a non-positive or too large size.
QImage NewWhitePicture(int width, int height);

/// Millimetres to pixels at a zoom like MMToPixels, but a value that is not a number or lies
/// beyond 100 m gives a clamped pixel count instead of an undefined conversion (label files
/// are outside input).
int SafeMMToPixels(double mm, double zoom);
/// round(v) as int, clamped to +-1 000 000 (0 for a value that is not a number).
int SafeRound(double v);
/// A pixel position or size from outside, clamped to +-1 000 000 so rectangles never overflow.
int ClampPixels(int v);
/// Fills the part of a rectangle that lies inside the picture.
void FillBox(QImage& picture, const QRect& box, const QColor& color);

/// Columns [left, right] of row y that lie inside the ellipse inscribed in the inclusive box;
/// false when the row misses it. Symmetric about the box's centre in both directions.
bool EllipseRowSpan(const QRect& box, int y, int& left, int& right);
/// The one or two runs of row y of an outline ring: inside the outer ellipse and outside the
/// inner one (an empty inner box gives a solid ellipse). False when the row misses the ring.
bool RingRowSpans(const QRect& outer, const QRect& inner, int y, SpanRow& spans);

/// A straight stroke between two points with a pen of width p: p <= 1 draws a one-pixel
/// line without its last point (as a line-to does), a wider pen draws every pixel within p / 2
/// of the segment (round ends).
void DrawSegment(QImage& picture, QPoint from, QPoint to, int penWidth, const QColor& color);

/// A span table for a picture of the given height, every row empty (rows -5 .. height + 5).
PsRec EmptySpanTable(int height);

/// Base of rectangle, ellipse and inverse area: a box kept in millimetres (the stored truth)
/// and in pixels at the current zoom.
class TOABoxShape : public TOAControl {
public:
    double AbsLeft() const { return box_.mm(BoxSide::Left); }
    double AbsTop() const { return box_.mm(BoxSide::Top); }
    double AbsWidth() const { return box_.mm(BoxSide::Width); }
    double AbsHeight() const { return box_.mm(BoxSide::Height); }
    int VirLeft() const { return box_.px(BoxSide::Left); }
    int VirTop() const { return box_.px(BoxSide::Top); }
    int VirWidth() const { return box_.px(BoxSide::Width); }
    int VirHeight() const { return box_.px(BoxSide::Height); }

    /// Millimetre setters: the pixel twin follows; width and height re-render.
    void setAbsLeft(double mm);
    void setAbsTop(double mm);
    void setAbsWidth(double mm);
    void setAbsHeight(double mm);
    /// Pixel setters: the millimetre twin follows; width and height re-render.
    void setVirLeft(int px);
    void setVirTop(int px);
    void setVirWidth(int px);
    void setVirHeight(int px);
    /// Moves and sizes in pixels at once (a resize band), re-rendering once.
    void setVirBounds(int left, int top, int width, int height);

    int LineWidth() const { return lineWidth_; }
    void setLineWidth(int px);
    double MMLineWidth() const { return mmLineWidth_; }
    void setMMLineWidth(double mm) { mmLineWidth_ = mm; }

    int AgFlag = 0;
    int AbsFlag = 0;
    /// Hit spans, entry r + 5 for picture row r.
    const PsRec& Area() const { return area_; }
    /// Whether a point in the object's own pixel coordinates touches the shape.
    bool HitsArea(int x, int y) const;

    /// With AgFlag 1 a new angle turns the box about its centre; with 0 it is only stored.
    void setAngle(int angle) override;
    void Rotate90() override;
    void setZoom(double zoom) override;
    void RebuildImage() override;

protected:
    TOABoxShape(ObjectKind kind, int width, int height, int lineWidth);
    /// Draws DstBitmap and the span tables for the control's current size.
    virtual void Render() = 0;
    /// The on-screen line width for a zoom from MMLineWidth (at least 1).
    int lineWidthAtZoom(double zoom) const;

    PsRec area_;
    int lineWidth_ = 1;
    double mmLineWidth_ = 0.2;
    bool hasLineWidth_ = true;

private:
    MillimetreBox box_;
};

} // namespace korvel
