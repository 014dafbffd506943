#pragma once

#include "document/OAShape.h"

#include <memory>

namespace korvel {

/// The rectangle's picture: a border of lineWidth pixels inside the box in `color`, the inside
/// filled with `color` when fill is set; a line width of at least half the width or height
/// paints the whole box solid.
QImage DrawRectanglePicture(int width, int height, int lineWidth, const QColor& color, bool fill);
/// Hit spans of a rectangle (filled: every row of the picture; outline: the edges with a
/// margin of 5 pixels).
PsRec RectangleArea(int width, int height, int lineWidth, bool fill);

/// A rectangle, outline or filled (kind 5).
class TOARectangle : public TOABoxShape {
public:
    TOARectangle();
    std::unique_ptr<TOAControl> clone() const override;

    QColor Color() const { return color_; }
    void setColor(const QColor& color);
    int Fill() const { return fill_; }
    /// 1 fills with Color and sets FillInter.
    void setFill(int fill);

    /// The picture the printer stores: rebuilt at zoom 1 in printer dots and reduced to one bit
    /// by the 16 x 16 ordered dither.
    QImage PrinterPicture(int dpi) const;

protected:
    void Render() override;

private:
    QColor color_ { Qt::black };
    int fill_ = 0;
};

} // namespace korvel
