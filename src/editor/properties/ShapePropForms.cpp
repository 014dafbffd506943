#include "editor/properties/ShapePropForms.h"

#include "ui_EllipsePropForm.h"
#include "ui_HVLinePropForm.h"
#include "ui_LinePropForm.h"
#include "ui_RectanglePropForm.h"

#include "document/OAEllipse.h"
#include "document/OAHVLine.h"
#include "document/OALine.h"
#include "document/OARectangle.h"
#include "editor/HelpWindow.h"
#include "editor/properties/LineWidthSpinBox.h"

#include <QColorDialog>

namespace korvel {

namespace {

ColorChooser& chooser()
{
    static ColorChooser c = [](const QColor& initial, QWidget* parent) {
        return QColorDialog::getColor(initial, parent);
    };
    return c;
}

} // namespace

void SetColorChooser(ColorChooser c)
{
    chooser() = c ? std::move(c) : [](const QColor& initial, QWidget* parent) {
        return QColorDialog::getColor(initial, parent);
    };
}

TShapePropForm::TShapePropForm(ShapeDialog dialog, const TOAControl& object, QWidget* parent)
    : TPropertyForm(parent)
    , dialog_(dialog)
    , scratch_(object.clone())
{
}

void TShapePropForm::setFields(std::vector<QDoubleSpinBox*> fields, QDoubleSpinBox* lineWidth, QLabel* colorSample)
{
    fields_ = std::move(fields);
    fields_.push_back(lineWidth);
    if (auto* spin = qobject_cast<TLineWidthSpinBox*>(lineWidth))
        spin->setSpinMaximum(ShapeRanges(dialog_).lineWidthSpinMax);
    colorSample_ = colorSample;
    finishForm(dialog_ == ShapeDialog::Rectangle ? HelpTopic::Rectangle
                   : dialog_ == ShapeDialog::Ellipse ? HelpTopic::Ellipse
                                                     : HelpTopic::Lines);
}

void TShapePropForm::showColor()
{
    if (colorSample_)
        colorSample_->setStyleSheet(QStringLiteral("background-color: %1;").arg(color_.name()));
}

void TShapePropForm::chooseColor()
{
    const QColor c = chooser()(color_, this);
    if (c.isValid()) {
        color_ = c;
        showColor();
    }
}

void TShapePropForm::accept()
{
    auto copy = scratch_->clone();
    const ShapeDialogCheck check = tryOn(*copy);
    refused_ = check.ok ? -1 : check.field;
    if (!check.ok) {
        const ShapeDialogRanges ranges = ShapeRanges(dialog_);
        const ShapeFieldRange range = check.field < ranges.count ? ranges.fields[check.field] : ranges.lineWidth;
        const QString message = insideText("message1", QStringLiteral("请输入 %1 到 %2 之间的数值"));
        // An editor whose message is "No Text" refuses silently.
        if (message != QLatin1String("No Text"))
            refuse(message.arg(QString::number(range.min, 'f', 1), QString::number(range.max, 'f', 1)));
        if (check.field >= 0 && check.field < static_cast<int>(fields_.size())) {
            fields_[static_cast<std::size_t>(check.field)]->setFocus();
            fields_[static_cast<std::size_t>(check.field)]->selectAll();
        }
        return;
    }
    QDialog::accept();
}

// --- horizontal and vertical line ----------------------------------------------------------------

THVLinePropForm::THVLinePropForm(const TOAHVLine& line, QWidget* parent)
    : TShapePropForm(ShapeDialog::HVLine, line, parent)
    , ui_(std::make_unique<Ui::HVLinePropForm>())
{
    ui_->setupUi(this);
    setFields({ ui_->EditStartX, ui_->EditStartY, ui_->EditLength }, ui_->EditLineWidth);
    const HVLineDialogValues v = OpenHVLineDialog(line);
    ui_->EditStartX->setValue(v.startX);
    ui_->EditStartY->setValue(v.startY);
    ui_->EditLength->setValue(v.length);
    ui_->EditLineWidth->setValue(v.lineWidthMM);
}

THVLinePropForm::~THVLinePropForm() = default;

HVLineDialogValues THVLinePropForm::values() const
{
    return { ui_->EditStartX->value(), ui_->EditStartY->value(), ui_->EditLength->value(), ui_->EditLineWidth->value() };
}

ShapeDialogCheck THVLinePropForm::tryOn(TOAControl& scratch) const
{
    return ApplyHVLineDialog(static_cast<TOAHVLine&>(scratch), values());
}

// --- free line -----------------------------------------------------------------------------------

TLinePropForm::TLinePropForm(const TOALine& line, QWidget* parent)
    : TShapePropForm(ShapeDialog::Line, line, parent)
    , ui_(std::make_unique<Ui::LinePropForm>())
{
    ui_->setupUi(this);
    setFields({ ui_->EditStartX, ui_->EditStartY, ui_->EditEndX, ui_->EditEndY }, ui_->EditLineWidth);
    const LineDialogValues v = OpenLineDialog(line);
    ui_->EditStartX->setValue(v.startX);
    ui_->EditStartY->setValue(v.startY);
    ui_->EditEndX->setValue(v.endX);
    ui_->EditEndY->setValue(v.endY);
    ui_->EditLineWidth->setValue(v.lineWidthMM);
}

TLinePropForm::~TLinePropForm() = default;

LineDialogValues TLinePropForm::values() const
{
    return { ui_->EditStartX->value(), ui_->EditStartY->value(), ui_->EditEndX->value(), ui_->EditEndY->value(),
        ui_->EditLineWidth->value() };
}

ShapeDialogCheck TLinePropForm::tryOn(TOAControl& scratch) const
{
    return ApplyLineDialog(static_cast<TOALine&>(scratch), values());
}

// --- ellipse -------------------------------------------------------------------------------------

TEllipsePropForm::TEllipsePropForm(const TOAEllipse& ellipse, QWidget* parent)
    : TShapePropForm(ShapeDialog::Ellipse, ellipse, parent)
    , ui_(std::make_unique<Ui::EllipsePropForm>())
{
    ui_->setupUi(this);
    setFields({ ui_->EditCentreX, ui_->EditCentreY, ui_->EditRadiusX, ui_->EditRadiusY }, ui_->EditLineWidth,
              ui_->LabelColorSample);
    const EllipseDialogValues v = OpenEllipseDialog(ellipse);
    ui_->EditCentreX->setValue(v.centreX);
    ui_->EditCentreY->setValue(v.centreY);
    ui_->EditRadiusX->setValue(v.radiusX);
    ui_->EditRadiusY->setValue(v.radiusY);
    ui_->EditLineWidth->setValue(v.lineWidthMM);
    ui_->CheckBoxFill->setChecked(v.fill == 1);
    color_ = v.color;
    showColor();
    connect(ui_->ButtonColor, &QPushButton::clicked, this, &TEllipsePropForm::chooseColor);
}

TEllipsePropForm::~TEllipsePropForm() = default;

EllipseDialogValues TEllipsePropForm::values() const
{
    EllipseDialogValues v;
    v.centreX = ui_->EditCentreX->value();
    v.centreY = ui_->EditCentreY->value();
    v.radiusX = ui_->EditRadiusX->value();
    v.radiusY = ui_->EditRadiusY->value();
    v.lineWidthMM = ui_->EditLineWidth->value();
    v.fill = ui_->CheckBoxFill->isChecked() ? 1 : 0;
    v.color = color_;
    return v;
}

ShapeDialogCheck TEllipsePropForm::tryOn(TOAControl& scratch) const
{
    return ApplyEllipseDialog(static_cast<TOAEllipse&>(scratch), values());
}

// --- rectangle -----------------------------------------------------------------------------------

TRectanglePropForm::TRectanglePropForm(const TOARectangle& rectangle, QWidget* parent)
    : TShapePropForm(ShapeDialog::Rectangle, rectangle, parent)
    , ui_(std::make_unique<Ui::RectanglePropForm>())
{
    ui_->setupUi(this);
    setFields({ ui_->EditStartX, ui_->EditStartY, ui_->EditWidth, ui_->EditHeight }, ui_->EditLineWidth,
              ui_->LabelColorSample);
    const RectangleDialogValues v = OpenRectangleDialog(rectangle);
    ui_->EditStartX->setValue(v.startX);
    ui_->EditStartY->setValue(v.startY);
    ui_->EditWidth->setValue(v.width);
    ui_->EditHeight->setValue(v.height);
    ui_->EditLineWidth->setValue(v.lineWidthMM);
    ui_->CheckBoxFill->setChecked(v.fill == 1);
    color_ = v.color;
    showColor();
    connect(ui_->ButtonColor, &QPushButton::clicked, this, &TRectanglePropForm::chooseColor);
}

TRectanglePropForm::~TRectanglePropForm() = default;

RectangleDialogValues TRectanglePropForm::values() const
{
    RectangleDialogValues v;
    v.startX = ui_->EditStartX->value();
    v.startY = ui_->EditStartY->value();
    v.width = ui_->EditWidth->value();
    v.height = ui_->EditHeight->value();
    v.lineWidthMM = ui_->EditLineWidth->value();
    v.fill = ui_->CheckBoxFill->isChecked() ? 1 : 0;
    v.color = color_;
    return v;
}

ShapeDialogCheck TRectanglePropForm::tryOn(TOAControl& scratch) const
{
    return ApplyRectangleDialog(static_cast<TOARectangle&>(scratch), values());
}

} // namespace korvel
