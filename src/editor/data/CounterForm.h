#pragma once

#include "variables/CounterVariable.h"

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui {
class TCounterForm;
}

namespace korvel {

/// "计数器型可变数据": edits a copy of one counter entry; entry() is the copy after OK.
class TCounterForm : public QDialog {
    Q_OBJECT
public:
    TCounterForm(const QByteArray& entry, const QString& displayedName, QWidget* parent = nullptr);
    ~TCounterForm() override;

    const QByteArray& entry() const { return entry_; }
    Ui::TCounterForm& ui() { return *ui_; }
    CounterFormFields fields() const;

    void accept() override;

private:
    void setFields(const CounterFormFields& fields);
    void typeChosen(int index);
    void initialValueEdited();
    void stepEdited();
    QWidget* fieldWidget(CounterField field) const;

    std::unique_ptr<Ui::TCounterForm> ui_;
    QByteArray entry_;
    bool filling_ = false;
};

/// The fall-back texts of the counter dialog's messages (section "CounterFormInside").
QString CounterMessageFallback(const QString& key);

} // namespace korvel
