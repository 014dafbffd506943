#pragma once

#include "document/OAControl.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace korvel {

class LabelDocument;

/// What an undo group did; the numbers are the stored operation codes.
enum class OperationCode : int { Created = 4, Deleted = 8, Changed = 16, Moved = 32, Rotated = 64 };

/// Kind code of a history entry (its own numbering: 1 text, 2 barcode, 3 image,
/// 4 horizontal/vertical line, 5 line, 6 rectangle, 7 ellipse, 9 inverse area).
int UndoKindCode(ObjectKind kind);

/// An object as its version-100 file record plus the pool items the record refers to, so a
/// text of any length and the bytes of a picture come back whole.
struct ObjectSnapshot {
    int fileKind = 0;
    QByteArray record;
    QByteArray pool;
};

/// Where an object stands (moves and rotations): its angle and its millimetre position —
/// text and barcode left and top; image, rectangle, ellipse and inverse area left, top,
/// width and height; lines their start and end points.
struct PositionSnapshot {
    int angle = 0;
    double mm[4] = { 0, 0, 0, 0 };
    int pixelWidth = 0; ///< the barcode's screen size, kept for reference
    int pixelHeight = 0;
};

/// One object's share of an undo group.
struct UndoEntry {
    QString name; ///< objects are found again by name
    int groupSize = 1;
    bool firstOfGroup = true;
    double zoom = 200; ///< document zoom in percent (a move entry: the object's zoom factor)
    OperationCode operation = OperationCode::Changed;
    int kindCode = 0;
    ObjectSnapshot full; ///< codes 4, 8 and 16
    PositionSnapshot position; ///< codes 32 and 64
    int zIndex = -1; ///< list position when recorded (a deleted object comes back there)
    std::uint64_t groupId = 0;
    std::int16_t extra16 = 0;
    std::uint8_t extra8 = 0;
};

/// The undo history of one document (`TOperation`): snapshots of the objects an operation
/// touched, not commands. Undo restores the snapshot and keeps the present state for redo.
///
/// How a command records its undo step (one call = one group = one Ctrl+Z):
///  - properties or size (resize, property dialog, formatting bar): recordChanged(objects)
///    BEFORE changing them;
///  - moves (mouse, keyboard, align, spacing, centring): recordMoved(objects) BEFORE moving;
///  - rotation: recordRotated(objects) BEFORE turning;
///  - creation and paste: recordCreated(objects) AFTER the objects were added to the document;
///  - delete and cut: recordDeleted(objects) BEFORE removing them.
/// Then the command changes the document and calls LabelDocument::markModified(). Objects are
/// found again by Name, so every object of a document must keep a unique name. A command whose
/// dialog was cancelled after recording takes its entry back with dropNewestGroup().
///
/// Every new record clears the redo history (a redo of a creation after a new object took the
/// same name would otherwise give two objects one name). At most GroupLimit groups are kept on
/// each stack; the oldest group goes first.
class TOperation {
public:
    static constexpr int GroupLimit = 200;

    explicit TOperation(LabelDocument& document);

    void recordCreated(const std::vector<TOAControl*>& objects);
    void recordDeleted(const std::vector<TOAControl*>& objects);
    void recordChanged(const std::vector<TOAControl*>& objects);
    void recordMoved(const std::vector<TOAControl*>& objects);
    void recordRotated(const std::vector<TOAControl*>& objects);
    /// Records one group of the given operation over the objects (selection order).
    void record(OperationCode operation, const std::vector<TOAControl*>& objects);

    /// Undoes the newest group; false when there was none. Clears the selection first and
    /// marks the document modified unless it is back at its saved state.
    bool undo();
    bool redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    /// The operation the next undo / redo would take back or repeat.
    std::optional<OperationCode> nextUndo() const;
    std::optional<OperationCode> nextRedo() const;

    int undoCount() const { return static_cast<int>(undo_.size()); }
    int redoCount() const { return static_cast<int>(redo_.size()); }
    int undoGroups() const { return undoGroups_; }
    int redoGroups() const { return redoGroups_; }
    const std::deque<UndoEntry>& undoStack() const { return undo_; }
    const std::deque<UndoEntry>& redoStack() const { return redo_; }

    void clearRedo();
    void clear();
    /// Takes back the newest group without restoring anything (a cancelled dialog).
    void dropNewestGroup();

    /// The document was saved (or opened): this state is the unmodified one.
    void markSaved();
    /// Whether undo and redo have brought the document back to its saved state.
    bool atSavedState() const;
    /// A change that the history does not record (page setup, variables) happened: no undo
    /// brings back the saved state any more.
    void forgetSavedState();
    /// Changes with every record, undo and redo.
    std::uint64_t serial() const { return serial_; }

    /// Snapshots, also for the clipboard and for tests.
    static ObjectSnapshot TakeSnapshot(const TOAControl& object);
    /// A new object from a snapshot at a document zoom and printer resolution; null when the
    /// snapshot cannot be read back.
    static std::unique_ptr<TOAControl> MakeFromSnapshot(const ObjectSnapshot& snapshot, int zoomPercent, int dpi);

private:
    UndoEntry entryFor(TOAControl& object, OperationCode op, int groupSize, bool first, std::uint64_t id) const;
    void push(std::deque<UndoEntry>& stack, int& groups, UndoEntry entry);
    UndoEntry pop(std::deque<UndoEntry>& stack, int& groups);
    /// Removes the oldest group of a stack (the limit).
    void dropOldest(std::deque<UndoEntry>& stack, int& groups);
    bool step(bool undoing);
    /// Applies one entry and returns what goes onto the other stack; false when nothing moves.
    bool apply(const UndoEntry& entry, bool undoing, UndoEntry& opposite);
    std::uint64_t topId() const;
    void refreshModified();

    LabelDocument& document_;
    std::deque<UndoEntry> undo_;
    std::deque<UndoEntry> redo_;
    int undoGroups_ = 0;
    int redoGroups_ = 0;
    std::uint64_t nextId_ = 1;
    std::uint64_t baseId_ = 0; ///< the state below the oldest kept group
    std::uint64_t savedId_ = 0;
    bool savedReachable_ = true;
    std::uint64_t serial_ = 0;
};

} // namespace korvel
