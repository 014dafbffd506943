#include "printing/settings/PrinterSetRules.h"

#include "document/LabelDocument.h"
#include "document/Rounding.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace korvel {

namespace {

QString speedName(int position)
{
    return QString::fromLatin1(PrintSpeeds()[std::size_t(position)].name);
}

/// Consecutive entries of the speed table from the first name to the last.
QStringList speedRun(const char* first, const char* last)
{
    QStringList names;
    bool in = false;
    for (const PrintSpeed& s : PrintSpeeds()) {
        if (qstrcmp(s.name, first) == 0)
            in = true;
        if (in)
            names << QString::fromLatin1(s.name);
        if (qstrcmp(s.name, last) == 0)
            break;
    }
    return names;
}

QStringList allSpeeds()
{
    return speedRun("25mm/s", "152mm/s");
}

int clampIndex(int value, int size)
{
    return std::clamp(value, 0, std::max(size - 1, 0));
}

void selectSpeedCode(PrinterSetControls& c, std::uint8_t code)
{
    const int position = SpeedPosition(code);
    c.speed = position < 0 ? -1 : int(c.speeds.indexOf(speedName(position)));
}

/// Lists the USB printers into the device box (rdUSBPortClick with initUSB): one USB layer
/// serves both radios here, so the second one only shows for a record that names its kind.
void listUsb(PrinterSetControls& c, const PrinterSetEnvironment& env, bool printerMode)
{
    c.usbPrinters = env.usbPrinters ? env.usbPrinters() : QList<UsbPrinterInfo> {};
    c.usbDevice = c.usbPrinters.isEmpty() ? -1 : 0;
    const bool found = !c.usbPrinters.isEmpty();
    c.usbModeVisible = found && printerMode;
    c.usbModeEnabled = c.usbModeVisible;
    c.usbRadioVisible = !c.usbModeVisible;
    c.usbRadioEnabled = !c.usbModeVisible;
    c.port = c.usbModeVisible ? PortChoice::UsbPrinterMode : PortChoice::Usb;
}

MessageText noUsbMessage()
{
    return { QStringLiteral("FormPrinterSetInside"), QStringLiteral("message1"), QString() };
}

/// FillDialog steps 1-10, shared with the model change (which differs in the panel prefix).
FillResult fill(PrinterWorkingCopy& copy, int currentModel, const PrinterSetEnvironment& env, bool modelChange)
{
    FillResult out;
    PrinterSetControls& c = out.controls;
    TPrinterSetting& r = copy.record;
    c.dpi = r.DPI == 1 ? 1 : 0;
    c.model = std::max(0, PositionOfModelIndex(copy.model));
    c.modelName = PrinterModelName(copy.model);

    const bool usbOffered = currentModel == 1 || (modelChange && copy.model == 1);
    c.usbRadioEnabled = usbOffered;
    if (!usbOffered && r.ComPort >= 13)
        r.ComPort = 0;

    const std::uint8_t port = r.ComPort;
    if (port >= 5 && port <= 12) {
        c.port = PortChoice::Serial;
        c.serialPort = port - 5;
    } else if (port == 99) {
        c.port = PortChoice::Driver;
    } else if (port <= 3) {
        c.port = PortChoice::Parallel;
    } else if (port >= 13 && port <= 28) {
        listUsb(c, env, port <= 20);
        if (c.usbPrinters.isEmpty()) {
            out.message = noUsbMessage();
            r.ComPort = 5;
            c.port = PortChoice::Serial;
            c.serialPort = 0;
        } else {
            // The stored device stays selected when it is still attached.
            const int n = port <= 20 ? port - 12 : port - 20;
            c.usbDevice = n <= c.usbPrinters.size() ? n - 1 : 0;
        }
    }
    // Port kind 4 (none) leaves the radios as they are: serial.

    const QString prefix = modelChange
        ? QStringLiteral("端口:")
        : env.lookup("MainFormInside", "message4", QString());
    c.portPanel = PortPanelText(r.ComPort, prefix, env.lookup);

    const int baud = int(BaudRates().indexOf(r.BaudRate));
    c.baud = baud >= 0 ? baud : c.baud;
    c.parity = r.Parity == 1 ? 1 : r.Parity == 2 ? 0 : 2;
    c.flow = r.FlowControl ? 1 : 0;

    const std::uint16_t found = FindParallelPortAddress();
    if (r.LPTAddr != 0 && r.LPTAddr != found && r.LPTAddr != 888 && r.LPTAddr != 956)
        c.address = QStringLiteral("0x%1").arg(quint32(r.LPTAddr), 0, 16);
    else
        c.address = QStringLiteral("LPT1");

    c.pageType = clampIndex(r.PageType, 3);
    c.speeds = c.modelName == QStringLiteral("VTX-M1") ? speedRun("25mm/s", "76mm/s") : allSpeeds();
    c.printType = clampIndex(r.PrintType, 2);
    c.feedType = clampIndex(r.FeedType, 6);
    selectSpeedCode(c, r.PrintSpeed);
    c.darkness = clampIndex(r.PrintThickness, 30);
    c.outDistance = r.OutDistance / 10.0;
    c.direction = clampIndex(r.PrintDirection, 2);
    c.led = clampIndex(r.LED, 2);
    c.caption = c.modelName;
    c.position = copy.positionAdjust / 10.0;

    if (copy.model == 1) {
        c.ledEnabled = false;
        c.dpi = 0;
        c.dpiEnabled = false;
        c.printTypeEnabled = true;
        // The serial box starts at COM1 only where the record names no serial port: forcing
        // it always would move a printer on COM3 to COM1 at the next OK.
        if (c.port != PortChoice::Serial)
            c.serialPort = 0;
        if (modelChange) {
            c.usbRadioEnabled = true;
            c.positionEnabled = true;
        }
    }
    c.outDistanceEnabled = c.feedType != 3;
    return out;
}

} // namespace

