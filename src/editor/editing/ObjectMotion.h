#pragma once

#include "editor/editing/Operation.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSizeF>

#include <vector>

namespace korvel {

class TOAControl;

/// Where an object stands, in millimetres (text and barcode: left and top; boxes: left, top,
/// width, height; lines: start and end) with its angle.
PositionSnapshot TakePosition(const TOAControl& object);
/// Puts an object back where a snapshot says; texts and barcodes take the printer resolution.
void RestorePosition(TOAControl& object, const PositionSnapshot& position, int dpi);

/// Moves by whole surface pixels (mouse moves, Ctrl + arrows; lines move both end points).
void MoveByPixels(TOAControl& object, int dx, int dy);
/// Moves by millimetres (arrow keys).
void MoveByMillimetres(TOAControl& object, double dx, double dy);

bool IsLineKind(const TOAControl& object);
/// Left and top in millimetres (a line: its start point).
QPointF PositionMM(const TOAControl& object);
/// Width and height in millimetres of the screen rectangle at the object's zoom.
QSizeF SizeMM(const TOAControl& object);
/// A line's length in millimetres.
double LineLengthMM(const TOAControl& object);
/// A line's end points in surface pixels.
QPoint LineStart(const TOAControl& object);
QPoint LineEnd(const TOAControl& object);

/// The smallest left and top of the objects' screen rectangles.
QPoint TopLeftOf(const std::vector<TOAControl*>& objects);
/// The union of the objects' screen rectangles.
QRect BoundsOf(const std::vector<TOAControl*>& objects);

} // namespace korvel
