#pragma once

#include <QImage>

namespace korvel {

class LabelDocument;

/// Surface colour around the label on the design surface.
inline constexpr unsigned DesignSurfaceColor = 0xC8C8C8;

/// The design surface of a document at a zoom in percent, as the designer shows it with
/// nothing selected: the surface colour, the white label from (0, 0) to
/// (round(zoom x label width px / 100) + 1, likewise down) exclusive, and every object painted
/// in z-order by its own Paint with the drawing mode (0 transparent, 1 XOR).
///
/// The picture spans the label and every object's rectangle that lies right of or below the
/// origin (at least the label), at most the surface's scroll range (zoom x 2700 / 100 across,
/// zoom x 1700 / 100 down); parts outside are cut off, as the surface does. Objects whose zoom differs from the one
/// asked for are painted from copies at that zoom, so the document is left as it is. Format_RGB32.
///
/// A null picture means the memory for it, or for an object's picture, could not be had.
/// Pictures drawn for the view are kept for the next one, or with `releasePictures` freed as
/// soon as they are painted (one picture at a time, for a single still view).
QImage RenderDesignView(const LabelDocument& document, int zoomPercent, int drawingMode, bool releasePictures = false);

} // namespace korvel
