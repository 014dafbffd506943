#include "editor/editing/RulerScale.h"

#include "document/Units.h"

#include <cmath>

namespace korvel {

std::vector<RulerMark> RulerMarks(double zoom, double from, double to, int thickness)
{
    std::vector<RulerMark> marks;
    if (!(zoom > 0) || !(to > from))
        return marks;
    const int perCm = zoom >= 2 ? 10 : 4;
    const double spacing = ScreenPPI / 2.54 / perCm * zoom;
    const long long first = static_cast<long long>(std::floor(from / spacing));
    const long long last = static_cast<long long>(std::ceil(to / spacing));
    // A ruler is never asked for more than a screen's worth; the cap keeps bad input cheap.
    if (last - first > 100000)
        return marks;
    for (long long i = first; i <= last; ++i) {
        RulerMark m;
        m.position = i * spacing;
        if (m.position < from || m.position > to)
            continue;
        if (i % perCm == 0) {
            m.length = thickness - 1;
            const long long mm = i / perCm * 10;
            m.label = std::llabs(mm) >= 10000 ? QString::number(mm / 1000) + QStringLiteral("k") : QString::number(mm);
        } else if (i % (perCm / 2) == 0) {
            m.length = thickness * 3 / 5;
        } else {
            m.length = thickness * 2 / 5;
        }
        marks.push_back(m);
    }
    return marks;
}

} // namespace korvel
