#include "editor/properties/ContentSource.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "editor/Language.h"
#include "editor/UserPrompts.h"
#include "variables/Evaluation.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

namespace korvel {

ContentSource::ContentSource(const LabelDocument& document, QComboBox* kinds, QStackedWidget* pages,
                             QListWidget* variables, QLabel* value, QObject* parent)
    : QObject(parent)
    , document_(document)
    , kinds_(kinds)
    , pages_(pages)
    , variables_(variables)
    , value_(value)
{
    if (kinds_->count() == 0)
        kinds_->addItems(ContentSourceLabels());
    connect(kinds_, &QComboBox::currentIndexChanged, this, [this] {
        fillList();
        if (variables_->count() > 0)
            variables_->setCurrentRow(0);
        showValue();
        emit changed();
    });
    connect(variables_, &QListWidget::currentRowChanged, this, [this] {
        showValue();
        emit changed();
    });
}

VariableKind ContentSource::kind() const
{
    const int i = kinds_->currentIndex();
    return i >= 0 && i <= static_cast<int>(VariableKind::Formula) ? static_cast<VariableKind>(i)
                                                                  : VariableKind::Constant;
}

void ContentSource::setSource(VariableKind kind, const QByteArray& name)
{
    const QSignalBlocker block(kinds_);
    const QSignalBlocker blockList(variables_);
    kinds_->setCurrentIndex(HasTable(kind) ? static_cast<int>(kind) : 0);
    fillList();
    const int entry = HasTable(kind) ? FindVariable(document_.variables, kind, name) : 0;
    variables_->setCurrentRow(entry - 1);
    showValue();
}

QByteArray ContentSource::name() const
{
    const int row = variables_->currentRow();
    if (isFixed() || row < 0)
        return {};
    return EntryName(document_.variables, kind(), row + 1);
}

QByteArray ContentSource::presentValue() const
{
    const QByteArray n = name();
    return n.isEmpty() ? QByteArray() : EvaluateVariable(document_, n, kind());
}

void ContentSource::setButtons(QPushButton* add, QPushButton* modify)
{
    add_ = add;
    modify_ = modify;
    connect(add_, &QPushButton::clicked, this, [this] { addVariable(); });
    connect(modify_, &QPushButton::clicked, this, [this] { modifyVariable(); });
    enableButtons();
}

void ContentSource::setVariableCommand(VariableCommand command)
{
    command_ = std::move(command);
    enableButtons();
}

void ContentSource::enableButtons()
{
    if (!add_ || !modify_)
        return;
    add_->setVisible(bool(command_));
    modify_->setVisible(bool(command_));
    // Database variables are named after their columns: they come from the data source, not here.
    const VariableKind k = kind();
    add_->setEnabled(k != VariableKind::Database && CanAddVariable(document_.variables, k));
    modify_->setEnabled(HasTable(k));
}

bool ContentSource::addVariable()
{
    const VariableKind k = kind();
    if (!command_ || k == VariableKind::Database || !CanAddVariable(document_.variables, k))
        return false;
    const int before = EntryCount(document_.variables, k);
    command_(Command::AddVariable, static_cast<int>(k) - 1, 1);
    int after = EntryCount(document_.variables, k);
    // The new entry opens in the dialog of its kind; cancelled there, it goes again.
    if (after > before && command_(Command::ModifyVariable, after, static_cast<int>(k) - 1) == 0) {
        command_(Command::DeleteVariable, after, static_cast<int>(k) - 1);
        after = EntryCount(document_.variables, k);
    }
    fillList();
    if (after > before)
        variables_->setCurrentRow(after - 1);
    showValue();
    enableButtons();
    emit changed();
    return after > before;
}

bool ContentSource::modifyVariable()
{
    const int row = variables_->currentRow();
    if (!command_)
        return false;
    if (!HasTable(kind()) || row < 0) {
        Prompts().message(variables_->window(), LookupText(QStringLiteral("All"), QStringLiteral("tishi"), QStringLiteral("提示")),
                          LookupText(QStringLiteral("TextPropFormInside"), QStringLiteral("message1"), QStringLiteral("请先在列表中选择一个变量。")),
                          UserPrompts::Icon::Information);
        return false;
    }
    const bool done = command_(Command::ModifyVariable, row + 1, static_cast<int>(kind()) - 1) != 0;
    fillList();
    variables_->setCurrentRow(row);
    showValue();
    emit changed();
    return done;
}

void ContentSource::fillList()
{
    const QSignalBlocker block(variables_);
    variables_->clear();
    const VariableKind k = kind();
    pages_->setCurrentIndex(k == VariableKind::Constant ? 0 : 1);
    enableButtons();
    if (!HasTable(k))
        return;
    const QString word = LookupText(QStringLiteral("All"), KindLanguageKey(k), ContentSourceLabels().value(int(k)));
    for (int i = 1; i <= EntryCount(document_.variables, k); ++i)
        variables_->addItem(DisplayedVariableName(k, EntryName(document_.variables, k, i), word));
}

void ContentSource::showValue()
{
    value_->setText(CodePage::document().toUnicode(presentValue()));
}

} // namespace korvel
