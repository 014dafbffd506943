#include "printing/ports/PortFactory.h"

#include "persistence/RegistryStore.h"
#include "printing/ports/PortSettingsStore.h"

#include "printing/ports/FilePort.h"
#include "printing/ports/SerialPort.h"
#include "printing/ports/UsbPort.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace korvel;

TEST(PortFactory, ComPortKinds)
{
    struct Row {
        int comPort;
        PortCategory category;
        int device;
        const char* describe;
    };
    const Row rows[] = {
        { 0, PortCategory::Parallel, 0, "parallel /dev/parport0" },
        { 3, PortCategory::Parallel, 3, "parallel /dev/parport3" },
        { 4, PortCategory::None, 0, "none" },
        { 5, PortCategory::Serial, 1, "serial /dev/ttyS0" },
        { 7, PortCategory::Serial, 3, "serial /dev/ttyS2" }, // "Com3"
        { 12, PortCategory::Serial, 8, "serial /dev/ttyS7" },
        { 13, PortCategory::UsbDirect, 1, "usb 1" },
        { 20, PortCategory::UsbDirect, 8, "usb 8" },
        { 21, PortCategory::UsbAccumulating, 1, "usb 1" },
        { 28, PortCategory::UsbAccumulating, 8, "usb 8" },
        { 99, PortCategory::Queue, 0, "queue VTX-Relay" },
        { 29, PortCategory::Invalid, 0, "none" },
        { 98, PortCategory::Invalid, 0, "none" },
        { 255, PortCategory::Invalid, 0, "none" },
    };
    const PortSettings settings;
    for (const Row& r : rows) {
        EXPECT_EQ(CategoryOfComPort(std::uint8_t(r.comPort)), r.category) << r.comPort;
        EXPECT_EQ(DeviceNumberOfComPort(std::uint8_t(r.comPort)), r.device) << r.comPort;
        TPrinterSetting s;
        s.ComPort = std::uint8_t(r.comPort);
        const auto port = CreatePort(s, settings);
        ASSERT_TRUE(port);
        EXPECT_EQ(port->describe(), QString::fromLatin1(r.describe)) << r.comPort;
        if (r.category == PortCategory::Invalid) {
            EXPECT_EQ(port->OpenPort().code, PortError::NoPort);
            EXPECT_TRUE(port->SendPiece("x")) << "pieces to a kind without a port count as sent";
        } else {
            EXPECT_EQ(port->category(), r.category) << r.comPort;
        }
    }
}

TEST(PortFactory, SettingsMapDevicesAndOverrideTheRecord)
{
    PortSettings settings;
    settings.serialDevices[2] = QStringLiteral("/dev/ttyUSB4");
    settings.parallelDevices[1] = QStringLiteral("/dev/parport7");
    settings.queue.name = QStringLiteral("Label-Queue");
    TPrinterSetting s;
    s.ComPort = 7;
    EXPECT_EQ(CreatePort(s, settings)->describe(), QStringLiteral("serial /dev/ttyUSB4"));
    s.ComPort = 1;
    EXPECT_EQ(CreatePort(s, settings)->describe(), QStringLiteral("parallel /dev/parport7"));
    s.ComPort = 99;
    EXPECT_EQ(CreatePort(s, settings)->describe(), QStringLiteral("queue Label-Queue"));

    // The override leaves the record alone and picks another port.
    settings.overrideSpec = QStringLiteral("tcp:192.0.2.7");
    const auto net = CreatePort(s, settings);
    EXPECT_EQ(net->category(), PortCategory::Tcp);
    EXPECT_EQ(net->describe(), QStringLiteral("tcp 192.0.2.7:9100"));
    EXPECT_EQ(s.ComPort, 99);

    settings.overrideSpec = QStringLiteral("tcp:printer:0");
    EXPECT_EQ(CreatePort(s, settings)->OpenPort().code, PortError::BadSpec);

    // Descriptions: a serial speed overrides the record's, the rest of the line is the record's.
    const auto serial = CreatePortFromSpec(ParsePortSpec(QStringLiteral("serial:COM3:9600")).portSpec, s, settings);
    ASSERT_EQ(serial->category(), PortCategory::Serial);
    const auto& params = static_cast<SerialPort&>(*serial).params();
    EXPECT_EQ(params.device, QStringLiteral("/dev/ttyUSB4"));
    EXPECT_EQ(params.BaudRate, 9600);
    EXPECT_EQ(params.FlowControl, s.FlowControl);
    EXPECT_EQ(CreatePortFromSpec(ParsePortSpec(QStringLiteral("parallel:1")).portSpec, s, settings)->describe(),
        QStringLiteral("parallel /dev/parport7"));
    EXPECT_EQ(CreatePortFromSpec(ParsePortSpec(QStringLiteral("queue:")).portSpec, s, settings)->describe(),
        QStringLiteral("queue Label-Queue"));
    EXPECT_EQ(CreatePortFromSpec(ParsePortSpec(QStringLiteral("none")).portSpec, s, settings)->OpenPort().code,
        PortError::NoPort);
}

