#include "editor/editing/Operation.h"

#include "document/LabelDocument.h"
#include "editor/editing/ObjectMotion.h"
#include "persistence/ObjectRecords.h"

#include <algorithm>

namespace korvel {

int UndoKindCode(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return 1;
    case ObjectKind::BarCode: return 2;
    case ObjectKind::Image: return 3;
    case ObjectKind::HVLine: return 4;
    case ObjectKind::Line: return 5;
    case ObjectKind::Rectangle: return 6;
    case ObjectKind::Ellipse: return 7;
    case ObjectKind::InvertArea: return 9;
    }
    return 0;
}

TOperation::TOperation(LabelDocument& document) : document_(document) {}

ObjectSnapshot TOperation::TakeSnapshot(const TOAControl& object)
{
    ObjectSnapshot s;
    s.fileKind = static_cast<int>(object.kind());
    FixedRecord record;
    PoolWriter pool;
    if (BuildRecord(object, record, pool, nullptr)) {
        s.record = record.bytes();
        s.pool = pool.data();
    }
    return s;
}

std::unique_ptr<TOAControl> TOperation::MakeFromSnapshot(const ObjectSnapshot& snapshot, int zoomPercent, int dpi)
{
    if (snapshot.record.isEmpty())
        return nullptr;
    RecordContext context;
    context.layout = RecordLayout::V100;
    context.fileReading = false;
    context.documentZoom = zoomPercent;
    context.documentDpi = dpi;
    RecordResult made = MakeObject(snapshot.fileKind, FixedRecord(snapshot.record), PoolReader(snapshot.pool), context);
    return std::move(made.object);
}

UndoEntry TOperation::entryFor(TOAControl& object, OperationCode op, int groupSize, bool first, std::uint64_t id) const
{
    UndoEntry e;
    e.name = object.Name;
    e.groupSize = groupSize;
    e.firstOfGroup = first;
    e.operation = op;
    e.kindCode = UndoKindCode(object.kind());
    e.zIndex = document_.indexOf(&object);
    e.groupId = id;
    if (op == OperationCode::Moved || op == OperationCode::Rotated) {
        e.zoom = object.Zoom();
        e.position = TakePosition(object);
    } else {
        e.zoom = document_.zoom();
        e.full = TakeSnapshot(object);
    }
    return e;
}

void TOperation::record(OperationCode operation, const std::vector<TOAControl*>& objects)
{
    if (objects.empty())
        return;
    clearRedo();
    const std::uint64_t id = nextId_++;
    const int size = static_cast<int>(objects.size());
    for (int i = 0; i < size; ++i)
        push(undo_, undoGroups_, entryFor(*objects[static_cast<size_t>(i)], operation, size, i == 0, id));
    ++serial_;
}

void TOperation::recordCreated(const std::vector<TOAControl*>& objects)
{
    record(OperationCode::Created, objects);
}
void TOperation::recordDeleted(const std::vector<TOAControl*>& objects)
{
    record(OperationCode::Deleted, objects);
}
void TOperation::recordChanged(const std::vector<TOAControl*>& objects)
{
    record(OperationCode::Changed, objects);
}
void TOperation::recordMoved(const std::vector<TOAControl*>& objects)
{
    record(OperationCode::Moved, objects);
}
void TOperation::recordRotated(const std::vector<TOAControl*>& objects)
{
    record(OperationCode::Rotated, objects);
}

void TOperation::push(std::deque<UndoEntry>& stack, int& groups, UndoEntry entry)
{
    const bool first = entry.firstOfGroup;
    stack.push_back(std::move(entry));
    if (!first)
        return;
    if (++groups > GroupLimit)
        dropOldest(stack, groups);
}

UndoEntry TOperation::pop(std::deque<UndoEntry>& stack, int& groups)
{
    UndoEntry e = std::move(stack.back());
    stack.pop_back();
    if (e.firstOfGroup)
        --groups;
    return e;
}

std::optional<OperationCode> TOperation::nextUndo() const
{
    if (undo_.empty())
        return std::nullopt;
    return undo_.back().operation;
}

std::optional<OperationCode> TOperation::nextRedo() const
{
    if (redo_.empty())
        return std::nullopt;
    return redo_.back().operation;
}

bool TOperation::undo()
{
    return step(true);
}

bool TOperation::redo()
{
    return step(false);
}

