#include "editor/properties/PropertyDialogs.h"

#include "barcode/OABarCode.h"
#include "document/LabelDocument.h"
#include "document/OALabel.h"
#include "editor/ChildForm.h"
#include "editor/PropertyEditors.h"
#include "editor/UserPrompts.h"
#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OAImage.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "editor/properties/BarcodePropForm.h"
#include "editor/properties/ImagePropForm.h"
#include "editor/properties/ShapePropForms.h"
#include "editor/properties/TextPropForm.h"

namespace korvel {

namespace {

template <class Form, class Apply>
bool run(Form& form, TOAControl& object, const PropertyDialogOptions& options, Apply apply)
{
    if (!Prompts().runDialog(&form) || form.result() != QDialog::Accepted)
        return false;
    if (options.beforeApply)
        options.beforeApply(object);
    return apply();
}

} // namespace

bool HasPropertyDialog(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text:
    case ObjectKind::BarCode:
    case ObjectKind::Image:
    case ObjectKind::Line:
    case ObjectKind::Rectangle:
    case ObjectKind::Ellipse:
    case ObjectKind::HVLine: return true;
    default: return false;
    }
}

bool EditProperties(QWidget* parent, LabelDocument& document, TOAControl& object, const PropertyDialogOptions& options)
{
    switch (object.kind()) {
    case ObjectKind::Text: {
        auto& text = static_cast<TOAText&>(object);
        TTextPropForm form(document, text, parent);
        form.setVariableCommand(options.variableCommand);
        if (options.creating)
            form.setWindowTitle(form.insideText("NewCaption", QStringLiteral("文本设置")));
        if (!Prompts().runDialog(&form) || form.result() != QDialog::Accepted)
            return false;
        if (!form.changesObject())
            return options.creating;
        if (options.beforeApply)
            options.beforeApply(object);
        TextDialogValues values = form.values();
        // A new bound text shows its blank value as the marker, so that it can be found.
        if (options.creating && values.VarType != 0)
            values.Text = SurfaceText(values.Text);
        ApplyTextDialogValues(text, values);
        return true;
    }
    case ObjectKind::BarCode: {
        auto& barcode = static_cast<TOABarCode&>(object);
        TBarcodePropForm form(document, barcode, parent);
        form.setVariableCommand(options.variableCommand);
        return run(form, object, options, [&] {
            form.applyTo(barcode);
            return true;
        });
    }
    case ObjectKind::HVLine: {
        auto& line = static_cast<TOAHVLine&>(object);
        THVLinePropForm form(line, parent);
        return run(form, object, options, [&] { return ApplyHVLineDialog(line, form.values()).ok; });
    }
    case ObjectKind::Line: {
        auto& line = static_cast<TOALine&>(object);
        TLinePropForm form(line, parent);
        return run(form, object, options, [&] { return ApplyLineDialog(line, form.values()).ok; });
    }
    case ObjectKind::Ellipse: {
        auto& ellipse = static_cast<TOAEllipse&>(object);
        TEllipsePropForm form(ellipse, parent);
        return run(form, object, options, [&] { return ApplyEllipseDialog(ellipse, form.values()).ok; });
    }
    case ObjectKind::Rectangle: {
        auto& rectangle = static_cast<TOARectangle&>(object);
        TRectanglePropForm form(rectangle, parent);
        return run(form, object, options, [&] { return ApplyRectangleDialog(rectangle, form.values()).ok; });
    }
    case ObjectKind::Image: {
        auto& image = static_cast<TOAImage&>(object);
        TImagePropForm form(image, document.zoom(), parent);
        return run(form, object, options, [&] {
            ApplyImageDialogValues(image, form.values(), document.zoom());
            return true;
        });
    }
    default: return false;
    }
}

void RegisterPropertyDialogs()
{
    for (ObjectKind kind : { ObjectKind::Text, ObjectKind::BarCode, ObjectKind::Image, ObjectKind::Line,
             ObjectKind::Rectangle, ObjectKind::Ellipse, ObjectKind::HVLine }) {
        if (FindPropertyEditor(kind))
            continue;
        RegisterPropertyEditor(kind, [](QWidget* parent, LabelDocument& document, TOAControl& object) {
            PropertyDialogOptions options;
            auto* window = qobject_cast<TChildForm*>(parent);
            if (window && TChildForm::isBuilt(Command::AddVariable) && TChildForm::isBuilt(Command::ModifyVariable))
                options.variableCommand = [window](Command command, int wParam, int lParam) {
                    return window->dispatch(command, wParam, lParam);
                };
            return EditProperties(parent, document, object, options);
        });
    }
}

} // namespace korvel
