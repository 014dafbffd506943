// The printer settings dialog without its window: what FillDialog shows, the per-model rules,
// the speed lists and how OK reads the controls back.

#include "document/LabelDocument.h"
#include "printing/settings/PrinterSetRules.h"

#include <gtest/gtest.h>

using namespace korvel;

namespace {

PrinterSetEnvironment noUsb()
{
    PrinterSetEnvironment env;
    env.usbPrinters = [] { return QList<UsbPrinterInfo> {}; };
    return env;
}

PrinterSetEnvironment twoUsb()
{
    PrinterSetEnvironment env;
    env.usbPrinters = [] {
        UsbPrinterInfo a;
        a.description = QStringLiteral("USB 1:4 (0a5f:0001 SN A1)");
        UsbPrinterInfo b;
        b.description = QStringLiteral("USB 1:5 (0a5f:0001 SN B2)");
        return QList<UsbPrinterInfo> { a, b };
    };
    return env;
}

QString speedShown(const PrinterSetControls& c)
{
    return c.speed >= 0 ? c.speeds[c.speed] : QString();
}

} // namespace

TEST(PrinterSetRules, UnknownModelOpensAsModelOneWithTheDefaultProfile)
{
    LabelDocument doc;
    doc.printerModel = 3;
    doc.printer.ComPort = 7;
    doc.printer.BaudRate = 9600;
    doc.printer.Parity = 2;
    doc.printer.FlowControl = 0;
    doc.printer.LPTAddr = 632;
    doc.printer.PrintType = 1;
    doc.printer.PageType = 1;
    doc.printer.PrintSpeed = 'K';
    doc.printer.OutDistance = 35;
    const TPrinterSetting before = doc.printer;
    PrinterWorkingCopy copy = BeginPrinterSettings(doc);
    EXPECT_EQ(doc.printer, before) << "only the dialog's copy takes the defaults";
    EXPECT_EQ(doc.printerModel, 3);

    const FillResult filled = FillPrinterSetDialog(copy, 1, noUsb());
    const PrinterSetControls& c = filled.controls;
    EXPECT_FALSE(filled.message.has_value());
    EXPECT_EQ(c.model, 0);
    EXPECT_EQ(c.caption, QStringLiteral("VTX-M1"));
    EXPECT_EQ(c.port, PortChoice::Serial);
    EXPECT_EQ(c.serialPort, 0); // COM1
    EXPECT_EQ(BaudRates()[c.baud], 38400);
    EXPECT_EQ(ParityNames()[c.parity], QStringLiteral("无校验"));
    EXPECT_EQ(c.flow, 1); // "硬件"
    EXPECT_EQ(c.address, QStringLiteral("LPT1"));
    EXPECT_EQ(c.dpi, 0);
    EXPECT_FALSE(c.dpiEnabled);
    EXPECT_EQ(c.direction, 0);
    EXPECT_EQ(c.feedType, 5); // "撕离无确认"
    EXPECT_EQ(speedShown(c), QStringLiteral("76mm/s"));
    EXPECT_EQ(c.darkness + 1, 19);
    EXPECT_EQ(c.outDistance, 0.0);
    EXPECT_EQ(c.printType, 1) << "print type and media keep their values";
    EXPECT_EQ(c.pageType, 1);
    EXPECT_FALSE(c.ledEnabled);
    EXPECT_EQ(c.speeds.size(), 5) << "model 1 offers 25-76 mm/s";
}

TEST(PrinterSetRules, ParallelAddressShownAndReadBack)
{
    const struct {
        std::int32_t stored;
        const char* shown;
    } shown[] = { { 888, "LPT1" }, { 956, "LPT1" }, { 0, "LPT1" }, { 632, "0x278" } };
    for (const auto& row : shown) {
        PrinterWorkingCopy copy;
        copy.record.ComPort = 0;
        copy.record.LPTAddr = row.stored;
        const PrinterSetControls c = FillPrinterSetDialog(copy, 1, noUsb()).controls;
        EXPECT_EQ(c.address, QString::fromLatin1(row.shown)) << row.stored;
        EXPECT_EQ(c.port, PortChoice::Parallel);
        EXPECT_TRUE(c.addressEnabled());
        EXPECT_FALSE(c.serialEnabled());
    }
    // The device file is the port: no address is ever looked up, "LPT1" stores 0.
    EXPECT_EQ(FindParallelPortAddress(), 0);
    EXPECT_EQ(AddressFromText(QStringLiteral("LPT1"), 632, 0), 0);
    EXPECT_EQ(AddressFromText(QStringLiteral("0x3BC"), 632, 0), 956);
    EXPECT_EQ(AddressFromText(QStringLiteral(" 888 "), 632, 0), 888);
    EXPECT_EQ(AddressFromText(QStringLiteral("LPT2"), 632, 0), 632);
    EXPECT_EQ(AddressFromText(QStringLiteral("abc"), 632, 0), 632);
    EXPECT_EQ(AddressFromText(QStringLiteral("0xZZ"), 632, 0), 632);
}

