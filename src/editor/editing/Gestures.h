#pragma once

#include "editor/creation/ObjectCreation.h"
#include "editor/editing/ClickSelection.h"

#include <QLine>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <vector>

namespace korvel {

class LabelDocument;
class TOAControl;
class TOperation;

/// Grid and snapping of the design surface; both off by default, and while snapping is off
/// every move is the plain pointer offset.
struct SurfaceGrid {
    bool visible = false;
    bool snap = false;
    double stepMM = 1.0; ///< 0.5, 1, 2 or 5

    /// A surface coordinate snapped to the grid at a zoom factor (unchanged while off).
    int snapped(int px, double zoom) const;
};

/// What a gesture shows on top of the label while it runs: never drawn into the label picture.
struct GestureOverlay {
    std::vector<QRect> outlines; ///< dotted green rectangles (moved or resized boxes)
    std::vector<QLine> lines; ///< dotted green lines (moved or resized lines)
    QRect band; ///< dotted black rubber rectangle
    QLine bandLine; ///< dotted black rubber line
    bool hideHandles = false;
    /// Guide positions for the rulers: one at the pointer, or the two edges during a move.
    std::vector<int> guidesX, guidesY;

    /// Everything the overlay covers, for a repaint of only that part.
    QRect area() const;
};

/// One mouse gesture of the design surface (Krita's interaction strategies in small): it is
/// given the pointer's surface positions and changes the document only when it finishes.
class SurfaceGesture {
public:
    virtual ~SurfaceGesture() = default;
    virtual void move(QPoint pointer) = 0;
    /// Finishes; true when the document changed (the undo step is recorded by then).
    virtual bool release(QPoint pointer) = 0;
    /// Stops without changing anything.
    virtual void cancel() {}
    virtual GestureOverlay overlay() const = 0;
    /// The one object being moved or resized, for the status bar (null for several).
    virtual const TOAControl* subject() const { return nullptr; }
    /// Where the subject would stand now (left, top, width, height in surface pixels; for a
    /// line its two end points in the rectangle's corners).
    virtual QRect subjectRect() const { return {}; }
};

/// Moves the selection by the pointer offset; the selection's left and top never go below 0.
class MoveGesture : public SurfaceGesture {
public:
    MoveGesture(LabelDocument& document, TOperation& history, std::vector<TOAControl*> objects, QPoint press,
        const SurfaceGrid& grid);
    void move(QPoint pointer) override;
    bool release(QPoint pointer) override;
    GestureOverlay overlay() const override;
    const TOAControl* subject() const override;
    QRect subjectRect() const override;
    QPoint offset() const { return offset_; }

private:
    QPoint offsetFor(QPoint pointer) const;

    LabelDocument& document_;
    TOperation& history_;
    std::vector<TOAControl*> objects_;
    QPoint press_;
    QPoint origin_; ///< the selection's left and top at the press
    SurfaceGrid grid_;
    QPoint offset_;
    bool moved_ = false;
};

/// Resizes one object by a handle (lines by an end point).
class ResizeGesture : public SurfaceGesture {
public:
    ResizeGesture(LabelDocument& document, TOperation& history, TOAControl& object, int handle, const SurfaceGrid& grid);
    void move(QPoint pointer) override;
    bool release(QPoint pointer) override;
    GestureOverlay overlay() const override;
    const TOAControl* subject() const override { return &object_; }
    QRect subjectRect() const override;

private:
    QPoint snappedPointer(QPoint pointer) const;

    LabelDocument& document_;
    TOperation& history_;
    TOAControl& object_;
    int handle_;
    SurfaceGrid grid_;
    QRect band_;
    QPoint start_, end_;
    bool line_ = false;
    bool moved_ = false;
};

/// Hands a finished creation band to the object-creation code: tool (1-8) and the press and
/// release points in surface pixels as the rectangle's top-left and bottom-right (not
/// normalised; for tools 4 and 7 the rubber line's start and end).
using CreationHandler = std::function<bool(int tool, const QRect& band)>;

/// A rubber band: selection (tool 0) or creation (tools 1-8; tools 4 and 7 a rubber line).
class BandGesture : public SurfaceGesture {
public:
    BandGesture(ClickSelection& selection, int tool, QPoint start, const SurfaceGrid& grid, double zoom,
        CreationHandler creator);
    void move(QPoint pointer) override;
    bool release(QPoint pointer) override;
    GestureOverlay overlay() const override;
    QRect band() const { return QRect(start_, end_).normalized(); }

private:
    ClickSelection& selection_;
    int tool_;
    QPoint start_, end_;
    SurfaceGrid grid_;
    double zoom_;
    CreationHandler creator_;
    AxisLock lock_ { QPoint() }; ///< the horizontal/vertical line tool's axis
};

} // namespace korvel
