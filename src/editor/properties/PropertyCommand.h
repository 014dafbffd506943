#pragma once

#include "editor/properties/PropertyDialogs.h"

namespace korvel {

/// Command 0x405 on a document: the property dialog of the single selected object. `record` is
/// called before the dialog opens (also when it is then cancelled), where the document window
/// records its undo entry (operation code 16, the object's full snapshot). On OK the values go
/// into the object, its containment entry is refreshed and the document is marked modified.
/// Returns true when the object changed; false when no single object with a dialog is
/// selected, or the dialog was cancelled.
bool OpenSelectedProperties(QWidget* parent, LabelDocument& document, const BeforeApply& record = {},
                            const VariableCommand& variableCommand = {});

} // namespace korvel
