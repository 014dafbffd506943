#include "editor/data/OutputFormatBox.h"

#include "editor/data/DataTexts.h"
#include "variables/CounterVariable.h"

#include "ui_OutputFormatBox.h"

namespace korvel {

TOutputFormatBox::TOutputFormatBox(QWidget* parent)
    : QGroupBox(parent)
    , ui_(std::make_unique<Ui::TOutputFormatBox>())
{
    ui_->setupUi(this);
    connect(ui_->EditMaxLength, &QLineEdit::textEdited, this, &TOutputFormatBox::maxLengthEdited);
    connect(ui_->EditMaxLength, &QLineEdit::editingFinished, this, &TOutputFormatBox::maxLengthLeft);
    connect(ui_->EditDecimalPlaces, &QLineEdit::editingFinished, this, &TOutputFormatBox::decimalPlacesLeft);
    connect(ui_->EditFillWidth, &QLineEdit::editingFinished, this, &TOutputFormatBox::fillWidthLeft);
    connect(ui_->EditFillChar, &QLineEdit::textEdited, this, &TOutputFormatBox::fillCharEdited);
    connect(ui_->EditFillWidth, &QLineEdit::textEdited, this, &TOutputFormatBox::fillCharEdited);
}

TOutputFormatBox::~TOutputFormatBox() = default;

void TOutputFormatBox::setFields(const OutputFormatFields& f)
{
    ui_->EditMaxLength->setText(f.maxLength);
    ui_->EditPrefix->setText(f.prefix);
    ui_->EditSuffix->setText(f.suffix);
    ui_->CheckBoxDecimal->setChecked(f.numberFormat);
    ui_->EditDecimalPlaces->setText(f.decimalPlaces);
    ui_->EditDecimalSign->setText(f.decimalSign);
    ui_->EditThousands->setText(f.thousandsSeparator);
    ui_->RadioButtonFill->setChecked(f.fill);
    ui_->RadioButtonNoFill->setChecked(!f.fill);
    ui_->EditFillChar->setText(f.fillChar);
    ui_->EditFillWidth->setText(f.fillWidth);
}

OutputFormatFields TOutputFormatBox::fields() const
{
    OutputFormatFields f;
    f.maxLength = ui_->EditMaxLength->text();
    f.prefix = ui_->EditPrefix->text();
    f.suffix = ui_->EditSuffix->text();
    f.numberFormat = ui_->CheckBoxDecimal->isChecked();
    f.decimalPlaces = ui_->EditDecimalPlaces->text();
    f.decimalSign = ui_->EditDecimalSign->text();
    f.thousandsSeparator = ui_->EditThousands->text();
    f.fill = ui_->RadioButtonFill->isChecked();
    f.fillChar = ui_->EditFillChar->text();
    f.fillWidth = ui_->EditFillWidth->text();
    return f;
}

void TOutputFormatBox::leaveFields()
{
    maxLengthLeft();
    decimalPlacesLeft();
    fillWidthLeft();
}

void TOutputFormatBox::maxLengthEdited(const QString& text)
{
    const QString n = NormalizeMaxLengthText(text);
    if (n != text)
        ui_->EditMaxLength->setText(n);
}

void TOutputFormatBox::maxLengthLeft()
{
    const QString text = ui_->EditMaxLength->text();
    switch (flavour_) {
    case Flavour::DataProperty: ui_->EditMaxLength->setText(DataPropertyMaxLengthOnLeave(text)); break;
    case Flavour::Counter: {
        const FieldOnLeave r = CounterMaxLengthOnLeave(text);
        ui_->EditMaxLength->setText(r.text);
        if (!r.messageKey.isEmpty())
            ShowDataMessage(this, "CounterFormInside", r.messageKey.toLatin1().constData(), QStringLiteral("最大长度不能为空!"));
        break;
    }
    case Flavour::Formula: break;
    }
}

void TOutputFormatBox::decimalPlacesLeft()
{
    const QString text = ui_->EditDecimalPlaces->text();
    const QString n = flavour_ == Flavour::Counter ? CounterDecimalPlacesText(text)
                                                    : NormalizeDecimalPlacesText(text, QStringLiteral("0"));
    if (n != text)
        ui_->EditDecimalPlaces->setText(n);
}

void TOutputFormatBox::fillWidthLeft()
{
    if (flavour_ == Flavour::Counter) {
        const FieldOnLeave r = CounterFillWidthOnLeave(ui_->EditFillWidth->text());
        if (r.text != ui_->EditFillWidth->text())
            ui_->EditFillWidth->setText(r.text);
        if (!r.messageKey.isEmpty())
            ShowDataMessage(this, "CounterFormInside", r.messageKey.toLatin1().constData(), QStringLiteral("填充长度不能为空!"));
    }
    fillCharEdited();
}

void TOutputFormatBox::fillCharEdited()
{
    const QString n = NormalizeFillWidthText(ui_->EditFillWidth->text(), ui_->EditFillChar->text());
    if (n != ui_->EditFillWidth->text())
        ui_->EditFillWidth->setText(n);
}

} // namespace korvel
