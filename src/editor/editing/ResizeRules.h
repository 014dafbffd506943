#pragma once

#include <QPoint>
#include <QRect>

namespace korvel {

class TOAControl;

/// The smallest band a resize leaves, in pixels each way.
inline constexpr int MinimumBandSide = 5;
/// Longest horizontal or vertical line in millimetres.
inline constexpr double LongestStraightLineMM = 490.0;

/// The band of a handle drag: the start rectangle with the dragged side(s) at the pointer
/// (1 left and top, 2 top, 3 right and top, 4 left, 5 right, 6 left and bottom, 7 bottom,
/// 8 right and bottom).
QRect ResizedBand(const QRect& start, int handle, QPoint pointer);
/// A band of at least 5 x 5 pixels, grown at its right or bottom edge.
QRect AtLeastMinimum(const QRect& band);

/// A line's end points while one of them (handle 1 start, 2 end) follows the pointer; a
/// horizontal or vertical line keeps its axis.
void DraggedLineEnds(const TOAControl& line, int handle, QPoint pointer, QPoint& start, QPoint& end);

/// Applies a resize band (L, T, W, H) to an object by the rules of its kind: texts by their
/// drag box or printer-font magnifications, linear barcodes by bar height and narrow bar,
/// PDF417 and QR Code by their module sizes, images, rectangles, ellipses and inverse areas
/// by their bounds. zoomPercent is the document zoom, dpi its printer resolution.
void ApplyResizedBand(TOAControl& object, const QRect& band, int zoomPercent, int dpi);
/// Applies new end points to a line; a horizontal or vertical line longer than 490 mm ends
/// 490 mm from its start.
void ApplyLineEnds(TOAControl& line, QPoint start, QPoint end);

} // namespace korvel
