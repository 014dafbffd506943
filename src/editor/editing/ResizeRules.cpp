#include "editor/editing/ResizeRules.h"

#include "barcode/BarcodeTypes.h"
#include "barcode/OABarCode.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OALabel.h"
#include "document/OALine.h"
#include "document/OAShape.h"
#include "document/Rounding.h"
#include "document/Units.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvel {

QRect ResizedBand(const QRect& start, int handle, QPoint p)
{
    int left = start.left(), top = start.top();
    int right = start.left() + start.width(), bottom = start.top() + start.height();
    switch (handle) {
    case 1: left = p.x(); top = p.y(); break;
    case 2: top = p.y(); break;
    case 3: right = p.x(); top = p.y(); break;
    case 4: left = p.x(); break;
    case 5: right = p.x(); break;
    case 6: left = p.x(); bottom = p.y(); break;
    case 7: bottom = p.y(); break;
    case 8: right = p.x(); bottom = p.y(); break;
    default: break;
    }
    return QRect(left, top, right - left, bottom - top);
}

QRect AtLeastMinimum(const QRect& band)
{
    QRect r = band;
    if (r.width() < MinimumBandSide)
        r.setWidth(MinimumBandSide);
    if (r.height() < MinimumBandSide)
        r.setHeight(MinimumBandSide);
    return r;
}

void DraggedLineEnds(const TOAControl& object, int handle, QPoint pointer, QPoint& start, QPoint& end)
{
    const auto* line = dynamic_cast<const TOALineShape*>(&object);
    if (!line)
        return;
    start = QPoint(line->StartX(), line->StartY());
    end = QPoint(line->EndX(), line->EndY());
    QPoint& moving = handle == 1 ? start : end;
    const QPoint& fixed = handle == 1 ? end : start;
    moving = pointer;
    if (object.kind() == ObjectKind::HVLine) {
        if (line->LineFlag() == ldVertical)
            moving.setX(fixed.x());
        else if (line->LineFlag() == ldHorizontal)
            moving.setY(fixed.y());
    }
}

