#include "document/DesignView.h"

#include "document/LabelDocument.h"
#include "document/Rounding.h"

#include <QPainter>

#include <algorithm>

namespace korvel {

QImage RenderDesignView(const LabelDocument& document, int zoomPercent, int drawingMode)
{
    if (zoomPercent <= 0)
        return {};
    const double factor = zoomPercent / 100.0;
    const int labelRight
        = static_cast<int>(Round(zoomPercent * static_cast<double>(document.pixels().labelWidth) / 100.0)) + 1;
    const int labelBottom
        = static_cast<int>(Round(zoomPercent * static_cast<double>(document.pixels().labelHeight) / 100.0)) + 1;

    // Objects at another zoom are painted from copies, which keeps the document untouched.
    std::vector<std::unique_ptr<TOAControl>> copies;
    std::vector<TOAControl*> painted;
    long long right = labelRight;
    long long bottom = labelBottom;
    for (const auto& object : document.objects()) {
        TOAControl* o = object.get();
        if (o->Zoom() != factor) {
            copies.push_back(o->clone());
            copies.back()->setZoom(factor);
            o = copies.back().get();
        }
        painted.push_back(o);
        right = std::max(right, static_cast<long long>(o->Left()) + o->Width());
        bottom = std::max(bottom, static_cast<long long>(o->Top()) + o->Height());
    }
    // Nothing lies beyond the surface's scroll range, which also keeps a stray object from
    // asking for an enormous picture.
    const long long surfaceWidth = std::max<long long>(labelRight, Round(zoomPercent * 2700 / 100.0));
    const long long surfaceHeight = std::max<long long>(labelBottom, Round(zoomPercent * 1700 / 100.0));
    QImage view(static_cast<int>(std::min(right, surfaceWidth)), static_cast<int>(std::min(bottom, surfaceHeight)),
        QImage::Format_RGB32);
    if (view.isNull())
        return {};
    view.fill(QColor::fromRgb(DesignSurfaceColor));
    QPainter painter(&view);
    painter.fillRect(QRect(0, 0, labelRight, labelBottom), Qt::white);
    for (TOAControl* o : painted) {
        const int saved = o->BackgroundPaint;
        o->BackgroundPaint = 0; // no selection handles in a still picture
        o->Paint(painter, drawingMode);
        o->BackgroundPaint = saved;
    }
    painter.end();
    return view;
}

} // namespace korvel