const QList<int>& BaudRates()
{
    static const QList<int> rates { 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200 };
    return rates;
}

std::uint16_t FindParallelPortAddress()
{
    return 0;
}

PrinterWorkingCopy BeginPrinterSettings(const LabelDocument& document)
{
    PrinterWorkingCopy copy;
    copy.model = document.printerModel;
    copy.record = document.printer;
    copy.positionAdjust = document.printPositionAdjust;
    if (copy.model > 1) {
        copy.model = 1;
        ApplyDefaultProfile(copy.record);
    }
    return copy;
}

FillResult FillPrinterSetDialog(PrinterWorkingCopy& copy, int currentModel, const PrinterSetEnvironment& env)
{
    return fill(copy, currentModel, env, false);
}

void ShowPrinterSetDialog(PrinterSetControls& c)
{
    c.positionEnabled = c.modelName == QStringLiteral("VTX-M1");
    c.outDistanceEnabled = c.feedType != 3;
}

FillResult ChangePrinterModel(PrinterSetControls& controls, PrinterWorkingCopy& copy, int position,
    const TPrinterSetting& modelOneProfile, const PrinterSetEnvironment& env)
{
    if (position == 0) {
        copy.model = 1;
        copy.record = modelOneProfile;
    }
    FillResult out = fill(copy, copy.model, env, true);
    out.controls.tcp = controls.tcp;
    if (controls.port == PortChoice::Tcp)
        out.controls.port = PortChoice::Tcp;
    controls = out.controls;
    return out;
}

std::optional<SpeedList> SpeedListFor(const QString& model, int dpiPosition, const QString& shown)
{
    const bool at300 = dpiPosition == 1;
    SpeedList list;
    int fallback = 0;
    bool keep = false;
    if (model == QStringLiteral("VTX-M2")) {
        list.names = at300 ? speedRun("25mm/s", "76mm/s") : speedRun("25mm/s", "127mm/s");
        fallback = at300 ? 4 : 6;
        keep = true;
    } else if (model == QStringLiteral("VTX-M3")) {
        list.names = at300 ? speedRun("51mm/s", "102mm/s") : speedRun("76mm/s", "152mm/s");
        fallback = 3;
        keep = true;
    } else if (model == QStringLiteral("VTX-M4")) {
        list.names = speedRun("89mm/s", "127mm/s");
        fallback = 1;
    } else if (model == QStringLiteral("VTX-M5")) {
        list.names = speedRun("25mm/s", "76mm/s");
        fallback = 4;
    } else if (model == QStringLiteral("VTX-M6") || model == QStringLiteral("VTX-M7")
        || model == QStringLiteral("VTX-M8")) {
        list.names = speedRun("25mm/s", "102mm/s");
        fallback = 4;
    } else {
        return std::nullopt;
    }
    const int kept = keep ? int(list.names.indexOf(shown)) : -1;
    list.selected = kept >= 0 ? kept : std::min(fallback, int(list.names.size()) - 1);
    return list;
}

