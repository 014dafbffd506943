#pragma once

#include <QPoint>
#include <QString>

namespace korvel {

class LabelDocument;
class TOperation;

/// Alignment codes of the arrange command (the menu items' and toolbar buttons' tags).
enum class AlignCode : int {
    Left = 0,
    CentresToTopmost = 1,
    Right = 2,
    Top = 3,
    MiddlesToLeftmost = 4,
    Bottom = 5,
    SpaceHorizontally = 6,
    SpaceVertically = 7,
    CentreOnLabelHorizontally = 8,
    CentreOnLabelVertically = 9,
};

/// How many selected objects a code needs: 2 for the alignments, 3 for equal spacing, 1 for
/// centring on the label; 0 for an unknown code.
int AlignNeeds(int code);

/// Aligns, spaces or centres the selection (code 0-9); one undo group of moves. False when the
/// selection is too small for the code or the code is unknown.
bool ArrangeSelection(LabelDocument& document, TOperation& history, int code);

/// What the last rotation of a document pushed back onto the surface.
struct RotationMemory {
    QString name; ///< the last rotated object
    bool pushed = false;
    QPoint pushedBy; ///< the pixels it was moved right and down to stay on the surface
};

/// Turns the single selected object by degrees (450 and 90 right, 270 left); an object that
/// would start left of or above the surface is pushed to 0, and turning the same object again
/// first undoes that push, so turning back returns it to where it was. One undo entry.
bool RotateSelection(LabelDocument& document, TOperation& history, RotationMemory& memory, int degrees);

/// Deletes the selection in one undo group; the last remaining object becomes the selection.
bool DeleteSelection(LabelDocument& document, TOperation& history);

/// Z-order moves of the selection.
enum class ZOrderMove : int { BringToFront = 0, SendToBack = 1, Raise = 2, Lower = 3 };

/// Changes the objects' order (the order saved in the file); inverse areas stay in front of
/// every other object. One undo step; false when the order did not change.
bool ChangeZOrder(LabelDocument& document, TOperation& history, ZOrderMove move);

} // namespace korvel
