#include "editor/OAWorkSpace.h"

#include "document/DesignView.h"
#include "document/LabelDocument.h"
#include "document/Rounding.h"

#include <QPaintEvent>
#include <QPainter>

namespace korvel {

TOAWorkspace::TOAWorkspace(LabelDocument& document, QWidget* parent)
    : QWidget(parent)
    , document_(document)
{
    setObjectName(QStringLiteral("OAWorkspace"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    refresh();
}

void TOAWorkspace::setDrawingMode(int mode)
{
    if (mode != 0 && mode != 1)
        return;
    drawingMode_ = mode;
    refresh();
}

QSize TOAWorkspace::scrollRange(int zoomPercent)
{
    return { static_cast<int>(Round(zoomPercent * 2700 / 100.0)), static_cast<int>(Round(zoomPercent * 1700 / 100.0)) };
}

void TOAWorkspace::refresh()
{
    picture_ = RenderDesignView(document_, document_.zoom(), drawingMode_);
    const QSize size = sizeHint();
    if (size != this->size())
        resize(size);
    update();
}

QSize TOAWorkspace::sizeHint() const
{
    return scrollRange(document_.zoom()).expandedTo(picture_.size());
}

void TOAWorkspace::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(DesignSurfaceColor));
    if (!picture_.isNull())
        painter.drawImage(QPoint(0, 0), picture_);
}

} // namespace korvel
