#pragma once

#include <QColor>

namespace korvel {

class TOAEllipse;
class TOAHVLine;
class TOALine;
class TOARectangle;

// Rules of the four shape property dialogs, without the dialogs. The dialogs show millimetres
// with one decimal; their numeric editors refuse values outside a field's range.

enum class ShapeDialog : int {
    HVLine = 0, ///< "直线设置"
    Line = 1, ///< "斜线设置"
    Ellipse = 2, ///< "椭圆设置"
    Rectangle = 3, ///< "矩形设置"
};

struct ShapeFieldRange {
    double min;
    double max;
    bool accepts(double v) const { return v >= min && v <= max; }
};

/// Ranges of a dialog's fields in their order (HVLine: start X, start Y, length; Line: start X,
/// start Y, end X, end Y; Ellipse: centre X, centre Y, horizontal radius, vertical radius;
/// Rectangle: start X, start Y, width, height); count is 3 or 4.
struct ShapeDialogRanges {
    ShapeFieldRange fields[4];
    int count;
    ShapeFieldRange lineWidth;
    double lineWidthSpinMax; ///< upper end of the line width's spin button
};
ShapeDialogRanges ShapeRanges(ShapeDialog dialog);

/// A millimetre value as the dialogs show it ("%.1f").
double ShapeDialogMM(double mm);
/// The pixel line width set on OK: max(1, round(PPI x mm x zoom x k / 254)), k = 8 for the two
/// line dialogs and 10 for rectangle and ellipse.
int ShapeDialogLineWidth(ShapeDialog dialog, double mm, double zoom);

/// Result of OK: accepted, or the index of the first refused field (count = the line width).
struct ShapeDialogCheck {
    bool ok = true;
    int field = -1;
};

struct HVLineDialogValues {
    double startX = 0, startY = 0, length = 0, lineWidthMM = 0;
};
/// The dialog opens at the end nearer the origin.
HVLineDialogValues OpenHVLineDialog(const TOAHVLine& line);
/// A vertical line keeps its X and ends at start Y + length; a horizontal one keeps its Y.
ShapeDialogCheck ApplyHVLineDialog(TOAHVLine& line, const HVLineDialogValues& values);

struct LineDialogValues {
    double startX = 0, startY = 0, endX = 0, endY = 0, lineWidthMM = 0;
};
LineDialogValues OpenLineDialog(const TOALine& line);
ShapeDialogCheck ApplyLineDialog(TOALine& line, const LineDialogValues& values);

struct EllipseDialogValues {
    double centreX = 0, centreY = 0, radiusX = 0, radiusY = 0, lineWidthMM = 0;
    int fill = 0;
    QColor color { Qt::black };
};
/// Centre = AbsLeft + half the width (likewise down), radii = half the size, one decimal each.
EllipseDialogValues OpenEllipseDialog(const TOAEllipse& ellipse);
/// AbsLeft = centre - radius, AbsWidth = 2 x radius (likewise down).
ShapeDialogCheck ApplyEllipseDialog(TOAEllipse& ellipse, const EllipseDialogValues& values);

struct RectangleDialogValues {
    double startX = 0, startY = 0, width = 0, height = 0, lineWidthMM = 0;
    int fill = 0;
    QColor color { Qt::black };
};
RectangleDialogValues OpenRectangleDialog(const TOARectangle& rectangle);
ShapeDialogCheck ApplyRectangleDialog(TOARectangle& rectangle, const RectangleDialogValues& values);

} // namespace korvel
