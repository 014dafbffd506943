#include "printing/emission/EmissionGeometry.h"

#include "document/LabelDocument.h"
#include "document/OAControl.h"
#include "document/Rounding.h"

#include <algorithm>
#include <cmath>

namespace korvel {

int DotRound(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(Round(std::clamp(v, -1000000.0, 1000000.0)));
}

int DotScale::px100(int v) const
{
    const int z = zoomPercent > 0 ? zoomPercent : 100;
    return DotRound(double(v) * 100.0 / z);
}

int DotScale::dotsPx(int p) const
{
    const int screen = ppi > 0 ? ppi : ScreenPPI;
    return DotRound(double(p) * dpi / screen);
}

int DotScale::dotsMm(double m) const
{
    return DotRound(dpi * m / 25.4);
}

int DotScale::dotsLine(double w) const
{
    const int t = DotRound(w * (dpi == 300 ? 12.0 : 8.0));
    return t <= 0 ? 1 : t;
}

int DotScale::gridOffset(int k, int size, int gap) const
{
    return DotRound(double(size + gap) * (k - 1) * dpi / 254.0);
}

DotScale DotScale::of(const LabelDocument& document, int ppi)
{
    DotScale s;
    s.dpi = document.printer.dpi();
    s.ppi = ppi;
    s.zoomPercent = document.zoom();
    return s;
}

QRect RectAt100(const TOAControl& object, const DotScale& scale)
{
    return QRect(scale.px100(object.Left()), scale.px100(object.Top()), scale.px100(object.Width()),
        scale.px100(object.Height()));
}

bool InsideLabel(const QRect& r, int lw, int lh)
{
    const long long right = static_cast<long long>(r.x()) + r.width();
    const long long bottom = static_cast<long long>(r.y()) + r.height();
    return r.x() >= 0 && r.y() >= 0 && right <= lw && bottom <= lh;
}

bool StrictlyInsideLabel(const QRect& r, int lw, int lh)
{
    const long long right = static_cast<long long>(r.x()) + r.width();
    const long long bottom = static_cast<long long>(r.y()) + r.height();
    return r.x() >= 0 && r.y() >= 0 && right < lw && bottom < lh;
}

} // namespace korvel
