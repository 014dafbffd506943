#pragma once

#include "barcode/BarcodeRules.h"
#include "editor/properties/ContentSource.h"
#include "editor/properties/PropertyForm.h"
#include "editor/properties/SymbolReading.h"
#include "variables/VariableModel.h"

#include <memory>

namespace Ui {
class BarcodePropForm;
}

namespace korvel {

class LabelDocument;
class TOABarCode;

/// The barcode property dialog ("条码属性"): a view of BarcodeRules over its Designer form, with
/// a preview drawn by a barcode object and the read-back verdict. It never touches the object.
class TBarcodePropForm : public TPropertyForm {
    Q_OBJECT
public:
    TBarcodePropForm(const LabelDocument& document, const TOABarCode& barcode, QWidget* parent = nullptr);
    ~TBarcodePropForm() override;

    /// The choices as the fields show them.
    BarcodeDialogValues values() const;
    /// True when the content comes from a variable; then variable() names it.
    bool bound() const;
    VariableKind variableKind() const;
    QByteArray variableName() const;
    /// The content the check and the object see: the fixed data or the variable's present value.
    QByteArray content() const;

    /// Applies the confirmed dialog to a barcode: the binding, then the values in their order.
    void applyTo(TOABarCode& barcode) const;

    const SymbolVerdict& verdict() const { return verdict_; }
    const QImage& previewPicture() const { return preview_; }
    Ui::BarcodePropForm* form() const { return ui_.get(); }

    /// Lets the add and modify buttons beside the variable list reach the document window.
    void setVariableCommand(VariableCommand command);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill(const BarcodeDialogValues& v);
    void typeChosen(bool adaptData);
    void fillRatios(const QString& keep);
    void enableTextOptions();
    void refreshCounter();
    void refresh();
    QByteArray fixedData() const;

    std::unique_ptr<Ui::BarcodePropForm> ui_;
    const LabelDocument& document_;
    ContentSource* source_;
    std::unique_ptr<TOABarCode> sample_;
    int dpi_ = 203;
    TBarCodeType shownType_ = kNewBarcodeType;
    SymbolVerdict verdict_;
    QImage preview_;
    bool filling_ = false;
};

} // namespace korvel
