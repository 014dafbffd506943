#include "document/DesignView.h"

#include "document/LabelDocument.h"
#include "document/OAImage.h"
#include "document/OAShape.h"
#include "document/Rounding.h"

#include <QPainter>

#include <algorithm>

namespace korvel {

namespace {

/// A picture that was drawn and should be there but is not: its memory could not be had.
bool pictureLost(const TOAControl& o)
{
    if (o.pictureDue() || !o.DstBitmap().isNull() || o.Width() < 2 || o.Height() < 2 || o.Width() > MaxShapeSide
        || o.Height() > MaxShapeSide)
        return false;
    switch (o.kind()) {
    case ObjectKind::Text:
    case ObjectKind::Rectangle:
    case ObjectKind::Ellipse:
    case ObjectKind::InvertArea: return true;
    case ObjectKind::Image: return !static_cast<const TOAImage&>(o).OrgImage().isNull();
    default: return false;
    }
}

} // namespace

QImage RenderDesignView(const LabelDocument& document, int zoomPercent, int drawingMode, bool releasePictures)
{
    if (zoomPercent <= 0)
        return {};
    const double factor = zoomPercent / 100.0;
    const int labelRight
        = static_cast<int>(Round(zoomPercent * static_cast<double>(document.pixels().labelWidth) / 100.0)) + 1;
    const int labelBottom
        = static_cast<int>(Round(zoomPercent * static_cast<double>(document.pixels().labelHeight) / 100.0)) + 1;

    // Objects at another zoom are painted from copies, which keeps the document untouched. The
    // copies are laid out here and drawn one by one as they are painted.
    std::vector<std::unique_ptr<TOAControl>> copies(document.objects().size());
    std::vector<TOAControl*> painted;
    long long right = labelRight;
    long long bottom = labelBottom;
    {
        PictureDeferral layOutOnly;
        for (std::size_t i = 0; i < document.objects().size(); ++i) {
            TOAControl* o = document.objects()[i].get();
            if (o->Zoom() != factor) {
                copies[i] = o->clone();
                copies[i]->setZoom(factor);
                o = copies[i].get();
            }
            painted.push_back(o);
            right = std::max(right, static_cast<long long>(o->Left()) + o->Width());
            bottom = std::max(bottom, static_cast<long long>(o->Top()) + o->Height());
        }
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
    for (std::size_t i = 0; i < painted.size(); ++i) {
        TOAControl* o = painted[i];
        const bool wasDue = o->pictureDue();
        const int saved = o->BackgroundPaint;
        o->BackgroundPaint = 0; // no selection handles in a still picture
        o->Paint(painter, drawingMode);
        o->BackgroundPaint = saved;
        if (pictureLost(*o))
            return {};
        if (copies[i])
            copies[i].reset();
        else if (releasePictures && wasDue)
            o->releasePicture();
    }
    painter.end();
    return view;
}

} // namespace korvel
