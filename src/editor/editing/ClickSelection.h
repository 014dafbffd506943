#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

namespace korvel {

class LabelDocument;
class TOAControl;

/// The objects a click at a surface point hits, over the containment table (deepest first):
/// a box object (text, barcode, image, inverse area) by its rectangle, edges included; a line,
/// rectangle or ellipse only by its outline spans. Hits are taken while the depth does not
/// drop; the first shallower hit is the last one taken.
std::vector<TOAControl*> HitsAt(const LabelDocument& document, QPoint point);

/// Keyboard modifiers of a press as the selection rules see them.
struct PressModifiers {
    bool shift = false;
    bool ctrl = false;
};

/// What a left-button press of the selection tool leads to.
struct PressOutcome {
    enum class Gesture { None, Move, Band, Resize };
    Gesture gesture = Gesture::None;
    TOAControl* chosen = nullptr;
    int handle = 0; ///< for Resize
    /// For a cycling press: the object a drag moves instead of the chosen one.
    TOAControl* dragInstead = nullptr;
};

/// The selection tool's press rules with the click cycle on overlapping objects. Widget-free:
/// it reads and changes the document's selection only.
class ClickSelection {
public:
    explicit ClickSelection(LabelDocument& document) : document_(document) {}

    /// Applies a press at a surface point: the handle test, the click cycle and the Shift and
    /// Ctrl rules; returns the gesture the press starts.
    PressOutcome press(QPoint point, PressModifiers modifiers);
    /// A drag began after a press: applies the rule that a drag after a cycling press moves the
    /// object that was current before it. Returns the objects to move.
    std::vector<TOAControl*> beginDrag(const PressOutcome& outcome);
    /// Selects the objects whose screen rectangles lie wholly inside the band (edges inclusive).
    void selectInBand(const QRect& band);
    /// Clears the selection and selects every object in list order.
    void selectAll();
    /// Forgets the click cycle (after anything that changed the objects).
    void reset();

    /// The object chosen last (by name, which survives undo and redo).
    QString currentName() const { return current_; }

private:
    TOAControl* currentObject() const;

    LabelDocument& document_;
    bool havePoint_ = false;
    QPoint lastPoint_;
    std::vector<QString> hits_;
    int chosenIndex_ = -1;
    QString current_;
};

} // namespace korvel
