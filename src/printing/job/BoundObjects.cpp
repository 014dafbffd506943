#include "printing/job/BoundObjects.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "printing/emission/BarcodeValue.h"
#include "variables/VariableModel.h"

namespace korvel {

bool HasVariables(const LabelDocument& document)
{
    for (const auto& o : document.objects()) {
        if (o->kind() != ObjectKind::Text && o->kind() != ObjectKind::BarCode)
            continue;
        if (!o->VarName.isEmpty() && o->VarType != static_cast<int>(VariableKind::Constant))
            return true;
    }
    return false;
}

bool HasDatabase(const LabelDocument& document)
{
    return EntryCount(document.variables, VariableKind::Database) > 0;
}

void RefreshBoundObjects(
    LabelDocument& document, const EvaluationContext& context, const std::function<bool(const TOAControl&)>& skip)
{
    bool changed = false;
    for (const auto& o : document.objects()) {
        if (o->VarName.isEmpty() || (skip && skip(*o)))
            continue;
        if (o->kind() != ObjectKind::Text && o->kind() != ObjectKind::BarCode)
            continue;
        const QByteArray value = EvaluateVariable(document, o->VarName, static_cast<VariableKind>(o->VarType), context);
        changed = true;
        if (o->kind() == ObjectKind::Text) {
            static_cast<TOAText&>(*o).SetText(SurfaceText(value));
            continue;
        }
        auto& barcode = static_cast<TOABarCode&>(*o);
        if (IsTwoDimensional(barcode.BarCodeType()))
            barcode.SetData(SurfaceText(value));
        else
            barcode.SetText(NormaliseBarcodeValue(barcode.BarCodeType(), value));
    }
    if (changed)
        document.markModified();
}

} // namespace korvel
