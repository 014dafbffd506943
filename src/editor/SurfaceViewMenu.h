#pragma once

#include <functional>

class QMenu;

namespace korvel {

class TChildForm;

/// Adds View > Grid and View > Snap to grid (off, 0.5, 1, 2, 5 mm) for the active document
/// window. Both are off for every new window; the items follow the active window when the
/// menu opens.
void AddGridMenu(QMenu* view, std::function<TChildForm*()> activeChild);

} // namespace korvel