TEST(PrinterSetRules, UsbAndQueuePortsNeedModelOne)
{
    for (std::uint8_t port : { std::uint8_t(22), std::uint8_t(99) }) {
        PrinterWorkingCopy copy;
        copy.record.ComPort = port;
        PrinterSetControls c = FillPrinterSetDialog(copy, 2, twoUsb()).controls;
        EXPECT_EQ(c.port, PortChoice::Parallel) << int(port);
        EXPECT_FALSE(c.usbRadioEnabled);
        const AcceptResult r = AcceptPrinterSetDialog(c, copy);
        EXPECT_TRUE(r.accepted);
        EXPECT_EQ(copy.record.ComPort, 0) << int(port);
    }
}

TEST(PrinterSetRules, UsbDeviceListAndItsFailures)
{
    // A stored USB port with printers attached: the device is selected again.
    PrinterWorkingCopy copy;
    copy.record.ComPort = 22; // device 2 of the second kind
    PrinterSetControls c = FillPrinterSetDialog(copy, 1, twoUsb()).controls;
    EXPECT_EQ(c.port, PortChoice::Usb);
    EXPECT_EQ(c.usbPrinters.size(), 2);
    EXPECT_EQ(c.usbDevice, 1);
    EXPECT_TRUE(c.usbBoxEnabled());
    AcceptResult r = AcceptPrinterSetDialog(c, copy);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(copy.record.ComPort, 22);

    // A record of the first USB kind keeps its kind.
    copy.record.ComPort = 13;
    c = FillPrinterSetDialog(copy, 1, twoUsb()).controls;
    EXPECT_EQ(c.port, PortChoice::UsbPrinterMode);
    EXPECT_TRUE(c.usbModeVisible);
    r = AcceptPrinterSetDialog(c, copy);
    EXPECT_EQ(copy.record.ComPort, 13);

    // No printer attached: the prompt, and COM1.
    copy.record.ComPort = 22;
    const FillResult none = FillPrinterSetDialog(copy, 1, noUsb());
    ASSERT_TRUE(none.message.has_value());
    EXPECT_EQ(none.message->key, QStringLiteral("message1"));
    EXPECT_EQ(none.controls.port, PortChoice::Serial);
    EXPECT_EQ(none.controls.serialPort, 0);
    EXPECT_EQ(copy.record.ComPort, 5);

    // OK with the USB radio and an empty list: refused, nothing of the copy changes.
    PrinterWorkingCopy kept;
    kept.record.ComPort = 6;
    c = FillPrinterSetDialog(kept, 1, noUsb()).controls;
    ChoosePort(c, PortChoice::Usb, noUsb());
    c.darkness = 3;
    const PrinterWorkingCopy before = kept;
    r = AcceptPrinterSetDialog(c, kept);
    EXPECT_FALSE(r.accepted);
    ASSERT_TRUE(r.message.has_value());
    EXPECT_EQ(c.port, PortChoice::Serial);
    EXPECT_EQ(kept.record, before.record);
}

