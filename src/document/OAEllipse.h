#pragma once

#include "document/OAShape.h"

#include <memory>

namespace korvel {

/// The ellipse's picture: the ellipse inscribed in the box with an outline of lineWidth
/// pixels (0 draws one pixel), filled with `color` when fill is set.
QImage DrawEllipsePicture(int width, int height, int lineWidth, const QColor& color, bool fill);
/// Hit spans: filled, the drawn pixels of each row; outline, a ring 5 pixels wider than the
/// stroke on both sides (up to two spans a row).
PsRec EllipseArea(int width, int height, int lineWidth, bool fill);
/// The drawn pixels of each row as the left and the right run (one run where they meet).
PsRec EllipsePrnArea(int width, int height, int lineWidth, bool fill);

/// An ellipse, outline or filled (kind 6).
class TOAEllipse : public TOABoxShape {
public:
    TOAEllipse();
    std::unique_ptr<TOAControl> clone() const override;

    QColor Color() const { return color_; }
    /// Also sets the base's EllipseColor, which painting a filled ellipse uses.
    void setColor(const QColor& color);
    int Fill() const { return fill_; }
    void setFill(int fill);
    int ScreenPrn = 0;

    /// Drawn pixels per row, entry r + 5 for row r.
    const PsRec& PrnArea() const { return prnArea_; }

    /// The picture the printer stores: rebuilt at zoom 1 in printer dots; a black ellipse as
    /// plain monochrome, any other colour dithered with the 16 x 16 matrix within its spans.
    QImage PrinterPicture(int dpi) const;

protected:
    void Render() override;

private:
    QColor color_ { Qt::black };
    int fill_ = 0;
    PsRec prnArea_;
};

} // namespace korvel
