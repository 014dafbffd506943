#include "editor/data/DataPropertyDialog.h"

#include "editor/Language.h"
#include "editor/data/DataTexts.h"
#include "editor/data/OutputFormatBox.h"
#include "variables/DataPropertyForm.h"

#include "ui_DataPropertyForm.h"

#include <QPushButton>

namespace korvel {

TDataPropertyForm::TDataPropertyForm(const QByteArray& entry, const QByteArray& currentValue, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TDataPropertyForm>())
    , entry_(entry)
{
    ui_->setupUi(this);
    ui_->OutputFormat->setFlavour(TOutputFormatBox::Flavour::DataProperty);
    TranslateWindow(this);
    // Opened from the tree and the property dialogs, the trim choice is not offered.
    ui_->CheckBoxTrim->hide();
    const DataPropertyFormFields f = DataPropertyFieldsFromEntry(ConstDatabaseFieldEntry(entry_), currentValue);
    ui_->EditColumn->setText(f.column);
    ui_->EditValue->setText(f.value);
    ui_->OutputFormat->setFields(f.format);
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TDataPropertyForm::~TDataPropertyForm() = default;

void TDataPropertyForm::accept()
{
    ui_->OutputFormat->leaveFields();
    const DataPropertyWarnings w = AcceptDataPropertyForm(ui_->OutputFormat->fields(), DatabaseFieldEntry(entry_));
    if (w.maxLengthTooShort)
        ShowDataMessage(this, "DataPropertyFormInside", "message1", QStringLiteral("最大长度小于前缀、后缀与填充长度之和!"));
    if (w.decimalPlacesNotInteger)
        ShowDataMessage(this, "DataPropertyFormInside", "message2", QStringLiteral("小数位数必须是整数!"));
    if (w.fillWidthNotInteger)
        ShowDataMessage(this, "DataPropertyFormInside", "message3", QStringLiteral("填充长度必须是整数!"));
    QDialog::accept();
}

} // namespace korvel