bool TOperation::step(bool undoing)
{
    auto& from = undoing ? undo_ : redo_;
    int& fromGroups = undoing ? undoGroups_ : redoGroups_;
    auto& to = undoing ? redo_ : undo_;
    int& toGroups = undoing ? redoGroups_ : undoGroups_;
    if (from.empty())
        return false;
    document_.clearSelection();
    // A group is taken by its identity, not by the stored size, so a damaged count can never
    // eat into the next group.
    const std::uint64_t id = from.back().groupId;
    std::vector<UndoEntry> group;
    while (!from.empty() && from.back().groupId == id)
        group.push_back(pop(from, fromGroups));
    // Objects that come back take their old list positions, lowest first, so that each lands
    // where it was; positions of objects that go are read before any of them goes.
    const bool creating = (group.front().operation == OperationCode::Created) != undoing
        && (group.front().operation == OperationCode::Created || group.front().operation == OperationCode::Deleted);
    // A changed group that covers a reordering (z-order moves) puts its objects back in the
    // same way, lowest position first.
    if (creating || group.front().operation == OperationCode::Changed)
        std::stable_sort(group.begin(), group.end(), [](const UndoEntry& a, const UndoEntry& b) { return a.zIndex < b.zIndex; });
    std::vector<int> present;
    for (const UndoEntry& e : group)
        present.push_back(document_.indexOf(document_.findByName(e.name)));
    const size_t before = to.size();
    for (size_t i = 0; i < group.size(); ++i) {
        UndoEntry opposite;
        if (apply(group[i], undoing, opposite)) {
            if (present[i] >= 0)
                opposite.zIndex = present[i];
            to.push_back(std::move(opposite));
        }
    }
    const int pushed = static_cast<int>(to.size() - before);
    for (int i = 0; i < pushed; ++i) {
        UndoEntry& e = to[before + static_cast<size_t>(i)];
        e.groupSize = pushed;
        e.firstOfGroup = i == 0;
    }
    if (pushed > 0 && ++toGroups > GroupLimit)
        dropOldest(to, toGroups);
    ++serial_;
    refreshModified();
    return true;
}

void TOperation::dropOldest(std::deque<UndoEntry>& stack, int& groups)
{
    if (stack.empty())
        return;
    const std::uint64_t dropped = stack.front().groupId;
    while (!stack.empty() && stack.front().groupId == dropped)
        stack.pop_front();
    --groups;
    if (&stack == &undo_)
        baseId_ = dropped;
}

bool TOperation::apply(const UndoEntry& entry, bool undoing, UndoEntry& opposite)
{
    opposite = entry;
    const int zoom = document_.zoom();
    const int dpi = document_.printer.dpi();
    TOAControl* object = document_.findByName(entry.name);
    // A creation is taken back by undo and repeated by redo; a deletion the other way round.
    const bool remove = (entry.operation == OperationCode::Created) == undoing;
    switch (entry.operation) {
    case OperationCode::Created:
    case OperationCode::Deleted:
        if (remove) {
            if (!object)
                return false;
            opposite.full = TakeSnapshot(*object);
            document_.removeObject(object);
        } else {
            if (object)
                return false; // the name is taken: never two objects with one name
            auto made = MakeFromSnapshot(entry.full, zoom, dpi);
            if (!made)
                return false;
            TOAControl* raw = document_.appendObject(std::move(made));
            if (!raw)
                return false;
            if (entry.zIndex >= 0)
                document_.moveObject(raw, entry.zIndex);
        }
        return true;
    case OperationCode::Changed: {
        if (!object)
            return false;
        auto made = MakeFromSnapshot(entry.full, zoom, dpi);
        if (!made)
            return false;
        const int index = document_.indexOf(object);
        opposite.full = TakeSnapshot(*object);
        opposite.zoom = zoom;
        document_.removeObject(object);
        TOAControl* raw = document_.appendObject(std::move(made));
        if (!raw)
            return false;
        document_.moveObject(raw, entry.zIndex >= 0 ? entry.zIndex : index);
        return true;
    }
    case OperationCode::Moved:
    case OperationCode::Rotated:
        if (!object)
            return false;
        opposite.position = TakePosition(*object);
        opposite.zoom = object->Zoom();
        RestorePosition(*object, entry.position, dpi);
        document_.refreshContainment(object);
        return true;
    }
    return false;
}

void TOperation::clearRedo()
{
    redo_.clear();
    redoGroups_ = 0;
}

void TOperation::clear()
{
    undo_.clear();
    redo_.clear();
    undoGroups_ = redoGroups_ = 0;
    baseId_ = savedId_ = nextId_++;
    savedReachable_ = true;
    ++serial_;
}

void TOperation::dropNewestGroup()
{
    if (undo_.empty())
        return;
    const std::uint64_t id = undo_.back().groupId;
    while (!undo_.empty() && undo_.back().groupId == id)
        pop(undo_, undoGroups_);
    ++serial_;
}

std::uint64_t TOperation::topId() const
{
    return undo_.empty() ? baseId_ : undo_.back().groupId;
}

void TOperation::markSaved()
{
    savedId_ = topId();
    savedReachable_ = true;
}

bool TOperation::atSavedState() const
{
    return savedReachable_ && topId() == savedId_;
}

void TOperation::forgetSavedState()
{
    savedReachable_ = false;
}

void TOperation::refreshModified()
{
    if (atSavedState())
        document_.modified = false;
    else
        document_.markModified();
}

} // namespace korvel
