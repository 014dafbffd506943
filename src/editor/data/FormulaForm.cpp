#include "editor/data/FormulaForm.h"

#include "document/CodePage.h"
#include "editor/Language.h"
#include "editor/data/DataTexts.h"
#include "editor/data/OutputFormatBox.h"
#include "variables/DataSourceTree.h"

#include "ui_FormulaForm.h"

#include <QPushButton>

#include <algorithm>

namespace korvel {

TFormulaForm::TFormulaForm(
    const VariableTables& tables, const QByteArray& entry, const QString& displayedName, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TFormulaForm>())
    , tables_(tables)
    , entry_(entry)
    , words_(LanguageKindWords())
{
    ui_->setupUi(this);
    ui_->OutputFormat->setFlavour(TOutputFormatBox::Flavour::Formula);
    TranslateWindow(this);
    ui_->LabelNameValue->setText(displayedName);

    available_ = FormulaAvailableOperands(tables_);
    for (const FormulaOperand& op : available_)
        ui_->ListBoxAvailable->addItem(DisplayedVariableName(op.kind, op.name, KindWord(op.kind, words_, true)));

    const FormulaFormFields f = FormulaFieldsFromEntry(ConstFormulaEntry(entry_));
    parts_ = f.parts;
    ui_->SpinEditStart->setValue(f.substringStart);
    ui_->SpinEditLength->setValue(f.substringLength);
    ui_->RadioButtonRight->setChecked(f.direction == SubstringDirection::RightToLeft);
    ui_->RadioButtonLeft->setChecked(f.direction != SubstringDirection::RightToLeft);
    ui_->OutputFormat->setFields(f.format);
    showParts(-1);

    connect(ui_->ButtonAdd, &QPushButton::clicked, this, &TFormulaForm::addSelected);
    connect(ui_->ButtonAddAll, &QPushButton::clicked, this, &TFormulaForm::addAll);
    connect(ui_->ButtonRemove, &QPushButton::clicked, this, &TFormulaForm::removeSelected);
    connect(ui_->ButtonRemoveAll, &QPushButton::clicked, this, &TFormulaForm::removeAll);
    connect(ui_->ButtonAddConst, &QPushButton::clicked, this, &TFormulaForm::addConstant);
    connect(ui_->ButtonRemoveConst, &QPushButton::clicked, this, &TFormulaForm::removeConstant);
    connect(ui_->ButtonUp, &QPushButton::clicked, this, &TFormulaForm::moveUp);
    connect(ui_->ButtonDown, &QPushButton::clicked, this, &TFormulaForm::moveDown);
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFormulaForm::~TFormulaForm() = default;

void TFormulaForm::showParts(int current)
{
    ui_->ListBoxChosen->clear();
    QStringList shown;
    for (const QByteArray& part : parts_.parts()) {
        const QString text = FormulaPartText(tables_, part, words_);
        ui_->ListBoxChosen->addItem(text);
        shown << text;
    }
    if (current >= 0 && current < parts_.size())
        ui_->ListBoxChosen->setCurrentRow(current);
    ui_->LabelPreviewValue->setText(shown.join(QLatin1Char('+')));
}

int TFormulaForm::chosenRow() const
{
    return ui_->ListBoxChosen->currentRow();
}

std::vector<int> TFormulaForm::chosenRows() const
{
    std::vector<int> rows;
    for (QListWidgetItem* item : ui_->ListBoxChosen->selectedItems())
        rows.push_back(ui_->ListBoxChosen->row(item));
    return rows;
}

void TFormulaForm::addSelected()
{
    std::vector<QByteArray> names;
    for (int row = 0; row < ui_->ListBoxAvailable->count(); ++row)
        if (ui_->ListBoxAvailable->item(row)->isSelected())
            names.push_back(available_[static_cast<size_t>(row)].name);
    if (names.empty())
        return;
    // Inserted at the current place of the chosen list, or at its end.
    const int at = chosenRow() >= 0 ? chosenRow() : parts_.size();
    parts_.insert(at, names);
    showParts(at + static_cast<int>(names.size()) - 1);
}

void TFormulaForm::addAll()
{
    parts_.appendAll(available_);
    showParts(parts_.size() - 1);
}

void TFormulaForm::removeSelected()
{
    parts_.remove(chosenRows());
    showParts(-1);
}

void TFormulaForm::removeAll()
{
    parts_.clear();
    showParts(-1);
}

void TFormulaForm::addConstant()
{
    const int at = chosenRow() >= 0 ? chosenRow() : parts_.size();
    if (parts_.addConstant(at, ToDocumentBytes(ui_->EditConst->text())))
        showParts(at);
}

void TFormulaForm::removeConstant()
{
    const int row = chosenRow();
    if (const auto text = parts_.removeConstant(row)) {
        ui_->EditConst->setText(FromDocumentBytes(*text));
        showParts(std::min(row, parts_.size() - 1));
    }
}

void TFormulaForm::moveUp()
{
    const int row = chosenRow();
    if (ui_->ListBoxChosen->selectedItems().size() == 1 && parts_.moveUp(row))
        showParts(row - 1);
}

void TFormulaForm::moveDown()
{
    const int row = chosenRow();
    if (ui_->ListBoxChosen->selectedItems().size() == 1 && parts_.moveDown(row))
        showParts(row + 1);
}

FormulaFormFields TFormulaForm::fields() const
{
    FormulaFormFields f;
    f.parts = parts_;
    f.substringStart = ui_->SpinEditStart->value();
    f.substringLength = ui_->SpinEditLength->value();
    f.direction = ui_->RadioButtonRight->isChecked() ? SubstringDirection::RightToLeft : SubstringDirection::LeftToRight;
    f.format = ui_->OutputFormat->fields();
    return f;
}

void TFormulaForm::accept()
{
    ui_->OutputFormat->leaveFields();
    QByteArray scratch = entry_;
    const FormCheck check
        = AcceptFormulaForm(tables_, fields(), ConstFormulaEntry(entry_).name(), FormulaEntry(scratch));
    if (!check.ok) {
        QString fallback = QStringLiteral("公式不正确!");
        if (check.section == QLatin1String("CounterFormInside"))
            fallback = QStringLiteral("最大长度小于前缀、后缀与数据长度之和!");
        else if (check.messageKey == QLatin1String("message2"))
            fallback = QStringLiteral("数据库变量的当前值短于截取的起始位置!");
        ShowDataMessageText(this, LookupText(check.section, check.messageKey, fallback));
        return;
    }
    entry_ = scratch;
    QDialog::accept();
}

} // namespace korvel
