#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

namespace korvel {

class TOAControl;

/// Side of a handle square in pixels.
inline constexpr int HandleSize = 8;

/// The handle squares of one selected object, handle n at index n - 1: eight around a box
/// (1 top-left … 8 bottom-right), two on a line (1 its start, 2 its end).
std::vector<QRect> HandleRects(const TOAControl& object);
/// The handle under a point (1 …), 0 for none.
int HandleAt(const TOAControl& object, QPoint point);
/// The cursor shape of a handle: 1 diagonal down, 2 diagonal up, 3 vertical, 4 horizontal,
/// 0 the normal cursor. A line's end points take the diagonal cursor.
int HandleCursorShape(const TOAControl& object, int handle);
/// Everything the handles and the outline of an object cover.
QRect HandleLayerRect(const TOAControl& object);

} // namespace korvel
