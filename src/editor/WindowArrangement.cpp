#include "editor/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>

namespace korvel {

namespace {
/// A cascaded window keeps at least this much of the area (or the whole area when smaller).
QSize minimumCascadeSize(const QSize& area)
{
    return QSize(std::min(area.width(), std::max(320, area.width() / 2)),
        std::min(area.height(), std::max(240, area.height() / 2)));
}

void place(const QList<QMdiSubWindow*>& windows, const QList<QRect>& rects)
{
    for (qsizetype i = 0; i < windows.size() && i < rects.size(); ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMinimized() || sub->isMaximized())
            sub->showNormal();
        sub->setGeometry(rects[i]);
        sub->raise();
    }
}
} // namespace

QList<QRect> CascadeGeometry(const QSize& area, int count, int step)
{
    QList<QRect> out;
    if (count <= 0 || area.isEmpty())
        return out;
    step = std::max(step, 1);
    const QSize least = minimumCascadeSize(area);
    const int fitAcross = 1 + (area.width() - least.width()) / step;
    const int fitDown = 1 + (area.height() - least.height()) / step;
    const int run = std::max(1, std::min({ count, fitAcross, fitDown }));
    const QSize size(area.width() - (run - 1) * step, area.height() - (run - 1) * step);
    for (int i = 0; i < count; ++i) {
        const int k = i % run;
        out.append(QRect(QPoint(k * step, k * step), size));
    }
    return out;
}

QList<QRect> TileGeometry(const QSize& area, int count, Qt::Orientation orientation)
{
    QList<QRect> out;
    if (count <= 0 || area.isEmpty())
        return out;
    const bool stacked = orientation == Qt::Horizontal;
    const int length = stacked ? area.height() : area.width();
    const int part = std::max(1, length / count);
    for (int i = 0; i < count; ++i) {
        const int from = i * part;
        const int size = i == count - 1 ? std::max(1, length - from) : part;
        out.append(stacked ? QRect(0, from, area.width(), size) : QRect(from, 0, size, area.height()));
    }
    return out;
}

int CascadeStep(const QMdiArea* area)
{
    return area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, area) + 4;
}

void CascadeWindows(QMdiArea* area, const QList<QMdiSubWindow*>& windows)
{
    place(windows,
        CascadeGeometry(area->viewport()->size(), static_cast<int>(windows.size()), CascadeStep(area)));
}

void TileWindows(QMdiArea* area, const QList<QMdiSubWindow*>& windows, Qt::Orientation orientation)
{
    place(windows, TileGeometry(area->viewport()->size(), static_cast<int>(windows.size()), orientation));
}

} // namespace korvel
