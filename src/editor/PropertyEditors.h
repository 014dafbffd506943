#pragma once

#include "document/OAControl.h"

#include <functional>

class QWidget;

namespace korvel {

class LabelDocument;

/// Opens the property dialog of one object and applies what the user confirmed; true when
/// the object was changed (OK), false when the dialog was cancelled.
///
/// Command 0x405 finds the editor of the selected object's kind here. Around the call it
/// records the undo step (operation code 16, the object's full snapshot taken before the
/// dialog opens, redo cleared), and after OK it refreshes the containment entry, marks the
/// document modified and repaints; a cancelled dialog takes its undo step back. An editor
/// therefore only fills its form from the object and applies the form to it.
using PropertyEditor = std::function<bool(QWidget* parent, LabelDocument& document, TOAControl& object)>;

/// Installs (or with an empty function removes) the property dialog of a kind.
void RegisterPropertyEditor(ObjectKind kind, PropertyEditor editor);
/// The property dialog of a kind; null while none is installed.
const PropertyEditor* FindPropertyEditor(ObjectKind kind);

} // namespace korvel