TEST(PortFactory, SettingsFileGivesTheDevicesItNames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("registry.ini"));
    {
        RegistryStore store(path);
        store.setValue(PortsKey, "Com3", "/dev/ttyUSB0");
        store.setValue(PortsKey, "Com4", "   "); // blank: the default stays
        store.setValue(PortsKey, "Lpt2", "/dev/parport5");
        store.setValue(PortsKey, "Queue", "Shipping");
        store.setValue(PortsKey, "QueueServer", "print.example:631");
        store.setValue(PortsKey, "UsbDevices", "/run/usb-printers");
        store.setValue(PortsKey, "WriteToFile", "/srv/labels/out.prn");
        store.setValue(PortsKey, "Printer", "tcp:192.0.2.9:9101");
        ASSERT_TRUE(store.save());
    }
    const PortSettings read = ReadPortSettings(RegistryStore(path));
    const PortSettings defaults;
    EXPECT_EQ(read.serialDevices[2], QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(read.serialDevices[3], defaults.serialDevices[3]);
    EXPECT_EQ(read.serialDevices[0], QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(read.parallelDevices[1], QStringLiteral("/dev/parport5"));
    EXPECT_EQ(read.parallelDevices[0], QStringLiteral("/dev/parport0"));
    EXPECT_EQ(read.queue.name, QStringLiteral("Shipping"));
    EXPECT_EQ(read.queue.server, QStringLiteral("print.example:631"));
    EXPECT_EQ(read.usb.deviceDir, QStringLiteral("/run/usb-printers"));
    EXPECT_EQ(read.writeToFilePath, QStringLiteral("/srv/labels/out.prn"));
    TPrinterSetting s;
    s.ComPort = 0;
    EXPECT_EQ(CreatePort(s, read)->describe(), QStringLiteral("tcp 192.0.2.9:9101"));

    // No settings file: every default.
    const PortSettings none = ReadPortSettings(RegistryStore(dir.filePath(QStringLiteral("none.ini"))));
    EXPECT_EQ(none.serialDevices, defaults.serialDevices);
    EXPECT_EQ(none.queue.name, defaults.queue.name);
    EXPECT_TRUE(none.overrideSpec.isEmpty());
}

TEST(PortFactory, WriteToFileAndOutputFile)
{
    test::ScopedHome home;
    const PortSettings settings;
    EXPECT_EQ(settings.writeToFilePath, QDir(home.path()).filePath(QStringLiteral("temp.txt")));
    {
        const auto port = CreateWriteToFilePort(settings);
        ASSERT_TRUE(port->SendPiece("one"));
    }
    {
        const auto port = CreateWriteToFilePort(settings);
        ASSERT_TRUE(port->SendPiece("two"));
    }
    EXPECT_EQ(test::readFile(settings.writeToFilePath), "onetwo");

    const QString out = QDir(home.path()).filePath(QStringLiteral("out.bin"));
    for (int run = 0; run < 2; ++run) {
        const auto port = CreatePortFromSpec(ParsePortSpec(QStringLiteral("file:") + out).portSpec, {}, settings);
        ASSERT_TRUE(port->OpenPort());
        ASSERT_TRUE(port->SendPiece("job"));
        ASSERT_TRUE(port->ClosePort());
        ASSERT_TRUE(port->CommitOutput()); // the job completed: the new file takes the old one's place
    }
    EXPECT_EQ(test::readFile(out), "job") << "every job writes a fresh file";
}

// A printer on "Com3" reached through the settings' device map, end to end.
TEST(PortFactory, SerialKindOpensTheMappedDevice)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    PortSettings settings;
    settings.serialDevices[2] = QString::fromLocal8Bit(::ptsname(master));
    TPrinterSetting s;
    s.ComPort = 7;
    const auto port = CreatePort(s, settings);
    ASSERT_TRUE(port->OpenPort());
    EXPECT_TRUE(port->SetSerialWriteTimeout(10000));
    ASSERT_TRUE(port->SendPiece("\x02m"));
    char buf[8] = {};
    pollfd p { master, POLLIN, 0 };
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    EXPECT_EQ(::read(master, buf, sizeof buf), 2);
    EXPECT_EQ(QByteArray(buf, 2), "\x02m");
    port->ClosePort();
    ::close(master);
}

TEST(PortFactory, TheStatusBarNamesWhereThePortLeads)
{
    PortSettings settings;
    settings.serialDevices[2] = QStringLiteral("/dev/ttyUSB0");
    const struct {
        int comPort;
        const char* destination;
    } rows[] = {
        { 0, "/dev/parport0" },
        { 4, "" }, // no port
        { 5, "/dev/ttyS0" }, // "Com1"
        { 7, "/dev/ttyUSB0" }, // "Com3", mapped by the settings
        { 13, "" }, // USB: found when the job starts
        { 99, "VTX-Relay" },
    };
    for (const auto& row : rows) {
        TPrinterSetting setting;
        setting.ComPort = static_cast<std::uint8_t>(row.comPort);
        EXPECT_EQ(PortDestination(setting, settings).toStdString(), row.destination) << row.comPort;
    }
    // A description that replaces every record's port is what the status bar names.
    settings.overrideSpec = QStringLiteral(" tcp:printer.local:9100 ");
    EXPECT_EQ(PortDestination(TPrinterSetting {}, settings), QStringLiteral("tcp:printer.local:9100"));
}
