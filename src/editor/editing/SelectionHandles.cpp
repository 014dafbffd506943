#include "editor/editing/SelectionHandles.h"

#include "editor/editing/ObjectMotion.h"

#include "document/OAControl.h"

namespace korvel {

std::vector<QRect> HandleRects(const TOAControl& object)
{
    const auto square = [](int x, int y) { return QRect(x, y, HandleSize, HandleSize); };
    if (IsLineKind(object)) {
        const QPoint s = LineStart(object);
        const QPoint e = LineEnd(object);
        return { square(s.x() - 4, s.y() - 4), square(e.x() - 4, e.y() - 4) };
    }
    const int L = object.Left(), T = object.Top(), W = object.Width(), H = object.Height();
    return {
        square(L - 4, T - 4),
        square(L + W / 2 - 4, T - 4),
        square(L + W - 5, T - 4),
        square(L - 4, T + H / 2 - 4),
        square(L + W - 5, T + H / 2 - 4),
        square(L - 4, T + H - 5),
        square(L + W / 2 - 4, T + H - 5),
        square(L + W - 5, T + H - 5),
    };
}

int HandleAt(const TOAControl& object, QPoint point)
{
    const std::vector<QRect> rects = HandleRects(object);
    // Later handles are drawn over earlier ones on a small object: the topmost wins.
    for (int i = static_cast<int>(rects.size()) - 1; i >= 0; --i)
        if (rects[static_cast<size_t>(i)].contains(point))
            return i + 1;
    return 0;
}

int HandleCursorShape(const TOAControl& object, int handle)
{
    if (handle <= 0)
        return 0;
    if (IsLineKind(object))
        return 1;
    switch (handle) {
    case 1:
    case 8: return 1;
    case 3:
    case 6: return 2;
    case 2:
    case 7: return 3;
    case 4:
    case 5: return 4;
    default: return 0;
    }
}

QRect HandleLayerRect(const TOAControl& object)
{
    QRect r = object.geometry();
    for (const QRect& h : HandleRects(object))
        r |= h;
    return r.adjusted(-1, -1, 1, 1);
}

} // namespace korvel
