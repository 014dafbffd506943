#include "editor/OARuler.h"

#include "editor/editing/RulerScale.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace korvel {

TOARuler::TOARuler(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , orientation_(orientation)
{
    setObjectName(orientation == Qt::Horizontal ? QStringLiteral("RulerH") : QStringLiteral("RulerV"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (orientation == Qt::Horizontal)
        setFixedHeight(RulerThickness);
    else
        setFixedWidth(RulerThickness);
}

QSize TOARuler::sizeHint() const
{
    return orientation_ == Qt::Horizontal ? QSize(100, RulerThickness) : QSize(RulerThickness, 100);
}

void TOARuler::setZoom(double zoom)
{
    if (zoom == zoom_)
        return;
    zoom_ = zoom;
    update();
}

void TOARuler::setOrigin(int pixels)
{
    if (pixels == origin_)
        return;
    origin_ = pixels;
    update();
}

void TOARuler::setGuides(const std::vector<int>& guides)
{
    if (guides == guides_)
        return;
    const bool horizontal = orientation_ == Qt::Horizontal;
    // Only the strips of the old and new guides are painted again.
    for (int g : guides_)
        update(horizontal ? QRect(origin_ + g - 1, 0, 3, height()) : QRect(0, origin_ + g - 1, width(), 3));
    guides_ = guides;
    for (int g : guides_)
        update(horizontal ? QRect(origin_ + g - 1, 0, 3, height()) : QRect(0, origin_ + g - 1, width(), 3));
}

void TOARuler::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect area = event->rect();
    p.fillRect(area, Qt::white);
    const bool horizontal = orientation_ == Qt::Horizontal;
    const int thickness = horizontal ? height() : width();
    p.setPen(QColor(0x80, 0x80, 0x80));
    if (horizontal)
        p.drawLine(area.left(), thickness - 1, area.right(), thickness - 1);
    else
        p.drawLine(thickness - 1, area.top(), thickness - 1, area.bottom());

    const double from = (horizontal ? area.left() : area.top()) - origin_ - 40;
    const double to = (horizontal ? area.right() : area.bottom()) - origin_ + 40;
    QFont font = p.font();
    font.setPixelSize(8);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const RulerMark& m : RulerMarks(zoom_, from, to, thickness)) {
        const int at = origin_ + static_cast<int>(std::lround(m.position));
        if (horizontal)
            p.drawLine(at, thickness - m.length, at, thickness - 1);
        else
            p.drawLine(thickness - m.length, at, thickness - 1, at);
        if (m.label.isEmpty())
            continue;
        if (horizontal) {
            p.drawText(QPoint(at + 2, 8), m.label);
        } else {
            // The vertical ruler stacks the digits.
            for (int i = 0; i < m.label.size(); ++i)
                p.drawText(QRect(1, at + 1 + i * 8, 8, 8), Qt::AlignCenter, m.label.mid(i, 1));
        }
    }
    // Guides invert what lies under them, like the guide of a ruler always did.
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (int g : guides_) {
        const int at = origin_ + g;
        if (horizontal)
            p.fillRect(QRect(at, 0, 1, thickness), Qt::black);
        else
            p.fillRect(QRect(0, at, thickness, 1), Qt::black);
    }
}

} // namespace korvel
