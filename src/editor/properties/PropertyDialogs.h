#pragma once

#include "document/OAControl.h"
#include "editor/properties/ContentSource.h"

#include <functional>

class QWidget;

namespace korvel {

class LabelDocument;

/// Whether a kind has a property dialog (an inverse area has none).
bool HasPropertyDialog(ObjectKind kind);

/// Runs once on OK, right before the dialog's values go into the object: the caller's moment
/// to record the object's state when it does not record it before the dialog opens.
using BeforeApply = std::function<void(TOAControl& object)>;

struct PropertyDialogOptions {
    /// The dialog of a new object (a drawing tool's creation step): the text dialog takes the
    /// caption "文本设置", a bound text whose value is blank shows "<NULL>", and OK on an empty
    /// fixed text accepts the object with its defaults.
    bool creating = false;
    BeforeApply beforeApply;
    /// The variable buttons of the text and barcode dialogs (hidden without it).
    VariableCommand variableCommand;
};

/// Opens the property dialog of the object's kind (through Prompts().runDialog, so tests can
/// drive it) and on OK applies the dialog's values to the object in the dialog's order. Returns
/// true when the object was changed (when creating: when the step is accepted); Cancel, or OK
/// on an empty fixed text, leaves it exactly as it was. The document supplies the variable
/// tables and the zoom; it is not marked modified here (the caller records the change).
bool EditProperties(QWidget* parent, LabelDocument& document, TOAControl& object,
                    const PropertyDialogOptions& options = {});

/// Installs these dialogs as the property editors of command 0x405 (PropertyEditors.h) for
/// every kind that has none yet. When the document window builds the variable commands, the
/// variable buttons of the text and barcode dialogs send them to it.
void RegisterPropertyDialogs();

} // namespace korvel
