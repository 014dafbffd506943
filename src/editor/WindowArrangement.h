#pragma once

#include <QList>
#include <QRect>

class QMdiArea;
class QMdiSubWindow;

namespace korvel {

/// Cascade: every window one step down and right of the one before, all of one size and all
/// inside the area. When more windows are open than steps fit, the run starts again at the
/// top-left corner instead of leaving the area.
QList<QRect> CascadeGeometry(const QSize& area, int count, int step);
/// Tiling: horizontal stacks the windows one above the other, each as wide as the area;
/// vertical puts them side by side. The last window takes the rest of the division.
QList<QRect> TileGeometry(const QSize& area, int count, Qt::Orientation orientation);

/// The cascade step of an area: one title bar.
int CascadeStep(const QMdiArea* area);
/// Arranges the given windows in the area's viewport (restoring maximised or minimised ones).
void CascadeWindows(QMdiArea* area, const QList<QMdiSubWindow*>& windows);
void TileWindows(QMdiArea* area, const QList<QMdiSubWindow*>& windows, Qt::Orientation orientation);

} // namespace korvel
