#pragma once

#include "printing/job/PrintDialog.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PrintForm;
}

namespace korvel {

class DatabaseSource;

/// What the print dialog opens with.
struct PrintFormInput {
    bool hasVariables = false;
    bool hasDatabase = false;
    /// The quantity-from-field flag of the last dialog.
    bool quantityFromField = false;
    QByteArray storedQuantityField;
    PrintNumbers numbers;
    bool verifyBarcodes = true;
    /// The document's data set (for the record seek and the field list); may be null.
    DatabaseSource* source = nullptr;
};

/// The print dialog ("打印设置") in its three layouts over the print dialog rules.
class TPrintForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrintForm(const PrintFormInput& input, QWidget* parent = nullptr);
    ~TPrintForm() override;

    const PrintDialogState& state() const { return state_; }
    /// The edits and boxes as OK and Cancel read them.
    PrintDialogFields fields() const;
    QString quantityField() const;
    bool verifyBarcodes() const;

    /// "选项..." with a chosen field, and "断开...".
    void chooseQuantityField(const QString& field);
    void disconnectQuantityField();
    /// "定位记录...": the start record taken from the data set (edS is then disabled).
    void seekRecord(int record);

    Ui::PrintForm& form() { return *ui_; }

private:
    void applyState();
    void sanitize(bool copies);
    void showTotal();
    void pickQuantityField();
    void pickRecord();

    std::unique_ptr<Ui::PrintForm> ui_;
    PrintDialogState state_;
    DatabaseSource* source_;
};

} // namespace korvel
