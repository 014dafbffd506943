#pragma once

#include "EditorTestSupport.h"

#include "barcode/OABarCode.h"
#include "document/OALabel.h"
#include "editor/data/DataCommands.h"
#include "support/TestSupport.h"
#include "variables/VariableTestSupport.h"

#include <functional>

namespace korvel::test {

/// Runs the next dialog of type D through `fill`, then presses OK; the dialog's own OK decides
/// whether it closes. Other dialogs are cancelled.
template <class D> std::function<bool(QDialog*)> onOk(std::function<void(D&)> fill)
{
    return [fill](QDialog* dialog) {
        auto* d = dynamic_cast<D*>(dialog);
        if (!d)
            return false;
        fill(*d);
        d->accept();
        return d->result() == QDialog::Accepted;
    };
}

inline TOAText* addBoundText(LabelDocument& doc, VariableKind kind, const QByteArray& name)
{
    auto* text = static_cast<TOAText*>(doc.addObject(std::make_unique<TOAText>(QStringLiteral("Text1"))));
    ChooseContentSource(*text, kind, name);
    return text;
}

inline TOABarCode* addBoundBarcode(LabelDocument& doc, VariableKind kind, const QByteArray& name)
{
    auto* bar = static_cast<TOABarCode*>(doc.addObject(std::make_unique<TOABarCode>()));
    bar->SetBarCodeType(TBarCodeType::bcCode128);
    ChooseContentSource(*bar, kind, name);
    return bar;
}

} // namespace korvel::test
