#pragma once

#include "document/OAShape.h"

#include <QPoint>

#include <memory>

namespace korvel {

/// Line styles; the numbers are stored in label files. Only 0, 2, 4 and 5 are drawn.
enum TLineStyle : int {
    lsLeft = 0, ///< vertical
    lsRight = 1,
    lsTop = 2, ///< horizontal
    lsBottom = 3,
    lsLeftTopToRightBottom = 4, ///< down-right diagonal
    lsLeftBottomToRightTop = 5, ///< up-right diagonal
};

/// LineFlag values: the drawn direction.
enum LineDirection : int { ldDownRight = 0, ldUpRight = 1, ldVertical = 2, ldHorizontal = 3 };

/// Where a line stands and what it looks like, for end points in pixels (or printer dots).
struct LineLayout {
    QRect bounds; ///< the control rectangle
    QImage picture; ///< 24-bit, one row taller than bounds (the extra row is white)
    int style = lsLeftTopToRightBottom;
    int lineFlag = ldDownRight;
    PsRec area; ///< hit spans, entry r + 5 for row r
};

/// Places and draws a line. A free line classifies its direction from the end points (style
/// and LineFlag); a horizontal/vertical line keeps its style and takes LineFlag from it
/// (0 -> 2 vertical, 2 -> 3 horizontal; other styles keep `lineFlag` and draw nothing).
/// Without `draw` only the bounds, style and flag are laid out.
LineLayout LayOutLine(bool freeLine, QPoint start, QPoint end, int lineWidth, int style, int lineFlag,
    const QColor& pen, bool draw = true);

/// A quarter turn of a segment about its midpoint (both ends in pixels).
void TurnLineQuarter(QPoint& start, QPoint& end);

/// LineFlag that a horizontal/vertical line's style implies; -1 for styles it does not draw.
int LineFlagOfHVStyle(int style);

/// Common part of the free line and the horizontal/vertical line: two end points kept in
/// millimetres and in pixels at the current zoom.
class TOALineShape : public TOAControl {
public:
    int Style() const { return style_; }
    virtual void setStyle(int style);
    /// Swaps the two diagonal styles 4 and 5; other styles stay.
    void ChangeStyle();

    int LineWidth() const { return lineWidth_; }
    void setLineWidth(int px);
    double MMLineWidth() const { return mmLineWidth_; }
    void setMMLineWidth(double mm) { mmLineWidth_ = mm; }
    int LineFlag() const { return lineFlag_; }
    void setLineFlag(int flag) { lineFlag_ = flag; }

    int StartX() const { return start_.x(); }
    int StartY() const { return start_.y(); }
    int EndX() const { return end_.x(); }
    int EndY() const { return end_.y(); }
    /// Pixel setters (on change): re-place, re-render, then the millimetre twin follows.
    void setStartX(int px);
    void setStartY(int px);
    void setEndX(int px);
    void setEndY(int px);
    /// Both ends at once in pixels (creation, moving), re-rendering once.
    void setPoints(QPoint start, QPoint end);

    double AbsStartX() const { return absStart_[0]; }
    double AbsStartY() const { return absStart_[1]; }
    double AbsEndX() const { return absEnd_[0]; }
    double AbsEndY() const { return absEnd_[1]; }
    /// Millimetre setters (on change): the pixel twin follows, then re-place and re-render.
    void setAbsStartX(double mm);
    void setAbsStartY(double mm);
    void setAbsEndX(double mm);
    void setAbsEndY(double mm);

    int PointFlag = 1;
    int AgFlag = 0;
    int SPX = 0, SPY = 0, EPX = 0, EPY = 0;

    const PsRec& Area() const
    {
        DstBitmap(); // a deferred line draws its picture and traces its spans now
        return area_;
    }
    /// Whether a point in the object's own pixel coordinates touches the line.
    bool HitsArea(int x, int y) const;

    /// With AgFlag 1 a new angle turns the segment by quarter turns about its midpoint; with
    /// 0 the angle is only stored.
    void setAngle(int angle) override;
    void Rotate90() override;
    void setZoom(double zoom) override;
    /// Places and draws the line from its pixel end points.
    void RebuildImage() override;

    /// While blocked, setters only store their values; unblocking places and draws the line
    /// once. The result is the same as after every setter's own drawing (the layout depends on
    /// the end points and the style alone), at a fraction of the cost (label file readers).
    void setUpdatesBlocked(bool blocked);
    bool updatesBlocked() const { return updatesBlocked_; }

protected:
    TOALineShape(ObjectKind kind, bool freeLine, int size, int lineWidth);
    void syncAbsFromPixels();

    bool freeLine_;
    int style_ = lsLeftTopToRightBottom;
    int lineWidth_;
    double mmLineWidth_ = 0.2;
    int lineFlag_ = ldDownRight;
    QPoint start_;
    QPoint end_;
    double absStart_[2] { 0, 0 };
    double absEnd_[2] { 0, 0 };
    PsRec area_;
    bool updatesBlocked_ = false;
};

/// A straight line in any direction (kind 4).
class TOALine : public TOALineShape {
public:
    TOALine();
    std::unique_ptr<TOAControl> clone() const override;

    /// 1 while the line renders for the printer: the picture is then made monochrome.
    int ScreenPrn = 0;
    void RebuildImage() override;

    /// The picture the printer stores: rebuilt at zoom 1 in printer dots with a line width of
    /// round(MMLineWidth x 8), x 12 at 300 dpi, and made monochrome.
    QImage PrinterPicture(int dpi) const;
};

} // namespace korvel
