#include "document/ShapeRules.h"

#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace korvel {

ShapeDialogRanges ShapeRanges(ShapeDialog dialog)
{
    switch (dialog) {
    case ShapeDialog::HVLine: return { { { 0, 107 }, { 0, 500 }, { 0.1, 500 }, { 0, 0 } }, 3, { 0.1, 107 }, 9 };
    case ShapeDialog::Line: return { { { 0, 107 }, { 0, 500 }, { 0, 500 }, { 0, 500 } }, 4, { 0.1, 107 }, 1 };
    case ShapeDialog::Ellipse: return { { { 0, 107 }, { 0, 500 }, { 0.1, 107 }, { 0.1, 500 } }, 4, { 0.1, 107 }, 5 };
    case ShapeDialog::Rectangle:
        return { { { 0, 107 }, { 0, 500 }, { 0.1, 107 }, { 0.1, 500 } }, 4, { 0.1, 106 }, 106 };
    }
    return { {}, 0, { 0, 0 }, 0 };
}

double ShapeDialogMM(double mm)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", mm);
    return std::strtod(text, nullptr);
}

int ShapeDialogLineWidth(ShapeDialog dialog, double mm, double zoom)
{
    const double k = dialog == ShapeDialog::HVLine || dialog == ShapeDialog::Line ? 8.0 : 10.0;
    return std::max(1, static_cast<int>(Round(ScreenPPI * (mm * zoom * k) / 254.0)));
}

namespace {

ShapeDialogCheck check(ShapeDialog dialog, std::initializer_list<double> values, double lineWidthMM)
{
    const ShapeDialogRanges ranges = ShapeRanges(dialog);
    int i = 0;
    for (double v : values) {
        if (!ranges.fields[i].accepts(v))
            return { false, i };
        ++i;
    }
    if (!ranges.lineWidth.accepts(lineWidthMM))
        return { false, ranges.count };
    return {};
}

} // namespace

HVLineDialogValues OpenHVLineDialog(const TOAHVLine& line)
{
    HVLineDialogValues v;
    const bool vertical = line.LineFlag() == ldVertical;
    const bool startFirst = vertical ? line.AbsStartY() <= line.AbsEndY() : line.AbsStartX() <= line.AbsEndX();
    v.startX = ShapeDialogMM(startFirst ? line.AbsStartX() : line.AbsEndX());
    v.startY = ShapeDialogMM(startFirst ? line.AbsStartY() : line.AbsEndY());
    v.length = ShapeDialogMM(
        vertical ? std::abs(line.AbsEndY() - line.AbsStartY()) : std::abs(line.AbsEndX() - line.AbsStartX()));
    v.lineWidthMM = ShapeDialogMM(line.MMLineWidth());
    return v;
}

ShapeDialogCheck ApplyHVLineDialog(TOAHVLine& line, const HVLineDialogValues& v)
{
    const ShapeDialogCheck result = check(ShapeDialog::HVLine, { v.startX, v.startY, v.length }, v.lineWidthMM);
    if (!result.ok)
        return result;
    const bool vertical = line.LineFlag() == ldVertical;
    line.setAbsStartX(v.startX);
    line.setAbsStartY(v.startY);
    line.setAbsEndX(vertical ? v.startX : v.startX + v.length);
    line.setAbsEndY(vertical ? v.startY + v.length : v.startY);
    line.setMMLineWidth(v.lineWidthMM);
    line.setLineWidth(ShapeDialogLineWidth(ShapeDialog::HVLine, v.lineWidthMM, line.Zoom()));
    return result;
}

LineDialogValues OpenLineDialog(const TOALine& line)
{
    return { ShapeDialogMM(line.AbsStartX()), ShapeDialogMM(line.AbsStartY()), ShapeDialogMM(line.AbsEndX()),
        ShapeDialogMM(line.AbsEndY()), ShapeDialogMM(line.MMLineWidth()) };
}

ShapeDialogCheck ApplyLineDialog(TOALine& line, const LineDialogValues& v)
{
    const ShapeDialogCheck result = check(ShapeDialog::Line, { v.startX, v.startY, v.endX, v.endY }, v.lineWidthMM);
    if (!result.ok)
        return result;
    line.setAbsStartX(v.startX);
    line.setAbsStartY(v.startY);
    line.setAbsEndX(v.endX);
    line.setAbsEndY(v.endY);
    line.setMMLineWidth(v.lineWidthMM);
    line.setLineWidth(ShapeDialogLineWidth(ShapeDialog::Line, v.lineWidthMM, line.Zoom()));
    return result;
}

EllipseDialogValues OpenEllipseDialog(const TOAEllipse& e)
{
    EllipseDialogValues v;
    v.centreX = ShapeDialogMM(e.AbsLeft() + e.AbsWidth() / 2);
    v.centreY = ShapeDialogMM(e.AbsTop() + e.AbsHeight() / 2);
    v.radiusX = ShapeDialogMM(e.AbsWidth() / 2);
    v.radiusY = ShapeDialogMM(e.AbsHeight() / 2);
    v.lineWidthMM = ShapeDialogMM(e.MMLineWidth());
    v.fill = e.Fill();
    v.color = e.Color();
    return v;
}

ShapeDialogCheck ApplyEllipseDialog(TOAEllipse& e, const EllipseDialogValues& v)
{
    const ShapeDialogCheck result
        = check(ShapeDialog::Ellipse, { v.centreX, v.centreY, v.radiusX, v.radiusY }, v.lineWidthMM);
    if (!result.ok)
        return result;
    e.setAbsLeft(v.centreX - v.radiusX);
    e.setAbsTop(v.centreY - v.radiusY);
    e.setAbsWidth(2 * v.radiusX);
    e.setAbsHeight(2 * v.radiusY);
    e.setMMLineWidth(v.lineWidthMM);
    e.setLineWidth(ShapeDialogLineWidth(ShapeDialog::Ellipse, v.lineWidthMM, e.Zoom()));
    e.setColor(v.color);
    e.setFill(v.fill);
    return result;
}

RectangleDialogValues OpenRectangleDialog(const TOARectangle& r)
{
    RectangleDialogValues v;
    v.startX = ShapeDialogMM(r.AbsLeft());
    v.startY = ShapeDialogMM(r.AbsTop());
    v.width = ShapeDialogMM(r.AbsWidth());
    v.height = ShapeDialogMM(r.AbsHeight());
    v.lineWidthMM = ShapeDialogMM(r.MMLineWidth());
    v.fill = r.Fill();
    v.color = r.Color();
    return v;
}

ShapeDialogCheck ApplyRectangleDialog(TOARectangle& r, const RectangleDialogValues& v)
{
    const ShapeDialogCheck result
        = check(ShapeDialog::Rectangle, { v.startX, v.startY, v.width, v.height }, v.lineWidthMM);
    if (!result.ok)
        return result;
    r.setAbsLeft(v.startX);
    r.setAbsTop(v.startY);
    r.setAbsWidth(v.width);
    r.setAbsHeight(v.height);
    r.setMMLineWidth(v.lineWidthMM);
    r.setLineWidth(ShapeDialogLineWidth(ShapeDialog::Rectangle, v.lineWidthMM, r.Zoom()));
    r.setColor(v.color);
    r.setFill(v.fill);
    return result;
}

} // namespace korvel