namespace {
int clampInt(double v, int lo, int hi)
{
    return std::clamp(static_cast<int>(Round(v)), lo, hi);
}

bool quarterTurned(const TOAControl& o)
{
    return o.Angle() == 90 || o.Angle() == 270;
}

void resizeText(TOAText& t, const QRect& band)
{
    const bool turned = quarterTurned(t);
    const int w = turned ? band.height() : band.width();
    const int h = turned ? band.width() : band.height();
    const int oldW = turned ? t.Height() : t.Width();
    const int oldH = turned ? t.Width() : t.Height();
    t.setUpdatesBlocked(true);
    if (t.UsePrnFont() == 1) {
        if (oldH > 0)
            t.SetPrnFntZoomY(clampInt(t.PrnFntZoomY() * static_cast<double>(h) / oldH, 1, 8));
        if (oldW > 0)
            t.SetPrnFntZoomX(clampInt(t.PrnFntZoomX() * static_cast<double>(w) / oldW, 1, 8));
    } else if (t.RoundText() == 1) {
        t.SetDragWidth(w);
        t.SetDragHeight(h);
    } else if (t.TextAlign() == 0) {
        t.SetLineDragWidth(w);
        t.SetDragText(1);
        t.SetDragHeight(h - 1);
    } else {
        t.SetDragWidth(w);
    }
    t.setUpdatesBlocked(false);
    t.RefreshText();
    t.SetVirLeft(band.left());
    t.SetVirTop(band.top());
}

void resizeBarcode(TOABarCode& b, const QRect& band, int zoomPercent, int dpi)
{
    const bool turned = quarterTurned(b);
    const int newW = turned ? band.height() : band.width();
    const int newH = turned ? band.width() : band.height();
    const int oldW = turned ? b.Height() : b.Width();
    const int oldH = turned ? b.Width() : b.Height();
    const TBarCodeType type = b.BarCodeType();
    b.SetIsRefresh(0);
    if (type == TBarCodeType::bcCodePDF417) {
        if (oldW > 0)
            b.SetPDFBaseWidth(std::max(1, static_cast<int>(Round(b.PDFBaseWidth() * static_cast<double>(newW) / oldW))));
        if (oldH > 0)
            b.SetPDFBaseHeight(
                std::max(1, static_cast<int>(Round(b.PDFBaseHeight() * static_cast<double>(newH) / oldH))));
    } else if (type == TBarCodeType::bcCodeQR) {
        if (oldW > 0)
            b.SetQRcodeElement(
                std::max(1, static_cast<int>(Round(b.QRcodeElement() * static_cast<double>(newW) / oldW))));
    } else {
        const int d = b.ShowText() ? b.ShowTextHeight() : 0;
        const int oneDot = static_cast<int>(Round(static_cast<double>(dpi) / ScreenPPI));
        if (newH <= std::max(d, 1)) {
            b.SetBarHeight(oneDot);
        } else {
            int height = std::max(oneDot, static_cast<int>(Round(dpi * std::abs(newH - d - 1) / double(ScreenPPI))));
            const int typeNo = static_cast<int>(type);
            if (typeNo >= 10 && typeNo <= 13)
                height -= static_cast<int>(Round(dpi * 1.65 / 25.4 * zoomPercent / 100.0));
            else if (typeNo == 18)
                height -= 2 * static_cast<int>(Round(dpi * 1.37 / 25.4 * zoomPercent / 100.0));
            b.SetBarHeight(std::max(oneDot, height));
        }
        if (oldW > 0) {
            const int oldNarrow = std::max(1, b.BarNarrow());
            const int narrow = clampInt(oldNarrow * static_cast<double>(newW) / oldW, 1, 8);
            b.SetBarWide(static_cast<int>(Round(b.BarWide() * static_cast<double>(narrow) / oldNarrow)));
            b.SetBarNarrow(narrow);
        }
    }
    b.SetIsRefresh(1);
    b.RebuildImage();
    b.SetVirLeft(band.left());
    b.SetVirTop(band.top());
}

void resizeImage(TOAImage& i, const QRect& band)
{
    if (i.DragWidthFlag == 1) {
        if (quarterTurned(i))
            i.setDragHeight(band.height());
        else
            i.setDragWidth(band.width());
    } else {
        i.setVirWidth(band.width());
        i.setVirHeight(band.height());
    }
    i.setVirLeft(band.left());
    i.setVirTop(band.top());
}
} // namespace

void ApplyResizedBand(TOAControl& object, const QRect& band, int zoomPercent, int dpi)
{
    if (auto* t = dynamic_cast<TOAText*>(&object))
        resizeText(*t, band);
    else if (auto* b = dynamic_cast<TOABarCode*>(&object))
        resizeBarcode(*b, band, zoomPercent, dpi);
    else if (auto* i = dynamic_cast<TOAImage*>(&object))
        resizeImage(*i, band);
    else if (auto* s = dynamic_cast<TOABoxShape*>(&object)) {
        s->setVirBounds(band.left(), band.top(), band.width(), band.height());
        if (object.kind() == ObjectKind::Ellipse)
            s->setLineWidth(s->LineWidth());
    }
}

void ApplyLineEnds(TOAControl& object, QPoint start, QPoint end)
{
    auto* line = dynamic_cast<TOALineShape*>(&object);
    if (!line)
        return;
    if (object.kind() == ObjectKind::HVLine) {
        const int limit = MMToPixels(LongestStraightLineMM, object.Zoom());
        if (line->LineFlag() == ldVertical && std::abs(end.y() - start.y()) > limit)
            end.setY(start.y() + (end.y() >= start.y() ? limit : -limit));
        else if (line->LineFlag() == ldHorizontal && std::abs(end.x() - start.x()) > limit)
            end.setX(start.x() + (end.x() >= start.x() ? limit : -limit));
    }
    line->setPoints(start, end);
}

} // namespace korvel
