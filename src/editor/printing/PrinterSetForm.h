#pragma once

#include "printing/ports/PortFactory.h"
#include "printing/settings/PrinterSetRules.h"

#include <QDialog>

#include <array>
#include <memory>

namespace Ui {
class FormPrinterSet;
}

namespace korvel {

/// Where the record's port kinds lead on this machine, as the dialog edits them (the settings
/// file's "Ports" group).
struct PortChoices {
    std::array<QString, 8> serialDevices;
    QString queueName;
    QString tcp; ///< host:port; empty when no network printer replaces the record's port
};

/// The printer settings dialog (`TFormPrinterSet`, "通讯和打印机设置"): a view on the working
/// copy through the printer settings rules. OK reads the controls back into the working copy;
/// the caller takes it over.
class TFormPrinterSet : public QDialog {
    Q_OBJECT
public:
    TFormPrinterSet(const PrinterWorkingCopy& copy, int currentModel, const TPrinterSetting& modelOneProfile,
        const PortChoices& ports, const PrinterSetEnvironment& env, QWidget* parent = nullptr);
    ~TFormPrinterSet() override;

    const PrinterWorkingCopy& workingCopy() const { return copy_; }
    /// The current model index BitBtnOKClick set.
    int currentModel() const { return currentModel_; }
    const PrinterSetControls& controls() const { return controls_; }
    PortChoices portChoices() const;
    /// The prompt FillDialog raised (a stored USB port without a device), for the caller to show.
    const std::optional<MessageText>& fillMessage() const { return fillMessage_; }

    Ui::FormPrinterSet& form() { return *ui_; }
    /// The serial devices and print queues offered in the boxes.
    void setDeviceLists(const QStringList& serialDevices, const QStringList& queues);

public slots:
    void accept() override; ///< BitBtnOKClick

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showControls();
    void readControls();
    void choosePort(PortChoice port);
    bool letterKey(int key);

    std::unique_ptr<Ui::FormPrinterSet> ui_;
    PrinterWorkingCopy copy_;
    TPrinterSetting modelOneProfile_;
    PrinterSetEnvironment env_;
    PrinterSetControls controls_;
    PortChoices ports_;
    std::optional<MessageText> fillMessage_;
    int currentModel_;
    int shownSerial_ = 0;
    bool filling_ = false;
};

} // namespace korvel
