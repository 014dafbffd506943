#pragma once

#include "variables/DateTimeVariables.h"

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui {
class TDateForm;
class TTimeForm;
} // namespace Ui

namespace korvel {

/// "日期型可变数据": edits a copy of one date entry; entry() is the copy after OK.
class TDateForm : public QDialog {
    Q_OBJECT
public:
    TDateForm(const QByteArray& entry, const QString& displayedName, const DateTimePatterns& patterns,
        Clock clock = {}, QWidget* parent = nullptr);
    ~TDateForm() override;

    const QByteArray& entry() const { return entry_; }
    Ui::TDateForm& ui() { return *ui_; }
    DateFormFields fields() const;

    void accept() override;

private:
    void updatePreview();

    std::unique_ptr<Ui::TDateForm> ui_;
    QByteArray entry_;
    DateTimePatterns patterns_;
    Clock clock_;
};

/// Time variables: the same for a time entry.
class TTimeForm : public QDialog {
    Q_OBJECT
public:
    TTimeForm(const QByteArray& entry, const QString& displayedName, const DateTimePatterns& patterns,
        Clock clock = {}, QWidget* parent = nullptr);
    ~TTimeForm() override;

    const QByteArray& entry() const { return entry_; }
    Ui::TTimeForm& ui() { return *ui_; }
    TimeFormFields fields() const;

    void accept() override;

private:
    void updatePreview();

    std::unique_ptr<Ui::TTimeForm> ui_;
    QByteArray entry_;
    DateTimePatterns patterns_;
    Clock clock_;
};

} // namespace korvel
