#include "printing/ports/PortSpec.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(PortSpec, ParsesEveryKind)
{
    struct Row {
        const char* text;
        PortSpecKind kind;
        const char* path;
        int number;
        int baud;
        const char* name;
        const char* host;
        int port;
    };
    const Row rows[] = {
        { "none", PortSpecKind::None, "", -1, 0, "", "", 9100 },
        { " NONE ", PortSpecKind::None, "", -1, 0, "", "", 9100 },
        { "file:/tmp/out.bin", PortSpecKind::File, "/tmp/out.bin", -1, 0, "", "", 9100 },
        { "file:C:relative", PortSpecKind::File, "C:relative", -1, 0, "", "", 9100 },
        { "serial:/dev/ttyUSB0", PortSpecKind::Serial, "/dev/ttyUSB0", -1, 0, "", "", 9100 },
        { "serial:/dev/ttyUSB0:115200", PortSpecKind::Serial, "/dev/ttyUSB0", -1, 115200, "", "", 9100 },
        { "serial:com3", PortSpecKind::Serial, "", 3, 0, "", "", 9100 },
        { "Serial:COM8:9600", PortSpecKind::Serial, "", 8, 9600, "", "", 9100 },
        { "serial:COM9", PortSpecKind::Serial, "COM9", -1, 0, "", "", 9100 },
        { "parallel:/dev/parport1", PortSpecKind::Parallel, "/dev/parport1", -1, 0, "", "", 9100 },
        { "parallel:2", PortSpecKind::Parallel, "", 2, 0, "", "", 9100 },
        { "usb:1", PortSpecKind::Usb, "", 1, 0, "", "", 9100 },
        { "usb:/dev/usb/lp0", PortSpecKind::Usb, "/dev/usb/lp0", -1, 0, "", "", 9100 },
        { "queue:VTX-Relay", PortSpecKind::Queue, "", -1, 0, "VTX-Relay", "", 9100 },
        { "queue:", PortSpecKind::Queue, "", -1, 0, "", "", 9100 },
        { "tcp:printer.local", PortSpecKind::Tcp, "", -1, 0, "", "printer.local", 9100 },
        { "tcp:10.0.0.5:9101", PortSpecKind::Tcp, "", -1, 0, "", "10.0.0.5", 9101 },
        { "tcp:[::1]:6101", PortSpecKind::Tcp, "", -1, 0, "", "::1", 6101 },
        { "tcp:[fe80::1]", PortSpecKind::Tcp, "", -1, 0, "", "fe80::1", 9100 },
        { "tcp:fe80::1", PortSpecKind::Tcp, "", -1, 0, "", "fe80::1", 9100 },
        // A numeric zone looks like a placeholder to QString::arg (found by fuzzing).
        { "tcp:[fe80::1%2]:6101", PortSpecKind::Tcp, "", -1, 0, "", "fe80::1%2", 6101 },
    };
    for (const Row& r : rows) {
        const PortSpecParse p = ParsePortSpec(QString::fromLatin1(r.text));
        ASSERT_TRUE(p.ok) << r.text << ": " << p.error.toStdString();
        EXPECT_EQ(p.portSpec.kind, r.kind) << r.text;
        EXPECT_EQ(p.portSpec.path, QString::fromLatin1(r.path)) << r.text;
        EXPECT_EQ(p.portSpec.number, r.number) << r.text;
        EXPECT_EQ(p.portSpec.baudRate, r.baud) << r.text;
        EXPECT_EQ(p.portSpec.name, QString::fromLatin1(r.name)) << r.text;
        EXPECT_EQ(p.portSpec.host, QString::fromLatin1(r.host)) << r.text;
        EXPECT_EQ(p.portSpec.port, r.port) << r.text;
        // Formatting gives a description that parses to the same port.
        const PortSpecParse again = ParsePortSpec(FormatPortSpec(p.portSpec));
        ASSERT_TRUE(again.ok) << FormatPortSpec(p.portSpec).toStdString();
        EXPECT_EQ(again.portSpec, p.portSpec) << r.text;
    }
}

TEST(PortSpec, RejectsMalformedDescriptions)
{
    const char* bad[] = {
        "",
        "lpt1",
        "file:",
        "file",
        "serial:",
        "serial::9600",
        "serial:/dev/ttyS0:0",
        "serial:/dev/ttyS0:99999999",
        "parallel:",
        "parallel:4",
        "usb:",
        "usb:0",
        "tcp:",
        "tcp::9100",
        "tcp:host:0",
        "tcp:host:65536",
        "tcp:host:abc",
        "tcp:[::1",
        "tcp:[::1]x",
        // Brackets inside a host could not be written back as the same description.
        "tcp:l:/:61e80::1]:6101",
        "tcp:[[::1]]",
        "tcp:printer]",
        "http://printer",
    };
    for (const char* text : bad) {
        const PortSpecParse p = ParsePortSpec(QString::fromLatin1(text));
        EXPECT_FALSE(p.ok) << text;
        EXPECT_FALSE(p.error.isEmpty()) << text;
    }
}
