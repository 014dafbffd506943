#include "editor/editing/Gestures.h"

#include "editor/creation/ObjectCreation.h"

#include "document/LabelDocument.h"
#include "document/Rounding.h"
#include "document/Units.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"
#include "editor/editing/ResizeRules.h"

#include <algorithm>

namespace korvel {

int SurfaceGrid::snapped(int px, double zoom) const
{
    if (!snap || stepMM <= 0 || zoom <= 0)
        return px;
    const double step = stepMM * ScreenPPI / 25.4 * zoom;
    if (step < 1)
        return px;
    return static_cast<int>(Round(Round(px / step) * step));
}

QRect GestureOverlay::area() const
{
    QRect r;
    for (const QRect& o : outlines)
        r |= o.adjusted(-1, -1, 1, 1);
    for (const QLine& l : lines)
        r |= QRect(l.p1(), l.p2()).normalized().adjusted(-2, -2, 2, 2);
    if (!band.isNull())
        r |= band.normalized().adjusted(-1, -1, 1, 1);
    if (!bandLine.isNull())
        r |= QRect(bandLine.p1(), bandLine.p2()).normalized().adjusted(-2, -2, 2, 2);
    return r;
}

// ---- move ---------------------------------------------------------------------------------

MoveGesture::MoveGesture(LabelDocument& document, TOperation& history, std::vector<TOAControl*> objects, QPoint press,
    const SurfaceGrid& grid)
    : document_(document)
    , history_(history)
    , objects_(std::move(objects))
    , press_(press)
    , origin_(TopLeftOf(objects_))
    , grid_(grid)
{
}

QPoint MoveGesture::offsetFor(QPoint pointer) const
{
    QPoint d = pointer - press_;
    const double zoom = document_.zoom() / 100.0;
    if (grid_.snap) {
        d.setX(grid_.snapped(origin_.x() + d.x(), zoom) - origin_.x());
        d.setY(grid_.snapped(origin_.y() + d.y(), zoom) - origin_.y());
    }
    // The selection's left and top stay on the surface; there is no limit right and down.
    d.setX(std::max(d.x(), -origin_.x()));
    d.setY(std::max(d.y(), -origin_.y()));
    return d;
}

void MoveGesture::move(QPoint pointer)
{
    offset_ = offsetFor(pointer);
    if (pointer != press_)
        moved_ = true;
}

bool MoveGesture::release(QPoint pointer)
{
    move(pointer);
    if (!moved_ || offset_.isNull())
        return false;
    history_.recordMoved(objects_);
    for (TOAControl* o : objects_) {
        MoveByPixels(*o, offset_.x(), offset_.y());
        document_.refreshContainment(o);
    }
    document_.markModified();
    return true;
}

GestureOverlay MoveGesture::overlay() const
{
    GestureOverlay ov;
    ov.hideHandles = moved_;
    if (!moved_)
        return ov;
    QRect box;
    for (const TOAControl* o : objects_) {
        if (IsLineKind(*o))
            ov.lines.emplace_back(LineStart(*o) + offset_, LineEnd(*o) + offset_);
        else
            ov.outlines.push_back(o->geometry().translated(offset_));
        box |= o->geometry().translated(offset_);
    }
    ov.guidesX = { box.left(), box.left() + box.width() };
    ov.guidesY = { box.top(), box.top() + box.height() };
    return ov;
}

const TOAControl* MoveGesture::subject() const
{
    return objects_.size() == 1 ? objects_.front() : nullptr;
}

QRect MoveGesture::subjectRect() const
{
    if (objects_.size() != 1)
        return {};
    const TOAControl* o = objects_.front();
    if (IsLineKind(*o))
        return QRect(LineStart(*o) + offset_, LineEnd(*o) + offset_);
    return o->geometry().translated(offset_);
}

// ---- resize -------------------------------------------------------------------------------

ResizeGesture::ResizeGesture(
    LabelDocument& document, TOperation& history, TOAControl& object, int handle, const SurfaceGrid& grid)
    : document_(document)
    , history_(history)
    , object_(object)
    , handle_(handle)
    , grid_(grid)
    , band_(object.geometry())
    , start_(LineStart(object))
    , end_(LineEnd(object))
    , line_(IsLineKind(object))
{
}

QPoint ResizeGesture::snappedPointer(QPoint p) const
{
    const double zoom = document_.zoom() / 100.0;
    return { grid_.snapped(p.x(), zoom), grid_.snapped(p.y(), zoom) };
}

void ResizeGesture::move(QPoint pointer)
{
    moved_ = true;
    const QPoint p = snappedPointer(pointer);
    if (line_)
        DraggedLineEnds(object_, handle_, p, start_, end_);
    else
        band_ = ResizedBand(object_.geometry(), handle_, p);
}

bool ResizeGesture::release(QPoint pointer)
{
    if (!moved_)
        return false;
    move(pointer);
    history_.recordChanged({ &object_ });
    if (line_)
        ApplyLineEnds(object_, start_, end_);
    else
        ApplyResizedBand(object_, AtLeastMinimum(band_.normalized()), document_.zoom(), document_.printer.dpi());
    document_.refreshContainment(&object_);
    document_.markModified();
    return true;
}

GestureOverlay ResizeGesture::overlay() const
{
    GestureOverlay ov;
    ov.hideHandles = moved_;
    if (!moved_)
        return ov;
    if (line_) {
        ov.lines.emplace_back(start_, end_);
        ov.guidesX = { end_.x() };
        ov.guidesY = { end_.y() };
    } else {
        const QRect b = band_.normalized();
        ov.outlines.push_back(b);
        ov.guidesX = { b.left(), b.left() + b.width() };
        ov.guidesY = { b.top(), b.top() + b.height() };
    }
    return ov;
}

QRect ResizeGesture::subjectRect() const
{
    return line_ ? QRect(start_, end_) : band_.normalized();
}

// ---- band ---------------------------------------------------------------------------------

BandGesture::BandGesture(
    ClickSelection& selection, int tool, QPoint start, const SurfaceGrid& grid, double zoom, CreationHandler creator)
    : selection_(selection)
    , tool_(tool)
    , start_(start)
    , end_(start)
    , grid_(grid)
    , zoom_(zoom)
    , creator_(std::move(creator))
{
    if (tool_ != 0)
        start_ = end_ = QPoint(grid_.snapped(start.x(), zoom_), grid_.snapped(start.y(), zoom_));
    lock_ = AxisLock(start_);
}

void BandGesture::move(QPoint pointer)
{
    // A creation band starts 6 pixels right of and below the tool cursor's hot spot (the
    // centre of its cross); its end follows the same point, or a click would draw a band.
    if (tool_ != 0)
        pointer += QPoint(6, 6);
    end_ = tool_ == 0 ? pointer : QPoint(grid_.snapped(pointer.x(), zoom_), grid_.snapped(pointer.y(), zoom_));
    if (tool_ == 7)
        end_ = lock_.end(end_);
}

bool BandGesture::release(QPoint pointer)
{
    move(pointer);
    if (tool_ == 0) {
        selection_.selectInBand(band());
        return false;
    }
    if (!creator_)
        return false;
    // The press and release points as they are: the creation code takes the corners it needs.
    return creator_(tool_, QRect(start_, end_));
}

GestureOverlay BandGesture::overlay() const
{
    GestureOverlay ov;
    if (tool_ == 4 || tool_ == 7)
        ov.bandLine = QLine(start_, end_);
    else
        ov.band = band();
    ov.guidesX = { end_.x() };
    ov.guidesY = { end_.y() };
    return ov;
}

} // namespace korvel
