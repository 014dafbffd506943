#include "editor/editing/ClickSelection.h"

#include "document/LabelDocument.h"
#include "document/OALine.h"
#include "document/OAShape.h"
#include "editor/editing/SelectionHandles.h"

#include <algorithm>

namespace korvel {

namespace {
bool isOutlineKind(ObjectKind k)
{
    return k == ObjectKind::Line || k == ObjectKind::HVLine || k == ObjectKind::Rectangle || k == ObjectKind::Ellipse;
}

bool hits(const TOAControl& o, QPoint p)
{
    const int L = o.Left(), T = o.Top(), W = o.Width(), H = o.Height();
    if (!isOutlineKind(o.kind()))
        return L <= p.x() && p.x() <= L + W && T <= p.y() && p.y() <= T + H;
    if (p.y() < T - 5 || p.y() > T + H + 5)
        return false;
    if (auto* line = dynamic_cast<const TOALineShape*>(&o))
        return line->HitsArea(p.x() - L, p.y() - T);
    if (auto* box = dynamic_cast<const TOABoxShape*>(&o))
        return box->HitsArea(p.x() - L, p.y() - T);
    return false;
}
} // namespace

std::vector<TOAControl*> HitsAt(const LabelDocument& document, QPoint point)
{
    std::vector<TOAControl*> found;
    int depth = 0;
    for (const LabObjRec& e : document.containment()) {
        if (!e.control || !hits(*e.control, point))
            continue;
        if (!found.empty() && e.depth < depth) {
            found.push_back(e.control);
            break;
        }
        depth = e.depth;
        found.push_back(e.control);
    }
    return found;
}

TOAControl* ClickSelection::currentObject() const
{
    return current_.isEmpty() ? nullptr : document_.findByName(current_);
}

void ClickSelection::reset()
{
    havePoint_ = false;
    hits_.clear();
    chosenIndex_ = -1;
}

PressOutcome ClickSelection::press(QPoint point, PressModifiers modifiers)
{
    PressOutcome out;
    const auto& selection = document_.selection();
    if (selection.size() == 1) {
        if (const int handle = HandleAt(*selection.front(), point)) {
            out.gesture = PressOutcome::Gesture::Resize;
            out.chosen = selection.front();
            out.handle = handle;
            return out;
        }
    }

    TOAControl* before = currentObject();
    const bool cycling = havePoint_ && point == lastPoint_;
    if (!cycling) {
        havePoint_ = true;
        lastPoint_ = point;
        hits_.clear();
        for (TOAControl* o : HitsAt(document_, point))
            hits_.push_back(o->Name);
        chosenIndex_ = -1;
    }
    // Names can go stale after an undo; drop those no longer in the document.
    std::vector<TOAControl*> hitObjects;
    for (const QString& name : hits_)
        if (TOAControl* o = document_.findByName(name))
            hitObjects.push_back(o);
    const int n = static_cast<int>(hitObjects.size());

    TOAControl* chosen = nullptr;
    if (n == 1 || (n > 1 && cycling)) {
        chosenIndex_ = (chosenIndex_ + 1) % n;
        chosen = hitObjects[static_cast<size_t>(chosenIndex_)];
    } else if (n > 1) {
        const auto at = std::find(hitObjects.begin(), hitObjects.end(), before);
        chosenIndex_ = at == hitObjects.end() ? 0 : static_cast<int>((at - hitObjects.begin() + 1) % n);
        chosen = hitObjects[static_cast<size_t>(chosenIndex_)];
    }
    out.chosen = chosen;
    if (chosen)
        current_ = chosen->Name;

    if (selection.size() <= 1) {
        if (!modifiers.shift && !modifiers.ctrl) {
            if (!chosen || !document_.isSelected(chosen))
                document_.clearSelection();
            if (!chosen) {
                out.gesture = PressOutcome::Gesture::Band;
                return out;
            }
            document_.addToSelection(chosen);
            out.gesture = PressOutcome::Gesture::Move;
            // A drag after a cycling press moves what was current before it, so cycling
            // changes the selection only for clicks.
            if (cycling && n > 1 && before && before != chosen
                && std::find(hitObjects.begin(), hitObjects.end(), before) != hitObjects.end())
                out.dragInstead = before;
            return out;
        }
        if (!chosen) {
            out.gesture = PressOutcome::Gesture::Band;
            return out;
        }
        if (modifiers.ctrl) {
            document_.selectOnly(chosen);
            return out;
        }
        if (document_.isSelected(chosen))
            document_.removeFromSelection(chosen);
        else
            document_.addToSelection(chosen);
        return out;
    }

    // Several objects selected.
    if (!chosen) {
        document_.clearSelection();
        out.gesture = PressOutcome::Gesture::Band;
        return out;
    }
    if (modifiers.shift) {
        if (document_.isSelected(chosen))
            document_.removeFromSelection(chosen);
        else
            document_.addToSelection(chosen);
        return out;
    }
    if (!document_.isSelected(chosen))
        document_.selectOnly(chosen);
    out.gesture = PressOutcome::Gesture::Move;
    return out;
}

std::vector<TOAControl*> ClickSelection::beginDrag(const PressOutcome& outcome)
{
    if (outcome.dragInstead && document_.indexOf(outcome.dragInstead) >= 0) {
        document_.selectOnly(outcome.dragInstead);
        current_ = outcome.dragInstead->Name;
    }
    return document_.selection();
}

void ClickSelection::selectInBand(const QRect& band)
{
    const QRect b = band.normalized();
    for (const auto& o : document_.objects()) {
        const QRect r = o->geometry();
        if (b.left() <= r.left() && r.left() + r.width() <= b.left() + b.width() && b.top() <= r.top()
            && r.top() + r.height() <= b.top() + b.height())
            document_.addToSelection(o.get());
    }
}

void ClickSelection::selectAll()
{
    document_.clearSelection();
    for (const auto& o : document_.objects())
        document_.addToSelection(o.get());
}

} // namespace korvel
