#include "editor/arrange/Arrange.h"

#include "document/LabelDocument.h"
#include "document/OALine.h"
#include "editor/editing/ObjectMotion.h"
#include "editor/editing/Operation.h"

#include <algorithm>
#include <climits>

namespace korvel {

int AlignNeeds(int code)
{
    if (code >= 0 && code <= 5)
        return 2;
    if (code == 6 || code == 7)
        return 3;
    if (code == 8 || code == 9)
        return 1;
    return 0;
}

namespace {

/// Moves an object so that its screen rectangle starts at (left, top).
void placeAt(TOAControl& object, int left, int top)
{
    MoveByPixels(object, left - object.Left(), top - object.Top());
}

void finishMoves(LabelDocument& document)
{
    document.refreshSelectionContainment();
    document.markModified();
}

void spaceEvenly(const std::vector<TOAControl*>& selection, bool horizontal)
{
    std::vector<TOAControl*> sorted = selection;
    const auto pos = [horizontal](const TOAControl* o) { return horizontal ? o->Left() : o->Top(); };
    const auto extent = [horizontal](const TOAControl* o) { return horizontal ? o->Width() : o->Height(); };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const TOAControl* a, const TOAControl* b) { return pos(a) < pos(b); });
    const int n = static_cast<int>(sorted.size());
    const int first = pos(sorted.front());
    const int last = pos(sorted.back());
    const int span = last - first;
    int total = 0;
    for (const TOAControl* o : sorted)
        total += extent(o);
    total -= extent(sorted.back());
    int at = first;
    for (int i = 0; i < n; ++i) {
        TOAControl* o = sorted[static_cast<size_t>(i)];
        const int target = total < span ? at : first + i * (span / (n - 1));
        if (horizontal)
            placeAt(*o, target, o->Top());
        else
            placeAt(*o, o->Left(), target);
        if (total < span)
            at = target + extent(o) + (span - total) / (n - 1);
    }
}

} // namespace

bool ArrangeSelection(LabelDocument& document, TOperation& history, int code)
{
    const std::vector<TOAControl*> selection = document.selection();
    const int needs = AlignNeeds(code);
    if (needs == 0 || static_cast<int>(selection.size()) < needs)
        return false;
    history.recordMoved(selection);
    if (code == 6 || code == 7) {
        spaceEvenly(selection, code == 6);
        finishMoves(document);
        return true;
    }
    int minL = INT_MAX, minT = INT_MAX, maxR = INT_MIN, maxB = INT_MIN;
    int yc = 0, xc = 0;
    for (const TOAControl* o : selection) {
        if (o->Left() < minL) {
            minL = o->Left();
            yc = o->Top() + o->Height() / 2;
        }
        if (o->Top() < minT) {
            minT = o->Top();
            xc = o->Left() + o->Width() / 2;
        }
        maxR = std::max(maxR, o->Left() + o->Width());
        maxB = std::max(maxB, o->Top() + o->Height());
    }
    const int zoom = document.zoom();
    const int dx = (document.pixels().labelWidth * zoom / 100 + minL - maxR) / 2 - minL;
    const int dy = (document.pixels().labelHeight * zoom / 100 + minT - maxB) / 2 - minT;
    for (TOAControl* o : selection) {
        const int l = o->Left(), t = o->Top(), w = o->Width(), h = o->Height();
        switch (code) {
        case 0: placeAt(*o, minL, t); break;
        case 1: placeAt(*o, xc - w / 2, t); break;
        case 2: placeAt(*o, maxR - w, t); break;
        case 3: placeAt(*o, l, minT); break;
        case 4: placeAt(*o, l, yc - h / 2); break;
        case 5: placeAt(*o, l, maxB - h); break;
        case 8: placeAt(*o, l + dx, t); break;
        case 9: placeAt(*o, l, t + dy); break;
        default: break;
        }
    }
    finishMoves(document);
    return true;
}

namespace {

/// The smallest x and y the object covers (a line: of its two end points).
QPoint reach(const TOAControl& object)
{
    if (IsLineKind(object)) {
        const QPoint a = LineStart(object), b = LineEnd(object);
        return { std::min(a.x(), b.x()), std::min(a.y(), b.y()) };
    }
    return object.geometry().topLeft();
}

} // namespace

bool RotateSelection(LabelDocument& document, TOperation& history, RotationMemory& memory, int degrees)
{
    if (document.selection().size() != 1)
        return false;
    TOAControl* object = document.selection().front();
    history.recordRotated({ object });
    if (memory.name == object->Name && memory.pushed)
        MoveByPixels(*object, -memory.pushedBy.x(), -memory.pushedBy.y());
    const int angle = ((object->Angle() + degrees) % 360 + 360) % 360;
    object->setAngle(angle);
    const QPoint at = reach(*object);
    const QPoint push(at.x() < 1 ? -at.x() : 0, at.y() < 1 ? -at.y() : 0);
    MoveByPixels(*object, push.x(), push.y());
    memory.name = object->Name;
    memory.pushed = push != QPoint(0, 0);
    memory.pushedBy = push;
    document.refreshContainment(object);
    document.markModified();
    return true;
}

bool DeleteSelection(LabelDocument& document, TOperation& history)
{
    const std::vector<TOAControl*> selection = document.selection();
    if (selection.empty())
        return false;
    history.recordDeleted(selection);
    document.clearSelection();
    for (TOAControl* o : selection)
        document.removeObject(o);
    if (document.objectCount() > 0) {
        TOAControl* last = document.object(document.objectCount() - 1);
        document.selectOnly(last);
        for (const LabObjRec& entry : document.containment())
            if (entry.control == last)
                document.currentObjectNumber = entry.number;
    }
    document.markModified();
    return true;
}

bool ChangeZOrder(LabelDocument& document, TOperation& history, ZOrderMove move)
{
    if (document.selection().empty())
        return false;
    std::vector<TOAControl*> before;
    for (const auto& o : document.objects())
        before.push_back(o.get());
    std::vector<TOAControl*> order = before;
    const auto selected = [&document](const TOAControl* o) { return document.isSelected(o); };
    switch (move) {
    case ZOrderMove::BringToFront:
        std::stable_partition(order.begin(), order.end(), [&](const TOAControl* o) { return !selected(o); });
        break;
    case ZOrderMove::SendToBack:
        std::stable_partition(order.begin(), order.end(), selected);
        break;
    case ZOrderMove::Raise:
        for (int i = static_cast<int>(order.size()) - 2; i >= 0; --i)
            if (selected(order[static_cast<size_t>(i)]) && !selected(order[static_cast<size_t>(i) + 1]))
                std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(i) + 1]);
        break;
    case ZOrderMove::Lower:
        for (size_t i = 1; i < order.size(); ++i)
            if (selected(order[i]) && !selected(order[i - 1]))
                std::swap(order[i], order[i - 1]);
        break;
    }
    // Inverse areas invert whatever lies below them, so they always stay on top.
    std::stable_partition(order.begin(), order.end(), [](const TOAControl* o) { return o->kind() != ObjectKind::InvertArea; });
    if (order == before)
        return false;
    // The whole list is one step: undo puts every object back at its recorded position.
    history.recordChanged(before);
    for (size_t i = 0; i < order.size(); ++i)
        document.moveObject(order[i], static_cast<int>(i));
    document.markModified();
    return true;
}

} // namespace korvel
