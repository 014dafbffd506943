#include "editor/printing/PrintForm.h"

#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "document/CodePage.h"
#include "variables/database/DatabaseSource.h"

#include "ui_PrintForm.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvel {

TPrintForm::TPrintForm(const PrintFormInput& in, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PrintForm>())
    , source_(in.source)
{
    ui_->setupUi(this);
    state_ = OpenPrintDialog(in.hasVariables, in.hasDatabase, in.quantityFromField, in.storedQuantityField,
        in.numbers.copies);
    ui_->edS->setText(QString::number(in.numbers.startRecord));
    ui_->edN->setText(QString::number(in.numbers.count));
    ui_->edSame->setText(state_.copiesText);
    ui_->edField->setText(state_.quantityField);
    // The dialog always opens with writing to a file off.
    ui_->CheckBoxFile->setChecked(false);
    ui_->CheckBoxVerify->setChecked(in.verifyBarcodes);
    TranslateWindow(this);
    if (state_.copiesLabelFromLanguage)
        ui_->LabelSame->setText(LookupText(QStringLiteral("PrintFormInside"), QStringLiteral("message2"),
            QStringLiteral("每条记录打印数量")));
    applyState();
    showTotal();

    connect(ui_->edN, &QLineEdit::textEdited, this, [this] { sanitize(false); });
    connect(ui_->edN, &QLineEdit::editingFinished, this, [this] { sanitize(false); });
    connect(ui_->edS, &QLineEdit::textEdited, this, [this] {
        const QString t = SanitizeCountEntry(ui_->edS->text());
        if (t != ui_->edS->text())
            ui_->edS->setText(t);
    });
    connect(ui_->edSame, &QLineEdit::textEdited, this, [this] { sanitize(true); });
    connect(ui_->edSame, &QLineEdit::editingFinished, this, [this] { sanitize(true); });
    connect(ui_->BtnSameNumber, &QPushButton::clicked, this, &TPrintForm::pickQuantityField);
    connect(ui_->BtnDisconnect, &QPushButton::clicked, this, &TPrintForm::disconnectQuantityField);
    connect(ui_->BtnSeekRecord, &QPushButton::clicked, this, &TPrintForm::pickRecord);
    connect(ui_->BitBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TPrintForm::~TPrintForm() = default;

void TPrintForm::applyState()
{
    const bool database = state_.layout == PrintDialogLayout::Database;
    ui_->LabelS->setVisible(state_.startVisible);
    ui_->edS->setVisible(state_.startVisible);
    ui_->BtnSeekRecord->setVisible(state_.startVisible);
    ui_->edS->setEnabled(state_.startEnabled);
    ui_->LabelSame->setVisible(state_.copiesVisible);
    ui_->edSame->setVisible(state_.copiesVisible);
    ui_->edSame->setEnabled(state_.copiesEnabled);
    ui_->LabelAll->setVisible(state_.totalVisible);
    ui_->AllNumber->setVisible(state_.totalVisible);
    ui_->LabelField->setVisible(database);
    ui_->edField->setVisible(database);
    ui_->BtnSameNumber->setVisible(database);
    ui_->BtnDisconnect->setVisible(database);
    ui_->BtnDisconnect->setEnabled(state_.disconnectEnabled);
    ui_->edField->setText(state_.quantityField);
    if (!state_.size.isEmpty()) {
        // The two small shapes keep their size unless the translated texts need more room.
        adjustSize();
        resize(state_.size.expandedTo(minimumSizeHint()));
    } else {
        adjustSize();
    }
}

void TPrintForm::sanitize(bool copies)
{
    QLineEdit* edit = copies ? ui_->edSame : ui_->edN;
    const QString t = copies ? SanitizeCopiesEntry(edit->text()) : SanitizeCountEntry(edit->text());
    if (t != edit->text())
        edit->setText(t);
    showTotal();
}

void TPrintForm::showTotal()
{
    if (const std::optional<QString> total = TotalText(ui_->edN->text(), ui_->edSame->text()))
        ui_->AllNumber->setText(*total);
}

PrintDialogFields TPrintForm::fields() const
{
    PrintDialogFields f;
    f.start = ui_->edS->text();
    f.count = ui_->edN->text();
    f.copies = ui_->edSame->text();
    f.copiesEnabled = ui_->edSame->isEnabled();
    f.writeToFile = ui_->CheckBoxFile->isChecked();
    f.saveLog = ui_->CheckBoxLog->isChecked();
    return f;
}

QString TPrintForm::quantityField() const
{
    return ui_->edField->text();
}

bool TPrintForm::verifyBarcodes() const
{
    return ui_->CheckBoxVerify->isChecked();
}

void TPrintForm::chooseQuantityField(const QString& field)
{
    ChooseQuantityField(state_, field);
    applyState();
}

void TPrintForm::disconnectQuantityField()
{
    DisconnectQuantityField(state_);
    ui_->edSame->setText(state_.copiesText);
    applyState();
    showTotal();
}

void TPrintForm::seekRecord(int record)
{
    ui_->edS->setText(QString::number(record));
    ui_->edS->setEnabled(false);
}

void TPrintForm::pickQuantityField()
{
    if (!source_ || !source_->isOpen())
        return;
    QStringList names;
    for (const FieldInfo& f : source_->fields())
        names << CodePage::document().toUnicode(f.name);
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FieldListForm"));
    dialog.setWindowTitle(ui_->BtnSameNumber->text());
    dialog.setComboBoxItems(names);
    dialog.setComboBoxEditable(false);
    if (Prompts().runDialog(&dialog) && !dialog.textValue().isEmpty())
        chooseQuantityField(dialog.textValue());
}

void TPrintForm::pickRecord()
{
    if (!source_ || !source_->isOpen() || source_->recordCount() == 0)
        return;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SeekRecordForm"));
    dialog.setWindowTitle(ui_->BtnSeekRecord->text());
    auto* table = new QTableWidget(&dialog);
    // The grid shows the records the way the data set holds them; a very long data set is
    // shown up to a bound that keeps the dialog quick to open.
    const int rows = std::min(source_->recordCount(), 20000);
    const int columns = source_->fieldCount();
    table->setRowCount(rows);
    table->setColumnCount(columns);
    QStringList headers;
    for (const FieldInfo& f : source_->fields())
        headers << CodePage::document().toUnicode(f.name);
    table->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            table->setItem(r, c, new QTableWidgetItem(CodePage::document().toUnicode(source_->valueAt(r + 1, c))));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->selectRow(std::max(0, source_->recordNumber() - 1));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(520, 360);
    if (Prompts().runDialog(&dialog) && table->currentRow() >= 0)
        seekRecord(table->currentRow() + 1);
}

} // namespace korvel
