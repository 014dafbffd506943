#pragma once

#include "variables/FormulaVariable.h"

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui {
class TFormulaForm;
}

namespace korvel {

/// "公式型变化数据": edits a copy of one formula entry on the document's tables; entry() is the
/// copy after OK. The chosen list shows displayed names; the part list beside it keeps the
/// internal names in the same order.
class TFormulaForm : public QDialog {
    Q_OBJECT
public:
    TFormulaForm(const VariableTables& tables, const QByteArray& entry, const QString& displayedName,
        QWidget* parent = nullptr);
    ~TFormulaForm() override;

    const QByteArray& entry() const { return entry_; }
    Ui::TFormulaForm& ui() { return *ui_; }
    FormulaFormFields fields() const;
    const FormulaPartList& parts() const { return parts_; }

    void accept() override;

private:
    void showParts(int current);
    int chosenRow() const;
    std::vector<int> chosenRows() const;
    void addSelected();
    void addAll();
    void removeSelected();
    void removeAll();
    void addConstant();
    void removeConstant();
    void moveUp();
    void moveDown();

    std::unique_ptr<Ui::TFormulaForm> ui_;
    const VariableTables& tables_;
    QByteArray entry_;
    KindWords words_;
    std::vector<FormulaOperand> available_;
    FormulaPartList parts_;
};

} // namespace korvel
