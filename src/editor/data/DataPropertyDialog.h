#pragma once

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui {
class TDataPropertyForm;
}

namespace korvel {

/// The database-variable dialog: the column and its current value read-only, and the output
/// format. OK warns about doubtful values but stores them nonetheless.
class TDataPropertyForm : public QDialog {
    Q_OBJECT
public:
    TDataPropertyForm(const QByteArray& entry, const QByteArray& currentValue, QWidget* parent = nullptr);
    ~TDataPropertyForm() override;

    const QByteArray& entry() const { return entry_; }
    Ui::TDataPropertyForm& ui() { return *ui_; }

    void accept() override;

private:
    std::unique_ptr<Ui::TDataPropertyForm> ui_;
    QByteArray entry_;
};

} // namespace korvel
