#include "editor/properties/ContentSource.h"

#include "document/CodePage.h"
#include "document/LabelDocument.h"
#include "editor/Language.h"
#include "variables/Evaluation.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
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

void ContentSource::fillList()
{
    const QSignalBlocker block(variables_);
    variables_->clear();
    const VariableKind k = kind();
    pages_->setCurrentIndex(k == VariableKind::Constant ? 0 : 1);
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
