#include "editor/data/CounterForm.h"

#include "editor/Language.h"
#include "editor/data/DataTexts.h"
#include "editor/data/OutputFormatBox.h"

#include "ui_CounterForm.h"
#include "ui_OutputFormatBox.h"

#include <QPushButton>

namespace korvel {

QString CounterMessageFallback(const QString& key)
{
    static const char* const texts[] = {
        "初始值不能为空!", // message1
        "最大长度小于前缀、后缀与数据长度之和!", // message2
        "每步标签数必须是整数!", // message3
        "初始值含有不属于该类型的字符!", // message4
        "重置条件不正确!", // message5
        "重置值含有不属于该类型的字符!", // message6
        "最大长度不能为空!", // message7
        "填充长度不能为空!", // message8
        "增加值不能为空!", // message9
    };
    bool ok = false;
    const int n = key.mid(7).toInt(&ok);
    if (!ok || n < 1 || n > 9)
        return QStringLiteral("error");
    return QString::fromUtf8(texts[n - 1]);
}

TCounterForm::TCounterForm(const QByteArray& entry, const QString& displayedName, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TCounterForm>())
    , entry_(entry)
{
    ui_->setupUi(this);
    ui_->OutputFormat->setFlavour(TOutputFormatBox::Flavour::Counter);
    TranslateWindow(this);
    ui_->LabelNameValue->setText(displayedName);
    // The labels-per-step field is kept but not offered.
    ui_->LabelPerStep->hide();
    ui_->EditPerStep->hide();
    setFields(CounterFieldsFromEntry(ConstCounterEntry(entry_)));
    connect(ui_->ComboBoxType, &QComboBox::activated, this, &TCounterForm::typeChosen);
    connect(ui_->EditInitial, &QLineEdit::textEdited, this, &TCounterForm::initialValueEdited);
    connect(ui_->EditStep, &QLineEdit::textEdited, this, &TCounterForm::stepEdited);
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TCounterForm::~TCounterForm() = default;

void TCounterForm::setFields(const CounterFormFields& f)
{
    filling_ = true;
    ui_->ComboBoxType->setCurrentIndex(static_cast<int>(f.type));
    ui_->EditInitial->setText(f.initialValue);
    ui_->EditStep->setText(f.step);
    ui_->EditStep->setMaxLength(CounterStepMaxLength(f.step));
    ui_->EditLimit->setText(f.limit);
    ui_->EditReset->setText(f.resetValue);
    ui_->EditPerStep->setText(f.labelsPerStep);
    ui_->OutputFormat->setFields(f.format);
    filling_ = false;
}

CounterFormFields TCounterForm::fields() const
{
    CounterFormFields f;
    f.type = static_cast<CounterType>(std::clamp(ui_->ComboBoxType->currentIndex(), 0, 2));
    f.initialValue = ui_->EditInitial->text();
    f.step = ui_->EditStep->text();
    f.limit = ui_->EditLimit->text();
    f.resetValue = ui_->EditReset->text();
    f.labelsPerStep = ui_->EditPerStep->text();
    f.format = ui_->OutputFormat->fields();
    return f;
}

void TCounterForm::typeChosen(int index)
{
    CounterFormFields f = fields();
    const QString hint = ChooseCounterType(f, static_cast<CounterType>(std::clamp(index, 0, 2)));
    setFields(f);
    ui_->LabelHint->setText(DataText("All", hint.toLatin1().constData(), QString()));
}

void TCounterForm::initialValueEdited()
{
    if (filling_)
        return;
    CounterFormFields f = fields();
    CounterInitialValueChanged(f);
    const int cursor = ui_->EditInitial->cursorPosition();
    setFields(f);
    ui_->EditInitial->setCursorPosition(cursor);
}

void TCounterForm::stepEdited()
{
    if (filling_)
        return;
    CounterFormFields f = fields();
    CounterStepChanged(f);
    const int cursor = ui_->EditStep->cursorPosition();
    setFields(f);
    ui_->EditStep->setCursorPosition(cursor);
}

QWidget* TCounterForm::fieldWidget(CounterField field) const
{
    switch (field) {
    case CounterField::Limit: return ui_->EditLimit;
    case CounterField::Step: return ui_->EditStep;
    case CounterField::InitialValue: return ui_->EditInitial;
    case CounterField::MaxLength: return ui_->OutputFormat->ui().EditMaxLength;
    case CounterField::LabelsPerStep: return ui_->EditPerStep;
    case CounterField::ResetValue: return ui_->EditReset;
    case CounterField::None: break;
    }
    return nullptr;
}

void TCounterForm::accept()
{
    ui_->OutputFormat->leaveFields();
    // The checks run on a scratch copy, so a refusal leaves nothing half-stored.
    QByteArray scratch = entry_;
    const CounterEntry e(scratch);
    const FormCheck check = AcceptCounterForm(fields(), ConstCounterEntry(entry_).name(), e);
    if (!check.ok) {
        ShowDataMessageText(this, LookupText(check.section, check.messageKey, CounterMessageFallback(check.messageKey)));
        if (QWidget* w = fieldWidget(static_cast<CounterField>(check.field)))
            w->setFocus();
        return;
    }
    entry_ = scratch;
    QDialog::accept();
}

} // namespace korvel