void ChangeResolution(PrinterSetControls& c, int dpiPosition)
{
    const QString shown = c.speed >= 0 && c.speed < c.speeds.size() ? c.speeds[c.speed] : QString();
    c.dpi = dpiPosition;
    if (const std::optional<SpeedList> list = SpeedListFor(c.modelName, dpiPosition, shown)) {
        c.speeds = list->names;
        c.speed = list->selected;
    }
}

void ChangeFeedType(PrinterSetControls& c, int position)
{
    c.feedType = position;
    c.outDistanceEnabled = position != 3;
}

void ChoosePort(PrinterSetControls& c, PortChoice port, const PrinterSetEnvironment& env)
{
    if (port == PortChoice::Usb || port == PortChoice::UsbPrinterMode)
        listUsb(c, env, port == PortChoice::UsbPrinterMode);
    else
        c.port = port;
}

QString PortPanelText(std::uint8_t comPort, const QString& prefix, const TextLookup& lookup)
{
    if (comPort <= 4)
        return prefix + lookup("ChildFormInside", "Panels2Text1", QString());
    if (comPort <= 12)
        return prefix + QStringLiteral("COM%1").arg(comPort - 4);
    if (comPort <= 28)
        return prefix + lookup("ChildFormInside", "Panels2Text2", QString());
    if (comPort == 99)
        return prefix + lookup("ChildFormInside", "Panels2Text3", QString());
    return {};
}

std::int32_t AddressFromText(const QString& raw, std::int32_t current, std::uint16_t found)
{
    const QString text = raw.trimmed();
    if (text == QStringLiteral("LPT1"))
        return found;
    if (text.startsWith(QStringLiteral("LPT")))
        return current;
    static const QRegularExpression integer(QStringLiteral("^-?[0-9]+$"));
    bool ok = false;
    if (integer.match(text).hasMatch()) {
        const int v = text.toInt(&ok);
        return ok ? v : current;
    }
    if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        // Not valid hexadecimal (or too large for the field): the address stays as it was.
        const qint64 v = text.mid(2).toLongLong(&ok, 16);
        return ok && v <= 0x7FFFFFFF ? std::int32_t(v) : current;
    }
    return current;
}

AcceptResult AcceptPrinterSetDialog(PrinterSetControls& c, PrinterWorkingCopy& copy)
{
    AcceptResult out;
    TPrinterSetting r = copy.record;
    auto deviceNumber = [&c] { return c.usbDevice + 1; };
    switch (c.port) {
    case PortChoice::UsbPrinterMode:
    case PortChoice::Usb:
        if (c.usbPrinters.isEmpty() || c.usbDevice < 0) {
            out.accepted = false;
            out.message = noUsbMessage();
            c.port = PortChoice::Serial;
            return out;
        }
        r.ComPort = std::uint8_t((c.port == PortChoice::UsbPrinterMode ? 12 : 20) + std::min(deviceNumber(), 8));
        break;
    case PortChoice::Parallel: r.ComPort = 0; break;
    case PortChoice::Serial: r.ComPort = std::uint8_t(c.serialPort + 5); break;
    case PortChoice::Driver: r.ComPort = 99; break;
    case PortChoice::Tcp: break;
    }
    out.currentModel = ModelIndexOfPosition(c.model);
    if (c.baud >= 0 && c.baud < BaudRates().size())
        r.BaudRate = BaudRates()[c.baud];
    r.Parity = c.parity == 0 ? 2 : c.parity == 1 ? 1 : 0;
    r.ByteSize = 8;
    r.StopBits = 0;
    r.FlowControl = std::uint8_t(c.flow);
    r.LPTAddr = AddressFromText(c.address, r.LPTAddr, FindParallelPortAddress());
    r.PrinterID = 0;
    r.DPI = std::uint8_t(c.dpi);
    r.PageType = std::uint8_t(c.pageType);
    r.PrintType = std::uint8_t(c.printType);
    r.FeedType = std::uint8_t(c.feedType);
    if (c.speed >= 0 && c.speed < c.speeds.size())
        for (const PrintSpeed& s : PrintSpeeds())
            if (QString::fromLatin1(s.name) == c.speeds[c.speed])
                r.PrintSpeed = std::uint8_t(s.code);
    r.PrintThickness = std::uint8_t(c.darkness);
    r.OutDistance = std::int32_t(Round(c.outDistance * 10.0));
    r.PrintDirection = std::uint8_t(c.direction);
    r.LED = std::uint8_t(c.led);
    copy.record = r;
    copy.positionAdjust = std::int32_t(Round(c.position * 10.0));
    copy.model = out.currentModel;
    return out;
}

} // namespace korvel
