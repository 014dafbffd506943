#include "document/OAEllipse.h"

#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>

namespace korvel {

namespace {

// The pen is centred on an ellipse inset by half its width, so the stroke of p pixels lies
// inside the box: outside edge on the box, inside edge p pixels in.
QRect outerBox(int width, int height)
{
    return QRect(0, 0, width, height);
}

QRect innerBox(int width, int height, int lineWidth)
{
    const int p = std::max(lineWidth, 1);
    return QRect(p, p, width - 2 * p, height - 2 * p);
}

SpanRow drawnRow(int width, int height, int lineWidth, bool fill, int y)
{
    SpanRow row;
    if (fill) {
        int l = 0;
        int r = 0;
        if (EllipseRowSpan(outerBox(width, height), y, l, r))
            row = { l, -1, r, -1 };
    } else {
        RingRowSpans(outerBox(width, height), innerBox(width, height, lineWidth), y, row);
    }
    return row;
}

} // namespace

QImage DrawEllipsePicture(int width, int height, int lineWidth, const QColor& color, bool fill)
{
    QImage picture = NewWhitePicture(width, height);
    for (int y = 0; y < picture.height(); ++y) {
        const SpanRow row = drawnRow(width, height, lineWidth, fill, y);
        if (row.from1 != -1)
            FillBox(picture, QRect(QPoint(row.from1, y), QPoint(row.to1, y)), color);
        if (row.from2 != -1)
            FillBox(picture, QRect(QPoint(row.from2, y), QPoint(row.to2, y)), color);
    }
    return picture;
}

PsRec EllipseArea(int width, int height, int lineWidth, bool fill)
{
    PsRec area = EmptySpanTable(height);
    if (fill) {
        for (int y = 0; y < height; ++y)
            area[static_cast<size_t>(y + SpanRowOffset)] = drawnRow(width, height, lineWidth, true, y);
        return area;
    }
    // A ring that reaches 5 pixels beyond the stroke on both sides.
    const int p = std::max(lineWidth, 1);
    const int h = lineWidth / 2;
    const QRect outer(QPoint(-5, -5), QPoint(width + 4, height + 4));
    const QRect inner(QPoint(2 * h + 5, 2 * h + 5), QPoint(width - p - 5, height - p - 5));
    for (int y = -SpanRowOffset; y <= height + SpanRowOffset; ++y) {
        SpanRow row;
        if (RingRowSpans(outer, inner, y, row))
            area[static_cast<size_t>(y + SpanRowOffset)] = row;
    }
    return area;
}

PsRec EllipsePrnArea(int width, int height, int lineWidth, bool fill)
{
    PsRec area = EmptySpanTable(height);
    for (int y = 0; y < height; ++y)
        area[static_cast<size_t>(y + SpanRowOffset)] = drawnRow(width, height, lineWidth, fill, y);
    return area;
}

TOAEllipse::TOAEllipse()
    : TOABoxShape(ObjectKind::Ellipse, 100, 100, 2)
{
    Brush = QBrush(Qt::NoBrush);
    RebuildImage();
}

std::unique_ptr<TOAControl> TOAEllipse::clone() const
{
    return std::make_unique<TOAEllipse>(*this);
}

void TOAEllipse::setColor(const QColor& color)
{
    color_ = color;
    EllipseColor = color;
    RebuildImage();
}

void TOAEllipse::setFill(int fill)
{
    fill_ = fill;
    FillInter = fill == 1 ? 1 : 0;
    RebuildImage();
}

void TOAEllipse::Render()
{
    const int w = std::max(Width(), lineWidth_);
    const int h = std::max(Height(), lineWidth_);
    if (w != Width() || h != Height())
        setBounds(Left(), Top(), w, h);
    FillInter = fill_ == 1 ? 1 : 0;
    EllipseColor = color_;
    const bool fill = fill_ == 1;
    if (w > MaxShapeSide || h > MaxShapeSide) {
        setDstBitmap(QImage());
        area_.clear();
        prnArea_.clear();
        return;
    }
    area_ = EllipseArea(w, h, lineWidth_, fill);
    prnArea_ = EllipsePrnArea(w, h, lineWidth_, fill);
    if (deferDrawing())
        return;
    QImage picture = DrawEllipsePicture(w, h, lineWidth_, color_, fill);
    if (ScreenPrn == 1) {
        if (color_.rgb() == qRgb(0, 0, 0))
            picture = ToMonochrome(picture);
        else
            picture = DitherWithinSpans(picture, fill ? area_ : prnArea_);
    }
    setDstBitmap(std::move(picture));
}

QImage TOAEllipse::PrinterPicture(int dpi) const
{
    TOAEllipse copy(*this);
    copy.ScreenPrn = 1;
    copy.AbsFlag = 0;
    auto dots = [dpi](double mm) { return SafeRound(dpi * mm / 25.4); };
    copy.lineWidth_ = SafeRound(static_cast<double>(dpi) * lineWidthAtZoom(1.0) / ScreenPPI);
    copy.setBounds(0, 0, dots(AbsWidth()), dots(AbsHeight()));
    copy.Render();
    return copy.DstBitmap();
}

} // namespace korvel
