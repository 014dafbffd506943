#include "document/MillimetreBox.h"

#include "document/OAControl.h"
#include "document/OAShape.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <utility>

namespace korvel {

void MillimetreBox::setMillimetres(TOAControl& control, BoxSide side, double mm, int px)
{
    mm_[index(side)] = mm;
    px_[index(side)] = px;
    place(control, side, px);
}

void MillimetreBox::setPixels(TOAControl& control, BoxSide side, int px)
{
    px = ClampPixels(px);
    px_[index(side)] = px;
    mm_[index(side)] = PixelsToMM(px, control.Zoom());
    place(control, side, px);
}

void MillimetreBox::place(TOAControl& control, BoxSide side, int px) const
{
    int bounds[4] = { control.Left(), control.Top(), control.Width(), control.Height() };
    bounds[index(side)] = px;
    control.setBounds(bounds[0], bounds[1], bounds[2], bounds[3]);
    if (side == BoxSide::Width || side == BoxSide::Height)
        control.RebuildImage();
}

void MillimetreBox::takeBounds(const TOAControl& control)
{
    takePixelBounds(control);
    for (int i = 0; i < 4; ++i)
        mm_[i] = PixelsToMM(px_[i], control.Zoom());
}

void MillimetreBox::takePixelBounds(const TOAControl& control)
{
    px_[0] = control.Left();
    px_[1] = control.Top();
    px_[2] = control.Width();
    px_[3] = control.Height();
}

void MillimetreBox::setPixelSize(int width, int height, double zoom)
{
    px_[index(BoxSide::Width)] = width;
    px_[index(BoxSide::Height)] = height;
    mm_[index(BoxSide::Width)] = PixelsToMM(width, zoom);
    mm_[index(BoxSide::Height)] = PixelsToMM(height, zoom);
}

void MillimetreBox::shiftMillimetres(int dx, int dy, double zoom)
{
    double& left = mm_[index(BoxSide::Left)];
    double& top = mm_[index(BoxSide::Top)];
    left = KeepThreeDecimals(left + PixelsToMM(dx, zoom));
    top = KeepThreeDecimals(top + PixelsToMM(dy, zoom));
}

void MillimetreBox::swapMillimetreSizes()
{
    std::swap(mm_[index(BoxSide::Width)], mm_[index(BoxSide::Height)]);
}

void MillimetreBox::swapPixelSizes()
{
    std::swap(px_[index(BoxSide::Width)], px_[index(BoxSide::Height)]);
}

} // namespace korvel