TEST(PrinterSetRules, SpeedListsFollowTheModelAndResolution)
{
    PrinterSetControls c;
    c.modelName = QStringLiteral("VTX-M3");
    c.speeds = SpeedListFor(c.modelName, 0, QString())->names;
    c.speed = int(c.speeds.indexOf(QStringLiteral("140mm/s")));
    ASSERT_GE(c.speed, 0);
    ChangeResolution(c, 1);
    EXPECT_EQ(c.speeds.first(), QStringLiteral("51mm/s"));
    EXPECT_EQ(speedShown(c), QStringLiteral("89mm/s")) << "140mm/s is not offered at 300 dpi: position 3";
    ChangeResolution(c, 0);
    EXPECT_EQ(c.speeds.first(), QStringLiteral("76mm/s"));
    EXPECT_EQ(speedShown(c), QStringLiteral("89mm/s")) << "kept";

    const struct {
        const char* model;
        int dpi;
        const char* first;
        const char* last;
        const char* selected;
    } rows[] = {
        { "VTX-M2", 0, "25mm/s", "127mm/s", "102mm/s" },
        { "VTX-M2", 1, "25mm/s", "76mm/s", "76mm/s" },
        { "VTX-M4", 0, "89mm/s", "127mm/s", "102mm/s" },
        { "VTX-M5", 1, "25mm/s", "76mm/s", "76mm/s" },
        { "VTX-M7", 0, "25mm/s", "102mm/s", "76mm/s" },
    };
    for (const auto& row : rows) {
        const std::optional<SpeedList> list = SpeedListFor(QString::fromLatin1(row.model), row.dpi, QString());
        ASSERT_TRUE(list.has_value()) << row.model;
        EXPECT_EQ(list->names.first(), QString::fromLatin1(row.first)) << row.model;
        EXPECT_EQ(list->names.last(), QString::fromLatin1(row.last)) << row.model;
        EXPECT_EQ(list->names[list->selected], QString::fromLatin1(row.selected)) << row.model << " " << row.dpi;
    }
    EXPECT_FALSE(SpeedListFor(QStringLiteral("VTX-M1"), 1, QString()).has_value()) << "model 1 keeps its box";
}

TEST(PrinterSetRules, OkReadsEveryControlBack)
{
    PrinterWorkingCopy copy;
    PrinterSetControls c = FillPrinterSetDialog(copy, 1, noUsb()).controls;
    c.serialPort = 2;
    c.baud = int(BaudRates().indexOf(115200));
    c.parity = 0; // "偶校验"
    c.flow = 0;
    c.pageType = 0;
    c.printType = 1;
    ChangeFeedType(c, 3);
    EXPECT_FALSE(c.outDistanceEnabled) << "rewind: no feed-out adjustment";
    c.outDistance = -2.5; // still written back
    c.speed = int(c.speeds.indexOf(QStringLiteral("38mm/s")));
    c.darkness = 29;
    c.direction = 1;
    c.position = 1.5;
    c.address = QStringLiteral("0x278");
    const AcceptResult r = AcceptPrinterSetDialog(c, copy);
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(r.currentModel, 1);
    const TPrinterSetting& s = copy.record;
    EXPECT_EQ(s.ComPort, 7);
    EXPECT_EQ(s.BaudRate, 115200);
    EXPECT_EQ(s.Parity, 2);
    EXPECT_EQ(s.FlowControl, 0);
    EXPECT_EQ(s.PageType, 0);
    EXPECT_EQ(s.PrintType, 1);
    EXPECT_EQ(s.FeedType, 3);
    EXPECT_EQ(s.OutDistance, -25) << "round(-2.5 × 10)";
    EXPECT_EQ(s.PrintSpeed, 'C');
    EXPECT_EQ(s.PrintThickness, 29);
    EXPECT_EQ(s.PrintDirection, 1);
    EXPECT_EQ(s.LPTAddr, 632);
    EXPECT_EQ(s.PrinterID, 0);
    EXPECT_EQ(copy.positionAdjust, 15);
}

TEST(PrinterSetRules, PortPanelTexts)
{
    const TextLookup lookup = [](const char*, const char* key, const QString&) { return QString::fromLatin1(key); };
    EXPECT_EQ(PortPanelText(0, QStringLiteral("端口:"), lookup), QStringLiteral("端口:Panels2Text1"));
    EXPECT_EQ(PortPanelText(7, QStringLiteral("端口:"), lookup), QStringLiteral("端口:COM3"));
    EXPECT_EQ(PortPanelText(21, QStringLiteral("P "), lookup), QStringLiteral("P Panels2Text2"));
    EXPECT_EQ(PortPanelText(99, QString(), lookup), QStringLiteral("Panels2Text3"));
    EXPECT_TRUE(PortPanelText(50, QStringLiteral("x"), lookup).isEmpty());
}
