#include "document/OAInvertArea.h"

namespace korvel {

TOAInvertArea::TOAInvertArea()
    : TOABoxShape(ObjectKind::InvertArea, 5, 5, 1)
{
    ObjBitMode = 3;
    hasLineWidth_ = false;
    RebuildImage();
}

std::unique_ptr<TOAControl> TOAInvertArea::clone() const
{
    return std::make_unique<TOAInvertArea>(*this);
}

void TOAInvertArea::Render()
{
    const int w = Width();
    const int h = Height();
    if (w > MaxShapeSide || h > MaxShapeSide) {
        setDstBitmap(QImage());
        area_.clear();
        return;
    }
    area_ = EmptySpanTable(h);
    for (SpanRow& row : area_)
        row = { -5, -1, w + 5, -1 };
    if (deferDrawing())
        return;
    QImage picture = NewWhitePicture(w, h);
    FillBox(picture, QRect(0, 0, w, 1), Qt::black);
    FillBox(picture, QRect(0, h - 1, w, 1), Qt::black);
    FillBox(picture, QRect(0, 0, 1, h), Qt::black);
    FillBox(picture, QRect(w - 1, 0, 1, h), Qt::black);
    setDstBitmap(std::move(picture));
}

} // namespace korvel
