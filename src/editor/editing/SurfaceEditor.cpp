#include "editor/editing/SurfaceEditor.h"

#include "document/LabelDocument.h"
#include "document/Units.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"
#include "editor/editing/SelectionHandles.h"

#include <QLineF>

#include <algorithm>

namespace korvel {

SurfaceEditor::SurfaceEditor(LabelDocument& document, TOperation& history)
    : document_(document)
    , history_(history)
    , selection_(document)
{
}

SurfaceEditor::~SurfaceEditor() = default;

void SurfaceEditor::press(QPoint point, PressModifiers modifiers)
{
    cancel();
    pressed_ = true;
    dragStarted_ = false;
    pressPoint_ = point;
    outcome_ = {};
    if (tool != 0) {
        // The tool cursors' hot spot lies 6 pixels up and left of where the band starts.
        gesture_ = std::make_unique<BandGesture>(
            selection_, tool, point + QPoint(6, 6), grid, document_.zoom() / 100.0, creator);
        return;
    }
    outcome_ = selection_.press(point, modifiers);
    switch (outcome_.gesture) {
    case PressOutcome::Gesture::Resize:
        gesture_ = std::make_unique<ResizeGesture>(document_, history_, *outcome_.chosen, outcome_.handle, grid);
        break;
    case PressOutcome::Gesture::Band:
        gesture_ = std::make_unique<BandGesture>(selection_, 0, point, grid, document_.zoom() / 100.0, nullptr);
        break;
    default: break; // a move starts with the first movement
    }
}

void SurfaceEditor::startGesture()
{
    dragStarted_ = true;
    if (outcome_.gesture != PressOutcome::Gesture::Move)
        return;
    std::vector<TOAControl*> objects = selection_.beginDrag(outcome_);
    if (!objects.empty())
        gesture_ = std::make_unique<MoveGesture>(document_, history_, std::move(objects), pressPoint_, grid);
}

bool SurfaceEditor::move(QPoint point)
{
    if (!pressed_)
        return false;
    if (!dragStarted_ && point != pressPoint_)
        startGesture();
    if (!gesture_)
        return false;
    gesture_->move(point);
    return true;
}

bool SurfaceEditor::release(QPoint point)
{
    if (!pressed_)
        return false;
    pressed_ = false;
    bool changed = false;
    if (gesture_)
        changed = gesture_->release(point);
    gesture_.reset();
    if (changed)
        selection_.reset();
    return changed;
}

void SurfaceEditor::cancel()
{
    if (gesture_)
        gesture_->cancel();
    gesture_.reset();
    pressed_ = false;
}

void SurfaceEditor::reset()
{
    cancel();
    selection_.reset();
}

void SurfaceEditor::selectAll()
{
    selection_.selectAll();
}

bool SurfaceEditor::moveSelection(int direction, bool byMillimetre, bool continuing)
{
    std::vector<TOAControl*> objects = document_.selection();
    if (objects.empty() || busy())
        return false;
    const bool up = direction == 0, down = direction == 1, left = direction == 2;
    const double step = byMillimetre ? 1.0 : 0.0;
    const int dx = direction == 2 ? -1 : direction == 3 ? 1 : 0;
    const int dy = up ? -1 : down ? 1 : 0;
    if (byMillimetre) {
        double minLeft = 1e300, minTop = 1e300;
        for (const TOAControl* o : objects) {
            const QPointF p = PositionMM(*o);
            minLeft = std::min(minLeft, p.x());
            minTop = std::min(minTop, p.y());
            if (IsLineKind(*o)) {
                minLeft = std::min(minLeft, PixelsToMM(LineEnd(*o).x(), o->Zoom()));
                minTop = std::min(minTop, PixelsToMM(LineEnd(*o).y(), o->Zoom()));
            }
        }
        if (left && minLeft < 1.0)
            return false;
        if (up && minTop < 1.0) {
            // Only lines with an end at 1.0 mm or less may be the reason: they stay, the rest move.
            bool blockedByBox = false;
            for (const TOAControl* o : objects)
                if (!IsLineKind(*o) && PositionMM(*o).y() < 1.0)
                    blockedByBox = true;
            if (blockedByBox)
                return false;
        }
        // A line with an end at 1.0 mm or less stays where it is when the others move up.
        if (up) {
            objects.erase(std::remove_if(objects.begin(), objects.end(),
                              [](const TOAControl* o) {
                                  if (!IsLineKind(*o))
                                      return false;
                                  const QPointF s = PositionMM(*o);
                                  const double endY = PixelsToMM(LineEnd(*o).y(), o->Zoom());
                                  return s.y() <= 1.0 || endY <= 1.0;
                              }),
                objects.end());
            if (objects.empty())
                return false;
        }
    } else {
        const QPoint topLeft = TopLeftOf(objects);
        if ((up && topLeft.y() < 1) || (left && topLeft.x() < 1))
            return false;
    }
    if (!continuing)
        history_.recordMoved(objects);
    for (TOAControl* o : objects) {
        if (byMillimetre)
            MoveByMillimetres(*o, dx * step, dy * step);
        else
            MoveByPixels(*o, dx, dy);
        document_.refreshContainment(o);
    }
    document_.markModified();
    selection_.reset();
    return true;
}

GestureOverlay SurfaceEditor::overlay() const
{
    return gesture_ ? gesture_->overlay() : GestureOverlay{};
}

std::optional<GestureStatus> SurfaceEditor::status() const
{
    if (!gesture_ || !gesture_->subject() || !dragStarted_)
        return std::nullopt;
    const TOAControl& o = *gesture_->subject();
    const QRect r = gesture_->subjectRect();
    const double zoom = o.Zoom();
    GestureStatus s;
    s.kind = o.kind();
    s.line = IsLineKind(o);
    s.positionMM = QPointF(PixelsToMM(r.left(), zoom), PixelsToMM(r.top(), zoom));
    if (s.line) {
        const QPointF a(PixelsToMM(r.left(), zoom), PixelsToMM(r.top(), zoom));
        const QPointF b(PixelsToMM(r.right(), zoom), PixelsToMM(r.bottom(), zoom));
        s.lengthMM = QLineF(a, b).length();
    } else {
        s.sizeMM = QSizeF(PixelsToMM(r.width(), zoom), PixelsToMM(r.height(), zoom));
    }
    return s;
}

int SurfaceEditor::handleAt(QPoint point) const
{
    if (busy() || document_.selection().size() != 1)
        return 0;
    return HandleAt(*document_.selection().front(), point);
}

} // namespace korvel
