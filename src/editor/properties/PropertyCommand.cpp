#include "editor/properties/PropertyCommand.h"

#include "document/LabelDocument.h"

namespace korvel {

bool OpenSelectedProperties(QWidget* parent, LabelDocument& document, const BeforeApply& record,
                            const VariableCommand& variableCommand)
{
    if (document.selection().size() != 1)
        return false;
    TOAControl* object = document.selection().front();
    if (!HasPropertyDialog(object->kind()))
        return false;
    if (record)
        record(*object);
    PropertyDialogOptions options;
    options.variableCommand = variableCommand;
    if (!EditProperties(parent, document, *object, options))
        return false;
    document.refreshContainment(object);
    document.markModified();
    return true;
}

} // namespace korvel
