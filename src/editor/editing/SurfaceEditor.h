#pragma once

#include "editor/editing/ClickSelection.h"
#include "editor/editing/Gestures.h"

#include "document/OAControl.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSizeF>

#include <memory>
#include <optional>

namespace korvel {

class LabelDocument;
class TOperation;

/// What the status bar shows while one object is moved or resized.
struct GestureStatus {
    ObjectKind kind = ObjectKind::Text;
    QPointF positionMM; ///< left and top (a line: its start)
    QSizeF sizeMM;
    double lengthMM = 0; ///< lines
    bool line = false;
};

/// The editing model of one design surface, without widgets: the selection tool's press,
/// move and release (picking the gesture strategy), keyboard moves and select all. The window
/// turns Qt events into these calls and paints the document and overlay().
class SurfaceEditor {
public:
    SurfaceEditor(LabelDocument& document, TOperation& history);
    ~SurfaceEditor();

    /// The drawing tool: 0 the selection arrow, 1-8 the creation tools.
    int tool = 0;
    SurfaceGrid grid;
    /// Where finished creation bands go (the object-creation code fills it).
    CreationHandler creator;

    /// A left-button press at a surface point.
    void press(QPoint point, PressModifiers modifiers);
    /// The pointer moved with the button down; returns false when no gesture runs.
    bool move(QPoint point);
    /// The button was released; true when the document changed.
    bool release(QPoint point);
    /// Escape, a lost grab or a closed window: the gesture ends without a change.
    void cancel();
    bool busy() const { return gesture_ != nullptr || pressed_; }

    /// Arrow keys (1.0 mm, byMillimetre) or Ctrl + arrows (1 pixel) in a MoveDirection
    /// (0 up, 1 down, 2 left, 3 right). A repeated key (continuing) joins the undo step of the
    /// first press. False when the move is refused or nothing is selected.
    bool moveSelection(int direction, bool byMillimetre, bool continuing = false);
    void selectAll();
    /// Forgets the click cycle and any gesture (after undo, redo, opening …).
    void reset();

    /// What the running gesture shows on top of the label.
    GestureOverlay overlay() const;
    /// The status of a move or resize of exactly one object.
    std::optional<GestureStatus> status() const;
    /// The handle under the pointer when exactly one object is selected and nothing runs.
    int handleAt(QPoint point) const;

    ClickSelection& selection() { return selection_; }

private:
    void startGesture();

    LabelDocument& document_;
    TOperation& history_;
    ClickSelection selection_;
    std::unique_ptr<SurfaceGesture> gesture_;
    PressOutcome outcome_;
    QPoint pressPoint_;
    bool pressed_ = false;
    bool dragStarted_ = false;
};

} // namespace korvel
