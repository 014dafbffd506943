#include "document/OARectangle.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>

namespace korvel {

QImage DrawRectanglePicture(int width, int height, int lineWidth, const QColor& color, bool fill)
{
    QImage picture = NewWhitePicture(width, height);
    if (picture.isNull())
        return picture;
    // A pen of width 0 is the thinnest pen, one pixel.
    const int lw = std::max(lineWidth, 1);
    if (!(2 * lineWidth < width && 2 * lineWidth < height)) {
        picture.fill(color);
        return picture;
    }
    // The pen is centred on a rectangle inset by half its width, so the border lies wholly
    // inside the box.
    if (fill)
        FillBox(picture, QRect(lw, lw, width - 2 * lw, height - 2 * lw), color);
    FillBox(picture, QRect(0, 0, width, lw), color);
    FillBox(picture, QRect(0, height - lw, width, lw), color);
    FillBox(picture, QRect(0, 0, lw, height), color);
    FillBox(picture, QRect(width - lw, 0, lw, height), color);
    return picture;
}

PsRec RectangleArea(int width, int height, int lineWidth, bool fill)
{
    PsRec area = EmptySpanTable(height);
    const SpanRow whole { -5, -1, width + 5, -1 };
    const SpanRow sides { -5, width - lineWidth - 5, lineWidth + 5, width + 5 };
    const int topBand = std::min(lineWidth + 5, height / 2);
    const int bottomBand = std::min(lineWidth + 4, height / 2);
    for (int r = -SpanRowOffset; r <= height + SpanRowOffset; ++r) {
        SpanRow& row = area[static_cast<size_t>(r + SpanRowOffset)];
        if (fill) {
            if (r >= 0 && r < height)
                row = { 0, -1, width, -1 };
        } else if (r < topBand || r >= height - bottomBand) {
            row = whole;
        } else {
            row = sides;
        }
    }
    return area;
}

TOARectangle::TOARectangle()
    : TOABoxShape(ObjectKind::Rectangle, 1, 1, 3)
{
    RebuildImage();
}

std::unique_ptr<TOAControl> TOARectangle::clone() const
{
    return std::make_unique<TOARectangle>(*this);
}

void TOARectangle::setColor(const QColor& color)
{
    color_ = color;
    RebuildImage();
}

void TOARectangle::setFill(int fill)
{
    fill_ = fill;
    FillInter = fill == 1 ? 1 : 0;
    RebuildImage();
}

void TOARectangle::Render()
{
    const int w = std::max(Width(), lineWidth_);
    const int h = std::max(Height(), lineWidth_);
    if (w != Width() || h != Height())
        setBounds(Left(), Top(), w, h);
    FillInter = fill_ == 1 ? 1 : 0;
    if (w > MaxShapeSide || h > MaxShapeSide) {
        setDstBitmap(QImage());
        area_.clear();
        return;
    }
    area_ = RectangleArea(w, h, lineWidth_, fill_ == 1);
    if (!deferDrawing())
        setDstBitmap(DrawRectanglePicture(w, h, lineWidth_, color_, fill_ == 1));
}

QImage TOARectangle::PrinterPicture(int dpi) const
{
    auto dots = [dpi](double mm) { return SafeRound(dpi * mm / 25.4); };
    const int lw = SafeRound(static_cast<double>(dpi) * lineWidthAtZoom(1.0) / ScreenPPI);
    const int w = std::max(dots(AbsWidth()), lw);
    const int h = std::max(dots(AbsHeight()), lw);
    return OrderedDither16(DrawRectanglePicture(w, h, lw, color_, fill_ == 1));
}

} // namespace korvel
