#pragma once

#include "document/PrinterSetting.h"
#include "printing/PrinterProfiles.h"
#include "printing/ports/PortStatus.h"
#include "printing/ports/UsbLayer.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace korvel {

class LabelDocument;

// The printer settings dialog ("通讯和打印机设置") without its window: the working copy, what
// the controls show, the per-model rules and how OK reads the controls back.

/// The dialog's own model index, record and print position adjustment.
struct PrinterWorkingCopy {
    int model = 1;
    TPrinterSetting record;
    std::int32_t positionAdjust = 0;
};

/// The port radios. Tcp is a network printer's raw socket: it is kept in the settings file's
/// "Ports" group (the record has no port kind for it), the record's port kind stays as it was.
enum class PortChoice : int { Serial = 0, Parallel = 1, Usb = 2, UsbPrinterMode = 3, Driver = 4, Tcp = 5 };

/// Parity box entries in the order the box lists them.
inline const QStringList& ParityNames()
{
    static const QStringList names { QStringLiteral("偶校验"), QStringLiteral("奇校验"), QStringLiteral("无校验") };
    return names;
}
/// Baud box entries.
const QList<int>& BaudRates();

/// What the dialog's controls show and which of them are enabled.
struct PrinterSetControls {
    int model = 0; ///< ComboBoxPrinterID position
    QString modelName;
    PortChoice port = PortChoice::Serial;
    bool usbRadioVisible = true; ///< rdUSBPort
    bool usbRadioEnabled = false;
    bool usbModeVisible = false; ///< RbUSB_PrinterMode (the same place, the same text)
    bool usbModeEnabled = false;
    int serialPort = 0; ///< COM1 … COM8 → 0 … 7
    int baud = 5; ///< position in BaudRates(); -1 none selected
    int parity = 2; ///< position in ParityNames()
    int flow = 1; ///< 0 software, 1 hardware
    QString address = QStringLiteral("LPT1");
    QList<UsbPrinterInfo> usbPrinters;
    int usbDevice = -1; ///< selected device, -1 none
    int dpi = 0;
    bool dpiEnabled = true;
    int printType = 0;
    bool printTypeEnabled = true;
    int pageType = 2;
    int feedType = 5;
    QStringList speeds; ///< speed box entries (names of the speed table)
    int speed = -1; ///< selected entry, -1 none
    int darkness = 18; ///< "01" … "30" → 0 … 29
    double outDistance = 0.0;
    bool outDistanceEnabled = true;
    int direction = 0;
    int led = 0;
    bool ledEnabled = true;
    double position = 0.0;
    bool positionEnabled = false;
    QString caption;
    QString portPanel; ///< the status bar's port text
    QString tcp; ///< host:port of the network printer

    /// The serial labels and boxes, the address box and the USB device box.
    bool serialEnabled() const { return port == PortChoice::Serial; }
    bool addressEnabled() const { return port == PortChoice::Parallel; }
    bool usbBoxEnabled() const { return port == PortChoice::Usb || port == PortChoice::UsbPrinterMode; }
    bool tcpEnabled() const { return port == PortChoice::Tcp; }
};

/// What the dialog asks of the machine.
struct PrinterSetEnvironment {
    /// The attached USB printers (the device box).
    std::function<QList<UsbPrinterInfo>()> usbPrinters;
    TextLookup lookup = BuiltInText;
};

/// The parallel port's I/O address. The port is the device file here, so there is no address
/// to find and nothing is ever read from or written to an I/O port: always 0.
std::uint16_t FindParallelPortAddress();

/// Steps 2-3 of the command: the document's copy, with the default profile for a model index
/// above 1 (the document itself is not changed).
PrinterWorkingCopy BeginPrinterSettings(const LabelDocument& document);

struct FillResult {
    PrinterSetControls controls;
    /// "FormPrinterSetInside"/"message1" when the stored USB port found no device.
    std::optional<MessageText> message;
};
/// FillDialog: the controls from the working copy (which the USB and model rules may change).
/// currentModel is the process's current model index.
FillResult FillPrinterSetDialog(PrinterWorkingCopy& copy, int currentModel, const PrinterSetEnvironment& env);
/// Showing the dialog: the position editor follows the model name; the feed-out editor is off
/// for rewind.
void ShowPrinterSetDialog(PrinterSetControls& controls);

/// ComboBoxPrinterIDChange: position 0 takes the model profile table's slot for model 1.
FillResult ChangePrinterModel(
    PrinterSetControls& controls, PrinterWorkingCopy& copy, int position, const TPrinterSetting& modelOneProfile,
    const PrinterSetEnvironment& env);

/// The speed box for a model name and resolution, keeping the shown speed where the rule says
/// so. Nothing for a model name without a rule (the box stays as it is).
struct SpeedList {
    QStringList names;
    int selected = -1;
};
std::optional<SpeedList> SpeedListFor(const QString& modelName, int dpiPosition, const QString& shownSpeed);
/// cbPrintDPIChange.
void ChangeResolution(PrinterSetControls& controls, int dpiPosition);
/// cbFeedTypeChange.
void ChangeFeedType(PrinterSetControls& controls, int position);
/// A port radio was chosen (SetCOMEnable, SetLPTEnable, SetUSBEnable); the USB radio lists the
/// devices (rdUSBPortClick).
void ChoosePort(PrinterSetControls& controls, PortChoice port, const PrinterSetEnvironment& env);

/// The port text of the status bar: prefix then the kind's text; empty for a kind without one.
QString PortPanelText(std::uint8_t comPort, const QString& prefix, const TextLookup& lookup);

/// The address box read back: "LPT1" the found address, other "LPT…" unchanged, an integer or
/// "0x…" text its value, anything else unchanged.
std::int32_t AddressFromText(const QString& text, std::int32_t current, std::uint16_t found);

struct AcceptResult {
    /// False: the dialog stays open (nothing of the working copy changed).
    bool accepted = true;
    std::optional<MessageText> message;
    int currentModel = 1;
};
/// BitBtnOKClick. On a refusal the controls switch to the serial radio.
AcceptResult AcceptPrinterSetDialog(PrinterSetControls& controls, PrinterWorkingCopy& copy);

} // namespace korvel
